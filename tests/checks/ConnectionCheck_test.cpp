// The connection check: which values are references, which dangle, the report and the counts.

#include <gtest/gtest.h>

#include "checks/ConnectionCheck.h"
#include "checks/ConnectionReference.h"
#include "db/Database.h"
#include "support/TestSupport.h"

using namespace pel;
using pel::db::Value;
using pel::test::ReadFile;

namespace {

struct Reference {
    const char* value;
    const char* point;  // null: no reference
    const char* parameter;
};

// FIC100 with a PV and an OP(1) column; HS1 in DEVCTL without them; each checked point holds
// one value in PISRC(1).
struct Plant : test::PlantFixture {
    using Values = std::vector<std::pair<std::string, std::string>>;
    explicit Plant(const Values& values) {
        columns("REGCLNIM", {{"PISRC(1)", "TEXT"}, {"PV", "TEXT"}, {"OP(1)", "TEXT"}});
        columns("DEVCTL", {{"dodstn(2)", "TEXT"}});
        row("REGCLNIM", "FIC100", {});
        row("DEVCTL", "HS1", {{"dodstn(2)", Value::text("FIC100.PV")}});
        for (const auto& [name, value] : values)
            row("REGCLNIM", name, {{"PISRC(1)", Value::text(value)}});
    }
    ConnectionCheckResult run(const std::string& report, std::vector<std::string> types = {},
                              std::vector<std::string> ebFiles = {}) {
        return CheckConnections(catalog, feedback,
                                {db, dir.file(report), std::move(types), std::move(ebFiles)});
    }
};

}  // namespace

TEST(ConnectionCheck, ReadsPointAndParameterOnlyFromReferences) {
    const Reference cases[] = {
        {"FIC100.PV", "FIC100", "PV"},
        {"  FIC100.PV  ", "FIC100", "PV"},
        {"A.B.C", "A", "B"},
        {"A.OP(2)", "A", "OP(2)"},
        {"A.", "A", ""},
        {"!DI01S02", nullptr, nullptr},
        {"$NM01N02.PV", nullptr, nullptr},
        {"FIC100", nullptr, nullptr},
        {".PV", nullptr, nullptr},
        {"", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const auto r = ParseConnectionReference(c.value);
        ASSERT_EQ(r.has_value(), c.point != nullptr) << c.value;
        if (!r) continue;
        EXPECT_EQ(r->point, c.point) << c.value;
        EXPECT_EQ(r->parameter, c.parameter) << c.value;
    }
}

TEST(ConnectionCheck, ListsDanglingPointsAndMissingParametersIgnoringCaseAndIndexes) {
    // point, value, finding ("" for none)
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"A01", "FIC100.PV", ""},
        {"A02", "fic100.pv", ""},
        {"A03", "FIC100.OP(3)", ""},  // the index suffix is ignored, the column is OP(1)
        {"A04", "FIC100.SP", "parameter not found"},
        {"A05", "HS1.PV", "parameter not found"},
        {"A06", "HS1.DODSTN", ""},
        {"A07", "NOSUCH.PV", "point not found"},
        {"A08", "!DI01S02", ""},
        {"A09", "EBONLY.XYZ", ""},  // a point of the EB file: no columns to look in
    };
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected = "Point Type,Point,Parameter,Value,Finding\r\n";
    for (const auto& [point, value, finding] : cases) {
        values.emplace_back(point, value);
        if (!finding.empty())
            expected += "REGCLNIM," + point + ",PISRC(1)," + value + "," + finding + "\r\n";
    }
    Plant p(values);
    const auto r = p.run("report.CSV", {}, {p.file("more.eb", {"&T REGCLNIM", "&N EbOnly"})});
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(ReadFile(p.dir.file("report.CSV")), expected);
    // HS1's dodstn(2) is no connection parameter: the five are named in upper case, as in the
    // connection report.
    EXPECT_EQ(p.feedback.results.back(), "Points checked: 11      References: 8      Dangling: 1");
}

// The HTML layout is the findings report's, tested with the EB file comparison.
TEST(ConnectionCheck, RefusesWhatItCannotDo) {
    Plant p(Plant::Values{{"A01", "NOSUCH.PV"}});
    // A type without a table and an unknown one are left undone; the others are checked.
    test::QueryText(p.db, "DROP TABLE \"LOGICNIM\"");
    auto r = p.run("r.csv", {"LOGICNIM", "NOTATYPE", "regclnim"});
    EXPECT_EQ(r.outcome, Outcome::LeftUndone);
    EXPECT_EQ(r.dangling, 1);
    ASSERT_EQ(p.feedback.messages.size(), 2u);
    EXPECT_EQ(p.feedback.messages[0].text, "The database has no table LOGICNIM");
    EXPECT_EQ(p.feedback.messages[1].text, "Invalid Point Type: NOTATYPE");
    // A report of another kind, or one that would replace the database.
    EXPECT_EQ(p.run("r.txt").outcome, Outcome::LeftUndone);
    EXPECT_EQ(p.run("in.csv", {}, {p.file("in.csv", {})}).outcome, Outcome::LeftUndone);
    EXPECT_EQ(p.feedback.messages.back().text,
              "Cannot write the report: " + p.dir.file("in.csv") + " is also an input of this run");
}
