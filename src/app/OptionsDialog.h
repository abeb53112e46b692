#pragma once
// The Options dialog (frmOptions): whether exported EB files are limited to a maximum number of
// points, and that maximum. OK and Cancel hide it and keep its controls as they were left; the
// close box unloads it, and the next opening loads it again from the application state.

#include <QDialog>

#include "ui/QtWindowContext.h"

class QCheckBox;
class QLabel;

namespace pel {

class OptionsDialog : public QDialog {
    Q_OBJECT
  public:
    OptionsDialog(WindowContext& context, QWidget* parent = nullptr);

    // Loading: the controls from limitPointsPerEb and maxPointsPerEb.
    void load();
    // True once the close box was used: the window drops this dialog and makes a new one.
    bool unloaded() const { return unloaded_; }

  public slots:
    void ok();            // cmdOK
    void limitClicked();  // chkLimitPoints: Label1 and txtMaxPoints follow the box

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    WindowContext& context_;
    QCheckBox* chkLimitPoints_;
    QLabel* label1_;
    QLineEdit* txtMaxPoints_;
    bool unloaded_ = false;
};

// Why a maximum text cannot be used, or empty text when it can (a whole number after rounding,
// within the signed 32-bit range; 0 and negative numbers are accepted here and ignored by OK).
std::string MaxPointsProblem(const std::string& text);

}  // namespace pel
