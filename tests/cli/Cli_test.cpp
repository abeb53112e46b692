// The command line's frame: help, usage errors, new-db and types.

#include <gtest/gtest.h>

#include "db/Database.h"
#include "support/TestSupport.h"

using pel::test::RunCli;
using pel::test::TempDir;

TEST(Cli, HelpListsTheCommandsAndUsageErrorsExitWith2) {
    auto help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("new-db"), std::string::npos);
    EXPECT_NE(help.out.find("types"), std::string::npos);
    EXPECT_EQ(RunCli({}).exitCode, 2);
    EXPECT_EQ(RunCli({"no-such-command"}).exitCode, 2);
    EXPECT_EQ(RunCli({"new-db"}).exitCode, 2);
}

TEST(Cli, NewDbMakesATablePerPointTypeAndRefusesAnExistingFile) {
    TempDir dir;
    const std::string db = dir.file("plant.db");
    auto r = RunCli({"new-db", db});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto types = RunCli({"types"});
    auto opened = pel::db::Database::open(db, false);
    std::string tables;
    for (const auto& t : opened->tableNames()) tables += t + "\n";
    EXPECT_EQ(tables, types.out);
    auto info = opened->tableInfo("REGCLNIM");
    ASSERT_TRUE(info);
    ASSERT_EQ(info->columns.size(), 4u);
    EXPECT_EQ(info->columns[3].name, "_INTERNAL");
    EXPECT_TRUE(pel::db::IndexExists(*opened, "REGCLNIM", "PrimaryKey"));

    // A file the user happens to keep beside it is no scratch file of ours.
    pel::test::WriteFile(dir.file("other.db.part"), "keep me");
    ASSERT_EQ(RunCli({"new-db", dir.file("other.db")}).exitCode, 0);
    EXPECT_EQ(pel::test::ReadFile(dir.file("other.db.part")), "keep me");
    EXPECT_EQ(RunCli({"new-db", dir.path().string()}).exitCode, 1);  // a folder is never replaced

    auto again = RunCli({"new-db", db});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("exists already"), std::string::npos);
}

TEST(Cli, TypesFiltersByNodeAndNamesAMissingDefinitionsFile) {
    auto hg = RunCli({"types", "--node", "HG"});
    EXPECT_EQ(hg.exitCode, 0);
    EXPECT_EQ(hg.out.rfind("ANLCMPHG\n", 0), 0u) << hg.out;
    EXPECT_EQ(hg.out.find("NIM"), std::string::npos);
    EXPECT_EQ(RunCli({"types", "--node", "XX"}).out, "");
    TempDir dir;
    auto missing = RunCli({"--defs", dir.file("EB.db"), "types"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(dir.file("EB.db")), std::string::npos);
}

TEST(Cli, PointTypesAreMatchedWithoutRegardToCase) {
    TempDir dir;
    const std::string db = dir.file("plant.db");
    ASSERT_EQ(RunCli({"new-db", db}).exitCode, 0);
    const std::vector<std::vector<std::string>> runs = {
        {"export", db, dir.file("out.eb"), "--types", "regclnim,AninNim"},
        {"compare-db", db, db, dir.file("r.htm"), "--types", "regclnim"},
        {"connections", db, dir.file("c.txt"), "--types", "regclnim"}};
    for (const auto& args : runs) {
        auto r = RunCli(args);
        EXPECT_EQ(r.exitCode, 0) << args[0] << "\n" << r.err;
    }
    EXPECT_NE(pel::test::ReadFile(dir.file("r.htm")).find("<h2>REGCLNIM</h2>"), std::string::npos);
}
