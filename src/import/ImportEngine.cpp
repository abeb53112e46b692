#include "import/ImportEngine.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/ProblemList.h"
#include "db/ColumnConversion.h"
#include "db/Database.h"
#include "eb/EbLine.h"
#include "eb/EbLineReader.h"

namespace pel {

namespace {

using db::Conversion;
using eb::ClassifiedLine;
using eb::EbLineKind;

// One point-type table, opened once per file when its first point comes.
struct OpenTable {
    bool tried = false;
    std::unique_ptr<db::Cursor> cursor;
    std::unordered_map<std::string, int> columnBySpelling;  // -1: the table has no such column
    // The parameters of a type come in the same order in every block: the column of the k-th
    // parameter line of the last block, checked by name before it is used.
    std::vector<std::pair<std::string, int>> columnByPosition;
    int name = -1, pntType = -1, internal = -1;
};

class ImportRun {
  public:
    ImportRun(AppState& state, Feedback& feedback,
              const std::optional<std::vector<std::string>>& selection, ImportMode mode)
        : state_(state), feedback_(feedback), mode_(mode), file_(state.currentEbFile) {
        if (selection) {
            selection_.emplace(selection->begin(), selection->end());
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
            db_ = db::Database::open(state_.accessDatabasePath, true);
        } catch (const std::exception& e) {
            feedback_.message(kProgramTitle, "Cannot import " + file_ + ": " + e.what(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        tables_.resize(state_.pointTypeNames.size());
        bool cancelled = false;
        try {
            std::string_view line;
            while (reader_.next(line)) {
                if (!handle(line)) {
                    cancelled = true;
                    break;
                }
                if (feedback_.repaintDue()) {
                    feedback_.setProgress(Panel::Import, reader_.fraction());
                    feedback_.repaint();
                }
            }
            if (!cancelled) completePoint();
            if (reader_.failed()) stop(reader_.errorText());
        } catch (const db::DbError& e) {
            // The database itself failed (a lock, the disk): the point in progress is lost,
            // every completed one is kept.
            if (cursor_) cursor_->cancelUpdate();
            stop(e.what());
        }
        tables_.clear();
        try {
            db_->commit();
        } catch (const std::exception& e) {
            stop(e.what());
        }
        db_.reset();
        feedback_.setProgress(Panel::Import, 1.0);
        feedback_.resultLine(Panel::Import,
                             "Points added: " + std::to_string(added_) +
                                 "      Points updated: " + std::to_string(updated_));
        for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(Panel::Import, l, "");
        if (counts) *counts = {added_, updated_, notStored_.count()};
        if (!notStored_.empty())
            feedback_.message(kProgramTitle, "Import of " + file_ + ": " +
                                                 notStored_.summary("values were not stored"));
        if (!skipped_.empty())
            feedback_.message(kProgramTitle, "Import of " + file_ + ": " +
                                                 skipped_.summary("points were not imported"));
        return (cancelled || stopped_ || !notStored_.empty() || !skipped_.empty())
                   ? Outcome::LeftUndone
                   : Outcome::Done;
    }

  private:
    std::string where() const { return file_ + ", line " + std::to_string(reader_.lineNumber()); }

    void stop(const std::string& why) {
        stopped_ = true;
        feedback_.message(kProgramTitle,
                          "The import of " + file_ + " stopped at line " +
                              std::to_string(reader_.lineNumber()) + ": " + why +
                              ". The points before it are saved.",
                          Icon::Critical);
    }

    // False when the user cancels at an unknown point type.
    bool handle(std::string_view line) {
        const ClassifiedLine c = eb::ClassifyEbLine(line);
        switch (c.kind) {
            case EbLineKind::PointType:
                return pointType(c.text);
            case EbLineKind::PointName:
                if (typeValid_) pointName(c.text);
                return true;
            case EbLineKind::Parameter:
                parameter(line);
                return true;
            default:
                return true;
        }
    }

    // A point being added or updated is saved with its internal text, whatever its name.
    void completePoint() {
        if (!recordOpen_) return;
        recordOpen_ = false;
        if (internalFlag_) {
            if (table_->internal >= 0)
                cursor_->setValue(table_->internal, db::Value::text(internalText_));
            else
                notStored_.add(feedback_, where() + ", point " + pointName_ +
                                              ": no column _INTERNAL for its internal lines");
        }
        try {
            cursor_->update();
            db_->pointSaved();
        } catch (const db::DbError& e) {
            if (e.kind() != db::DbError::Kind::DoesNotFit) throw;
            cursor_->cancelUpdate();
            (adding_ ? added_ : updated_)--;
            skipped_.add(feedback_, where() + ", point " + pointName_ + ": " + e.what());
        }
    }

    bool pointType(std::string_view type) {
        completePoint();
        pointType_ = std::string(type);
        feedback_.setLabel(Panel::Import, Label::PntType, pointType_);
        internalFlag_ = false;
        internalText_.clear();
        awaitingName_ = false;
        const int index = state_.findPointType(type);
        if (index < 0) {
            typeValid_ = false;
            feedback_.repaint();
            if (!feedback_.askOkCancel("Error", "Invalid Point Type: " + pointType_)) return false;
            // Accepted: known from here on, in this file and later ones; this block is skipped.
            if (state_.appendPointType(type) >= 0) tables_.resize(state_.pointTypeNames.size());
            return true;
        }
        typeValid_ = true;
        awaitingName_ = true;
        typeIndex_ = index;
        const PointTypeDefinition* def = state_.definition(type);
        internalList_ = def && def->internalParameters ? *def->internalParameters : std::string();
        return true;
    }

    OpenTable* table() {
        OpenTable& t = tables_[static_cast<std::size_t>(typeIndex_)];
        if (!t.tried) {
            t.tried = true;
            const std::string& name = state_.pointTypeNames[static_cast<std::size_t>(typeIndex_)];
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

    void pointName(std::string_view name) {
        completePoint();
        awaitingName_ = false;
        internalFlag_ = false;
        internalText_.clear();
        if (name.empty()) {
            feedback_.warning(
                where() +
                ": a point-name line without a name starts no point; its lines are skipped");
            return;
        }
        pointName_ = std::string(name);
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
            if (table_->name >= 0) cursor_->setValue(table_->name, db::Value::text(pointName_));
            if (table_->pntType >= 0)
                cursor_->setValue(table_->pntType, db::Value::text(pointType_));
            ++added_;
            adding_ = true;
            feedback_.setLabel(Panel::Import, Label::Status, "Adding " + pointName_);
        } else {
            if (mode_ == ImportMode::AdditionsOnly) return;
            ++updated_;
            adding_ = false;
            feedback_.setLabel(Panel::Import, Label::Status, "Updating " + pointName_);
        }
        recordOpen_ = true;
        parameterIndex_ = 0;
        if (feedback_.repaintDue()) feedback_.repaint();
    }

    void parameter(std::string_view line) {
        if (!typeValid_) return;
        if (awaitingName_) {
            feedback_.warning(where() +
                              ": a parameter line between the point-type line and the "
                              "point-name line belongs to no point; it is ignored");
            return;
        }
        if (!recordOpen_) return;
        const eb::ParameterLine p = eb::SplitEbParameterLine(line);
        if (!internalFlag_ && !internalList_.empty() &&
            IsInternalParameterIn(internalList_, p.name))
            internalFlag_ = true;
        if (internalFlag_) {  // internal lines are kept whatever the selection says
            internalText_ += eb::TrimTrailingBlanks(line);
            internalText_ += ',';
            return;
        }
        std::string_view value = eb::DecodeEbValue(p.rawValue);
        if (value.empty()) value = " ";
        if (db::EqualsIgnoreCase(p.name, "PTDESC"))
            feedback_.setLabel(Panel::Import, Label::PtDesc, value);
        if (selected_ && !selected_->count(std::string(p.name))) return;
        const int column = columnFor(p.name);
        if (column < 0) {
            notStored_.add(feedback_,
                           where() + ", point " + pointName_ + ", parameter " +
                               std::string(p.name) + ": the table " +
                               state_.pointTypeNames[static_cast<std::size_t>(typeIndex_)] +
                               " has no column " + std::string(p.name));
            return;
        }
        Conversion conv = db::ConvertForColumn(cursor_->field(column).type, value);
        if (conv.outcome == Conversion::Outcome::DoesNotFit) {
            notStored_.add(feedback_, where() + ", point " + pointName_ + ", parameter " +
                                          std::string(p.name) + ": the value \"" +
                                          std::string(value) + "\" does not fit: " + conv.reason);
            return;
        }
        cursor_->setValue(column, std::move(conv.value));
    }

    int columnFor(std::string_view name) {
        auto& byPosition = table_->columnByPosition;
        const std::size_t k = parameterIndex_++;
        if (k < byPosition.size() && byPosition[k].first == name) return byPosition[k].second;
        const int column = columnByName(name);
        if (k < byPosition.size()) {
            byPosition[k] = {std::string(name), column};
        } else if (k == byPosition.size()) {
            byPosition.emplace_back(std::string(name), column);
        }
        return column;
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

    AppState& state_;
    Feedback& feedback_;
    ImportMode mode_;
    std::string file_;
    std::optional<std::unordered_set<std::string>> selection_;
    const std::unordered_set<std::string>* selected_ = nullptr;
    eb::EbLineReader reader_;
    std::unique_ptr<db::Database> db_;
    std::vector<OpenTable> tables_;
    OpenTable* table_ = nullptr;
    db::Cursor* cursor_ = nullptr;
    ProblemList notStored_, skipped_;
    std::string pointType_, pointName_, internalList_, internalText_;
    int typeIndex_ = 0;
    std::size_t parameterIndex_ = 0;
    bool typeValid_ = false, awaitingName_ = false, recordOpen_ = false, internalFlag_ = false;
    bool adding_ = false, stopped_ = false;
    std::int64_t added_ = 0, updated_ = 0;
};

}  // namespace

Outcome ImportEbFile(AppState& state, Feedback& feedback,
                     const std::optional<std::vector<std::string>>& selection, ImportMode mode,
                     ImportCounts* counts) {
    return ImportRun(state, feedback, selection, mode).run(counts);
}

}  // namespace pel
