// pelorin-cli export: the exact bytes written, the split files, the exit status.

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::ExpectCli;
using pel::test::ReadFile;
using pel::test::TempDir;

TEST(ExportCli, WritesTheImportedPlantBackAndSplitsOnRequest) {
    TempDir dir;
    const std::string db = dir.file("plant.db");
    ExpectCli({"new-db", db}, 0);
    // Numbers, references, internal lines and code page 1252 text come back byte for byte.
    const std::string plant = CrLf({"&T REGCLNIM",
                                    "&N FIC101",
                                    "PTDESC = \"FEED FLOW\"",
                                    "BOXNUM = 12",
                                    "PVEUHI = 150.5",
                                    "PISRC(1) = FIC102.PV",
                                    "LISRC(2) = 5",
                                    "CTLEQN = EQA",
                                    "{ }",
                                    "&T REGCLNIM",
                                    "&N FIC102",
                                    "PTDESC = \"RETURN\"",
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
    ExpectCli({"import", db, dir.file("in.eb")}, 0);
    ExpectCli({"export", db, dir.file("out.eb"), "--types", "REGCLNIM,ANINNIM"}, 0,
              "Points exported: 4\n");
    EXPECT_EQ(ReadFile(dir.file("out.eb")), plant);
    ExpectCli({"export", db, dir.file("part.eb"), "--types", "REGCLNIM,ANINNIM", "--max-points",
               "2", "--select", "FIC101 TIC7,FIC102,B1"},
              0);
    EXPECT_EQ(ReadFile(dir.file("part.eb")) + ReadFile(dir.file("part_2.eb")), plant);

    pel::test::WriteFile(dir.file("sel.txt"), "TIC7\r\n");
    ExpectCli({"export", db, dir.file("one.eb"), "--types", "REGCLNIM", "--node", "AM",
               "--select-file", dir.file("sel.txt")},
              0, "Points exported: 1\n");
    EXPECT_EQ(ReadFile(dir.file("one.eb")), CrLf({"&T REGCLNIM", "&N TIC7", "BOXNUM = 3", "{ }"}));
    ExpectCli({"export", db, dir.file("x.eb"), "--types", "NOTABLE", "--order", "Address"}, 1);
    ExpectCli({"export", db, dir.file("x.eb")}, 2);  // --types is required
}
