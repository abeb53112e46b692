#include "compare/CompareEbTab.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "compare/CompareEngine.h"
#include "core/Paths.h"

namespace pel {

namespace {
const QString kParentEntry = "..";
}

QString ProposedResultsName(const QString& importEbName) {
    QString name = importEbName;
    return name.replace(".eb", "_Compare.htm", Qt::CaseInsensitive);
}

CompareEbTab::CompareEbTab(WindowContext& context, QLineEdit* importEbName, QWidget* parent)
    : QWidget(parent), context_(context), importEbName_(importEbName) {
    auto* column = new QVBoxLayout(this);

    // No drive list: there are no drive letters here; the directory list starts at the EB-file
    // directory and moves with a double click (".." goes up).
    txtDirectory_ = new QLineEdit(this);
    txtDirectory_->setObjectName("txtCompareEBDirectory");
    txtDirectory_->setReadOnly(true);
    column->addWidget(txtDirectory_);
    auto* listsRow = new QHBoxLayout;
    dirCompareEB_ = new QListWidget(this);
    dirCompareEB_->setObjectName("dirCompareEB");
    fileListCompareEB_ = new QListWidget(this);
    fileListCompareEB_->setObjectName("fileListCompareEB");
    fileListCompareEB_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listsRow->addWidget(dirCompareEB_, 1);
    listsRow->addWidget(fileListCompareEB_, 1);
    column->addLayout(listsRow, 1);

    chkTwoWayCheck_ =
        new QCheckBox("Check for &points in Database that are not in the EB file", this);
    chkTwoWayCheck_->setObjectName("chkTwoWayCheck");
    chkTwoWayCheck_->setToolTip(
        "Select this option if the EB files contain all points in the database");
    column->addWidget(chkTwoWayCheck_);

    auto* resultsRow = new QHBoxLayout;
    auto* cmdCompareResultsFile = new QPushButton("&Results", this);
    cmdCompareResultsFile->setObjectName("cmdCompareResultsFile");
    txtCompareEBFile_ = new QLineEdit(this);
    txtCompareEBFile_->setObjectName("txtCompareEBFile");
    txtCompareEBFile_->setReadOnly(true);
    resultsRow->addWidget(cmdCompareResultsFile);
    resultsRow->addWidget(txtCompareEBFile_, 1);
    column->addLayout(resultsRow);

    auto* runRow = new QHBoxLayout;
    cmdCompareEB_ = new QPushButton("Compare &EB", this);
    cmdCompareEB_->setObjectName("cmdCompareEB");
    cmdCompareEB_->setEnabled(false);
    cmdView_ = new QPushButton("&View", this);
    cmdView_->setObjectName("cmdView");
    cmdView_->setEnabled(false);
    runRow_ = runRow;
    runRow->addStretch();
    runRow->addWidget(cmdCompareEB_);
    runRow->addWidget(cmdView_);
    column->addLayout(runRow);

    AddProgressArea(
        context_, this, column, Panel::CompareEb,
        {"txtCompareEBname", "txtCompareEbPntType", "txtCompareEBPtDesc", "txtCompareEBStatus"},
        {"NAME", "PNTTYPE", "PTDESC", "Compare EB Status"}, "prgCompareEB");

    connect(dirCompareEB_, &QListWidget::itemActivated, this, &CompareEbTab::enterDirectory);
    connect(fileListCompareEB_, &QListWidget::itemClicked, this,
            [this] { refreshCompareEbButton(); });
    connect(cmdCompareResultsFile, &QPushButton::clicked, this, &CompareEbTab::chooseResultsFile);
    connect(cmdCompareEB_, &QPushButton::clicked, this, &CompareEbTab::runCompare);
    connect(cmdView_, &QPushButton::clicked, this, &CompareEbTab::view);
}

void CompareEbTab::refreshCompareEbButton() {
    if (context_.database->text().isEmpty() || txtCompareEBFile_->text().isEmpty()) {
        cmdCompareEB_->setEnabled(false);
        return;
    }
    cmdCompareEB_->setEnabled(fileListCompareEB_->count() > 0);
}

void CompareEbTab::setDirectory(const QString& path) {
    const QString folder = QDir::cleanPath(path);
    if (folder == directory_) return;
    directory_ = folder;
    txtDirectory_->setText(folder);

    QDir dir(folder);
    dirCompareEB_->clear();
    if (!dir.isRoot()) dirCompareEB_->addItem(kParentEntry);
    dirCompareEB_->addItems(
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    // "*.eb" in any letter case, as the pattern matches on the file systems our users have.
    fileListCompareEB_->clear();
    fileListCompareEB_->addItems(
        dir.entryList({"*.eb"}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase));

    AppState& state = context_.state;
    const std::string chosen = ToStdString(folder);
    const bool moved = QDir::cleanPath(ToQString(state.ebFileDirectory)) != folder;
    state.ebFileDirectory = chosen;
    if (moved) context_.settings.write("EB-file Directory", chosen);
}

void CompareEbTab::reload() {
    const QString folder = directory_;
    directory_.clear();
    setDirectory(folder);
}

void CompareEbTab::enterDirectory(QListWidgetItem* item) {
    if (!item) return;
    QDir dir(directory_);
    if (item->text() == kParentEntry) {
        if (dir.cdUp()) setDirectory(dir.absolutePath());
    } else if (dir.cd(item->text())) {
        setDirectory(dir.absolutePath());
    }
    refreshCompareEbButton();
}

void CompareEbTab::chooseResultsFile() {
    FileChoice choice{"EB Comparison Results file(HTML)", "HTML Files (*.htm)",
                      ToQString(context_.state.ebFileDirectory),
                      ProposedResultsName(importEbName_->text()), false};
    auto path = context_.dialogs.saveFile(context_.window, choice);
    if (!path) return;
    applyResultsFile(*path);
}

void CompareEbTab::applyResultsFile(const QString& path) {
    txtCompareEBFile_->setText(path);
    if (FileExists(ToStdString(path))) cmdView_->setEnabled(true);
    refreshCompareEbButton();
}

void CompareEbTab::runCompare() {
    AppState& state = context_.state;
    state.accessDatabasePath = ToStdString(context_.database->text());
    const bool twoWay = chkTwoWayCheck_->isChecked();
    if (fileListCompareEB_->count() == 0 ||
        (!fileListCompareEB_->currentItem() && fileListCompareEB_->selectedItems().isEmpty())) {
        context_.dialogs.message(context_.window, ToQString(kProgramTitle), "No EB files selected");
        return;
    }
    std::vector<std::string> names = SelectedEntries(fileListCompareEB_);
    const std::string results = ToStdString(txtCompareEBFile_->text());
    if (!names.empty()) {
        // The engine finds the names in the EB-file directory, which is the listed folder.
        state.ebFileDirectory = ToStdString(directory_);
        const CompareEbRequest request{state.accessDatabasePath, state.ebFileDirectory, names,
                                       results, twoWay};
        RunEngine(context_, Panel::CompareEb, [&] {
            if (names.size() > 1) context_.feedback.gatherMessages();
            (void)CompareEbFiles(state.catalog, context_.feedback, request);
        });
    }
    if (FileExists(results)) cmdView_->setEnabled(true);
}

void CompareEbTab::addAtLeftOfRun(QWidget* control) {
    control->setParent(this);
    runRow_->insertWidget(0, control);
}

void CompareEbTab::view() {
    ViewReport(context_, txtCompareEBFile_->text());
}

}  // namespace pel
