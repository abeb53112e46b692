// The demo plant: made once from data/demo through new-db and import, the as-built copy with its
// changes on top; a failed first start leaves nothing half-made behind.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/DemoPlant.h"
#include "core/Paths.h"
#include "db/Database.h"
#include "support/TestSupport.h"

using namespace pel;

namespace {

// data/demo of the source tree (tests/data's folder's sibling).
const std::string kDemoFiles =
    (std::filesystem::path(PELORIN_TEST_DATA).parent_path().parent_path() / "data" / "demo")
        .string();

std::int64_t Points(const std::string& path, const std::vector<std::string>& types) {
    auto db = db::Database::open(path, false);
    std::int64_t n = 0;
    for (const std::string& type : types)
        n += db->openTable(type, "PrimaryKey", db::CursorMode::Reading)->recordCount();
    return n;
}

}  // namespace

TEST(DemoPlant, IsMadeOnceFromTheDemoFiles) {
    test::TempDir data;
    PointTypeCatalog catalog = test::BuiltCatalog();
    test::RecordingFeedback feedback;
    std::string failure;
    auto demo = PrepareDemoPlant(catalog, feedback, kDemoFiles, data.path().string(), failure);
    ASSERT_TRUE(demo) << failure;
    ASSERT_EQ(demo->files.size(), 3u);
    EXPECT_EQ(FileNamePart(demo->files[0]), "Unit100_Control.eb");
    EXPECT_EQ(Points(demo->database, demo->pointTypes), 40);
    EXPECT_EQ(Points(demo->asBuiltDatabase, demo->pointTypes), 41);
    const std::string description = "SELECT PTDESC FROM REGCLNIM WHERE NAME = 'FIC101'";
    EXPECT_EQ(test::QueryText(demo->database, description), "FEED FLOW CONTROL");
    EXPECT_EQ(test::QueryText(demo->asBuiltDatabase, description), "FEED FLOW CONTROL LOOP");

    // A second start keeps what is there.
    const auto made = std::filesystem::last_write_time(demo->database);
    auto again = PrepareDemoPlant(catalog, feedback, kDemoFiles, data.path().string(), failure);
    ASSERT_TRUE(again) << failure;
    EXPECT_EQ(std::filesystem::last_write_time(demo->database), made);
}

TEST(DemoPlant, AFailedImportLeavesNoDatabaseAndMissingDemoFilesAreNamed) {
    test::TempDir data, demoFiles;
    test::WriteFile(demoFiles.file("bad.eb"), test::CrLf({"&T NOSUCHTYPE", "&N X1", "PTDESC = X"}));
    PointTypeCatalog catalog = test::BuiltCatalog();
    test::RecordingFeedback feedback;
    feedback.defaultAnswer = false;  // Cancel on "Invalid Point Type: NOSUCHTYPE"
    std::string failure;
    EXPECT_FALSE(PrepareDemoPlant(catalog, feedback, demoFiles.path().string(),
                                  data.path().string(), failure));
    EXPECT_FALSE(failure.empty());
    EXPECT_FALSE(std::filesystem::exists(data.file("demo.db")));
    EXPECT_FALSE(std::filesystem::exists(data.file("demo.db.part")));

    const std::string empty = demoFiles.file("empty");
    std::filesystem::create_directory(empty);
    EXPECT_FALSE(PrepareDemoPlant(catalog, feedback, empty, data.path().string(), failure));
    EXPECT_TRUE(test::Holds(failure, empty));
}
