// The connection report: blocks of connection parameters, the checked-text rule, failures.

#include <gtest/gtest.h>

#include "app/Paths.h"
#include "connections/ConnectionReport.h"
#include "db/Database.h"
#include "support/TestSupport.h"

using namespace pel;
using pel::db::Value;
using pel::test::CrLf;
using pel::test::ReadFile;
using pel::test::RecordingFeedback;
using pel::test::TempDir;

namespace {

struct Plant {
    TempDir dir;
    AppState state = test::StateWithBuiltDefinitions();
    RecordingFeedback feedback;
    Plant() {
        state.accessDatabasePath = dir.file("plant.db");
        state.connectionReportFile = dir.file("report.txt");
        test::MakePointDatabase(state, state.accessDatabasePath);
        auto d = db::Database::open(state.accessDatabasePath, true);
        for (const char* c : {"PISRC(1)", "LISRC(2)", "DODSTN", "KEYWORD"})
            d->addColumn("REGCLNIM", c, "TEXT");
        auto c = d->openTable("REGCLNIM", "PrimaryKey", db::CursorMode::Updating);
        auto row = [&](const char* name, std::vector<std::pair<const char*, const char*>> values) {
            c->addNew();
            c->setValue(c->fieldIndex("NAME"), Value::text(name));
            for (auto [col, v] : values) c->setValue(c->fieldIndex(col), Value::text(v));
            c->update();
        };
        row("FIC101", {{"PTDESC", "FEED FLOW"},
                       {"PISRC(1)", "FIC100.PV"},
                       {"LISRC(2)", "5"},
                       {"KEYWORD", "K"}});
        row("FIC102", {{"DODSTN", ""}});
    }
    Outcome run(const std::vector<std::string>& checked) {
        return MakeConnectionReport(state, feedback, ReportedPointTypes(state, checked));
    }
};

}  // namespace

TEST(ConnectionReport, WritesABlockPerPointWithItsConnectionParameters) {
    Plant p;
    EXPECT_EQ(p.run({"REGCLNIM"}), Outcome::Done);
    EXPECT_EQ(ReadFile(p.state.connectionReportFile),
              CrLf({"Point Type REGCLNIM", "Name       FIC101", "PISRC(1) = FIC100.PV",
                    "LISRC(2) = 5", "{ }", "Point Type REGCLNIM", "Name       FIC102", "{ }"}));
    EXPECT_EQ(p.feedback.results.back(), "Points reported: 2");
    ASSERT_EQ(p.feedback.questions.size(), 1u);
    EXPECT_EQ(p.feedback.questions[0].title, "Connection Report");
    EXPECT_EQ(p.feedback.questions[0].text, "Points to process: \r\n    REGCLNIM\r\n");
}

TEST(ConnectionReport, CheckedTextIsASubstringTest) {
    Plant p;
    p.state.appendPointType("REGCL");
    auto reported = ReportedPointTypes(p.state, {"DICMPNIM", "REGCLNIM"});
    std::vector<std::string> names;
    for (std::size_t i = 0; i < reported.size(); ++i)
        if (reported[i]) names.push_back(p.state.pointTypeNames[i]);
    EXPECT_EQ(names, (std::vector<std::string>{"DICMPNIM", "REGCLNIM", "REGCL"}));
    EXPECT_EQ(p.run({}), Outcome::LeftUndone);
    EXPECT_EQ(p.feedback.messages.back().text, "No point types defined");
    EXPECT_EQ(p.feedback.messages.back().title, "Connection Report");
}

TEST(ConnectionReport, AFailingTypeIsAbandonedAndNamedAtTheEnd) {
    Plant p;
    p.state.appendPointType("MISSING");
    Outcome o = MakeConnectionReport(p.state, p.feedback,
                                     ReportedPointTypes(p.state, {"MISSING", "REGCLNIM"}));
    EXPECT_EQ(o, Outcome::LeftUndone);
    EXPECT_EQ(p.feedback.results.back(), "Points reported: 2");  // the others are still reported
    ASSERT_FALSE(p.feedback.messages.empty());
    EXPECT_NE(p.feedback.messages.back().text.find("MISSING"), std::string::npos);
    p.feedback.defaultAnswer = false;
    std::remove(p.state.connectionReportFile.c_str());
    EXPECT_EQ(p.run({"REGCLNIM"}), Outcome::LeftUndone);  // Cancel writes nothing
    EXPECT_FALSE(FileExists(p.state.connectionReportFile));
}
