#pragma once
// Reading one table of an open Access file through libmdb: its columns and indexes, and its
// rows (in file order) as compact cells.

#include <string>
#include <vector>

#include "db/Database.h"
#include "db/access/AccessLibrary.h"
#include "db/access/AccessRows.h"

namespace pel::db {

// What libmdb gives for a table of the catalog: the entry that reads it, and the file's path
// for messages.
struct AccessTableSource {
    MdbCatalogEntry* entry = nullptr;
    std::string path;
    std::string table;
    std::vector<std::string>* notes = nullptr;  // where values not kept are named
};

// Columns in table order with their type codes and Access type names; indexes by name. An
// index that libmdb misreads (no key columns, or a complaint about it) is kept with
// readable = false.
TableInfo ReadAccessTableInfo(const AccessTableSource& source);

// Every row of the table, the columns of `info` in order: whole numbers (Yes/No as 0 and 1),
// single precision as the double equal to it, double precision, text as UTF-8; Null told apart
// from empty text. Throws DbError naming the file when the table cannot be read.
AccessRows ReadAccessRows(const AccessTableSource& source, const TableInfo& info);

}  // namespace pel::db
