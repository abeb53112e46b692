#pragma once
// The property the import fuzzer checks, shared with the regression test that replays its
// corpus: any bytes imported into a point database (unknown types accepted, definitions
// updated) and then compared with it (both ways) neither crash nor damage the database.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "bench/support/SilentFeedback.h"
#include "compare/CompareEngine.h"
#include "db/Database.h"
#include "import/ImportDriver.h"
#include "support/TestSupport.h"

namespace pel::fuzz {

inline void ImportAndCompareBytes(std::string_view bytes) {
    static const PointTypeCatalog definitions = test::BuiltCatalog();
    static const std::string blank = [] {  // made once, copied for every input
        test::TempDir made;
        test::MakePointDatabase(definitions, made.file("blank.db"));
        {  // with the comparison's columns, which it would otherwise add for every input
            auto db = db::Database::open(made.file("blank.db"), true);
            for (const std::string& type : definitions.names())
                db->addColumn(type, "_Found", "BOOLEAN");
        }
        return test::ReadFile(made.file("blank.db"));
    }();
    test::TempDir dir;
    const std::string db = dir.file("plant.db"), file = dir.file("f.eb");
    test::WriteFile(db, blank);
    test::WriteFile(file, bytes);
    PointTypeCatalog catalog = definitions;  // accepted unknown types join this copy
    bench::SilentFeedback feedback;
    (void)RunImport(catalog, feedback, {db, {file}, ImportMode::AdditionsOnly, {}, true});
    (void)CompareEbFiles(catalog, feedback,
                         {db, dir.path().string(), {"f.eb"}, dir.file("r.htm"), true});
    if (test::QueryText(db, "PRAGMA integrity_check") != "ok") std::abort();
}

}  // namespace pel::fuzz
