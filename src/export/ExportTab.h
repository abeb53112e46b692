#pragma once
// The Export tab (panel FraEB_2): the export file, which points, the node type, the point types,
// the order, and the export run.

#include <QWidget>

#include "ui/QtWindowContext.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace pel {

class ExportTab : public QWidget {
    Q_OBJECT
  public:
    ExportTab(WindowContext& context, QWidget* parent = nullptr);

    // cmdBuildEB: enabled when txtMDBname and txtEbExportFile are filled and the chosen option
    // has its selection (file name or text) filled; "All" needs none.
    void refreshExportButton();
    // "Points to Export": 0 "All", 1 "Selection List File", 2 "Selection List Text".
    void pointsOptionClicked(int index);
    // Start-up step 11: the node and order choices.
    void fillCombos();
    // Shows an export file as btnEbExportFile does after its dialog (".eb" added when the name
    // lacks it); `store` keeps the folder in the settings.
    void applyExportFile(const QString& path, bool store);
    void selectPointTypes(const std::vector<std::string>& types) {
        SelectEntries(listPointTypes_, types);
    }

  public slots:
    void chooseExportFile();     // btnEbExportFile
    void chooseSelectionFile();  // cmdExportSelectionListFile
    void refillPointTypes();     // cmbLcnNode changed
    void runExport();            // cmdBuildEB

  private:
    WindowContext& context_;
    QLineEdit* txtEbExportFile_;
    QButtonGroup* optPointsToExport_;
    QLineEdit* txtExportSelectionFile_;
    QPushButton* cmdExportSelectionListFile_;
    QPlainTextEdit* txtExportSelectionList_;
    QComboBox* cmbLcnNode_;
    QListWidget* listPointTypes_;
    QComboBox* cmbOrderBy_;
    QPushButton* cmdBuildEB_;
};

// The export file name as the box shows it: ".eb" added unless the name ends in it (any case).
QString ExportFileWithExtension(const QString& path);

}  // namespace pel
