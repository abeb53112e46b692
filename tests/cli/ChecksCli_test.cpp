// pelorin-cli check-connections and diff: result lines and exit statuses.

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::ExpectCli;
using pel::test::TempDir;
using pel::test::WriteFile;

// check-connections exits 1 when a reference dangles; diff exits 1 when the files differ, as
// diff does; both exit 2 for a report of another kind or a missing input.
TEST(ChecksCli, CheckConnectionsAndDiffExitAsTheyFind) {
    TempDir dir;
    const std::string db = dir.file("plant.db");
    ExpectCli({"new-db", db}, 0);
    WriteFile(dir.file("in.eb"), CrLf({"&T REGCLNIM", "&N FIC101", "PISRC(1) = FIC100.PV"}));
    ExpectCli({"import", db, dir.file("in.eb")}, 0);
    WriteFile(dir.file("more.eb"), CrLf({"&T REGCLNIM", "&N FIC100"}));
    WriteFile(dir.file("a.eb"), CrLf({"&T REGCLNIM", "&N FIC101", "K = 1"}));
    WriteFile(dir.file("b.eb"), CrLf({"&T REGCLNIM", "&N FIC101", "K = 2"}));
    // The result lines are the engines' (tested there); one of each command shows they are printed.
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* out;
    } cases[] = {
        {{"check-connections", db, dir.file("r.csv")},
         1,
         "Points checked: 1      References: 1      Dangling: 1\n"},
        {{"check-connections", db, dir.file("r.htm"), "--types", "REGCLNIM", "--eb",
          dir.file("more.eb")},
         0,
         nullptr},
        {{"check-connections", db, dir.file("r.txt")}, 2, ""},
        {{"check-connections", db, dir.file("r.csv"), "--types", "NOSUCH"}, 1, nullptr},
        {{"diff", dir.file("a.eb"), dir.file("a.eb"), dir.file("d.csv")},
         0,
         "Points compared: 1      Added: 0      Removed: 0      Changed: 0\n"},
        {{"diff", dir.file("a.eb"), dir.file("b.eb"), dir.file("d.html")}, 1, nullptr},
        {{"diff", dir.file("a.eb"), dir.file("b.eb"), dir.file("d.eb")}, 2, ""},
        {{"diff", dir.file("a.eb"), dir.file("none.eb"), dir.file("d.csv")}, 2, ""},
        {{"diff", dir.file("a.eb")}, 2, ""},
    };
    for (const auto& c : cases) ExpectCli(c.args, c.exitCode, c.out);
}
