#include "eb/DefinitionUpdate.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "app/ProblemList.h"
#include "db/Database.h"
#include "eb/EbLine.h"
#include "eb/EbLineReader.h"

namespace pel::eb {

bool IsNumericParameter(std::string_view, std::string_view parameter,
                        std::string_view numericList) {
    const std::string key = "," + BaseParameterName(parameter) + ",";
    return numericList.find(key) != std::string_view::npos;
}

namespace {

// The columns of one point-type table, fetched once per file on first use.
struct TableColumns {
    bool fetched = false;
    bool missing = false;
    std::unordered_set<std::string> upper;  // every column, upper case
    std::unordered_set<std::string> exact;  // spellings already found, for the common case
    // The columns checked for the k-th parameter line of the last block: blocks of one type
    // list their parameters in one order.
    std::vector<std::string> byPosition;
};

class DefinitionUpdate {
  public:
    DefinitionUpdate(AppState& state, Feedback& feedback) : state_(state), feedback_(feedback) {}

    Outcome run() {
        const std::string& file = state_.currentEbFile;
        if (!reader_.open(file)) {
            feedback_.message(kProgramTitle, "Cannot check the EB file: " + reader_.errorText(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        try {
            db_ = db::Database::open(state_.accessDatabasePath, true);
        } catch (const std::exception& e) {
            feedback_.message(kProgramTitle,
                              std::string("Cannot update the database definitions: ") + e.what(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        tables_.resize(state_.pointTypeNames.size());
        std::string_view line;
        bool stopped = false;
        while (!stopped && reader_.next(line)) {
            if (feedback_.repaintDue()) {
                showLine();
                feedback_.setProgress(Panel::Import, reader_.fraction());
                feedback_.repaint();
            }
            stopped = !handle(line);
        }
        if (reader_.failed()) problems_.add(feedback_, file + ": " + reader_.errorText());
        try {
            db_->commit();
        } catch (const std::exception& e) {
            problems_.add(feedback_,
                          std::string("The new columns could not be saved: ") + e.what());
        }
        showLine();
        if (!problems_.empty()) {
            feedback_.message(kProgramTitle, "Database definitions from " + file + ": " +
                                                 problems_.summary("columns could not be added"));
            return Outcome::LeftUndone;
        }
        return stopped ? Outcome::LeftUndone : Outcome::Done;
    }

  private:
    void showLine() {
        feedback_.setLabel(Panel::Import, Label::Status,
                           "Checking EB file, line " + std::to_string(reader_.lineNumber()));
    }

    // False when the user cancels at an unknown point type.
    bool handle(std::string_view line) {
        const ClassifiedLine c = ClassifyEbLine(line);
        switch (c.kind) {
            case EbLineKind::PointType:
                return pointType(c.text);
            case EbLineKind::PointName:
                internal_ = false;
                awaitingName_ = false;
                parameterIndex_ = 0;
                return true;
            case EbLineKind::Parameter:
                // Lines between a type line and its name line belong to no point.
                if (typeValid_ && !awaitingName_) parameter(line);
                return true;
            default:
                return true;
        }
    }

    bool pointType(std::string_view type) {
        numericList_ = {};
        internalList_ = {};
        internal_ = false;
        pointType_ = std::string(type);
        const int index = state_.findPointType(type);
        if (index < 0) {
            typeValid_ = false;
            showLine();
            feedback_.repaint();
            if (!feedback_.askOkCancel("Error", "Invalid Point Type: " + pointType_)) return false;
            if (state_.appendPointType(type) >= 0) tables_.resize(state_.pointTypeNames.size());
            return true;
        }
        typeValid_ = true;
        awaitingName_ = true;
        typeIndex_ = index;
        if (const PointTypeDefinition* def = state_.definition(type)) {
            if (def->numericFields) numericList_ = *def->numericFields;
            if (def->internalParameters) internalList_ = *def->internalParameters;
        }
        return true;
    }

    void parameter(std::string_view line) {
        const ParameterLine p = SplitEbParameterLine(line);
        if (!internal_ && !internalList_.empty() && IsInternalParameterIn(internalList_, p.name))
            internal_ = true;
        const std::string_view column = internal_ ? std::string_view("_INTERNAL") : p.name;
        TableColumns& table = fetch();
        if (table.missing) return;  // the import names the missing table
        const std::size_t k = parameterIndex_++;
        if (k < table.byPosition.size() && table.byPosition[k] == column) return;
        if (k < table.byPosition.size())
            table.byPosition[k] = std::string(column);
        else if (k == table.byPosition.size())
            table.byPosition.emplace_back(column);
        if (table.exact.count(std::string(column))) return;
        std::string upper = db::ToUpperAscii(column);
        if (table.upper.count(upper)) {
            table.exact.emplace(column);
            return;
        }
        const bool numeric = !internal_ && IsNumericParameter(pointType_, column, numericList_);
        const std::string& name = state_.pointTypeNames[static_cast<std::size_t>(typeIndex_)];
        try {
            db_->addColumn(name, column, numeric ? "INTEGER" : "TEXT");
            db_->pointSaved();
        } catch (const std::exception& e) {
            problems_.add(feedback_, state_.currentEbFile + ", line " +
                                         std::to_string(reader_.lineNumber()) + ": the column " +
                                         std::string(column) + " could not be added to " + name +
                                         ": " + e.what());
        }
        table.upper.insert(std::move(upper));  // tried once, whatever the outcome
        table.exact.emplace(column);
    }

    TableColumns& fetch() {
        TableColumns& table = tables_[static_cast<std::size_t>(typeIndex_)];
        if (table.fetched) return table;
        table.fetched = true;
        auto info = db_->tableInfo(state_.pointTypeNames[static_cast<std::size_t>(typeIndex_)]);
        if (!info) {
            table.missing = true;
            return table;
        }
        for (const auto& col : info->columns) table.upper.insert(db::ToUpperAscii(col.name));
        return table;
    }

    AppState& state_;
    Feedback& feedback_;
    EbLineReader reader_;
    std::unique_ptr<db::Database> db_;
    std::vector<TableColumns> tables_;
    ProblemList problems_;
    std::string pointType_;
    std::string numericList_, internalList_;
    int typeIndex_ = 0;
    std::size_t parameterIndex_ = 0;
    bool typeValid_ = false;
    bool awaitingName_ = false;
    bool internal_ = false;
};

}  // namespace

Outcome UpdateDefinitionsFromEbFile(AppState& state, Feedback& feedback) {
    return DefinitionUpdate(state, feedback).run();
}

}  // namespace pel::eb
