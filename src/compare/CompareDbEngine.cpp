#include "compare/CompareDbEngine.h"

#include <memory>

#include "compare/ComparisonReport.h"
#include "compare/ValueComparison.h"
#include "core/ProblemList.h"
#include "db/Database.h"
#include "db/ValueText.h"
#include "eb/OutputFile.h"

namespace pel {

namespace {

constexpr std::string_view kTitle = "Compare DB";
constexpr Panel kPanel = Panel::CompareDb;

std::string Text(const db::Cursor& c, int column) {
    return column < 0 ? std::string() : db::ValueText(c.value(column), c.field(column).type);
}

class DatabaseComparison {
  public:
    DatabaseComparison(Feedback& feedback, const CompareDbRequest& request)
        : feedback_(feedback), request_(request) {}

    Outcome run() {
        const std::vector<std::string>& types = request_.pointTypes;
        feedback_.clearText();
        for (Label l : {Label::Status, Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(kPanel, l, "");
        if (types.empty()) {
            feedback_.message(kTitle, "No point types defined");
            return Outcome::LeftUndone;
        }
        if (!feedback_.confirmRun(kTitle, types)) return Outcome::LeftUndone;
        if (eb::OutputRefused(
                feedback_, kTitle, request_.reportFile,
                {{"the database", request_.database}, {"the as-built database", request_.asBuilt}}))
            return Outcome::LeftUndone;
        try {
            db_ = db::Database::open(request_.database, false);
            asBuilt_ = db::Database::open(request_.asBuilt, false);
            db_->groupSearches();
            asBuilt_->groupSearches();
        } catch (const std::exception& e) {
            feedback_.message(kTitle, std::string("Cannot compare the databases: ") + e.what(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        if (!report_.open(request_.reportFile)) {
            feedback_.message(kTitle, "Cannot write the report: " + report_.errorText(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        report_.documentHead();
        report_.directoryHeading(request_.database + " / " + request_.asBuilt);
        for (const auto& type : types) compareType(type, request_.orderBy);
        missingFromDatabase(types);
        endSearches();
        if (!problems_.empty()) report_.incomplete(problems_.joined("; "));
        report_.documentEnd();
        const bool written = report_.commit();
        if (!written) feedback_.message(kTitle, report_.errorText(), Icon::Critical);
        feedback_.setProgress(kPanel, 1.0);
        feedback_.resultLine(kPanel, "Points compared: " + std::to_string(compared_));
        for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(kPanel, l, "");
        return written && problems_.empty() ? Outcome::Done : Outcome::LeftUndone;
    }

  private:
    void problem(const std::string& text) { problems_.add(feedback_, text); }

    void compareType(const std::string& type, std::string_view orderBy) {
        report_.fileHeading(type);
        report_.columnHeads("Value (DB)", "Value (As-Built)");
        const std::string index = orderBy != "Name" && db::IndexExists(*db_, type, orderBy)
                                      ? std::string(orderBy)
                                      : "PrimaryKey";
        std::unique_ptr<db::Cursor> ours, theirs;
        try {
            ours = db_->openTable(type, index, db::CursorMode::Reading);
        } catch (const std::exception& e) {
            problem(std::string("the table ") + type +
                    " of the database could not be read: " + e.what());
            return;
        }
        try {
            theirs = asBuilt_->openTable(type, "PrimaryKey", db::CursorMode::Reading);
        } catch (const std::exception&) {
            report_.notFound(type, "Table not found in As-Built Database");
        }
        const int name = ours->fieldIndex("NAME");
        const double rows = static_cast<double>(std::max<std::int64_t>(1, ours->recordCount()));
        double row = 0;
        try {
            if (!ours->bof()) ours->moveFirst();
            for (; !ours->eof(); ours->moveNext(), ++row) {
                const std::string pointName = Text(*ours, name);
                feedback_.setLabel(kPanel, Label::Name, pointName);
                feedback_.setLabel(kPanel, Label::PntType, type);
                compareRecord(*ours, theirs.get(), pointName);
                if (feedback_.repaintDue()) {
                    feedback_.setProgress(kPanel, row / rows);
                    feedback_.repaint();
                }
            }
        } catch (const std::exception& e) {
            problem(std::string("the comparison of ") + type + " stopped: " + e.what());
        }
    }

    void compareRecord(db::Cursor& ours, db::Cursor* theirs, const std::string& pointName) {
        ++compared_;
        const bool found = theirs && theirs->seek(pointName);
        if (theirs && !found) report_.notFound(pointName, "Not Found in As-Built Database");
        bool open = false;
        for (int i = 0; i < ours.fieldCount(); ++i) {
            const std::string& column = ours.field(i).name;
            if (column == "NAME" || column == "PNTTYPE" ||
                (!column.empty() && column.front() == '_'))
                continue;
            const std::string value = Text(ours, i);
            if (value.empty()) continue;
            if (column == "PTDESC") feedback_.setLabel(kPanel, Label::PtDesc, value);
            if (!found) continue;
            const std::string other = Text(*theirs, theirs->fieldIndex(column));
            if (!ValuesDiffer(value, other)) continue;
            if (!open) report_.pointHeading(pointName);
            open = true;
            report_.discrepancy(column, value, other);
        }
        if (open) report_.pointEnd();
    }

    // The as-built records of the compared types that the database lacks.
    // Releases both files at once rather than when the run's objects go; nothing was written,
    // so a failure here loses nothing.
    void endSearches() {
        for (auto* db : {db_.get(), asBuilt_.get()}) {
            try {
                db->commit();
            } catch (const std::exception&) {
            }
        }
    }

    void missingFromDatabase(const std::vector<std::string>& types) {
        report_.missingHeading("Points in As-Built Database - Not in Database");
        bool any = false;
        for (const auto& type : types) {
            try {
                auto theirs = asBuilt_->openTable(type, "PrimaryKey", db::CursorMode::Reading);
                std::unique_ptr<db::Cursor> ours;
                try {
                    ours = db_->openTable(type, "PrimaryKey", db::CursorMode::Reading);
                } catch (const std::exception&) {
                }
                const int name = theirs->fieldIndex("NAME"), desc = theirs->fieldIndex("PTDESC");
                if (!theirs->bof()) theirs->moveFirst();
                for (; !theirs->eof(); theirs->moveNext()) {
                    const std::string pointName = Text(*theirs, name);
                    if (ours && ours->seek(pointName)) continue;
                    any = true;
                    report_.missingRow(pointName, Text(*theirs, desc), "Not in DB");
                }
            } catch (const std::exception&) {
                // No such table in the as-built database: said with its records above.
            }
        }
        report_.missingEnd(any);
    }

    Feedback& feedback_;
    const CompareDbRequest& request_;
    std::unique_ptr<db::Database> db_, asBuilt_;
    ComparisonReport report_;
    ProblemList problems_{ProblemList::kAll};
    std::int64_t compared_ = 0;
};

}  // namespace

Outcome CompareDatabases(Feedback& feedback, const CompareDbRequest& request) {
    return DatabaseComparison(feedback, request).run();
}

}  // namespace pel
