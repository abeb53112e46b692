#include "db/postgres/PgCursor.h"

#include <algorithm>
#include <optional>

#include "db/ColumnConversion.h"
#include "db/SqlIdentifier.h"
#include "db/postgres/PgDatabase.h"
#include "db/postgres/PgSql.h"

namespace pel::db {

namespace {
std::string FoldedName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}
}  // namespace

PgCursor::PgCursor(PgDatabase& db, TableInfo table, IndexInfo index, CursorMode mode)
    : session_(db.session()),
      table_(std::move(table)),
      index_(std::move(index)),
      mode_(mode),
      edit_(table_.columns.size()) {
    const std::string quotedTable = QuoteIdentifier(table_.name);
    nameColumn_ = table_.columnIndex("NAME");
    if (const IndexInfo* primary = table_.index("PrimaryKey"))
        byName_ = nameColumn_ >= 0 && primary->unique && primary->columns.size() == 1 &&
                  primary->columns.front() == "NAME";
    // A row's place is read only where no name finds the row again.
    std::string selectList = byName_ ? "NULL" : "ctid";
    for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        selectList += ", " + QuoteIdentifier(table_.columns[i].name);
        byUpperName_.emplace(ToUpperAscii(table_.columns[i].name), static_cast<int>(i));
    }
    const std::string orderBy = OrderByClause(table_, index_);
    // In the order of names unique without regard to case the rows are sorted here: the server
    // reads the table through its index several times slower than straight.
    ordersWalk_ = byName_ && index_.unique && index_.columns == std::vector<std::string>{"NAME"};
    walkSql_ = "SELECT " + selectList + " FROM " + quotedTable + (ordersWalk_ ? "" : orderBy);
    const std::string keyColumn = index_.columns.empty() ? "NAME" : index_.columns.front();
    const int keyAt = table_.columnIndex(keyColumn);
    const bool textKey =
        keyAt < 0 || IsTextType(table_.columns[static_cast<std::size_t>(keyAt)].type);
    const std::string key = QuoteIdentifier(keyColumn);
    const std::string match =
        textKey ? Folded(key) + " COLLATE \"C\" = " + Folded("$1") : key + "::text = $1";
    seekSql_ =
        "SELECT " + selectList + " FROM " + quotedTable + " WHERE " + match + orderBy + " LIMIT 1";
    countSql_ = "SELECT count(*) FROM " + quotedTable;
    seeksInSnapshot_ = byName_ && index_.columns == std::vector<std::string>{"NAME"};
    moveFirst();
    walkIsFresh_ = true;
}

int PgCursor::fieldIndex(std::string_view name) const {
    auto it = byUpperName_.find(ToUpperAscii(name));
    return it == byUpperName_.end() ? -1 : it->second;
}

const PgResult* PgCursor::currentResult() const {
    switch (source_) {
        case Source::Walk:
            return &walk_;
        case Source::Seek:
            return &seekHit_;
        default:
            return nullptr;
    }
}

Value PgCursor::stored(int i) const {
    if (source_ == Source::Walk)
        if (auto it = written_.find(row_); it != written_.end())
            for (auto w = it->second.rbegin(); w != it->second.rend(); ++w)
                if (w->first == i) return w->second;
    const PgResult* r = currentResult();
    if (!r) return Value::null();
    if (r->isNull(currentRow(), i + 1)) return Value::null();
    return ValueFromText(r->text(currentRow(), i + 1),
                         table_.columns[static_cast<std::size_t>(i)].type);
}

Value PgCursor::value(int i) const {
    if (const Value* shown = edit_.shown(i)) return *shown;
    if (!currentResult() && source_ != Source::Inserted)
        throw DbError(DbError::Kind::Other, "No current row in " + table_.name);
    return stored(i);
}

std::string PgCursor::identity() const {
    if (source_ == Source::Inserted) return insertedName_;
    const PgResult* r = currentResult();
    if (!r) return {};
    return std::string(r->text(currentRow(), byName_ ? nameColumn_ + 1 : 0));
}

void PgCursor::leaveRow() {
    if (edit_.editing()) update();
    edit_.leaveRow();
}

void PgCursor::walk() {
    walk_ = session_.query(walkSql_, {}, table_.name);
    keyed_ = false;
    rowByName_.clear();
    written_.clear();
    added_.clear();
    row_ = 0;
    source_ = walk_.rows() > 0 ? Source::Walk : Source::None;
    if (ordersWalk_) orderWalk();
}

void PgCursor::orderWalk() {
    // As the key index orders them: no name first, then the names with ASCII letters folded,
    // compared as bytes; they are unique so.
    const int column = nameColumn_ + 1;
    std::vector<std::pair<std::optional<std::string>, int>> keys;
    keys.reserve(static_cast<std::size_t>(walk_.rows()));
    for (int row = 0; row < walk_.rows(); ++row)
        keys.emplace_back(walk_.isNull(row, column)
                              ? std::nullopt
                              : std::optional<std::string>(FoldedName(walk_.text(row, column))),
                          row);
    std::sort(keys.begin(), keys.end());
    order_.clear();
    order_.reserve(keys.size());
    for (const auto& key : keys) order_.push_back(key.second);
}

void PgCursor::moveFirst() {
    leaveRow();
    if (walkIsFresh_) {  // the walk the cursor opened with: not read a second time
        walkIsFresh_ = false;
        row_ = 0;
        source_ = walk_.rows() > 0 ? Source::Walk : Source::None;
        return;
    }
    walk();
    empty_ = source_ == Source::None;
}

void PgCursor::moveNext() {
    walkIsFresh_ = false;
    if (source_ == Source::None) return;
    const Source was = source_;
    const std::string from = identity();
    leaveRow();
    if (was != Source::Walk) {
        // After a seek or an insert: go on from that row in index order.
        walk();
        const int column = byName_ ? nameColumn_ + 1 : 0;
        while (source_ == Source::Walk &&
               !(byName_ ? EqualsIgnoreCase(walk_.text(walkRow(row_), column), from)
                         : walk_.text(walkRow(row_), column) == from))
            if (++row_ >= walk_.rows()) source_ = Source::None;
        if (source_ == Source::None) return;
    }
    if (++row_ >= walk_.rows()) source_ = Source::None;
}

bool PgCursor::seek(std::string_view key) {
    walkIsFresh_ = false;
    leaveRow();
    // A row this cursor added since its walk is read from the server, as it holds it now.
    if (seeksInSnapshot_ && !added_.count(FoldedName(key))) {
        if (!keyed_) {
            for (int row = 0; row < walk_.rows(); ++row)
                rowByName_.emplace(FoldedName(walk_.text(walkRow(row), nameColumn_ + 1)), row);
            keyed_ = true;
        }
        auto it = rowByName_.find(FoldedName(key));
        row_ = it == rowByName_.end() ? 0 : it->second;
        source_ = it == rowByName_.end() ? Source::None : Source::Walk;
        return source_ != Source::None;
    }
    seekHit_ = session_.query(seekSql_, {std::string(key)}, table_.name);
    source_ = seekHit_.rows() > 0 ? Source::Seek : Source::None;
    return source_ == Source::Seek;
}

std::int64_t PgCursor::recordCount() {
    PgResult r = session_.query(countSql_, {}, table_.name);
    return std::stoll(std::string(r.text(0, 0)));
}

void PgCursor::addNew() {
    RequireUpdating(mode_, "Cannot add a row", table_.name);
    walkIsFresh_ = false;
    leaveRow();
    edit_.startAdding();
}

void PgCursor::setValue(int i, Value v) {
    RequireUpdating(mode_, "Cannot change a value", table_.name);
    walkIsFresh_ = false;
    edit_.assign(i, std::move(v), table_.name, source_ != Source::None);
}

PgCursor::Write& PgCursor::writeFor(bool insert) {
    auto& cache = insert ? inserts_ : updates_;
    const std::vector<int>& assigned = edit_.assignedColumns();
    if (auto it = cache.find(assigned); it != cache.end()) return it->second;
    Write write;
    write.rows = byName_ && (!insert || std::find(assigned.begin(), assigned.end(), nameColumn_) !=
                                            assigned.end());
    const std::string table = QuoteIdentifier(table_.name);
    // A row that holds the values already is left as it is: the same outcome, without a new
    // version of the row and its index entries.
    std::string names, params, set, differs, onConflict;
    for (std::size_t n = 0; n < assigned.size(); ++n) {
        const std::string& name = table_.columns[static_cast<std::size_t>(assigned[n])].name;
        const std::string column = QuoteIdentifier(name);
        const std::string param = "$" + std::to_string(n + 1);
        names += (n ? ", " : "") + column;
        params += (n ? ", " : "") + param;
        set += (n ? ", " : "") + column + " = " + param;
        differs += (n ? " OR " : "") + column + " IS DISTINCT FROM " + param;
        if (assigned[n] != nameColumn_)
            onConflict += (onConflict.empty() ? "" : ", ") + column + " = EXCLUDED." + column;
    }
    std::string& sql = write.shape.sql;
    const std::string foldedName = Folded("\"NAME\"") + " COLLATE \"C\"";
    if (!insert) {
        const std::string last = "$" + std::to_string(assigned.size() + 1);
        sql = "UPDATE " + table + " SET " + set +
              (write.rows
                   ? " WHERE " + foldedName + " = ANY(" + last + "::text[]) AND (" + differs + ")"
                   : " WHERE ctid = " + last + "::tid");
    } else if (assigned.empty()) {
        sql = "INSERT INTO " + table + " DEFAULT VALUES";
    } else if (!write.rows) {
        sql = "INSERT INTO " + table + " (" + names + ") VALUES (" + params + ")";
    } else {
        // A name another session added meanwhile takes this row's values.
        const std::string onConflictClause =
            " ON CONFLICT ((" + Folded("\"NAME\"") + ") COLLATE \"C\") DO " +
            (onConflict.empty() ? "NOTHING" : "UPDATE SET " + onConflict);
        const std::string insertInto = "INSERT INTO " + table + " (" + names + ") VALUES ";
        sql = insertInto + "(" + params + ")" + onConflictClause;
        std::string& many = write.shape.sqlOfMany;
        many = insertInto;
        for (std::size_t row = 0, p = 1; row < kRowsPerStatement; ++row) {
            many += row ? ", (" : "(";
            for (std::size_t n = 0; n < assigned.size(); ++n)
                many += (n ? ", $" : "$") + std::to_string(p++);
            many += ")";
        }
        many += onConflictClause;
        write.shape.distinctKeys = true;
    }
    return cache.emplace(assigned, std::move(write)).first->second;
}

void PgCursor::update() {
    RequireUpdating(mode_, "Cannot save a row", table_.name);
    if (!edit_.editing()) return;
    const bool insert = edit_.adding();
    // A value equal to the stored one needs no writing, a row with nothing new none at all;
    // but a row of the snapshot may have been changed by another session since: write it all.
    const bool fromSnapshot = seeksInSnapshot_ && source_ == Source::Walk;
    if (!insert && !fromSnapshot && !edit_.keepChanges([&](int i) {
            return !currentResult() || !edit_.storedIsCurrent(i) ||
                   !(stored(i) == edit_.pending(i));
        }))
        return;
    std::string point;
    if (nameColumn_ >= 0) {
        const Value name = value(nameColumn_);
        if (name.kind() == Value::Kind::Text) point = name.asText();
    }
    try {
        // Refused here, the point alone fails; the server would refuse it only once the group's
        // writes are read back, too late to tell which point it was.
        for (int i : edit_.assignedColumns()) {
            const ColumnInfo& column = table_.columns[static_cast<std::size_t>(i)];
            const std::string why = WhyValueDoesNotFit(column.type, edit_.pending(i));
            if (!why.empty())
                throw DbError(DbError::Kind::DoesNotFit,
                              "Cannot write " + point + ", " + column.name + ": " + why);
        }
        std::vector<PgParam> params;
        params.reserve(edit_.assignedColumns().size() + 1);
        for (int i : edit_.assignedColumns()) params.push_back(ParamText(edit_.pending(i)));
        Write& write = writeFor(insert);
        if (!write.rows) {
            if (!insert) params.push_back(identity());
            session_.write(write.shape.sql, params, table_.name, point);
        } else if (insert) {
            session_.writeRow(write.shape, std::move(params), FoldedName(point), table_.name,
                              point);
        } else {  // rows changed alike go out together: the values are the statement's own
            write.shape.fixed = std::move(params);
            session_.writeRow(write.shape, {}, FoldedName(identity()), table_.name, point);
        }
    } catch (...) {
        cancelUpdate();
        throw;
    }
    if (seeksInSnapshot_) {
        // The cursor's own writes stay visible to its later seeks.
        if (insert && !point.empty())
            added_.insert(FoldedName(point));
        else if (!insert && source_ == Source::Walk)
            for (int i : edit_.assignedColumns()) written_[row_].emplace_back(i, edit_.pending(i));
    }
    edit_.written();
    if (insert) {
        insertedName_ = point;
        source_ = Source::Inserted;
    }
}

void PgCursor::cancelUpdate() {
    edit_.cancel();
}

}  // namespace pel::db
