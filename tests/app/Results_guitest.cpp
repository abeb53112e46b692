// What the window says after a run: one message per problem, the results list, and the
// differences of a comparison as a table whose CSV holds the report's rows.

#include <sys/stat.h>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>

#include "compare/DifferencesDialog.h"
#include "support/WindowHarness.h"
#include "ui/ResultsArea.h"

using namespace pel;
using pel::db::Value;
using pel::test::Q;

namespace {

std::string Point(const std::string& name, const std::vector<std::string>& parameters) {
    std::vector<std::string> lines{"&T REGCLNIM", "&N " + name};
    lines.insert(lines.end(), parameters.begin(), parameters.end());
    return test::CrLf(lines);
}

struct Plant : test::PlantFixture, test::WindowHarness {
    Plant() { window->applyDatabase(Q(db), false); }

    // Three EB files A, B, C chosen on the Import tab.
    void chooseThreeFiles() {
        QStringList paths;
        for (const char* name : {"A", "B", "C"}) {
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

// The rows of the report's tables, each as its cells' texts joined by "|".
QStringList ReportRows(const std::string& html) {
    QStringList rows, cells;
    for (QString line : Q(html).split("\r\n")) {
        line = line.trimmed();
        if (line.endsWith("<tr>")) cells.clear();
        if (line.startsWith("<td")) {
            line.remove(QRegularExpression("<[^>]*>"));
            cells << line;
        }
        if (line == "</tr>" && !cells.isEmpty()) rows << cells.join('|');
    }
    return rows;
}

// The CSV's rows in the report's cells: a parameter and both values, a point the database
// lacks with the report's text, a point the EB files lack with its description and text.
QStringList CsvAsReportRows(const std::string& csv) {
    QStringList rows;
    const QStringList lines = Q(csv).split("\r\n", Qt::SkipEmptyParts);
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(',');
        if (f[2].isEmpty())
            rows << f[1] + "|" + f[4] + "|";
        else if (f[3] == "Not in EB")
            rows << f[1] + "|" + f[4] + "|" + f[3];
        else
            rows << f[2] + "|" + f[3] + "|" + f[4];
    }
    return rows;
}

}  // namespace

class ResultsTest : public QObject {
    Q_OBJECT
  private slots:
    void oneMessagePerProblem_data() {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("note");
        QTest::newRow("not a database") << "text"
                                        << "is not a database"
                                        << "Not a database";
        QTest::newRow("no database") << "missing"
                                     << "does not exist"
                                     << "The database does not exist";
        QTest::newRow("read-only database") << "read-only"
                                            << "read-only"
                                            << "Read only: imports cannot change it";
        QTest::newRow("two files gone") << "files"
                                        << "B.eb"
                                        << "";
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

    void listsEachFileAndTheTotalsAfterAnImport() {
        Plant h;
        h.row("REGCLNIM", "FIC_B", {{"PTDESC", Value::text("OLD")}});
        h.chooseThreeFiles();
        h.find<QPushButton>("cmdImportEB")->click();
        QCOMPARE(h.results(),
                 QStringList({"A.eb: Points added: 1      Points updated: 0",
                              "B.eb: Points added: 0      Points updated: 1",
                              "C.eb: Points added: 1      Points updated: 0",
                              "Total of 3 files: Points added: 2      Points updated: 1"}));
        QCOMPARE(h.find<QLabel>("txtImportStatus")->text(),
                 QString("Points added: 1      Points updated: 0"));
        h.window->noteResult("A note");
        QCOMPARE(h.results().back(), QString("A note"));
    }

    void savesTheDifferencesAsTheReportHasThem() {
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
        h.state.ebFileDirectory = folder;
        h.window->tabClicked(3);
        const std::string report = h.dir.file("unit_Compare.htm"), csv = h.dir.file("d.csv");
        h.dialogs.choose(Q(report));
        h.find<QPushButton>("cmdCompareResultsFile")->click();
        h.find<QListWidget>("fileListCompareEB")->setCurrentRow(0);
        h.find<QCheckBox>("chkTwoWayCheck")->setChecked(true);
        auto* differences = h.find<QPushButton>("cmdViewDifferences");
        QVERIFY(!differences->isEnabled());
        h.find<QPushButton>("cmdCompareEB")->click();
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
        const QStringList rows = ReportRows(test::ReadFile(report));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(CsvAsReportRows(test::ReadFile(csv)), rows);
    }

    void movesToATypedFolder_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("files");
        QTest::newRow("a folder") << "eb" << 1;
        QTest::newRow("no such folder") << "nowhere" << 0;
    }
    void movesToATypedFolder() {
        QFETCH(QString, typed);
        QFETCH(int, files);
        Plant h;
        std::filesystem::create_directory(h.dir.file("eb"));
        test::WriteFile(h.dir.file("eb/unit.eb"), Point("FIC101", {}));
        h.state.ebFileDirectory = h.home.path().string();
        h.window->tabClicked(3);
        auto* box = h.find<QLineEdit>("txtCompareEBDirectory");
        box->setText(Q(h.dir.file(typed.toStdString())));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(h.find<QListWidget>("fileListCompareEB")->count(), files);
        QCOMPARE(h.dialogs.messages.size(), std::size_t(files == 0 ? 1 : 0));
        QCOMPARE(box->text(), Q(files ? h.dir.file("eb") : h.home.path().string()));
    }
};

QTEST_MAIN(ResultsTest)
#include "Results_guitest.moc"
