// frmMain: start-up, the Compare DB panel on low screens, the focus chain, tab switching, the
// enabling rules, the file choices and their settings, ClearText, the option inputs, the feedback's
// repaints, View, the menus and what the window remembers.

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include "app/DemoPlant.h"
#include "compare/CompareDbPanel.h"
#include "compare/CompareEbTab.h"
#include "core/Paths.h"
#include "export/ExportTab.h"
#include "import/ImportTab.h"
#include "support/WindowHarness.h"

using namespace pel;
using pel::test::Q;
using pel::test::WindowHarness;

namespace {

// Switches tab the way a click does.
void ClickTab(WindowHarness& h, int tab) {
    auto* strip = h.find<QTabWidget>("TabStrip");
    QTabBar* bar = strip->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab - 1).center());
}

// Whether the whole widget lies in the part of the window's content that is seen.
bool Seen(WindowHarness& h, const QWidget* w) {
    const QWidget* viewport = h.find<QScrollArea>("frmMainScroll")->viewport();
    return viewport->rect().contains(QRect(w->mapTo(viewport, QPoint(0, 0)), w->size()));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startupWithoutDefinitionsSaysErrorInFormLoad() {
        WindowHarness h("/nonexistent/EB.db");
        QVERIFY(!h.loaded);
        QCOMPARE(h.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(h.dialogs.messages[0].text, QString("Error in form load"));
        // The later steps were skipped: no node choices.
        QCOMPARE(h.find<QComboBox>("cmbLcnNode")->count(), 0);
        QCOMPARE(h.find<QLabel>("txtCurrentEbFile")->text(), QString());
        h.window->close();  // shut-down after a failed start-up says nothing more
        QCOMPARE(h.dialogs.messages.size(), std::size_t(1));
    }

    void startupShowsTheRememberedDatabaseOnlyWhenItExists() {
        test::TempDir dir;
        const std::string existing = dir.file("plant.db");
        test::WriteFile(existing, "x");
        WindowHarness present({}, [&](MemorySettingsStore& s) {
            s.write("Access Database", existing);
            s.write("Max Points Per EB", "lots");  // said, and start-up goes on
        });
        QCOMPARE(present.find<QLineEdit>("txtMDBname")->text(), Q(existing));
        QVERIFY(present.dialogs.saidSomething("250"));
        const std::string gone = dir.file("gone.db");
        WindowHarness missing({},
                              [&](MemorySettingsStore& s) { s.write("Access Database", gone); });
        QCOMPARE(missing.find<QLineEdit>("txtMDBname")->text(), QString());
        QCOMPARE(missing.settings.read("Access Database", ""), gone);  // left as stored
        // A server database is no file: restored as it is, tried when an operation runs.
        const std::string server = "postgresql://eng@plantdb/unit100";
        WindowHarness remote({},
                             [&](MemorySettingsStore& s) { s.write("Access Database", server); });
        QCOMPARE(remote.find<QLineEdit>("txtMDBname")->text(), Q(server));
    }

    // Until a database is chosen the status labels say where to begin; the export list holds
    // the types of the chosen node.
    void beginHintAndTheNodesTypes() {
        WindowHarness h;
        for (const char* name : {"txtImportStatus", "txtExportStatus", "txtCompareEBStatus"})
            QCOMPARE(h.find<QLabel>(name)->text(), QString("Choose a point database to begin"));
        h.window->applyDatabase("/plant/unit100.db", false);
        QCOMPARE(h.find<QLabel>("txtImportStatus")->text(), QString());
        auto* list = h.find<QListWidget>("listPointTypes");
        QCOMPARE(list->item(0)->text(), QString("ANINNIM"));
        h.find<QComboBox>("cmbLcnNode")->setCurrentText("HG");
        QVERIFY(list->count() > 0);
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(Q(*h.state.catalog.definition(list->item(i)->text().toStdString())->node),
                     QString("HG"));
        h.find<QComboBox>("cmbLcnNode")->setCurrentText("XX");
        QCOMPARE(list->count(), 0);
    }

    void tabClicksRefreshOnce() {
        WindowHarness h;
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        const int before = h.window->refreshCount();
        ClickTab(h, 1);  // the shown tab: nothing happens
        QCOMPARE(h.window->refreshCount(), before);
        ClickTab(h, 2);
        QCOMPARE(h.window->currentTab(), 2);
        QCOMPARE(h.window->refreshCount(), before + 1);
        QVERIFY(h.window->exportTab()->isVisible());
        QVERIFY(!h.window->importTab()->isVisible());
        ClickTab(h, 2);
        QCOMPARE(h.window->refreshCount(), before + 1);
    }

    // Below the window at the start-up size, the panel comes into view with Tools > Compare DB:
    // the window grows where the screen has room; on a low screen it grows to the screen's
    // height and its content scrolls. Tab walks only over the controls in view.
    void theCompareDbPanelIsReachableAndTabOnlyWalksWhatIsSeen_data() {
        QTest::addColumn<int>("screenHeight");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("1600x1200") << 1200 << false;
        QTest::newRow("1024x600") << 600 << true;
    }

    void theCompareDbPanelIsReachableAndTabOnlyWalksWhatIsSeen() {
        QFETCH(int, screenHeight);
        QFETCH(bool, scrolls);
        WindowHarness h;
        h.window->show();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        h.window->fitToScreen(QRect(0, 0, 1024, screenHeight));
        auto* panel = h.window->compareDbPanel();
        QVERIFY(!Seen(h, panel));
        auto tabWalk = [&] {
            QSet<QWidget*> met;
            h.find<QPushButton>("cmdAccess")->setFocus();
            for (int i = 0; i < 60; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                met.insert(QApplication::focusWidget());
            }
            return met;
        };
        for (QWidget* w : tabWalk()) QVERIFY2(!panel->isAncestorOf(w), qPrintable(w->objectName()));

        h.find<QAction>("mnuCompareDB")->trigger();
        QTRY_VERIFY(Seen(h, panel));
        QVERIFY(h.window->height() <= screenHeight);
        QCOMPARE(h.find<QScrollArea>("frmMainScroll")->verticalScrollBar()->value() > 0, scrolls);
        QVERIFY(tabWalk().contains(h.find<QPushButton>("cmdAsBuiltDB")));
        for (int tab : {3, 1, 2}) {
            ClickTab(h, tab);
            QVERIFY(Seen(h, panel));
        }
    }

    void enablingRules_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("enabled");
        // given: d database, e EB files, x export file, 1 or 2 the export option, f selection
        // file, t selection text, r results file, n no *.eb in the compared folder.
        // enabled: i Import from EB, x Export to EB, c Compare EB.
        const char* rows[][3] = {{"nothing chosen", "", ""},
                                 {"database only", "d", ""},
                                 {"EB files without database", "exr", ""},
                                 {"database and EB files", "de", "i"},
                                 {"export All", "dx", "x"},
                                 {"export file option, no file", "dx1t", ""},
                                 {"export file option, file", "dx1f", "x"},
                                 {"export text option, no text", "dx2f", ""},
                                 {"export text option, text", "dx2t", "x"},
                                 {"compare ready", "dr", "c"},
                                 {"compare, folder without *.eb", "drn", ""}};
        for (const auto& [name, given, enabled] : rows)
            QTest::newRow(name) << QString(given) << QString(enabled);
    }

    void enablingRules() {
        QFETCH(QString, given);
        QFETCH(QString, enabled);
        WindowHarness h;
        const std::string compared = h.home.file("compared");
        std::filesystem::create_directory(compared);
        test::WriteFile(compared + (given.contains('n') ? "/unit.txt" : "/unit.EB"), "");
        if (given.contains('e'))
            h.window->importTab()->applyChosenFiles(
                {Q(h.home.file("a.eb")), Q(h.home.file("b.eb"))}, false);
        if (given.contains('d')) h.window->applyDatabase(Q(h.home.file("plant.db")), false);
        if (given.contains('x'))
            h.window->exportTab()->applyExportFile(Q(h.home.file("out")), false);
        const char* option = given.contains('1')   ? "optPointsToExport_1"
                             : given.contains('2') ? "optPointsToExport_2"
                                                   : "optPointsToExport_0";
        h.find<QAbstractButton>(option)->click();
        if (given.contains('f')) h.find<QLineEdit>("txtExportSelectionFile")->setText("names.txt");
        if (given.contains('t'))
            h.find<QPlainTextEdit>("txtExportSelectionList")->setPlainText("FIC101");
        if (given.contains('r'))
            h.window->compareEbTab()->applyResultsFile(Q(h.home.file("r.htm")));
        h.state.ebFileDirectory = compared;

        h.window->tabClicked(2);
        QCOMPARE(h.find<QPushButton>("cmdBuildEB")->isEnabled(), enabled.contains('x'));
        h.window->tabClicked(3);
        QCOMPARE(h.find<QPushButton>("cmdCompareEB")->isEnabled(), enabled.contains('c'));
        h.window->tabClicked(1);
        QCOMPARE(h.find<QPushButton>("cmdImportEB")->isEnabled(), enabled.contains('i'));
    }

    void choosingTheDatabaseOnTheExportTabEnablesExportAtOnce() {
        WindowHarness h;
        test::TempDir dir;
        h.window->tabClicked(2);
        h.window->exportTab()->applyExportFile(Q(dir.file("plant.eb")), false);
        QVERIFY(!h.find<QPushButton>("cmdBuildEB")->isEnabled());
        h.dialogs.choose(Q(dir.file("plant.db")));
        h.find<QPushButton>("cmdAccess")->click();
        QVERIFY(h.find<QPushButton>("cmdBuildEB")->isEnabled());
        QCOMPARE(h.dialogs.fileRequests.back().choice.directory, h.home.path().string().c_str());
        QCOMPARE(h.settings.read("Access Database", ""), dir.file("plant.db"));
        QCOMPARE(h.state.accessDirectory, dir.path().string());
    }

    void settingsAreWrittenOnlyOnConfirmedChoices_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("key");     // stores the chosen file's folder; empty: nothing
        QTest::addColumn<QString>("chosen");  // relative to the temporary folder
        const char* rows[][3] = {
            {"cmdAccess", "Access Directory", "db/plant.db"},
            {"cmdEB", "EB-file Directory", "in/a.eb"},
            {"btnEbExportFile", "EB-file Directory", "out/plant"},
            {"cmdExportSelectionListFile", "SelectionFile Directory", "sel/names.txt"},
            {"cmdAsBuiltDB", "AsBuilt Directory", "built/asbuilt.db"},
            {"cmdCompareResultsFile", "", "r/x.htm"},
            {"cmdCompareDBResultsFile", "", "r/y.htm"}};
        for (const auto& [button, key, chosen] : rows)
            QTest::newRow(button) << QString(button) << QString(key) << QString(chosen);
    }

    void settingsAreWrittenOnlyOnConfirmedChoices() {
        QFETCH(QString, button);
        QFETCH(QString, key);
        QFETCH(QString, chosen);
        WindowHarness h;
        const QString base = Q(h.home.path().string()) + "/";
        for (int tab : {2, 3, 1}) h.window->tabClicked(tab);
        h.find<QAbstractButton>("optPointsToExport_1")->click();  // enables the "..." button
        h.dialogs.cancel();
        h.find<QPushButton>(button.toUtf8().constData())->click();
        QCOMPARE(h.settings.writes(), 0);
        QCOMPARE(h.dialogs.fileRequests.size(), std::size_t(1));
        if (button == "cmdEB")
            h.dialogs.chooseMany({base + chosen});
        else
            h.dialogs.choose(base + chosen);
        h.find<QPushButton>(button.toUtf8().constData())->click();
        if (key.isEmpty())
            QCOMPARE(h.settings.writes(), 0);
        else
            QCOMPARE(Q(h.settings.read(key.toStdString(), "")), base + chosen.section('/', 0, 0));
    }

    void proposedNames_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("results");
        QTest::addColumn<QString>("exported");
        const char* rows[][4] = {
            {"folder", "/data/EB", "/data/EB", "/data/EB.eb"},
            {"two", "/a.eb/b.Eb", "/a_Compare.htm/b_Compare.htm", "/a.eb/b.Eb"}};
        for (const auto& [name, given, results, exported] : rows)
            QTest::newRow(name) << QString(given) << QString(results) << QString(exported);
    }

    void proposedNames() {
        QFETCH(QString, given);
        QFETCH(QString, results);
        QFETCH(QString, exported);
        QCOMPARE(ProposedResultsName(given), results);
        QCOMPARE(ExportFileWithExtension(given), exported);
    }

    void theResultsDialogProposesTheImportFolderAsCompareFile() {
        WindowHarness h;
        h.window->importTab()->applyChosenFiles({"/plant/Unit1.EB/a.eb"}, false);
        h.dialogs.cancel();
        h.find<QPushButton>("cmdCompareResultsFile")->click();
        const auto& request = h.dialogs.fileRequests.back();
        QCOMPARE(request.choice.proposedName, QString("/plant/Unit1_Compare.htm"));
        QCOMPARE(request.choice.directory, QString("/plant/Unit1.EB"));
    }

    void theCompareFileListShowsEbFilesInAnyCase() {
        WindowHarness h;
        for (const char* name : {"b.EB", "a.eb", "c.txt"}) test::WriteFile(h.home.file(name), "");
        std::filesystem::create_directory(h.home.file("sub"));
        h.state.ebFileDirectory = h.home.path().string();
        h.window->tabClicked(3);
        QCOMPARE(h.settings.writes(), 0);  // showing the stored folder stores nothing
        auto* files = h.find<QListWidget>("fileListCompareEB");
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->item(0)->text(), QString("a.eb"));
        QCOMPARE(files->item(1)->text(), QString("b.EB"));
        // Moving into a folder lists its files and stores it.
        auto* dirs = h.find<QListWidget>("dirCompareEB");
        QList<QListWidgetItem*> sub = dirs->findItems("sub", Qt::MatchExactly);
        QCOMPARE(sub.size(), 1);
        emit dirs->itemActivated(sub[0]);
        QCOMPARE(files->count(), 0);
        QCOMPARE(h.settings.read("EB-file Directory", ""), h.home.file("sub"));
        QCOMPARE(h.state.ebFileDirectory, h.home.file("sub"));
        // A typed folder is moved to; one that does not exist is said and the box turns back.
        auto* box = h.find<QLineEdit>("txtCompareEBDirectory");
        for (const std::string& typed : {h.home.path().string(), h.home.file("nowhere")}) {
            box->setText(Q(typed));
            QTest::keyClick(box, Qt::Key_Return);
        }
        QCOMPARE(files->count(), 2);
        QCOMPARE(h.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(box->text(), Q(h.home.path().string()));
    }

    void viewHandsTheReportToTheDesktop() {
        WindowHarness h;
        const std::string report = h.home.file("report.htm");
        auto* view = h.find<QPushButton>("cmdView");
        h.window->compareEbTab()->applyResultsFile(Q(report));
        QVERIFY(!view->isEnabled());  // no such file yet
        test::WriteFile(report, "<html></html>");
        h.window->compareEbTab()->applyResultsFile(Q(report));
        QVERIFY(view->isEnabled());
        view->click();
        QCOMPARE(h.dialogs.openedUrls.size(), std::size_t(1));
        QCOMPARE(h.dialogs.openedUrls[0], QUrl::fromLocalFile(Q(report)));
        QVERIFY(h.dialogs.messages.empty());
        h.dialogs.urlOpens = false;
        view->click();
        QCOMPARE(h.dialogs.messages.size(), std::size_t(1));
        QVERIFY(h.dialogs.messages[0].text.contains(Q(report)));
        std::filesystem::remove(report);
        view->click();  // gone since: said, not handed on
        QCOMPARE(h.dialogs.openedUrls.size(), std::size_t(2));
        QCOMPARE(h.dialogs.messages.size(), std::size_t(2));
    }

    // Each option enables its own inputs only (selection file and "...", selection text,
    // parameters to import).
    void optionInputsFollowTheirOption() {
        WindowHarness h;
        const QWidget* inputs[] = {h.find<QLineEdit>("txtExportSelectionFile"),
                                   h.find<QPushButton>("cmdExportSelectionListFile"),
                                   h.find<QPlainTextEdit>("txtExportSelectionList"),
                                   h.find<QPlainTextEdit>("txtParametersToImport")};
        auto enabled = [&] {
            QString states;
            for (const QWidget* w : inputs) states += w->isEnabled() ? '1' : '0';
            return states;
        };
        QCOMPARE(enabled(), QString("0000"));
        const std::pair<const char*, const char*> clicks[] = {{"optPointsToExport_1", "1100"},
                                                              {"optPointsToExport_2", "0010"},
                                                              {"optParametersToImport_1", "0011"},
                                                              {"optParametersToImport_0", "0010"}};
        for (const auto& [option, states] : clicks) {
            h.find<QAbstractButton>(option)->click();
            QCOMPARE(enabled(), QString(states));
        }
    }

    void progressIsShownAFewDozenTimesASecondWithTheLastStateAtTheEnd() {
        WindowHarness h;
        QtFeedback& feedback = h.window->feedback();
        auto* name = h.find<QLabel>("txtImportName");
        auto* bar = h.find<QProgressBar>("prgImport");
        feedback.beginRun(Panel::Import);
        const int before = feedback.repaintsShown();
        QElapsedTimer clock;
        clock.start();
        const int points = 300000;
        for (int i = 1; i <= points; ++i) {
            feedback.setLabel(Panel::Import, Label::Name, "P" + std::to_string(i));
            feedback.setProgress(Panel::Import, double(i) / points);
            if (feedback.repaintDue()) feedback.repaint();
        }
        const double seconds = clock.elapsed() / 1000.0;
        const int shown = feedback.repaintsShown() - before;
        QVERIFY2(shown <= 40 * seconds + 2,
                 qPrintable(QString("%1 repaints in %2 s").arg(shown).arg(seconds)));
        feedback.endRun();
        QCOMPARE(name->text(), QString("P300000"));
        QCOMPARE(bar->value(), bar->maximum());
    }

    void warningsOfARunAreShownTogetherAtItsEnd() {
        WindowHarness h;
        QtFeedback& feedback = h.window->feedback();
        feedback.beginRun(Panel::Import);
        for (int i = 0; i < 25; ++i) feedback.warning("value " + std::to_string(i) + " not stored");
        QVERIFY(h.dialogs.messages.empty());
        feedback.endRun();
        QCOMPARE(h.dialogs.messages.size(), std::size_t(1));
        QVERIFY(h.dialogs.messages[0].text.contains("value 19 not stored"));
        QVERIFY(!h.dialogs.messages[0].text.contains("value 20 not stored"));
        QVERIFY(h.dialogs.messages[0].text.contains("5 more"));
    }

    void theDemoIsShownAsChosenWithoutStoringAnything() {
        WindowHarness h;
        std::filesystem::create_directory(h.home.file("eb"));
        DemoPlant demo;
        demo.ebDirectory = h.home.file("eb");
        demo.files = {h.home.file("eb/A.eb"), h.home.file("eb/B.eb")};
        for (const std::string& f : demo.files) test::WriteFile(f, "");
        demo.database = h.home.file("demo.db");
        demo.asBuiltDatabase = h.home.file("demo-asbuilt.db");
        demo.exportFile = h.home.file("export.eb");
        demo.compareResults = h.home.file("demo_Compare.htm");
        demo.compareDbResults = h.home.file("demo_CompareDB.htm");
        demo.pointTypes = {"REGCLNIM", "DEVCTL"};
        h.find<QLabel>("txtImportStatus")->setText("Points added: 40");
        h.window->presetDemo(demo);
        QCOMPARE(h.settings.writes(), 0);
        QCOMPARE(h.find<QLabel>("txtImportStatus")->text(), QString());
        QVERIFY(h.find<QPushButton>("cmdImportEB")->isEnabled());
        QVERIFY(h.find<QPushButton>("cmdCompareDB")->isEnabled());
        QCOMPARE(h.find<QListWidget>("listPointTypes")->selectedItems().size(), 2);
        h.window->tabClicked(2);
        QVERIFY(h.find<QPushButton>("cmdBuildEB")->isEnabled());
        h.window->tabClicked(3);
        QCOMPARE(h.window->compareEbTab()->directory(), Q(demo.ebDirectory));
        QCOMPARE(h.find<QListWidget>("fileListCompareEB")->count(), 2);
        QVERIFY(h.find<QPushButton>("cmdCompareEB")->isEnabled());
        QCOMPARE(h.settings.writes(), 0);
    }

    void theMenusOpenTheirWindows() {
        WindowHarness h;
        h.window->applyDatabase(Q(h.home.file("plant.db")), false);
        h.window->show();
        h.find<QAction>("mnuAbout")->trigger();
        auto* about = h.window->findChild<QDialog*>("frmAbout");
        QVERIFY(about && about->isVisible() && !about->isModal());

        QString shownDatabase;
        QVERIFY(test::WithModal(
            "frmConnections", [&] { h.find<QAction>("mnuConnections")->trigger(); },
            [&](QDialog* d) { shownDatabase = d->findChild<QLineEdit*>("txtMDBname")->text(); }));
        QCOMPARE(shownDatabase, Q(h.home.file("plant.db")));

        h.find<QAction>("mnuExit")->trigger();
        QVERIFY(!h.window->isVisible());
        QVERIFY(!about->isVisible());
        QVERIFY(!h.state.definitionsConnection);  // shut down

        // Size, place and tab are remembered outside "Properties"; nothing stored: as designed.
        QCOMPARE(h.settings.readWindow("Tab", ""), std::string("1"));
        QVERIFY(!h.settings.values().count("Tab"));
        WindowHarness again({}, [&](MemorySettingsStore& s) {
            s.writeWindow("Tab", "3");
            s.writeWindow("Geometry", h.settings.readWindow("Geometry", ""));
        });
        QCOMPARE(again.window->currentTab(), 3);
        QCOMPARE(again.window->size(), h.window->size());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_guitest.moc"
