// The export engine over real SQLite files, and over an Access file and its conversion.

#include <gtest/gtest.h>

#include <filesystem>

#include "convert/ConvertDatabase.h"
#include "db/Database.h"
#include "export/ExportEngine.h"
#include "support/AccessFixtures.h"
#include "support/TestSupport.h"

using namespace pel;
using pel::db::Value;
using pel::test::CrLf;
using pel::test::ReadFile;
using pel::test::RecordingFeedback;
using pel::test::TempDir;

namespace {

Value T(const std::string& s) {
    return Value::text(s);
}

ExportRequest Request(const std::string& database, const std::string& file,
                      std::vector<std::string> types, db::Database* definitions = nullptr) {
    ExportRequest r;
    r.database = database;
    r.exportFile = file;
    r.pointTypes = std::move(types);
    r.definitions = definitions;
    return r;
}

struct Plant : test::PlantFixture {
    ExportRequest request = Request(db, dir.file("plant.eb"), {"REGCLNIM"}, definitions.get());
    Outcome run() { return RunExport(feedback, request); }
    std::string written() const { return ReadFile(request.exportFile); }
    void points(const std::string& type, int count) {
        for (int i = 0; i < count; ++i) row(type, "P" + std::to_string(i), {});
    }
};

}  // namespace

TEST(Export, WritesBlocksQuotedByNodeWithTheInternalLinesLast) {
    Plant p;
    p.columns("REGCLNIM", {{"KEYWORD", "TEXT"},
                           {"EUDESC(2)", "TEXT"},
                           {"STATETXT", "TEXT"},
                           {"LO", "SINGLE"},
                           {"HI", "DOUBLE"},
                           {"ON", "BOOLEAN"},
                           {"ZERO", "INTEGER"},
                           {"_Found", "BOOLEAN"}});
    p.row("REGCLNIM", "A1",
          {{"PNTTYPE", T("regclnim")},
           {"PTDESC", T("FEED FLOW")},
           {"KEYWORD", T("FLOW")},
           {"EUDESC(2)", T("DEGC")},
           {"STATETXT", T("RUN")},
           {"LO", Value::real(static_cast<float>(0.1))},
           {"HI", Value::real(1e20)},
           {"ON", Value::integer(0)},
           {"ZERO", Value::integer(0)},
           {"_Found", Value::integer(1)},
           {"_INTERNAL", T("CTLEQN = A,PVEQN = B,rest")}});
    const std::string_view cases[][3] = {
        {"NIM", "\"FLOW\"", "RUN"}, {"AM", "\"FLOW\"", "\"RUN\""}, {"HG", "FLOW", "\"RUN\""}};
    for (const auto& [node, keyword, statetxt] : cases) {
        p.request.lcnNode = node;
        EXPECT_EQ(p.run(), Outcome::Done);
        EXPECT_EQ(p.written(),
                  CrLf({"&T REGCLNIM", "&N A1", "PTDESC = \"FEED FLOW\"",
                        "KEYWORD = " + std::string(keyword), "EUDESC(2) = \"DEGC\"",
                        "STATETXT = " + std::string(statetxt), "LO = 0.1", "HI = 1E+20",
                        "ON = False", "ZERO = 0", "CTLEQN = A", "PVEQN = B", "{ }"}))
            << node;
    }
    EXPECT_EQ(p.feedback.results.back(), "Points exported: 1");
    EXPECT_EQ(p.feedback.questions[0].text, "Points to process: \r\n    REGCLNIM\r\n");
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
        p.points("REGCLNIM", c.points);
        std::filesystem::create_directory(p.dir.file("v1.0"));  // a folder with a "." in its name
        p.request.exportFile = p.dir.file("v1.0/" + c.first);
        p.request.limitPointsPerFile = true;
        p.request.maxPointsPerFile = c.max;
        EXPECT_EQ(p.run(), Outcome::Done);
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
}

TEST(Export, ASplitExportNamesItsFilesAndTheOlderFilesOfItsSeries) {
    Plant p;
    p.points("REGCLNIM", 3);
    p.request.limitPointsPerFile = true;
    const std::string& out = p.request.exportFile;
    struct Case {
        int max;
        std::string warning;
    } cases[] = {{1, "4 files were written: " + out + ", " + p.dir.file("plant_2.eb") + ", " +
                         p.dir.file("plant_3.eb") + ", " + p.dir.file("plant_4.eb")},
                 {2,
                  "earlier export of the same name are left as they were and are not part of "
                  "this export: " +
                      p.dir.file("plant_3.eb") + ", " + p.dir.file("plant_4.eb")}};
    for (const auto& c : cases) {
        p.feedback.warnings.clear();
        p.request.maxPointsPerFile = c.max;
        EXPECT_EQ(p.run(), Outcome::Done);
        std::string all;
        for (const auto& w : p.feedback.warnings) all += w + "\n";
        EXPECT_TRUE(test::Holds(all, c.warning));
    }
    EXPECT_TRUE(std::filesystem::exists(p.dir.file("plant_3.eb")));  // never deleted
}

TEST(Export, TextThatCannotBeWrittenAsItIsIsNamed) {
    Plant p;
    p.columns("REGCLNIM", {{"DESCR", "TEXT"}, {"UNIT", "TEXT"}});
    {
        auto d = db::Database::open(p.db, true);
        d->dropColumn("REGCLNIM", "_INTERNAL");
        d->addColumn("REGCLNIM", "_internal", "TEXT");
    }
    p.row("REGCLNIM", "A1",
          {{"DESCR", T("LINE ONE\r\n&N INJECTED")},
           {"UNIT", T("M\xC2\xB3/H")},
           {"_internal", T("CTLEQN = A\rX,")}});
    p.row("REGCLNIM", "A2\nB", {{"UNIT", T("\xE2\x82\xAC \xE4\xB8\xAD")}});
    EXPECT_EQ(p.run(), Outcome::LeftUndone);
    EXPECT_EQ(p.written(),
              CrLf({"&T REGCLNIM", "&N A1", "DESCR = \"LINE ONE &N INJECTED\"", "UNIT = M\xB3/H",
                    "CTLEQN = A X", "{ }", "&T REGCLNIM", "&N A2 B", "UNIT = \"\x80 ?\"", "{ }"}));
    std::string all;
    for (const auto& w : p.feedback.warnings) all += w + "\n";
    for (const char* said :
         {"Point A1, parameter DESCR: a line break", "Point A1, parameter _internal: a line break",
          "Point A2\nB, parameter NAME: a line break", "point A2\nB, parameter UNIT\n"})
        EXPECT_TRUE(test::Holds(all, said)) << said << "\n" << all;
    EXPECT_EQ(p.feedback.results.back(), "Points exported: 2");
}

TEST(Export, OrderFallsBackToThePrimaryKeyOrStopsWithoutOne) {
    Plant p;
    p.columns("REGCLNIM", {{"NODENUM", "INTEGER"}});
    for (const auto& [name, node] : {std::pair{"B1", 1}, {"A2", 2}, {"C3", 1}})
        p.row("REGCLNIM", name, {{"NODENUM", Value::integer(node)}});
    {
        auto d = db::Database::open(p.db, true);
        d->createIndex("REGCLNIM", {"Address", {"NODENUM"}, false, true});
        d->createTable("NOKEY", {{"NAME", 202, "TEXT"}});
    }
    auto names = [&] {
        std::string text = p.written(), found;
        for (std::size_t at = 0; (at = text.find("&N ", at)) != std::string::npos; at += 3)
            found += text.substr(at + 3, 2) + " ";
        return found;
    };
    p.request.orderBy = "Address";
    (void)p.run();
    EXPECT_EQ(names(), "B1 C3 A2 ");
    p.request.orderBy = "Elsewhere";  // no such index: PrimaryKey
    p.request.pointTypes = {"ANINNIM", "REGCLNIM"};
    (void)p.run();
    EXPECT_EQ(names(), "A2 B1 C3 ");
    EXPECT_TRUE(p.feedback.messages.empty());
    p.request.orderBy = "Address";
    p.request.pointTypes = {"REGCLNIM", "NOKEY", "ANINNIM"};
    EXPECT_EQ(p.run(), Outcome::LeftUndone);
    ASSERT_EQ(p.feedback.messages.size(), 1u);
    EXPECT_EQ(p.feedback.messages[0].title, "Export to EB");
    EXPECT_EQ(p.feedback.messages[0].text, "Primary Key does not exist for table NOKEY");
    EXPECT_EQ(names(), "B1 C3 A2 ");  // what was written stays
    p.request.orderBy = "Name";
    p.request.pointTypes = {"NOSUCH"};  // order Name: the table itself is missing
    EXPECT_EQ(p.run(), Outcome::LeftUndone);
    EXPECT_TRUE(test::Holds(p.feedback.messages.back().text, "NOSUCH"));
}

TEST(Export, SelectionsAreExactAndRefusalsWriteNothing) {
    Plant p;
    for (const char* name : {"FIC101", "FIC102", "TIC7", "fic101x"}) p.row("REGCLNIM", name, {});
    test::WriteFile(p.dir.file("sel.txt"), "  FIC101  \r\n\r\nTIC7\rFIC102\n");
    struct Case {
        ExportSelection sel;
        std::string text;
        std::string result;
        std::string notFound;  // the warning's list, empty: no warning
    } cases[] = {
        {ExportSelection::Text, "FIC101, FIC102\r\nTIC7", "Points exported: 3", ""},
        {ExportSelection::File, p.dir.file("sel.txt"), "Points exported: 3", ""},
        {ExportSelection::Text, "fic101 GHOST", "Points exported: 0", "fic101, GHOST"},
        {ExportSelection::Text, " , ", "Points exported: 0", ""},
        {ExportSelection::Text, "FIC101\tTIC7", "Points exported: 0",
         "FIC101\tTIC7"},  // a tab stays inside the name
    };
    for (const auto& c : cases) {
        p.feedback.results.clear();
        p.feedback.warnings.clear();
        p.request.selection = c.sel;
        p.request.selectionText = p.request.selectionFile = c.text;
        (void)p.run();
        ASSERT_EQ(p.feedback.results.size(), 1u) << c.text;
        EXPECT_EQ(p.feedback.results[0], c.result) << c.text;
        EXPECT_EQ(p.feedback.warnings,
                  c.notFound.empty()
                      ? std::vector<std::string>{}
                      : std::vector<std::string>{"The selection list names points that none of "
                                                 "the point types holds: " +
                                                 c.notFound});
    }

    // An unreadable selection file fails before the confirmation and before any file is opened.
    std::filesystem::remove(p.request.exportFile);
    p.request.selection = ExportSelection::File;
    p.request.selectionFile = p.dir.file("missing.txt");
    EXPECT_EQ(p.run(), Outcome::LeftUndone);
    EXPECT_FALSE(std::filesystem::exists(p.request.exportFile));
    EXPECT_EQ(p.feedback.questions.size(), 5u);  // failed, not asked
    p.request.selection = ExportSelection::All;
    p.request.pointTypes = {};
    EXPECT_EQ(p.run(), Outcome::LeftUndone);
    EXPECT_EQ(p.feedback.messages.back().text, "No point types selected");
    p.request.pointTypes = {"REGCLNIM"};
    p.feedback.defaultAnswer = false;
    EXPECT_EQ(p.run(), Outcome::LeftUndone);  // Cancel
    EXPECT_FALSE(std::filesystem::exists(p.request.exportFile));
}

// An Access file and its conversion export the same bytes; a NaN read from the Access file is
// named and not kept, by the conversion and by the export alike.
TEST(Export, AnAccessFileAndItsConversionExportTheSameBytes) {
    TempDir dir;
    const std::string mdb = test::CopyAccessFixture(dir, "plant-sample.mdb");
    const std::string converted = dir.file("converted.db");
    RecordingFeedback quiet;
    ASSERT_EQ(ConvertDatabase(quiet, {mdb, converted}), Outcome::Done);
    // FIC101's PVEULO, a Single 0.1, becomes a NaN.
    const std::string nan = dir.file("nan.mdb");
    std::string bytes = ReadFile(mdb);
    ASSERT_EQ(bytes.substr(130896, 4), std::string("\xCD\xCC\xCC\x3D"));
    test::WriteFile(nan, bytes.replace(130896, 4, std::string("\x00\x00\xC0\x7F", 4)));
    const std::string said = "The table REGCLNIM of " + nan +
                             ", row 1, column PVEULO: the value is not a number (NaN) and was "
                             "read as Null";
    EXPECT_EQ(ConvertDatabase(quiet, {nan, dir.file("c.db")}), Outcome::LeftUndone);
    EXPECT_EQ(quiet.warnings, std::vector<std::string>{said});

    std::string exported[3];
    const std::string sources[] = {mdb, converted, nan};
    for (int i = 0; i < 3; ++i) {
        RecordingFeedback feedback;
        ExportRequest r = Request(sources[i], dir.file("out.eb"), {"REGCLNIM", "ANINNIM"});
        for (const char* order : {"Address", "Name"}) {
            r.orderBy = order;
            EXPECT_EQ(RunExport(feedback, r), i < 2 ? Outcome::Done : Outcome::LeftUndone);
            exported[i] += ReadFile(r.exportFile);
        }
        if (i == 2) {
            EXPECT_EQ(feedback.warnings, (std::vector<std::string>{said, said}));
        }
    }
    EXPECT_EQ(exported[0], exported[1]);
    EXPECT_TRUE(test::Holds(exported[0], "&N FIC101"));
    EXPECT_EQ(exported[2].find("NaN"), std::string::npos);
}
