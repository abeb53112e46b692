#include "connections/ConnectionsDialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "connections/ConnectionReport.h"
#include "core/Paths.h"

namespace pel {

ConnectionsDialog::ConnectionsDialog(WindowContext& context, const QString& database,
                                     QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName("frmConnections");
    setWindowTitle("Connection Report");
    setModal(true);
    auto* column = new QVBoxLayout(this);

    auto* files = new QGridLayout;
    auto* cmdAccess = new QPushButton("&Access Database", this);
    cmdAccess->setObjectName("cmdAccess");
    txtMDBname_ = new QLineEdit(database, this);
    txtMDBname_->setObjectName("txtMDBname");
    txtMDBname_->setEnabled(false);
    auto* cmdText = new QPushButton("&Text File", this);
    cmdText->setObjectName("cmdText");
    txtReportname_ = new QLineEdit(this);
    txtReportname_->setObjectName("txtReportname");
    txtReportname_->setEnabled(false);
    files->addWidget(cmdAccess, 0, 0);
    files->addWidget(txtMDBname_, 0, 1);
    files->addWidget(cmdText, 1, 0);
    files->addWidget(txtReportname_, 1, 1);
    files->setColumnStretch(1, 1);
    column->addLayout(files);

    auto* frame = new QGroupBox("Connection Report ", this);
    frame->setObjectName("FraConnectionReport");
    auto* checks = new QVBoxLayout(frame);
    const std::vector<std::string>& types = ConnectionReportTypes();
    for (std::size_t i = 0; i < connectCheck_.size(); ++i) {
        connectCheck_[i] = new QCheckBox(ToQString(types[i]), frame);
        connectCheck_[i]->setObjectName("ConnectCheck_" + QString::number(i));
        checks->addWidget(connectCheck_[i]);
    }
    column->addWidget(frame);

    cmdConnectReport_ = new QPushButton("&Make Report", this);
    cmdConnectReport_->setObjectName("cmdConnectReport");
    cmdConnectReport_->setEnabled(false);
    cmdConnectReport_->setAutoDefault(false);
    // Once a report is written, the window offers to open it.
    cmdOpenReport_ = new QPushButton("&Open Report", this);
    cmdOpenReport_->setObjectName("cmdOpenReport");
    cmdOpenReport_->setEnabled(false);
    cmdOpenReport_->setAutoDefault(false);
    auto* runRow = new QHBoxLayout;
    runRow->addStretch();
    runRow->addWidget(cmdOpenReport_);
    runRow->addWidget(cmdConnectReport_);
    column->addLayout(runRow);

    // The labels keep their design captions as names, and are emptied when the window loads.
    static const std::array<QString, 4> kNames{"txtConnectName", "txtConnectPntType",
                                               "txtConnectPtDesc", "txtConnectStatus"};
    static const std::array<Label, 4> kRoles{Label::Name, Label::PntType, Label::PtDesc,
                                             Label::Status};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        QLabel* label = MakeLabel(this, kNames[i], QString());
        label->setMinimumWidth(300);
        column->addWidget(label);
        context_.feedback.bindLabel(Panel::Connections, kRoles[i], label);
    }
    AddCancelRow(context_, this, column, Panel::Connections, nullptr, "Connections");

    connect(cmdAccess, &QPushButton::clicked, this, &ConnectionsDialog::chooseDatabase);
    connect(cmdText, &QPushButton::clicked, this, &ConnectionsDialog::chooseReportFile);
    connect(cmdConnectReport_, &QPushButton::clicked, this, &ConnectionsDialog::makeReport);
    connect(cmdOpenReport_, &QPushButton::clicked, this,
            [this] { ViewReport(context_, txtReportname_->text()); });
}

ConnectionsDialog::~ConnectionsDialog() {
    context_.feedback.unbindPanel(Panel::Connections);
}

void ConnectionsDialog::enableReportWhenReady() {
    if (!txtMDBname_->text().isEmpty() && !txtReportname_->text().isEmpty())
        cmdConnectReport_->setEnabled(true);
}

void ConnectionsDialog::chooseDatabase() {
    AppState& state = context_.state;
    FileChoice choice{"Select a database", DatabaseFilter(), ToQString(state.accessDirectory),
                      QString(), true};
    auto path = context_.dialogs.openFile(this, choice);
    if (!path) return;
    txtMDBname_->setText(*path);
    state.accessDirectory = DirectoryPart(ToStdString(*path));
    context_.settings.write("Access Directory", state.accessDirectory);
    enableReportWhenReady();
}

void ConnectionsDialog::chooseReportFile() {
    AppState& state = context_.state;
    // The name is taken as chosen: no extension is added, and an existing report is replaced.
    FileChoice choice{"Select an text file", "Text Files (*.txt)",
                      ToQString(state.textFileDirectory), QString(), false};
    auto path = context_.dialogs.saveFile(this, choice);
    if (!path) return;
    txtReportname_->setText(*path);
    state.textFileDirectory = DirectoryPart(ToStdString(*path));
    context_.settings.write("Text file Directory", state.textFileDirectory);
    enableReportWhenReady();
}

void ConnectionsDialog::makeReport() {
    AppState& state = context_.state;
    state.accessDatabasePath = ToStdString(txtMDBname_->text());
    state.connectionReportFile = ToStdString(txtReportname_->text());
    std::vector<std::string> checked;
    // The captions as designed (a desktop style may add accelerators to the shown texts).
    for (std::size_t i = 0; i < connectCheck_.size(); ++i)
        if (connectCheck_[i]->checkState() == Qt::Checked)
            checked.push_back(ConnectionReportTypes()[i]);
    const ConnectionReportRequest request{state.accessDatabasePath, state.connectionReportFile,
                                          ReportedPointTypes(state.catalog, checked)};
    // Messages of the run belong to this window.
    QWidget* previous = context_.window;
    context_.window = this;
    context_.feedback.setParentWindow(this);
    // A report written by this run, whole (an output is put in place only when complete), even
    // if the run had something to say.
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    RunEngine(context_, Panel::Connections,
              [&] { (void)MakeConnectionReport(context_.feedback, request); });
    const QFileInfo written(txtReportname_->text());
    cmdOpenReport_->setEnabled(written.exists() && written.lastModified() >= started);
    if (cmdOpenReport_->isEnabled()) cmdOpenReport_->setFocus();
    context_.window = previous;
    context_.feedback.setParentWindow(previous);
}

}  // namespace pel
