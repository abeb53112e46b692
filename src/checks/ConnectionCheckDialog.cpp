#include "checks/ConnectionCheckDialog.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "checks/ConnectionCheck.h"
#include "compare/FindingsReport.h"
#include "core/Paths.h"

namespace pel {

ConnectionCheckDialog::ConnectionCheckDialog(WindowContext& context, const QString& database,
                                             QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName("frmCheckConnections");
    setWindowTitle("Check Connections");
    setModal(true);
    auto* column = new QVBoxLayout(this);

    auto* files = new QGridLayout;
    auto* chooseDatabase = new QPushButton("&Database", this);
    chooseDatabase->setObjectName("cmdCheckDatabase");
    database_ = new QLineEdit(database, this);
    database_->setObjectName("txtCheckDatabase");
    database_->setEnabled(false);
    auto* chooseReport = new QPushButton("&Report File", this);
    chooseReport->setObjectName("cmdCheckReport");
    report_ = new QLineEdit(this);
    report_->setObjectName("txtCheckReport");
    report_->setEnabled(false);
    files->addWidget(chooseDatabase, 0, 0);
    files->addWidget(database_, 0, 1);
    files->addWidget(chooseReport, 1, 0);
    files->addWidget(report_, 1, 1);
    files->setColumnStretch(1, 1);
    column->addLayout(files);

    column->addWidget(
        new QLabel("Point types (none checked: every point type with a table)", this));
    types_ = new QListWidget(this);
    types_->setObjectName("lstCheckPointTypes");
    for (const std::string& type : context_.state.catalog.names()) {
        auto* item = new QListWidgetItem(ToQString(type), types_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    column->addWidget(types_, 1);

    check_ = new QPushButton("&Make Report", this);
    check_->setObjectName("cmdCheckConnections");
    check_->setAutoDefault(false);
    column->addWidget(check_, 0, Qt::AlignRight);
    AddProgressArea(context_, this, column, Panel::Connections,
                    {"txtCheckName", "txtCheckPntType", "txtCheckPtDesc", "txtCheckStatus"},
                    {QString(), QString(), QString(), QString()}, "prgCheckConnections");
    enableCheckWhenReady();

    connect(chooseDatabase, &QPushButton::clicked, this, &ConnectionCheckDialog::chooseDatabase);
    connect(chooseReport, &QPushButton::clicked, this, &ConnectionCheckDialog::chooseReportFile);
    connect(check_, &QPushButton::clicked, this, &ConnectionCheckDialog::check);
}

ConnectionCheckDialog::~ConnectionCheckDialog() {
    context_.feedback.unbindPanel(Panel::Connections);
}

void ConnectionCheckDialog::enableCheckWhenReady() {
    check_->setEnabled(!database_->text().isEmpty() && !report_->text().isEmpty());
}

void ConnectionCheckDialog::chooseDatabase() {
    AppState& state = context_.state;
    FileChoice choice{"Select a database", DatabaseFilter(), ToQString(state.accessDirectory),
                      QString(), true};
    auto path = context_.dialogs.openFile(this, choice);
    if (!path) return;
    database_->setText(*path);
    state.accessDirectory = DirectoryPart(ToStdString(*path));
    context_.settings.write("Access Directory", state.accessDirectory);
    enableCheckWhenReady();
}

void ConnectionCheckDialog::chooseReportFile() {
    AppState& state = context_.state;
    FileChoice choice{"Select a report file", "HTML Files (*.htm *.html);;CSV Files (*.csv)",
                      ToQString(state.textFileDirectory), QString(), true};
    auto path = context_.dialogs.saveFile(this, choice);
    if (!path) return;
    // A name without a report's extension becomes an HTML report.
    if (!ReportFormatOf(ToStdString(*path))) *path += ".htm";
    report_->setText(*path);
    state.textFileDirectory = DirectoryPart(ToStdString(*path));
    context_.settings.write("Text file Directory", state.textFileDirectory);
    enableCheckWhenReady();
}

void ConnectionCheckDialog::check() {
    ConnectionCheckRequest request{
        ToStdString(database_->text()), ToStdString(report_->text()), {}, {}};
    for (int i = 0; i < types_->count(); ++i)
        if (types_->item(i)->checkState() == Qt::Checked)
            request.pointTypes.push_back(ToStdString(types_->item(i)->text()));
    // Messages of the run belong to this window.
    QWidget* previous = context_.window;
    context_.window = this;
    context_.feedback.setParentWindow(this);
    RunEngine(context_, Panel::Connections,
              [&] { (void)CheckConnections(context_.state.catalog, context_.feedback, request); });
    context_.window = previous;
    context_.feedback.setParentWindow(previous);
}

}  // namespace pel
