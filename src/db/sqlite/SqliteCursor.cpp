#include "db/sqlite/SqliteCursor.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>

#include "core/AsciiCase.h"
#include "db/TypeCodes.h"
#include "db/sqlite/SqliteDatabase.h"

namespace pel::db {

namespace {

Value ReadColumn(sqlite3_stmt* st, int column) {
    switch (sqlite3_column_type(st, column)) {
        case SQLITE_NULL:
            return Value::null();
        case SQLITE_INTEGER:
            return Value::integer(sqlite3_column_int64(st, column));
        case SQLITE_FLOAT:
            return Value::real(sqlite3_column_double(st, column));
        default: {
            const unsigned char* t = sqlite3_column_text(st, column);
            int n = sqlite3_column_bytes(st, column);
            return Value::text(
                t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(n))
                  : std::string());
        }
    }
}

// Rows a seek steps over before it starts a search of its own instead.
constexpr int kMostScanSteps = 4;

}  // namespace

SqliteCursor::SqliteCursor(SqliteDatabase& db, TableInfo table, IndexInfo index, CursorMode mode)
    : db_(db),
      table_(std::move(table)),
      index_(std::move(index)),
      mode_(mode),
      edit_(table_.columns.size()) {
    const std::string quotedTable = QuoteIdentifier(table_.name);
    // A table with as many columns as SQLite allows in a result is still read, without its
    // rowid: walked and searched, but not changed.
    const auto columnLimit =
        static_cast<std::size_t>(sqlite3_limit(db_.handle(), SQLITE_LIMIT_COLUMN, -1));
    if (table_.columns.size() >= columnLimit) {
        firstColumn_ = 0;
        if (mode_ == CursorMode::Updating)
            throw DbError(DbError::Kind::Other,
                          "Cannot change the table " + table_.name + ": it has " +
                              std::to_string(table_.columns.size()) +
                              " columns, too many to be changed here (it can still be read)");
    }
    if (firstColumn_ > 0) selectList_ = "rowid";
    for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        if (!selectList_.empty()) selectList_ += ", ";
        selectList_ += QuoteIdentifier(table_.columns[i].name);
        byUpperName_.emplace(ToUpperAscii(table_.columns[i].name), static_cast<int>(i));
    }
    // Text keys sort without regard to case, numbers by value; ties by NAME.
    for (const auto& c : index_.columns) {
        if (!orderBy_.empty()) orderBy_ += ", ";
        orderBy_ += QuoteIdentifier(c) + " COLLATE NOCASE";
    }
    if (table_.columnIndex("NAME") >= 0) {
        if (!orderBy_.empty()) orderBy_ += ", ";
        orderBy_ += "\"NAME\" COLLATE NOCASE, \"NAME\"";
    }
    if (orderBy_.empty()) orderBy_ = "rowid";
    keyColumn_ = index_.columns.empty() ? std::string("NAME") : index_.columns.front();

    // A key index kept without regard to case serves the case-blind seek directly; an index of
    // the file's own making in binary order is tried exactly first.
    sqlite3_stmt* coll =
        db_.prepare("SELECT coll FROM pragma_index_xinfo(?1) WHERE key = 1 ORDER BY seqno LIMIT 1");
    const std::string fullIndex = table_.name + "." + index_.name;
    sqlite3_bind_text(coll, 1, fullIndex.data(), static_cast<int>(fullIndex.size()),
                      SQLITE_TRANSIENT);
    if (sqlite3_step(coll) == SQLITE_ROW) {
        const unsigned char* c = sqlite3_column_text(coll, 0);
        keyIgnoresCase_ = c && EqualsIgnoreCase(reinterpret_cast<const char*>(c), "NOCASE");
    }
    sqlite3_finalize(coll);

    walk_ = db_.prepare("SELECT " + selectList_ + " FROM " + quotedTable + " ORDER BY " + orderBy_);
    const std::string key = QuoteIdentifier(keyColumn_);
    seekNoCase_ = db_.prepare("SELECT " + selectList_ + " FROM " + quotedTable + " WHERE " + key +
                              " = ?1 COLLATE NOCASE ORDER BY " + orderBy_ + " LIMIT 1");
    if (!keyIgnoresCase_)
        seekExact_ = db_.prepare("SELECT " + selectList_ + " FROM " + quotedTable + " WHERE " +
                                 key + " = ?1 ORDER BY " + orderBy_ + " LIMIT 1");
    // A key of text affinity compares as text with a text key, in the order CompareIgnoringCase
    // gives: only then can a seek step along the index.
    const int keyField = table_.columnIndex(keyColumn_);
    if (keyField >= 0 &&
        HasTextAffinity(table_.columns[static_cast<std::size_t>(keyField)].declaredType))
        keyField_ = keyField;
    if (keyIgnoresCase_ && keyField_ >= 0) {
        scanKey_ = keyField + firstColumn_;
        scan_ = db_.prepare("SELECT " + selectList_ + " FROM " + quotedTable + " WHERE " + key +
                            " >= ?1 COLLATE NOCASE ORDER BY " + orderBy_);
    }
    // Read before the table is found empty: a row another program adds after it changes it.
    const std::int64_t version =
        mode_ == CursorMode::Updating && keyField_ >= 0 ? db_.dataVersion() : 0;
    moveFirst();
    if (empty_ && mode_ == CursorMode::Updating && keyField_ >= 0) {
        filterKeys_ = db_.keyFilter().start(table_.name, keyColumn_, db_.changes());
        filterVersion_ = version;
    }
}

SqliteCursor::~SqliteCursor() {
    for (auto& [k, st] : inserts_) sqlite3_finalize(st);
    for (auto& [k, st] : updates_) sqlite3_finalize(st);
    sqlite3_finalize(walk_);
    sqlite3_finalize(seekExact_);
    sqlite3_finalize(seekNoCase_);
    sqlite3_finalize(scan_);
}

int SqliteCursor::fieldIndex(std::string_view name) const {
    auto it = byUpperName_.find(ToUpperAscii(name));
    return it == byUpperName_.end() ? -1 : it->second;
}

sqlite3_stmt* SqliteCursor::currentStatement() const {
    switch (source_) {
        case Source::Walk:
            return walk_;
        case Source::Seek:
            return seekHit_;
        default:
            return nullptr;
    }
}

std::int64_t SqliteCursor::currentRowid() const {
    if (source_ == Source::Inserted) return insertedRowid_;
    if (firstColumn_ == 0)
        throw DbError(DbError::Kind::Other, "Cannot go on from a found row of " + table_.name +
                                                ": it has too many columns");
    sqlite3_stmt* st = currentStatement();
    return st ? sqlite3_column_int64(st, 0) : 0;
}

std::optional<std::int64_t> SqliteCursor::rowNumber() const {
    if (firstColumn_ == 0 || source_ == Source::None) return std::nullopt;
    return currentRowid();
}

Value SqliteCursor::value(int i) const {
    if (const Value* shown = edit_.shown(i)) return *shown;
    sqlite3_stmt* st = currentStatement();
    if (!st) {
        if (source_ == Source::Inserted) return Value::null();
        throw DbError(DbError::Kind::Other, "No current row in " + table_.name);
    }
    return ReadColumn(st, i + firstColumn_);
}

std::string_view SqliteCursor::storedText(sqlite3_stmt* st, int i, std::string& scratch) const {
    // The column's value is fetched once and read through it: one thread uses the connection,
    // so the unprotected value may be read (each column_ call would find it again). Text and no
    // value are SQLite's own, a plain whole number is written into `scratch`.
    sqlite3_value* v = sqlite3_column_value(st, i + firstColumn_);
    switch (sqlite3_value_type(v)) {
        case SQLITE_TEXT: {
            const unsigned char* t = sqlite3_value_text(v);
            if (!t) break;
            return {reinterpret_cast<const char*>(t),
                    static_cast<std::size_t>(sqlite3_value_bytes(v))};
        }
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            if (const int type = field(i).type; type != kBoolean && !IsFloatingType(type)) {
                char digits[24];
                const auto end =
                    std::to_chars(digits, digits + sizeof digits, sqlite3_value_int64(v)).ptr;
                scratch.assign(digits, end);
                return scratch;
            }
            break;
        default:
            break;
    }
    Cursor::valueText(i, scratch);
    return scratch;
}

void SqliteCursor::valueText(int i, std::string& out) const {
    const std::string_view text = valueView(i, out);
    if (text.data() != out.data()) out.assign(text);
}

std::string_view SqliteCursor::valueView(int i, std::string& scratch) const {
    sqlite3_stmt* st = edit_.shown(i) ? nullptr : currentStatement();
    if (st) return storedText(st, i, scratch);
    Cursor::valueText(i, scratch);
    return scratch;
}

void SqliteCursor::rowTexts(std::vector<std::string_view>& texts,
                            std::vector<std::string>& storage) const {
    sqlite3_stmt* st = currentStatement();
    if (!st || !edit_.showsStored()) return Cursor::rowTexts(texts, storage);
    const std::size_t count = table_.columns.size();
    texts.resize(count);
    storage.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        texts[i] = storedText(st, static_cast<int>(i), storage[i]);
}

bool SqliteCursor::stepWalk() {
    int rc = sqlite3_step(walk_);
    if (rc == SQLITE_ROW) {
        source_ = Source::Walk;
        return true;
    }
    source_ = Source::None;
    sqlite3_reset(walk_);
    if (rc != SQLITE_DONE) db_.fail(rc, "Cannot read the table " + table_.name);
    return false;
}

void SqliteCursor::leaveRow() {
    if (edit_.editing()) update();
    edit_.leaveRow();
}

void SqliteCursor::releaseSeekHit() {
    if (!seekHit_) return;
    if (seekHit_ == scan_) scanLive_ = false;
    sqlite3_reset(seekHit_);
    seekHit_ = nullptr;
}

void SqliteCursor::releaseScan() {
    sqlite3_reset(scan_);
    scanLive_ = false;
}

void SqliteCursor::moveFirst() {
    leaveRow();
    releaseSeekHit();
    sqlite3_reset(walk_);
    empty_ = !stepWalk();
}

void SqliteCursor::moveNext() {
    if (source_ == Source::None) return;
    if (source_ == Source::Walk) {
        leaveRow();
        stepWalk();
        return;
    }
    const std::int64_t from = currentRowid();
    leaveRow();
    // After a seek or an insert: go on from that row in index order.
    releaseSeekHit();
    sqlite3_reset(walk_);
    while (stepWalk())
        if (sqlite3_column_int64(walk_, 0) == from) break;
    if (source_ == Source::Walk) stepWalk();
}

// Whether `key` has a row, told from where the scan stands; none when it cannot tell.
std::optional<bool> SqliteCursor::seekAlong(std::string_view key) {
    if (!scanLive_ || scanEpoch_ != db_.searchEpoch() ||
        scanChanges_ != sqlite3_total_changes64(db_.handle()))
        return std::nullopt;
    const int fromFloor = CompareIgnoringCase(key, scanFloor_);
    if (fromFloor < 0 || (fromFloor == 0 && floorPassed_)) return std::nullopt;
    for (int steps = 0;; ++steps) {
        const int toRow = CompareIgnoringCase(key, ColumnView(scan_, scanKey_));
        if (toRow <= 0) return toRow == 0;
        if (steps == kMostScanSteps) return std::nullopt;
        scanFloor_.assign(ColumnView(scan_, scanKey_));
        floorPassed_ = true;
        const int rc = sqlite3_step(scan_);
        if (rc != SQLITE_ROW || sqlite3_column_type(scan_, scanKey_) != SQLITE_TEXT) {
            scanLive_ = false;
            sqlite3_reset(scan_);
            if (rc == SQLITE_DONE) return false;  // no row after the floor, below the key
            if (rc != SQLITE_ROW) db_.fail(rc, "Cannot search the table " + table_.name);
            return std::nullopt;
        }
    }
}

// Starts the scan at `key`; false when its first row's key is no text (a plain search tells).
bool SqliteCursor::restartScan(std::string_view key) {
    sqlite3_reset(scan_);
    sqlite3_bind_text(scan_, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(scan_);
    scanLive_ = rc == SQLITE_ROW && sqlite3_column_type(scan_, scanKey_) == SQLITE_TEXT;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        sqlite3_reset(scan_);
        db_.fail(rc, "Cannot search the table " + table_.name);
    }
    if (!scanLive_) {
        sqlite3_reset(scan_);
        return rc == SQLITE_DONE;
    }
    scanFloor_.assign(key);
    floorPassed_ = false;
    scanEpoch_ = db_.searchEpoch();
    scanChanges_ = sqlite3_total_changes64(db_.handle());
    return true;
}

bool SqliteCursor::seek(std::string_view key) {
    leaveRow();
    if (seekHit_ == scan_)
        seekHit_ = nullptr;  // the scan goes on from its row
    else
        releaseSeekHit();
    sqlite3_reset(walk_);
    // The scan serves searches that share a read transaction; a key holding a NUL is left to a
    // search (NOCASE stops at a NUL both texts hold, which the scan's comparison does not). A
    // scan that cannot go on is let go before the search renews the transaction, so that the
    // renewal lets other programs' writes in as it did before.
    const bool scanning =
        scan_ && db_.searchesGrouped() && key.find('\0') == std::string_view::npos;
    if (scanLive_ && (!scanning || scanEpoch_ != db_.searchEpoch() || db_.searchRenewalDue()))
        releaseScan();
    db_.beginSearch();
    if (filterKeys_ && knownAbsent(key)) {
        source_ = Source::None;
        return false;
    }
    if (scanning) {
        std::optional<bool> found = seekAlong(key);
        if (!found && restartScan(key)) found = scanLive_ ? seekAlong(key) : false;
        if (found) {
            source_ = *found ? Source::Seek : Source::None;
            if (*found) seekHit_ = scan_;
            return *found;
        }
    }
    auto tryStatement = [&](sqlite3_stmt* st) {
        sqlite3_reset(st);
        sqlite3_bind_text(st, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
        int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            seekHit_ = st;
            source_ = Source::Seek;
            return true;
        }
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) db_.fail(rc, "Cannot search the table " + table_.name);
        return false;
    };
    if (seekExact_ && tryStatement(seekExact_)) return true;
    if (tryStatement(seekNoCase_)) return true;
    source_ = Source::None;
    return false;
}

bool SqliteCursor::knownAbsent(std::string_view key) {
    const std::optional<std::int64_t> version = db_.writeGroupVersion();
    if (!version) return false;
    if (*version != filterVersion_ || !db_.keyFilter().holds(db_.changes())) {
        filterKeys_ = nullptr;
        return false;
    }
    // NOCASE stops at a NUL both texts hold, which the filter's folding does not.
    if (key.find('\0') != std::string_view::npos || db_.keyFilter().mayHold(*filterKeys_, key))
        return false;
    db_.keyFilter().prefetch(*filterKeys_, key);
    return true;
}

std::int64_t SqliteCursor::recordCount() {
    sqlite3_stmt* st = db_.cachedStatement("SELECT count(*) FROM " + QuoteIdentifier(table_.name));
    int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW) db_.fail(rc, "Cannot count the rows of " + table_.name);
    std::int64_t n = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    return n;
}

void SqliteCursor::addNew() {
    RequireUpdating(mode_, "Cannot add a row", table_.name);
    leaveRow();
    edit_.startAdding();
}

void SqliteCursor::setValue(int i, Value v) {
    RequireUpdating(mode_, "Cannot change a value", table_.name);
    edit_.assign(i, std::move(v), table_.name, source_ != Source::None);
}

void SqliteCursor::setText(int i, std::string_view text) {
    RequireUpdating(mode_, "Cannot change a value", table_.name);
    edit_.assignText(i, text, table_.name, source_ != Source::None);
}

sqlite3_stmt* SqliteCursor::writeStatement(bool insert) {
    auto& cache = insert ? inserts_ : updates_;
    const std::vector<int>& assigned = edit_.assignedColumns();
    if (auto it = cache.find(assigned); it != cache.end()) {
        sqlite3_reset(it->second);
        return it->second;
    }
    std::string sql;
    const std::string table = QuoteIdentifier(table_.name);
    if (insert) {
        std::string names, params;
        for (std::size_t n = 0; n < assigned.size(); ++n) {
            if (n) names += ", ", params += ", ";
            names += QuoteIdentifier(table_.columns[static_cast<std::size_t>(assigned[n])].name);
            params += "?" + std::to_string(n + 1);
        }
        sql = assigned.empty()
                  ? "INSERT INTO " + table + " DEFAULT VALUES"
                  : "INSERT INTO " + table + " (" + names + ") VALUES (" + params + ")";
    } else {
        sql = "UPDATE " + table + " SET ";
        for (std::size_t n = 0; n < assigned.size(); ++n) {
            if (n) sql += ", ";
            sql += QuoteIdentifier(table_.columns[static_cast<std::size_t>(assigned[n])].name) +
                   " = ?" + std::to_string(n + 1);
        }
        sql += " WHERE rowid = ?" + std::to_string(assigned.size() + 1);
    }
    sqlite3_stmt* st = db_.prepare(sql);
    cache.emplace(assigned, st);
    return st;
}

void SqliteCursor::bindPending(sqlite3_stmt* st, int first) {
    int p = first;
    for (int i : edit_.assignedColumns()) BindValue(st, p++, edit_.pending(i));
}

void SqliteCursor::update() {
    RequireUpdating(mode_, "Cannot save a row", table_.name);
    if (!edit_.editing()) return;
    const bool insert = edit_.adding();
    // A value equal to the stored one needs no writing; a row with nothing new none at all.
    if (!insert && !edit_.keepChanges([&](int i) {
            return !currentStatement() || !edit_.storedIsCurrent(i) ||
                   !(ReadColumn(currentStatement(), i + firstColumn_) == edit_.pending(i));
        }))
        return;
    const std::int64_t rowid = insert ? 0 : currentRowid();
    // A change that leaves every key as it was leaves the scan's order standing.
    const auto& assigned = edit_.assignedColumns();
    const bool scanStands =
        !insert && scanChanges_ == sqlite3_total_changes64(db_.handle()) &&
        std::find(assigned.begin(), assigned.end(), scanKey_ - firstColumn_) == assigned.end();
    // A scan the write ends is let go now: SQLite would otherwise keep its place through the write.
    if (!scanStands && scanLive_ && seekHit_ != scan_) releaseScan();
    db_.beginWrite();
    const bool keyed = filterKeys_ && db_.keyFilter().holds(db_.changes());
    if (keyed) {
        const bool keySet =
            std::find(assigned.begin(), assigned.end(), keyField_) != assigned.end();
        db_.keyFilter().beforeWrite(*filterKeys_, keySet ? &edit_.pending(keyField_) : nullptr,
                                    db_.changes());
    }
    sqlite3_stmt* st = writeStatement(insert);
    bindPending(st, 1);
    if (!insert)
        sqlite3_bind_int64(st, static_cast<int>(edit_.assignedColumns().size()) + 1, rowid);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);  // its parameters are all bound again before it next runs
    if (rc != SQLITE_DONE) {
        cancelUpdate();
        db_.fail(rc, std::string(insert ? "Cannot add a row to " : "Cannot change a row of ") +
                         table_.name);
    }
    if (keyed) db_.keyFilter().afterWrite(db_.changes());
    if (scanStands) scanChanges_ = sqlite3_total_changes64(db_.handle());
    // The written values stay visible on the current row until the cursor moves.
    edit_.written();
    if (insert) {
        insertedRowid_ = sqlite3_last_insert_rowid(db_.handle());
        releaseSeekHit();
        source_ = Source::Inserted;
    }
}

void SqliteCursor::cancelUpdate() {
    edit_.cancel();
}

}  // namespace pel::db
