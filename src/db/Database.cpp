#include "db/Database.h"

#include "db/ValueText.h"

namespace pel::db {

void Cursor::setText(int i, std::string_view text) {
    setValue(i, Value::text(std::string(text)));
}

void Cursor::valueText(int i, std::string& out) const {
    out = ValueText(value(i), field(i).type);
}

void Cursor::rowTexts(std::vector<std::string_view>& texts,
                      std::vector<std::string>& storage) const {
    const auto count = static_cast<std::size_t>(fieldCount());
    texts.resize(count);
    storage.resize(count);
    for (std::size_t i = 0; i < count; ++i) texts[i] = valueView(static_cast<int>(i), storage[i]);
}

void Cursor::rowValues(std::vector<ValueView>& values, std::vector<Value>& storage) const {
    const auto count = static_cast<std::size_t>(fieldCount());
    values.resize(count);
    storage.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        storage[i] = value(static_cast<int>(i));
        values[i] = ValueView::of(storage[i]);
    }
}

int TableInfo::columnIndex(std::string_view column) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (EqualsIgnoreCase(columns[i].name, column)) return static_cast<int>(i);
    return -1;
}

const IndexInfo* TableInfo::index(std::string_view exactName) const {
    for (const auto& idx : indexes)
        if (idx.name == exactName) return &idx;
    return nullptr;
}

bool TableExists(Database& db, std::string_view table) {
    try {
        for (const auto& name : db.tableNames())
            if (name == table) return true;
    } catch (const std::exception&) {
    }
    return false;
}

bool IndexExists(Database& db, std::string_view table, std::string_view index) {
    try {
        if (!TableExists(db, table)) return false;
        auto info = db.tableInfo(table);
        return info && info->index(index) != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace pel::db
