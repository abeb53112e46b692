// The EB comparison and its report, and the database comparison.

#include <gtest/gtest.h>

#include "compare/CompareDbEngine.h"
#include "compare/CompareEngine.h"
#include "compare/ComparisonReport.h"
#include "db/Database.h"
#include "db/TypeCodes.h"
#include "support/TestSupport.h"

using namespace pel;
using pel::db::Value;
using pel::test::CrLf;
using pel::test::ReadFile;
using pel::test::RecordingFeedback;
using pel::test::TempDir;

namespace {

struct Plant : test::PlantFixture {
    std::string report = dir.file("report.htm");
    Outcome compare(const std::vector<std::pair<std::string, std::vector<std::string>>>& files,
                    bool twoWay = false) {
        std::vector<std::string> names;
        for (const auto& [name, lines] : files) {
            test::WriteFile(dir.file(name), CrLf(lines));
            names.push_back(name);
        }
        return CompareEbFiles(catalog, feedback, {db, dir.path().string(), names, report, twoWay});
    }
};

}  // namespace

TEST(CompareEb, WritesTheWorkedExampleByteForByte) {
    Plant p;
    p.columns("REGCLNIM", {{"KEYWORD", "TEXT"}});
    p.row("REGCLNIM", "A101", {{"KEYWORD", Value::text("LEVEL")}});
    EXPECT_EQ(p.compare({{"unit1.eb",
                          {"&T REGCLNIM", "&N A101", "KEYWORD = FLOW", "{ }", "&T REGCLNIM",
                           "&N A102", "KEYWORD = FLOW", "{ }"}}}),
              Outcome::Done);
    // The report as the program has always written it, the compared folder at FOLDER.
    std::string expected = ReadFile(std::string(PELORIN_TEST_DATA) + "/compare/worked-example.htm");
    expected.replace(expected.find("FOLDER"), 6, p.dir.path().string());
    EXPECT_EQ(ReadFile(p.report), expected);
    EXPECT_EQ(p.feedback.results.back(), "Points compared:1");
}

TEST(CompareEb, ComparesNumbersAtSinglePrecisionAndTextExactly) {
    struct Case {
        const char* eb;
        Value db;
        bool differ;
    } cases[] = {
        {"1.0", Value::integer(1), false},
        {"0.1000000001", Value::text("0.1"), false},
        {"abc", Value::text("ABC"), true},
        {"\"Pump 1\"", Value::text("Pump 1"), false},
        {"\"Pump 1", Value::text("Pump 1"), false},
        {"", Value::null(), false},
        {"0", Value::null(), true},
        {" x ", Value::text("x "), false},
        {"<b>&", Value::text("other"), true},
    };
    for (const auto& c : cases) {
        Plant p;
        p.columns("REGCLNIM", {{"KEYWORD", "TEXT"}});
        p.row("REGCLNIM", "P1", {{"KEYWORD", c.db}});
        (void)p.compare({{"a.eb", {"&T REGCLNIM", "&N P1", std::string("KEYWORD = ") + c.eb}}});
        const std::string report = ReadFile(p.report);
        EXPECT_EQ(report.find("<td width=\"34%\">KEYWORD</td>") != std::string::npos, c.differ)
            << c.eb;
        EXPECT_EQ(report.find("<b>"), std::string::npos);  // values are escaped
    }
    EXPECT_EQ(EscapeHtml("a<b>&c"), "a&lt;b&gt;&amp;c");
}

TEST(CompareEb, InternalParametersStrayAndNamelessLinesShortNamesAndUnknownTypes) {
    Plant p;
    p.columns("REGCLNIM", {{"KEYWORD", "TEXT"}, {"AFTER", "TEXT"}});
    p.row("REGCLNIM", "X", {{"KEYWORD", Value::text("A")}});
    p.row("REGCLNIM", "Y", {{"KEYWORD", Value::text("A")}});
    p.row("ANINNIM", "A1", {});
    EXPECT_EQ(
        p.compare({{"a.eb",
                    {"&T REGCLNIM", "&N X", "KEYWORD = B", "CTLEQN = Q", "AFTER = never compared",
                     "&T REGCLNIM", "KEYWORD = STRAY", "&N Y", "KEYWORD = C", "&T BOGUS", "&N Z",
                     "KEYWORD = D", "&T", "&N W", "&T ANINNIM", "&N A1", "= 5"}}}),
        Outcome::LeftUndone);
    const std::string report = ReadFile(p.report);
    // The one-letter point's table is closed before the next point's heading.
    EXPECT_TRUE(test::Holds(
        report, "<td width=\"33%\">A</td>\r\n</tr>\r\n</table>\r\n<p><strong>Y</strong>"));
    EXPECT_EQ(report.find("never compared"), std::string::npos);
    EXPECT_EQ(report.find("STRAY"), std::string::npos);
    EXPECT_EQ(report.find("BOGUS"), std::string::npos);
    ASSERT_EQ(p.feedback.warnings.size(), 4u);
    EXPECT_TRUE(test::Holds(p.feedback.warnings[0], "a.eb, line 7: a parameter line between"));
    EXPECT_EQ(p.feedback.warnings[1], "Invalid Point Type: BOGUS at line 10 of a.eb");
    EXPECT_EQ(p.feedback.warnings[2], "Invalid Point Type:  at line 13 of a.eb");
    EXPECT_EQ(p.feedback.warnings[3],
              "a.eb, line 17, point A1: the line \"= 5\" names no parameter; it was not compared");
    EXPECT_EQ(p.feedback.results.back(), "Points compared:3");
}

TEST(CompareEb, TwoWayListsTheUnfoundPointsOfTheNodesSeen) {
    Plant p;
    p.columns("REGCLNIM", {{"NODENUM", "INTEGER"}});
    p.row("REGCLNIM", "A1", {{"NODENUM", Value::integer(3)}, {"PTDESC", Value::text("IN FILE")}});
    p.row("REGCLNIM", "A2",
          {{"NODENUM", Value::integer(3)}, {"PTDESC", Value::text("MISSED <1>")}});
    p.row("REGCLNIM", "A3", {{"NODENUM", Value::integer(5)}});
    p.row("REGCLNIM", "A4", {{"NODENUM", Value::integer(70000)}});
    EXPECT_EQ(
        p.compare({{"a.eb", {"&T REGCLNIM", "&N A1", "NODENUM = 3", "&N A5", "NODENUM = 1e9"}}},
                  true),
        Outcome::Done);
    const std::string report = ReadFile(p.report);
    const std::string list =
        CrLf({"<hr><br />", "<p><h2>Discrepancies</h2>", "", "<table width=\"80%\">",
              "<th>Points in Database - Not in EB file</th>", "</table>", "<table width=\"80%\">",
              "<tr>", "  <td width=\"30%\">A2</td>", "  <td width=\"40%\">MISSED &lt;1&gt;</td>",
              "  <td width=\"30%\">Not in EB</td>", "</tr>", "</table>", "</body></html>"});
    EXPECT_EQ(report.substr(report.size() - list.size()), list);

    // Every point of the nodes seen was found: "No discrepancies". No node number met: no list.
    (void)p.compare({{"a.eb", {"&T REGCLNIM", "&N A1", "NODENUM = 3", "&N A2"}}}, true);
    EXPECT_TRUE(
        test::Holds(ReadFile(p.report), "</table>\r\n<br />No discrepancies\r\n</body></html>"));
    p.feedback.warnings.clear();
    (void)p.compare({{"a.eb", {"&T REGCLNIM", "&N A1"}}}, true);
    EXPECT_EQ(ReadFile(p.report).find("Discrepancies"), std::string::npos);
    EXPECT_EQ(p.feedback.warnings,
              std::vector<std::string>{"the two-way check found no node to check: no compared "
                                       "point has BOXNUM or NODENUM"});
    // The flag the run before left True is cleared once the point is no longer found.
    auto d = db::Database::open(p.db, false);
    auto c = d->openTable("REGCLNIM", "PrimaryKey", db::CursorMode::Reading);
    for (const auto& [name, found] : {std::pair{"A1", 1}, {"A2", 0}}) {
        ASSERT_TRUE(c->seek(name));
        EXPECT_EQ(c->value(c->fieldIndex("_Found")), Value::integer(found)) << name;
    }
}

TEST(CompareEb, TheFoundColumnIsAddedAndARebuildIsAsked) {
    for (bool ok : {true, false}) {
        Plant p;
        p.columns("REGCLNIM", {{"_Found", "TEXT"}, {"NODENUM", "INTEGER"}});
        p.row("REGCLNIM", "A1", {{"NODENUM", Value::integer(3)}});
        p.row("REGCLNIM", "A2", {{"NODENUM", Value::integer(3)}, {"_Found", Value::text("Yes")}});
        p.feedback.answers = {ok};
        bool free = false;  // the columns added so far are saved before it asks
        p.feedback.duringQuestion = [&] { free = test::WritableNow(p.db); };
        // A Cancel keeps the text column, read by the Yes/No rule; the run is not done.
        EXPECT_EQ(p.compare({{"a.eb", {"&T REGCLNIM", "&N A1", "NODENUM = 3"}}}, true),
                  ok ? Outcome::Done : Outcome::LeftUndone);
        const std::string report = ReadFile(p.report);
        EXPECT_EQ(report.find("<td width=\"30%\">A1</td>"), std::string::npos) << ok;
        EXPECT_TRUE(test::Holds(report, "<td width=\"30%\">A2</td>")) << ok;
        EXPECT_TRUE(free);
        ASSERT_FALSE(p.feedback.questions.empty());
        EXPECT_EQ(p.feedback.questions[0].text,
                  "Delete field _Found and rebuild it as one of type Boolean ?");
        auto d = db::Database::open(p.db, false);
        auto info = d->tableInfo("REGCLNIM");
        EXPECT_EQ(info->columns[static_cast<std::size_t>(info->columnIndex("_Found"))].type,
                  ok ? db::kBoolean : db::kText);
        EXPECT_TRUE(d->tableInfo("ANINNIM")->columnIndex("_Found") >= 0);  // every table gains one
    }
}

TEST(CompareEb, FailuresAreNamedAndTheReportSaysItIsIncomplete) {
    Plant p;
    const std::string folder = p.dir.path().string();
    EXPECT_EQ(CompareEbFiles(p.catalog, p.feedback, {p.db, folder, {"missing.eb"}, p.report}),
              Outcome::LeftUndone);
    const std::string report = ReadFile(p.report);
    EXPECT_TRUE(test::Holds(report, "This report is incomplete"));
    EXPECT_TRUE(test::Holds(report, "missing.eb"));
    EXPECT_EQ(report.substr(report.size() - 16), "</body></html>\r\n");
    EXPECT_EQ(CompareEbFiles(p.catalog, p.feedback,
                             {p.dir.file("none.db"), folder, {"a.eb"}, p.dir.file("r2.htm")}),
              Outcome::LeftUndone);
    EXPECT_TRUE(test::Holds(p.feedback.messages.back().text, "none.db"));
}

TEST(CompareDb, ReportsDifferentValuesMissingRecordsTablesAndExtraRecords) {
    Plant p;
    p.columns("REGCLNIM", {{"KEYWORD", "TEXT"}, {"NODENUM", "INTEGER"}});
    p.row("REGCLNIM", "A1", {{"KEYWORD", Value::text("FLOW")}, {"NODENUM", Value::integer(3)}});
    p.row("REGCLNIM", "A2", {{"KEYWORD", Value::text("SAME")}});
    p.row("ANINNIM", "B1", {});
    const std::string mine = p.db;
    p.db = p.dir.file("asbuilt.db");
    {
        auto d = db::Database::create(p.db);
        d->createTable("REGCLNIM", {{"NAME", 202, "TEXT NOT NULL COLLATE NOCASE"},
                                    {"KEYWORD", 202, "TEXT"},
                                    {"NODENUM", 202, "TEXT"},
                                    {"PTDESC", 202, "TEXT"},
                                    {"EXTRA", 202, "TEXT"}});
        d->createIndex("REGCLNIM", {"PrimaryKey", {"NAME"}, true, true});
    }
    p.row("REGCLNIM", "A1",
          {{"KEYWORD", Value::text("LEV\r\nEL")},
           {"NODENUM", Value::text("3.0")},
           {"PTDESC", Value::text("ONLY HERE")},
           {"EXTRA", Value::text("AS-BUILT")}});
    p.row("REGCLNIM", "A9", {});
    const std::string asBuilt = p.db;
    // The line break in the as-built value is written as a blank: not done.
    EXPECT_EQ(
        CompareDatabases(p.feedback, {mine, asBuilt, {"REGCLNIM", "ANINNIM"}, "Name", p.report}),
        Outcome::LeftUndone);
    const std::string report = ReadFile(p.report);
    for (const char* row : {"KEYWORD</td>\r\n  <td width=\"33%\">FLOW</td>\r\n  "
                            "<td width=\"33%\">LEV EL</td>",
                            "PTDESC</td>\r\n  <td width=\"33%\"></td>\r\n  "
                            "<td width=\"33%\">ONLY HERE</td>",
                            "EXTRA</td>\r\n  <td width=\"33%\"></td>\r\n  "
                            "<td width=\"33%\">AS-BUILT</td>"})
        EXPECT_TRUE(test::Holds(report, std::string("<td width=\"34%\">") + row)) << row;
    EXPECT_EQ(report.find("<td width=\"34%\">NODENUM</td>"), std::string::npos);  // 3 and 3.0 agree
    EXPECT_TRUE(test::Holds(report,
                            "<strong>A2</strong></td>\r\n\r\n  <td width=\"33%\">Not Found in "
                            "As-Built Database</td>"));
    EXPECT_TRUE(test::Holds(report, "Table not found in As-Built Database"));
    EXPECT_TRUE(test::Holds(report, "<td width=\"30%\">A9</td>"));
    EXPECT_TRUE(test::Holds(report, "<th width=\"33%\">Value (As-Built)</th>"));
    EXPECT_EQ(p.feedback.results.back(), "Points compared: 1");  // A2 and B1 have no counterpart
    EXPECT_EQ(p.feedback.warnings,
              (std::vector<std::string>{
                  "Point A2 of REGCLNIM has no as-built record and was not compared",
                  "Point B1 of ANINNIM has no as-built record and was not compared",
                  "Point A1, parameter KEYWORD: a line break in its text was written as a blank"}));
    EXPECT_EQ(CompareDatabases(p.feedback, {mine, asBuilt, {}, "Name", p.report}),
              Outcome::LeftUndone);
    EXPECT_EQ(p.feedback.messages.back().text, "No point types defined");
}
