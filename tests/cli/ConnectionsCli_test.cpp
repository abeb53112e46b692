// pelorin-cli connections: the report file and the result line.

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::RunCli;

TEST(ConnectionsCli, ReportsTheCheckedTypesInListOrder) {
    pel::test::PlantFixture p;
    const std::string in =
        p.file("in.eb", {"&T REGCLNIM", "&N FIC101", "PISRC(1) = FIC100.PV", "KEYWORD = K",
                         "&T DEVCTL", "&N HS1", "DODSTN(1) = V1.OP"});
    ASSERT_EQ(RunCli({"import", p.db, in}).exitCode, 0);
    auto r = RunCli({"connections", p.db, p.dir.file("report.txt"), "--types", "REGCLNIM,DEVCTL"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Points reported: 2\n");
    EXPECT_EQ(pel::test::ReadFile(p.dir.file("report.txt")),
              CrLf({"Point Type DEVCTL", "Name       HS1", "DODSTN(1) = V1.OP", "{ }",
                    "Point Type REGCLNIM", "Name       FIC101", "PISRC(1) = FIC100.PV", "{ }"}));
    EXPECT_EQ(RunCli({"connections", p.db, p.dir.file("r.txt"), "--types", "NOSUCH"}).exitCode, 1);
}
