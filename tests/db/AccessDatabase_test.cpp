// The database layer over real Access files (tests/data/mdb, contents as its README states).

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "db/Database.h"
#include "db/Numeric.h"
#include "db/TypeCodes.h"
#include "db/ValueText.h"
#include "db/access/AccessDatabase.h"
#include "db/access/AccessDate.h"
#include "db/access/AccessLibrary.h"
#include "support/AccessFixtures.h"
#include "support/DatabaseDump.h"
#include "support/DbErrors.h"
#include "support/TestSupport.h"

using namespace pel;
using namespace pel::db;
using pel::test::CopyAccessFixture;
using pel::test::TempDir;
using pel::test::ThrowsDbError;

namespace {

Value T(const char* s) {
    return Value::text(s);
}

// Opens the file and every table of it; throws what the reader throws.
void ReadEverything(const std::string& path) {
    auto db = Database::open(path, false);
    for (const auto& t : db->tableNames()) db->openTable(t, "", CursorMode::Reading);
}

// The file as tests/data/mdb/dumps says it reads: tables, columns, indexes, orders and rows.
std::string WrittenDown(const std::string& fixture) {
    return pel::test::ReadFile(std::string(PELORIN_TEST_DATA) + "/mdb/dumps/" + fixture + ".txt");
}

}  // namespace

// A point and a definitions database, the Jet 3 and the Access 2007 format of the same tables,
// compressed Unicode text (every character from U+0001 to U+00FF among it), dates and currency
// as text, Null apart from empty memos, numbers in an index compared by value.
TEST(AccessDatabase, FilesReadAsWrittenDown) {
    for (const char* fixture :
         {"plant-sample.mdb", "EB-sample.mdb", "testV1997.mdb", "testV2007.accdb",
          "testUnicodeCompV2003.mdb", "emptyJet4.mdb", "testIndexPropertiesV2000.mdb"}) {
        TempDir dir;
        auto db = Database::open(CopyAccessFixture(dir, fixture), false);
        EXPECT_EQ(pel::test::Dump(*db), WrittenDown(fixture)) << fixture;
    }
}

TEST(AccessDatabase, SeekFindsTheFirstKeyIgnoringCaseAndGoesOnInIndexOrder) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "plant-sample.mdb"), false);
    EXPECT_TRUE(db->isAccess());
    EXPECT_FALSE(db->tableInfo("MSysObjects"));  // system tables are not the user's
    EXPECT_FALSE(TableExists(*db, "regclnim"));
    EXPECT_THROW(db->openTable("NOSUCH", "PrimaryKey", CursorMode::Reading), DbError);
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Reading);
    EXPECT_FALSE(c->bof());
    EXPECT_TRUE(c->seek("fic101"));
    EXPECT_EQ(c->value(0), T("FIC101"));
    c->moveNext();
    ASSERT_FALSE(c->eof());
    EXPECT_EQ(c->value(0), T("LIC300"));
    EXPECT_FALSE(c->seek("FIC10"));
    EXPECT_TRUE(c->eof());
    EXPECT_THROW(c->value(0), DbError);
    EXPECT_TRUE(c->seek("TIC200"));
    c->moveNext();
    EXPECT_TRUE(c->eof());
    c->moveFirst();
    EXPECT_EQ(c->value(0), T("AIC07"));

    // A numeric key compares by value.
    auto address = db->openTable("REGCLNIM", "Address", CursorMode::Reading);
    EXPECT_TRUE(address->seek("7"));
    EXPECT_EQ(address->value(0), T("AIC07"));
    EXPECT_TRUE(address->seek(" 5.0 "));
    EXPECT_EQ(address->value(0), T("LIC300"));
    EXPECT_FALSE(address->seek("five"));
    // No index: by NAME, as the SQLite layer does.
    auto byName = db->openTable("REGCLNIM", "", CursorMode::Reading);
    for (const char* name : {"AIC07", "FIC101", "LIC300", "TIC200"}) {
        EXPECT_EQ(byName->value(0), T(name));
        byName->moveNext();
    }
    auto types = Database::open(CopyAccessFixture(dir, "EB-sample.mdb"), false)
                     ->openTable("PointTypes", "PrimaryKey", CursorMode::Reading);
    EXPECT_TRUE(types->seek("regam"));
}

TEST(AccessDatabase, Jet3TextIsCodePage1252AndLongValuesAreNotCut) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "nwind.mdb"), false);
    const auto names = db->tableNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "Ums\u00E4tze"), names.end());
    auto customers = db->openTable("Customers", "PrimaryKey", CursorMode::Reading);
    EXPECT_EQ(customers->recordCount(), 91);
    ASSERT_TRUE(customers->seek("anatr"));
    EXPECT_EQ(customers->value(customers->fieldIndex("Address")),
              T("Avda. de la Constituci\u00F3n 2222"));
    EXPECT_TRUE(customers->value(customers->fieldIndex("Region")).isNull());

    auto employees = db->openTable("Employees", "PrimaryKey", CursorMode::Reading);
    ASSERT_TRUE(employees->seek("2"));
    const Value notes = employees->value(employees->fieldIndex("Notes"));  // a memo on its own page
    ASSERT_EQ(notes.kind(), Value::Kind::Text);
    EXPECT_EQ(notes.asText().size(), 448u);
    EXPECT_EQ(notes.asText().rfind("Andrew received his BTS commercial in 1974", 0), 0u);
    EXPECT_EQ(notes.asText().substr(414), "Pacific Rim Importers Association.");
    // An OLE object spread over several pages, as hexadecimal text: 21,626 bytes.
    const Value photo = employees->value(employees->fieldIndex("Photo"));
    EXPECT_EQ(photo.asText().size(), 43252u);
    EXPECT_EQ(photo.asText().substr(0, 8), "151C2F00");
}

// The readable indexes and the rows of this file are written down with the others.
TEST(AccessDatabase, MisreadIndexesAreKeptAsUnreadableAndLibmdbStaysQuiet) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "testIndexPropertiesV2000.mdb"), false);
    std::optional<TableInfo> misread;
    testing::internal::CaptureStderr();
    misread = db->tableInfo("TableIgnoreNulls2");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // where libmdb would complain
    ASSERT_TRUE(misread);
    ASSERT_EQ(misread->indexes.size(), 2u);  // kept, not dropped
    for (const auto& idx : misread->indexes) {
        EXPECT_FALSE(idx.readable) << idx.name;
        EXPECT_TRUE(idx.columns.empty()) << idx.name;
    }
    EXPECT_TRUE(ThrowsDbError(
        [&] { db->openTable("TableIgnoreNulls2", "PrimaryKey", CursorMode::Reading); },
        DbError::Kind::NoIndex, "cannot be read"));
}

TEST(AccessDatabase, EveryWriteIsRefusedNamingTheConversion) {
    TempDir dir;
    const std::string path = CopyAccessFixture(dir, "plant-sample.mdb");
    const std::string before = pel::test::ReadFile(path);
    auto refused = [&](auto write) {
        EXPECT_TRUE(ThrowsDbError(write, DbError::Kind::ReadOnly, "pelorin-cli convert " + path));
    };
    refused([&] { Database::open(path, true); });
    auto db = OpenAccessDatabase(path);
    refused([&] { db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Updating); });
    refused([&] { db->addColumn("REGCLNIM", "_Found", "BOOLEAN"); });
    refused([&] { db->dropColumn("REGCLNIM", "PTDESC"); });
    refused([&] { db->createTable("NEW", {{"NAME", kText, "TEXT"}}); });
    refused([&] { db->createIndex("REGCLNIM", {"ByDesc", {"PTDESC"}, false, true}); });
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Reading);
    refused([&] { c->addNew(); });
    refused([&] { c->setValue(0, T("X")); });
    refused([&] { c->update(); });
    EXPECT_FALSE(c->editing());
    db->pointSaved();  // nothing to save
    db->commit();
    EXPECT_EQ(pel::test::ReadFile(path), before);
}

// libmdb formats numbers through the process locale; a user locale with a decimal comma (as
// the window sets one) must change nothing.
TEST(AccessDatabase, ValuesDoNotDependOnADecimalCommaLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    TempDir dir;
    bool set = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "de_DE"})
        if (std::setlocale(LC_ALL, name)) {
            set = true;
            break;
        }
    // None installed: build one into the temporary folder when the locale sources are there.
    const std::string built = dir.file("locales");
    if (!set && std::filesystem::exists("/usr/share/i18n/locales/de_DE") &&
        std::filesystem::create_directory(built) &&
        std::system(
            ("localedef -i de_DE -f UTF-8 '" + built + "/comma' >/dev/null 2>&1").c_str()) != -1 &&
        std::filesystem::exists(built + "/comma")) {  // warnings make a non-zero status
        ::setenv("LOCPATH", built.c_str(), 1);
        set = std::setlocale(LC_ALL, "comma") != nullptr;  // a name not tried above
    }
    if (!set) {
        ::unsetenv("LOCPATH");
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    char formatted[16];
    std::snprintf(formatted, sizeof formatted, "%.1f", 0.5);
    const std::string read =
        pel::test::Dump(*Database::open(CopyAccessFixture(dir, "testV1997.mdb"), false));
    std::setlocale(LC_ALL, saved.c_str());
    ::unsetenv("LOCPATH");
    EXPECT_STREQ(formatted, "0,5");  // the locale was in force
    EXPECT_EQ(read, WrittenDown("testV1997.mdb"));
}

TEST(AccessDateText, EveryDateAccessAllowsToTheSecondWithTheDayCarried) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "1899-12-30 00:00:00"},
        {36526.5, "2000-01-01 12:00:00"},
        {36526 + 86399.4 / 86400, "2000-01-01 23:59:59"},
        {36526 + 86399.6 / 86400, "2000-01-02 00:00:00"},  // never 24:00:00
        {45351.25, "2024-02-29 06:00:00"},
        {-1.25, "1899-12-29 06:00:00"},  // the whole part is the day, the fraction the time
        {-1 - 86399.6 / 86400, "1899-12-30 00:00:00"},
        {-657434.0, "0100-01-01 00:00:00"},
        {1000001.0, "4637-11-27 00:00:00"},
        {2958465 + 86399.0 / 86400, "9999-12-31 23:59:59"},
        {-657435.0, "-657435"},
        {2958466.0, "2958466"},
    };
    for (const auto& [serial, text] : cases) EXPECT_EQ(AccessDateText(serial), text) << serial;
}

// Each damaged copy is opened and read in a child process under an alarm, so that an endless
// loop in libmdb fails the test instead of stalling the suite (the exit status names the copy).
// A copy is refused with a message naming it, or read; a cut one is always refused, and rows cut
// off a table are not passed off as an empty table.
TEST(AccessDatabase, DamagedFilesAreRefusedNamingThemAndNeverHang) {
    TempDir dir;
    const std::string plant = pel::test::ReadFile(CopyAccessFixture(dir, "plant-sample.mdb"));
    const std::string whole = pel::test::ReadFile(CopyAccessFixture(dir, "test2V2000.mdb"));
    auto flipped = [&](std::size_t at) {
        std::string bytes = whole;
        bytes[at] = static_cast<char>(~bytes[at]);
        return bytes;
    };
    // The page map of the table defined on `page` made a row of zero bytes: the map row pointer
    // is sent to row 1 of page 6, whose start is set to where row 0 starts.
    auto emptyPageMap = [&](std::size_t page) {
        std::string bytes = whole;
        const unsigned char pointer[] = {1, 6, 0, 0};
        bytes.replace(page * 4096 + 55, 4, reinterpret_cast<const char*>(pointer), 4);
        const std::string rowZeroStart = bytes.substr(6 * 4096 + 14, 2);
        bytes.replace(6 * 4096 + 16, 2, rowZeroStart);
        return bytes;
    };
    // A table whose definition counts 3,817,209,857 indexes, with four more bytes of it damaged so
    // that libmdb goes on reading them (found by the fuzz target).
    std::string manyIndexes = plant;
    manyIndexes.replace(28 * 4096 + 49, 2, "\x86\xe3");
    manyIndexes.replace(28 * 4096 + 438, 4, std::string("\0\x0e\0\x43", 4));
    enum Expected { MayBeRead, Refused, NotADatabase };
    const std::pair<std::string, Expected> cases[] = {
        {"just some text\n", NotADatabase},
        {plant.substr(0, 20), NotADatabase},
        {plant.substr(0, 40000), NotADatabase},
        {plant.substr(0, 12 * 4096), NotADatabase},
        {plant.substr(0, 32 * 4096), Refused},
        {plant.substr(0, 4096) + std::string(plant.size() - 4096, '\0'), NotADatabase},
        {whole.substr(0, 131072), Refused},
        {whole.substr(0, 31 * 4096) + std::string(4096, '\0') + whole.substr(32 * 4096), MayBeRead},
        {flipped(2 * 4096 + 253), MayBeRead},  // the catalog
        {flipped(6 * 4096 + 14), MayBeRead},   // a usage map
        {emptyPageMap(2), NotADatabase},       // the catalog's
        {emptyPageMap(15), Refused},           // a table's
        {manyIndexes, Refused},
    };
    EXPECT_EXIT(
        {
            ::alarm(60);
            int i = 0;
            for (const auto& [bytes, expected] : cases) {
                const std::string path = dir.file("damaged-" + std::to_string(++i) + ".mdb");
                pel::test::WriteFile(path, bytes);
                try {
                    ReadEverything(path);
                    if (expected != MayBeRead) std::_Exit(10 + i);
                } catch (const DbError& e) {
                    if (std::string(e.what()).find(path) == std::string::npos) std::_Exit(30 + i);
                    if (expected == NotADatabase && e.kind() != DbError::Kind::NotADatabase)
                        std::_Exit(50 + i);
                }
            }
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(QuietLibmdb, KeepsNoMoreComplaintsThanItsCap) {
    QuietLibmdb quiet;
    const std::string line(999, 'x');
    for (long said = 0; said <= 2 * kLibmdbSaysAtMost; said += 1000)
        std::fprintf(stderr, "%s\n", line.c_str());
    EXPECT_TRUE(quiet.overflowed());
    EXPECT_LE(quiet.takeMessages().size(), static_cast<std::size_t>(kLibmdbSaysAtMost));
}
