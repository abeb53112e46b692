#include "connections/ConnectionReport.h"

#include <memory>

#include "core/ConnectionParameters.h"
#include "core/ProblemList.h"
#include "db/Database.h"
#include "db/ValueText.h"
#include "eb/LineBreaks.h"
#include "eb/OutputFile.h"
#include "eb/TextFileWriter.h"

namespace pel {

namespace {

constexpr std::string_view kTitle = "Connection Report";

void ClearLabels(Feedback& feedback) {
    for (Label l : {Label::Status, Label::Name, Label::PntType, Label::PtDesc})
        feedback.setLabel(Panel::Connections, l, "");
}

}  // namespace

std::vector<std::string> ReportedPointTypes(const PointTypeCatalog& catalog,
                                            const std::vector<std::string>& checkedCaptions) {
    std::string checked;
    for (const auto& caption : checkedCaptions) checked += caption + ",";
    std::vector<std::string> reported;
    for (const std::string& name : catalog.names()) {
        // A plain substring test: a type REGCL is reported with REGCLNIM checked.
        if (!name.empty() && checked.find(name) != std::string::npos) reported.push_back(name);
    }
    return reported;
}

Outcome MakeConnectionReport(Feedback& feedback, const ConnectionReportRequest& request) {
    ClearLabels(feedback);
    const std::vector<std::string>& types = request.pointTypes;
    if (types.empty()) {
        feedback.message(kTitle, "No point types defined");
        return Outcome::LeftUndone;
    }
    // A database that cannot be opened is said before the question, not after OK.
    std::unique_ptr<db::Database> db;
    try {
        db = db::Database::open(request.database, false);
    } catch (const std::exception& e) {
        feedback.message(kTitle, std::string("Cannot make the connection report: ") + e.what(),
                         Icon::Critical);
        return Outcome::LeftUndone;
    }
    if (!feedback.confirmRun(kTitle, types)) return Outcome::LeftUndone;
    if (eb::OutputRefused(feedback, kTitle, request.reportFile,
                          {{"the database", request.database}}))
        return Outcome::LeftUndone;

    eb::TextFileWriter out;
    if (!out.open(request.reportFile)) {
        feedback.message(kTitle, "Cannot make the connection report: " + out.errorText(),
                         Icon::Critical);
        return Outcome::LeftUndone;
    }
    std::int64_t points = 0;
    ProblemList abandoned{ProblemList::kAll};
    ProblemList lineBreaks;
    // A line of the report never holds a line break: each is written as a blank, and named.
    auto writeLine = [&](std::string text, std::string_view point, std::string_view parameter) {
        if (eb::HasLineBreak(text)) {
            text = eb::WithoutLineBreaks(text);
            lineBreaks.add(feedback, "Point " + std::string(point) + ", parameter " +
                                         std::string(parameter) +
                                         ": a line break in its text was written as a blank");
        }
        out.writeLine(text);
    };
    bool cancelled = false;
    for (const auto& type : types) {
        if (cancelled) break;
        std::string openBlock;  // the point whose block is being written
        try {
            auto cursor = db->openTable(type, "PrimaryKey", db::CursorMode::Reading);
            const int count = cursor->fieldCount();
            const int name = cursor->fieldIndex("NAME");
            std::vector<char> connection(static_cast<std::size_t>(count));
            int ptdesc = -1;
            for (int i = 0; i < count; ++i) {
                const std::string& column = cursor->field(i).name;
                if (column == "PTDESC") ptdesc = i;
                connection[static_cast<std::size_t>(i)] = column != "NAME" && column != "PNTTYPE" &&
                                                          column != "_INTERNAL" &&
                                                          IsConnectionParameter(column);
            }
            if (!cursor->bof()) cursor->moveFirst();
            for (; !cursor->eof(); cursor->moveNext()) {
                if ((cancelled = feedback.cancelRequested())) break;
                openBlock = name >= 0 ? db::ValueText(cursor->value(name), cursor->field(name).type)
                                      : std::string();
                out.writeLine("Point Type " + type);
                writeLine("Name       " + openBlock, openBlock, "NAME");
                feedback.setLabel(Panel::Connections, Label::Name, openBlock);
                feedback.setLabel(Panel::Connections, Label::PntType, type);
                if (ptdesc >= 0) {
                    std::string desc =
                        db::ValueText(cursor->value(ptdesc), cursor->field(ptdesc).type);
                    if (!desc.empty()) feedback.setLabel(Panel::Connections, Label::PtDesc, desc);
                }
                for (int i = 0; i < count; ++i) {
                    if (!connection[static_cast<std::size_t>(i)]) continue;
                    std::string value = db::ValueText(cursor->value(i), cursor->field(i).type);
                    if (!value.empty())
                        writeLine(cursor->field(i).name + " = " + value, openBlock,
                                  cursor->field(i).name);
                }
                out.writeLine("{ }");
                openBlock.clear();
                ++points;
                if (feedback.repaintDue()) feedback.repaint();
            }
        } catch (const std::exception& e) {
            // The type is abandoned and the run goes on with the next; the end says so.
            std::string why = type + ": " + e.what();
            if (!openBlock.empty()) why += " (the block of point " + openBlock + " is cut short)";
            abandoned.note(why);
        }
    }
    const bool written = out.commit();
    feedback.resultLine(Panel::Connections, "Points reported: " + std::to_string(points));
    for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
        feedback.setLabel(Panel::Connections, l, "");
    if (!written) {
        feedback.message(kTitle, out.errorText(), Icon::Critical);
        return Outcome::LeftUndone;
    }
    if (!abandoned.empty()) {
        std::string text = "These point types were abandoned:";
        for (const auto& a : abandoned.listed()) text += "\n  " + a;
        feedback.message(kTitle, text, Icon::Exclamation);
        return Outcome::LeftUndone;
    }
    const bool notKept =
        db::SayReadNotes(*db, [&](const std::string& note) { feedback.warning(note); });
    if (cancelled)
        feedback.warning(CancelledWarning("The connection report",
                                          std::to_string(points) + " points were written"));
    return lineBreaks.empty() && !notKept && !cancelled ? Outcome::Done : Outcome::LeftUndone;
}

}  // namespace pel
