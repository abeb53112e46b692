#pragma once
// The property the import fuzzer checks, shared with the regression test that replays its
// corpus: any bytes imported into a point database (unknown types accepted, definitions
// updated) and then compared with it (both ways) neither crash nor damage the database.

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "compare/CompareEngine.h"
#include "import/ImportDriver.h"
#include "support/TestSupport.h"

namespace pel::fuzz {

// Answers every question OK and keeps nothing.
class QuietFeedback : public Feedback {
  public:
    void setLabel(Panel, Label, std::string_view) override {}
    void clearText() override {}
    void setProgress(Panel, double) override {}
    bool repaintDue() override { return false; }
    void repaint() override {}
    bool askOkCancel(std::string_view, std::string_view) override { return true; }
    void message(std::string_view, std::string_view, Icon) override {}
    void warning(std::string_view) override {}
};

inline std::string QueryOne(const std::string& db, const char* sql) {
    sqlite3* h = nullptr;
    std::string out;
    if (sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(h);
    return out;
}

inline void ImportAndCompareBytes(std::string_view bytes) {
    static const PointTypeCatalog definitions = test::BuiltCatalog();
    static const std::string blank = [] {  // made once, copied for every input
        test::TempDir made;
        test::MakePointDatabase(definitions, made.file("blank.db"));
        return test::ReadFile(made.file("blank.db"));
    }();
    test::TempDir dir;
    const std::string db = dir.file("plant.db"), file = dir.file("f.eb");
    test::WriteFile(db, blank);
    test::WriteFile(file, bytes);
    PointTypeCatalog catalog = definitions;  // accepted unknown types join this copy
    QuietFeedback feedback;
    (void)RunImport(catalog, feedback, {db, {file}, ImportMode::AdditionsOnly, {}, true});
    (void)CompareEbFiles(catalog, feedback, {db, dir.path().string(), {"f.eb"}, dir.file("r.htm"), true});
    if (QueryOne(db, "PRAGMA integrity_check") != "ok") std::abort();
}

}  // namespace pel::fuzz
