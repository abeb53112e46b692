// The import engine and the definition update over real SQLite files.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

#include "db/Database.h"
#include "db/PointDatabase.h"
#include "import/DefinitionUpdate.h"
#include "import/ImportDriver.h"
#include "support/TestSupport.h"

using namespace pel;
using pel::db::Value;

namespace {

struct Plant : test::PlantFixture {
    Outcome import(const std::vector<std::string>& files,
                   ImportMode mode = ImportMode::UpdatesAndAdditions,
                   std::optional<std::string> selection = std::nullopt, bool defs = true) {
        return RunImport(catalog, feedback, {db, files, mode, selection, defs});
    }
    int columnType(const std::string& table, const std::string& column) {
        auto d = db::Database::open(db, false);
        auto info = d->tableInfo(table);
        int i = info->columnIndex(column);
        return i < 0 ? -1 : info->columns[static_cast<std::size_t>(i)].type;
    }
    std::int64_t rows(const std::string& table) {
        auto d = db::Database::open(db, false);
        return d->openTable(table, "PrimaryKey", db::CursorMode::Reading)->recordCount();
    }
};

const std::vector<std::string> kPoint = {"&T REGCLNIM", "&N FIC101", "PTDESC = \"FEED FLOW\"",
                                         "NODENUM = 12"};

}  // namespace

TEST(DefinitionUpdate, CreatesNumericAndTextColumnsOnceAndInternalTextAsText) {
    Plant p;
    const std::string file =
        p.file("a.eb", {"&T REGCLNIM", "&N A1", "NODENUM = 1", "nodenum = 2", "KEYWORD = X",
                        "LISRC(2) = 5", "SLOTNUM(1) = 3", "CTLEQN = Q", "AFTER = 1", "&T REGCLNIM",
                        "&N A2", "NODENUM = 3", "LATE = 1", "KEYWORDX = 2"});
    EXPECT_EQ(UpdateDefinitionsFromEbFile(p.catalog, p.feedback, p.db, file), Outcome::Done);
    struct Case {
        const char* column;
        int type;
    } cases[] = {{"NODENUM", 3},     {"KEYWORD", 202}, {"LISRC(2)", 202}, {"SLOTNUM(1)", 3},
                 {"_INTERNAL", 202}, {"CTLEQN", -1},   {"AFTER", -1},     {"nodenum", 3},
                 {"LATE", 202},      {"KEYWORDX", 202}};  // new names where A1 had others
    for (const auto& c : cases) EXPECT_EQ(p.columnType("REGCLNIM", c.column), c.type) << c.column;
    EXPECT_EQ(p.feedback.label(Panel::Import, Label::Status), "Checking EB file, line 14");
    auto d = db::Database::open(p.db, false);
    EXPECT_EQ(d->tableInfo("REGCLNIM")->columns.size(), 4u + 6u);  // no second NODENUM
}

TEST(DefinitionUpdate, NumericListsNeedTheirCommasAndAcceptedTypesGetTextColumns) {
    EXPECT_TRUE(IsNumericParameter("", " nodenum(3) ", ",NODENUM,MODNUM,"));
    EXPECT_FALSE(IsNumericParameter("", "NODENUM", "NODENUM,MODNUM,"));
    EXPECT_FALSE(IsNumericParameter("", "NODE", ",NODENUM,"));
    Plant p;
    {
        auto d = db::Database::open(p.db, true);
        d->createTable("NEWTYPE",
                       {{"NAME", 202, "TEXT NOT NULL COLLATE NOCASE"}, {"PNTTYPE", 202, "TEXT"}});
        d->createIndex("NEWTYPE", {"PrimaryKey", {"NAME"}, true, true});
    }
    p.feedback.answers = {true};
    (void)p.import({p.file(
        "a.eb", {"&T NEWTYPE", "&N N1", "NODENUM = 1", "&T NEWTYPE", "&N N2", "NODENUM = 2"})});
    EXPECT_EQ(p.columnType("NEWTYPE", "NODENUM"), 202);  // no definitions: text
    // Accepted in the definition pass, the type is known to the import that follows.
    EXPECT_EQ(p.value("NEWTYPE", "N1", "NODENUM"), "1");
    EXPECT_EQ(p.value("NEWTYPE", "N2", "NODENUM"), "2");
    ASSERT_EQ(p.feedback.questions.size(), 1u);  // asked once: later files and the import know it
    EXPECT_EQ(p.feedback.questions[0].title, "Error");
    EXPECT_EQ(p.feedback.questions[0].text, "Invalid Point Type: NEWTYPE");
}

TEST(Import, ModesAddAndUpdateAsAllowed) {
    struct Case {
        ImportMode mode;
        const char* result;
        const char* fic101Desc;
        const char* fic900;
    } cases[] = {
        {ImportMode::UpdatesAndAdditions, "Points added: 1      Points updated: 1", "NEW", "ADDED"},
        {ImportMode::UpdatesOnly, "Points added: 0      Points updated: 1", "NEW", "<no row>"},
        {ImportMode::AdditionsOnly, "Points added: 1      Points updated: 0", "FEED FLOW", "ADDED"},
    };
    for (const auto& c : cases) {
        Plant p;
        (void)p.import({p.file("a.eb", kPoint)});
        p.feedback.results.clear();
        (void)p.import({p.file("b.eb", {"&T REGCLNIM", "&N fic101", "PTDESC = NEW", "&T REGCLNIM",
                                        "&N FIC900", "PTDESC = ADDED"})},
                       c.mode);
        ASSERT_EQ(p.feedback.results.size(), 1u);
        EXPECT_EQ(p.feedback.results[0], c.result);
        EXPECT_EQ(p.value("REGCLNIM", "FIC101", "PTDESC"), c.fic101Desc);
        EXPECT_EQ(p.value("REGCLNIM", "FIC101", "NAME"), "FIC101");  // an update keeps NAME
        EXPECT_EQ(p.value("REGCLNIM", "FIC900", "PTDESC"), c.fic900);
    }
}

// Each value is converted by its column's type; one the column cannot hold is named with the
// reason and ends the run as not done; blanks are Null in numeric columns, a blank in text.
TEST(Import, ValuesAreConvertedByColumnTypeAndWhatCannotBeStoredIsNamed) {
    Plant p;
    p.columns("REGCLNIM", {{"I", "INTEGER"},
                           {"S", "SMALLINT"},
                           {"F", "SINGLE"},
                           {"D", "DOUBLE"},
                           {"B", "BOOLEAN"},
                           {"BY", "BYTE"},
                           {"TXT", "TEXT"}});
    const std::string range = "does not fit: the number is out of the column's range";
    const std::string single = "does not fit: the number is too large for single precision";
    const std::string noNumber = "was not stored: it is not a number";
    const std::string yesNo = "does not fit: a Yes/No column takes";
    const std::string byte = "does not fit: a Byte column takes a whole number from 0 to 255";
    struct Case {
        const char* column;
        const char* text;
        std::string stored;
        std::string says;  // why it was not stored; empty: stored
    } cases[] = {
        {"I", "2.5", "int:2", ""},  // halves to even
        {"I", "-2.5", "int:-2", ""},
        {"I", "2147483647", "int:2147483647", ""},
        {"I", "2147483648", "<null>", range + " (-2147483648 to 2147483647)"},
        {"I", "1E400", "<null>", range},
        {"I", "abc", "<null>", noNumber},
        {"I", "", "<null>", ""},
        {"S", "-7", "int:-7", ""},
        {"S", "40000", "<null>", range + " (-32768 to 32767)"},
        {"F", "0.5", "real:0.5", ""},
        {"F", "-1E400", "<null>", single},
        {"D", "0.1", "real:0.100000001490116", ""},  // single precision, as every real
        {"D", "1e300", "<null>", single},
        {"D", "x", "<null>", noNumber},
        {"B", "True", "int:1", ""},
        {"B", "yes", "int:1", ""},
        {"B", "OFF", "int:0", ""},
        {"B", "0", "int:0", ""},
        {"B", "-1", "int:1", ""},
        {"B", "1E400", "<null>", yesNo},
        {"B", "maybe", "<null>", yesNo},
        {"BY", "255", "int:255", ""},
        {"BY", "256", "<null>", byte},
        {"BY", "1.5", "<null>", byte},
        {"TXT", "007", "007", ""},
        {"TXT", "", " ", ""},
        {"TXT", "\"  Pump 1 \"", "Pump 1", ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "P" + std::to_string(n++), line = c.column + std::string(" = ");
        p.feedback.messages.clear();
        EXPECT_EQ(p.import({p.file("v.eb", {"&T REGCLNIM", "&N " + name, line + c.text})},
                           ImportMode::UpdatesAndAdditions, std::nullopt, false),
                  c.says.empty() ? Outcome::Done : Outcome::LeftUndone)
            << line << c.text;
        EXPECT_EQ(p.value("REGCLNIM", name, c.column), c.stored) << line << c.text;
        if (c.says.empty()) continue;
        ASSERT_FALSE(p.feedback.messages.empty());
        const std::string& summary = p.feedback.messages.back().text;
        EXPECT_TRUE(test::Holds(summary, "1 value was not stored"));
        EXPECT_TRUE(test::Holds(summary, "v.eb, line 3, point " + name + ", parameter " + c.column +
                                             ": the value \"" + c.text + "\" " + c.says));
    }
}

TEST(Import, TheShippedDefinitionsKeepRealisticValuesOfEveryPointType) {
    // What real points hold besides the whole numbers of the numeric fields (written as 7).
    const std::map<std::string, std::vector<std::string>> kRealistic = {
        {"ANINNIM", {"PVCHAR = SQRROOT", "PVEUHI = 150.5"}},
        {"ARRAYNIM", {"NN(1) = 3.75", "NN(2) = -0.5"}},
        {"COUNTER", {"PERIOD = 10SEC"}},
        {"CUSTOM", {"PERIOD = 2SEC"}},
        {"REGAM", {"PERIOD = 1MIN"}},
        {"SWITCH", {"PERIOD = 30SEC"}},
        {"TIMER", {"PERIOD = 5SEC"}},
    };
    Plant p;
    std::vector<std::string> lines;
    std::vector<std::tuple<std::string, std::string, std::string>> expected;
    for (const auto& def : p.catalog.definitions()) {
        lines.push_back("&T " + def.pntType);
        lines.push_back("&N P_" + def.pntType);
        std::vector<std::string> params = {"PTDESC = \"REAL POINT\"", "EUDESC = DEGC"};
        if (auto it = kRealistic.find(def.pntType); it != kRealistic.end())
            params.insert(params.end(), it->second.begin(), it->second.end());
        const std::string numeric = def.numericFields.value_or("");
        for (std::size_t b = 1, e; (e = numeric.find(',', b)) != std::string::npos; b = e + 1)
            params.push_back(numeric.substr(b, e - b) + " = 7");
        for (const auto& param : params) {
            const std::size_t eq = param.find(" = ");
            std::string value = param.substr(eq + 3);
            if (value.front() == '"') value = value.substr(1, value.size() - 2);
            expected.emplace_back(def.pntType, param.substr(0, eq), value);
            lines.push_back(param);
        }
    }
    EXPECT_EQ(p.import({p.file("plant.eb", lines)}), Outcome::Done);
    for (const auto& [type, column, value] : expected) {
        std::string stored = p.value(type, "P_" + type, column);
        if (stored.rfind("int:", 0) == 0) stored = stored.substr(4);
        EXPECT_EQ(stored, value) << type << "." << column;
    }
    EXPECT_TRUE(p.feedback.warnings.empty()) << p.feedback.warnings.front();
}

TEST(Import, TheShapeOfTheFileIsSaidAndALineWithoutANameIsNotKept) {
    struct Case {
        std::string bytes;
        Outcome outcome;
        std::string warning;  // after the file's path; empty: no warning
    } cases[] = {
        {"&T ANINNIM\r\n&N A1\r\n= 5\r\n", Outcome::LeftUndone,
         ", line 3, point A1: the line \"= 5\" names no parameter; its value was not stored"},
        {"&T REGCLNIM\r\n&N A1\r\n = 5\r\n", Outcome::Done, ""},  // an internal line there
        {"NAME,PTDESC\r\nA1,X\r\n", Outcome::Done, ": no point blocks (&T/&N lines) were found"},
        {"&T ANINNIM\r\n&N A1\r\nPTDESC = X", Outcome::Done,
         " ends inside the block of point A1 (no \"{ }\" after it and no end to its last line): "
         "it may have been cut short by an interrupted write"},
        {"&T ANINNIM\r\n&N A1\r\nPTDESC = X\r\n", Outcome::Done, ""},
        {"&T ANINNIM\r\n&N A1\r\n{ }", Outcome::Done, ""},
        {"&T ANINNIM\r\n&N A1\r\n  PTDESC = X\r\n  EUDESC = Y\r\n", Outcome::Done,
         ", line 3: the parameter name \"  PTDESC\" begins with blanks, which are kept: its "
         "column is not the one of the name without them (the first such line of the file)"},
    };
    for (const auto& c : cases) {
        Plant p;
        const std::string file = p.dir.file("a.eb");
        test::WriteFile(file, c.bytes);
        EXPECT_EQ(p.import({file}), c.outcome) << c.bytes;
        EXPECT_EQ(p.feedback.warnings, c.warning.empty()
                                           ? std::vector<std::string>{}
                                           : std::vector<std::string>{file + c.warning})
            << c.bytes;
    }
}

TEST(Import, SelectionIsExactAndInternalLinesAreKeptWhateverItSays) {
    Plant p;
    // A selection without names is refused before anything is written.
    EXPECT_EQ(p.import({p.file("a.eb", kPoint)}, ImportMode::UpdatesAndAdditions,
                       std::string(" ,\r\n\t")),
              Outcome::LeftUndone);
    EXPECT_EQ(p.rows("REGCLNIM"), 0);
    EXPECT_EQ(p.columnType("REGCLNIM", "NODENUM"), -1);
    ASSERT_EQ(p.feedback.messages.size(), 1u);
    (void)p.import({p.file("a.eb", {"&T REGCLNIM", "&N FIC1", "PTDESC = D", "KEYWORD = K",
                                    "nodenum = 3", "CTLEQN = A", "KEYWORD = after  ", "{ }"})},
                   ImportMode::UpdatesAndAdditions, std::string("PTDESC\r\n\tNODENUM,,"));
    EXPECT_EQ(p.value("REGCLNIM", "FIC1", "PTDESC"), "D");
    EXPECT_EQ(p.value("REGCLNIM", "FIC1", "KEYWORD"), "<null>");  // not selected
    EXPECT_EQ(p.value("REGCLNIM", "FIC1", "NODENUM"), "<null>");  // lower case in the file
    EXPECT_EQ(p.value("REGCLNIM", "FIC1", "_INTERNAL"), "CTLEQN = A,KEYWORD = after,");
    // An update without internal lines keeps the old internal text.
    (void)p.import({p.file("b.eb", {"&T REGCLNIM", "&N FIC1", "PTDESC = E"})});
    EXPECT_EQ(p.value("REGCLNIM", "FIC1", "_INTERNAL"), "CTLEQN = A,KEYWORD = after,");
    EXPECT_EQ(p.value("REGCLNIM", "FIC1", "PTDESC"), "E");
}

TEST(Import, UnknownTypesAskOkToSkipTheBlockOrCancelToEndTheFile) {
    for (bool ok : {true, false}) {
        Plant p;
        p.feedback.defaultAnswer = ok;
        // While the question waits, the completed point is saved and the file is free.
        std::int64_t seen = -1;
        bool free = false;
        p.feedback.duringQuestion = [&] {
            seen = p.rows("REGCLNIM");
            free = test::WritableNow(p.db);
        };
        Outcome o = p.import({p.file("a.eb", {"&T REGCLNIM", "&N A1", "&T BOGUS", "&N B1", "X = 1",
                                              "&T REGCLNIM", "&N A2"})},
                             ImportMode::UpdatesAndAdditions, std::nullopt, false);
        EXPECT_EQ(seen, 1);
        EXPECT_TRUE(free);
        EXPECT_EQ(p.value("REGCLNIM", "A1", "NAME"), "A1");
        EXPECT_EQ(p.value("REGCLNIM", "A2", "NAME"), ok ? "A2" : "<no row>");
        EXPECT_EQ(p.feedback.results.back(), ok ? "Points added: 2      Points updated: 0"
                                                : "Points added: 1      Points updated: 0");
        EXPECT_EQ(o, ok ? Outcome::Done : Outcome::LeftUndone);
        EXPECT_EQ(p.catalog.find("BOGUS") >= 0, ok);
        EXPECT_EQ(p.feedback.warnings,
                  std::vector<std::string>{p.dir.file("a.eb") +
                                           ", line 3: the point type \"BOGUS\" is not known"});
    }
}

TEST(Import, MendedFaultsOfShortNamesStrayLinesAndEmptyTypes) {
    Plant p;
    int freeAtQuestions = 0;  // the definition update's new columns are saved before it asks
    p.feedback.duringQuestion = [&] { freeAtQuestions += test::WritableNow(p.db); };
    (void)p.import({p.file("a.eb", {"&T REGCLNIM", "&N X", "PTDESC = ONE LETTER", "CTLEQN = Q",
                                    "&T REGCLNIM", "KEYWORD = STRAY", "&N FIC2", "PTDESC = TWO",
                                    "&T REGCLNIM", "&N", "PTDESC = NOBODY", "&T", "&N E1",
                                    "PTDESC = EMPTY TYPE", "&T REGCLNIM", "&N Y", "KEYWORD = OK"})},
                   ImportMode::UpdatesAndAdditions, std::nullopt, true);
    EXPECT_EQ(p.value("REGCLNIM", "X", "PTDESC"), "ONE LETTER");
    EXPECT_EQ(p.value("REGCLNIM", "X", "_INTERNAL"), "CTLEQN = Q,");
    EXPECT_EQ(p.value("REGCLNIM", "X", "KEYWORD"), "<null>");  // the stray line changed nobody
    EXPECT_EQ(p.value("REGCLNIM", "FIC2", "KEYWORD"), "<null>");
    EXPECT_EQ(p.value("REGCLNIM", "Y", "NAME"), "Y");
    EXPECT_EQ(p.rows("REGCLNIM"), 3);
    EXPECT_EQ(p.feedback.questions.size(), 2u);  // the empty type is unknown, asked by both passes
    EXPECT_EQ(p.feedback.questions[0].text, "Invalid Point Type: ");
    for (const std::string& type : p.catalog.names()) EXPECT_FALSE(type.empty());
    EXPECT_EQ(freeAtQuestions, 2);
    int warned = 0;
    for (const auto& w : p.feedback.warnings)
        warned += w.find("a.eb, line 6") != std::string::npos ||
                  w.find("a.eb, line 10") != std::string::npos;
    EXPECT_EQ(warned, 3);  // the stray line is named by the definition update and the import
}

// A value that cannot be stored is named by the table of values above and by the command line.
TEST(Import, FailuresAreReportedAndLoseNothing) {
    Plant p;
    // A known type whose table is missing: its points are named, the others imported.
    const std::string partial = p.dir.file("partial.db");
    {
        auto d = db::Database::create(partial);
        db::CreatePointTypeTable(*d, "REGCLNIM");
        d->commit();
    }
    EXPECT_EQ(RunImport(p.catalog, p.feedback,
                        {partial,
                         {p.file("t.eb", {"&T ANINNIM", "&N B1", "{ }", "&T REGCLNIM", "&N A4"})},
                         ImportMode::UpdatesAndAdditions,
                         {},
                         false}),
              Outcome::LeftUndone);
    ASSERT_FALSE(p.feedback.messages.empty());
    EXPECT_TRUE(test::Holds(p.feedback.messages.back().text, "point B1: its table is missing"));
    EXPECT_EQ(db::Database::open(partial, false)
                  ->openTable("REGCLNIM", "PrimaryKey", db::CursorMode::Reading)
                  ->recordCount(),
              1);

    // A garbage file and a missing file: reported, the next file runs.
    std::string garbage = p.dir.file("garbage.eb");
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += static_cast<char>((i * 7919) % 256);
    test::WriteFile(garbage, bytes);
    p.feedback.messages.clear();
    const Outcome o =
        p.import({p.dir.file("missing.eb"), garbage, p.file("c.eb", {"&T REGCLNIM", "&N A3"})});
    EXPECT_EQ(o, Outcome::LeftUndone);
    EXPECT_EQ(p.value("REGCLNIM", "A3", "NAME"), "A3");
    int saidMissing = 0;  // once, by the definition update; the import does not say it again
    for (const auto& m : p.feedback.messages)
        saidMissing += m.text.find("missing.eb") != std::string::npos;
    EXPECT_EQ(saidMissing, 1);
}

TEST(Import, ADatabaseDeletedDuringTheImportIsSaidToBeSo) {
    Plant p;
    p.feedback.duringQuestion = [&] { std::filesystem::remove(p.db); };
    EXPECT_EQ(
        p.import({p.file("a.eb", {"&T REGCLNIM", "&N A1", "&T BOGUS", "&T REGCLNIM", "&N A2"})},
                 ImportMode::UpdatesAndAdditions, std::nullopt, false),
        Outcome::LeftUndone);
    ASSERT_FALSE(p.feedback.messages.empty());
    const std::string& text = p.feedback.messages.back().text;
    EXPECT_TRUE(test::Holds(text, "was deleted or moved while in use"));
    EXPECT_EQ(text.find("read-only"), std::string::npos) << text;
}
