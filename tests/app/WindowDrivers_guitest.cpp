// Each driver of the window run end to end with scripted dialogs against temporary databases:
// the import of three files in order, the export with each selection option, Compare EB and
// View, Compare DB, the connection report, the connection check and the EB-file comparison.

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "compare/CompareDbPanel.h"
#include "compare/CompareEbTab.h"
#include "core/Paths.h"
#include "export/ExportTab.h"
#include "import/ImportTab.h"
#include "support/WindowHarness.h"

using namespace pel;
using pel::db::Value;
using pel::test::CrLf;
using pel::test::Q;
using pel::test::WindowHarness;

namespace {

std::string Point(const std::string& name, const std::string& description) {
    return CrLf({"&T REGCLNIM", "&N " + name, "PTDESC = " + description, "{ }"});
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

    void importsThreeFilesInTheOrderChosen() {
        Plant h;
        const std::string a = h.dir.file("A.eb"), b = h.dir.file("B.eb"), c = h.dir.file("C.eb");
        test::WriteFile(a, Point("FIC101", "ONE"));
        test::WriteFile(b, Point("FIC101", "TWO") + Point("FIC102", "NEW"));
        test::WriteFile(c, Point("FIC101", "THREE"));
        h.dialogs.chooseMany({Q(c), Q(a), Q(b)});  // chosen in this order: C, A, B
        h.find<QPushButton>("cmdEB")->click();
        const auto& request = h.dialogs.fileRequests.back();
        QCOMPARE(request.kind, QString("open-many"));
        QCOMPARE(request.choice.title, QString("Select an EB file"));
        QCOMPARE(request.choice.filter, QString("EB Files (*)"));
        QCOMPARE(h.find<QLineEdit>("txtEBname")->text(), Q(h.dir.path().string()));
        QCOMPARE(h.find<QPlainTextEdit>("txtEbImportFiles")->toPlainText(),
                 QString("C.eb\nA.eb\nB.eb"));
        QCOMPARE(h.state.ebFileDirectory, h.dir.path().string());
        h.find<QPushButton>("cmdImportEB")->click();
        QCOMPARE(h.value("REGCLNIM", "FIC101", "PTDESC"), std::string("TWO"));
        QCOMPARE(h.value("REGCLNIM", "FIC102", "PTDESC"), std::string("NEW"));
        QCOMPARE(h.find<QLabel>("txtCurrentEbFile")->text(), Q(b));
        QCOMPARE(h.find<QLabel>("txtImportStatus")->text(),
                 QString("Points added: 1      Points updated: 1"));
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
        QVERIFY(h.dialogs.questions.front().text.startsWith("Points to process: "));
    }

    void exportWithoutPointTypesIsRefused() {
        Plant h;
        h.window->tabClicked(2);
        h.window->exportTab()->applyExportFile(Q(h.dir.file("plant.eb")), false);
        h.find<QPushButton>("cmdBuildEB")->click();
        QVERIFY(h.dialogs.saidSomething("No point types selected"));
        QVERIFY(!FileExists(h.dir.file("plant.eb")));
    }

    void comparesSelectedFilesAndViewsTheReport() {
        Plant h;
        h.row("REGCLNIM", "FIC101", {{"PTDESC", Value::text("ONE")}});
        const std::string folder = h.dir.file("eb");
        std::filesystem::create_directory(folder);
        test::WriteFile(folder + "/unit.eb", Point("FIC101", "TWO"));
        test::WriteFile(folder + "/other.EB", Point("FIC101", "ONE"));
        h.state.ebFileDirectory = folder;
        h.window->tabClicked(3);
        const std::string report = h.dir.file("unit_Compare.htm");
        h.dialogs.choose(Q(report));
        h.find<QPushButton>("cmdCompareResultsFile")->click();
        auto* files = h.find<QListWidget>("fileListCompareEB");
        QCOMPARE(files->count(), 2);
        files->setCurrentRow(1);  // unit.eb
        QVERIFY(!h.find<QPushButton>("cmdView")->isEnabled());
        h.find<QPushButton>("cmdCompareEB")->click();
        const QString html = Q(test::ReadFile(report));
        QVERIFY(html.contains("unit.eb"));
        QVERIFY(!html.contains("other.EB"));
        QVERIFY(html.contains("TWO"));
        QVERIFY(h.find<QLabel>("txtCompareEBStatus")->text().startsWith("Points compared:"));
        QVERIFY(h.find<QPushButton>("cmdView")->isEnabled());
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
        QCOMPARE(h.dialogs.fileRequests.back().choice.title,
                 QString("Compare DB Results file(HTML)"));
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
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->objectName() != "frmConnections") return;
            auto* make = dialog->findChild<QPushButton*>("cmdConnectReport");
            disabledAtFirst = !make->isEnabled();
            dialog->findChild<QPushButton*>("cmdText")->click();
            dialog->findChild<QCheckBox*>("ConnectCheck_4")->setChecked(true);  // REGCLNIM
            enabledOnceChosen = make->isEnabled();
            make->click();
            status = dialog->findChild<QLabel*>("txtConnectStatus")->text();
            dialog->close();
        });
        h.find<QAction>("mnuConnections")->trigger();
        QVERIFY(disabledAtFirst && enabledOnceChosen);
        QCOMPARE(h.dialogs.fileRequests.back().choice.title, QString("Select an text file"));
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
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->objectName() != "frmCheckConnections") return;
            dialog->findChild<QPushButton*>("cmdCheckReport")->click();
            dialog->findChild<QPushButton*>("cmdCheckConnections")->click();
            status = dialog->findChild<QLabel*>("txtCheckStatus")->text();
            dialog->close();
        });
        h.find<QAction>("mnuCheckConnections")->trigger();
        QCOMPARE(status, QString("Points checked: 1      References: 1      Dangling: 1"));
        QVERIFY(Q(test::ReadFile(report)).contains("FIC101,PISRC(1),NOSUCH.PV,point not found"));

        test::WriteFile(h.dir.file("a.eb"), Point("FIC101", "ONE"));
        test::WriteFile(h.dir.file("b.eb"), Point("FIC101", "TWO"));
        h.window->tabClicked(3);
        for (const char* f : {"a.eb", "b.eb", "diff.htm"}) h.dialogs.choose(Q(h.dir.file(f)));
        h.find<QPushButton>("cmdCompareFiles")->click();
        QVERIFY(Q(test::ReadFile(h.dir.file("diff.htm"))).contains("TWO"));
        QCOMPARE(h.dialogs.openedUrls.back(), QUrl::fromLocalFile(Q(h.dir.file("diff.htm"))));
    }
};

QTEST_MAIN(WindowDriversTest)
#include "WindowDrivers_guitest.moc"
