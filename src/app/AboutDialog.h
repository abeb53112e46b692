#pragma once
// The About box (frmAbout): a line of text, no buttons; it closes with its close box and does
// not block the main window.

#include <QDialog>

namespace pel {

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace pel
