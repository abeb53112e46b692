// A run cancelled after its second point, for every engine that has a Cancel: it stops there,
// keeps and commits what it completed, says how far it got and reports work left undone.

#include <gtest/gtest.h>

#include <functional>

#include "checks/ConnectionCheck.h"
#include "compare/CompareDbEngine.h"
#include "compare/CompareEngine.h"
#include "connections/ConnectionReport.h"
#include "export/ExportEngine.h"
#include "import/ImportDriver.h"
#include "support/TestSupport.h"

using namespace pel;

namespace {

// Asks to stop from the third point on.
struct CancellingFeedback : test::RecordingFeedback {
    int asked = 0;
    bool cancelRequested() override { return ++asked > 2; }
};

struct Plant : test::PlantFixture {
    std::string eb = file("plant.eb", {"&T REGCLNIM", "&N FIC101", "{ }", "&N FIC102", "{ }",
                                       "&N FIC103", "{ }", "&N FIC104", "{ }"});
    CancellingFeedback cancelling;
    Plant() {
        for (const char* name : {"FIC101", "FIC102", "FIC103", "FIC104"}) row("REGCLNIM", name, {});
    }
};

struct Case {
    const char* engine;
    std::function<Outcome(Plant&)> run;
    std::function<std::string(Plant&)> done;  // what the run completed
    const char* expected;
};

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(CancelledRun, StopsAfterTheCurrentPointAndKeepsWhatItCompleted) {
    const std::vector<std::string> types{"REGCLNIM"};
    const Case cases[] = {
        {"import",
         [](Plant& p) {
             p.db = p.dir.file("new.db");  // the plant's rows would be updates: a new database
             test::MakePointDatabase(p.catalog, p.db);
             ImportRequest request;
             request.database = p.db;
             request.files = {p.eb, p.eb};  // the second file is never begun
             return RunImport(p.catalog, p.cancelling, request);
         },
         [](Plant& p) { return test::QueryText(p.db, "SELECT count(*) FROM REGCLNIM"); }, "2"},
        {"export",
         [&](Plant& p) {
             ExportRequest request;
             request.database = p.db;
             request.exportFile = p.dir.file("out.eb");
             request.pointTypes = types;
             return RunExport(p.cancelling, request);
         },
         [](Plant& p) {
             return std::to_string(Count(test::ReadFile(p.dir.file("out.eb")), "{ }"));
         },
         "2"},
        {"compare EB",
         [](Plant& p) {
             return CompareEbFiles(
                 p.catalog, p.cancelling,
                 {p.db, p.dir.path().string(), {"plant.eb"}, p.dir.file("compare.htm"), true});
         },
         [](Plant& p) { return p.cancelling.results.back(); }, "Points compared:2"},
        {"compare DB",
         [&](Plant& p) {
             return CompareDatabases(p.cancelling,
                                     {p.db, p.db, types, "Name", p.dir.file("db.htm")});
         },
         [](Plant& p) { return p.cancelling.results.back(); }, "Points compared: 2"},
        {"connection report",
         [&](Plant& p) {
             return MakeConnectionReport(p.cancelling, {p.db, p.dir.file("c.txt"), types});
         },
         [](Plant& p) { return std::to_string(Count(test::ReadFile(p.dir.file("c.txt")), "{ }")); },
         "2"},
        {"connection check",
         [&](Plant& p) {
             return CheckConnections(p.catalog, p.cancelling,
                                     {p.db, p.dir.file("check.csv"), types, {}})
                 .outcome;
         },
         [](Plant& p) { return p.cancelling.results.back().substr(0, 17); }, "Points checked: 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.engine);
        Plant p;
        EXPECT_EQ(c.run(p), Outcome::LeftUndone);
        EXPECT_EQ(c.done(p), c.expected);
        ASSERT_FALSE(p.cancelling.warnings.empty());
        EXPECT_TRUE(test::Holds(p.cancelling.warnings.back(), "was cancelled"));
    }
}
