#include "export/ExportTab.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/Paths.h"
#include "export/ExportEngine.h"

namespace pel {

QString ExportFileWithExtension(const QString& path) {
    if (path.right(3).toLower() == ".eb") return path;
    return path + ".eb";
}

ExportTab::ExportTab(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* column = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    auto* btnEbExportFile = new QPushButton("&EB File", this);
    btnEbExportFile->setObjectName("btnEbExportFile");
    txtEbExportFile_ = new QLineEdit(this);
    txtEbExportFile_->setObjectName("txtEbExportFile");
    txtEbExportFile_->setReadOnly(true);
    fileRow->addWidget(btnEbExportFile);
    fileRow->addWidget(txtEbExportFile_, 1);
    column->addLayout(fileRow);

    auto* pointsFrame = new QGroupBox("Points to Export", this);
    pointsFrame->setObjectName("FraPointsToExport");
    auto* pointsColumn = new QVBoxLayout(pointsFrame);
    optPointsToExport_ = AddOptionGroup(pointsFrame, pointsColumn, "optPointsToExport",
                                        {"A&ll", "Selection List F&ile", "Selection List Te&xt"});
    auto* selectionFileRow = new QHBoxLayout;
    txtExportSelectionFile_ = new QLineEdit(pointsFrame);
    txtExportSelectionFile_->setObjectName("txtExportSelectionFile");
    txtExportSelectionFile_->setEnabled(false);
    cmdExportSelectionListFile_ = new QPushButton("...", pointsFrame);
    cmdExportSelectionListFile_->setObjectName("cmdExportSelectionListFile");
    cmdExportSelectionListFile_->setEnabled(false);
    cmdExportSelectionListFile_->setMaximumWidth(32);
    selectionFileRow->addWidget(txtExportSelectionFile_, 1);
    selectionFileRow->addWidget(cmdExportSelectionListFile_);
    pointsColumn->insertLayout(2, selectionFileRow);  // under "Selection List File"
    txtExportSelectionList_ = new QPlainTextEdit(pointsFrame);
    txtExportSelectionList_->setObjectName("txtExportSelectionList");
    txtExportSelectionList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtExportSelectionList_->setEnabled(false);
    txtExportSelectionList_->setMaximumHeight(60);
    pointsColumn->addWidget(txtExportSelectionList_);
    column->addWidget(pointsFrame);

    auto* choiceRow = new QHBoxLayout;
    auto* nodeLabel = new QLabel("LCN Node Type", this);
    nodeLabel->setObjectName("lblLcnNode");
    cmbLcnNode_ = new QComboBox(this);
    cmbLcnNode_->setObjectName("cmbLcnNode");
    cmbLcnNode_->setEditable(true);
    auto* orderLabel = new QLabel("Order By", this);
    orderLabel->setObjectName("lblOrderBy");
    cmbOrderBy_ = new QComboBox(this);
    cmbOrderBy_->setObjectName("cmbOrderBy");
    cmbOrderBy_->setEditable(true);
    choiceRow->addWidget(nodeLabel);
    choiceRow->addWidget(cmbLcnNode_, 1);
    choiceRow->addWidget(orderLabel);
    choiceRow->addWidget(cmbOrderBy_, 1);
    column->addLayout(choiceRow);

    auto* listRow = new QHBoxLayout;
    listPointTypes_ = new QListWidget(this);
    listPointTypes_->setObjectName("listPointTypes");
    listPointTypes_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdBuildEB_ = new QPushButton("Ex&port to EB", this);
    cmdBuildEB_->setObjectName("cmdBuildEB");
    cmdBuildEB_->setEnabled(false);
    listRow->addWidget(listPointTypes_, 1);
    listRow->addWidget(cmdBuildEB_, 0, Qt::AlignBottom);
    column->addLayout(listRow, 1);

    AddProgressArea(context_, this, column, Panel::Export,
                    {"txtExportName", "txtExportPntType", "txtExportPtDesc", "txtExportStatus"},
                    {"NAME", "PNTTYPE", "PTDESC", "Export Status"}, "prgExport");

    connect(btnEbExportFile, &QPushButton::clicked, this, &ExportTab::chooseExportFile);
    connect(cmdExportSelectionListFile_, &QPushButton::clicked, this,
            &ExportTab::chooseSelectionFile);
    connect(cmdBuildEB_, &QPushButton::clicked, this, &ExportTab::runExport);
    connect(optPointsToExport_, &QButtonGroup::idClicked, this, &ExportTab::pointsOptionClicked);
    connect(txtExportSelectionList_, &QPlainTextEdit::textChanged, this,
            &ExportTab::refreshExportButton);
    // A typed selection file name counts at once, as a typed selection text does.
    connect(txtExportSelectionFile_, &QLineEdit::textChanged, this,
            &ExportTab::refreshExportButton);
    connect(cmbLcnNode_, &QComboBox::currentTextChanged, this, &ExportTab::refillPointTypes);
}

void ExportTab::fillCombos() {
    FillNodeAndOrderChoices(cmbLcnNode_, cmbOrderBy_);
}

void ExportTab::refreshExportButton() {
    bool enabled = false;
    if (!context_.database->text().isEmpty() && !txtEbExportFile_->text().isEmpty()) {
        switch (optPointsToExport_->checkedId()) {
            case 0:
                enabled = true;
                break;
            case 1:
                enabled = !txtExportSelectionFile_->text().isEmpty();
                break;
            case 2:
                enabled = !txtExportSelectionList_->toPlainText().isEmpty();
                break;
            default:
                break;
        }
    }
    cmdBuildEB_->setEnabled(enabled);
}

void ExportTab::pointsOptionClicked(int index) {
    if (index < 0 || index > 2) return;
    SetOptionInput(txtExportSelectionFile_, index == 1);
    SetOptionInput(txtExportSelectionList_, index == 2);
    cmdExportSelectionListFile_->setEnabled(index == 1);
    refreshExportButton();
}

void ExportTab::refillPointTypes() {
    FillPointTypeList(context_.state, cmbLcnNode_->currentText(), listPointTypes_);
}

void ExportTab::chooseExportFile() {
    FileChoice choice{"Enter Export EB Filename", "EB Files (*)",
                      ToQString(context_.state.ebFileDirectory), QString(), true};
    auto path = context_.dialogs.saveFile(context_.window, choice);
    if (!path) return;
    applyExportFile(*path, true);
}

void ExportTab::applyExportFile(const QString& path, bool store) {
    AppState& state = context_.state;
    state.ebFileDirectory = DirectoryPart(ToStdString(path));
    txtEbExportFile_->setText(ExportFileWithExtension(path));
    if (store) context_.settings.write("EB-file Directory", state.ebFileDirectory);
    context_.refreshCurrentTab();
}

void ExportTab::chooseSelectionFile() {
    AppState& state = context_.state;
    if (state.selectionFileDirectory.empty()) state.selectionFileDirectory = state.ebFileDirectory;
    FileChoice choice{"Selection List File", "All Files (*)",
                      ToQString(state.selectionFileDirectory), QString(), true};
    auto path = context_.dialogs.openFile(context_.window, choice);
    if (!path) return;
    state.selectionListFile = ToStdString(*path);
    state.selectionFileDirectory = DirectoryPart(state.selectionListFile);
    txtExportSelectionFile_->setText(*path);
    context_.settings.write("SelectionFile Directory", state.selectionFileDirectory);
    refreshExportButton();
}

void ExportTab::runExport() {
    ExportRequest request;
    request.database = ToStdString(context_.database->text());
    request.exportFile = ToStdString(txtEbExportFile_->text());
    request.pointTypes = SelectedEntries(listPointTypes_);
    switch (optPointsToExport_->checkedId()) {
        case 1:
            request.selection = ExportSelection::File;
            break;
        case 2:
            request.selection = ExportSelection::Text;
            break;
        default:
            request.selection = ExportSelection::All;
            break;
    }
    request.selectionFile = ToStdString(txtExportSelectionFile_->text());
    request.selectionText = TypedText(txtExportSelectionList_);
    request.orderBy = ToStdString(cmbOrderBy_->currentText());
    request.lcnNode = ToStdString(cmbLcnNode_->currentText());
    request.limitPointsPerFile = context_.state.limitPointsPerEb;
    request.maxPointsPerFile = context_.state.maxPointsPerEb;
    request.definitions = context_.state.definitionsConnection.get();
    RunEngine(context_, Panel::Export, [&] { (void)RunExport(context_.feedback, request); });
}

}  // namespace pel
