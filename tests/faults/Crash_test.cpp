// pelorin-cli import, export and compare killed (SIGKILL) at several moments of their run: the
// database stays sound with no half-written point, the previous output stays whole, and running
// the command again completes the work.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/TestSupport.h"

using pel::test::QueryText;
using pel::test::RunCli;
using pel::test::TempDir;

namespace {

constexpr int kPoints = 20000;
const std::vector<std::string> kParameters = {"P1", "P2", "P3", "P4", "P5"};

std::string Plant() {
    std::string eb;
    for (int i = 0; i < kPoints; ++i) {
        eb += "&T REGCLNIM\r\n&N PT" + std::to_string(100000 + i) + "\r\nPTDESC = \"POINT " +
              std::to_string(i) + "\"\r\n";
        for (const auto& p : kParameters) eb += p + " = V" + std::to_string(i) + "\r\n";
    }
    return eb;
}

// A point with some of its parameters and not the others was cut in the middle.
std::string HalfWritten(const std::string& db) {
    std::string where;
    for (const auto& p : kParameters) where += (where.empty() ? "" : " OR ") + p + " IS NULL";
    return QueryText(db, "SELECT count(*) FROM REGCLNIM WHERE " + where);
}

// Runs the command to its end and says how long it took.
std::chrono::milliseconds Timed(const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    const auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

void RunAndKill(const TempDir& dir, const std::vector<std::string>& args,
                std::chrono::milliseconds after) {
    const int pid = pel::test::StartCli(args, dir.file("out"), dir.file("err"));
    std::this_thread::sleep_for(after);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

}  // namespace

TEST(Crash, KilledRunsLeaveSoundDatabasesWholeOutputsAndRerunsComplete) {
    TempDir dir;
    const std::string db = dir.file("plant.db"), eb = dir.file("plant.eb");
    pel::test::WriteFile(eb, Plant());
    for (const auto& d : {db, dir.file("timing.db")}) {
        ASSERT_EQ(RunCli({"new-db", d}).exitCode, 0);
        for (const auto& p : kParameters)  // as the definition update would add them
            QueryText(d, "ALTER TABLE REGCLNIM ADD COLUMN " + p + " TEXT");
    }
    const std::vector<std::string> import = {"import", db, eb};
    const auto importTime = Timed({"import", dir.file("timing.db"), eb});
    for (int quarter = 1; quarter <= 3; ++quarter) {
        SCOPED_TRACE("import killed at " + std::to_string(quarter) + "/4");
        RunAndKill(dir, import, importTime * quarter / 4);
        EXPECT_EQ(QueryText(db, "PRAGMA integrity_check"), "ok");
        EXPECT_EQ(HalfWritten(db), "0");
    }
    ASSERT_EQ(RunCli(import).exitCode, 0);
    EXPECT_EQ(QueryText(db, "SELECT count(*) FROM REGCLNIM"), std::to_string(kPoints));
    EXPECT_EQ(HalfWritten(db), "0");

    struct Output {
        std::vector<std::string> args;
        std::string file;
    };
    const std::vector<Output> outputs = {
        {{"export", db, dir.file("out.eb"), "--types", "REGCLNIM"}, dir.file("out.eb")},
        {{"compare", db, dir.file("report.htm"), eb}, dir.file("report.htm")},
    };
    for (const Output& o : outputs) {
        const auto time = Timed(o.args);
        const std::string previous = pel::test::ReadFile(o.file);
        for (int quarter = 1; quarter <= 3; ++quarter) {
            SCOPED_TRACE(o.args[0] + " killed at " + std::to_string(quarter) + "/4");
            RunAndKill(dir, o.args, time * quarter / 4);
            EXPECT_EQ(QueryText(db, "PRAGMA integrity_check"), "ok");
            EXPECT_TRUE(pel::test::ReadFile(o.file) == previous);
        }
        ASSERT_EQ(RunCli(o.args).exitCode, 0);
        EXPECT_TRUE(pel::test::ReadFile(o.file) == previous);
    }
}
