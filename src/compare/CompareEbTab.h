#pragma once
// The Compare EB tab (panel FraEB_3): a folder and its EB files, the results file, the two-way
// check, the comparison run and "View".

#include <QWidget>

#include "ui/QtWindowContext.h"

class QCheckBox;
class QHBoxLayout;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pel {

class CompareEbTab : public QWidget {
    Q_OBJECT
  public:
    // `importEbName` is the Import tab's txtEBname, from which the results file name is proposed.
    CompareEbTab(WindowContext& context, QLineEdit* importEbName, QWidget* parent = nullptr);

    // cmdCompareEB: disabled while txtMDBname or txtCompareEBFile is empty; otherwise enabled
    // exactly when the file list holds at least one file.
    void refreshCompareEbButton();
    // The folder of the directory list. A new folder refills both lists and becomes the EB-file
    // directory (stored as a setting); the same folder again changes nothing.
    void setDirectory(const QString& path);
    QString directory() const { return directory_; }
    // Reads the folder and its files again (files added or removed meanwhile).
    void reload();
    // Shows a results file as "Results" does after its dialog.
    void applyResultsFile(const QString& path);
    // A control of another part of the window at the left end of the row of Compare EB and
    // View, where the designed buttons keep their places.
    void addAtLeftOfRun(QWidget* control);

  public slots:
    void chooseResultsFile();  // cmdCompareResultsFile
    void runCompare();         // cmdCompareEB
    void view();               // cmdView

  private:
    void enterDirectory(QListWidgetItem* item);

    WindowContext& context_;
    QLineEdit* importEbName_;
    QString directory_;
    QLineEdit* txtDirectory_;
    QListWidget* dirCompareEB_;
    QListWidget* fileListCompareEB_;
    QCheckBox* chkTwoWayCheck_;
    QLineEdit* txtCompareEBFile_;
    QPushButton* cmdCompareEB_;
    QPushButton* cmdView_;
    QHBoxLayout* runRow_;
};

// The results file name proposed from the Import tab's EB folder: every ".eb", in any letter
// case, replaced by "_Compare.htm".
QString ProposedResultsName(const QString& importEbName);

}  // namespace pel
