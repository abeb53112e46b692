// pelorin-cli compare and compare-db: the reports written, the result lines, the exit status.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

using pel::test::ExpectCli;
using pel::test::Holds;
using pel::test::ReadFile;
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
    ExpectCli({"import", db, unit1}, 0);
    ExpectCli({"import", asBuilt, unit2}, 0);
    ExpectCli({"compare", db, dir.file("r.htm"), unit1, unit2, "--two-way"}, 0,
              "Points compared:2\n");
    const std::string report = ReadFile(dir.file("r.htm"));
    EXPECT_TRUE(Holds(report, "<p><h2>" + dir.file("eb") + "</h2><p><br /><p>"));
    EXPECT_LT(report.find("<p><h2>unit1.eb</h2>"), report.find("<p><h2>unit2.eb</h2>"));
    EXPECT_TRUE(Holds(report, "<br />No discrepancies"));
    ExpectCli({"compare", db, dir.file("x.htm"), unit1, dir.file("plant.db")}, 2);  // two folders
    ExpectCli({"compare-db", db, asBuilt, dir.file("db.htm"), "--types", "REGCLNIM"}, 0,
              "Points compared: 1\n");
}
