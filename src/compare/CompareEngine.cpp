#include "compare/CompareEngine.h"

#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "compare/ComparisonReport.h"
#include "compare/FoundColumn.h"
#include "compare/FoundRows.h"
#include "compare/ValueComparison.h"
#include "core/Paths.h"
#include "core/ProblemList.h"
#include "db/Database.h"
#include "db/ValueText.h"
#include "eb/EbBlockScanner.h"
#include "eb/EbLine.h"
#include "eb/EbLineReader.h"
#include "eb/OutputFile.h"

namespace pel {

namespace {

constexpr Panel kPanel = Panel::CompareEb;
constexpr std::int64_t kHighestNode = 65535;
constexpr std::string_view kTwoWayRun = "two-way comparison";

// A node number: a whole number from 0 to 65535, else none (it would mark nothing sensible and
// could grow the node flags to a huge array).
std::optional<int> NodeNumber(std::string_view text) {
    auto n = db::ParseNumber(text);
    if (!n || *n < 0 || *n > kHighestNode ||
        *n != static_cast<double>(static_cast<std::int64_t>(*n)))
        return std::nullopt;
    return static_cast<int>(*n);
}

// What a parameter name means to the comparison, worked out once per name and place.
struct ComparedParameter {
    int column = -1;                         // the column named exactly, or -1
    bool description = false, node = false;  // PTDESC; BOXNUM or NODENUM
};

struct TypeCursor {
    bool opened = false;
    std::unique_ptr<db::Cursor> cursor;
    int found = -1;       // the _Found column
    FoundRows foundRows;  // found in this run
    eb::ColumnByPosition<ComparedParameter> parameters;
};

class Comparison : public eb::EbBlockHandler {
  public:
    Comparison(const PointTypeCatalog& catalog, Feedback& feedback, const CompareEbRequest& request)
        : catalog_(catalog), feedback_(feedback), request_(request) {}

    Outcome run() {
        const bool twoWay = request_.twoWay;
        std::vector<std::string> paths;
        for (const auto& name : request_.fileNames)
            paths.push_back(JoinPath(request_.directory, name));
        std::vector<eb::RunInput> inputs{{"the database", request_.database}};
        for (const auto& path : paths) inputs.push_back({"the EB file", path});
        if (eb::OutputRefused(feedback_, kProgramTitle, request_.reportFile, inputs))
            return Outcome::LeftUndone;
        try {
            db_ = db::Database::open(request_.database, true);
        } catch (const std::exception& e) {
            feedback_.message(kProgramTitle, std::string("Cannot compare: ") + e.what(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        if (twoWay && !db_->tryHoldRun(kTwoWayRun)) {
            feedback_.warning("another two-way comparison of " + db_->path() +
                              " is running; this one waits for it to end");
            feedback_.setLabel(kPanel, Label::Status, "Waiting for another two-way comparison");
            feedback_.repaint();
            db_->waitToHoldRun(kTwoWayRun);
        }
        ProblemList unprepared{ProblemList::kAll};
        for (std::int32_t i = 0; i < catalog_.count(); ++i) {
            const std::string& type = catalog_.name(i);
            feedback_.setLabel(kPanel, Label::Status, "Checking format of " + type);
            feedback_.repaint();
            AddFieldIfMissing(*db_, type, unprepared);
        }
        feedback_.clearText();
        if (twoWay) {
            for (std::int32_t i = 0; i < catalog_.count(); ++i)
                if (!EnsureFieldType(*db_, feedback_, catalog_.name(i), unprepared))
                    leftUndone_ = true;  // a Cancel: the column is kept as it is
        }
        try {
            db_->commit();
            db_->groupSearches();
        } catch (const std::exception& e) {
            unprepared.note(std::string("the new columns could not be saved: ") + e.what());
        }
        if (!unprepared.empty())
            problem("the found flags could not be prepared (" + unprepared.joined("; ") + ")");
        if (!report_.open(request_.reportFile)) {
            feedback_.message(kProgramTitle,
                              "Cannot write the comparison report: " + report_.errorText(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        cursors_.resize(static_cast<std::size_t>(catalog_.count()));
        report_.handRowsTo(feedback_);
        report_.documentHead();
        report_.directoryHeading(request_.directory);
        for (const auto& name : request_.fileNames)
            if (!cancelled_) compareFile(name);
        // A cancelled run met only some of the points: its two-way list would be wrong.
        const std::string howFar = std::to_string(compared_) + " points were compared" +
                                   (cancelled_ ? ", up to " + *cancelled_ : std::string());
        if (cancelled_) problems_.note("cancelled: " + howFar);
        if (twoWay && !cancelled_) settleAndList();
        if (twoWay && !cancelled_ && nodeColumn_.empty())
            feedback_.warning(
                "the two-way check found no node to check: no compared point has BOXNUM or "
                "NODENUM");
        cursors_.clear();
        try {
            db_->commit();
        } catch (const std::exception& e) {
            problem(std::string("the found flags could not be saved: ") + e.what());
        }
        if (!problems_.empty()) report_.incomplete(problems_.joined("; "));
        report_.documentEnd();
        bool writeFailed = false;
        if (!report_.commit()) {
            feedback_.message(kProgramTitle, report_.errorText(), Icon::Critical);
            writeFailed = true;
        }
        feedback_.setProgress(kPanel, 1.0);
        feedback_.resultLine(kPanel, "Points compared:" + std::to_string(compared_));
        for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(kPanel, l, "");
        const bool lineBreaks = report_.sayLineBreaks(feedback_);
        if (cancelled_) feedback_.warning(CancelledWarning("The comparison", howFar));
        return problems_.empty() && !writeFailed && !lineBreaks && !leftUndone_
                   ? Outcome::Done
                   : Outcome::LeftUndone;
    }

  private:
    void problem(const std::string& text) {
        // The box waits for the user: the flags set so far are saved and the file released
        // first. A commit that fails here fails again at the end of the run and is reported.
        try {
            db_->commit();
            db_->groupSearches();
        } catch (const std::exception&) {
        }
        feedback_.message(kProgramTitle, text, Icon::Critical);
        problems_.note(text);
    }

    void leavePoint() {
        if (pointTableOpen_) report_.pointEnd();
        pointTableOpen_ = false;
    }

    void compareFile(const std::string& name) {
        file_ = name;
        report_.fileHeading(name);
        report_.columnHeads();
        const std::string path = JoinPath(request_.directory, name);
        eb::EbLineReader reader;
        if (!reader.open(path)) {
            problem(reader.errorText());
            return;
        }
        found_ = false;
        pointTableOpen_ = false;
        path_ = path;
        reader_ = &reader;
        eb::EbBlockScanner scanner(catalog_);
        std::string_view line;
        try {
            while (!cancelled_ && reader.next(line)) {
                scanner.feed(line, *this);
                if (feedback_.repaintDue()) {
                    feedback_.setProgress(kPanel, reader.fraction());
                    feedback_.repaint();
                }
            }
        } catch (const std::exception& e) {
            problem(path + ", line " + std::to_string(reader.lineNumber()) + ": " + e.what() +
                    "; the rest of the file was not compared");
        }
        leavePoint();
        reader_ = nullptr;
        if (reader.failed())
            problem(path + ": " + reader.errorText());
        else
            for (const auto& w : scanner.fileWarnings(name, reader.lastLineEnded()))
                feedback_.warning(w);
    }

    eb::BlockChoice pointType(std::string_view type) override {
        leavePoint();
        feedback_.setLabel(kPanel, Label::PntType, type);
        report_.pointType(type);
        found_ = false;  // lines before the next name line belong to no point
        const int index = catalog_.find(type);
        if (index < 0) {
            // Its points are not compared: work left undone.
            feedback_.warning("Invalid Point Type: " + std::string(type) + " at line " +
                              std::to_string(reader_->lineNumber()) + " of " + file_);
            leftUndone_ = true;
            return eb::BlockChoice::Skip;
        }
        typeIndex_ = index;
        TypeCursor& t = cursors_[static_cast<std::size_t>(index)];
        if (t.opened) return eb::BlockChoice::Read;
        t.opened = true;
        const std::string& table = catalog_.name(index);
        try {
            t.cursor = db_->openTable(table, "PrimaryKey", db::CursorMode::Updating);
            t.found = t.cursor->fieldIndex("_Found");
        } catch (const std::exception& e) {
            problem(std::string("the table ") + table + " could not be opened (" + e.what() +
                    "); its points were not compared");
        }
        return eb::BlockChoice::Read;
    }

    void pointName(std::string_view name) override {
        leavePoint();
        found_ = false;
        if (feedback_.cancelRequested()) {
            cancelled_ = "line " + std::to_string(reader_->lineNumber()) + " of " + file_;
            return;
        }
        pointName_ = std::string(name);
        feedback_.setLabel(kPanel, Label::Name, pointName_);
        TypeCursor& t = cursors_[static_cast<std::size_t>(typeIndex_)];
        found_ = false;
        if (!t.cursor) return;
        if (!t.cursor->seek(pointName_)) {
            report_.notFound(pointName_);
        } else {
            found_ = true;
            ++compared_;
            feedback_.setLabel(kPanel, Label::Status, "Comparing " + pointName_);
            if (t.found >= 0) {
                t.foundRows.add(*t.cursor, pointName_);
                t.cursor->setValue(t.found, db::Value::integer(1));
                t.cursor->update();
                db_->pointSaved();
            }
        }
        if (feedback_.repaintDue()) feedback_.repaint();
    }

    void internalLine(std::string_view) override {}

    void strayLine(std::string_view) override {
        feedback_.warning(path_ + ", line " + std::to_string(reader_->lineNumber()) +
                          ": a parameter line between the point-type line and the "
                          "point-name line belongs to no point; it is ignored");
    }

    void unnamedParameter(std::string_view line) override {
        if (!found_) return;
        feedback_.warning(file_ + ", line " + std::to_string(reader_->lineNumber()) + ", point " +
                          pointName_ + ": the line \"" + std::string(line) +
                          "\" names no parameter; it was not compared");
        leftUndone_ = true;
    }

    void parameter(const eb::ParameterLine& p, std::size_t position) override {
        if (!found_) return;
        const std::string_view ebValue = eb::DecodeEbValue(p.rawValue);
        TypeCursor& t = cursors_[static_cast<std::size_t>(typeIndex_)];
        const ComparedParameter what =
            t.parameters.get(position, p.name, [&](std::string_view name) {
                ComparedParameter c{
                    -1, EqualsIgnoreCase(name, "PTDESC"),
                    EqualsIgnoreCase(name, "BOXNUM") || EqualsIgnoreCase(name, "NODENUM")};
                for (int i = 0; i < t.cursor->fieldCount() && c.column < 0; ++i)
                    if (t.cursor->field(i).name == name) c.column = i;
                return c;
            });
        if (what.description) feedback_.setLabel(kPanel, Label::PtDesc, ebValue);
        // Read where the cursor holds it, or into storage kept from value to value.
        const std::string_view dbValue =
            what.column < 0 ? std::string_view() : t.cursor->valueView(what.column, dbValue_);
        if (ValuesDiffer(ebValue, dbValue)) {
            if (!pointTableOpen_) report_.pointHeading(pointName_);
            pointTableOpen_ = true;
            report_.discrepancy(p.name, ebValue, dbValue);
        }
        if (what.node) {
            if (auto n = NodeNumber(ebValue)) {
                if (static_cast<std::size_t>(*n) >= nodes_.size())
                    nodes_.resize(static_cast<std::size_t>(*n) + 1);
                nodes_[static_cast<std::size_t>(*n)] = true;
                nodeColumn_.assign(p.name);
            }
        }
    }

    // A two-way run leaves every point found with _Found True and every other with False, and
    // lists the database points of the nodes seen, of the types met, that no file held. Each
    // table the files met is walked once, reading only the columns this needs; the flags of the
    // other tables are cleared at once.
    void settleAndList() {
        const bool listing = !nodeColumn_.empty();
        if (listing) report_.missingHeading();
        bool any = false;
        std::unordered_set<std::string> settled;
        for (std::size_t i = 0; i < cursors_.size(); ++i) {
            TypeCursor& t = cursors_[i];
            if (!t.cursor || t.found < 0) continue;
            t.cursor.reset();  // its searches are over: one cursor on the table at a time
            const std::string& table = catalog_.name(static_cast<std::int32_t>(i));
            settled.insert(table);
            try {
                auto walk = db_->openColumns(table, "PrimaryKey", db::CursorMode::Updating,
                                             {"NAME", "PTDESC", "_Found", nodeColumn_});
                db::Cursor& c = *walk;
                const int found = c.fieldIndex("_Found"), name = c.fieldIndex("NAME"),
                          desc = c.fieldIndex("PTDESC"),
                          node = listing ? c.fieldIndex(nodeColumn_) : -1;
                if (node >= 0) report_.pointType(table);
                auto text = [&](int column) {
                    return column >= 0 ? db::ValueText(c.value(column), c.field(column).type)
                                       : std::string();
                };
                if (!c.bof()) c.moveFirst();
                for (; !c.eof(); c.moveNext()) {
                    std::optional<bool> flag = FoundFlag(c.value(found));
                    if (flag != false && !t.foundRows.contains(c, [&] { return text(name); })) {
                        c.setValue(found, db::Value::integer(0));
                        flag = false;
                    }
                    if (node < 0 || flag != false) continue;
                    c.valueText(node, dbValue_);
                    const auto n = NodeNumber(dbValue_);
                    if (!n || static_cast<std::size_t>(*n) >= nodes_.size() ||
                        !nodes_[static_cast<std::size_t>(*n)])
                        continue;
                    any = true;
                    report_.missingRow(text(name), text(desc));
                }
            } catch (const std::exception& e) {
                problem(listing
                            ? "the two-way list of " + table + " stopped: " + e.what()
                            : "the found flags of " + table + " could not be cleared: " + e.what());
            }
        }
        ProblemList uncleared{ProblemList::kAll};
        ClearFoundFlags(catalog_, *db_, settled, uncleared);
        if (!uncleared.empty())
            problem("the found flags could not be cleared (" + uncleared.joined("; ") + ")");
        if (listing) report_.missingEnd(any);
    }

    const PointTypeCatalog& catalog_;
    Feedback& feedback_;
    const CompareEbRequest& request_;
    std::unique_ptr<db::Database> db_;
    ComparisonReport report_;
    std::vector<TypeCursor> cursors_;
    std::vector<bool> nodes_{false};
    ProblemList problems_{ProblemList::kAll};
    std::string nodeColumn_, pointName_, path_, file_, dbValue_;
    const eb::EbLineReader* reader_ = nullptr;
    int typeIndex_ = 0;
    bool found_ = false, pointTableOpen_ = false;
    bool leftUndone_ = false;               // a Cancel, or point types not compared
    std::optional<std::string> cancelled_;  // where the user's Cancel stopped the run
    std::int64_t compared_ = 0;
};

}  // namespace

Outcome CompareEbFiles(const PointTypeCatalog& catalog, Feedback& feedback,
                       const CompareEbRequest& request) {
    return Comparison(catalog, feedback, request).run();
}

}  // namespace pel
