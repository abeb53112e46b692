#include "import/DefinitionUpdate.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "core/ProblemList.h"
#include "core/RecentTypes.h"
#include "db/Database.h"
#include "db/SaveBeforeAsking.h"
#include "eb/EbBlockScanner.h"
#include "eb/EbLine.h"
#include "eb/EbLineReader.h"

namespace pel {

bool IsNumericParameter(std::string_view, std::string_view parameter,
                        std::string_view numericList) {
    const std::string key = "," + BaseParameterName(parameter) + ",";
    return numericList.find(key) != std::string_view::npos;
}

std::string UnknownPointTypeWarning(std::string_view file, std::uint64_t line,
                                    std::string_view pointType) {
    return std::string(file) + ", line " + std::to_string(line) + ": the point type \"" +
           std::string(pointType) + "\" is not known";
}

namespace {

using eb::ParameterLine;

// The columns of one point-type table, fetched once per file on first use.
struct TableColumns {
    bool fetched = false;
    bool internalTried = false;  // _INTERNAL is settled by the first internal line
    bool missing = false;
    std::unordered_set<std::string> upper;  // every column, upper case
    std::size_t columns = 0;                // the table's columns
    std::vector<std::string> notAdded;      // parameters left without a column: the table is full
    std::unordered_set<std::string> exact;  // spellings already found, for the common case
    eb::ColumnByPosition<bool> byPosition;  // the parameter lines already checked
};

struct KnownType {
    int index = -1;
    std::string_view numericList;  // the catalog's
};

class DefinitionUpdate : public eb::EbBlockHandler {
  public:
    DefinitionUpdate(PointTypeCatalog& catalog, Feedback& feedback, const std::string& database,
                     const std::string& file)
        : catalog_(catalog), feedback_(feedback), database_(database), file_(file) {}

    Outcome run(bool& fileFailed) {
        const std::string& file = file_;
        fileFailed = true;
        if (!reader_.open(file)) {
            feedback_.message(kProgramTitle, "Cannot check the EB file: " + reader_.errorText(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        try {
            db_ = db::Database::open(database_, true);
        } catch (const std::exception& e) {
            feedback_.message(kProgramTitle,
                              std::string("Cannot update the database definitions: ") + e.what(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        tables_.resize(static_cast<std::size_t>(catalog_.count()));
        std::string_view line;
        bool stopped = false;
        try {
            while (!stopped && reader_.next(line)) {
                if (feedback_.repaintDue()) {
                    showLine();
                    feedback_.setProgress(Panel::Import, reader_.fraction());
                    feedback_.repaint();
                }
                stopped = !scanner_.feed(line, *this);
            }
        } catch (const std::exception& e) {
            problems_.add(feedback_, file + ", line " + std::to_string(reader_.lineNumber()) +
                                         ": " + e.what() +
                                         "; the rest of the file was not checked");
            stopped = true;
        }
        fileFailed = reader_.failed();
        if (reader_.failed()) problems_.add(feedback_, file + ": " + reader_.errorText());
        reportFullTables();
        try {
            db_->commit();
        } catch (const std::exception& e) {
            problems_.add(feedback_,
                          std::string("The new columns could not be saved: ") + e.what());
        }
        showLine();
        if (!problems_.empty()) {
            feedback_.message(kProgramTitle, "Database definitions from " + file + ": " +
                                                 problems_.summary("column could not be added",
                                                                   "columns could not be added"));
            return Outcome::LeftUndone;
        }
        return stopped ? Outcome::LeftUndone : Outcome::Done;
    }

  private:
    void showLine() {
        feedback_.setLabel(Panel::Import, Label::Status,
                           "Checking EB file, line " + std::to_string(reader_.lineNumber()));
    }

    eb::BlockChoice pointType(std::string_view type) override {
        numericList_ = {};
        pointType_.assign(type);
        const KnownType* known = recentTypes_.find(type);
        const int index = known ? known->index : catalog_.find(type);
        if (index < 0) {
            showLine();
            feedback_.repaint();
            feedback_.warning(UnknownPointTypeWarning(file_, reader_.lineNumber(), pointType_));
            if (!db::AskOkCancelWithWorkSaved(*db_, feedback_, "Error",
                                              "Invalid Point Type: " + pointType_))
                return eb::BlockChoice::Stop;
            if (catalog_.append(type) >= 0)
                tables_.resize(static_cast<std::size_t>(catalog_.count()));
            return eb::BlockChoice::Skip;
        }
        if (!known) {  // a known type's index and definition stay as they are
            const PointTypeDefinition* def = catalog_.definition(type);
            known = &recentTypes_.put(
                type, {index, def && def->numericFields ? std::string_view(*def->numericFields)
                                                        : std::string_view()});
        }
        typeIndex_ = index;
        numericList_ = known->numericList;
        return eb::BlockChoice::Read;
    }

    void pointName(std::string_view) override {}
    // No column without a name; the import names the line.
    void unnamedParameter(std::string_view) override {}

    void strayLine(std::string_view) override {
        feedback_.warning(file_ + ", line " + std::to_string(reader_.lineNumber()) +
                          ": a parameter line between the point-type line and the "
                          "point-name line belongs to no point; it is ignored");
    }

    void internalLine(std::string_view) override {
        TableColumns& table = fetch();
        if (table.missing || table.internalTried) return;
        ensureColumn(table, "_INTERNAL", false);
        table.internalTried = true;
    }

    void parameter(const ParameterLine& p, std::size_t position) override {
        TableColumns& table = fetch();
        if (table.missing) return;  // the import names the missing table
        table.byPosition.get(position, p.name, [&](std::string_view column) {
            ensureColumn(table, column, IsNumericParameter(pointType_, column, numericList_));
            return true;
        });
    }

    void ensureColumn(TableColumns& table, std::string_view column, bool numeric) {
        if (table.exact.count(std::string(column))) return;
        std::string upper = ToUpperAscii(column);
        if (table.upper.count(upper)) {
            table.exact.emplace(column);
            return;
        }
        const std::string& name = catalog_.name(typeIndex_);
        try {
            if (table.columns >= db::kMostParameterColumns) {
                table.notAdded.emplace_back(column);
            } else {
                db_->addColumn(name, column, numeric ? "INTEGER" : "TEXT");
                ++table.columns;
            }
            db_->pointSaved();
        } catch (const std::exception& e) {
            problems_.add(feedback_, file_ + ", line " + std::to_string(reader_.lineNumber()) +
                                         ": the column " + std::string(column) +
                                         " could not be added to " + name + ": " + e.what());
        }
        table.upper.insert(std::move(upper));  // tried once, whatever the outcome
        table.exact.emplace(column);
    }

    TableColumns& fetch() {
        TableColumns& table = tables_[static_cast<std::size_t>(typeIndex_)];
        if (table.fetched) return table;
        table.fetched = true;
        auto info = db_->tableInfo(catalog_.name(typeIndex_));
        if (!info) {
            table.missing = true;
            return table;
        }
        for (const auto& col : info->columns) table.upper.insert(ToUpperAscii(col.name));
        table.columns = info->columns.size();
        return table;
    }

    // One problem per full table, naming every parameter that got no column.
    void reportFullTables() {
        for (std::size_t i = 0; i < tables_.size(); ++i) {
            const auto& names = tables_[i].notAdded;
            if (names.empty()) continue;
            std::string text = "The table " + catalog_.name(static_cast<std::int32_t>(i)) +
                               " has " + std::to_string(tables_[i].columns) +
                               " columns, as many as it may have; these " +
                               std::to_string(names.size()) +
                               " parameters got no column and their values cannot be stored:";
            for (const auto& n : names) text += " " + n;
            problems_.add(feedback_, std::move(text));
        }
    }

    PointTypeCatalog& catalog_;
    Feedback& feedback_;
    std::string database_;
    std::string file_;
    eb::EbLineReader reader_;
    std::unique_ptr<db::Database> db_;
    std::vector<TableColumns> tables_;
    ProblemList problems_;
    std::string pointType_;
    std::string_view numericList_;  // the catalog's, which outlives the run
    int typeIndex_ = 0;
    eb::EbBlockScanner scanner_{catalog_};
    RecentTypes<KnownType> recentTypes_;
};

}  // namespace

Outcome UpdateDefinitionsFromEbFile(PointTypeCatalog& catalog, Feedback& feedback,
                                    const std::string& database, const std::string& file,
                                    bool* fileFailed) {
    bool failed = false;
    const Outcome outcome = DefinitionUpdate(catalog, feedback, database, file).run(failed);
    if (fileFailed) *fileFailed = failed;
    return outcome;
}

}  // namespace pel
