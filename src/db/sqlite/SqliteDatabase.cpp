#include "db/sqlite/SqliteDatabase.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "db/CursorTarget.h"
#include "db/TypeCodes.h"
#include "db/sqlite/SqliteCursor.h"

namespace pel::db {

namespace {

constexpr int kBusyTimeoutMs = 5000;

// One thread uses the library: its memory statistics would only cost a lock per allocation.
void ConfigureLibraryOnce() {
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
}
constexpr auto kCommitInterval = std::chrono::milliseconds(100);

// A declared type goes into SQL text, so it may hold letters, digits and blanks only
// ("TEXT NOT NULL COLLATE NOCASE").
void CheckDeclaredType(std::string_view declared) {
    for (char c : declared)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == ' '))
            throw DbError(DbError::Kind::Other,
                          "Unsupported column type \"" + std::string(declared) + "\"");
}

std::string ColumnText(sqlite3_stmt* st, int i) {
    return std::string(ColumnView(st, i));
}

// What an I/O error of the file system was, in the words of the step that failed.
std::string IoFailure(int rc, const std::string& path, const std::string& detail) {
    switch (rc) {
        case SQLITE_IOERR_WRITE:
            return "writing to " + path + " failed (" + detail + ")";
        case SQLITE_IOERR_FSYNC:
        case SQLITE_IOERR_DIR_FSYNC:
            return "saving " + path + " to the disk (sync) failed (" + detail + ")";
        case SQLITE_IOERR_LOCK:
        case SQLITE_IOERR_RDLOCK:
        case SQLITE_IOERR_UNLOCK:
        case SQLITE_IOERR_CHECKRESERVEDLOCK:
            return "locking " + path + " failed (" + detail + ")";
        default:
            return detail + " on " + path;
    }
}

}  // namespace

SqliteDatabase::SqliteDatabase(sqlite3* db, std::string path, bool readOnly)
    : db_(db), path_(std::move(path)), readOnly_(readOnly) {}

SqliteDatabase::~SqliteDatabase() {
    // Completed points are saved: whatever the transaction holds is committed.
    if (inTransaction_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    finalizeCache();
    sqlite3_close_v2(db_);
}

std::string_view ColumnView(sqlite3_stmt* st, int column) {
    const unsigned char* t = sqlite3_column_text(st, column);
    return t ? std::string_view(reinterpret_cast<const char*>(t),
                                static_cast<std::size_t>(sqlite3_column_bytes(st, column)))
             : std::string_view();
}

void BindValue(sqlite3_stmt* st, int place, const Value& value) {
    BindValue(st, place, ValueView::of(value));
}

void BindValue(sqlite3_stmt* st, int place, const ValueView& value) {
    switch (value.kind) {
        case Value::Kind::Null:
            sqlite3_bind_null(st, place);
            break;
        case Value::Kind::Integer:
            sqlite3_bind_int64(st, place, value.integer);
            break;
        case Value::Kind::Real:
            sqlite3_bind_double(st, place, value.real);
            break;
        case Value::Kind::Text:
            sqlite3_bind_text(st, place, value.text.data(), static_cast<int>(value.text.size()),
                              SQLITE_STATIC);
            break;
    }
}

void SqliteDatabase::finalizeCache() {
    for (auto& [sql, st] : cache_) sqlite3_finalize(st);
    cache_.clear();
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const std::string& path, bool forWriting) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw DbError(DbError::Kind::NotFound, "The database " + path + " does not exist");
    if (S_ISDIR(info.st_mode))
        throw DbError(DbError::Kind::NotADatabase, path + " is a folder, not a database");
    ConfigureLibraryOnce();
    bool readOnly = !forWriting;
    // The mode bits count for every user: root may write anything, but a file made read-only
    // (0444) is one its owner wants left alone.
    if (forWriting && (::access(path.c_str(), W_OK) != 0 || (info.st_mode & 0222) == 0))
        throw DbError(DbError::Kind::ReadOnly,
                      "The database " + path + " is read-only: it cannot be changed");
    sqlite3* db = nullptr;
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    std::unique_ptr<SqliteDatabase> self(new SqliteDatabase(db, path, readOnly));
    if (rc != SQLITE_OK) self->fail(rc, "Cannot open the database " + path);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    // Reading the schema tells a database from any other file.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) self->fail(rc, "Cannot open the database " + path);
    if (!readOnly && sqlite3_db_readonly(db, "main") == 1)
        throw DbError(DbError::Kind::ReadOnly,
                      "The database " + path + " is read-only: it cannot be changed");
    return self;
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::createNew(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        throw DbError(DbError::Kind::Other, "A file " + path + " exists already; it is left alone");
    ConfigureLibraryOnce();
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<SqliteDatabase> self(new SqliteDatabase(db, path, false));
    if (rc != SQLITE_OK) self->fail(rc, "Cannot create the database " + path);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    return self;
}

void SqliteDatabase::fail(int rc, const std::string& what) const {
    const int primary = rc & 0xFF;
    std::string detail = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    switch (primary) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw DbError(DbError::Kind::Locked,
                          what + ": " + path_ + " is locked by another program");
        case SQLITE_NOTADB:
            throw DbError(DbError::Kind::NotADatabase, what + ": " + path_ + " is not a database");
        case SQLITE_CORRUPT:
            throw DbError(DbError::Kind::NotADatabase,
                          what + ": " + path_ + " is damaged (" + detail + ")");
        case SQLITE_READONLY:
            if (rc == SQLITE_READONLY_DBMOVED)
                throw DbError(DbError::Kind::Io, what + ": the database " + path_ +
                                                     " was deleted or moved while in use");
            throw DbError(DbError::Kind::ReadOnly,
                          what + ": " + path_ + " is read-only (" + detail + ")");
        case SQLITE_CANTOPEN:
            throw DbError(DbError::Kind::NotFound,
                          what + ": cannot open " + path_ + " (" + detail + ")");
        case SQLITE_FULL:
            throw DbError(DbError::Kind::Io, what + ": the disk holding " + path_ + " is full");
        case SQLITE_IOERR:
            throw DbError(DbError::Kind::Io, what + ": " + IoFailure(rc, path_, detail));
        case SQLITE_CONSTRAINT:
        case SQLITE_TOOBIG:
        case SQLITE_MISMATCH:
            throw DbError(DbError::Kind::DoesNotFit, what + ": " + detail);
        default:
            throw DbError(DbError::Kind::Other, what + ": " + detail);
    }
}

void SqliteDatabase::ensureWritable(std::string_view what) const {
    if (readOnly_)
        throw DbError(DbError::Kind::ReadOnly,
                      std::string(what) + ": the database " + path_ + " is open for reading only");
}

sqlite3_stmt* SqliteDatabase::prepare(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr);
    if (rc != SQLITE_OK) fail(rc, "Cannot read the database");
    return st;
}

sqlite3_stmt* SqliteDatabase::cachedStatement(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it != cache_.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
    }
    sqlite3_stmt* st = prepare(sql);
    cache_.emplace(sql, st);
    return st;
}

void SqliteDatabase::exec(const std::string& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) fail(rc, "Cannot change the database");
}

void SqliteDatabase::beginWrite() {
    ensureWritable("Cannot write");
    if (inTransaction_ && writing_ && !sqlite3_get_autocommit(db_)) return;
    endTransaction();  // a read transaction cannot be sure of the write lock; IMMEDIATE can
    // IMMEDIATE takes the write lock now, so a busy database is reported before any point.
    exec("BEGIN IMMEDIATE");
    inTransaction_ = true;
    writing_ = true;
    groupVersion_.reset();
    transactionStart_ = std::chrono::steady_clock::now();
}

void SqliteDatabase::beginSearch() {
    if (!searchesGrouped_) {
        ++searchEpoch_;
        return;
    }
    if (inTransaction_) {
        if (!searchRenewalDue()) return;
        endTransaction();
    }
    exec("BEGIN");
    inTransaction_ = true;
    writing_ = false;
    transactionStart_ = std::chrono::steady_clock::now();
}

std::int64_t SqliteDatabase::dataVersion() {
    sqlite3_stmt* st = cachedStatement("PRAGMA data_version");
    const int rc = sqlite3_step(st);
    const std::int64_t version = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    if (rc != SQLITE_ROW) fail(rc, "Cannot read the database");
    return version;
}

std::int64_t SqliteDatabase::changes() const {
    return sqlite3_total_changes64(db_);
}

std::optional<std::int64_t> SqliteDatabase::writeGroupVersion() {
    if (!inTransaction_ || !writing_ || sqlite3_get_autocommit(db_)) return std::nullopt;
    if (!groupVersion_) groupVersion_ = dataVersion();
    return groupVersion_;
}

bool SqliteDatabase::searchRenewalDue() const {
    return inTransaction_ && !writing_ &&
           std::chrono::steady_clock::now() - transactionStart_ >= kCommitInterval;
}

void SqliteDatabase::pointSaved() {
    if (inTransaction_ && std::chrono::steady_clock::now() - transactionStart_ >= kCommitInterval)
        endTransaction();
}

void SqliteDatabase::commit() {
    searchesGrouped_ = false;
    endTransaction();
}

void SqliteDatabase::endTransaction() {
    if (!inTransaction_) return;
    ++searchEpoch_;
    if (sqlite3_get_autocommit(db_)) {  // SQLite already ended it after an error
        inTransaction_ = false;
        if (writing_)
            throw DbError(DbError::Kind::Io, "The database " + path_ +
                                                 " undid the changes since they were last saved");
        return;
    }
    exec("COMMIT");
    inTransaction_ = false;
    if (writing_) ++commits_;
}

std::vector<std::string> SqliteDatabase::tableNames() {
    sqlite3_stmt* st = cachedStatement(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' ORDER BY rowid");
    std::vector<std::string> names;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) names.push_back(ColumnText(st, 0));
    if (rc != SQLITE_DONE) fail(rc, "Cannot read the tables of the database");
    sqlite3_reset(st);
    return names;
}

std::optional<TableInfo> SqliteDatabase::tableInfo(std::string_view table) {
    std::string key(table);
    if (auto it = infoCache_.find(key); it != infoCache_.end()) return it->second;
    // The exact name: SQLite itself would match table names without regard to case.
    sqlite3_stmt* st =
        cachedStatement("SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ?1");
    sqlite3_bind_text(st, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    int rc = sqlite3_step(st);
    bool found = false;
    while (rc == SQLITE_ROW) {
        if (ColumnText(st, 0) == key) found = true;
        rc = sqlite3_step(st);
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) fail(rc, "Cannot read the tables of the database");
    if (!found) return std::nullopt;

    TableInfo info;
    info.name = key;
    st = cachedStatement("SELECT name, type FROM pragma_table_info(?1) ORDER BY cid");
    sqlite3_bind_text(st, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ColumnInfo c;
        c.name = ColumnText(st, 0);
        c.declaredType = ColumnText(st, 1);
        c.type = TypeCodeFromDeclaredType(c.declaredType);
        info.columns.push_back(std::move(c));
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) fail(rc, "Cannot read the columns of " + key);

    // Our indexes are named "T.N"; others (SQLite's own) are not the program's.
    std::vector<std::pair<std::string, bool>> indexNames;
    st = cachedStatement("SELECT name, \"unique\" FROM pragma_index_list(?1) ORDER BY seq DESC");
    sqlite3_bind_text(st, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        indexNames.emplace_back(ColumnText(st, 0), sqlite3_column_int(st, 1) != 0);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) fail(rc, "Cannot read the indexes of " + key);
    std::sort(indexNames.begin(), indexNames.end());
    const std::string prefix = key + ".";
    for (auto& [full, unique] : indexNames) {
        if (full.size() <= prefix.size() || full.compare(0, prefix.size(), prefix) != 0) continue;
        IndexInfo idx;
        idx.name = full.substr(prefix.size());
        idx.unique = unique;
        st = cachedStatement("SELECT name FROM pragma_index_info(?1) ORDER BY seqno");
        sqlite3_bind_text(st, 1, full.data(), static_cast<int>(full.size()), SQLITE_TRANSIENT);
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) idx.columns.push_back(ColumnText(st, 0));
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) fail(rc, "Cannot read the index " + full);
        info.indexes.push_back(std::move(idx));
    }
    infoCache_[key] = info;
    return info;
}

void SqliteDatabase::addColumn(std::string_view table, std::string_view column,
                               std::string_view declaredType) {
    ensureWritable("Cannot add the column " + std::string(column));
    CheckDeclaredType(declaredType);
    beginWrite();
    exec("ALTER TABLE " + QuoteIdentifier(table) + " ADD COLUMN " + QuoteIdentifier(column) + " " +
         std::string(declaredType));
    infoCache_.erase(std::string(table));
}

void SqliteDatabase::dropColumn(std::string_view table, std::string_view column) {
    ensureWritable("Cannot delete the column " + std::string(column));
    beginWrite();
    exec("ALTER TABLE " + QuoteIdentifier(table) + " DROP COLUMN " + QuoteIdentifier(column));
    commit();
    infoCache_.erase(std::string(table));
}

void SqliteDatabase::createTable(std::string_view table, const std::vector<ColumnInfo>& columns) {
    ensureWritable("Cannot create the table " + std::string(table));
    std::string sql = "CREATE TABLE " + QuoteIdentifier(table) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        CheckDeclaredType(columns[i].declaredType);
        if (i) sql += ", ";
        sql += QuoteIdentifier(columns[i].name);
        if (!columns[i].declaredType.empty()) sql += " " + columns[i].declaredType;
    }
    sql += ")";
    beginWrite();
    exec(sql);
    infoCache_.erase(std::string(table));
}

void SqliteDatabase::createIndex(std::string_view table, const IndexInfo& index) {
    ensureWritable("Cannot create the index " + index.name);
    std::string sql = std::string(index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                      QuoteIdentifier(std::string(table) + "." + index.name) + " ON " +
                      QuoteIdentifier(table) + " (";
    for (std::size_t i = 0; i < index.columns.size(); ++i) {
        if (i) sql += ", ";
        sql += QuoteIdentifier(index.columns[i]);
    }
    sql += ")";
    beginWrite();
    exec(sql);
    infoCache_.erase(std::string(table));
}

void SqliteDatabase::setColumnOfAllRows(std::string_view table, std::string_view column,
                                        const Value& value) {
    ensureWritable("Cannot change the column " + std::string(column));
    beginWrite();
    sqlite3_stmt* st = cachedStatement("UPDATE " + QuoteIdentifier(table) + " SET " +
                                       QuoteIdentifier(column) + " = ?1");
    BindValue(st, 1, value);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    if (rc != SQLITE_DONE)
        fail(rc, "Cannot change the column " + std::string(column) + " of " + std::string(table));
}

std::unique_ptr<Cursor> SqliteDatabase::openTable(std::string_view table, std::string_view index,
                                                  CursorMode mode) {
    return OpenCursor<SqliteCursor>(*this, table, index, mode);
}

std::unique_ptr<Cursor> SqliteDatabase::openColumns(std::string_view table, std::string_view index,
                                                    CursorMode mode,
                                                    const std::vector<std::string>& columns) {
    // A row read copies every column it returns: a walk that needs four of thirty reads four.
    CursorTarget target = FindCursorTarget(*this, table, index, mode);
    std::erase_if(target.table.columns, [&](const ColumnInfo& c) {
        return std::none_of(columns.begin(), columns.end(), [&](const std::string& name) {
            return EqualsIgnoreCase(name, c.name);
        });
    });
    return std::make_unique<SqliteCursor>(*this, std::move(target.table), std::move(target.index),
                                          mode);
}

}  // namespace pel::db
