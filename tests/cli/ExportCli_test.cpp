// pelorin-cli export: the exact bytes written, the split files, the exit status.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::ReadFile;
using pel::test::RunCli;
using pel::test::TempDir;

TEST(ExportCli, WritesTheImportedPlantBackAndSplitsOnRequest) {
    TempDir dir;
    const std::string db = dir.file("plant.db");
    ASSERT_EQ(RunCli({"new-db", db}).exitCode, 0);
    const std::string plant =
        CrLf({"&T REGCLNIM", "&N FIC101", "PTDESC = \"FEED FLOW\"", "KEYWORD = \"FLOW\"",
              "BOXNUM = 12", "{ }", "&T REGCLNIM", "&N FIC102", "PTDESC = \"RETURN\"", "{ }",
              "&T REGCLNIM", "&N TIC7", "BOXNUM = 3", "{ }"});
    pel::test::WriteFile(dir.file("in.eb"), plant);
    ASSERT_EQ(RunCli({"import", db, dir.file("in.eb")}).exitCode, 0);

    auto r = RunCli({"export", db, dir.file("out.eb"), "--types", "REGCLNIM"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Points exported: 3\n");
    EXPECT_EQ(ReadFile(dir.file("out.eb")), plant);

    auto split = RunCli({"export", db, dir.file("part.eb"), "--types", "REGCLNIM", "--max-points",
                         "2", "--select", "FIC101 TIC7,FIC102"});
    EXPECT_EQ(split.exitCode, 0) << split.err;
    EXPECT_EQ(ReadFile(dir.file("part.eb")) + ReadFile(dir.file("part_2.eb")), plant);

    pel::test::WriteFile(dir.file("sel.txt"), "TIC7\r\n");
    auto byFile = RunCli({"export", db, dir.file("one.eb"), "--types", "REGCLNIM", "--node", "AM",
                          "--select-file", dir.file("sel.txt")});
    EXPECT_EQ(byFile.out, "Points exported: 1\n");
    EXPECT_EQ(ReadFile(dir.file("one.eb")), CrLf({"&T REGCLNIM", "&N TIC7", "BOXNUM = 3", "{ }"}));

    auto noKey =
        RunCli({"export", db, dir.file("x.eb"), "--types", "NOTABLE", "--order", "Address"});
    EXPECT_EQ(noKey.exitCode, 1);
    EXPECT_NE(noKey.err.find("Export to EB: Primary Key does not exist for table NOTABLE"),
              std::string::npos)
        << noKey.err;
    EXPECT_EQ(RunCli({"export", db, dir.file("x.eb")}).exitCode, 2);  // --types is required
}
