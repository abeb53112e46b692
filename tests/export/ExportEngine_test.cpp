// The export engine and its driver over real SQLite files, and the round trips with the import.

#include <gtest/gtest.h>

#include <filesystem>

#include "convert/ConvertDatabase.h"
#include "db/Database.h"
#include "export/ExportEngine.h"
#include "export/ExportSelection.h"
#include "import/ImportDriver.h"
#include "support/AccessFixtures.h"
#include "support/TestSupport.h"

using namespace pel;
using pel::db::Value;
using pel::test::CrLf;
using pel::test::ReadFile;
using pel::test::RecordingFeedback;
using pel::test::TempDir;

namespace {

struct Plant : test::PlantFixture {
    std::string out = dir.file("plant.eb");
    bool limit = false;
    std::int32_t max = 250;

    // Adds columns (name, declared type) and rows of text values ("" stays Null).
    void table(const std::string& type,
               const std::vector<std::pair<std::string, std::string>>& columns,
               const std::vector<std::vector<std::string>>& rows) {
        auto d = db::Database::open(db, true);
        for (const auto& [name, decl] : columns) d->addColumn(type, name, decl);
        auto c = d->openTable(type, "PrimaryKey", db::CursorMode::Updating);
        for (const auto& row : rows) {
            c->addNew();
            c->setValue(c->fieldIndex("NAME"), Value::text(row[0]));
            for (std::size_t i = 1; i < row.size(); ++i) {
                if (row[i].empty()) continue;
                const int col = c->fieldIndex(columns[i - 1].first);
                const auto& decl = columns[i - 1].second;
                if (decl == "INTEGER" || decl == "BOOLEAN")
                    c->setValue(col, Value::integer(std::stoll(row[i])));
                else if (decl == "DOUBLE" || decl == "SINGLE")
                    c->setValue(col, Value::real(std::stod(row[i])));
                else
                    c->setValue(col, Value::text(row[i]));
            }
            c->update();
        }
        d->commit();
    }
    Outcome run(const std::vector<std::string>& types, ExportSelection sel = ExportSelection::All,
                const std::string& text = "", const std::string& order = "Name",
                const std::string& node = "NIM") {
        ExportRequest r;
        r.database = db;
        r.exportFile = out;
        r.pointTypes = types;
        r.selection = sel;
        r.selectionText = text;
        r.selectionFile = text;
        r.orderBy = order;
        r.lcnNode = node;
        r.limitPointsPerFile = limit;
        r.maxPointsPerFile = max;
        r.definitions = definitions.get();
        return RunExport(feedback, r);
    }
};

}  // namespace

TEST(Export, WritesTheBlockOfARow) {
    Plant p;
    p.table("REGCLNIM", {{"BOXNUM", "INTEGER"}}, {{"FIC101"}});
    {
        auto d = db::Database::open(p.db, true);
        auto c = d->openTable("REGCLNIM", "PrimaryKey", db::CursorMode::Updating);
        c->seek("FIC101");
        c->setValue(c->fieldIndex("PTDESC"), Value::text("FEED FLOW"));
        c->setValue(c->fieldIndex("BOXNUM"), Value::integer(12));
        c->setValue(c->fieldIndex("PNTTYPE"), Value::text("regclnim"));
        c->update();
    }
    EXPECT_EQ(p.run({"REGCLNIM"}), Outcome::Done);
    EXPECT_EQ(ReadFile(p.out),
              CrLf({"&T REGCLNIM", "&N FIC101", "PTDESC = \"FEED FLOW\"", "BOXNUM = 12", "{ }"}));
    EXPECT_EQ(p.feedback.results.back(), "Points exported: 1");
    ASSERT_EQ(p.feedback.questions.size(), 1u);
    EXPECT_EQ(p.feedback.questions[0].title, "Build EB File");
    EXPECT_EQ(p.feedback.questions[0].text, "Points to process: \r\n    REGCLNIM\r\n");
}

TEST(Export, ValueTextsQuotingByNodeAndTheInternalLinesLast) {
    Plant p;
    p.table("REGCLNIM",
            {{"KEYWORD", "TEXT"},
             {"EUDESC(2)", "TEXT"},
             {"STATETXT", "TEXT"},
             {"LO", "SINGLE"},
             {"HI", "DOUBLE"},
             {"ON", "BOOLEAN"},
             {"ZERO", "INTEGER"},
             {"_Found", "BOOLEAN"}},
            {{"A1", "FLOW", "DEGC", "RUN", "0.1", "1e20", "0", "0", "1"}});
    {
        auto d = db::Database::open(p.db, true);
        auto c = d->openTable("REGCLNIM", "PrimaryKey", db::CursorMode::Updating);
        c->seek("A1");
        c->setValue(c->fieldIndex("_INTERNAL"), Value::text("CTLEQN = A,PVEQN = B,rest"));
        c->setValue(c->fieldIndex("LO"), Value::real(static_cast<float>(0.1)));
        c->update();
    }
    struct Case {
        const char* node;
        std::vector<std::string> lines;
    } cases[] = {
        {"NIM",
         {"&T REGCLNIM", "&N A1", "KEYWORD = \"FLOW\"", "EUDESC(2) = \"DEGC\"", "STATETXT = RUN",
          "LO = 0.1", "HI = 1E+20", "ON = False", "ZERO = 0", "CTLEQN = A", "PVEQN = B", "{ }"}},
        {"AM",
         {"&T REGCLNIM", "&N A1", "KEYWORD = \"FLOW\"", "EUDESC(2) = \"DEGC\"",
          "STATETXT = \"RUN\"", "LO = 0.1", "HI = 1E+20", "ON = False", "ZERO = 0", "CTLEQN = A",
          "PVEQN = B", "{ }"}},
        {"HG",
         {"&T REGCLNIM", "&N A1", "KEYWORD = FLOW", "EUDESC(2) = \"DEGC\"", "STATETXT = \"RUN\"",
          "LO = 0.1", "HI = 1E+20", "ON = False", "ZERO = 0", "CTLEQN = A", "PVEQN = B", "{ }"}},
    };
    for (const auto& c : cases) {
        (void)p.run({"REGCLNIM"}, ExportSelection::All, "", "Name", c.node);
        EXPECT_EQ(ReadFile(p.out), CrLf(c.lines)) << c.node;
    }
}

TEST(Export, SplitsIntoNumberedFilesWithoutEverOverwritingOne) {
    struct Case {
        int points, max;
        std::string first;
        std::vector<std::pair<std::string, int>> files;  // file name, points in it (-1: absent)
    } cases[] = {
        {5,
         2,
         "plant.eb",
         {{"plant.eb", 2}, {"plant_2.eb", 2}, {"plant_3.eb", 1}, {"plant_4.eb", -1}}},
        {4, 2, "plant.eb", {{"plant.eb", 2}, {"plant_2.eb", 2}, {"plant_3.eb", 0}}},
        {3, 2, "unit_1.eb", {{"unit_1.eb", 2}, {"unit_2.eb", 1}}},
        {3, 2, "plant", {{"plant", 2}, {"plant_2", 1}}},
        {3, 1, "a.b.eb", {{"a.b.eb", 1}, {"a_2.b.eb", 1}, {"a_3.b.eb", 1}}},
        {3, 0, "plant.eb", {{"plant.eb", 3}, {"plant_2.eb", -1}}},
    };
    for (const auto& c : cases) {
        Plant p;
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < c.points; ++i) rows.push_back({"P" + std::to_string(i)});
        p.table("ANINNIM", {}, rows);
        std::filesystem::create_directory(p.dir.file("v1.0"));  // a folder with a "." in its name
        p.out = p.dir.file("v1.0/" + c.first);
        p.limit = true;
        p.max = c.max;
        EXPECT_EQ(p.run({"ANINNIM"}), Outcome::Done);
        for (const auto& [name, count] : c.files) {
            const std::string path = p.dir.file("v1.0/" + name);
            if (count < 0) {
                EXPECT_FALSE(std::filesystem::exists(path)) << name;
                continue;
            }
            const std::string text = ReadFile(path);
            int blocks = 0;
            for (std::size_t at = 0; (at = text.find("&T ", at)) != std::string::npos; ++at)
                ++blocks;
            EXPECT_EQ(blocks, count) << c.first << " " << name;
        }
        int belowOne = 0;
        for (const auto& w : p.feedback.warnings)
            belowOne += w.find("below 1") != std::string::npos;
        EXPECT_EQ(belowOne, c.max < 1 ? 1 : 0);
    }
    EXPECT_EQ(NextExportFileName("/x/plant_1.eb", 3), "/x/plant_3.eb");
    EXPECT_EQ(NextExportFileName("plant", 2), "plant_2");
}

TEST(Export, ASplitExportNamesItsFilesAndTheOlderFilesOfItsSeries) {
    Plant p;
    p.table("ANINNIM", {}, {{"P1"}, {"P2"}, {"P3"}});
    p.limit = true;
    struct Case {
        int max;
        std::string warning;
    } cases[] = {{1, "4 files were written: " + p.out + ", " + p.dir.file("plant_2.eb") + ", " +
                         p.dir.file("plant_3.eb") + ", " + p.dir.file("plant_4.eb")},
                 {2,
                  "earlier export of the same name are left as they were and are not part of "
                  "this export: " +
                      p.dir.file("plant_3.eb") + ", " + p.dir.file("plant_4.eb")}};
    for (const auto& c : cases) {
        p.feedback.warnings.clear();
        p.max = c.max;
        EXPECT_EQ(p.run({"ANINNIM"}), Outcome::Done);
        std::string all;
        for (const auto& w : p.feedback.warnings) all += w + "\n";
        EXPECT_NE(all.find(c.warning), std::string::npos) << all;
    }
    EXPECT_TRUE(std::filesystem::exists(p.dir.file("plant_3.eb")));  // never deleted
}

TEST(Export, TextThatCannotBeWrittenAsItIsIsNamed) {
    Plant p;
    p.table("REGCLNIM", {{"DESCR", "TEXT"}, {"UNIT", "TEXT"}},
            {{"A1", "LINE ONE\r\n&N INJECTED", "M\xC2\xB3/H"},
             {"A2\nB", "", "\xE2\x82\xAC \xE4\xB8\xAD"}});
    {
        auto d = db::Database::open(p.db, true);
        d->dropColumn("REGCLNIM", "_INTERNAL");
        d->addColumn("REGCLNIM", "_internal", "TEXT");
        auto c = d->openTable("REGCLNIM", "PrimaryKey", db::CursorMode::Updating);
        c->seek("A1");
        c->setValue(c->fieldIndex("_internal"), Value::text("CTLEQN = A\rX,"));
        c->update();
        d->commit();
    }
    EXPECT_EQ(p.run({"REGCLNIM"}), Outcome::LeftUndone);
    EXPECT_EQ(ReadFile(p.out),
              CrLf({"&T REGCLNIM", "&N A1", "DESCR = \"LINE ONE &N INJECTED\"", "UNIT = M\xB3/H",
                    "CTLEQN = A X", "{ }", "&T REGCLNIM", "&N A2 B", "UNIT = \"\x80 ?\"", "{ }"}));
    std::string all;
    for (const auto& w : p.feedback.warnings) all += w + "\n";
    for (const char* said :
         {"Point A1, parameter DESCR: a line break", "Point A1, parameter _internal: a line break",
          "Point A2\nB, parameter NAME: a line break", "point A2\nB, parameter UNIT\n"})
        EXPECT_NE(all.find(said), std::string::npos) << said << "\n" << all;
    EXPECT_EQ(p.feedback.results.back(), "Points exported: 2");
}

TEST(Export, OrderFallsBackToThePrimaryKeyOrStopsWithoutOne) {
    Plant p;
    p.table("REGCLNIM", {{"NODENUM", "INTEGER"}}, {{"B1", "1"}, {"A2", "2"}, {"C3", "1"}});
    {
        auto d = db::Database::open(p.db, true);
        d->createIndex("REGCLNIM", {"Address", {"NODENUM"}, false, true});
        d->createTable("NOKEY", {{"NAME", 202, "TEXT"}});
    }
    auto names = [&] {
        std::string text = ReadFile(p.out), found;
        for (std::size_t at = 0; (at = text.find("&N ", at)) != std::string::npos; at += 3)
            found += text.substr(at + 3, 2) + " ";
        return found;
    };
    (void)p.run({"REGCLNIM"}, ExportSelection::All, "", "Address");
    EXPECT_EQ(names(), "B1 C3 A2 ");
    (void)p.run({"ANINNIM", "REGCLNIM"}, ExportSelection::All, "",
                "Elsewhere");  // no such index: PrimaryKey
    EXPECT_EQ(names(), "A2 B1 C3 ");
    EXPECT_TRUE(p.feedback.messages.empty());
    EXPECT_EQ(p.run({"REGCLNIM", "NOKEY", "ANINNIM"}, ExportSelection::All, "", "Address"),
              Outcome::LeftUndone);
    ASSERT_EQ(p.feedback.messages.size(), 1u);
    EXPECT_EQ(p.feedback.messages[0].title, "Export to EB");
    EXPECT_EQ(p.feedback.messages[0].text, "Primary Key does not exist for table NOKEY");
    EXPECT_EQ(names(), "B1 C3 A2 ");  // what was written stays
    p.feedback.messages.clear();
    EXPECT_EQ(p.run({"NOSUCH"}), Outcome::LeftUndone);  // order Name: the table itself is missing
    ASSERT_EQ(p.feedback.messages.size(), 1u);
    EXPECT_NE(p.feedback.messages[0].text.find("NOSUCH"), std::string::npos);
}

TEST(Export, SelectionsAreExactAndRefusalsWriteNothing) {
    Plant p;
    p.table("REGCLNIM", {}, {{"FIC101"}, {"FIC102"}, {"TIC7"}, {"fic101x"}});
    struct Case {
        ExportSelection sel;
        std::string text;
        std::string result;
        std::string notFound;  // the warning's list, empty: no warning
    } cases[] = {
        {ExportSelection::Text, "FIC101, FIC102\r\nTIC7", "Points exported: 3", ""},
        {ExportSelection::Text, "fic101 GHOST", "Points exported: 0", "fic101, GHOST"},
        {ExportSelection::Text, " , ", "Points exported: 0", ""},
        {ExportSelection::Text, "FIC101\tTIC7", "Points exported: 0",
         "FIC101\tTIC7"},  // a tab stays inside the name
    };
    for (const auto& c : cases) {
        p.feedback.results.clear();
        p.feedback.warnings.clear();
        (void)p.run({"REGCLNIM"}, c.sel, c.text);
        ASSERT_EQ(p.feedback.results.size(), 1u) << c.text;
        EXPECT_EQ(p.feedback.results[0], c.result) << c.text;
        EXPECT_EQ(p.feedback.warnings,
                  c.notFound.empty()
                      ? std::vector<std::string>{}
                      : std::vector<std::string>{"The selection list names points that none of "
                                                 "the point types holds: " +
                                                 c.notFound});
    }
    test::WriteFile(p.dir.file("sel.txt"), "  FIC101  \r\n\r\nTIC7\rFIC102\n");
    auto names = ReadSelectionList(p.dir.file("sel.txt"));
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{"FIC101", "TIC7", "FIC102"}));
    EXPECT_EQ(SplitExportSelectionText("FIC101, FIC102\r\nTIC7"),
              (std::vector<std::string>{"FIC101", "FIC102", "TIC7"}));

    // An unreadable selection file fails before the confirmation and before any file is opened.
    std::filesystem::remove(p.out);
    EXPECT_EQ(p.run({"REGCLNIM"}, ExportSelection::File, p.dir.file("missing.txt")),
              Outcome::LeftUndone);
    EXPECT_FALSE(std::filesystem::exists(p.out));
    EXPECT_EQ(p.feedback.questions.size(), 4u);  // failed, not asked
    EXPECT_EQ(p.run({}), Outcome::LeftUndone);
    EXPECT_EQ(p.feedback.messages.back().text, "No point types selected");
    p.feedback.defaultAnswer = false;
    EXPECT_EQ(p.run({"REGCLNIM"}), Outcome::LeftUndone);  // Cancel
    EXPECT_FALSE(std::filesystem::exists(p.out));
}

TEST(Export, RoundTripsThroughTheImportKeepEveryByte) {
    Plant p;
    const std::string plant = CrLf({"&T REGCLNIM",
                                    "&N A100",
                                    "PTDESC = \"FEED FLOW\"",
                                    "KEYWORD = \"FLOW\"",
                                    "NODENUM = 12",
                                    "PVEUHI = 150.5",
                                    "PISRC(1) = A101.PV",
                                    "LISRC(2) = 5",
                                    "CTLEQN = EQA",
                                    "PVEQN = EQB 1",
                                    "{ }",
                                    "&T REGCLNIM",
                                    "&N A101",
                                    "PTDESC = \"RETURN\"",
                                    "KEYWORD = \"LEVEL\"",
                                    "NODENUM = 3",
                                    "PVEUHI = 0.25",
                                    "PISRC(1) = A100.PV",
                                    "LISRC(2) = 7",
                                    "{ }",
                                    "&T ANINNIM",
                                    "&N B1",
                                    "PTDESC = \"caf\xE9 \xB0"
                                    "C\"",
                                    "SLOTNUM = 0",
                                    "{ }"});
    test::WriteFile(p.dir.file("in.eb"), plant);
    ASSERT_EQ(RunImport(p.catalog, p.feedback,
                        {p.db, {p.dir.file("in.eb")}, ImportMode::UpdatesAndAdditions, {}, true}),
              Outcome::Done);
    ASSERT_EQ(p.run({"REGCLNIM", "ANINNIM"}), Outcome::Done);
    EXPECT_EQ(ReadFile(p.out), plant);

    // Export, import into a second database, export again: the same bytes.
    Plant q;
    ASSERT_EQ(RunImport(q.catalog, q.feedback,
                        {q.db, {p.out}, ImportMode::UpdatesAndAdditions, {}, true}),
              Outcome::Done);
    ASSERT_EQ(q.run({"REGCLNIM", "ANINNIM"}), Outcome::Done);
    EXPECT_EQ(ReadFile(q.out), ReadFile(p.out));
}

TEST(Export, AnAccessFileAndItsConversionExportTheSameBytes) {
    TempDir dir;
    const std::string mdb = test::CopyAccessFixture(dir, "plant-sample.mdb");
    const std::string converted = dir.file("converted.db");
    RecordingFeedback quiet;
    ASSERT_EQ(ConvertDatabase(mdb, converted, quiet), Outcome::Done);
    std::string bytes[2];
    int i = 0;
    for (const std::string& source : {mdb, converted}) {
        RecordingFeedback feedback;
        ExportRequest r;
        r.database = source;
        r.exportFile = dir.file("out" + std::to_string(i) + ".eb");
        r.pointTypes = {"REGCLNIM", "ANINNIM"};
        for (const char* order : {"Address", "Name"}) {
            r.orderBy = order;
            ASSERT_EQ(RunExport(feedback, r), Outcome::Done) << source;
            bytes[i] += ReadFile(r.exportFile);
        }
        ++i;
    }
    EXPECT_EQ(bytes[0], bytes[1]);
    EXPECT_NE(bytes[0].find("&N FIC101"), std::string::npos);
}

TEST(Export, ANotANumberReadFromAnAccessFileIsNamedAndNotKept) {
    TempDir dir;
    const std::string mdb = test::CopyAccessFixture(dir, "plant-sample.mdb");
    {
        // FIC101's PVEULO, a Single 0.1, becomes a NaN.
        std::string bytes = ReadFile(mdb);
        ASSERT_EQ(bytes.substr(130896, 4), std::string("\xCD\xCC\xCC\x3D"));
        bytes.replace(130896, 4, std::string("\x00\x00\xC0\x7F", 4));
        test::WriteFile(mdb, bytes);
    }
    const std::string said = "The table REGCLNIM of " + mdb +
                             ", row 1, column PVEULO: the value is not a number (NaN) and was "
                             "read as Null";
    RecordingFeedback converting;
    EXPECT_EQ(ConvertDatabase(mdb, dir.file("c.db"), converting), Outcome::LeftUndone);
    EXPECT_EQ(converting.warnings, std::vector<std::string>{said});
    RecordingFeedback exporting;
    ExportRequest r;
    r.database = mdb;
    r.exportFile = dir.file("out.eb");
    r.pointTypes = {"REGCLNIM"};
    EXPECT_EQ(RunExport(exporting, r), Outcome::LeftUndone);
    EXPECT_EQ(exporting.warnings, std::vector<std::string>{said});
    EXPECT_EQ(ReadFile(r.exportFile).find("NaN"), std::string::npos);
}
