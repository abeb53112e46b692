#include "import/ImportTab.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "core/Paths.h"
#include "import/ImportDriver.h"

namespace pel {

ImportTab::ImportTab(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* column = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    cmdEB_ = new QPushButton("&EB Files", this);
    cmdEB_->setObjectName("cmdEB");
    txtEBname_ = new QLineEdit(this);
    txtEBname_->setObjectName("txtEBname");
    txtEBname_->setReadOnly(true);
    fileRow->addWidget(cmdEB_);
    fileRow->addWidget(txtEBname_, 1);
    column->addLayout(fileRow);

    txtEbImportFiles_ = new QPlainTextEdit(this);
    txtEbImportFiles_->setObjectName("txtEbImportFiles");
    txtEbImportFiles_->setReadOnly(true);
    txtEbImportFiles_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtEbImportFiles_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtEbImportFiles_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(txtEbImportFiles_, 1);

    auto* optionsRow = new QHBoxLayout;
    auto* updateFrame = new QGroupBox("Update Options", this);
    updateFrame->setObjectName("FraUpdateOptions");
    auto* updateColumn = new QVBoxLayout(updateFrame);
    optUpdate_ = AddOptionGroup(updateFrame, updateColumn, "optUpdate",
                                {"&Updates and Additions", "Updates &only", "Additions o&nly"});
    updateColumn->addStretch();
    optionsRow->addWidget(updateFrame);

    auto* parametersFrame = new QGroupBox("Parameters to Import", this);
    parametersFrame->setObjectName("FraParametersToImport");
    auto* parametersColumn = new QVBoxLayout(parametersFrame);
    optParametersToImport_ =
        AddOptionGroup(parametersFrame, parametersColumn, "optParametersToImport",
                       {"A&ll", "Selection List Te&xt"});
    txtParametersToImport_ = new QPlainTextEdit(parametersFrame);
    txtParametersToImport_->setObjectName("txtParametersToImport");
    txtParametersToImport_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtParametersToImport_->setEnabled(false);
    parametersColumn->addWidget(txtParametersToImport_);
    optionsRow->addWidget(parametersFrame, 1);
    column->addLayout(optionsRow, 1);

    auto* runRow = new QHBoxLayout;
    chkUpdateDatabaseDefs_ = new QCheckBox("Update &Database Definitions", this);
    chkUpdateDatabaseDefs_->setObjectName("chkUpdateDatabaseDefs");
    chkUpdateDatabaseDefs_->setChecked(true);
    cmdImportEB_ = new QPushButton("&Import from EB", this);
    cmdImportEB_->setObjectName("cmdImportEB");
    cmdImportEB_->setEnabled(false);
    runRow->addWidget(chkUpdateDatabaseDefs_);
    runRow->addStretch();
    runRow->addWidget(cmdImportEB_);
    column->addLayout(runRow);

    txtCurrentEbFile_ = MakeLabel(this, "txtCurrentEbFile", "Filename");
    column->addWidget(txtCurrentEbFile_);
    context_.feedback.bindLabel(Panel::Import, Label::CurrentFile, txtCurrentEbFile_);
    progress_ =
        AddProgressArea(context_, this, column, Panel::Import,
                        {"txtImportName", "txtImportPntType", "txtImportPtDesc", "txtImportStatus"},
                        {"NAME", "PNTTYPE", "PTDESC", "Import Status"}, "prgImport");

    connect(cmdEB_, &QPushButton::clicked, this, &ImportTab::chooseEbFiles);
    connect(cmdImportEB_, &QPushButton::clicked, this, &ImportTab::runImport);
    connect(optParametersToImport_, &QButtonGroup::idClicked, this,
            &ImportTab::parametersOptionClicked);
}

void ImportTab::refreshImportButton() {
    cmdImportEB_->setEnabled(!context_.database->text().isEmpty() && !txtEBname_->text().isEmpty());
}

void ImportTab::parametersOptionClicked(int index) {
    if (index == 0) SetOptionInput(txtParametersToImport_, false);
    if (index == 1) SetOptionInput(txtParametersToImport_, true);
}

void ImportTab::chooseEbFiles() {
    FileChoice choice{"Select an EB file", "EB Files (*)",
                      ToQString(context_.state.ebFileDirectory), QString(), true};
    auto files = context_.dialogs.openFiles(context_.window, choice);
    if (!files || files->isEmpty()) return;
    applyChosenFiles(*files, true);
}

void ImportTab::applyChosenFiles(const QStringList& paths, bool store) {
    AppState& state = context_.state;
    // The dialog gives full paths of one folder, in the order chosen.
    state.ebFileDirectory = DirectoryPart(ToStdString(paths.front()));
    txtEBname_->setText(ToQString(state.ebFileDirectory));
    state.importFileList.clear();
    QStringList names;
    for (const QString& path : paths) {
        state.importFileList.push_back(ToStdString(path));
        names << ToQString(FileNamePart(ToStdString(path)));
    }
    txtEbImportFiles_->setPlainText(names.join('\n'));
    if (store) context_.settings.write("EB-file Directory", state.ebFileDirectory);
    context_.refreshCurrentTab();
}

void ImportTab::runImport() {
    ImportRequest request;
    request.database = ToStdString(context_.database->text());
    switch (optUpdate_->checkedId()) {
        case 0:
            request.mode = ImportMode::UpdatesAndAdditions;
            break;
        case 1:
            request.mode = ImportMode::UpdatesOnly;
            break;
        case 2:
            request.mode = ImportMode::AdditionsOnly;
            break;
        default:
            return;  // no update option selected: nothing to do
    }
    if (optParametersToImport_->checkedId() == 1)
        request.selectionText = TypedText(txtParametersToImport_);
    request.files = context_.state.importFileList;
    request.updateDefinitions = chkUpdateDatabaseDefs_->isChecked();
    RunEngine(context_, Panel::Import, [&] {
        if (request.files.size() > 1) context_.feedback.gatherMessages();
        (void)RunImport(context_.state.catalog, context_.feedback, request);
    });
}

}  // namespace pel
