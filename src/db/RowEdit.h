#pragma once
// What a cursor holds of the row being edited: the values assigned and not yet written, in the
// order they were first assigned; after update(), the values written, which stay visible on
// that row until the cursor moves. The drivers write; this keeps the bookkeeping in one place.

#include <cstddef>
#include <string>
#include <vector>

#include "db/Database.h"

namespace pel::db {

// Refuses a change through a cursor opened for reading.
void RequireUpdating(CursorMode mode, const char* what, const std::string& table);

class RowEdit {
  public:
    explicit RowEdit(std::size_t columns);

    bool editing() const { return editing_; }
    bool adding() const { return adding_; }
    void startAdding();
    // Assigns a column of the current row (`onRow`: the cursor stands on one) or of the row
    // being added; refuses a column the table lacks.
    void assign(int column, Value value, const std::string& table, bool onRow) {
        slot(column, table, onRow) = std::move(value);
    }
    // The same for a text, in the storage the column's slot kept from earlier rows.
    void assignText(int column, std::string_view text, const std::string& table, bool onRow) {
        slot(column, table, onRow).assignText(text);
    }
    // The value the cursor shows for a column instead of the stored one, or none.
    const Value* shown(int column) const;
    // Whether shown() is null for every column, and the stored row is what the cursor shows.
    bool showsStored() const { return !editing_ && !adding_ && !writtenActive_; }
    // Whether the column's current value is the stored one (not one written by this cursor).
    bool storedIsCurrent(int column) const;

    const std::vector<int>& assignedColumns() const { return assignedList_; }
    const Value& pending(int column) const { return pending_[static_cast<std::size_t>(column)]; }
    // Keeps the assignments `changes(column)` says differ from what is stored; false when none
    // is left (the edit is then cancelled).
    template <class Changes>
    bool keepChanges(Changes&& changes) {
        std::size_t kept = 0;
        for (int i : assignedList_) {
            if (changes(i))
                assignedList_[kept++] = i;
            else
                unassign(i);
        }
        assignedList_.resize(kept);
        if (kept == 0) cancel();
        return kept > 0;
    }
    // The assigned values were written: they become the row's shown values.
    void written();
    void cancel();
    void leaveRow() { writtenActive_ = false; }

  private:
    // The pending value of a column, marked assigned.
    Value& slot(int column, const std::string& table, bool onRow);
    void unassign(int column);

    bool editing_ = false;
    bool adding_ = false;
    std::vector<Value> pending_;
    std::vector<char> assigned_;
    std::vector<int> assignedList_;
    std::vector<Value> written_;
    std::vector<char> writtenAssigned_;
    bool writtenActive_ = false;
};

}  // namespace pel::db
