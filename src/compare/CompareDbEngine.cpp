#include "compare/CompareDbEngine.h"

#include <memory>
#include <vector>

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
        // A database that cannot be opened is said before the question, not after OK.
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
        if (!feedback_.confirmRun(kTitle, types)) return Outcome::LeftUndone;
        if (eb::OutputRefused(
                feedback_, kTitle, request_.reportFile,
                {{"the database", request_.database}, {"the as-built database", request_.asBuilt}}))
            return Outcome::LeftUndone;
        if (!report_.open(request_.reportFile)) {
            feedback_.message(kTitle, "Cannot write the report: " + report_.errorText(),
                              Icon::Critical);
            return Outcome::LeftUndone;
        }
        report_.handRowsTo(feedback_);
        report_.documentHead();
        report_.directoryHeading(request_.database + " / " + request_.asBuilt);
        for (const auto& type : types)
            if (!cancelled_) compareType(type, request_.orderBy);
        if (cancelled_)
            problems_.note("cancelled after " + std::to_string(compared_) + " points");
        else
            missingFromDatabase(types);
        if (notCompared_.count() > 10)
            feedback_.warning(std::to_string(notCompared_.count()) +
                              " records of the database have no as-built record and were not "
                              "compared");
        endSearches();
        if (!problems_.empty()) report_.incomplete(problems_.joined("; "));
        report_.documentEnd();
        const bool written = report_.commit();
        if (!written) feedback_.message(kTitle, report_.errorText(), Icon::Critical);
        feedback_.setProgress(kPanel, 1.0);
        feedback_.resultLine(kPanel, "Points compared: " + std::to_string(compared_));
        for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(kPanel, l, "");
        const bool lineBreaks = report_.sayLineBreaks(feedback_);
        const auto warn = [&](const std::string& note) { feedback_.warning(note); };
        const bool notKept = db::SayReadNotes(*db_, warn) | db::SayReadNotes(*asBuilt_, warn);
        if (cancelled_)
            warn(CancelledWarning("The comparison",
                                  std::to_string(compared_) + " points were compared"));
        return written && problems_.empty() && !lineBreaks && !notKept ? Outcome::Done
                                                                       : Outcome::LeftUndone;
    }

  private:
    void problem(const std::string& text) { problems_.add(feedback_, text); }

    void compareType(const std::string& type, std::string_view orderBy) {
        report_.fileHeading(type);
        report_.pointType(type);
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
        // The as-built columns the database lacks: their values are differences too.
        std::vector<int> theirsOnly;
        for (int i = 0; theirs && i < theirs->fieldCount(); ++i)
            if (Compared(theirs->field(i).name) && ours->fieldIndex(theirs->field(i).name) < 0)
                theirsOnly.push_back(i);
        const double rows = static_cast<double>(std::max<std::int64_t>(1, ours->recordCount()));
        double row = 0;
        try {
            if (!ours->bof()) ours->moveFirst();
            for (; !ours->eof(); ours->moveNext(), ++row) {
                if ((cancelled_ = feedback_.cancelRequested())) break;
                const std::string pointName = Text(*ours, name);
                feedback_.setLabel(kPanel, Label::Name, pointName);
                feedback_.setLabel(kPanel, Label::PntType, type);
                compareRecord(*ours, theirs.get(), theirsOnly, type, pointName);
                if (feedback_.repaintDue()) {
                    feedback_.setProgress(kPanel, row / rows);
                    feedback_.repaint();
                }
            }
        } catch (const std::exception& e) {
            problem(std::string("the comparison of ") + type + " stopped: " + e.what());
        }
    }

    static bool Compared(const std::string& column) {
        return column != "NAME" && column != "PNTTYPE" && (column.empty() || column.front() != '_');
    }

    void compareRecord(db::Cursor& ours, db::Cursor* theirs, const std::vector<int>& theirsOnly,
                       const std::string& type, const std::string& pointName) {
        const bool found = theirs && theirs->seek(pointName);
        if (theirs && !found) report_.notFound(pointName, "Not Found in As-Built Database");
        if (!found) {
            // Nothing to compare it with: named, not counted as compared.
            notCompared_.add(feedback_, "Point " + pointName + " of " + type +
                                            " has no as-built record and was not compared");
        } else {
            ++compared_;
        }
        bool open = false;
        auto difference = [&](const std::string& column, const std::string& value,
                              const std::string& other) {
            if (!ValuesDiffer(value, other)) return;
            if (!open) report_.pointHeading(pointName);
            open = true;
            report_.discrepancy(column, value, other);
        };
        for (int i = 0; i < ours.fieldCount(); ++i) {
            const std::string& column = ours.field(i).name;
            if (!Compared(column)) continue;
            const std::string value = Text(ours, i);
            if (column == "PTDESC" && !value.empty())
                feedback_.setLabel(kPanel, Label::PtDesc, value);
            if (found) difference(column, value, Text(*theirs, theirs->fieldIndex(column)));
        }
        if (found)
            for (int i : theirsOnly) difference(theirs->field(i).name, "", Text(*theirs, i));
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
                report_.pointType(type);
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
    ProblemList notCompared_;
    bool cancelled_ = false;
};

}  // namespace

Outcome CompareDatabases(Feedback& feedback, const CompareDbRequest& request) {
    return DatabaseComparison(feedback, request).run();
}

}  // namespace pel
