// Start-up: stored settings converted, and missing definitions named (the defaults and the
// catalog are seen through the window).

#include <gtest/gtest.h>

#include "app/Startup.h"
#include "support/TestSupport.h"
#include "ui/AppState.h"

using namespace pel;

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

// Which remembered database is shown is tested with the window's start-up.
TEST(Startup, FailsWithoutDefinitionsNamingThem) {
    test::TempDir dir;
    MemorySettingsStore settings;
    AppState state;
    auto r = RunStartup(state, settings, dir.file("EB.db"), "/h");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(test::Holds(r.failure, dir.file("EB.db")));
    EXPECT_TRUE(state.ebFileDirectory.empty());  // later steps skipped
    RunShutdown(state);
}
