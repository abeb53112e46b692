// Each driver of the window run end to end with scripted dialogs against temporary databases,
// and what the window says after a run: the import of three files in the order chosen with a
// results line each, one message per problem, the export with each selection option, Compare EB
// with View and the differences (a CSV of every row), Compare DB, the connection report, the
// connection check and the EB-file comparison.

#include <sys/stat.h>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "compare/CompareDbPanel.h"
#include "compare/CompareEbTab.h"
#include "compare/DifferencesDialog.h"
#include "core/Paths.h"
#include "export/ExportTab.h"
#include "import/ImportTab.h"
#include "support/WindowHarness.h"
#include "ui/ResultsArea.h"

using namespace pel;
using pel::db::Value;
using pel::test::CrLf;
using pel::test::Q;
using pel::test::WindowHarness;

namespace {

std::string Point(const std::string& name, const std::vector<std::string>& parameters) {
    std::vector<std::string> lines{"&T REGCLNIM", "&N " + name};
    lines.insert(lines.end(), parameters.begin(), parameters.end());
    return CrLf(lines);
}

// The point names of an EB file, in order.
QStringList NamesIn(const std::string& path) {
    QStringList names;
    for (const QString& line : Q(test::ReadFile(path)).split("\r\n"))
        if (line.startsWith("&N ")) names << line.mid(3);
    return names;
}

// A window on a new point database (the temporary folder holds both). Points are added
// straight through the database layer, so that a test of one engine does not lean on another.
struct Plant : test::PlantFixture, WindowHarness {
    Plant() { window->applyDatabase(Q(db), false); }

    // EB files C, A, B (each with its own point) chosen on the Import tab in this order.
    void chooseThreeFiles() {
        QStringList paths;
        for (const char* name : {"C", "A", "B"}) {
            const std::string path = dir.file(std::string(name) + ".eb");
            test::WriteFile(path,
                            Point(std::string("FIC_") + name, {"PTDESC = " + std::string(name)}));
            paths << Q(path);
        }
        dialogs.chooseMany(paths);
        find<QPushButton>("cmdEB")->click();
    }
    QStringList results() const {
        QStringList lines;
        const QListWidget* list = window->resultsArea();
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
};

void SelectType(QListWidget* list, const QString& type) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(list->item(i)->text() == type);
}

}  // namespace

class WindowDriversTest : public QObject {
    Q_OBJECT
  private slots:
    // While a run holds the window only Cancel and Escape take input; a close is refused with
    // the reason shown; afterwards every control is enabled exactly as before.
    void aRunTakesOnlyCancelAndRefusesToClose_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape") << true;
    }

    void aRunTakesOnlyCancelAndRefusesToClose() {
        QFETCH(bool, escape);
        Plant h;
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->importTab()->applyChosenFiles({Q(h.file("A.eb", {"&T REGCLNIM", "&N FIC101"}))},
                                                false);
        auto enabledStates = [&] {
            QMap<QWidget*, bool> states;
            for (QWidget* w : h.window->findChildren<QWidget*>()) states[w] = w->isEnabled();
            return states;
        };
        const auto before = enabledStates();
        bool held = false;
        QString note;
        QTimer::singleShot(0, [&] {
            auto* cancel = h.find<QPushButton>("cmdCancelImport");
            held = cancel->isEnabled() && !h.find<QPushButton>("cmdAccess")->isEnabled() &&
                   !h.find<QPushButton>("cmdImportEB")->isEnabled();
            h.window->close();
            note = h.find<QLabel>("txtRunNoteImport")->text();
            if (escape)
                QTest::keyClick(h.window.get(), Qt::Key_Escape);
            else
                QTest::mouseClick(cancel, Qt::LeftButton);
        });
        h.find<QPushButton>("cmdImportEB")->click();
        QVERIFY(held);
        QVERIFY(h.window->isVisible());
        QVERIFY(note.contains("Cancel"));
        QCOMPARE(h.value("REGCLNIM", "FIC101", "PTDESC"), std::string("<no row>"));
        QVERIFY(h.dialogs.saidSomething("was cancelled"));
        QVERIFY(enabledStates() == before);
    }

    void importsTheFilesInTheOrderChosenWithAResultsLineEach() {
        Plant h;
        h.row("REGCLNIM", "FIC_B", {{"PTDESC", Value::text("OLD")}});
        h.chooseThreeFiles();
        const auto& request = h.dialogs.fileRequests.back();
        QCOMPARE(request.kind, QString("open-many"));
        QCOMPARE(h.find<QLineEdit>("txtEBname")->text(), Q(h.dir.path().string()));
        QCOMPARE(h.find<QPlainTextEdit>("txtEbImportFiles")->toPlainText(),
                 QString("C.eb\nA.eb\nB.eb"));
        QCOMPARE(h.state.ebFileDirectory, h.dir.path().string());
        h.find<QPushButton>("cmdImportEB")->click();
        QCOMPARE(h.results(),
                 QStringList({"C.eb: Points added: 1      Points updated: 0",
                              "A.eb: Points added: 1      Points updated: 0",
                              "B.eb: Points added: 0      Points updated: 1",
                              "Total of 3 files: Points added: 2      Points updated: 1"}));
        QCOMPARE(h.value("REGCLNIM", "FIC_B", "PTDESC"), std::string("B"));
        QCOMPARE(h.find<QLabel>("txtCurrentEbFile")->text(), Q(h.dir.file("B.eb")));
        QCOMPARE(h.find<QLabel>("txtImportStatus")->text(),
                 QString("Points added: 0      Points updated: 1"));
    }

    void oneMessagePerProblem_data() {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("note");
        const char* rows[][4] = {
            {"not a database", "text", "is not a database", "Not a database"},
            {"no database", "missing", "does not exist", "The database does not exist"},
            {"read-only database", "read-only", "read-only", "Read only: imports cannot change it"},
            {"two files gone", "files", "B.eb", ""}};
        for (const auto& [name, problem, said, note] : rows)
            QTest::newRow(name) << QString(problem) << QString(said) << QString(note);
    }
    void oneMessagePerProblem() {
        QFETCH(QString, problem);
        QFETCH(QString, said);
        QFETCH(QString, note);
        Plant h;
        h.chooseThreeFiles();
        std::string database = h.db;
        if (problem == "text") test::WriteFile(database = h.dir.file("notes.db"), "not a db\n");
        if (problem == "missing") database = h.dir.file("gone.db");
        if (problem == "read-only") ::chmod(database.c_str(), 0444);
        if (problem == "files")
            for (const char* f : {"A.eb", "B.eb"}) std::filesystem::remove(h.dir.file(f));
        h.window->applyDatabase(Q(database), false);
        QCOMPARE(h.find<QLabel>("lblDatabaseNote")->text(), note);
        h.find<QPushButton>("cmdImportEB")->click();
        QCOMPARE(h.dialogs.messages.size(), std::size_t{1});
        QVERIFY(h.dialogs.messages[0].text.contains(said));
        QVERIFY(h.dialogs.questions.empty());
        if (problem == "files") {
            QVERIFY(h.dialogs.messages[0].text.contains("A.eb"));
            QCOMPARE(h.value("REGCLNIM", "FIC_C", "PTDESC"), std::string("C"));
        }
    }

    void importsUpdatesOnlyWithASelectionOfParameters() {
        Plant h;
        h.row("REGCLNIM", "FIC101", {{"PTDESC", Value::text("OLD")}});
        const std::string file =
            h.file("U.eb", {"&T REGCLNIM", "&N FIC101", "PTDESC = NEW", "KEYWORD = FLOW",
                            "&T REGCLNIM", "&N FIC102", "PTDESC = ADDED", "{ }"});
        h.window->importTab()->applyChosenFiles({Q(file)}, false);
        h.find<QAbstractButton>("optUpdate_1")->click();
        h.find<QAbstractButton>("optParametersToImport_1")->click();
        h.find<QPlainTextEdit>("txtParametersToImport")->setPlainText("KEYWORD,\n\tkeyword");
        h.find<QPushButton>("cmdImportEB")->click();
        QCOMPARE(h.value("REGCLNIM", "FIC101", "PTDESC"), std::string("OLD"));
        QCOMPARE(h.value("REGCLNIM", "FIC101", "KEYWORD"), std::string("FLOW"));
        QCOMPARE(h.value("REGCLNIM", "FIC102", "PTDESC"), std::string("<no row>"));
    }

    void exportsWithEachSelectionOption_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QStringList>("exported");
        QTest::newRow("All") << 0 << "" << QStringList{"FIC101", "FIC102", "TIC7"};
        QTest::newRow("Selection List File") << 1 << "  FIC101  \r\n\r\nTIC7\r\n"
                                             << QStringList{"FIC101", "TIC7"};
        QTest::newRow("Selection List Text")
            << 2 << "FIC102, TIC7\nFIC101" << QStringList{"FIC101", "FIC102", "TIC7"};
    }

    void exportsWithEachSelectionOption() {
        QFETCH(int, option);
        QFETCH(QString, selection);
        QFETCH(QStringList, exported);
        Plant h;
        for (const char* name : {"TIC7", "FIC102", "FIC101"})
            h.row("REGCLNIM", name, {{"PTDESC", Value::text("LOOP " + std::string(name))}});
        h.window->tabClicked(2);
        h.dialogs.choose(Q(h.dir.file("plant")));
        h.find<QPushButton>("btnEbExportFile")->click();
        QCOMPARE(h.find<QLineEdit>("txtEbExportFile")->text(), Q(h.dir.file("plant.eb")));
        h.find<QAbstractButton>(("optPointsToExport_" + std::to_string(option)).c_str())->click();
        if (option == 1) {
            test::WriteFile(h.dir.file("names.txt"), selection.toStdString());
            h.dialogs.choose(Q(h.dir.file("names.txt")));
            h.find<QPushButton>("cmdExportSelectionListFile")->click();
        }
        if (option == 2) h.find<QPlainTextEdit>("txtExportSelectionList")->setPlainText(selection);
        SelectType(h.find<QListWidget>("listPointTypes"), "REGCLNIM");
        h.find<QPushButton>("cmdBuildEB")->click();
        QCOMPARE(NamesIn(h.dir.file("plant.eb")), exported);
        QCOMPARE(h.find<QLabel>("txtExportStatus")->text(),
                 "Points exported: " + QString::number(exported.size()));
        QCOMPARE(h.dialogs.questions.front().title, QString("Build EB File"));
    }

    // Only the selected file is compared; the report can be viewed and its differences saved
    // as CSV, every row whatever the filter shows.
    void comparesSelectedFilesViewsTheReportAndSavesTheDifferences() {
        Plant h;
        h.columns("REGCLNIM", {{"NODENUM", "INTEGER"}});
        h.row("REGCLNIM", "FIC101",
              {{"PTDESC", Value::text("ONE")}, {"NODENUM", Value::integer(1)}});
        h.row("REGCLNIM", "FIC103",
              {{"PTDESC", Value::text("GONE")}, {"NODENUM", Value::integer(1)}});
        const std::string folder = h.dir.file("eb");
        std::filesystem::create_directory(folder);
        test::WriteFile(folder + "/unit.eb", Point("FIC101", {"NODENUM = 1", "PTDESC = TWO"}) +
                                                 Point("FIC102", {"NODENUM = 1"}));
        test::WriteFile(folder + "/other.EB", Point("FIC101", {"PTDESC = ONE"}));
        h.state.ebFileDirectory = folder;
        h.window->tabClicked(3);
        const std::string report = h.dir.file("unit_Compare.htm"), csv = h.dir.file("d.csv");
        h.dialogs.choose(Q(report));
        h.find<QPushButton>("cmdCompareResultsFile")->click();
        auto* files = h.find<QListWidget>("fileListCompareEB");
        QCOMPARE(files->count(), 2);
        files->setCurrentRow(1);  // unit.eb
        h.find<QCheckBox>("chkTwoWayCheck")->setChecked(true);
        auto* differences = h.find<QPushButton>("cmdViewDifferences");
        QVERIFY(!differences->isEnabled());
        h.find<QPushButton>("cmdCompareEB")->click();
        const QString html = Q(test::ReadFile(report));
        QVERIFY(html.contains("unit.eb"));
        QVERIFY(!html.contains("other.EB"));
        QVERIFY(html.contains("TWO"));
        QVERIFY(h.find<QLabel>("txtCompareEBStatus")->text().startsWith("Points compared:"));
        QVERIFY(h.find<QPushButton>("cmdView")->isEnabled());
        QVERIFY(differences->isEnabled());
        QVERIFY(h.results().contains(
            "Points with differences: 1, parameters differing: 1, points missing: 1 in the "
            "database, 1 in the EB files"));

        h.dialogs.choose(Q(csv));
        int filtered = -1;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<DifferencesDialog*>(QApplication::activeModalWidget());
            dialog->filter("fic101");
            filtered = dialog->rowsShown();
            dialog->saveCsv();  // every row, whatever the filter shows
            dialog->accept();
        });
        differences->click();
        QCOMPARE(filtered, 1);
        QCOMPARE(test::ReadFile(csv),
                 CrLf({"Point type,Point,Parameter,Value (EB),Value (DB)",
                       "REGCLNIM,FIC101,PTDESC,TWO,ONE", "REGCLNIM,FIC102,,,Not Found in Database",
                       "REGCLNIM,FIC103,PTDESC,Not in EB,GONE"}));
    }

    void comparesTheDatabaseWithTheAsBuiltDatabase() {
        Plant h;
        test::PlantFixture asBuilt;
        h.row("REGCLNIM", "FIC101", {{"PTDESC", Value::text("FEED")}});
        asBuilt.row("REGCLNIM", "FIC101", {{"PTDESC", Value::text("FEED FLOW")}});
        h.dialogs.choose(Q(asBuilt.db));
        h.find<QPushButton>("cmdAsBuiltDB")->click();
        QVERIFY(!h.find<QPushButton>("cmdCompareDB")->isEnabled());  // no results file yet
        const std::string report = h.dir.file("db_Compare.htm");
        h.dialogs.choose(Q(report));
        h.find<QPushButton>("cmdCompareDBResultsFile")->click();
        QVERIFY(h.find<QPushButton>("cmdCompareDB")->isEnabled());
        h.find<QPushButton>("cmdCompareDB")->click();  // no point type selected: nothing happens
        QVERIFY(h.dialogs.questions.empty() && h.dialogs.messages.empty());
        SelectType(h.find<QListWidget>("listLoadPtTypes"), "REGCLNIM");
        h.find<QPushButton>("cmdCompareDB")->click();
        QCOMPARE(h.find<QLabel>("txtCompareDBStatus")->text(), QString("Points compared: 1"));
        QVERIFY(Q(test::ReadFile(report)).contains("FEED FLOW"));
        QVERIFY(h.find<QPushButton>("cmdViewDB")->isEnabled());
    }

    void makesTheConnectionReport() {
        Plant h;
        h.columns("REGCLNIM", {{"PISRC(1)", "TEXT"}, {"LISRC(2)", "TEXT"}});
        h.columns("DEVCTL", {{"DISRC(1)", "TEXT"}});
        h.row("REGCLNIM", "FIC101",
              {{"PTDESC", Value::text("FEED")},
               {"PISRC(1)", Value::text("FIC100.PV")},
               {"LISRC(2)", Value::text("5")}});
        h.row("DEVCTL", "P101", {{"DISRC(1)", Value::text("YS101.PVFL")}});
        const std::string report = h.dir.file("connections.txt");
        h.dialogs.choose(Q(report));
        QString status;
        bool disabledAtFirst = false, enabledOnceChosen = false;
        auto open = [&] { h.find<QAction>("mnuConnections")->trigger(); };
        QVERIFY(test::WithModal("frmConnections", open, [&](QDialog* dialog) {
            auto* make = dialog->findChild<QPushButton*>("cmdConnectReport");
            disabledAtFirst = !make->isEnabled();
            dialog->findChild<QPushButton*>("cmdText")->click();
            dialog->findChild<QCheckBox*>("ConnectCheck_4")->setChecked(true);  // REGCLNIM
            enabledOnceChosen = make->isEnabled();
            make->click();
            status = dialog->findChild<QLabel*>("txtConnectStatus")->text();
        }));
        QVERIFY(disabledAtFirst && enabledOnceChosen);
        QCOMPARE(h.settings.read("Text file Directory", ""), h.dir.path().string());
        QCOMPARE(status, QString("Points reported: 1"));
        QCOMPARE(test::ReadFile(report), CrLf({"Point Type REGCLNIM", "Name       FIC101",
                                               "PISRC(1) = FIC100.PV", "LISRC(2) = 5", "{ }"}));
    }

    void checksConnectionsAndComparesTwoFiles() {
        Plant h;
        h.columns("REGCLNIM", {{"PISRC(1)", "TEXT"}});
        h.row("REGCLNIM", "FIC101", {{"PISRC(1)", Value::text("NOSUCH.PV")}});
        const std::string report = h.dir.file("dangling.csv");
        h.dialogs.choose(Q(report));
        QString status;
        auto open = [&] { h.find<QAction>("mnuCheckConnections")->trigger(); };
        QVERIFY(test::WithModal("frmCheckConnections", open, [&](QDialog* dialog) {
            dialog->findChild<QPushButton*>("cmdCheckReport")->click();
            dialog->findChild<QPushButton*>("cmdCheckConnections")->click();
            status = dialog->findChild<QLabel*>("txtCheckStatus")->text();
        }));
        QCOMPARE(status, QString("Points checked: 1      References: 1      Dangling: 1"));
        QVERIFY(Q(test::ReadFile(report)).contains("FIC101,PISRC(1),NOSUCH.PV,point not found"));

        test::WriteFile(h.dir.file("a.eb"), Point("FIC101", {"PTDESC = ONE"}));
        test::WriteFile(h.dir.file("b.eb"), Point("FIC101", {"PTDESC = TWO"}));
        h.window->tabClicked(3);
        for (const char* f : {"a.eb", "b.eb", "diff.htm"}) h.dialogs.choose(Q(h.dir.file(f)));
        h.find<QPushButton>("cmdCompareFiles")->click();
        QVERIFY(Q(test::ReadFile(h.dir.file("diff.htm"))).contains("TWO"));
        QCOMPARE(h.dialogs.openedUrls.back(), QUrl::fromLocalFile(Q(h.dir.file("diff.htm"))));
    }
};

QTEST_MAIN(WindowDriversTest)
#include "WindowDrivers_guitest.moc"
