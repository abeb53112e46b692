#include "db/RowEdit.h"

namespace pel::db {

void RequireUpdating(CursorMode mode, const char* what, const std::string& table) {
    if (mode != CursorMode::Updating)
        throw DbError(DbError::Kind::ReadOnly,
                      std::string(what) + ": the table " + table + " is open for reading only");
}

RowEdit::RowEdit(std::size_t columns) : pending_(columns), assigned_(columns, 0) {}

void RowEdit::startAdding() {
    editing_ = true;
    adding_ = true;
}

Value& RowEdit::slot(int column, const std::string& table, bool onRow) {
    const auto k = static_cast<std::size_t>(column);
    if (column < 0 || k >= pending_.size())
        throw DbError(DbError::Kind::NoColumn,
                      "The table " + table + " has no column " + std::to_string(column));
    if (!editing_) {
        if (!onRow)
            throw DbError(DbError::Kind::Other, "No current row in " + table + " to change");
        editing_ = true;
    }
    if (!assigned_[k]) {
        assigned_[k] = 1;
        assignedList_.push_back(column);
    }
    return pending_[k];
}

const Value* RowEdit::shown(int column) const {
    static const Value kNull = Value::null();
    const auto k = static_cast<std::size_t>(column);
    if (editing_ && assigned_[k]) return &pending_[k];
    if (adding_) return &kNull;
    if (writtenActive_ && writtenAssigned_[k]) return &written_[k];
    return nullptr;
}

bool RowEdit::storedIsCurrent(int column) const {
    return !(writtenActive_ && writtenAssigned_[static_cast<std::size_t>(column)]);
}

void RowEdit::written() {
    written_.swap(pending_);
    writtenAssigned_.swap(assigned_);
    writtenActive_ = true;
    pending_.resize(written_.size());  // empty before the first row written
    for (Value& v : pending_) v.reset();  // their storage serves the next row
    assigned_.assign(written_.size(), 0);
    assignedList_.clear();
    editing_ = false;
    adding_ = false;
}

void RowEdit::unassign(int column) {
    assigned_[static_cast<std::size_t>(column)] = 0;
    pending_[static_cast<std::size_t>(column)].reset();
}

void RowEdit::cancel() {
    for (int i : assignedList_) unassign(i);
    assignedList_.clear();
    editing_ = false;
    adding_ = false;
}

}  // namespace pel::db
