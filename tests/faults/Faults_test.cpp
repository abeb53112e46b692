// Every command run into a failing disk, sync or lock (a SQLite file system preloaded into
// pelorin-cli), and into a full disk for its text output (a file-size limit): exit status 1, a
// message naming what failed, an undamaged database whose points are exactly the ones reported.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestSupport.h"

using pel::test::CliConditions;
using pel::test::QueryText;
using pel::test::RunCli;
using pel::test::TempDir;

namespace {

std::vector<std::string> Points(const std::string& prefix, int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.push_back("&T REGCLNIM");
        lines.push_back("&N " + prefix + std::to_string(1000 + i));
        lines.push_back("PTDESC = \"POINT " + std::to_string(i) + "\"");
    }
    return lines;
}

// 100 points, an unknown type (its question commits them: line 301), 100 more.
std::vector<std::string> TwoGroups() {
    auto lines = Points("A", 100);
    for (const char* l : {"&T BOGUS", "&N X1", "X = 1"}) lines.emplace_back(l);
    auto more = Points("B", 100);
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

std::string Rows(const std::string& db) {
    return QueryText(db, "SELECT count(*) FROM REGCLNIM");
}

struct Plant {
    TempDir dir;
    std::string db = dir.file("plant.db"), fresh = dir.file("fresh.db");
    std::string eb = dir.file("plant.eb"), cmp = dir.file("cmp.eb");
    Plant() {
        pel::test::WriteFile(eb, pel::test::CrLf(TwoGroups()));
        pel::test::WriteFile(cmp, pel::test::CrLf(Points("A", 50)));
        for (const auto& d : {db, fresh}) EXPECT_EQ(RunCli({"new-db", d}).exitCode, 0);
        EXPECT_EQ(RunCli({"import", db, cmp}).exitCode, 0);
    }
};

CliConditions Fault(const std::string& fault, const std::string& file) {
    std::string asan = "verify_asan_link_order=0";
    if (const char* given = std::getenv("ASAN_OPTIONS")) asan = std::string(given) + ":" + asan;
    return {{{"LD_PRELOAD", PELORIN_FAULT_VFS},
             {"PELORIN_FAULT", fault},
             {"PELORIN_FAULT_FILE", file},
             {"ASAN_OPTIONS", asan}}};
}

}  // namespace

TEST(Faults, EveryCommandStopsWithExitOneAMessageNamingTheFaultAndASoundDatabase) {
    struct Case {
        std::string command, fault, says;
    };
    const std::vector<Case> cases = {
        {"import", "write 1", "is full"},    {"import", "sync 1", "(sync) failed"},
        {"import", "lock 1", "locking"},     {"compare", "write 0", "is full"},
        {"compare", "lock 0", "locking"},    {"export", "lock 0", "locking"},
        {"compare-db", "lock 0", "locking"}, {"connections", "lock 0", "locking"},
        {"convert", "write 0", "is full"},   {"convert", "sync 0", "(sync) failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command + " into " + c.fault);
        Plant p;
        const std::string out = p.dir.file("out.txt"), copy = p.dir.file("copy.db");
        std::vector<std::string> args;
        std::string watched = "plant.db";
        if (c.command == "import") {
            args = {"import", "--yes", "--no-update-defs", p.fresh, p.eb};
            watched = "fresh.db";
        } else if (c.command == "compare") {
            args = {"compare", p.db, p.dir.file("r.htm"), p.cmp};
        } else if (c.command == "export") {
            args = {"export", p.db, p.dir.file("out.eb"), "--types", "REGCLNIM"};
        } else if (c.command == "compare-db") {
            args = {"compare-db", p.fresh, p.db, p.dir.file("r.htm"), "--types", "REGCLNIM"};
        } else if (c.command == "connections") {
            args = {"connections", p.db, out, "--types", "REGCLNIM"};
        } else {
            args = {"convert", p.db, copy};
            watched = "copy.db";
        }
        const auto r = RunCli(args, Fault(c.fault, watched));
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_TRUE(pel::test::Holds(r.err, c.says));
        for (const auto& db : {p.db, p.fresh})
            EXPECT_EQ(QueryText(db, "PRAGMA integrity_check"), "ok") << db;
        if (c.command == "import") {
            // Exactly the points reported are saved; the message says where to go on from.
            const std::string rows = Rows(p.fresh);
            EXPECT_EQ(r.out, "Points added: " + rows + "      Points updated: 0\n");
            EXPECT_EQ(rows, "100");
            if (c.fault != "lock 1") {
                EXPECT_TRUE(pel::test::Holds(r.err, "import the file again from line 301"));
            }
            EXPECT_EQ(RunCli({"import", "--yes", "--no-update-defs", p.fresh, p.eb}).exitCode, 0);
            EXPECT_EQ(Rows(p.fresh), "200");
        }
        if (c.command == "convert") {
            EXPECT_FALSE(std::filesystem::exists(copy));
        }
        EXPECT_EQ(Rows(p.db), "50");
    }
}

TEST(Faults, AFullDiskForEveryTextOutputEndsWithExitOneAndANamedFile) {
    // The limit lets the databases grow as they need but not the outputs: the readers get a
    // large plant, the comparison (which writes its flags) a smaller one with changed values.
    constexpr long long kLimit = 512 * 1024;
    TempDir dir;
    const std::string large = dir.file("large.db"), small = dir.file("small.db");
    const std::string eb = dir.file("plant.eb"), changed = dir.file("changed.eb");
    pel::test::WriteFile(eb, pel::test::CrLf(Points("A", 12000)));
    auto lines = Points("A", 3000);
    pel::test::WriteFile(dir.file("small.eb"), pel::test::CrLf(lines));
    for (auto& l : lines)
        if (l.rfind("PTDESC", 0) == 0) l += " CHANGED AND LONGER THAN BEFORE, FOR A LONG REPORT";
    pel::test::WriteFile(changed, pel::test::CrLf(lines));
    for (const auto& db : {large, small, dir.file("empty.db")})
        ASSERT_EQ(RunCli({"new-db", db}).exitCode, 0);
    ASSERT_EQ(RunCli({"import", large, eb}).exitCode, 0);
    ASSERT_EQ(RunCli({"import", small, dir.file("small.eb")}).exitCode, 0);
    const std::vector<std::vector<std::string>> writers = {
        {"export", large, dir.file("out.eb"), "--types", "REGCLNIM"},
        {"compare", small, dir.file("out.htm"), changed},
        {"compare-db", large, dir.file("empty.db"), dir.file("out-db.htm"), "--types", "REGCLNIM"},
        {"connections", large, dir.file("out.txt"), "--types", "REGCLNIM"},
    };
    for (const auto& args : writers) {
        SCOPED_TRACE(args[0]);
        const std::string output = args[args[0] == "compare-db" ? 3 : 2];
        pel::test::WriteFile(output, "PREVIOUS");
        CliConditions fullDisk;
        fullDisk.fileSizeLimit = kLimit;
        const auto r = RunCli(args, fullDisk);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_TRUE(pel::test::Holds(r.err, "Cannot write " + output + ": File too large"));
        for (const auto& db : {large, small})
            EXPECT_EQ(QueryText(db, "PRAGMA integrity_check"), "ok");
        EXPECT_EQ(pel::test::ReadFile(output), "PREVIOUS");  // the previous output stays whole
    }
}
