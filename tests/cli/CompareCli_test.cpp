// pelorin-cli compare and compare-db: the reports written, the result lines, the exit status.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

using pel::test::ReadFile;
using pel::test::RunCli;
using pel::test::TempDir;

TEST(CompareCli, ComparesFilesOfOneFolderAndTwoDatabases) {
    pel::test::PlantFixture p, asBuiltPlant;
    const std::string &db = p.db, &asBuilt = asBuiltPlant.db;
    const TempDir& dir = p.dir;
    std::filesystem::create_directory(dir.file("eb"));
    const std::string unit1 =
        p.file("eb/unit1.eb", {"&T REGCLNIM", "&N A101", "KEYWORD = LEVEL", "NODENUM = 3"});
    const std::string unit2 = p.file("eb/unit2.eb", {"&T REGCLNIM", "&N A101", "KEYWORD = FLOW",
                                                     "NODENUM = 3", "&N A102", "NODENUM = 3"});
    ASSERT_EQ(RunCli({"import", db, unit1}).exitCode, 0);
    ASSERT_EQ(RunCli({"import", asBuilt, unit2}).exitCode, 0);

    auto r = RunCli({"compare", db, dir.file("r.htm"), unit1, unit2, "--two-way"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Points compared:2\n");
    const std::string report = ReadFile(dir.file("r.htm"));
    EXPECT_NE(report.find("<p><h2>" + dir.file("eb") + "</h2><p><br /><p>"), std::string::npos);
    EXPECT_LT(report.find("<p><h2>unit1.eb</h2>"), report.find("<p><h2>unit2.eb</h2>"));
    EXPECT_NE(report.find("<strong>A102</strong></td>"), std::string::npos);
    EXPECT_NE(report.find("<br />No discrepancies"), std::string::npos);

    auto other = RunCli({"compare", db, dir.file("x.htm"), unit1, dir.file("plant.db")});
    EXPECT_EQ(other.exitCode, 2);  // files of two folders

    auto cdb = RunCli({"compare-db", db, asBuilt, dir.file("db.htm"), "--types", "REGCLNIM"});
    EXPECT_EQ(cdb.exitCode, 0) << cdb.err;
    EXPECT_EQ(cdb.out, "Points compared: 1\n");
    const std::string dbReport = ReadFile(dir.file("db.htm"));
    EXPECT_NE(dbReport.find("<td width=\"33%\">LEVEL</td>\r\n  <td width=\"33%\">FLOW</td>"),
              std::string::npos);
    EXPECT_NE(dbReport.find("<td width=\"30%\">A102</td>"), std::string::npos);
}
