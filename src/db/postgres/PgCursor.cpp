#include "db/postgres/PgCursor.h"

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
    : db_(db),
      session_(db.session()),
      table_(std::move(table)),
      index_(std::move(index)),
      mode_(mode) {
    const std::string quotedTable = QuoteIdentifier(table_.name);
    std::string selectList = "ctid";
    for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        selectList += ", " + QuoteIdentifier(table_.columns[i].name);
        byUpperName_.emplace(ToUpperAscii(table_.columns[i].name), static_cast<int>(i));
    }
    nameColumn_ = table_.columnIndex("NAME");
    if (const IndexInfo* primary = table_.index("PrimaryKey"))
        byName_ = nameColumn_ >= 0 && primary->unique && primary->columns.size() == 1 &&
                  primary->columns.front() == "NAME";
    const std::string orderBy = OrderByClause(table_, index_);
    walkSql_ = "SELECT " + selectList + " FROM " + quotedTable + orderBy;
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
    pending_.resize(table_.columns.size());
    assigned_.assign(table_.columns.size(), 0);
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
    if (source_ == Source::Added) return added_.at(addedKey_)[static_cast<std::size_t>(i)];
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
    const auto k = static_cast<std::size_t>(i);
    if (editing_ && assigned_[k]) return pending_[k];
    if (adding_) return Value::null();
    if (overlayActive_ && overlayAssigned_[k]) return overlay_[k];
    if (!currentResult() && source_ != Source::Inserted && source_ != Source::Added)
        throw DbError(DbError::Kind::Other, "No current row in " + table_.name);
    return stored(i);
}

std::string PgCursor::identity() const {
    if (source_ == Source::Inserted) return insertedName_;
    if (source_ == Source::Added) return added_.at(addedKey_)[nameColumn_].asText();
    const PgResult* r = currentResult();
    if (!r) return {};
    return std::string(r->text(currentRow(), byName_ ? nameColumn_ + 1 : 0));
}

void PgCursor::leaveRow() {
    if (editing_) update();
    overlayActive_ = false;
}

void PgCursor::walk() {
    walk_ = session_.query(walkSql_, {}, table_.name);
    keyed_ = false;
    rowByName_.clear();
    written_.clear();
    added_.clear();
    row_ = 0;
    source_ = walk_.rows() > 0 ? Source::Walk : Source::None;
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
               !(byName_ ? EqualsIgnoreCase(walk_.text(row_, column), from)
                         : walk_.text(row_, column) == from))
            if (++row_ >= walk_.rows()) source_ = Source::None;
        if (source_ == Source::None) return;
    }
    if (++row_ >= walk_.rows()) source_ = Source::None;
}

bool PgCursor::seek(std::string_view key) {
    walkIsFresh_ = false;
    leaveRow();
    if (seeksInSnapshot_) {
        if (!keyed_) {
            for (int row = 0; row < walk_.rows(); ++row)
                rowByName_.emplace(FoldedName(walk_.text(row, nameColumn_ + 1)), row);
            keyed_ = true;
        }
        const std::string folded = FoldedName(key);
        if (added_.count(folded)) {
            addedKey_ = folded;
            source_ = Source::Added;
        } else if (auto it = rowByName_.find(folded); it != rowByName_.end()) {
            row_ = it->second;
            source_ = Source::Walk;
        } else {
            source_ = Source::None;
        }
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

void PgCursor::requireUpdating(const char* what) const {
    if (mode_ != CursorMode::Updating)
        throw DbError(DbError::Kind::ReadOnly, std::string(what) + ": the table " + table_.name +
                                                   " is open for reading only");
}

void PgCursor::addNew() {
    requireUpdating("Cannot add a row");
    walkIsFresh_ = false;
    leaveRow();
    editing_ = true;
    adding_ = true;
}

void PgCursor::setValue(int i, Value v) {
    requireUpdating("Cannot change a value");
    const auto k = static_cast<std::size_t>(i);
    if (k >= pending_.size())
        throw DbError(DbError::Kind::NoColumn,
                      "The table " + table_.name + " has no column " + std::to_string(i));
    walkIsFresh_ = false;
    if (!editing_) {
        if (source_ == Source::None)
            throw DbError(DbError::Kind::Other, "No current row in " + table_.name + " to change");
        editing_ = true;
    }
    if (!assigned_[k]) {
        assigned_[k] = 1;
        assignedList_.push_back(i);
    }
    pending_[k] = std::move(v);
}

const std::string& PgCursor::writeSql(bool insert) {
    auto& cache = insert ? inserts_ : updates_;
    if (auto it = cache.find(assignedList_); it != cache.end()) return it->second;
    const std::string table = QuoteIdentifier(table_.name);
    auto column = [&](int i) {
        return QuoteIdentifier(table_.columns[static_cast<std::size_t>(i)].name);
    };
    std::string sql;
    if (insert) {
        std::string names, params, onConflict;
        for (std::size_t n = 0; n < assignedList_.size(); ++n) {
            names += (n ? ", " : "") + column(assignedList_[n]);
            params += (n ? ", $" : "$") + std::to_string(n + 1);
            if (assignedList_[n] != nameColumn_)
                onConflict += (onConflict.empty() ? "" : ", ") + column(assignedList_[n]) +
                              " = EXCLUDED." + column(assignedList_[n]);
        }
        sql = assignedList_.empty()
                  ? "INSERT INTO " + table + " DEFAULT VALUES"
                  : "INSERT INTO " + table + " (" + names + ") VALUES (" + params + ")";
        if (byName_ && assigned_[static_cast<std::size_t>(nameColumn_)])
            sql += " ON CONFLICT ((" + Folded("\"NAME\"") + ") COLLATE \"C\") DO " +
                   (onConflict.empty() ? "NOTHING" : "UPDATE SET " + onConflict);
    } else {
        sql = "UPDATE " + table + " SET ";
        for (std::size_t n = 0; n < assignedList_.size(); ++n)
            sql += (n ? ", " : "") + column(assignedList_[n]) + " = $" + std::to_string(n + 1);
        const std::string last = "$" + std::to_string(assignedList_.size() + 1);
        sql += byName_ ? " WHERE " + Folded("\"NAME\"") + " COLLATE \"C\" = " + Folded(last)
                       : " WHERE ctid = " + last + "::tid";
    }
    return cache.emplace(assignedList_, std::move(sql)).first->second;
}

void PgCursor::update() {
    requireUpdating("Cannot save a row");
    if (!editing_) return;
    const bool insert = adding_;
    // A value equal to the stored one needs no writing, a row with nothing new none at all;
    // but a row of the snapshot may have been changed by another session since: write it all.
    const bool fromSnapshot = seeksInSnapshot_ && source_ == Source::Walk;
    if (!insert && !fromSnapshot) {
        std::size_t kept = 0;
        for (int i : assignedList_) {
            const auto k = static_cast<std::size_t>(i);
            const bool same = currentResult() && !(overlayActive_ && overlayAssigned_[k]) &&
                              stored(i) == pending_[k];
            if (same) {
                assigned_[k] = 0;
                pending_[k] = Value();
            } else {
                assignedList_[kept++] = i;
            }
        }
        assignedList_.resize(kept);
        if (assignedList_.empty()) {
            cancelUpdate();
            return;
        }
    }
    std::string point;
    if (nameColumn_ >= 0) {
        const auto k = static_cast<std::size_t>(nameColumn_);
        const Value name = assigned_[k] ? pending_[k] : value(nameColumn_);
        if (name.kind() == Value::Kind::Text) point = name.asText();
    }
    try {
        // Refused here, the point alone fails; the server would refuse it only once the group's
        // writes are read back, too late to tell which point it was.
        for (int i : assignedList_) {
            const ColumnInfo& column = table_.columns[static_cast<std::size_t>(i)];
            const std::string why =
                WhyValueDoesNotFit(column.type, pending_[static_cast<std::size_t>(i)]);
            if (!why.empty())
                throw DbError(DbError::Kind::DoesNotFit,
                              "Cannot write " + point + ", " + column.name + ": " + why);
        }
        std::vector<PgParam> params;
        params.reserve(assignedList_.size() + 1);
        for (int i : assignedList_)
            params.push_back(ParamText(pending_[static_cast<std::size_t>(i)]));
        if (!insert) params.push_back(identity());
        session_.write(writeSql(insert), params, table_.name, point);
    } catch (...) {
        cancelUpdate();
        throw;
    }
    if (seeksInSnapshot_) {
        // The cursor's own writes stay visible to its later seeks.
        if (insert && !point.empty()) {
            addedKey_ = FoldedName(point);
            added_[addedKey_] = pending_;
        } else if (source_ == Source::Added) {
            for (int i : assignedList_)
                added_[addedKey_][static_cast<std::size_t>(i)] =
                    pending_[static_cast<std::size_t>(i)];
        } else if (source_ == Source::Walk) {
            for (int i : assignedList_)
                written_[row_].emplace_back(i, pending_[static_cast<std::size_t>(i)]);
        }
    }
    overlay_.swap(pending_);
    overlayAssigned_.swap(assigned_);
    overlayActive_ = true;
    pending_.assign(table_.columns.size(), Value());
    assigned_.assign(table_.columns.size(), 0);
    assignedList_.clear();
    if (insert) {
        insertedName_ = point;
        source_ = seeksInSnapshot_ && !point.empty() ? Source::Added : Source::Inserted;
    }
    editing_ = false;
    adding_ = false;
}

void PgCursor::cancelUpdate() {
    for (int i : assignedList_) {
        assigned_[static_cast<std::size_t>(i)] = 0;
        pending_[static_cast<std::size_t>(i)] = Value();
    }
    assignedList_.clear();
    editing_ = false;
    adding_ = false;
}

}  // namespace pel::db
