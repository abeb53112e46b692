// The database layer over SQLite files made here and by the sqlite3 library directly.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include "db/Database.h"
#include "db/TypeCodes.h"
#include "db/ValueText.h"
#include "support/DbErrors.h"
#include "support/TestSupport.h"

using namespace pel;
using namespace pel::db;
using pel::test::TempDir;
using pel::test::ThrowsDbError;

namespace {

// A table as a user might build it with the sqlite3 shell.
void RawSql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

// A table of three rows with a primary key and a second index, made by SQLite alone.
struct SqliteDatabase : ::testing::Test {
    TempDir dir;
    std::string path = dir.file("plant.db");
    void SetUp() override {
        RawSql(
            path,
            "CREATE TABLE \"REGCLNIM\" (\"NAME\" TEXT NOT NULL COLLATE NOCASE, \"PNTTYPE\" TEXT, "
            "\"PTDESC\" TEXT, \"NODENUM\" INTEGER, \"PVEULO\" SINGLE, \"INSVC\" BOOLEAN, "
            "\"_INTERNAL\" TEXT);"
            "CREATE UNIQUE INDEX \"REGCLNIM.PrimaryKey\" ON \"REGCLNIM\" (\"NAME\");"
            "CREATE INDEX \"REGCLNIM.Address\" ON \"REGCLNIM\" (\"NODENUM\");"
            "INSERT INTO REGCLNIM (NAME, NODENUM) VALUES ('tic2', 5), ('FIC1', 7), ('aic3', 5);");
    }
};

}  // namespace

// What both stores do alike is checked over a plant made through this layer; here a file made by
// SQLite alone: its declared types, an index without NOCASE, and text with NUL bytes kept.
TEST_F(SqliteDatabase, AFileMadeBySqliteAloneReadsWithItsTypesAndKeepsNulBytes) {
    RawSql(path,
           "CREATE TABLE T (NAME TEXT, V TEXT); CREATE UNIQUE INDEX \"T.PrimaryKey\" ON T (NAME);"
           "INSERT INTO T VALUES ('Abc', '1');");  // a binary index, as a user might make it
    const std::string nul("a\0b", 3);
    {
        auto db = Database::open(path, true);
        std::string columns;
        const auto info = db->tableInfo("REGCLNIM");
        for (const auto& c : info->columns) columns += " " + c.name + ":" + std::to_string(c.type);
        EXPECT_EQ(columns,
                  " NAME:202 PNTTYPE:202 PTDESC:202 NODENUM:3 PVEULO:4 INSVC:11 _INTERNAL:202");
        EXPECT_THROW(db->addColumn("REGCLNIM", "X", "TEXT); DROP TABLE REGCLNIM; --"), DbError);
        auto binary = db->openTable("T", "PrimaryKey", CursorMode::Reading);
        EXPECT_TRUE(binary->seek("ABC"));
        EXPECT_TRUE(binary->seek("Abc"));
        auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Updating);
        ASSERT_TRUE(c->seek("fic1"));
        c->setValue(c->fieldIndex("PTDESC"), Value::text(nul));
        EXPECT_EQ(c->value(c->fieldIndex("PTDESC")).asText(), nul);
        c->update();
        db->commit();
    }
    auto db = Database::open(path, false);
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Reading);
    ASSERT_TRUE(c->seek("FIC1"));
    EXPECT_EQ(c->value(c->fieldIndex("PTDESC")), Value::text(nul));
}

// A row's texts, read at once as views of the driver's own text, are its value texts in every
// state the cursor shows: walked, found, with a pending or a written assignment, being added.
TEST_F(SqliteDatabase, ARowsTextsAreItsValueTextsInEveryStateOfTheCursor) {
    RawSql(path,
           "UPDATE REGCLNIM SET PTDESC = 'a b', PVEULO = 0.1, INSVC = 1 WHERE NAME = 'aic3';"
           "UPDATE REGCLNIM SET PTDESC = '', PVEULO = 3, INSVC = 0 WHERE NAME = 'FIC1';");
    auto db = Database::open(path, true);
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Updating);
    std::vector<std::string_view> texts;
    std::vector<std::string> storage;
    auto joined = [&] {
        c->rowTexts(texts, storage);
        std::string all, valueTexts;
        for (int i = 0; i < c->fieldCount(); ++i) {
            all += std::string(texts[static_cast<std::size_t>(i)]) + "|";
            valueTexts += ValueText(c->value(i), c->field(i).type) + "|";
        }
        EXPECT_EQ(all, valueTexts);
        return all;
    };
    EXPECT_EQ(joined(), "aic3||a b|5|0.1|True||");
    c->moveNext();
    EXPECT_EQ(joined(), "FIC1|||7|3|False||");
    ASSERT_TRUE(c->seek("TIC2"));
    EXPECT_EQ(joined(), "tic2|||5||||");
    c->setValue(2, Value::text("pending"));
    EXPECT_EQ(joined(), "tic2||pending|5||||");
    c->update();
    EXPECT_EQ(joined(), "tic2||pending|5||||");
    c->addNew();
    c->setText(0, "new");
    EXPECT_EQ(joined(), "new|||||||");
}

TEST_F(SqliteDatabase, ReadOnlyUseRefusesWritesBeforeWriting) {
    auto db = Database::open(path, false);
    EXPECT_TRUE(db->isReadOnly());
    EXPECT_TRUE(
        ThrowsDbError([&] { db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Updating); },
                      DbError::Kind::ReadOnly));
}

TEST_F(SqliteDatabase, BadPathsGiveErrorsNamingThePath) {
    struct Case {
        std::string path;
        DbError::Kind kind;
    };
    pel::test::WriteFile(dir.file("garbage.db"), std::string(5000, '\x7f'));
    pel::test::WriteFile(dir.file("empty.db"), "");
    std::vector<Case> cases = {{dir.file("missing.db"), DbError::Kind::NotFound},
                               {dir.file("missing.mdb"), DbError::Kind::NotFound},
                               {dir.file("garbage.db"), DbError::Kind::NotADatabase},
                               {dir.path().string(), DbError::Kind::NotADatabase}};
    for (const auto& c : cases)
        EXPECT_TRUE(ThrowsDbError([&] { Database::open(c.path, true); }, c.kind, c.path));
    EXPECT_EQ(pel::test::ReadFile(dir.file("garbage.db")), std::string(5000, '\x7f'));  // untouched
    // An empty file is a database with no tables, as SQLite itself sees it.
    EXPECT_TRUE(Database::open(dir.file("empty.db"), false)->tableNames().empty());
    EXPECT_THROW(Database::create(dir.file("garbage.db")), DbError);
}

TEST_F(SqliteDatabase, ALockHeldByAnotherProgramIsReported) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_TRUE(ThrowsDbError(
        [&] {
            auto db = Database::open(path, true);
            auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Updating);
            c->addNew();
            c->setValue(0, Value::text("X1"));
            c->update();
        },
        DbError::Kind::Locked, "is locked by another program"));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

// Grouped searches hold a read lock; writing through the same database still works, and
// commit() after the run's cursors are gone lets another program write at once.
TEST_F(SqliteDatabase, GroupedSearchesWriteThroughAndReleaseTheFileOnCommit) {
    auto db = Database::open(path, true);
    db->groupSearches();
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Updating);
    ASSERT_TRUE(c->seek("fic1"));
    c->setValue(c->fieldIndex("PTDESC"), Value::text("flow"));
    c->update();
    ASSERT_TRUE(c->seek("TIC2"));
    c.reset();  // as a run ends: its cursors go, then the database commits
    db->commit();

    EXPECT_TRUE(pel::test::WritableNow(path));
    EXPECT_EQ(pel::test::QueryText(path, "SELECT PTDESC FROM REGCLNIM WHERE NAME = 'FIC1'"),
              "flow");
}

// A search that finds nothing, outside grouped searches, leaves no statement holding the file:
// another program may write at once.
TEST_F(SqliteDatabase, ASearchThatFindsNothingLeavesTheFileFree) {
    auto db = Database::open(path, false);
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Reading);
    ASSERT_FALSE(c->seek("b"));  // between two rows
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

// Seeks go on along the rows in key order where they can: every answer must be a search's,
// whatever the order of the keys, and rows added between seeks must be found.
TEST_F(SqliteDatabase, SeeksInAnyOrderAnswerAsASearchDoes) {
    RawSql(path,
           "INSERT INTO REGCLNIM (NAME) VALUES ('p1'), ('p2'), ('p3'), ('p4'), ('p5'), "
           "('p6'), ('p7'), ('P8');");
    auto db = Database::open(path, true);
    db->groupSearches();
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Reading);
    auto adder = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Updating);
    const int name = c->fieldIndex("NAME");
    // A key, or "+" and a name that another cursor adds; the name found, "" for none.
    const std::pair<const char*, const char*> steps[] = {
        {"AIC3", "aic3"}, {"b", ""},        {"fic1", "FIC1"}, {"FIC1", "FIC1"}, {"aic3", "aic3"},
        {"p1", "p1"},     {"p8", "P8"},     {"zzz", ""},      {"tic2", "tic2"}, {"fic1", "FIC1"},
        {"+gic9", ""},    {"GIC9", "gic9"}, {"fic1", "FIC1"}, {"+Hic0", ""},    {"gzz", ""},
        {"hic0", "Hic0"}, {"p3", "p3"},     {"p2", "p2"},     {"p4", "p4"},     {"p5", "p5"},
        {"+p45", ""},     {"p45", "p45"},   {"p46", ""},
    };
    for (const auto& [key, expected] : steps) {
        if (key[0] == '+') {
            adder->addNew();
            adder->setValue(name, Value::text(key + 1));
            adder->update();
            continue;
        }
        const bool found = c->seek(key);
        EXPECT_EQ(found ? c->value(name).asText() : std::string(), expected) << key;
        EXPECT_EQ(c->eof(), !found) << key;
    }
}

// A cursor that found its table empty answers seeks for keys it never added without a search,
// until anyone else adds a row: another program between two saved groups, or another cursor of
// the same connection. Their rows must be found.
TEST_F(SqliteDatabase, RowsAddedBesideACursorThatFoundItsTableEmptyAreFound) {
    for (const bool otherProgram : {true, false}) {
        RawSql(path,
               "DROP TABLE IF EXISTS T; CREATE TABLE T (NAME TEXT NOT NULL COLLATE NOCASE);"
               "CREATE UNIQUE INDEX \"T.PrimaryKey\" ON T (NAME);");
        auto db = Database::open(path, true);
        auto c = db->openTable("T", "PrimaryKey", CursorMode::Updating);
        auto add = [](Cursor& cursor, const char* key) {
            cursor.addNew();
            cursor.setValue(0, Value::text(key));
            cursor.update();
        };
        add(*c, "Ab1");
        EXPECT_TRUE(c->seek("aB1"));
        EXPECT_FALSE(c->seek("ab2"));  // lets go of the row found
        if (otherProgram) {
            db->commit();
            RawSql(path, "INSERT INTO T VALUES ('Cd2')");
            add(*c, "Ef3");  // a new group
        } else {
            add(*db->openTable("T", "PrimaryKey", CursorMode::Updating), "Cd2");
        }
        EXPECT_TRUE(c->seek("CD2")) << otherProgram;
    }
}
