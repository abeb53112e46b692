#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>

#include "app/AboutDialog.h"
#include "app/DemoPlant.h"
#include "app/OptionsDialog.h"
#include "app/ServerDatabaseDialog.h"
#include "app/Startup.h"
#include "app/WindowResults.h"
#include "checks/ConnectionCheckDialog.h"
#include "compare/CompareDbPanel.h"
#include "compare/CompareEbFolderBox.h"
#include "compare/CompareEbTab.h"
#include "compare/DifferencesDialog.h"
#include "connections/ConnectionsDialog.h"
#include "core/Paths.h"
#include "db/ServerUri.h"
#include "diff/CompareFilesButton.h"
#include "export/ExportTab.h"
#include "import/ImportTab.h"
#include "ui/ResultsArea.h"

namespace pel {

namespace {

// The arrangement as designed, in pixels at 96 dpi (a fifteenth of the design unit).
constexpr QRect kAccessButton{12, 16, 120, 25};
constexpr QRect kDatabaseBox{140, 16, 345, 25};
constexpr QRect kTabStrip{12, 52, 473, 485};
constexpr QRect kCompareDbPanel{24, 560, 441, 273};
constexpr int kWindowWidth = 500;
constexpr int kBottomMargin = 12;
// The frame that captions the Compare DB panel, around it in the gap below the tab strip.
constexpr QRect kCompareDbFrame = kCompareDbPanel.adjusted(-8, -20, 8, 6);
constexpr int kContentHeight = kCompareDbFrame.bottom() + 1 + kBottomMargin;

// True when some of the widget lies inside the part of `area` that the user sees.
bool InView(const QWidget* widget, const QWidget* area) {
    const QRect where(widget->mapTo(area->window(), QPoint(0, 0)), widget->size());
    const QRect seen(area->mapTo(area->window(), QPoint(0, 0)), area->size());
    return where.intersects(seen);
}

}  // namespace

MainWindow::MainWindow(AppState& state, SettingsStore& settings, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      settings_(settings),
      dialogs_(dialogs),
      feedback_(dialogs),
      context_{state, settings, dialogs, feedback_, nullptr, this, {}} {
    setObjectName("frmMain");
    setWindowTitle("Pelorin File Conversion Utility");
    feedback_.setParentWindow(this);
    context_.refreshCurrentTab = [this] { refreshCurrentTab(); };

    // Nothing is rearranged when the window is resized: a taller window shows the Compare DB
    // panel under the tab strip.
    // The content scrolls only where the screen is too low for the panel (fitToScreen).
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("frmMainScroll");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    auto* frame = new QWidget;
    frame->setObjectName("frmMainClient");
    scroll_->setWidget(frame);
    frame_ = frame;
    setCentralWidget(scroll_);
    auto* cmdAccess = new QPushButton("&Access Database", frame);
    cmdAccess->setObjectName("cmdAccess");
    cmdAccess->setGeometry(kAccessButton);
    txtMDBname_ = new QLineEdit(frame);
    txtMDBname_->setObjectName("txtMDBname");
    txtMDBname_->setReadOnly(true);
    txtMDBname_->setGeometry(kDatabaseBox);
    context_.database = txtMDBname_;

    tabStrip_ = new QTabWidget(frame);
    tabStrip_->setObjectName("TabStrip");
    tabStrip_->setGeometry(kTabStrip);
    import_ = new ImportTab(context_);
    import_->setObjectName("FraEB_1");
    export_ = new ExportTab(context_);
    export_->setObjectName("FraEB_2");
    compareEb_ = new CompareEbTab(context_, import_->ebName());
    compareEb_->setObjectName("FraEB_3");
    AddCompareFilesButton(context_, *compareEb_);
    tabStrip_->addTab(import_, "Import");
    tabStrip_->addTab(export_, "Export");
    tabStrip_->addTab(compareEb_, "Compare EB");
    tabStrip_->setTabToolTip(0, "Import from an EB file to database");
    tabStrip_->setTabToolTip(1, "Export from database to an EB file");
    tabStrip_->setTabToolTip(2, "Compare database with an EB file");

    auto* compareDbFrame = new QGroupBox("Compare DB", frame);
    compareDbFrame->setObjectName("fraCompareDB");
    compareDbFrame->setGeometry(kCompareDbFrame);
    compareDb_ = new CompareDbPanel(context_, compareDbFrame);
    compareDb_->setObjectName("FraEB_4");
    compareDb_->setGeometry(kCompareDbPanel.translated(-kCompareDbFrame.topLeft()));

    buildMenus();
    addResultViews();
    addShortcuts();
    // The path boxes: the whole path as tooltip, its end (the file name) in view.
    for (QLineEdit* box : frame->findChildren<QLineEdit*>()) {
        if (!box->isReadOnly()) continue;
        connect(box, &QLineEdit::textChanged, box, [box](const QString& path) {
            box->setToolTip(path);
            box->setCursorPosition(static_cast<int>(path.size()));
        });
    }
    resize(kWindowWidth, designedHeight());

    connect(cmdAccess, &QPushButton::clicked, this, &MainWindow::chooseDatabase);
    connect(tabStrip_, &QTabWidget::currentChanged, this,
            [this](int index) { tabClicked(index + 1); });
    connect(txtMDBname_, &QLineEdit::textChanged, this, [this] {
        showBeginHint();
        export_->refreshExportButton();
        compareDb_->refreshCompareDbButton();
    });
    connect(import_->ebName(), &QLineEdit::textChanged, export_, &ExportTab::refreshExportButton);
}

MainWindow::~MainWindow() {
    delete options_;
    if (!shutDown_) RunShutdown(state_);
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    QAction* server = file->addAction("Open Server Database...");
    server->setObjectName("mnuOpenServerDatabase");
    connect(server, &QAction::triggered, this, [this] {
        if (const std::string uri = ChooseServerDatabase(this); !uri.empty())
            applyDatabase(ToQString(uri), true);
    });
    QAction* exit = file->addAction("&Exit");
    exit->setObjectName("mnuExit");
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* tools = menuBar()->addMenu("&Tools");
    tools->setObjectName("mnuTools");
    QAction* connections = tools->addAction("&Connection Report");
    connections->setObjectName("mnuConnections");
    connect(connections, &QAction::triggered, this, &MainWindow::showConnections);
    QAction* options = tools->addAction("&Options");
    options->setObjectName("mnuOptions");
    connect(options, &QAction::triggered, this, &MainWindow::showOptions);
    // Added at the end, so that the designed entries keep their places.
    QAction* checkConnections = tools->addAction("Check Connections...");
    checkConnections->setObjectName("mnuCheckConnections");
    connect(checkConnections, &QAction::triggered, this, &MainWindow::showConnectionCheck);
    QAction* compareDb = tools->addAction("Compare DB");
    compareDb->setObjectName("mnuCompareDB");
    connect(compareDb, &QAction::triggered, this, &MainWindow::showCompareDb);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    QAction* about = help->addAction("About");
    about->setObjectName("mnuAbout");
    about->setShortcut(QKeySequence(Qt::Key_F1));
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::addResultViews() {
    results_ = AddResultsDock(*this, feedback_);
    databaseNote_ = AddDatabaseNote(*tabStrip_);
    AddDifferencesButton(context_, findChild<QPushButton*>("cmdView"), Panel::CompareEb);
    AddDifferencesButton(context_, findChild<QPushButton*>("cmdViewDB"), Panel::CompareDb);
    MakeFolderBoxEditable(context_, *compareEb_);
}

void MainWindow::noteResult(const QString& text) {
    results_->addNote(text);
}

bool MainWindow::load(const std::string& definitionsPath, const std::string& homeDirectory) {
    import_->currentFileLabel()->clear();
    StartupResult result = RunStartup(state_, settings_, definitionsPath, homeDirectory);
    if (!result.ok) {
        // The message box says only this; what failed goes to the terminal, if any.
        std::fprintf(stderr, "pelorin: %s\n", result.failure.c_str());
        dialogs_.message(this, ToQString(kProgramTitle), "Error in form load");
        return false;
    }
    if (!result.accessDatabase.empty()) txtMDBname_->setText(ToQString(result.accessDatabase));
    CheckChosenDatabase(*databaseNote_, txtMDBname_->text());
    for (const std::string& warning : result.warnings)
        dialogs_.message(this, ToQString(kProgramTitle), ToQString(warning), Icon::Exclamation);
    clearText();
    export_->fillCombos();
    compareDb_->fillCombos();
    tabStrip_->setCurrentIndex(0);
    currentTab_ = 1;
    resize(kWindowWidth, designedHeight());
    export_->pointsOptionClicked(0);
    import_->parametersOptionClicked(0);
    restoreWindowSettings();
    showBeginHint();
    return true;
}

void MainWindow::presetDemo(const DemoPlant& demo) {
    applyDatabase(ToQString(demo.database), false);
    // The export file first: the import files' folder then stays the EB-file directory, which
    // the Compare EB tab shows.
    export_->applyExportFile(ToQString(demo.exportFile), false);
    export_->selectPointTypes(demo.pointTypes);
    QStringList files;
    for (const std::string& f : demo.files) files << ToQString(f);
    if (!files.isEmpty()) import_->applyChosenFiles(files, false);
    compareEb_->applyResultsFile(ToQString(demo.compareResults));
    compareDb_->applyAsBuiltDatabase(ToQString(demo.asBuiltDatabase), false);
    compareDb_->applyResultsFile(ToQString(demo.compareDbResults));
    compareDb_->selectPointTypes(demo.pointTypes);
    // Making the plant ran imports; their progress is not the user's.
    import_->currentFileLabel()->clear();
    for (Panel panel : {Panel::Import, Panel::CompareDb}) feedback_.setProgress(panel, 0);
    clearText();
}

void MainWindow::clearText() {
    feedback_.clearText();
    feedback_.showNow();
}

void MainWindow::refreshCurrentTab() {
    ++refreshes_;
    switch (currentTab_) {
        case 1:
            import_->refreshImportButton();
            break;
        case 2:
            export_->refreshExportButton();
            break;
        case 3:
            compareEb_->setDirectory(ToQString(state_.ebFileDirectory));
            compareEb_->refreshCompareEbButton();
            break;
        default:
            break;
    }
}

void MainWindow::applyDatabase(const QString& path, bool store) {
    txtMDBname_->setText(path);
    CheckChosenDatabase(*databaseNote_, path);
    if (!db::IsServerUri(ToStdString(path)))  // a URI has no folder to start from
        state_.accessDirectory = DirectoryPart(ToStdString(path));
    if (store) {
        settings_.write("Access Database", ToStdString(path));
        settings_.write("Access Directory", state_.accessDirectory);
    }
    refreshCurrentTab();
}

void MainWindow::chooseDatabase() {
    FileChoice choice{"Select a database", DatabaseFilter(), ToQString(state_.accessDirectory),
                      QString(), true};
    auto path = dialogs_.openFile(this, choice);
    if (!path) return;
    applyDatabase(*path, true);
}

void MainWindow::tabClicked(int tab) {
    if (tab == currentTab_ || tab < 1 || tab > tabStrip_->count()) return;
    currentTab_ = tab;
    if (tabStrip_->currentIndex() != tab - 1) tabStrip_->setCurrentIndex(tab - 1);
    refreshCurrentTab();
}

void MainWindow::showConnections() {
    ConnectionsDialog dialog(context_, txtMDBname_->text(), this);
    dialog.exec();
}

void MainWindow::showConnectionCheck() {
    ConnectionCheckDialog dialog(context_, txtMDBname_->text(), this);
    dialog.exec();
}

void MainWindow::showOptions() {
    if (!options_) options_ = new OptionsDialog(context_, this);
    options_->exec();
    if (options_->unloaded()) {
        delete options_;
        options_ = nullptr;
    }
}

void MainWindow::showAbout() {
    if (!about_) about_ = new AboutDialog(this);
    about_->show();
    about_->raise();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A run holds the thread; its end comes first, and the user sees its result.
    if (context_.busy) {
        event->ignore();
        showRunNote("The window closes once the run has ended: Cancel stops it.");
        return;
    }
    storeWindowSettings();
    if (about_) about_->close();
    RunShutdown(state_);
    shutDown_ = true;
    event->accept();
}

void MainWindow::showBeginHint() {
    const bool none = txtMDBname_->text().isEmpty();
    if (none == beginHintShown_) return;
    beginHintShown_ = none;
    for (Panel panel : {Panel::Import, Panel::Export, Panel::CompareEb})
        feedback_.setLabel(panel, Label::Status, none ? "Choose a point database to begin" : "");
    feedback_.showNow();
}

int MainWindow::designedHeight() const {
    return menuBar()->sizeHint().height() + kTabStrip.bottom() + 1 + kBottomMargin;
}

void MainWindow::addShortcuts() {
    auto* open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    connect(open, &QShortcut::activated, this, &MainWindow::chooseDatabase);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (screen()) fitToScreen(screen()->availableGeometry());
}

void MainWindow::fitToScreen(const QRect& available) {
    screenArea_ = available;
    const int decoration = frameGeometry().height() - height();
    const bool tooLow =
        available.height() < menuBar()->sizeHint().height() + kContentHeight + decoration;
    frame_->setMinimumSize(0, tooLow ? kContentHeight : 0);
}

void MainWindow::showCompareDb() {
    const int decoration = frameGeometry().height() - height();
    const int wanted = menuBar()->sizeHint().height() + kContentHeight;
    const int room = screenArea_.isValid() ? screenArea_.height() - decoration : wanted;
    resize(width(), std::max(height(), std::min(wanted, room)));
    if (screenArea_.isValid() && frameGeometry().bottom() > screenArea_.bottom())
        move(x(), std::max(screenArea_.top(), screenArea_.bottom() - frameGeometry().height()));
    scroll_->ensureWidgetVisible(compareDb_->parentWidget(), 0, 0);
}

void MainWindow::showRunNote(const QString& text) {
    feedback_.showRunNote(ToStdString(text));
    noteResult(text);
}

bool MainWindow::focusNextPrevChild(bool next) {
    QWidget* start = focusWidget();
    // Bounded: a window whose every control is out of view keeps its focus where it was.
    for (int step = 0; step < 500; ++step) {
        if (!QMainWindow::focusNextPrevChild(next)) return false;
        QWidget* now = focusWidget();
        if (!now || now == start || !frame_->isAncestorOf(now) || InView(now, scroll_->viewport()))
            return true;
    }
    return true;
}

void MainWindow::restoreWindowSettings() {
    const QByteArray geometry =
        QByteArray::fromBase64(QByteArray::fromStdString(settings_.readWindow("Geometry", "")));
    if (!geometry.isEmpty()) restoreGeometry(geometry);
    const int tab = QString::fromStdString(settings_.readWindow("Tab", "1")).toInt();
    if (tab >= 1 && tab <= tabStrip_->count()) tabClicked(tab);
}

void MainWindow::storeWindowSettings() {
    settings_.writeWindow("Geometry", saveGeometry().toBase64().toStdString());
    settings_.writeWindow("Tab", std::to_string(currentTab_));
}

}  // namespace pel
