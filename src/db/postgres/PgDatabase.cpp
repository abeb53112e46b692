#include "db/postgres/PgDatabase.h"

#include <chrono>
#include <thread>

#include "db/CursorTarget.h"
#include "db/ServerUri.h"
#include "db/SqlIdentifier.h"
#include "db/TypeCodes.h"
#include "db/postgres/PgCursor.h"
#include "db/postgres/PgSql.h"

namespace pel::db {

namespace {

const std::string kTableOid =
    "SELECT c.oid FROM pg_class c WHERE c.relname = $1 AND c.relkind IN ('r', 'p') AND "
    "c.relnamespace = current_schema()::regnamespace";

// The type code of a server type; TINYINT, BYTE and LONGTEXT come from our own table.
int TypeCodeOfServerType(std::string_view type) {
    if (type == "int2") return kSmallInt;
    if (type == "int4" || type == "int8") return kInteger;
    if (type == "float4") return kSingle;
    if (type == "float8" || type == "numeric") return kDouble;
    if (type == "bool") return kBoolean;
    return kText;
}

bool NeedsKeptCode(int code) {
    return code == kTinyInt || code == kByte || code == kUnsignedInt || code == kLongText;
}

// The first word of a declared type ("TEXT NOT NULL COLLATE NOCASE" is TEXT).
std::string_view TypeWord(std::string_view declared) {
    const std::size_t end = declared.find(' ');
    return end == std::string_view::npos ? declared : declared.substr(0, end);
}

}  // namespace

PgDatabase::PgDatabase(const std::string& uri, bool readOnly)
    : session_(uri, UriWithoutPassword(uri)), readOnly_(readOnly) {}

PgDatabase::~PgDatabase() = default;

std::unique_ptr<PgDatabase> PgDatabase::open(const std::string& uri, bool forWriting) {
    return std::unique_ptr<PgDatabase>(new PgDatabase(uri, !forWriting));
}

std::unique_ptr<PgDatabase> PgDatabase::openEmpty(const std::string& uri) {
    auto db = open(uri, true);
    if (!db->tableNames().empty())
        throw DbError(DbError::Kind::Other,
                      "The database " + db->path() + " holds tables already; it is left alone");
    return db;
}

void PgDatabase::ensureWritable(std::string_view what) const {
    if (readOnly_)
        throw DbError(DbError::Kind::ReadOnly,
                      std::string(what) + ": the database " + path() + " is open for reading only");
}

void PgDatabase::checkName(std::string_view name) const {
    if (name.size() > kLongestServerName)
        throw DbError(DbError::Kind::Other,
                      "The name " + std::string(name) + " is longer than the " +
                          std::to_string(kLongestServerName) + " bytes the server of " + path() +
                          " allows; it is refused rather than cut");
}

bool PgDatabase::catalogExists() {
    if (!catalogExists_) {
        PgResult r = session_.query("SELECT to_regclass($1) IS NOT NULL",
                                    {QuoteIdentifier(kColumnTypesTable)}, "");
        catalogExists_ = r.rows() > 0 && r.text(0, 0) == "t";
    }
    return *catalogExists_;
}

void PgDatabase::ensureCatalog() {
    if (catalogExists()) return;
    session_.write(std::string("CREATE TABLE IF NOT EXISTS ") + QuoteIdentifier(kColumnTypesTable) +
                       " (table_name TEXT NOT NULL, column_name TEXT NOT NULL, type_code INTEGER "
                       "NOT NULL, PRIMARY KEY (table_name, column_name))",
                   {}, kColumnTypesTable);
    session_.write(std::string("CREATE TABLE IF NOT EXISTS ") +
                       QuoteIdentifier(kIndexColumnsTable) +
                       " (table_name TEXT NOT NULL, index_name TEXT NOT NULL, position INTEGER NOT "
                       "NULL, column_name TEXT NOT NULL, PRIMARY KEY (table_name, index_name, "
                       "position))",
                   {}, kIndexColumnsTable);
    catalogExists_ = true;
}

std::vector<std::string> PgDatabase::tableNames() {
    PgResult r = session_.query(
        "SELECT c.relname FROM pg_class c WHERE c.relkind IN ('r', 'p') AND "
        "c.relnamespace = current_schema()::regnamespace AND c.relname NOT IN ($1, $2) "
        "ORDER BY c.oid",
        {kColumnTypesTable, kIndexColumnsTable}, "");
    std::vector<std::string> names;
    for (int i = 0; i < r.rows(); ++i) names.emplace_back(r.text(i, 0));
    return names;
}

std::optional<TableInfo> PgDatabase::tableInfo(std::string_view table) {
    const std::string key(table);
    if (auto it = infoCache_.find(key); it != infoCache_.end()) return it->second;
    PgResult oid = session_.query(kTableOid, {key}, key);
    if (oid.rows() == 0) return std::nullopt;
    const std::string tableOid(oid.text(0, 0));

    TableInfo info;
    info.name = key;
    PgResult columns = session_.query(
        "SELECT a.attname, t.typname FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid "
        "WHERE a.attrelid = $1::oid AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
        {tableOid}, key);
    for (int i = 0; i < columns.rows(); ++i) {
        ColumnInfo c;
        c.name = std::string(columns.text(i, 0));
        c.type = TypeCodeOfServerType(columns.text(i, 1));
        info.columns.push_back(std::move(c));
    }
    if (catalogExists()) {
        PgResult kept =
            session_.query("SELECT column_name, type_code FROM " +
                               QuoteIdentifier(kColumnTypesTable) + " WHERE table_name = $1",
                           {key}, key);
        for (int i = 0; i < kept.rows(); ++i) {
            const int at = info.columnIndex(kept.text(i, 0));
            if (at >= 0 && info.columns[static_cast<std::size_t>(at)].name == kept.text(i, 0))
                info.columns[static_cast<std::size_t>(at)].type =
                    std::atoi(std::string(kept.text(i, 1)).c_str());
        }
    }
    for (auto& c : info.columns) c.declaredType = DeclaredTypeName(c.type);

    PgResult indexes = session_.query(
        "SELECT i.relname, x.indisunique FROM pg_index x JOIN pg_class i ON i.oid = "
        "x.indexrelid WHERE x.indrelid = $1::oid ORDER BY i.relname",
        {tableOid}, key);
    const std::string prefix = key + ".";
    for (int i = 0; i < indexes.rows(); ++i) {
        const std::string_view full = indexes.text(i, 0);
        if (full.size() <= prefix.size() || full.substr(0, prefix.size()) != prefix) continue;
        IndexInfo idx;
        idx.name = std::string(full.substr(prefix.size()));
        idx.unique = indexes.text(i, 1) == "t";
        info.indexes.push_back(std::move(idx));
    }
    if (!info.indexes.empty() && catalogExists()) {
        PgResult keys = session_.query("SELECT index_name, column_name FROM " +
                                           QuoteIdentifier(kIndexColumnsTable) +
                                           " WHERE table_name = $1 ORDER BY index_name, position",
                                       {key}, key);
        for (int i = 0; i < keys.rows(); ++i)
            for (auto& idx : info.indexes)
                if (idx.name == keys.text(i, 0)) idx.columns.emplace_back(keys.text(i, 1));
    }
    // An index of the server not made by us: its rows cannot be ordered as ours.
    for (auto& idx : info.indexes) idx.readable = !idx.columns.empty();
    infoCache_[key] = info;
    return info;
}

std::string PgDatabase::columnDefinition(std::string_view column, std::string_view declared,
                                         int* keptCode) const {
    checkName(column);
    const int code = TypeCodeFromDeclaredType(TypeWord(declared));
    *keptCode = NeedsKeptCode(code) ? code : 0;
    const std::string name = QuoteIdentifier(column);
    std::string type;
    switch (code) {
        case kSmallInt:
        case kTinyInt:
            type = "SMALLINT";
            break;
        case kByte:
            type = "SMALLINT CHECK (" + name + " BETWEEN 0 AND 255)";
            break;
        case kUnsignedInt:
            type = "BIGINT";
            break;
        case kInteger:
            type = "INTEGER";
            break;
        case kSingle:
            type = "REAL";
            break;
        case kDouble:
            type = "DOUBLE PRECISION";
            break;
        case kBoolean:
            type = "BOOLEAN";
            break;
        default:
            type = "TEXT";
    }
    if (ToUpperAscii(declared).find("NOT NULL") != std::string::npos) type += " NOT NULL";
    return name + " " + type;
}

void PgDatabase::createTable(std::string_view table, const std::vector<ColumnInfo>& columns) {
    ensureWritable("Cannot create the table " + std::string(table));
    // Its key index "T.PrimaryKey" follows; refused now, no table is left without it.
    checkName(std::string(table) + ".PrimaryKey");
    std::string sql = "CREATE TABLE " + QuoteIdentifier(table) + " (";
    std::vector<std::pair<std::string, int>> kept;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        int code = 0;
        sql += (i ? ", " : "") + columnDefinition(columns[i].name, columns[i].declaredType, &code);
        if (code) kept.emplace_back(columns[i].name, code);
    }
    // Half of each page is left free, so that changing a row that no index holds (such as the
    // comparison's flag in every row) writes its new version beside the old one, with no new
    // index entries: several times faster on the server. The table takes twice the room.
    sql += ") WITH (fillfactor = 50)";
    const std::string name(table);
    ensureCatalog();
    session_.write(sql, {}, name);
    for (const auto& [column, code] : kept)
        session_.write("INSERT INTO " + QuoteIdentifier(kColumnTypesTable) +
                           " (table_name, column_name, type_code) VALUES ($1, $2, $3)",
                       {name, column, std::to_string(code)}, name);
    infoCache_.erase(name);
}

void PgDatabase::createIndex(std::string_view table, const IndexInfo& index) {
    ensureWritable("Cannot create the index " + index.name);
    const std::string name(table);
    const std::string full = name + "." + index.name;
    checkName(full);
    auto info = tableInfo(table);
    if (!info)
        throw DbError(DbError::Kind::NoTable, "The database " + path() + " has no table " + name);
    // A unique index keeps its own columns (NAME alone for PrimaryKey: unique without regard
    // to case); any other serves the walk in index order, ties by NAME included.
    const std::vector<std::string> keys = SortKeys(*info, index, !index.unique);
    std::string sql = std::string(index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                      QuoteIdentifier(full) + " ON " + QuoteIdentifier(table) + " (";
    for (std::size_t i = 0; i < keys.size(); ++i)
        sql += (i ? ", (" : "(") + keys[i] + ") NULLS FIRST";
    sql += ")";
    ensureCatalog();
    session_.write(sql, {}, name);
    for (std::size_t i = 0; i < index.columns.size(); ++i)
        session_.write("INSERT INTO " + QuoteIdentifier(kIndexColumnsTable) +
                           " (table_name, index_name, position, column_name) VALUES ($1, $2, $3, "
                           "$4)",
                       {name, index.name, std::to_string(i), index.columns[i]}, name);
    infoCache_.erase(name);
}

void PgDatabase::addColumn(std::string_view table, std::string_view column,
                           std::string_view declaredType) {
    ensureWritable("Cannot add the column " + std::string(column));
    const std::string name(table);
    int code = 0;
    std::vector<PgStatement> statements{{"ALTER TABLE " + QuoteIdentifier(table) +
                                             " ADD COLUMN IF NOT EXISTS " +
                                             columnDefinition(column, declaredType, &code),
                                         {}}};
    if (code) {
        ensureCatalog();
        statements.push_back({"INSERT INTO " + QuoteIdentifier(kColumnTypesTable) +
                                  " (table_name, column_name, type_code) VALUES ($1, $2, $3) ON "
                                  "CONFLICT DO NOTHING",
                              {name, std::string(column), std::to_string(code)}});
    }
    session_.alterNow(statements, name);
    infoCache_.erase(name);
}

void PgDatabase::dropColumn(std::string_view table, std::string_view column) {
    ensureWritable("Cannot delete the column " + std::string(column));
    const std::string name(table);
    std::vector<PgStatement> statements{
        {"ALTER TABLE " + QuoteIdentifier(table) + " DROP COLUMN " + QuoteIdentifier(column), {}}};
    if (catalogExists())
        statements.push_back({"DELETE FROM " + QuoteIdentifier(kColumnTypesTable) +
                                  " WHERE table_name = $1 AND column_name = $2",
                              {name, std::string(column)}});
    session_.alterNow(statements, name);
    infoCache_.erase(name);
}

// A session-level advisory lock of the database, keyed by the name; the server drops it when
// the session ends, however it ends.
bool PgDatabase::tryHoldRun(std::string_view name) {
    PgResult r = session_.query("SELECT pg_try_advisory_lock(hashtextextended($1, 0))",
                                {std::string(name)}, "");
    return r.rows() > 0 && r.text(0, 0) == "t";
}

void PgDatabase::waitToHoldRun(std::string_view name) {
    while (!tryHoldRun(name)) std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

void PgDatabase::setColumnOfAllRows(std::string_view table, std::string_view column,
                                    const Value& value) {
    ensureWritable("Cannot change the column " + std::string(column));
    // Rows that hold the value already are left as they are: no new versions of them.
    const std::string quoted = QuoteIdentifier(column);
    session_.write("UPDATE " + QuoteIdentifier(table) + " SET " + quoted + " = $1 WHERE " + quoted +
                       " IS DISTINCT FROM $1",
                   {ParamText(value)}, std::string(table));
}

std::unique_ptr<Cursor> PgDatabase::openTable(std::string_view table, std::string_view index,
                                              CursorMode mode) {
    return OpenCursor<PgCursor>(*this, table, index, mode);
}

}  // namespace pel::db
