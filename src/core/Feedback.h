#pragma once
// The one small interface through which the engines talk to whoever runs them: the window, the
// command line or a test. Progress labels by panel and role, ClearText, repaint, OK/Cancel
// questions, messages and warnings. All text is UTF-8.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Outcome.h"

namespace pel {

enum class Panel { Import, Export, CompareEb, CompareDb, Connections };
enum class Label { Name, PntType, PtDesc, Status, CurrentFile };
enum class Icon { None, Information, Exclamation, Critical };

// One row of a comparison report, as its reader sees it: a parameter whose values differ, or a
// point that one side lacks (`first`/`second` then hold the report's text and, for a point the
// first side lacks, the other side's description in `parameter` PTDESC).
struct Difference {
    enum class Kind { Differs, MissingFromSecond, MissingFromFirst };
    Kind kind = Kind::Differs;
    std::string pointType, point, parameter, first, second;
};

class Feedback {
  public:
    virtual ~Feedback() = default;

    // Setting a label is cheap: it is shown at the next repaint.
    virtual void setLabel(Panel panel, Label label, std::string_view text) = 0;
    // Empties the Export, Import and Compare EB progress labels (not the current-file label and
    // not the Compare DB labels).
    virtual void clearText() = 0;
    // Fraction of the work done, 0 to 1; shown at the next repaint.
    virtual void setProgress(Panel panel, double fraction) = 0;

    // Cheap test, meant for every line: true when a repaint would be shown now. Engines set the
    // labels that change per line only when this is true; they repaint after it.
    virtual bool repaintDue() = 0;
    virtual void repaint() = 0;

    // The run's result line ("Points added: ..."): shown in the panel's status label; the command
    // line prints it on standard output.
    virtual void resultLine(Panel panel, std::string_view text) {
        setLabel(panel, Label::Status, text);
    }

    // A line for the run's summary beside the result line (the totals of a run of several
    // files); only the window shows it.
    virtual void summaryLine(Panel, std::string_view) {}
    // A row the comparison wrote to its report, for a caller that lists them.
    virtual void difference(const Difference&) {}

    virtual bool askOkCancel(std::string_view title, std::string_view text) = 0;
    // The "Points to process" confirmation that long runs show first, listing the point types.
    // The window asks it like any question; the command line takes the command itself as the
    // user's confirmation.
    virtual bool confirmRun(std::string_view title, const std::vector<std::string>& pointTypes);
    virtual void message(std::string_view title, std::string_view text, Icon icon = Icon::None) = 0;
    virtual void warning(std::string_view text) = 0;

    // Cheap test, meant once per point: true once the user asked the run to stop (Cancel, Escape,
    // Ctrl+C). The engine ends after the current point, keeps and commits what it completed, and
    // says how far it got (CancelledWarning).
    virtual bool cancelRequested() { return false; }
};

// The warning of a run stopped at the user's request: `done` says how far it got.
std::string CancelledWarning(std::string_view run, std::string_view done);

// At most `perSecond` true answers a second, reading the clock once every 256 calls.
class RepaintThrottle {
  public:
    explicit RepaintThrottle(int perSecond)
        : interval_(std::chrono::milliseconds(1000 / perSecond)) {}
    bool due() {
        if ((++calls_ & 0xFF) != 0 && !first_) return false;
        first_ = false;
        auto now = std::chrono::steady_clock::now();
        if (now - last_ < interval_) return false;
        last_ = now;
        return true;
    }

  private:
    std::chrono::steady_clock::duration interval_;
    std::chrono::steady_clock::time_point last_{};
    std::uint32_t calls_ = 0;
    bool first_ = true;
};

// "Points to process: ", a line break, then a line per point type (four blanks, the name).
std::string PointsToProcessText(const std::vector<std::string>& pointTypes);

inline bool Feedback::confirmRun(std::string_view title,
                                 const std::vector<std::string>& pointTypes) {
    return askOkCancel(title, PointsToProcessText(pointTypes));
}

// The program's title: the title of message boxes that name no other.
inline constexpr std::string_view kProgramTitle = "Pelorin Conversion Utility";

}  // namespace pel
