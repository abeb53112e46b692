#include "diff/EbDiff.h"

#include <algorithm>
#include <set>

#include "compare/FindingsReport.h"
#include "compare/ValueComparison.h"
#include "core/AsciiCase.h"
#include "core/Paths.h"
#include "diff/EbPointWalk.h"

namespace pel {

namespace {

constexpr Panel kPanel = Panel::CompareEb;
constexpr std::string_view kTitle = "Compare Files";
constexpr std::uint64_t kNowhere = UINT64_MAX;

// One point of the files: its name in upper case, its type, where its last block starts in
// each file. This index is all the comparison keeps of the files.
struct IndexedPoint {
    std::uint32_t type;
    std::string name;
    std::uint64_t oldOffset = kNowhere, newOffset = kNowhere;
    bool operator<(const IndexedPoint& o) const {
        return type != o.type ? type < o.type : name < o.name;
    }
};

using Index = std::vector<IndexedPoint>;

IndexedPoint* Find(Index& index, std::uint32_t type, const std::string& upperName) {
    const IndexedPoint key{type, upperName};
    auto at = std::lower_bound(index.begin(), index.end(), key);
    return at != index.end() && !(key < *at) ? &*at : nullptr;
}

using Parameter = std::pair<std::string, std::string>;

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool LessIgnoringCase(const Parameter* a, const Parameter* b) {
    return std::lexicographical_compare(
        a->first.begin(), a->first.end(), b->first.begin(), b->first.end(),
        [](char x, char y) { return UpperAscii(x) < UpperAscii(y); });
}

// The parameters of a point by name (ignoring case), the last line of a name counting.
std::vector<const Parameter*> ByName(const EbPoint& point) {
    std::vector<const Parameter*> out;
    for (const auto& p : point.parameters) out.push_back(&p);
    std::stable_sort(out.begin(), out.end(), LessIgnoringCase);
    std::vector<const Parameter*> last;
    for (const Parameter* p : out) {
        if (!last.empty() && !LessIgnoringCase(last.back(), p)) last.pop_back();
        last.push_back(p);
    }
    return last;
}

bool Differ(const std::string& a, const std::string& b) {
    return a != b && ValuesDiffer(a, b);
}

// The common case, cheaply: the same parameters in the same order with the same values.
bool SameParameters(const EbPoint& a, const EbPoint& b) {
    if (a.parameters.size() != b.parameters.size()) return false;
    for (std::size_t i = 0; i < a.parameters.size(); ++i)
        if (!EqualsIgnoreCase(a.parameters[i].first, b.parameters[i].first) ||
            Differ(a.parameters[i].second, b.parameters[i].second))
            return false;
    return true;
}

class EbDiff {
  public:
    EbDiff(const PointTypeCatalog& catalog, Feedback& feedback, const EbDiffRequest& request)
        : catalog_(catalog), feedback_(feedback), request_(request), types_(catalog) {}

    EbDiffResult run() {
        for (Label l : {Label::Status, Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(kPanel, l, "");
        for (const auto& t : request_.pointTypes) {
            if (catalog_.find(t) < 0)
                feedback_.warning(t + " is not a point type of the definitions");
            wanted_.insert(ToUpperAscii(t));
        }
        if (!oldReader_.open(request_.oldFile)) return fail(oldReader_.errorText());
        if (!newReader_.open(request_.newFile)) return fail(newReader_.errorText());
        if (!report_.open(
                request_.reportFile, "EB File Comparison",
                {"Point Type", "Point", "Parameter", "Value (OLD)", "Value (NEW)", "Finding"},
                {request_.oldFile, request_.newFile}))
            return fail("Cannot write the report: " + report_.errorText());
        report_.heading("OLD: " + request_.oldFile);
        report_.heading("NEW: " + request_.newFile);
        if (indexOld() && indexNew() && compareNew()) listRemoved();
        return finish();
    }

  private:
    EbDiffResult fail(const std::string& text) {
        feedback_.message(kTitle, text, Icon::Critical);
        if (!failure_.empty()) failure_ += "; ";
        failure_ += text;
        result_.outcome = Outcome::LeftUndone;
        return result_;
    }

    bool wanted(std::uint32_t type) const {
        return wanted_.empty() || wanted_.count(ToUpperAscii(types_.name(type))) > 0;
    }

    void progress(double pass, const eb::EbLineReader& reader, const EbPoint& point) {
        if (!feedback_.repaintDue()) return;
        feedback_.setProgress(kPanel, (pass + reader.fraction()) / 3.0);
        feedback_.setLabel(kPanel, Label::Name, point.name);
        feedback_.setLabel(kPanel, Label::PntType, types_.name(point.type));
        feedback_.repaint();
    }

    bool readFailed(const eb::EbLineReader& reader, const std::string& path) {
        if (!reader.failed()) return false;
        fail(path + ": " + reader.errorText());
        return true;
    }

    void row(std::uint32_t type, std::string_view name, std::string_view parameter,
             std::string_view oldValue, std::string_view newValue, std::string_view finding) {
        report_.row({types_.name(type), name, parameter, oldValue, newValue, finding});
    }

    // A point whose name stands twice in a file: said, and its last block counts.
    void twice(const EbPoint& point, std::string_view file) {
        row(point.type, point.name, "", "", "",
            "Named twice in " + std::string(file) + ": the last block counts");
    }

    EbPointWalk walk(eb::EbLineReader& reader, bool withParameters, const std::string& path) {
        EbPointWalk w(reader, catalog_, types_, withParameters);
        w.unknownType = [this, path](const std::string& type, std::uint64_t line) {
            feedback_.warning("Unknown point type " + type + " in " + path + " at line " +
                              std::to_string(line) +
                              ": its blocks are compared with every line as a parameter");
        };
        return w;
    }

    // Reads a file's points without their parameters, handing each wanted one on.
    template <class OnPoint>
    bool index(eb::EbLineReader& reader, const std::string& path, double pass, OnPoint onPoint) {
        feedback_.setLabel(kPanel, Label::Status, "Reading " + path);
        auto w = walk(reader, false, path);
        EbPoint point;
        while (w.next(point)) {
            progress(pass, reader, point);
            if (wanted(point.type)) onPoint(point);
        }
        return !readFailed(reader, path);
    }

    bool indexOld() {
        if (!index(oldReader_, request_.oldFile, 0, [this](const EbPoint& point) {
                old_.push_back({point.type, ToUpperAscii(point.name), point.offset});
            }))
            return false;
        settle(old_, oldReader_, true);
        return true;
    }

    // Sorts an index and keeps the last block of a point named twice, saying so.
    void settle(Index& index, eb::EbLineReader& reader, bool isOld) {
        auto offset = [isOld](const IndexedPoint& p) { return isOld ? p.oldOffset : p.newOffset; };
        // In place, blocks of one point in file order: the index is most of the run's memory.
        std::sort(index.begin(), index.end(), [&](const IndexedPoint& a, const IndexedPoint& b) {
            return a < b || (!(b < a) && offset(a) < offset(b));
        });
        EbPointWalk again(reader, catalog_, types_, false);
        EbPoint point;
        std::size_t kept = 0;
        for (auto& p : index) {
            if (kept > 0 && !(index[kept - 1] < p)) {
                again.readAt(offset(p), p.type, point);
                twice(point, isOld ? "OLD" : "NEW");
                index[kept - 1] = std::move(p);
            } else if (&index[kept++] != &p) {
                index[kept - 1] = std::move(p);
            }
        }
        index.resize(kept);
    }

    bool indexNew() {
        const bool read = index(newReader_, request_.newFile, 1, [this](const EbPoint& point) {
            std::string upper = ToUpperAscii(point.name);
            if (IndexedPoint* p = Find(old_, point.type, upper)) {
                if (p->newOffset != kNowhere) twice(point, "NEW");
                p->newOffset = point.offset;
            } else {
                added_.push_back({point.type, std::move(upper), kNowhere, point.offset});
            }
        });
        if (!read) return false;
        settle(added_, newReader_, false);
        result_.compared = static_cast<std::int64_t>(old_.size() + added_.size());
        return true;
    }

    bool compareNew() {
        feedback_.setLabel(kPanel, Label::Status, "Comparing");
        if (!newReader_.seek(0)) return !readFailed(newReader_, request_.newFile);
        EbPointWalk w(newReader_, catalog_, types_, true);
        EbPointWalk oldWalk(oldReader_, catalog_, types_, true);
        EbPoint point, before;
        while (w.next(point)) {
            progress(2, newReader_, point);
            if (!wanted(point.type)) continue;
            const std::string upper = ToUpperAscii(point.name);
            if (IndexedPoint* p = Find(old_, point.type, upper)) {
                if (p->newOffset != point.offset) continue;  // an earlier block of a point
                if (!oldWalk.readAt(p->oldOffset, p->type, before))
                    return !readFailed(oldReader_, request_.oldFile);
                if (comparePoint(before, point)) ++result_.changed;
            } else if (const IndexedPoint* a = Find(added_, point.type, upper);
                       a && a->newOffset == point.offset) {
                ++result_.added;
                row(point.type, point.name, "", "", "", "Added");
            }
        }
        return !readFailed(newReader_, request_.newFile) &&
               !readFailed(oldReader_, request_.oldFile);
    }

    // Rows for every difference; true when there was one.
    bool comparePoint(const EbPoint& before, const EbPoint& after) {
        bool differs = false;
        auto finding = [&](const Parameter& p, std::string_view oldValue, std::string_view newValue,
                           std::string_view text) {
            row(after.type, after.name, p.first, oldValue, newValue, text);
            differs = true;
        };
        if (!SameParameters(before, after)) {
            const auto oldValues = ByName(before), newValues = ByName(after);
            auto o = oldValues.begin();
            auto n = newValues.begin();
            while (o != oldValues.end() || n != newValues.end()) {
                if (n == newValues.end() || (o != oldValues.end() && LessIgnoringCase(*o, *n))) {
                    finding(**o, (*o)->second, "", "Only in OLD");
                    ++o;
                } else if (o == oldValues.end() || LessIgnoringCase(*n, *o)) {
                    finding(**n, "", (*n)->second, "Only in NEW");
                    ++n;
                } else {
                    if (Differ((*o)->second, (*n)->second))
                        finding(**n, (*o)->second, (*n)->second, "Changed");
                    ++o, ++n;
                }
            }
        }
        if (before.internalText != after.internalText)
            finding({"_INTERNAL", ""}, before.internalText, after.internalText,
                    "Internal text differs");
        return differs;
    }

    void listRemoved() {
        EbPointWalk oldWalk(oldReader_, catalog_, types_, false);
        EbPoint point;
        for (const auto& p : old_) {
            if (p.newOffset != kNowhere) continue;
            if (!oldWalk.readAt(p.oldOffset, p.type, point)) {
                readFailed(oldReader_, request_.oldFile);
                return;
            }
            ++result_.removed;
            row(p.type, point.name, "", "", "", "Removed");
        }
    }

    EbDiffResult finish() {
        if (!report_.close(feedback_, failure_))
            fail(report_.errorText() + "; the report is incomplete");
        feedback_.setProgress(kPanel, 1.0);
        feedback_.resultLine(kPanel, "Points compared: " + std::to_string(result_.compared) +
                                         "      Added: " + std::to_string(result_.added) +
                                         "      Removed: " + std::to_string(result_.removed) +
                                         "      Changed: " + std::to_string(result_.changed));
        for (Label l : {Label::Name, Label::PntType, Label::PtDesc})
            feedback_.setLabel(kPanel, l, "");
        return result_;
    }

    const PointTypeCatalog& catalog_;
    Feedback& feedback_;
    const EbDiffRequest& request_;
    EbTypeTable types_;
    std::set<std::string> wanted_;  // upper case; empty: every type
    eb::EbLineReader oldReader_, newReader_;
    Index old_, added_;
    FindingsReport report_;
    EbDiffResult result_;
    std::string failure_;
};

}  // namespace

EbDiffResult DiffEbFiles(const PointTypeCatalog& catalog, Feedback& feedback,
                         const EbDiffRequest& request) {
    return EbDiff(catalog, feedback, request).run();
}

}  // namespace pel
