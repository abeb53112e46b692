// The command line's frame: help, version, usage errors, new-db, types and their case.

#include <gtest/gtest.h>

#include "db/Database.h"
#include "support/TestSupport.h"

using pel::test::ExpectCli;
using pel::test::Holds;
using pel::test::RunCli;
using pel::test::TempDir;
using pel::test::WriteFile;

TEST(Cli, HelpAndVersionExitWith0AndUsageErrorsWith2) {
    auto help = ExpectCli({"--help"}, 0);
    EXPECT_TRUE(Holds(help.out, "new-db"));
    EXPECT_TRUE(Holds(help.out, "types"));
    EXPECT_TRUE(Holds(ExpectCli({"--version"}, 0).out, "pelorin-cli "));
    for (const auto& args :
         std::vector<std::vector<std::string>>{{}, {"no-such-command"}, {"new-db"}})
        ExpectCli(args, 2);
}

TEST(Cli, NewDbMakesATablePerPointTypeRefusesAnExistingFileAndTypesIgnoreCase) {
    TempDir dir;
    const std::string db = dir.file("plant.db");
    ExpectCli({"new-db", db}, 0);
    auto types = ExpectCli({"types"}, 0);
    auto opened = pel::db::Database::open(db, false);
    std::string tables;
    for (const auto& t : opened->tableNames()) tables += t + "\n";
    EXPECT_EQ(tables, types.out);
    auto info = opened->tableInfo("REGCLNIM");
    ASSERT_TRUE(info);
    ASSERT_EQ(info->columns.size(), 4u);

    // A file the user happens to keep beside it is no scratch file of ours.
    pel::test::WriteFile(dir.file("other.db.part"), "keep me");
    ExpectCli({"new-db", dir.file("other.db")}, 0);
    EXPECT_EQ(pel::test::ReadFile(dir.file("other.db.part")), "keep me");
    ExpectCli({"new-db", dir.path().string()}, 1);  // a folder is never replaced
    ExpectCli({"new-db", db}, 1, nullptr, "exists already");

    // Point types are matched without regard to case.
    ExpectCli({"export", db, dir.file("out.eb"), "--types", "regclnim,AninNim"}, 0);
    ExpectCli({"compare-db", db, db, dir.file("r.htm"), "--types", "regclnim"}, 0);
    ExpectCli({"connections", db, dir.file("c.txt"), "--types", "regclnim"}, 0);
    EXPECT_TRUE(Holds(pel::test::ReadFile(dir.file("r.htm")), "<h2>REGCLNIM</h2>"));
}

TEST(Cli, WithoutTheServerClientLibraryFilesWorkAndAServerSaysWhatToInstall) {
    TempDir dir;
    WriteFile(dir.file("libpq.so.5"), "");  // found first, and no library
    const pel::test::CliConditions noClient{{{"LD_LIBRARY_PATH", dir.path().string()}}};
    EXPECT_EQ(RunCli({"new-db", dir.file("plant.db")}, noClient).exitCode, 0);
    auto server =
        RunCli({"new-db", "postgresql://eng@/unit?host=" + dir.path().string()}, noClient);
    EXPECT_EQ(server.exitCode, 1);
    EXPECT_TRUE(Holds(server.err, "libpq.so.5 could not be loaded (")) << server.err;
    EXPECT_TRUE(Holds(server.err, "install it")) << server.err;
}

TEST(Cli, TypesFiltersByNodeAndNamesAMissingDefinitionsFile) {
    auto hg = ExpectCli({"types", "--node", "HG"}, 0);
    EXPECT_EQ(hg.out.rfind("ANLCMPHG\n", 0), 0u) << hg.out;
    EXPECT_EQ(hg.out.find("NIM"), std::string::npos);
    EXPECT_EQ(pel::test::RunCli({"types", "--node", "XX"}).out, "");
    TempDir dir;
    ExpectCli({"--defs", dir.file("EB.db"), "types"}, 1, nullptr, dir.file("EB.db"));
}
