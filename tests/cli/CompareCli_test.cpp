// pelorin-cli compare and compare-db: the reports written, the result lines, the exit status.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::ReadFile;
using pel::test::RunCli;
using pel::test::TempDir;

TEST(CompareCli, ComparesFilesOfOneFolderAndTwoDatabases) {
    TempDir dir;
    const std::string db = dir.file("plant.db"), asBuilt = dir.file("asbuilt.db");
    ASSERT_EQ(RunCli({"new-db", db}).exitCode, 0);
    ASSERT_EQ(RunCli({"new-db", asBuilt}).exitCode, 0);
    std::filesystem::create_directory(dir.file("eb"));
    pel::test::WriteFile(dir.file("eb/unit1.eb"),
                         CrLf({"&T REGCLNIM", "&N A101", "KEYWORD = LEVEL", "NODENUM = 3"}));
    pel::test::WriteFile(dir.file("eb/unit2.eb"), CrLf({"&T REGCLNIM", "&N A101", "KEYWORD = FLOW",
                                                        "NODENUM = 3", "&N A102", "NODENUM = 3"}));
    ASSERT_EQ(RunCli({"import", db, dir.file("eb/unit1.eb")}).exitCode, 0);
    ASSERT_EQ(RunCli({"import", asBuilt, dir.file("eb/unit2.eb")}).exitCode, 0);

    auto r = RunCli({"compare", db, dir.file("r.htm"), dir.file("eb/unit1.eb"),
                     dir.file("eb/unit2.eb"), "--two-way"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Points compared:2\n");
    const std::string report = ReadFile(dir.file("r.htm"));
    EXPECT_NE(report.find("<p><h2>" + dir.file("eb") + "</h2><p><br /><p>"), std::string::npos);
    EXPECT_LT(report.find("<p><h2>unit1.eb</h2>"), report.find("<p><h2>unit2.eb</h2>"));
    EXPECT_NE(report.find("<strong>A102</strong></td>"), std::string::npos);
    EXPECT_NE(report.find("<br />No discrepancies"), std::string::npos);

    auto other =
        RunCli({"compare", db, dir.file("x.htm"), dir.file("eb/unit1.eb"), dir.file("plant.db")});
    EXPECT_EQ(other.exitCode, 2);  // files of two folders

    auto cdb = RunCli({"compare-db", db, asBuilt, dir.file("db.htm"), "--types", "REGCLNIM"});
    EXPECT_EQ(cdb.exitCode, 0) << cdb.err;
    EXPECT_EQ(cdb.out, "Points compared: 1\n");
    const std::string dbReport = ReadFile(dir.file("db.htm"));
    EXPECT_NE(dbReport.find("<td width=\"33%\">LEVEL</td>\r\n  <td width=\"33%\">FLOW</td>"),
              std::string::npos);
    EXPECT_NE(dbReport.find("<td width=\"30%\">A102</td>"), std::string::npos);
}
