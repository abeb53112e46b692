// No output of a run replaces one of its inputs or a file that is not a regular file, whatever
// the command.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::ExpectCli;
using pel::test::ReadFile;
using pel::test::RunCli;
using pel::test::TempDir;

TEST(OutputsCli, AnOutputThatIsAnInputOrNoRegularFileIsRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    const std::string db = dir.file("plant.db"), asBuilt = dir.file("asbuilt.db");
    const std::string eb = dir.file("g.eb"), list = dir.file("sel.txt"), defs = dir.file("EB.db");
    ExpectCli({"new-db", db}, 0);
    ExpectCli({"new-db", asBuilt}, 0);
    pel::test::WriteFile(eb, CrLf({"&T REGCLNIM", "&N A101", "KEYWORD = LEVEL", "{ }"}));
    pel::test::WriteFile(list, "A101\r\n");
    std::filesystem::copy_file(pel::test::BuiltDefinitions(), defs);
    ExpectCli({"import", db, eb}, 0);
    ASSERT_EQ(::link(db.c_str(), dir.file("alias.eb").c_str()), 0);
    const std::vector<std::string> inputs = {db, asBuilt, eb, list, defs};
    std::vector<std::string> before;
    for (const auto& f : inputs) before.push_back(ReadFile(f));

    const std::string types = "REGCLNIM";
    const std::vector<std::vector<std::string>> runs = {
        {"export", db, db, "--types", types},
        {"export", db, dir.file("alias.eb"), "--types", types},  // the same file by another name
        {"export", db, list, "--types", types, "--select-file", list},
        {"--defs", defs, "export", db, defs, "--types", types},
        {"export", db, "/dev/full", "--types", types},
        {"compare", db, eb, eb},
        {"compare-db", db, asBuilt, asBuilt, "--types", types},
        {"compare-db", db, asBuilt, db, "--types", types},
        {"connections", db, db, "--types", types},
    };
    for (const auto& args : runs) {
        const auto r = RunCli(args);
        std::string run;
        for (const auto& a : args) run += a + " ";
        EXPECT_EQ(r.exitCode, 1) << run << r.err;
        EXPECT_TRUE(r.err.find("same file as") != std::string::npos ||
                    r.err.find("not a regular file") != std::string::npos)
            << run << r.err;
        for (std::size_t i = 0; i < inputs.size(); ++i)
            EXPECT_EQ(ReadFile(inputs[i]), before[i]) << run << inputs[i];
    }
}
