// EB file against EB file: points matched by type and name wherever they stand, values compared
// as the comparison compares them, duplicates, internal text, unknown types, the two reports.

#include <gtest/gtest.h>

#include "diff/EbDiff.h"
#include "support/TestSupport.h"

using namespace pel;
using pel::test::CrLf;
using pel::test::ReadFile;

namespace {

const std::string kHeader = "Point Type,Point,Parameter,Value (OLD),Value (NEW),Finding\r\n";

struct DiffRun {
    test::TempDir dir;
    PointTypeCatalog catalog = test::BuiltCatalog();
    test::RecordingFeedback feedback;
    EbDiffResult result;
    std::string report;

    DiffRun(const std::vector<std::string>& oldLines, const std::vector<std::string>& newLines,
            std::vector<std::string> types = {}, const std::string& reportName = "diff.csv") {
        test::WriteFile(dir.file("old.eb"), CrLf(oldLines));
        test::WriteFile(dir.file("new.eb"), CrLf(newLines));
        result = DiffEbFiles(
            catalog, feedback,
            {dir.file("old.eb"), dir.file("new.eb"), dir.file(reportName), std::move(types)});
        report = ReadFile(dir.file(reportName));
    }
};

struct Case {
    const char* what;
    std::vector<std::string> oldLines, newLines;
    std::vector<std::string> rows;  // the report's rows after its header
    const char* counts;             // added, removed, changed
};

}  // namespace

TEST(EbDiff, ReportsWhatDiffersPointByPoint) {
    const std::vector<std::string> a{"&T REGCLNIM", "&N A1", "PTDESC = \"FEED FLOW\"", "K = 1.0"};
    const std::vector<std::string> b{"&T REGCLNIM", "&N B1", "K = 2", "{ }"};
    auto join = [](std::vector<std::string> x, const std::vector<std::string>& y) {
        x.insert(x.end(), y.begin(), y.end());
        return x;
    };
    const Case cases[] = {
        {"reordered blocks, quoting, case of names and numbers as numbers",
         join(a, b),
         {"&T regclnim", "&N b1", "k = 2.00", "&T REGCLNIM", "&N A1", "k = 1",
          "PTDESC = FEED FLOW"},
         {},
         "0 0 0"},
        {"text compares exactly",
         a,
         {"&T REGCLNIM", "&N A1", "PTDESC = feed flow", "K = 1"},
         {"REGCLNIM,A1,PTDESC,FEED FLOW,feed flow,Changed"},
         "0 0 1"},
        {"a parameter on one side only; index suffixes are names of their own",
         {"&T REGCLNIM", "&N A1", "PISRC(1) = X.PV"},
         {"&T REGCLNIM", "&N A1", "PISRC(2) = X.PV", "EMPTY ="},
         {"REGCLNIM,A1,EMPTY,,,Only in NEW", "REGCLNIM,A1,PISRC(1),X.PV,,Only in OLD",
          "REGCLNIM,A1,PISRC(2),,X.PV,Only in NEW"},
         "0 0 1"},
        {"added and removed; the same name under another type is another point",
         join(a, b),
         join(a, {"&T DEVCTL", "&N B1"}),
         {"DEVCTL,B1,,,,Added", "REGCLNIM,B1,,,,Removed"},
         "1 1 0"},
        {"a point named twice: its last block counts",
         join(join(a, b), {"&N a1", "K = 1"}),
         join(a, b),
         {"REGCLNIM,a1,,,,Named twice in OLD: the last block counts",
          "REGCLNIM,A1,PTDESC,,FEED FLOW,Only in NEW"},
         "0 0 1"},
        {"internal text as a whole, and what follows an internal line is internal",
         {"&T REGCLNIM", "&N A1", "CTLEQN = EQA", "K = 1"},
         {"&T REGCLNIM", "&N A1", "CTLEQN = EQA", "K =  1"},
         {"REGCLNIM,A1,_INTERNAL,\"CTLEQN = EQA,K = 1,\",\"CTLEQN = EQA,K =  1,\","
          "Internal text differs"},
         "0 0 1"},
    };
    for (const auto& c : cases) {
        DiffRun r(c.oldLines, c.newLines);
        EXPECT_EQ(r.result.outcome, Outcome::Done) << c.what;
        EXPECT_EQ(r.report, kHeader + (c.rows.empty() ? "" : CrLf(c.rows))) << c.what;
        EXPECT_EQ(std::to_string(r.result.added) + " " + std::to_string(r.result.removed) + " " +
                      std::to_string(r.result.changed),
                  c.counts)
            << c.what;
    }
}

TEST(EbDiff, ComparesUnknownTypesLineByLineAndCountsDistinctPoints) {
    DiffRun r({"&T NEWTYPE", "&N X1", "CTLEQN = A", "&T REGCLNIM", "&N A1"},
              {"&T NEWTYPE", "&N X1", "CTLEQN = B", "&T REGCLNIM", "&N A1", "&N A2"});
    EXPECT_EQ(r.report, kHeader + CrLf({"NEWTYPE,X1,CTLEQN,A,B,Changed", "REGCLNIM,A2,,,,Added"}));
    EXPECT_EQ(r.feedback.results.back(),
              "Points compared: 3      Added: 1      Removed: 0      Changed: 1");
    ASSERT_EQ(r.feedback.warnings.size(), 1u);
    EXPECT_TRUE(test::Holds(r.feedback.warnings[0], "Unknown point type NEWTYPE in "));

    DiffRun only({"&T NEWTYPE", "&N X1", "&T REGCLNIM", "&N A1", "K = 1"},
                 {"&T REGCLNIM", "&N A1", "K = 1"}, {"regclnim"});
    EXPECT_FALSE(only.result.differ());
    EXPECT_EQ(only.result.compared, 1);
}

TEST(EbDiff, WritesHtmlGroupedByTypeAndRefusesOtherReports) {
    DiffRun r({"&T REGCLNIM", "&N A1", "K = <1>"}, {"&T REGCLNIM", "&N A1", "K = 2"}, {},
              "diff.HTML");
    EXPECT_TRUE(test::Holds(r.report, "<title>EB File Comparison</title>"));
    EXPECT_TRUE(test::Holds(r.report,
                            "<p><h2>REGCLNIM</h2>\r\n\r\n<table width=\"80%\">\r\n<tr>\r\n"
                            "  <th>Point</th>\r\n"));
    EXPECT_TRUE(
        test::Holds(r.report, "  <td>&lt;1&gt;</td>\r\n  <td>2</td>\r\n  <td>Changed</td>"));

    DiffRun txt({"&T REGCLNIM"}, {"&T REGCLNIM"}, {}, "diff.txt");
    EXPECT_EQ(txt.result.outcome, Outcome::LeftUndone);
    EXPECT_TRUE(txt.report.empty());
}
