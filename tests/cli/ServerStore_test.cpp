// Several engineers (real parallel pelorin-cli runs) share one server database.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "support/ServerDatabases.h"
#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::ReadFile;
using pel::test::RunCli;
using pel::test::TempDir;
using pel::test::WriteFile;

namespace {

std::string NewServerPointDatabase() {
    const std::string uri = pel::test::FreshServerDatabase();
    EXPECT_EQ(RunCli({"new-db", uri}).exitCode, 0);
    return uri;
}

void InParallel(const std::vector<std::function<void()>>& runs) {
    std::vector<std::thread> threads;
    for (const auto& run : runs) threads.emplace_back(run);
    for (auto& t : threads) t.join();
}

}  // namespace

TEST(ServerStore, ParallelRunsOnOneDatabaseAllCompleteAndLoseNothing) {
    PELORIN_REQUIRE_SERVER();
    TempDir dir;
    const std::string db = NewServerPointDatabase();
    // Two files of different points, both bringing the same new parameters (columns), and two
    // files that write the same points.
    std::vector<std::string> a, b, sameA, sameB;
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        for (auto* lines : {&a, &b}) {
            const std::string name = (lines == &a ? "A" : "B") + n;
            lines->insert(lines->end(), {"&T REGCLNIM", "&N " + name, "PTDESC = \"" + name + "\"",
                                         "KEYWORD = K" + n, "BOXNUM = " + n});
        }
        sameA.insert(sameA.end(),
                     {"&T REGCLNIM", "&N S" + n, "PTDESC = \"FIRST\"", "KEYWORD = ONE"});
        sameB.insert(sameB.end(),
                     {"&T REGCLNIM", "&N S" + n, "PTDESC = \"SECOND\"", "NODENUM = 2"});
    }
    WriteFile(dir.file("a.eb"), CrLf(a));
    WriteFile(dir.file("b.eb"), CrLf(b));
    WriteFile(dir.file("sameA.eb"), CrLf(sameA));
    WriteFile(dir.file("sameB.eb"), CrLf(sameB));
    std::map<std::string, pel::test::CliResult> results;
    std::mutex lock;
    auto run = [&](const std::string& what, std::vector<std::string> args) {
        return [&, what, args] {
            auto r = RunCli(args);
            std::lock_guard<std::mutex> guard(lock);
            results[what] = r;
        };
    };
    InParallel({run("import a", {"import", db, dir.file("a.eb")}),
                run("import b", {"import", db, dir.file("b.eb")}),
                run("import same a", {"import", db, dir.file("sameA.eb")}),
                run("import same b", {"import", db, dir.file("sameB.eb")}),
                run("export", {"export", db, dir.file("out.eb"), "--types", "REGCLNIM"}),
                run("compare", {"compare", db, dir.file("r.htm"), dir.file("a.eb")})});
    for (const auto& [what, r] : results) EXPECT_EQ(r.exitCode, 0) << what << ": " << r.err;

    // Every point whole: exported points are never half-written.
    auto block = [](const std::string& eb, const std::string& name) {
        const auto at = eb.find("&N " + name + "\r\n");
        return at == std::string::npos ? std::string() : eb.substr(at, eb.find("{ }", at) - at);
    };
    const std::string exported = ReadFile(dir.file("out.eb"));
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i), seen = block(exported, "A" + n);
        if (!seen.empty()) {
            EXPECT_NE(seen.find("BOXNUM = " + n), std::string::npos) << seen;
        }
    }
    // Nothing lost, and the points both wrote have what each gave them.
    auto after = RunCli({"export", db, dir.file("all.eb"), "--types", "REGCLNIM"});
    EXPECT_EQ(after.out, "Points exported: 900\n") << after.err;
    const std::string all = ReadFile(dir.file("all.eb"));
    const std::pair<const char*, std::vector<std::string>> expected[] = {
        {"A299", {"PTDESC = \"A299\"", "KEYWORD = \"K299\"", "BOXNUM = 299"}},
        {"B0", {"PTDESC = \"B0\"", "KEYWORD = \"K0\"", "BOXNUM = 0"}},
        {"S7", {"KEYWORD = \"ONE\"", "NODENUM = 2"}}};
    for (const auto& [name, lines] : expected)
        for (const auto& line : lines)
            EXPECT_NE(block(all, name).find(line), std::string::npos) << line;
}

TEST(ServerStore, TwoWayComparisonsAtOnceEachReportAsIfAlone) {
    PELORIN_REQUIRE_SERVER();
    TempDir dir;
    const std::string db = NewServerPointDatabase();
    WriteFile(dir.file("plant.eb"), CrLf({"&T REGCLNIM", "&N _SPARE", "BOXNUM = 3", "&T REGCLNIM",
                                          "&N aic7", "&T REGCLNIM", "&N FIC101", "BOXNUM = 12"}));
    ASSERT_EQ(RunCli({"import", db, dir.file("plant.eb")}).exitCode, 0);
    // Each file finds another point of node 12: the found flags of one run would spoil the
    // other's list of the points of that node not found.
    const std::vector<std::string> files = {dir.file("one.eb"), dir.file("two.eb")};
    WriteFile(files[0], CrLf({"&T REGCLNIM", "&N FIC101", "BOXNUM = 12"}));
    WriteFile(files[1], CrLf({"&T REGCLNIM", "&N _SPARE", "BOXNUM = 12"}));
    auto compare = [&](std::size_t i, const std::string& tag) {
        return RunCli(
            {"compare", db, dir.file(tag + std::to_string(i) + ".htm"), files[i], "--two-way"});
    };
    std::vector<pel::test::CliResult> alone, together(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) alone.push_back(compare(i, "alone"));
    InParallel({[&] { together[0] = compare(0, "together"); },
                [&] { together[1] = compare(1, "together"); }});
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(together[i].exitCode, alone[i].exitCode) << together[i].err;
        EXPECT_EQ(ReadFile(dir.file("together" + std::to_string(i) + ".htm")),
                  ReadFile(dir.file("alone" + std::to_string(i) + ".htm")));
    }
}
