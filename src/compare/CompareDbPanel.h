#pragma once
// The Compare DB panel (FraEB_4), below the tab strip and without a tab: the as-built database,
// the node type and its point types, the order, the results file, the run and "View".

#include <QFrame>

#include "ui/QtWindowContext.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace pel {

class CompareDbPanel : public QFrame {
    Q_OBJECT
  public:
    CompareDbPanel(WindowContext& context, QWidget* parent = nullptr);

    // Start-up step 11: the node and order choices.
    void fillCombos();
    // cmdCompareDB: enabled when the database, the as-built database and the results file are
    // all chosen.
    void refreshCompareDbButton();
    void applyAsBuiltDatabase(const QString& path, bool store);
    void applyResultsFile(const QString& path);
    void selectPointTypes(const std::vector<std::string>& types) {
        SelectEntries(listLoadPtTypes_, types);
    }

  public slots:
    void chooseAsBuiltDatabase();  // cmdAsBuiltDB
    void chooseResultsFile();      // cmdCompareDBResultsFile
    void refillPointTypes();       // cmbLoadNode changed
    void runCompare();             // cmdCompareDB
    void view();                   // cmdViewDB

  private:
    WindowContext& context_;
    QLineEdit* txtAsBuiltDB_;
    QLineEdit* txtCompareDBFile_;
    QComboBox* cmbLoadNode_;
    QListWidget* listLoadPtTypes_;
    QComboBox* cmbLoadOrderBy_;
    QPushButton* cmdCompareDB_;
    QPushButton* cmdViewDB_;
};

}  // namespace pel
