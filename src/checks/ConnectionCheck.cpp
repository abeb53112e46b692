#include "checks/ConnectionCheck.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "checks/ConnectionReference.h"
#include "compare/FindingsReport.h"
#include "core/AsciiCase.h"
#include "core/ConnectionParameters.h"
#include "core/Paths.h"
#include "db/Database.h"
#include "db/ValueText.h"
#include "eb/EbLine.h"
#include "eb/EbLineReader.h"

namespace pel {

namespace {

constexpr Panel kPanel = Panel::Connections;
constexpr std::string_view kTitle = "Check Connections";
constexpr std::uint32_t kOnlyInEbFiles = UINT32_MAX;

struct PointTable {
    std::string name;
    std::unordered_set<std::string> parameters;  // base names of its columns, upper case
};

// Every point name of the database and the EB files, upper case, with the table it stands in:
// sorted once, then searched.
struct NamedPoint {
    std::string name;
    std::uint32_t table;
    bool operator<(const NamedPoint& other) const { return name < other.name; }
};

class ConnectionCheck {
  public:
    ConnectionCheck(const PointTypeCatalog& catalog, Feedback& feedback,
                    const ConnectionCheckRequest& r)
        : catalog_(catalog), feedback_(feedback), request_(r) {}

    ConnectionCheckResult run() {
        for (Label l : {Label::Status, Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(kPanel, l, "");
        try {
            db_ = db::Database::open(request_.database, false);
        } catch (const std::exception& e) {
            return refuse(std::string("Cannot check the connections: ") + e.what());
        }
        std::vector<std::string> inputs = request_.ebFiles;
        inputs.push_back(request_.database);
        if (!report_.open(request_.reportFile, kTitle,
                          {"Point Type", "Point", "Parameter", "Value", "Finding"}, inputs))
            return refuse("Cannot write the report: " + report_.errorText());
        report_.heading(request_.database);
        findTables();
        const std::vector<std::uint32_t> checked = checkedTables();
        if (checked.empty() && result_.outcome == Outcome::Done)
            leftUndone("No point types selected");
        if (!checked.empty()) readNames();
        for (std::size_t i = 0; i < checked.size() && !cancelled_; ++i) {
            feedback_.setProgress(kPanel, double(i) / double(checked.size()));
            checkTable(tables_[checked[i]]);
        }
        finish();
        return result_;
    }

  private:
    ConnectionCheckResult refuse(const std::string& text) {
        feedback_.message(kTitle, text, Icon::Critical);
        result_.outcome = Outcome::LeftUndone;
        return result_;
    }

    void leftUndone(const std::string& text) {
        feedback_.message(kTitle, text, Icon::Exclamation);
        result_.outcome = Outcome::LeftUndone;
        if (!undone_.empty()) undone_ += "; ";
        undone_ += text;
    }

    // The known point types that have a table, in the definitions' order.
    void findTables() {
        for (std::int32_t i = 0; i < catalog_.count(); ++i) {
            const std::string& type = catalog_.name(i);
            auto info = db::TableExists(*db_, type) ? db_->tableInfo(type) : std::nullopt;
            if (!info) continue;
            PointTable table{type, {}};
            for (const auto& column : info->columns)
                table.parameters.insert(BaseParameterName(column.name));
            tables_.push_back(std::move(table));
        }
    }

    std::vector<std::uint32_t> checkedTables() {
        std::vector<std::uint32_t> checked;
        if (request_.pointTypes.empty()) {
            for (std::uint32_t i = 0; i < tables_.size(); ++i) checked.push_back(i);
            return checked;
        }
        for (const auto& type : request_.pointTypes) {
            const int known = catalog_.find(type);
            if (known < 0) {
                leftUndone("Invalid Point Type: " + type);
                continue;
            }
            const std::string& name = catalog_.name(known);
            auto at = std::find_if(tables_.begin(), tables_.end(),
                                   [&](const PointTable& t) { return t.name == name; });
            if (at == tables_.end()) {
                leftUndone("The database has no table " + name);
                continue;
            }
            const auto index = static_cast<std::uint32_t>(at - tables_.begin());
            if (std::find(checked.begin(), checked.end(), index) == checked.end())
                checked.push_back(index);
        }
        std::sort(checked.begin(), checked.end());
        return checked;
    }

    void readNames() {
        for (std::uint32_t t = 0; t < tables_.size(); ++t) {
            feedback_.setLabel(kPanel, Label::Status, "Reading the points of " + tables_[t].name);
            feedback_.repaint();
            try {
                auto cursor = db_->openTable(tables_[t].name, "", db::CursorMode::Reading);
                const int name = cursor->fieldIndex("NAME");
                if (name < 0) throw db::DbError(db::DbError::Kind::NoColumn, "no NAME column");
                for (; !cursor->eof(); cursor->moveNext())
                    names_.push_back(
                        {ToUpperAscii(db::ValueText(cursor->value(name), cursor->field(name).type)),
                         t});
            } catch (const std::exception& e) {
                leftUndone("Cannot read the points of " + tables_[t].name + ": " + e.what());
            }
        }
        for (const auto& file : request_.ebFiles) readEbNames(file);
        std::sort(names_.begin(), names_.end());
        feedback_.setLabel(kPanel, Label::Status, "");
    }

    void readEbNames(const std::string& path) {
        eb::EbLineReader reader;
        if (!reader.open(path)) return leftUndone(reader.errorText());
        feedback_.setLabel(kPanel, Label::Status, "Reading the points of " + path);
        feedback_.repaint();
        bool inBlock = false;
        std::string_view line;
        while (reader.next(line)) {
            const auto classified = eb::ClassifyEbLine(line);
            if (classified.kind == eb::EbLineKind::PointType) inBlock = true;
            if (classified.kind == eb::EbLineKind::PointName && inBlock)
                names_.push_back({ToUpperAscii(classified.text), kOnlyInEbFiles});
        }
        if (reader.failed()) leftUndone(path + ": " + reader.errorText());
    }

    void checkTable(const PointTable& table) {
        try {
            auto cursor = db_->openTable(table.name, "", db::CursorMode::Reading);
            const int name = cursor->fieldIndex("NAME");
            std::vector<int> connections;
            for (int i = 0; i < cursor->fieldCount(); ++i)
                if (IsConnectionParameter(cursor->field(i).name)) connections.push_back(i);
            for (; !cursor->eof(); cursor->moveNext()) {
                if ((cancelled_ = feedback_.cancelRequested())) return;
                ++result_.points;
                const std::string point =
                    name >= 0 ? db::ValueText(cursor->value(name), cursor->field(name).type) : "";
                if (feedback_.repaintDue()) {
                    feedback_.setLabel(kPanel, Label::Name, point);
                    feedback_.setLabel(kPanel, Label::PntType, table.name);
                    feedback_.repaint();
                }
                for (int column : connections) {
                    const std::string value =
                        db::ValueText(cursor->value(column), cursor->field(column).type);
                    checkValue(table.name, point, cursor->field(column).name, value);
                }
            }
        } catch (const std::exception& e) {
            leftUndone("The point type " + table.name + " was abandoned: " + e.what());
        }
    }

    void checkValue(const std::string& type, const std::string& point, const std::string& column,
                    const std::string& value) {
        const auto reference = ParseConnectionReference(value);
        if (!reference) return;
        ++result_.references;
        const NamedPoint key{ToUpperAscii(reference->point), 0};
        const auto [first, last] = std::equal_range(names_.begin(), names_.end(), key);
        if (first == last) {
            ++result_.dangling;
            report_.row({type, point, column, value, "point not found"});
            return;
        }
        const std::string parameter = BaseParameterName(reference->parameter);
        bool inTable = false, found = false;
        for (auto at = first; at != last && !found; ++at) {
            if (at->table == kOnlyInEbFiles) continue;
            inTable = true;
            found = tables_[at->table].parameters.count(parameter) > 0;
        }
        // A point known only from the EB files has no columns to look in.
        if (inTable && !found) {
            ++result_.parameterNotFound;
            report_.row({type, point, column, value, "parameter not found"});
        }
    }

    void finish() {
        if (cancelled_) {
            const std::string howFar = std::to_string(result_.points) + " points were checked";
            feedback_.warning(CancelledWarning("The connection check", howFar));
            result_.outcome = Outcome::LeftUndone;
            undone_ += (undone_.empty() ? "cancelled: " : "; cancelled: ") + howFar;
        }
        const bool written = report_.close(feedback_, undone_);
        if (!written) leftUndone(report_.errorText() + "; the report is incomplete");
        feedback_.setProgress(kPanel, 1.0);
        feedback_.resultLine(kPanel, "Points checked: " + std::to_string(result_.points) +
                                         "      References: " + std::to_string(result_.references) +
                                         "      Dangling: " + std::to_string(result_.dangling));
        for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(kPanel, l, "");
    }

    const PointTypeCatalog& catalog_;
    Feedback& feedback_;
    const ConnectionCheckRequest& request_;
    std::unique_ptr<db::Database> db_;
    std::vector<PointTable> tables_;
    std::vector<NamedPoint> names_;
    FindingsReport report_;
    ConnectionCheckResult result_;
    std::string undone_;
    bool cancelled_ = false;
};

}  // namespace

ConnectionCheckResult CheckConnections(const PointTypeCatalog& catalog, Feedback& feedback,
                                       const ConnectionCheckRequest& request) {
    return ConnectionCheck(catalog, feedback, request).run();
}

}  // namespace pel
