// Converting Access files into SQLite databases: the copy, read back through the SQLite layer,
// holds the same tables, columns, types, indexes and values, in the same order.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>
#include <cctype>

#include "convert/ConvertDatabase.h"
#include "db/Database.h"
#include "support/AccessFixtures.h"
#include "support/DatabaseDump.h"
#include "support/TestSupport.h"

using namespace pel;
using namespace pel::db;
using pel::test::CopyAccessFixture;
using pel::test::FilesIn;
using pel::test::RecordingFeedback;
using pel::test::TempDir;

namespace {

struct RoundTrip {
    const char* fixture;
    const char* result;
    std::size_t unreadable;  // indexes left out, each with a warning
};

// Names the case by its file, in test lists and failures.
void PrintTo(const RoundTrip& trip, std::ostream* os) {
    *os << trip.fixture;
}

class ConvertRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

}  // namespace

TEST_P(ConvertRoundTrip, TheCopyHoldsWhatTheAccessFileHolds) {
    TempDir dir;
    const std::string source = CopyAccessFixture(dir, GetParam().fixture);
    const std::string dest = dir.file("copy.db");
    RecordingFeedback feedback;
    const Outcome outcome = ConvertDatabase(feedback, {source, dest});
    EXPECT_EQ(outcome, GetParam().unreadable == 0 ? Outcome::Done : Outcome::LeftUndone);
    EXPECT_EQ(feedback.results, std::vector<std::string>{GetParam().result});
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_EQ(feedback.warnings.size(), GetParam().unreadable);
    auto copy = Database::open(dest, false);
    EXPECT_FALSE(copy->isAccess());
    EXPECT_EQ(pel::test::Dump(*copy), pel::test::Dump(*Database::open(source, false)));
    std::vector<std::string> expected = {"copy.db", GetParam().fixture};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(dir), expected);  // no temporary file is left beside the copy
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ConvertRoundTrip,
    ::testing::Values(
        RoundTrip{"plant-sample.mdb", "Tables converted: 2      Rows converted: 6", 0},
        RoundTrip{"EB-sample.mdb", "Tables converted: 2      Rows converted: 7", 0},
        RoundTrip{"testV1997.mdb", "Tables converted: 4      Rows converted: 2", 0},
        RoundTrip{"testUnicodeCompV2003.mdb", "Tables converted: 1      Rows converted: 8", 0},
        RoundTrip{"nwind.mdb", "Tables converted: 9      Rows converted: 4032", 14},
        RoundTrip{"testIndexPropertiesV2000.mdb", "Tables converted: 6      Rows converted: 42",
                  6}),
    [](const ::testing::TestParamInfo<RoundTrip>& round) {
        // The fixture's name, letters and digits only: a stable, readable test name.
        std::string name;
        for (const char* c = round.param.fixture; *c != '\0' && *c != '.'; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
        return name;
    });

// The types of the copy are read back by the round trips above.
TEST(ConvertDatabase, TheCopyIsAPointDatabaseWithCaseBlindKeys) {
    TempDir dir;
    RecordingFeedback feedback;
    const std::string plant = dir.file("plant.db");
    ASSERT_EQ(ConvertDatabase(feedback, {CopyAccessFixture(dir, "plant-sample.mdb"), plant}),
              Outcome::Done);
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

TEST(ConvertDatabase, RefusesAnExistingDestinationAndLeavesNothingWhenItFails) {
    TempDir dir;
    const std::string source = CopyAccessFixture(dir, "plant-sample.mdb");
    const std::string existing = dir.file("existing.db");
    pel::test::WriteFile(existing, "keep me");
    RecordingFeedback feedback;
    EXPECT_EQ(ConvertDatabase(feedback, {source, existing}), Outcome::LeftUndone);
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_TRUE(test::Holds(feedback.messages[0].text, existing + " exists already"));
    EXPECT_EQ(pel::test::ReadFile(existing), "keep me");

    // A source that fails half-way: the second table's rows are cut off the file.
    const std::string cut = dir.file("cut.mdb");
    pel::test::WriteFile(cut, pel::test::ReadFile(source).substr(0, 34 * 4096));
    const std::vector<std::string> sources = {dir.file("missing.mdb"), existing, cut};
    for (const auto& from : sources) {
        RecordingFeedback f;
        EXPECT_EQ(ConvertDatabase(f, {from, dir.file("new.db")}), Outcome::LeftUndone) << from;
        ASSERT_EQ(f.messages.size(), 1u) << from;
        EXPECT_TRUE(test::Holds(f.messages[0].text, from));
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
    EXPECT_EQ(ConvertDatabase(feedback, {source, dir.file("new.db")}), Outcome::Done);
    ::close(held);
    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {"new.db", "plant-sample.mdb"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(dir), expected);
}

// The command's arguments are exercised by the fault tests; here libmdb's complaints about the
// unreadable indexes stay out of its standard error.
TEST(ConvertDatabase, TheCommandLineWarnsWithoutLibmdbsComplaints) {
    TempDir dir;
    auto partly = pel::test::RunCli(
        {"convert", CopyAccessFixture(dir, "testIndexPropertiesV2000.mdb"), dir.file("props.db")});
    EXPECT_EQ(partly.exitCode, 1);
    EXPECT_TRUE(
        test::Holds(partly.err, "Warning: The index PrimaryKey of the table TableIgnoreNulls2"));
    EXPECT_EQ(partly.err.find("CRITICAL"), std::string::npos) << partly.err;  // libmdb kept quiet
}
