// The database layer over real Access files (tests/data/mdb, contents as its README states).

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "db/Database.h"
#include "db/Numeric.h"
#include "db/TypeCodes.h"
#include "db/ValueText.h"
#include "db/access/AccessDatabase.h"
#include "db/access/AccessDate.h"
#include "db/access/AccessLibrary.h"
#include "support/AccessFixtures.h"
#include "support/TestSupport.h"

using namespace pel;
using namespace pel::db;
using pel::test::CopyAccessFixture;
using pel::test::TempDir;

namespace {

Value T(const char* s) {
    return Value::text(s);
}
Value I(std::int64_t i) {
    return Value::integer(i);
}
Value R(double d) {
    return Value::real(d);
}
const Value N = Value::null();

std::vector<std::pair<std::string, int>> Columns(const TableInfo& info) {
    std::vector<std::pair<std::string, int>> out;
    for (const auto& c : info.columns) out.emplace_back(c.name, c.type);
    return out;
}

// Opens the file and every table of it; throws what the reader throws.
void ReadEverything(const std::string& path) {
    auto db = Database::open(path, false);
    for (const auto& t : db->tableNames()) db->openTable(t, "", CursorMode::Reading);
}

std::vector<Value> Row(const Cursor& c) {
    std::vector<Value> row;
    for (int i = 0; i < c.fieldCount(); ++i) row.push_back(c.value(i));
    return row;
}

std::vector<std::vector<Value>> Rows(Cursor& c) {
    std::vector<std::vector<Value>> rows;
    for (c.moveFirst(); !c.eof(); c.moveNext()) rows.push_back(Row(c));
    return rows;
}

std::vector<std::string> Column(Cursor& c, const char* name) {
    std::vector<std::string> out;
    const int i = c.fieldIndex(name);
    for (c.moveFirst(); !c.eof(); c.moveNext())
        out.push_back(ValueText(c.value(i), c.field(i).type));
    return out;
}

// Everything written on file descriptor 2 while `f` runs.
template <typename F>
std::string StandardErrorOf(F f) {
    std::fflush(stderr);
    std::FILE* capture = std::tmpfile();
    const int saved = ::dup(2);
    ::dup2(::fileno(capture), 2);
    f();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    std::rewind(capture);
    std::string text;
    for (int ch; (ch = std::fgetc(capture)) != EOF;) text += static_cast<char>(ch);
    std::fclose(capture);
    return text;
}

const std::vector<std::pair<std::string, int>> kPlantColumns = {
    {"NAME", kText},         {"PNTTYPE", kText},      {"PTDESC", kText},   {"KEYWORD", kText},
    {"NODENUM", kInteger},   {"MODNUM", kSmallInt},   {"SLOTNUM", kByte},  {"PVEUHI", kDouble},
    {"PVEULO", kSingle},     {"INSERVICE", kBoolean}, {"PISRC(1)", kText}, {"LISRC(2)", kText},
    {"_INTERNAL", kLongText}};

}  // namespace

TEST(AccessDatabase, PointDatabaseCatalogColumnsAndIndexes) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "plant-sample.mdb"), false);
    EXPECT_TRUE(db->isAccess());
    EXPECT_TRUE(db->isReadOnly());
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"REGCLNIM", "ANINNIM"}));
    for (const char* table : {"REGCLNIM", "ANINNIM"}) {
        auto info = db->tableInfo(table);
        ASSERT_TRUE(info);
        EXPECT_EQ(Columns(*info), kPlantColumns) << table;
        const IndexInfo* pk = info->index("PrimaryKey");
        ASSERT_TRUE(pk);
        EXPECT_EQ(pk->columns, std::vector<std::string>{"NAME"});
        EXPECT_TRUE(pk->unique);
        EXPECT_TRUE(pk->readable);
    }
    auto info = db->tableInfo("REGCLNIM");
    const IndexInfo* address = info->index("Address");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->columns, (std::vector<std::string>{"NODENUM", "MODNUM", "SLOTNUM"}));
    EXPECT_FALSE(address->unique);
    EXPECT_FALSE(IndexExists(*db, "ANINNIM", "Address"));
    EXPECT_FALSE(TableExists(*db, "regclnim"));
    EXPECT_FALSE(db->tableInfo("MSysObjects"));  // system tables are not the user's
}

TEST(AccessDatabase, RowsInPrimaryKeyOrderWithNullsEmptyTextNumbersAndMemo) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "plant-sample.mdb"), false);
    auto c = db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Reading);
    EXPECT_EQ(c->recordCount(), 4);
    const double single01 = ToSinglePrecision(0.1);
    EXPECT_EQ(Rows(*c), (std::vector<std::vector<Value>>{
                            {T("AIC07"), T("REGCLNIM"), T(""), T("K1"), I(7), I(1), I(16), R(14),
                             R(0), I(0), T("AI07.PV"), N, T("")},
                            {T("FIC101"), T("REGCLNIM"), T("FEED FLOW"), T("FEED"), I(5), I(2),
                             I(3), R(1500), R(single01), I(1), T("FT101.PV"), T("XS101.PVFL"),
                             T("CTLEQN = EQA,PVEQN = EQB,")},
                            {T("LIC300"), T("REGCLNIM"), T("COLUMN LEVEL, BOTTOM"), T("LVL"), I(5),
                             I(1), I(2), R(100), R(0), I(1), T("LT300.PV"), T("!BOX.FL(23)"), N},
                            {T("TIC200"), T("regclnim"), T("REACTOR TEMP \u00B0C"), N, I(5), I(2),
                             I(1), R(250.5), R(-40), I(0), N, T(""), N}}));
    EXPECT_EQ(ValueText(R(single01), kSingle), "0.1");

    auto an = db->openTable("ANINNIM", "PrimaryKey", CursorMode::Reading);
    ASSERT_TRUE(an->seek("TT200"));
    EXPECT_EQ(an->value(an->fieldIndex("PTDESC")), T("Caf\u00E9 \"quoted\" desc"));
    EXPECT_EQ(an->value(an->fieldIndex("INSERVICE")), I(0));
}

TEST(AccessDatabase, AddressOrderSortsNumbersByValueWithTiesByName) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "plant-sample.mdb"), false);
    auto c = db->openTable("REGCLNIM", "Address", CursorMode::Reading);
    EXPECT_EQ(Column(*c, "NAME"),
              (std::vector<std::string>{"LIC300", "TIC200", "FIC101", "AIC07"}));
    // No index: by NAME, as the SQLite layer does.
    auto byName = db->openTable("REGCLNIM", "", CursorMode::Reading);
    EXPECT_EQ(Column(*byName, "NAME"),
              (std::vector<std::string>{"AIC07", "FIC101", "LIC300", "TIC200"}));
}

TEST(AccessDatabase, SeekFindsTheFirstKeyIgnoringCaseAndGoesOnInIndexOrder) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "plant-sample.mdb"), false);
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
}

TEST(AccessDatabase, DefinitionsDatabaseKeepsNullApartFromEmptyMemo) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "EB-sample.mdb"), false);
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"PointTypes", "QuotedParameters"}));
    auto types = db->openTable("PointTypes", "PrimaryKey", CursorMode::Reading);
    EXPECT_EQ(Columns(*db->tableInfo("PointTypes")),
              (std::vector<std::pair<std::string, int>>{{"PntType", kText},
                                                        {"Node", kText},
                                                        {"InternalParameters", kLongText},
                                                        {"NumericFields", kLongText}}));
    EXPECT_EQ(Rows(*types),
              (std::vector<std::vector<Value>>{
                  {T("ANINNIM"), T("NIM"), N, T(",NODENUM,MODNUM,SLOTNUM,")},
                  {T("ANLINHG"), T("HG"), N, T(",HWYNUM,BOXNUM,SLOTNUM,")},
                  {T("REGAM"), T("AM"), T(""), N},
                  {T("REGCLNIM"), T("NIM"), T(",CTLEQN,PVEQN,"), T(",NODENUM,MODNUM,SLOTNUM,")}}));
    EXPECT_TRUE(types->seek("regam"));

    auto quoted = db->openTable("QuotedParameters", "PrimaryKey", CursorMode::Reading);
    EXPECT_EQ(db->tableInfo("QuotedParameters")->index("PrimaryKey")->columns,
              (std::vector<std::string>{"Parameter", "Node"}));
    EXPECT_EQ(Rows(*quoted),
              (std::vector<std::vector<Value>>{
                  {T("AM"), T("EUDESC")}, {T("NIM"), T("KEYWORD")}, {N, T("PTDESC")}}));
}

// The same table in the Access 97 (Jet 3) and the Access 2007 format; types without a code of
// their own (date, currency) come as text.
class AccessFormats : public ::testing::TestWithParam<const char*> {};

TEST_P(AccessFormats, ReadTheSameTable) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, GetParam()), false);
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));
    EXPECT_EQ(Columns(*db->tableInfo("Table1")),
              (std::vector<std::pair<std::string, int>>{{"A", kText},
                                                        {"B", kText},
                                                        {"C", kByte},
                                                        {"D", kSmallInt},
                                                        {"E", kInteger},
                                                        {"F", kDouble},
                                                        {"G", kText},
                                                        {"H", kText},
                                                        {"I", kBoolean}}));
    auto c = db->openTable("Table1", "PrimaryKey", CursorMode::Reading);
    EXPECT_EQ(
        Rows(*c),
        (std::vector<std::vector<Value>>{
            {T("a"), T("b"), I(0), I(0), I(0), R(0), T("1981-12-12 00:00:00"), T("0.0000"), I(0)},
            {T("abcdefg"), T("hijklmnop"), I(2), I(222), I(333333333), R(444.555),
             T("1974-09-21 00:00:00"), T("3.5000"), I(1)}}));
    EXPECT_EQ(db->openTable("Table2", "PrimaryKey", CursorMode::Reading)->recordCount(), 0);
    EXPECT_TRUE(db->openTable("Table3", "PrimaryKey", CursorMode::Reading)->bof());
}

INSTANTIATE_TEST_SUITE_P(Jet3AndAccess2007, AccessFormats,
                         ::testing::Values("testV1997.mdb", "testV2007.accdb"));

TEST(AccessDatabase, CompressedUnicodeTextComesBackWhole) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "testUnicodeCompV2003.mdb"), false);
    auto c = db->openTable("Table", "PrimaryKey", CursorMode::Reading);
    const auto text = Column(*c, "Unicode");
    ASSERT_EQ(text.size(), 8u);
    EXPECT_EQ(text[0], "only ascii chars");
    EXPECT_EQ(text[1], "\u00E4\u00E4kk\u00F6si\u00E4");
    EXPECT_EQ(text[2], "\u041C\u0438\u0440");
    EXPECT_EQ(text[4], "\u6F22\u5B57\u4EEE\u540D\u4EA4\u3058\u308A\u6587");
    // Every character from U+0001 to U+00FF, in order.
    std::string all;
    for (char32_t cp = 1; cp <= 0xFF; ++cp) {
        if (cp < 0x80) {
            all += static_cast<char>(cp);
        } else {
            all += static_cast<char>(0xC0 | (cp >> 6));
            all += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    EXPECT_EQ(text[7], all);
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

TEST(AccessDatabase, AnEmptyDatabaseHasNoTables) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "emptyJet4.mdb"), false);
    EXPECT_TRUE(db->tableNames().empty());
    EXPECT_FALSE(db->tableInfo("MSysObjects"));
    EXPECT_THROW(db->openTable("Table1", "PrimaryKey", CursorMode::Reading), DbError);
}

TEST(AccessDatabase, MisreadIndexesAreKeptAsUnreadableAndLibmdbStaysQuiet) {
    TempDir dir;
    auto db = Database::open(CopyAccessFixture(dir, "testIndexPropertiesV2000.mdb"), false);
    std::optional<TableInfo> misread, fine;
    const std::string said = StandardErrorOf([&] {
        misread = db->tableInfo("TableIgnoreNulls2");
        fine = db->tableInfo("TableIgnoreNulls1");
    });
    EXPECT_EQ(said, "");  // libmdb complains about these indexes on standard error
    ASSERT_TRUE(misread && fine);
    ASSERT_EQ(misread->indexes.size(), 2u);
    for (const auto& idx : misread->indexes) {
        EXPECT_FALSE(idx.readable) << idx.name;
        EXPECT_TRUE(idx.columns.empty()) << idx.name;
    }
    EXPECT_TRUE(IndexExists(*db, "TableIgnoreNulls2", "PrimaryKey"));  // kept, not dropped
    EXPECT_TRUE(fine->index("PrimaryKey")->readable);
    EXPECT_EQ(fine->index("DataIndex")->columns, std::vector<std::string>{"data"});
    try {
        db->openTable("TableIgnoreNulls2", "PrimaryKey", CursorMode::Reading);
        ADD_FAILURE() << "an unreadable index gave rows";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbError::Kind::NoIndex);
        EXPECT_NE(std::string(e.what()).find("cannot be read"), std::string::npos) << e.what();
    }
    // Its rows are still there, in file order.
    auto rows = db->openTable("TableIgnoreNulls2", "", CursorMode::Reading);
    EXPECT_EQ(rows->recordCount(), 11);
    EXPECT_EQ(rows->value(0), T("row0"));
}

TEST(AccessDatabase, FilesThatCannotBeReadGiveErrorsNamingThem) {
    TempDir dir;
    const std::string sample = CopyAccessFixture(dir, "plant-sample.mdb");
    const std::string whole = pel::test::ReadFile(sample);
    struct Case {
        const char* name;
        std::string bytes;
        DbError::Kind kind;
    };
    const std::vector<Case> cases = {
        {"text.mdb", "just some text\n", DbError::Kind::NotADatabase},
        {"header-only.mdb", whole.substr(0, 20), DbError::Kind::NotADatabase},
        {"cut-mid-page.mdb", whole.substr(0, 40000), DbError::Kind::NotADatabase},
        {"cut-at-page.mdb", whole.substr(0, 12 * 4096), DbError::Kind::NotADatabase},
        {"zeroed.mdb", whole.substr(0, 4096) + std::string(whole.size() - 4096, '\0'),
         DbError::Kind::NotADatabase},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file(c.name);
        pel::test::WriteFile(path, c.bytes);
        try {
            ReadEverything(path);
            ADD_FAILURE() << c.name << " was read";
        } catch (const DbError& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
    // Rows lost from a file cut short at a page boundary are not passed off as an empty table.
    const std::string cut = dir.file("rows-cut.mdb");
    pel::test::WriteFile(cut, whole.substr(0, 32 * 4096));
    EXPECT_THROW(
        {
            auto db = OpenAccessDatabase(cut);
            db->openTable("REGCLNIM", "PrimaryKey", CursorMode::Reading);
        },
        DbError);
    for (auto open : {+[](const std::string& p) { return Database::open(p, false); },
                      +[](const std::string& p) { return OpenAccessDatabase(p); }}) {
        try {
            open(dir.file("missing.mdb"));
            ADD_FAILURE() << "a missing file was opened";
        } catch (const DbError& e) {
            EXPECT_EQ(e.kind(), DbError::Kind::NotFound);
            EXPECT_NE(std::string(e.what()).find(dir.file("missing.mdb")), std::string::npos);
        }
    }
}

TEST(AccessDatabase, EveryWriteIsRefusedNamingTheConversion) {
    TempDir dir;
    const std::string path = CopyAccessFixture(dir, "plant-sample.mdb");
    const std::string before = pel::test::ReadFile(path);
    auto refused = [&](auto write) {
        try {
            write();
            ADD_FAILURE() << "a write was not refused";
        } catch (const DbError& e) {
            EXPECT_EQ(e.kind(), DbError::Kind::ReadOnly);
            EXPECT_NE(std::string(e.what()).find("pelorin-cli convert " + path), std::string::npos)
                << e.what();
        }
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
    std::vector<std::vector<Value>> rows;
    {
        auto db = Database::open(CopyAccessFixture(dir, "testV1997.mdb"), false);
        auto c = db->openTable("Table1", "PrimaryKey", CursorMode::Reading);
        rows = Rows(*c);
    }
    std::setlocale(LC_ALL, saved.c_str());
    ::unsetenv("LOCPATH");
    EXPECT_STREQ(formatted, "0,5");  // the locale was in force
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][5], R(444.555));
    EXPECT_EQ(rows[1][7], T("3.5000"));
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
// loop in libmdb fails the test instead of stalling the suite. A copy is refused with a message
// naming it, or read; a cut one is always refused.
TEST(AccessDatabase, DamagedFilesAreRefusedNamingThemAndNeverHang) {
    TempDir dir;
    const std::string whole = pel::test::ReadFile(CopyAccessFixture(dir, "test2V2000.mdb"));
    auto flipped = [&](std::size_t at) {
        std::string bytes = whole;
        bytes[at] = static_cast<char>(~bytes[at]);
        return bytes;
    };
    struct Case {
        const char* name;
        std::string bytes;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"cut.mdb", whole.substr(0, 131072), true},
        {"properties-zeroed.mdb",
         whole.substr(0, 31 * 4096) + std::string(4096, '\0') + whole.substr(32 * 4096), false},
        {"catalog-flipped.mdb", flipped(2 * 4096 + 253), false},
        {"usage-map-flipped.mdb", flipped(6 * 4096 + 14), false},
    };
    EXPECT_EXIT(
        {
            ::alarm(60);
            for (const auto& c : cases) {
                const std::string path = dir.file(c.name);
                pel::test::WriteFile(path, c.bytes);
                try {
                    ReadEverything(path);
                    if (c.refused) std::_Exit(1);
                } catch (const DbError& e) {
                    if (std::string(e.what()).find(path) == std::string::npos) std::_Exit(2);
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
