#pragma once
// The About box (frmAbout): its line of text, the versions of the program and the libraries it
// runs with, and Close; it does not block the main window.

#include <QDialog>

namespace pel {

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
    // "Version 0.1.0" and a line with the versions of Qt, SQLite and libmdb.
    static QString VersionsText();
};

}  // namespace pel
