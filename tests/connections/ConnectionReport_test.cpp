// The connection report: blocks of connection parameters, the checked-text rule, failures.

#include <gtest/gtest.h>

#include "connections/ConnectionReport.h"
#include "core/Paths.h"
#include "db/Database.h"
#include "support/TestSupport.h"

using namespace pel;
using pel::db::Value;
using pel::test::CrLf;
using pel::test::ReadFile;
using pel::test::RecordingFeedback;
using pel::test::TempDir;

namespace {

struct Plant : test::PlantFixture {
    std::string report = dir.file("report.txt");
    Plant() {
        columns(
            "REGCLNIM",
            {{"PISRC(1)", "TEXT"}, {"LISRC(2)", "TEXT"}, {"DODSTN", "TEXT"}, {"KEYWORD", "TEXT"}});
        row("REGCLNIM", "FIC101",
            {{"PTDESC", Value::text("FEED FLOW")},
             {"PISRC(1)", Value::text("FIC100.PV")},
             {"LISRC(2)", Value::text("5")},
             {"KEYWORD", Value::text("K")}});
        row("REGCLNIM", "FIC102", {{"DODSTN", Value::text("")}});
    }
    Outcome run(const std::vector<std::string>& checked) {
        return MakeConnectionReport(feedback, {db, report, ReportedPointTypes(catalog, checked)});
    }
};

}  // namespace

TEST(ConnectionReport, WritesABlockPerPointWithItsConnectionParameters) {
    Plant p;
    EXPECT_EQ(p.run({"REGCLNIM"}), Outcome::Done);
    EXPECT_EQ(ReadFile(p.report),
              CrLf({"Point Type REGCLNIM", "Name       FIC101", "PISRC(1) = FIC100.PV",
                    "LISRC(2) = 5", "{ }", "Point Type REGCLNIM", "Name       FIC102", "{ }"}));
    EXPECT_EQ(p.feedback.results.back(), "Points reported: 2");
}

TEST(ConnectionReport, CheckedTextIsASubstringTest) {
    Plant p;
    p.catalog.append("REGCL");
    EXPECT_EQ(ReportedPointTypes(p.catalog, {"DICMPNIM", "REGCLNIM"}),
              (std::vector<std::string>{"DICMPNIM", "REGCLNIM", "REGCL"}));
    EXPECT_EQ(p.run({}), Outcome::LeftUndone);
    EXPECT_EQ(p.feedback.messages.back().text, "No point types defined");
}

TEST(ConnectionReport, AFailingTypeIsAbandonedAndNamedAtTheEnd) {
    Plant p;
    p.catalog.append("MISSING");
    Outcome o = p.run({"MISSING", "REGCLNIM"});
    EXPECT_EQ(o, Outcome::LeftUndone);
    EXPECT_EQ(p.feedback.results.back(), "Points reported: 2");  // the others are still reported
    ASSERT_FALSE(p.feedback.messages.empty());
    EXPECT_TRUE(test::Holds(p.feedback.messages.back().text, "MISSING"));
    p.feedback.defaultAnswer = false;
    std::remove(p.report.c_str());
    EXPECT_EQ(p.run({"REGCLNIM"}), Outcome::LeftUndone);  // Cancel writes nothing
    EXPECT_FALSE(FileExists(p.report));
}

TEST(ConnectionReport, ALineBreakInANameOrValueIsABlankAndNamed) {
    Plant p;
    { p.row("REGCLNIM", "X\r\nY", {{"PISRC(1)", Value::text("A.PV\nB")}}); }
    EXPECT_EQ(p.run({"REGCLNIM"}), Outcome::LeftUndone);
    EXPECT_TRUE(
        test::Holds(ReadFile(p.report), CrLf({"Name       X Y", "PISRC(1) = A.PV B", "{ }"})));
    EXPECT_EQ(p.feedback.warnings,
              (std::vector<std::string>{
                  "Point X\r\nY, parameter NAME: a line break in its text was written as a blank",
                  "Point X\r\nY, parameter PISRC(1): a line break in its text was written as a "
                  "blank"}));
}
