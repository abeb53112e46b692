#include "export/ExportEngine.h"

#include <filesystem>
#include <memory>
#include <unordered_set>

#include "core/ProblemList.h"
#include "db/Database.h"
#include "db/Definitions.h"
#include "eb/EbBlockWriter.h"
#include "eb/OutputFile.h"
#include "eb/TextFileWriter.h"
#include "export/ExportSelection.h"

namespace pel {

namespace {
constexpr std::string_view kTitle = "Build EB File";
}

// The rule works on the file name only, so a folder with a "." in its name keeps it, and a name
// without "." gets "_n" appended instead of keeping one name for every file of the run.
std::string NextExportFileName(const std::string& firstFile, int fileNumber) {
    const std::size_t slash = firstFile.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string folder = firstFile.substr(0, start), name = firstFile.substr(start);
    const std::string number = "_" + std::to_string(fileNumber);
    if (auto p = name.find("_1."); p != std::string::npos)
        name.replace(p, 3, number + ".");
    else if (auto d = name.find('.'); d != std::string::npos)
        name.replace(d, 1, number + ".");
    else
        name += number;
    return folder + name;
}

namespace {

class ExportRun {
  public:
    ExportRun(Feedback& feedback, const ExportRequest& request)
        : feedback_(feedback), request_(request) {}

    Outcome run() {
        const std::vector<std::string>& types = request_.pointTypes;
        if (types.empty()) {
            feedback_.message(kProgramTitle, "No point types selected");
            return Outcome::LeftUndone;
        }
        if (eb::OutputRefused(feedback_, kProgramTitle, request_.exportFile, inputs()))
            return Outcome::LeftUndone;
        feedback_.clearText();
        // What cannot be read is said before the question, not after OK.
        std::optional<std::vector<std::string>> selection;
        switch (request_.selection) {
            case ExportSelection::All:
                break;
            case ExportSelection::File: {
                std::string failure;
                selection = ReadSelectionList(request_.selectionFile, &failure);
                if (!selection) return fail(failure);
                break;
            }
            case ExportSelection::Text:
                selection = SplitExportSelectionText(request_.selectionText);
                break;
        }
        try {
            db_ = db::Database::open(request_.database, false);
        } catch (const std::exception& e) {
            return fail(std::string("Cannot export: ") + e.what());
        }
        if (!feedback_.confirmRun(kTitle, types)) return Outcome::LeftUndone;
        try {
            quoted_ = request_.definitions
                          ? db::ReadQuotedParameters(*request_.definitions, request_.lcnNode)
                          : ",";
        } catch (const std::exception& e) {
            return fail(std::string("Cannot read the quoted parameters: ") + e.what());
        }
        if (selection) selected_.emplace(selection->begin(), selection->end());
        limit_ = request_.limitPointsPerFile;
        if (limit_ && request_.maxPointsPerFile < 1) {
            feedback_.warning("The maximum of " + std::to_string(request_.maxPointsPerFile) +
                              " points per EB file is below 1: the export is not split");
            limit_ = false;
        }
        if (!openFile(request_.exportFile)) return Outcome::LeftUndone;
        for (const auto& type : types) {
            if (cancelled_) break;
            const Outcome o = exportType(type, request_.orderBy);
            if (o != Outcome::Done) return finishFile() ? o : Outcome::LeftUndone;
        }
        if (!finishFile()) return Outcome::LeftUndone;
        sayFilesWritten();
        saySelectionNotFound(selection);
        if (unmappable_ > 0) {
            feedback_.warning(std::to_string(unmappable_) +
                              " characters that code page 1252 cannot hold were written as \"?\"");
            std::string places = "The first values that held them:";
            for (const auto& place : unmappablePlaces_) places += "\n  " + place;
            feedback_.warning(places);
        }
        feedback_.setProgress(Panel::Export, 1.0);
        feedback_.resultLine(Panel::Export, "Points exported: " + std::to_string(exported_));
        for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(Panel::Export, l, "");
        const bool notKept =
            db::SayReadNotes(*db_, [&](const std::string& note) { feedback_.warning(note); });
        if (cancelled_)
            feedback_.warning(
                CancelledWarning("The export", std::to_string(exported_) + " points were written"));
        return lineBreaks_.empty() && !notKept && !cancelled_ ? Outcome::Done : Outcome::LeftUndone;
    }

  private:
    Outcome fail(const std::string& text) {
        feedback_.message(kProgramTitle, text, Icon::Critical);
        return Outcome::LeftUndone;
    }

    // A split export names its files, and the files of the same series that an earlier, larger
    // run left (they are never deleted: they may be the user's).
    void sayFilesWritten() {
        if (!limit_) return;
        if (fileNumber_ > 1) {
            std::string text =
                std::to_string(fileNumber_) + " files were written: " + request_.exportFile;
            for (int n = 2; n <= fileNumber_; ++n)
                text += ", " + NextExportFileName(request_.exportFile, n);
            feedback_.warning(text);
        }
        std::string stale;
        for (int n = fileNumber_ + 1;; ++n) {
            const std::string next = NextExportFileName(request_.exportFile, n);
            if (!std::filesystem::exists(next)) break;
            stale += (stale.empty() ? "" : ", ") + next;
        }
        if (!stale.empty())
            feedback_.warning(
                "Files of an earlier export of the same name are left as they were "
                "and are not part of this export: " +
                stale);
    }

    void saySelectionNotFound(const std::optional<std::vector<std::string>>& selection) {
        if (!selection) return;
        std::string missing;
        for (const auto& name : *selection)
            if (!written_.count(name)) missing += (missing.empty() ? "" : ", ") + name;
        if (!missing.empty())
            feedback_.warning(
                "The selection list names points that none of the point types "
                "holds: " +
                missing);
    }

    // Every file of a split export is refused, like the first, over an input of the run.
    bool openFile(const std::string& path) {
        if (eb::OutputRefused(feedback_, kProgramTitle, path, inputs())) return false;
        if (out_.open(path)) return true;
        (void)fail(out_.errorText());
        return false;
    }

    // The files the export reads, which none of its outputs may replace.
    std::vector<eb::RunInput> inputs() const {
        std::vector<eb::RunInput> files{{"the database", request_.database}};
        if (request_.selection == ExportSelection::File)
            files.push_back({"the selection list file", request_.selectionFile});
        if (request_.definitions)
            files.push_back({"the definitions database", request_.definitions->path()});
        return files;
    }

    // Puts the current file in place; false (with a message) when anything could not be written.
    bool finishFile() {
        const bool ok = out_.commit();
        unmappable_ += out_.unmappable();
        if (!ok) (void)fail(out_.errorText() + "; the export is incomplete");
        return ok;
    }

    Outcome exportType(const std::string& type, std::string_view orderBy) {
        std::string index = "PrimaryKey";
        if (orderBy != "Name") {
            if (db::IndexExists(*db_, type, orderBy)) {
                index = std::string(orderBy);
            } else if (!db::IndexExists(*db_, type, "PrimaryKey")) {
                feedback_.message("Export to EB", "Primary Key does not exist for table " + type,
                                  Icon::Exclamation);
                return Outcome::LeftUndone;
            }
        }
        std::unique_ptr<db::Cursor> cursor;
        try {
            cursor = db_->openTable(type, index, db::CursorMode::Reading);
        } catch (const std::exception& e) {
            (void)fail(std::string("Cannot export ") + type + ": " + e.what());
            return Outcome::LeftUndone;
        }
        const int count = cursor->fieldCount();
        const int name = cursor->fieldIndex("NAME");
        std::vector<std::string_view> names;
        int ptdesc = -1;
        for (int i = 0; i < count; ++i) {
            names.push_back(cursor->field(i).name);
            if (cursor->field(i).name == "PTDESC") ptdesc = i;
        }
        eb::BlockLayout layout(names, quoted_);
        const double rows = static_cast<double>(std::max<std::int64_t>(1, cursor->recordCount()));
        double row = 0;
        try {
            if (!cursor->bof()) cursor->moveFirst();
            for (; !cursor->eof(); ++row) {
                if (feedback_.cancelRequested()) {
                    cancelled_ = true;
                    break;
                }
                // A selection reads a row's name alone first: the rows it leaves out are not read.
                bool chosen = true;
                if (selected_) {
                    if (name >= 0)
                        cursor->valueText(name, selectedName_);
                    else
                        selectedName_.clear();
                    chosen = selected_->count(selectedName_) > 0;
                }
                if (chosen) {
                    cursor->rowTexts(texts_, textStorage_);
                    writeBlock(
                        type,
                        name >= 0 ? texts_[static_cast<std::size_t>(name)] : std::string_view(),
                        ptdesc, layout);
                    if (selected_) written_.insert(selectedName_);
                }
                cursor->moveNext();
                if (feedback_.repaintDue()) {
                    feedback_.setProgress(Panel::Export, row / rows);
                    feedback_.repaint();
                }
                // The check follows every row: the next file opens as soon as this one is full.
                if (limit_ && pointsInFile_ >= request_.maxPointsPerFile) {
                    if (!finishFile()) return Outcome::LeftUndone;
                    pointsInFile_ = 0;
                    ++fileNumber_;
                    if (!openFile(NextExportFileName(request_.exportFile, fileNumber_)))
                        return Outcome::LeftUndone;
                }
            }
        } catch (const std::exception& e) {
            (void)fail(std::string("Cannot read the table ") + type + ": " + e.what() +
                       "; the export is incomplete");
            return Outcome::LeftUndone;
        }
        return Outcome::Done;
    }

    // Writes the block of the row whose texts are in texts_.
    void writeBlock(const std::string& type, std::string_view pointName, int ptdesc,
                    eb::BlockLayout& layout) {
        feedback_.setLabel(Panel::Export, Label::Name, pointName);
        feedback_.setLabel(Panel::Export, Label::PntType, type);
        if (ptdesc >= 0 && !texts_[static_cast<std::size_t>(ptdesc)].empty())
            feedback_.setLabel(Panel::Export, Label::PtDesc,
                               texts_[static_cast<std::size_t>(ptdesc)]);
        const eb::BlockNotes notes = layout.write(out_, type, pointName, texts_);
        for (const auto& column : notes.lineBreaks)
            lineBreaks_.add(feedback_, "Point " + std::string(pointName) + ", parameter " + column +
                                           ": a line break in its text was written as a blank, "
                                           "since a line of an EB file holds none");
        for (const auto& column : notes.unmappable)
            if (unmappablePlaces_.size() < 5)
                unmappablePlaces_.push_back("point " + std::string(pointName) + ", parameter " +
                                            column);
        ++exported_;
        if (limit_) ++pointsInFile_;
    }

    Feedback& feedback_;
    const ExportRequest& request_;
    std::unique_ptr<db::Database> db_;
    eb::TextFileWriter out_;
    std::string quoted_;
    // The current row's value texts, valid until the cursor moves, and what they are kept in.
    std::vector<std::string_view> texts_;
    std::vector<std::string> textStorage_;
    std::string selectedName_;
    std::optional<std::unordered_set<std::string>> selected_;
    std::unordered_set<std::string> written_;  // the selected points met
    bool limit_ = false, cancelled_ = false;
    std::int64_t exported_ = 0;
    std::int64_t pointsInFile_ = 0;
    int fileNumber_ = 1;
    std::size_t unmappable_ = 0;
    ProblemList lineBreaks_;
    std::vector<std::string> unmappablePlaces_;  // the first few, named in the end's warning
};

}  // namespace

Outcome RunExport(Feedback& feedback, const ExportRequest& request) {
    return ExportRun(feedback, request).run();
}

}  // namespace pel
