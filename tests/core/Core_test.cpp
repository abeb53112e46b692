// The point-type catalog, the internal-parameter rule and the path functions.

#include <gtest/gtest.h>

#include "core/Paths.h"
#include "core/PointTypeCatalog.h"
#include "support/TestSupport.h"

using namespace pel;

namespace {
PointTypeCatalog WithTypes(std::vector<PointTypeDefinition> rows) {
    PointTypeCatalog c;
    c.setDefinitions(std::move(rows));
    return c;
}
}  // namespace

// Appending and finding types is tested through the engines that accept unknown types.
TEST(PointTypeCatalog, InternalParametersAreNormalisedSubstrings) {
    PointTypeCatalog s = WithTypes(
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
        EXPECT_EQ(s.isInternalParameter(c.type, c.param), c.internal) << c.type << " " << c.param;
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
