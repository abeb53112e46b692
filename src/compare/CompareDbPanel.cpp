#include "compare/CompareDbPanel.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "compare/CompareDbEngine.h"
#include "core/Paths.h"

namespace pel {

CompareDbPanel::CompareDbPanel(WindowContext& context, QWidget* parent)
    : QFrame(parent), context_(context) {
    setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 4, 6, 4);
    column->setSpacing(3);

    auto* asBuiltRow = new QHBoxLayout;
    auto* cmdAsBuiltDB = new QPushButton("As&Built Database", this);
    cmdAsBuiltDB->setObjectName("cmdAsBuiltDB");
    txtAsBuiltDB_ = new QLineEdit(this);
    txtAsBuiltDB_->setObjectName("txtAsBuiltDB");
    txtAsBuiltDB_->setReadOnly(true);
    asBuiltRow->addWidget(cmdAsBuiltDB);
    asBuiltRow->addWidget(txtAsBuiltDB_, 1);
    column->addLayout(asBuiltRow);

    auto* resultsRow = new QHBoxLayout;
    auto* cmdResults = new QPushButton("Re&sults", this);
    cmdResults->setObjectName("cmdCompareDBResultsFile");
    txtCompareDBFile_ = new QLineEdit(this);
    txtCompareDBFile_->setObjectName("txtCompareDBFile");
    txtCompareDBFile_->setReadOnly(true);
    cmdViewDB_ = new QPushButton("Vie&w", this);
    cmdViewDB_->setObjectName("cmdViewDB");
    cmdViewDB_->setEnabled(false);
    resultsRow->addWidget(cmdResults);
    resultsRow->addWidget(txtCompareDBFile_, 1);
    resultsRow->addWidget(cmdViewDB_);
    column->addLayout(resultsRow);

    auto* middle = new QHBoxLayout;
    auto* choices = new QVBoxLayout;
    auto* nodeLabel = new QLabel("LCN Node Type", this);
    nodeLabel->setObjectName("lblLoadNode");
    cmbLoadNode_ = new QComboBox(this);
    cmbLoadNode_->setObjectName("cmbLoadNode");
    cmbLoadNode_->setEditable(true);
    auto* orderLabel = new QLabel("Order By", this);
    orderLabel->setObjectName("lblLoadOrderBy");
    cmbLoadOrderBy_ = new QComboBox(this);
    cmbLoadOrderBy_->setObjectName("cmbLoadOrderBy");
    cmbLoadOrderBy_->setEditable(true);
    cmdCompareDB_ = new QPushButton("Co&mpare DB", this);
    cmdCompareDB_->setObjectName("cmdCompareDB");
    cmdCompareDB_->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{nodeLabel, cmbLoadNode_, orderLabel,
                                                      cmbLoadOrderBy_, cmdCompareDB_})
        choices->addWidget(w);
    middle->addLayout(choices);
    listLoadPtTypes_ = new QListWidget(this);
    listLoadPtTypes_->setObjectName("listLoadPtTypes");
    listLoadPtTypes_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    middle->addWidget(listLoadPtTypes_, 1);
    column->addLayout(middle, 1);

    AddProgressArea(
        context_, this, column, Panel::CompareDb,
        {"txtCompareDBName", "txtCompareDBPntType", "txtCompareDBPtDesc", "txtCompareDBStatus"},
        {"NAME", "PNTTYPE", "PTDESC", "Compare DB Status"}, "prgCompareDB");

    connect(cmdAsBuiltDB, &QPushButton::clicked, this, &CompareDbPanel::chooseAsBuiltDatabase);
    connect(cmdResults, &QPushButton::clicked, this, &CompareDbPanel::chooseResultsFile);
    connect(cmdCompareDB_, &QPushButton::clicked, this, &CompareDbPanel::runCompare);
    connect(cmdViewDB_, &QPushButton::clicked, this, &CompareDbPanel::view);
    connect(cmbLoadNode_, &QComboBox::currentTextChanged, this, &CompareDbPanel::refillPointTypes);
}

void CompareDbPanel::fillCombos() {
    FillNodeAndOrderChoices(cmbLoadNode_, cmbLoadOrderBy_);
}

void CompareDbPanel::refreshCompareDbButton() {
    cmdCompareDB_->setEnabled(!context_.database->text().isEmpty() &&
                              !txtAsBuiltDB_->text().isEmpty() &&
                              !txtCompareDBFile_->text().isEmpty());
}

void CompareDbPanel::refillPointTypes() {
    FillPointTypeList(context_.state, cmbLoadNode_->currentText(), listLoadPtTypes_);
}

void CompareDbPanel::chooseAsBuiltDatabase() {
    FileChoice choice{"Select the as-built database", DatabaseFilter(),
                      ToQString(context_.state.asBuiltDirectory), QString(), true};
    auto path = context_.dialogs.openFile(context_.window, choice);
    if (!path) return;
    applyAsBuiltDatabase(*path, true);
}

void CompareDbPanel::applyAsBuiltDatabase(const QString& path, bool store) {
    AppState& state = context_.state;
    txtAsBuiltDB_->setText(path);
    state.asBuiltDirectory = DirectoryPart(ToStdString(path));
    if (store) context_.settings.write("AsBuilt Directory", state.asBuiltDirectory);
    refreshCompareDbButton();
}

void CompareDbPanel::chooseResultsFile() {
    // The report usually sits beside the databases it compares.
    FileChoice choice{"Compare DB Results file(HTML)", "HTML Files (*.htm)",
                      ToQString(context_.state.accessDirectory), QString(), false};
    auto path = context_.dialogs.saveFile(context_.window, choice);
    if (!path) return;
    applyResultsFile(*path);
}

void CompareDbPanel::applyResultsFile(const QString& path) {
    txtCompareDBFile_->setText(path);
    if (FileExists(ToStdString(path))) cmdViewDB_->setEnabled(true);
    refreshCompareDbButton();
}

void CompareDbPanel::runCompare() {
    AppState& state = context_.state;
    state.accessDatabasePath = ToStdString(context_.database->text());
    state.asBuiltDatabasePath = ToStdString(txtAsBuiltDB_->text());
    std::vector<std::string> types = SelectedEntries(listLoadPtTypes_);
    if (types.empty()) return;
    const CompareDbRequest request{state.accessDatabasePath, state.asBuiltDatabasePath,
                                   std::move(types), ToStdString(cmbLoadOrderBy_->currentText()),
                                   ToStdString(txtCompareDBFile_->text())};
    RunEngine(context_, Panel::CompareDb,
              [&] { (void)CompareDatabases(context_.feedback, request); });
    if (FileExists(request.reportFile)) cmdViewDB_->setEnabled(true);
}

void CompareDbPanel::view() {
    ViewReport(context_, txtCompareDBFile_->text());
}

}  // namespace pel
