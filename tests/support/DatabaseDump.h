#pragma once
// A database as text, to compare two databases or one with a file written down beside it: its
// tables, their columns with type codes, their readable indexes with the order each gives, and
// every row as the program shows its values (Null apart from empty text, control characters
// and "|" as \xNN).

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "db/Database.h"
#include "db/ValueText.h"

namespace pel::test {

inline std::string ShownValue(const db::Cursor& c, int i) {
    const db::Value v = c.value(i);
    if (v.isNull()) return "<null>";
    std::string out;
    for (const char ch : db::ValueText(v, c.field(i).type)) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte != 0x7F && ch != '\\' && ch != '|') {
            out += ch;
            continue;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", byte);
        out += hex;
    }
    return out;
}

// The rows in the index's order (no index: the table's own order), each as the columns' values.
inline std::vector<std::string> Walk(db::Database& db, const std::string& table,
                                     const std::string& index,
                                     const std::vector<std::string>& columns) {
    auto c = db.openTable(table, index, db::CursorMode::Reading);
    std::vector<std::string> rows = {"rows " + std::to_string(c->recordCount())};
    for (; !c->eof(); c->moveNext()) {
        std::string row = " ";
        for (const auto& name : columns) row += " " + ShownValue(*c, c->fieldIndex(name)) + " |";
        rows.push_back(row);
    }
    return rows;
}

inline std::string Dump(db::Database& db) {
    std::string out;
    for (const auto& table : db.tableNames()) {
        const auto info = db.tableInfo(table);
        std::vector<std::string> all;
        out += "table " + table + "\n columns";
        for (const auto& c : info->columns) {
            out += " " + c.name + ":" + std::to_string(c.type);
            all.push_back(c.name);
        }
        out += "\n";
        // Rows whose keys tie come in an order of their own unless NAME breaks the tie.
        const bool named = info->columnIndex("NAME") >= 0;
        for (const auto& index : info->indexes) {
            if (!index.readable) continue;
            out += " index " + index.name + (index.unique ? " unique" : "") + " on";
            for (const auto& column : index.columns) out += " " + column;
            out += "\n";
            const std::vector<std::string> keys =
                named ? std::vector<std::string>{"NAME"} : index.columns;
            for (const auto& row : Walk(db, table, index.name, keys)) out += " " + row + "\n";
        }
        auto rows = Walk(db, table, "", all);
        std::sort(rows.begin() + 1, rows.end());
        for (const auto& row : rows) out += " " + row + "\n";
    }
    return out;
}

}  // namespace pel::test
