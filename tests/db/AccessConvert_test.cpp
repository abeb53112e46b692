// Converting Access files into SQLite databases: the copy, read back through the SQLite layer,
// holds the same tables, columns, types, indexes and values, in the same order.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "convert/ConvertDatabase.h"
#include "db/Database.h"
#include "db/TypeCodes.h"
#include "db/ValueText.h"
#include "support/AccessFixtures.h"
#include "support/TestSupport.h"

using namespace pel;
using namespace pel::db;
using pel::test::CopyAccessFixture;
using pel::test::RecordingFeedback;
using pel::test::TempDir;

namespace {

std::vector<std::string> FilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The schema's own text for a table or index, as SQLite keeps it.
std::string SchemaSql(const std::string& path, const std::string& name) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_schema WHERE name = ?1", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    std::string sql;
    if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
        sql = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return sql;
}

// A row as the program shows its values (SQLite keeps a whole SINGLE as an integer, Access
// as a real: both show "1500"), Null apart from empty text.
std::vector<std::string> Shown(const Cursor& c, const std::vector<int>& columns) {
    std::vector<std::string> out;
    for (int i : columns) {
        const Value v = c.value(i);
        out.push_back(v.isNull() ? "<null>" : ValueText(v, c.field(i).type));
    }
    return out;
}

std::vector<std::vector<std::string>> Walk(Database& db, const std::string& table,
                                           const std::string& order,
                                           const std::vector<std::string>& names) {
    auto c = db.openTable(table, order, CursorMode::Reading);
    std::vector<int> columns;
    for (const auto& n : names) columns.push_back(c->fieldIndex(n));
    std::vector<std::vector<std::string>> rows;
    for (; !c->eof(); c->moveNext()) rows.push_back(Shown(*c, columns));
    EXPECT_EQ(c->recordCount(), static_cast<std::int64_t>(rows.size()));
    return rows;
}

// Every table, column, readable index and value of `access` is in `copy`, and every index
// gives its keys in the same order on both sides. Rows whose keys tie come in an order of
// their own on each side unless the table has NAME to break the tie.
void ExpectSameContents(Database& access, Database& copy) {
    ASSERT_EQ(access.tableNames(), copy.tableNames());
    for (const auto& table : access.tableNames()) {
        SCOPED_TRACE(table);
        auto a = access.tableInfo(table);
        auto c = copy.tableInfo(table);
        ASSERT_TRUE(a && c);
        std::vector<std::string> all;
        ASSERT_EQ(a->columns.size(), c->columns.size());
        for (std::size_t i = 0; i < a->columns.size(); ++i) {
            EXPECT_EQ(a->columns[i].name, c->columns[i].name);
            EXPECT_EQ(a->columns[i].type, c->columns[i].type) << a->columns[i].name;
            all.push_back(a->columns[i].name);
        }
        std::vector<std::string> readable, copied;
        for (const auto& idx : a->indexes) {
            if (!idx.readable) continue;
            readable.push_back(idx.name);
            const IndexInfo* same = c->index(idx.name);
            ASSERT_TRUE(same) << idx.name;
            EXPECT_EQ(same->columns, idx.columns);
            EXPECT_EQ(same->unique, idx.unique);
            const bool named = a->columnIndex("NAME") >= 0;
            std::vector<std::string> keys = named ? all : idx.columns;
            EXPECT_EQ(Walk(access, table, idx.name, keys), Walk(copy, table, idx.name, keys))
                << idx.name;
        }
        for (const auto& idx : c->indexes) copied.push_back(idx.name);
        EXPECT_EQ(copied, readable);
        auto x = Walk(access, table, "", all), y = Walk(copy, table, "", all);
        std::sort(x.begin(), x.end());
        std::sort(y.begin(), y.end());
        EXPECT_EQ(x, y);
    }
}

struct RoundTrip {
    const char* fixture;
    const char* result;
    bool complete;  // every index readable
};

class ConvertRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

}  // namespace

TEST_P(ConvertRoundTrip, TheCopyHoldsWhatTheAccessFileHolds) {
    TempDir dir;
    const std::string source = CopyAccessFixture(dir, GetParam().fixture);
    const std::string dest = dir.file("copy.db");
    RecordingFeedback feedback;
    const Outcome outcome = ConvertDatabase(source, dest, feedback);
    EXPECT_EQ(outcome, GetParam().complete ? Outcome::Done : Outcome::LeftUndone);
    EXPECT_EQ(feedback.results, std::vector<std::string>{GetParam().result});
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_EQ(feedback.warnings.empty(), GetParam().complete);
    auto access = Database::open(source, false);
    auto copy = Database::open(dest, false);
    EXPECT_FALSE(copy->isAccess());
    ExpectSameContents(*access, *copy);
    std::vector<std::string> expected = {"copy.db", GetParam().fixture};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(dir), expected);  // no temporary file is left beside the copy
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ConvertRoundTrip,
    ::testing::Values(
        RoundTrip{"plant-sample.mdb", "Tables converted: 2      Rows converted: 6", true},
        RoundTrip{"EB-sample.mdb", "Tables converted: 2      Rows converted: 7", true},
        RoundTrip{"testV1997.mdb", "Tables converted: 4      Rows converted: 2", true},
        RoundTrip{"testUnicodeCompV2003.mdb", "Tables converted: 1      Rows converted: 8", true},
        RoundTrip{"nwind.mdb", "Tables converted: 9      Rows converted: 4032", false}));

TEST(ConvertDatabase, DeclaresTypesAndCaseBlindKeysAsTheProgramDoes) {
    TempDir dir;
    RecordingFeedback feedback;
    const std::string plant = dir.file("plant.db"), defs = dir.file("EB.db");
    ASSERT_EQ(ConvertDatabase(CopyAccessFixture(dir, "plant-sample.mdb"), plant, feedback),
              Outcome::Done);
    ASSERT_EQ(ConvertDatabase(CopyAccessFixture(dir, "EB-sample.mdb"), defs, feedback),
              Outcome::Done);
    EXPECT_EQ(SchemaSql(plant, "REGCLNIM"),
              "CREATE TABLE \"REGCLNIM\" (\"NAME\" TEXT NOT NULL COLLATE NOCASE, \"PNTTYPE\" TEXT, "
              "\"PTDESC\" TEXT, \"KEYWORD\" TEXT, \"NODENUM\" INTEGER, \"MODNUM\" SMALLINT, "
              "\"SLOTNUM\" BYTE, \"PVEUHI\" DOUBLE, \"PVEULO\" SINGLE, \"INSERVICE\" BOOLEAN, "
              "\"PISRC(1)\" TEXT, \"LISRC(2)\" TEXT, \"_INTERNAL\" LONGTEXT)");
    EXPECT_EQ(SchemaSql(plant, "REGCLNIM.PrimaryKey"),
              "CREATE UNIQUE INDEX \"REGCLNIM.PrimaryKey\" ON \"REGCLNIM\" (\"NAME\")");
    EXPECT_EQ(
        SchemaSql(plant, "REGCLNIM.Address"),
        "CREATE INDEX \"REGCLNIM.Address\" ON \"REGCLNIM\" (\"NODENUM\", \"MODNUM\", \"SLOTNUM\")");
    EXPECT_EQ(
        SchemaSql(defs, "PointTypes"),
        "CREATE TABLE \"PointTypes\" (\"PntType\" TEXT NOT NULL COLLATE NOCASE, \"Node\" TEXT, "
        "\"InternalParameters\" LONGTEXT, \"NumericFields\" LONGTEXT)");
    EXPECT_EQ(SchemaSql(defs, "QuotedParameters.PrimaryKey"),
              "CREATE INDEX \"QuotedParameters.PrimaryKey\" ON \"QuotedParameters\" "
              "(\"Parameter\", \"Node\")");

    // The copy is a point database like any other: it can be written, and its keys ignore case.
    auto db = Database::open(plant, true);
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Updating);
    c->addNew();
    c->setValue(c->fieldIndex("NAME"), Value::text("fic101"));
    EXPECT_THROW(c->update(), DbError);  // FIC101 is there already
    ASSERT_TRUE(c->seek("tic200"));
    EXPECT_EQ(c->value(c->fieldIndex("PVEULO")).kind(), Value::Kind::Integer);  // SQLite's NUMERIC
    ASSERT_TRUE(c->seek("FIC101"));
    EXPECT_EQ(c->value(c->fieldIndex("PVEULO")), Value::real(0.10000000149011612));
}

TEST(ConvertDatabase, AnUnreadableIndexIsWarnedAboutAndLeftOut) {
    TempDir dir;
    const std::string dest = dir.file("props.db");
    RecordingFeedback feedback;
    EXPECT_EQ(
        ConvertDatabase(CopyAccessFixture(dir, "testIndexPropertiesV2000.mdb"), dest, feedback),
        Outcome::LeftUndone);
    EXPECT_EQ(feedback.warnings.size(), 6u);  // two indexes of each of three tables
    bool named = false;
    for (const auto& w : feedback.warnings)
        if (w.find("TableIgnoreNulls2.DataIndex") != std::string::npos) named = true;
    EXPECT_TRUE(named);
    auto copy = Database::open(dest, false);
    EXPECT_TRUE(IndexExists(*copy, "TableIgnoreNulls1", "DataIndex"));
    EXPECT_FALSE(IndexExists(*copy, "TableIgnoreNulls2", "DataIndex"));
    EXPECT_EQ(copy->openTable("TableIgnoreNulls2", "", CursorMode::Reading)->recordCount(), 11);
}

TEST(ConvertDatabase, RefusesAnExistingDestinationAndLeavesNothingWhenItFails) {
    TempDir dir;
    const std::string source = CopyAccessFixture(dir, "plant-sample.mdb");
    const std::string existing = dir.file("existing.db");
    pel::test::WriteFile(existing, "keep me");
    RecordingFeedback feedback;
    EXPECT_EQ(ConvertDatabase(source, existing, feedback), Outcome::LeftUndone);
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_NE(feedback.messages[0].text.find(existing + " exists already"), std::string::npos);
    EXPECT_EQ(pel::test::ReadFile(existing), "keep me");

    // A source that fails half-way: the second table's rows are cut off the file.
    const std::string cut = dir.file("cut.mdb");
    pel::test::WriteFile(cut, pel::test::ReadFile(source).substr(0, 34 * 4096));
    const std::vector<std::string> sources = {dir.file("missing.mdb"), existing, cut};
    for (const auto& from : sources) {
        RecordingFeedback f;
        EXPECT_EQ(ConvertDatabase(from, dir.file("new.db"), f), Outcome::LeftUndone) << from;
        ASSERT_EQ(f.messages.size(), 1u) << from;
        EXPECT_NE(f.messages[0].text.find(from), std::string::npos) << f.messages[0].text;
        EXPECT_TRUE(f.results.empty());
    }
    EXPECT_EQ(FilesIn(dir),
              (std::vector<std::string>{"cut.mdb", "existing.db", "plant-sample.mdb"}));
}

TEST(ConvertDatabase, RemovesOnlyTheStalePartsOfItsOwnDestination) {
    TempDir dir;
    const std::string source = CopyAccessFixture(dir, "plant-sample.mdb");
    // Left by a killed run of the same destination.
    const std::vector<std::string> stale = {"new.db.part-a1B2c3", "new.db.part-a1B2c3-journal",
                                            "new.db.part-zz9ZZ9-wal"};
    const std::vector<std::string> kept = {"new.db.part-held00",  // a run that is still building it
                                           "new.db.part-abc",     // not one of our names
                                           "new.db.part-a1B2c3.bak", "other.db.part-a1B2c3",
                                           "new.db.partner"};
    for (const auto& name : stale) pel::test::WriteFile(dir.file(name), "stale");
    for (const auto& name : kept) pel::test::WriteFile(dir.file(name), "keep me");
    const int held = ::open(dir.file("new.db.part-held00").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    RecordingFeedback feedback;
    EXPECT_EQ(ConvertDatabase(source, dir.file("new.db"), feedback), Outcome::Done);
    ::close(held);
    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {"new.db", "plant-sample.mdb"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(dir), expected);
}

TEST(ConvertDatabase, TheCommandLineConvertsAndSaysSo) {
    TempDir dir;
    const std::string source = CopyAccessFixture(dir, "plant-sample.mdb");
    const std::string dest = dir.file("plant.db");
    auto done = pel::test::RunCli({"convert", source, dest});
    EXPECT_EQ(done.exitCode, 0) << done.err;
    EXPECT_EQ(done.out, "Tables converted: 2      Rows converted: 6\n");
    EXPECT_EQ(done.err, "");
    auto again = pel::test::RunCli({"convert", source, dest});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("Error: A file " + dest + " exists already"), std::string::npos)
        << again.err;
    EXPECT_EQ(pel::test::RunCli({"convert", source}).exitCode, 2);

    auto partly = pel::test::RunCli(
        {"convert", CopyAccessFixture(dir, "testIndexPropertiesV2000.mdb"), dir.file("props.db")});
    EXPECT_EQ(partly.exitCode, 1);
    EXPECT_NE(partly.err.find("Warning: The index PrimaryKey of the table TableIgnoreNulls2"),
              std::string::npos)
        << partly.err;
    EXPECT_EQ(partly.err.find("CRITICAL"), std::string::npos) << partly.err;  // libmdb kept quiet
}
