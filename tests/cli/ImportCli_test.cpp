// pelorin-cli import: one result line per file on standard output, messages on standard error,
// the exit status, and what lands in the database.

#include <gtest/gtest.h>

#include "db/Database.h"
#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::RunCli;
using pel::test::TempDir;

namespace {
std::string Desc(const std::string& db, const std::string& name) {
    auto d = pel::db::Database::open(db, false);
    auto c = d->openTable("REGCLNIM", "PrimaryKey", pel::db::CursorMode::Reading);
    if (!c->seek(name)) return "<no row>";
    auto v = c->value(c->fieldIndex("PTDESC"));
    return v.isNull() ? "<null>" : v.asText();
}
}  // namespace

TEST(ImportCli, ImportsFilesInOrderWithOneResultLineEach) {
    TempDir dir;
    const std::string db = dir.file("plant.db");
    ASSERT_EQ(RunCli({"new-db", db}).exitCode, 0);
    pel::test::WriteFile(dir.file("a.eb"),
                         CrLf({"&T REGCLNIM", "&N FIC101", "PTDESC = \"FIRST\"", "NODENUM = 3",
                               "{ }", "&T ANINNIM", "&N AI1", "{ }"}));
    pel::test::WriteFile(dir.file("b.eb"),
                         CrLf({"&T REGCLNIM", "&N FIC101", "PTDESC = SECOND", "{ }"}));
    auto r = RunCli({"import", db, dir.file("a.eb"), dir.file("b.eb")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Points added: 2      Points updated: 0\nPoints added: 0      Points updated: 1\n");
    EXPECT_EQ(Desc(db, "FIC101"), "SECOND");

    auto only =
        RunCli({"import", "--mode", "additions-only", "--params", "NODENUM", db, dir.file("a.eb")});
    EXPECT_EQ(only.out, "Points added: 0      Points updated: 0\n");
    EXPECT_EQ(RunCli({"import", "--mode", "sideways", db, dir.file("a.eb")}).exitCode, 2);
}

TEST(ImportCli, QuestionsAreAnsweredCancelWithoutYesAndEverythingLeftUndoneExitsWith1) {
    TempDir dir;
    const std::string db = dir.file("plant.db");
    ASSERT_EQ(RunCli({"new-db", db}).exitCode, 0);
    pel::test::WriteFile(dir.file("a.eb"), CrLf({"&T REGCLNIM", "&N A1", "&T BOGUS", "&N B1",
                                                 "&T REGCLNIM", "&N A2"}));
    auto cancel = RunCli({"import", "--no-update-defs", db, dir.file("a.eb")});
    EXPECT_EQ(cancel.exitCode, 1);
    EXPECT_NE(cancel.err.find("Error: Invalid Point Type: BOGUS"), std::string::npos) << cancel.err;
    EXPECT_NE(cancel.err.find("Answer: Cancel"), std::string::npos);
    EXPECT_EQ(cancel.out, "Points added: 1      Points updated: 0\n");
    EXPECT_EQ(Desc(db, "A2"), "<no row>");

    auto yes = RunCli({"--yes", "import", "--no-update-defs", db, dir.file("a.eb")});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_EQ(Desc(db, "A2"), "<null>");

    pel::test::WriteFile(dir.file("c.eb"), CrLf({"&T REGCLNIM", "&N A3", "NEWPARAM = 1"}));
    auto noColumn = RunCli({"import", "--no-update-defs", db, dir.file("c.eb")});
    EXPECT_EQ(noColumn.exitCode, 1);
    EXPECT_NE(noColumn.err.find("c.eb, line 3, point A3, parameter NEWPARAM"), std::string::npos)
        << noColumn.err;
    EXPECT_EQ(Desc(db, "A3"), "<null>");  // the point is saved without it

    auto missingDb = RunCli({"import", dir.file("none.db"), dir.file("a.eb")});
    EXPECT_EQ(missingDb.exitCode, 1);
    EXPECT_NE(missingDb.err.find(dir.file("none.db")), std::string::npos);
}
