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
    // Numbers, references, internal lines and code page 1252 text come back byte for byte.
    const std::string plant = CrLf({"&T REGCLNIM",
                                    "&N FIC101",
                                    "PTDESC = \"FEED FLOW\"",
                                    "KEYWORD = \"FLOW\"",
                                    "BOXNUM = 12",
                                    "PVEUHI = 150.5",
                                    "PISRC(1) = FIC102.PV",
                                    "LISRC(2) = 5",
                                    "CTLEQN = EQA",
                                    "PVEQN = EQB 1",
                                    "{ }",
                                    "&T REGCLNIM",
                                    "&N FIC102",
                                    "PTDESC = \"RETURN\"",
                                    "PVEUHI = 0.25",
                                    "{ }",
                                    "&T REGCLNIM",
                                    "&N TIC7",
                                    "BOXNUM = 3",
                                    "{ }",
                                    "&T ANINNIM",
                                    "&N B1",
                                    "PTDESC = \"caf\xE9 \260C\"",
                                    "SLOTNUM = 0",
                                    "{ }"});
    pel::test::WriteFile(dir.file("in.eb"), plant);
    ASSERT_EQ(RunCli({"import", db, dir.file("in.eb")}).exitCode, 0);

    auto r = RunCli({"export", db, dir.file("out.eb"), "--types", "REGCLNIM,ANINNIM"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Points exported: 4\n");
    EXPECT_EQ(ReadFile(dir.file("out.eb")), plant);

    auto split = RunCli({"export", db, dir.file("part.eb"), "--types", "REGCLNIM,ANINNIM",
                         "--max-points", "2", "--select", "FIC101 TIC7,FIC102,B1"});
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
