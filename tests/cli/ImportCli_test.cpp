// pelorin-cli import: one result line per file on standard output, messages on standard error,
// the exit status, and what lands in the database.

#include <gtest/gtest.h>

#include "db/Database.h"
#include "support/TestSupport.h"

using pel::test::CrLf;
using pel::test::ExpectCli;
using pel::test::Holds;
using pel::test::TempDir;

TEST(ImportCli, ImportsFilesInOrderWithOneResultLineEachAndExitsAsItFinds) {
    pel::test::PlantFixture p;
    const std::string a = p.file("a.eb", {"&T REGCLNIM", "&N FIC101", "PTDESC = \"FIRST\"",
                                          "NODENUM = 3", "{ }", "&T ANINNIM", "&N AI1", "{ }"});
    const std::string b = p.file("b.eb", {"&T REGCLNIM", "&N FIC101", "PTDESC = SECOND", "{ }"});
    ExpectCli({"import", p.db, a, b}, 0,
              "Points added: 2      Points updated: 0\nPoints added: 0      Points updated: 1\n");
    ExpectCli({"import", "--mode", "additions-only", "--params", "NODENUM", p.db, a}, 0,
              "Points added: 0      Points updated: 0\n");
    ExpectCli({"import", "--mode", "sideways", p.db, a}, 2);

    // Questions are answered Cancel without --yes; everything left undone exits with 1.
    const std::string q =
        p.file("q.eb", {"&T REGCLNIM", "&N A1", "&T BOGUS", "&N B1", "&T REGCLNIM", "&N A2"});
    auto cancel =
        ExpectCli({"import", "--no-update-defs", p.db, q}, 1,
                  "Points added: 1      Points updated: 0\n", "Error: Invalid Point Type: BOGUS");
    EXPECT_TRUE(Holds(cancel.err, "Answer: Cancel"));
    ExpectCli({"--yes", "import", "--no-update-defs", p.db, q}, 0);
    ExpectCli({"import", "--no-update-defs", p.db,
               p.file("c.eb", {"&T REGCLNIM", "&N A3", "NEWPARAM = 1"})},
              1, nullptr, "c.eb, line 3, point A3, parameter NEWPARAM");
    EXPECT_EQ(p.value("REGCLNIM", "A3", "PTDESC"), "<null>");  // the point is saved without it
}

// A REGCLNIM table of `width` columns (NAME, PNTTYPE, PTDESC, _INTERNAL, C5, C6, ...) with its
// PrimaryKey, holding X1.
void MakeWideTable(const std::string& path, int width) {
    {
        auto made = pel::db::Database::create(path);
        std::vector<pel::db::ColumnInfo> columns = {{"NAME", 202, "TEXT NOT NULL COLLATE NOCASE"},
                                                    {"PNTTYPE", 202, "TEXT"},
                                                    {"PTDESC", 202, "TEXT"},
                                                    {"_INTERNAL", 202, "TEXT"}};
        for (int i = 5; i <= width; ++i) columns.push_back({"C" + std::to_string(i), 202, "TEXT"});
        made->createTable("REGCLNIM", columns);
        made->createIndex("REGCLNIM", {"PrimaryKey", {"NAME"}, true});
        made->commit();
    }
    pel::test::QueryText(
        path, "INSERT INTO REGCLNIM (NAME, C" + std::to_string(width) + ") VALUES ('X1', 'last')");
}

// SQLite holds 2,000 columns in a table and in a result: parameter columns stop at 1,997, so
// that _Found and a cursor's row id still fit, and the names left out are reported.
TEST(ImportCli, ParameterColumnsStopShortOfTheColumnLimitAndWiderTablesAreStillRead) {
    TempDir dir;
    const std::string db = dir.file("plant.db"), eb = dir.file("wide.eb");
    MakeWideTable(db, 1990);
    pel::test::WriteFile(eb, CrLf({"&T REGCLNIM", "&N X1", "P1 = 1", "P2 = 1", "P3 = 1", "P4 = 1",
                                   "P5 = 1", "P6 = 1", "P7 = 1", "P8 = 1", "P9 = 1", "P10 = 1"}));
    ExpectCli({"import", db, eb}, 1, nullptr,
              "REGCLNIM has 1997 columns, as many as it may have; these 3 parameters got no "
              "column and their values cannot be stored: P8 P9 P10");
    EXPECT_EQ(pel::db::Database::open(db, false)->tableInfo("REGCLNIM")->columns.size(), 1997u);
    const std::vector<std::vector<std::string>> runs = {
        {"compare", db, dir.file("r.htm"), eb},  // adds _Found: 1,998 columns and the row id
        {"export", db, dir.file("out.eb"), "--types", "REGCLNIM"},
        {"export", dir.file("full.db"), dir.file("out.eb"), "--types", "REGCLNIM"}};
    MakeWideTable(dir.file("full.db"), 2000);  // made elsewhere: read without its row id
    for (const auto& run : runs) EXPECT_NE(ExpectCli(run, 0).out, "") << run[1];
    EXPECT_TRUE(Holds(pel::test::ReadFile(dir.file("out.eb")), "C2000 = last"));
}
