// The point-type list, the internal-parameter look-up, the path functions and start-up.

#include <gtest/gtest.h>

#include "app/AppState.h"
#include "app/Paths.h"
#include "app/Startup.h"
#include "support/TestSupport.h"

using namespace pel;

namespace {
AppState WithTypes(std::vector<PointTypeDefinition> rows) {
    AppState s;
    s.setDefinitions(std::move(rows));
    return s;
}
}  // namespace

TEST(PointTypeList, AppendedTypesTakeTheEmptySlotWhichStaysLast) {
    AppState s = WithTypes({{"ANINNIM", "NIM", {}, {}}, {"REGCLNIM", "NIM", {}, {}}});
    EXPECT_EQ(s.pointTypeCount, 2);
    EXPECT_EQ(s.pointTypeNames, (std::vector<std::string>{"ANINNIM", "REGCLNIM", ""}));
    EXPECT_EQ(s.appendPointType("NEWTYPE"), 2);
    EXPECT_EQ(s.appendPointType("OTHER"), 3);
    EXPECT_EQ(s.pointTypeNames,
              (std::vector<std::string>{"ANINNIM", "REGCLNIM", "NEWTYPE", "OTHER", ""}));
    EXPECT_EQ(s.pointTypeCount, 4);
    for (std::int32_t i = 0; i < s.pointTypeCount; ++i) EXPECT_FALSE(s.pointTypeNames[i].empty());
    EXPECT_EQ(s.findPointType("newtype"), 2);
    EXPECT_EQ(s.findPointType("RegClNim"), 1);
    EXPECT_EQ(s.findPointType(""), -1);  // never the empty slot
    EXPECT_EQ(s.appendPointType(""), -1);
    EXPECT_EQ(s.pointTypeCount, 4);
}

TEST(PointTypeList, NoRowsLeavesOneEmptySlot) {
    AppState s = WithTypes({});
    EXPECT_EQ(s.pointTypeCount, 0);
    EXPECT_EQ(s.pointTypeNames, std::vector<std::string>{""});
}

TEST(IsInternalParameter, NormalisesTheNameAndMatchesSubstrings) {
    AppState s = WithTypes(
        {{"REGCLNIM", "NIM", ",PVEUHI,PVEULO,C1DESC,", {}}, {"EMPTY", "NIM", std::nullopt, {}}});
    struct Case {
        const char* type;
        const char* param;
        bool internal;
    } cases[] = {{"REGCLNIM", "PVEU", true},
                 {"REGCLNIM", "PVHI", false},
                 {"REGCLNIM", " c1desc(3) ", true},
                 {"regclnim", "PVEUHI", true},
                 {"REGCLNIM", "", true},
                 {"EMPTY", "PVEUHI", false},
                 {"EMPTY", "", false},
                 {"UNKNOWN", "PVEUHI", false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsInternalParameter(s, c.type, c.param), c.internal) << c.type << " " << c.param;
}

TEST(Paths, SplitAtTheLastSeparator) {
    struct Case {
        const char* path;
        const char* dir;
        const char* name;
    } cases[] = {{"/data/plant.db", "/data", "plant.db"},
                 {"/plant.db", "", "plant.db"},
                 {"plant.db", "", ""},
                 {"/data/", "/data", ""},
                 {"", "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryPart(c.path), c.dir) << c.path;
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
    }
    test::TempDir dir;
    test::WriteFile(dir.file("a.eb"), "x");
    EXPECT_TRUE(FileExists(dir.file("a.eb")));
    EXPECT_FALSE(FileExists(dir.path().string()));
    EXPECT_FALSE(FileExists(dir.file("missing")));
    EXPECT_FALSE(FileExists(""));
}

TEST(Startup, ReadsDefinitionsAndSettingsWithTheirDefaults) {
    AppState state;
    MemorySettingsStore settings;
    auto r = RunStartup(state, settings, test::BuiltDefinitions(), "/home/u");
    ASSERT_TRUE(r.ok) << r.failure;
    EXPECT_GT(state.pointTypeCount, 20);
    EXPECT_TRUE(state.pointTypeNames.back().empty());
    for (const char* t : {"DICMPNIM", "DEVCTL", "LOGICNIM", "REGPVNIM", "REGCLNIM"})
        EXPECT_GE(state.findPointType(t), 0) << t;
    EXPECT_TRUE(std::is_sorted(state.pointTypeNames.begin(), state.pointTypeNames.end() - 1));
    EXPECT_EQ(state.ebFileDirectory, "/home/u");
    EXPECT_EQ(state.accessDirectory, "/home/u");
    EXPECT_EQ(state.textFileDirectory, "/home/u");
    EXPECT_FALSE(state.limitPointsPerEb);
    EXPECT_EQ(state.maxPointsPerEb, 250);
    EXPECT_TRUE(r.accessDatabase.empty());
    EXPECT_EQ(settings.writes(), 0);  // start-up only reads
    RunShutdown(state);
    EXPECT_FALSE(state.definitionsConnection);
}

TEST(Startup, StoredValuesAreConvertedAndABadMaximumFallsBackTo250) {
    struct Case {
        const char* limit;
        bool limited;
        const char* max;
        std::int32_t expected;
        bool warned;
    } cases[] = {{"True", true, "100", 100, false},   {"true", true, " 12.6 ", 13, false},
                 {"untrue", true, "12.5", 12, false}, {"False", false, "abc", 250, true},
                 {"", false, "", 250, true},          {"yes", false, "99999999999", 250, true}};
    for (const auto& c : cases) {
        AppState state;
        MemorySettingsStore settings;
        settings.write("Limit Points Per EB", c.limit);
        settings.write("Max Points Per EB", c.max);
        auto r = RunStartup(state, settings, test::BuiltDefinitions(), "/h");
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(state.limitPointsPerEb, c.limited) << c.limit;
        EXPECT_EQ(state.maxPointsPerEb, c.expected) << c.max;
        EXPECT_EQ(!r.warnings.empty(), c.warned) << c.max;
    }
}

TEST(Startup, RemembersADatabaseOnlyWhileItExistsAndFailsWithoutDefinitions) {
    test::TempDir dir;
    test::WriteFile(dir.file("plant.db"), "");
    MemorySettingsStore settings;
    settings.write("Access Database", dir.file("plant.db"));
    AppState state;
    EXPECT_EQ(RunStartup(state, settings, test::BuiltDefinitions(), "/h").accessDatabase,
              dir.file("plant.db"));
    settings.write("Access Database", dir.file("gone.db"));
    AppState state2;
    EXPECT_TRUE(
        RunStartup(state2, settings, test::BuiltDefinitions(), "/h").accessDatabase.empty());
    EXPECT_EQ(settings.read("Access Database", ""), dir.file("gone.db"));  // left as stored

    AppState state3;
    auto r = RunStartup(state3, settings, dir.file("EB.db"), "/h");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.failure.find(dir.file("EB.db")), std::string::npos);
    EXPECT_TRUE(state3.ebFileDirectory.empty());  // later steps skipped
    RunShutdown(state3);
}
