#include "import/ImportEngine.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/ProblemList.h"
#include "core/RecentTypes.h"
#include "db/ColumnConversion.h"
#include "db/Database.h"
#include "db/SaveBeforeAsking.h"
#include "eb/EbBlockScanner.h"
#include "eb/EbLine.h"
#include "eb/EbLineReader.h"
#include "import/DefinitionUpdate.h"

namespace pel {

namespace {

using db::Conversion;

// What a parameter name means in a table: worked out once per name and place, not per line.
struct ParameterPlace {
    int column = -1;  // -1: the table has no such column
    bool selected = true;
    bool ptDesc = false;
};

// One point-type table, opened once per file when its first point comes.
struct OpenTable {
    bool tried = false;
    std::unique_ptr<db::Cursor> cursor;
    std::unordered_map<std::string, int> columnBySpelling;  // -1: the table has no such column
    eb::ColumnByPosition<ParameterPlace> byPosition;
    int name = -1, pntType = -1, internal = -1;
};

bool EndsEveryFile(db::DbError::Kind kind) {
    using K = db::DbError::Kind;
    return kind == K::NotFound || kind == K::NotADatabase || kind == K::Locked ||
           kind == K::ReadOnly || kind == K::Io;
}

class ImportRun : public eb::EbBlockHandler {
  public:
    ImportRun(PointTypeCatalog& catalog, Feedback& feedback, const ImportFileRequest& request)
        : catalog_(catalog),
          feedback_(feedback),
          mode_(request.mode),
          database_(request.database),
          file_(request.file) {
        if (request.selection) {
            selection_.emplace(request.selection->begin(), request.selection->end());
            selected_ = &*selection_;
        }
    }

    Outcome run(ImportCounts* counts) {
        feedback_.clearText();
        if (!reader_.open(file_)) {
            feedback_.message(kProgramTitle, "Cannot import the EB file: " + reader_.errorText(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        try {
            db_ = db::Database::open(database_, true);
        } catch (const std::exception& e) {
            feedback_.message(kProgramTitle, "Cannot import " + file_ + ": " + e.what(),
                              Icon::Critical);
            if (counts) counts->databaseFailed = true;
            return Outcome::LeftUndone;
        }
        tables_.resize(static_cast<std::size_t>(catalog_.count()));
        bool cancelled = false;
        std::string failure;
        try {
            std::string_view line;
            while (reader_.next(line)) {
                if (!scanner_.feed(line, *this) || userCancelled_) {
                    cancelled = true;
                    break;
                }
                if (feedback_.repaintDue()) {
                    feedback_.setProgress(Panel::Import, reader_.fraction());
                    feedback_.repaint();
                }
            }
            if (!cancelled) completePoint();
            if (reader_.failed()) failure = reader_.errorText();
            if (!cancelled && !reader_.failed())
                for (const auto& w : scanner_.fileWarnings(file_, reader_.lastLineEnded()))
                    feedback_.warning(w);
        } catch (const db::DbError& e) {
            // The database itself failed (a lock, the disk): the point in progress is lost;
            // the completed ones are kept unless the database undid its transaction.
            if (cursor_) cursor_->cancelUpdate();
            failure = e.what();
            databaseFailed_ = EndsEveryFile(e.kind());
        }
        tables_.clear();
        bool allSaved = true;
        try {
            db_->commit();
        } catch (const std::exception& e) {
            if (failure.empty()) failure = e.what();
            allSaved = false;
        }
        db_.reset();  // before any message box: the file is released while it waits
        if (!allSaved) {
            added_ = saved_.added;
            updated_ = saved_.updated;
        }
        if (!failure.empty()) stop(failure, allSaved);
        feedback_.setProgress(Panel::Import, 1.0);
        feedback_.resultLine(Panel::Import,
                             "Points added: " + std::to_string(added_) +
                                 "      Points updated: " + std::to_string(updated_));
        for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(Panel::Import, l, "");
        if (counts) *counts = {added_, updated_, notStored_.count(), databaseFailed_ || !allSaved};
        if (!notStored_.empty())
            feedback_.message(kProgramTitle, "Import of " + file_ + ": " +
                                                 notStored_.summary("value was not stored",
                                                                    "values were not stored"));
        if (!skipped_.empty())
            feedback_.message(kProgramTitle, "Import of " + file_ + ": " +
                                                 skipped_.summary("point was not imported",
                                                                  "points were not imported"));
        if (userCancelled_)
            feedback_.warning(CancelledWarning("The import of " + file_,
                                               "it stopped at line " +
                                                   std::to_string(reader_.lineNumber()) + " (" +
                                                   std::to_string(added_) + " points added, " +
                                                   std::to_string(updated_) + " updated)"));
        return (cancelled || stopped_ || !notStored_.empty() || !skipped_.empty())
                   ? Outcome::LeftUndone
                   : Outcome::Done;
    }

  private:
    std::string where() const { return file_ + ", line " + std::to_string(reader_.lineNumber()); }

    void stop(const std::string& why, bool allSaved) {
        stopped_ = true;
        std::string text = "The import of " + file_ + " stopped at line " +
                           std::to_string(reader_.lineNumber()) + ": " + why + ". ";
        const std::string from = std::to_string(saved_.resumeLine);
        if (allSaved)
            text += "The points before it are saved.";
        else if (saved_.resumeLine <= 1)
            text += "No point of this file is saved: import the file again.";
        else
            text += "The points before line " + from + " are saved (" + std::to_string(added_) +
                    " added, " + std::to_string(updated_) +
                    " updated); import the file again from line " + from + ".";
        feedback_.message(kProgramTitle, text, Icon::Critical);
    }

    // After a commit, every point completed so far is safe: the next block is where a
    // re-import has to start should the database later undo its open transaction.
    void noteIfCommitted(std::uint64_t commitsBefore) {
        if (db_->commits() == commitsBefore) return;
        saved_ = {added_, updated_, blockStartLine_};
    }

    // A point being added or updated is saved with its internal text, whatever its name.
    void completePoint() {
        if (!recordOpen_) return;
        recordOpen_ = false;
        if (internalFlag_) {
            if (table_->internal >= 0)
                cursor_->setText(table_->internal, internalText_);
            else
                notStored_.add(feedback_, where() + ", point " + pointName_ +
                                              ": no column _INTERNAL for its internal lines");
        }
        try {
            cursor_->update();
        } catch (const db::DbError& e) {
            if (e.kind() != db::DbError::Kind::DoesNotFit) throw;
            cursor_->cancelUpdate();
            skipped_.add(feedback_, where() + ", point " + pointName_ + ": " + e.what());
            return;
        }
        (adding_ ? added_ : updated_)++;  // counted once it is written, never before
        const std::uint64_t commits = db_->commits();
        db_->pointSaved();
        noteIfCommitted(commits);
    }

    eb::BlockChoice pointType(std::string_view type) override {
        blockStartLine_ = reader_.lineNumber();
        completePoint();
        pointType_.assign(type);
        feedback_.setLabel(Panel::Import, Label::PntType, pointType_);
        internalFlag_ = false;
        internalText_.clear();
        const int* known = recentTypes_.find(type);
        const int index = known ? *known : catalog_.find(type);
        if (index < 0) {
            feedback_.repaint();
            feedback_.warning(UnknownPointTypeWarning(file_, reader_.lineNumber(), pointType_));
            const std::uint64_t commits = db_->commits();
            const bool ok = db::AskOkCancelWithWorkSaved(*db_, feedback_, "Error",
                                                         "Invalid Point Type: " + pointType_);
            noteIfCommitted(commits);
            if (!ok) return eb::BlockChoice::Stop;
            // Accepted: known from here on, in this file and later ones; this block is skipped.
            if (catalog_.append(type) >= 0)
                tables_.resize(static_cast<std::size_t>(catalog_.count()));
            return eb::BlockChoice::Skip;
        }
        if (!known) recentTypes_.put(type, index);  // a known type's index stays as it is
        typeIndex_ = index;
        return eb::BlockChoice::Read;
    }

    OpenTable* table() {
        OpenTable& t = tables_[static_cast<std::size_t>(typeIndex_)];
        if (!t.tried) {
            t.tried = true;
            const std::string& name = catalog_.name(typeIndex_);
            try {
                t.cursor = db_->openTable(name, "PrimaryKey", db::CursorMode::Updating);
                t.name = t.cursor->fieldIndex("NAME");
                t.pntType = t.cursor->fieldIndex("PNTTYPE");
                t.internal = t.cursor->fieldIndex("_INTERNAL");
            } catch (const db::DbError& e) {
                if (e.kind() != db::DbError::Kind::NoTable &&
                    e.kind() != db::DbError::Kind::NoIndex)
                    throw;
                feedback_.warning(where() + ": " + e.what() + "; the points of type " + name +
                                  " are skipped");
            }
        }
        return t.cursor ? &t : nullptr;
    }

    void pointName(std::string_view name) override {
        completePoint();
        if ((userCancelled_ = feedback_.cancelRequested())) return;
        internalFlag_ = false;
        internalText_.clear();
        if (name.empty()) {
            feedback_.warning(
                where() +
                ": a point-name line without a name starts no point; its lines are skipped");
            return;
        }
        pointName_.assign(name);
        feedback_.setLabel(Panel::Import, Label::Name, pointName_);
        table_ = table();
        if (!table_) {
            skipped_.add(feedback_, where() + ", point " + pointName_ + ": its table is missing");
            return;
        }
        cursor_ = table_->cursor.get();
        if (!cursor_->seek(pointName_)) {
            if (mode_ == ImportMode::UpdatesOnly) return;
            cursor_->addNew();
            if (table_->name >= 0) cursor_->setText(table_->name, pointName_);
            if (table_->pntType >= 0) cursor_->setText(table_->pntType, pointType_);
            adding_ = true;
            status_.assign("Adding ").append(pointName_);
            feedback_.setLabel(Panel::Import, Label::Status, status_);
        } else {
            if (mode_ == ImportMode::AdditionsOnly) return;
            adding_ = false;
            status_.assign("Updating ").append(pointName_);
            feedback_.setLabel(Panel::Import, Label::Status, status_);
        }
        recordOpen_ = true;
        if (feedback_.repaintDue()) feedback_.repaint();
    }

    void strayLine(std::string_view) override {
        feedback_.warning(where() +
                          ": a parameter line between the point-type line and the "
                          "point-name line belongs to no point; it is ignored");
    }

    // A selection names parameters, so it never keeps a line without a name.
    void unnamedParameter(std::string_view line) override {
        if (!recordOpen_ || selected_) return;
        notStored_.add(feedback_, where() + ", point " + pointName_ + ": the line \"" +
                                      std::string(line) +
                                      "\" names no parameter; its value was not stored");
    }

    // Internal lines are kept whatever the selection says.
    void internalLine(std::string_view line) override {
        if (!recordOpen_) return;
        internalFlag_ = true;
        internalText_ += line;
        internalText_ += ',';
    }

    void parameter(const eb::ParameterLine& p, std::size_t position) override {
        if (!recordOpen_) return;
        std::string_view value = eb::DecodeEbValue(p.rawValue);
        if (value.empty()) value = " ";
        const ParameterPlace place =
            table_->byPosition.get(position, p.name, [this](std::string_view name) {
                return ParameterPlace{columnByName(name),
                                      !selected_ || selected_->count(std::string(name)) != 0,
                                      EqualsIgnoreCase(name, "PTDESC")};
            });
        if (place.ptDesc) feedback_.setLabel(Panel::Import, Label::PtDesc, value);
        if (!place.selected) return;
        const int column = place.column;
        if (column < 0) {
            notStored_.add(feedback_, where() + ", point " + pointName_ + ", parameter " +
                                          std::string(p.name) + ": the table " +
                                          catalog_.name(typeIndex_) + " has no column " +
                                          std::string(p.name));
            return;
        }
        const int type = cursor_->field(column).type;
        if (db::StoresTextAsIs(type)) return cursor_->setText(column, value);
        Conversion conv = db::ConvertForColumn(type, value);
        if (conv.outcome != Conversion::Outcome::Stored) {
            const bool fits = conv.outcome == Conversion::Outcome::NotANumber;
            notStored_.add(feedback_,
                           where() + ", point " + pointName_ + ", parameter " +
                               std::string(p.name) + ": the value \"" + std::string(value) + "\" " +
                               (fits ? "was not stored: " : "does not fit: ") + conv.reason);
            if (!fits) return;
        }
        cursor_->setValue(column, std::move(conv.value));
    }

    int columnByName(std::string_view name) {
        auto& byName = table_->columnBySpelling;
        std::string key(name);
        auto it = byName.find(key);
        if (it != byName.end()) return it->second;
        const int column = cursor_->fieldIndex(name);  // ignoring case
        byName.emplace(std::move(key), column);
        return column;
    }

    PointTypeCatalog& catalog_;
    Feedback& feedback_;
    ImportMode mode_;
    std::string database_;
    std::string file_;
    std::optional<std::unordered_set<std::string>> selection_;
    const std::unordered_set<std::string>* selected_ = nullptr;
    eb::EbLineReader reader_;
    std::unique_ptr<db::Database> db_;
    std::vector<OpenTable> tables_;
    OpenTable* table_ = nullptr;
    db::Cursor* cursor_ = nullptr;
    ProblemList notStored_, skipped_;
    eb::EbBlockScanner scanner_{catalog_};
    RecentTypes<int> recentTypes_;
    std::string pointType_, pointName_, internalText_, status_;
    int typeIndex_ = 0;
    bool recordOpen_ = false, internalFlag_ = false;
    bool adding_ = false, stopped_ = false, databaseFailed_ = false, userCancelled_ = false;
    std::int64_t added_ = 0, updated_ = 0;
    std::uint64_t blockStartLine_ = 1;  // the point-type line of the block being read
    struct Saved {
        std::int64_t added = 0, updated = 0;
        std::uint64_t resumeLine = 1;  // the first line not yet safely saved
    } saved_;
};

}  // namespace

Outcome ImportEbFile(PointTypeCatalog& catalog, Feedback& feedback,
                     const ImportFileRequest& request, ImportCounts* counts) {
    return ImportRun(catalog, feedback, request).run(counts);
}

}  // namespace pel
