// Any bytes are an Access file someone chose: the reader must refuse them or read them, never
// crash, hang or read out of bounds. Every table is read in each of its index orders, and every
// value of every row is taken, as the convert and the export take them.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "db/Database.h"

namespace {

void ReadTable(pel::db::Database& db, const std::string& table, const std::string& index) {
    auto cursor = db.openTable(table, index, pel::db::CursorMode::Reading);
    std::string scratch;
    std::vector<pel::db::ValueView> views;
    std::vector<pel::db::Value> storage;
    for (; !cursor->eof(); cursor->moveNext()) {
        for (int i = 0; i < cursor->fieldCount(); ++i) (void)cursor->valueView(i, scratch);
        cursor->rowValues(views, storage);
    }
    if (!index.empty()) (void)cursor->seek("A");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("pelorin-fuzz-" + std::to_string(::getpid()) + ".mdb"))
                                 .string();
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    try {
        auto db = pel::db::Database::open(path, false);
        for (const auto& table : db->tableNames()) {
            try {
                ReadTable(*db, table, "");
                if (auto info = db->tableInfo(table))
                    for (const auto& index : info->indexes) ReadTable(*db, table, index.name);
            } catch (const std::exception&) {
                // A table that cannot be read is refused on its own; the others still are read.
            }
        }
    } catch (const std::exception&) {
        // Refused with a message: what a damaged file should get.
    }
    std::remove(path.c_str());
    return 0;
}
