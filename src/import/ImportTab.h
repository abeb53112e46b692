#pragma once
// The Import tab (panel FraEB_1): EB files chosen, the update option, the parameters to import,
// and the import run.

#include <QWidget>

#include "ui/QtWindowContext.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace pel {

class ImportTab : public QWidget {
    Q_OBJECT
  public:
    ImportTab(WindowContext& context, QWidget* parent = nullptr);

    // cmdImportEB is enabled exactly when txtMDBname and txtEBname are both filled.
    void refreshImportButton();
    // Import option "Parameters to Import": 0 "All", 1 "Selection List Text".
    void parametersOptionClicked(int index);
    // Shows a choice of EB files as cmdEB does after its dialog; `store` keeps the folder in the
    // settings (a choice the user confirmed).
    void applyChosenFiles(const QStringList& paths, bool store);

    QLineEdit* ebName() const { return txtEBname_; }
    QLabel* currentFileLabel() const { return txtCurrentEbFile_; }

  public slots:
    void chooseEbFiles();  // cmdEB
    void runImport();      // cmdImportEB

  private:
    WindowContext& context_;
    QPushButton* cmdEB_;
    QLineEdit* txtEBname_;
    QPlainTextEdit* txtEbImportFiles_;
    QButtonGroup* optUpdate_;
    QButtonGroup* optParametersToImport_;
    QPlainTextEdit* txtParametersToImport_;
    QCheckBox* chkUpdateDatabaseDefs_;
    QPushButton* cmdImportEB_;
    QLabel* txtCurrentEbFile_;
    QProgressBar* progress_;
};

}  // namespace pel
