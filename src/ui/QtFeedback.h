#pragma once
// The window's side of pel::Feedback: labels and progress are stored cheaply and shown at the
// next repaint, repaints come at most a few dozen times a second, and the last state is always
// shown before a question, a message and the end of a run. Questions and messages go through
// the scriptable dialogs.

#include <QPointer>
#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/Feedback.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace pel {

class Dialogs;

// What a run said, for the window's results list.
struct RunSummary {
    Panel panel = Panel::Import;
    std::vector<std::string> resultLines;   // each result line, after its file's name
    std::vector<std::string> summaryLines;  // totals and the like
    std::vector<std::string> problems;      // the run's messages and warnings, in order
    std::vector<Difference> differences;    // the rows a comparison wrote to its report
};

class QtFeedback : public Feedback {
  public:
    explicit QtFeedback(Dialogs& dialogs) : dialogs_(dialogs) {}

    void setParentWindow(QWidget* window) { window_ = window; }
    void bindLabel(Panel panel, Label label, QLabel* widget);
    void bindProgress(Panel panel, QProgressBar* bar);
    // The panel's Cancel button and the label beside it for notes during a run.
    void bindCancel(Panel panel, QWidget* button, QLabel* note);
    QWidget* cancelButton(Panel panel) const;
    // Forgets the widgets of a panel (a dialog that is closing).
    void unbindPanel(Panel panel);

    // A run of the panel begins: its progress bar starts at 0 and warnings are gathered.
    void beginRun(Panel panel);
    // The run ended: the last state is shown, the run's summary handed on, and the gathered
    // warnings (and messages, see gatherMessages) shown in one box.
    void endRun();
    // For a run of several files: its messages wait for the end of the run, where they are
    // shown with the warnings in one box (a single one as it was given). Questions still come
    // when asked.
    void gatherMessages() { gatherMessages_ = true; }
    // Each handler is called at the end of every run, before any box is shown.
    void onRunEnd(std::function<void(const RunSummary&)> handler) {
        runEndHandlers_.push_back(std::move(handler));
    }
    // Cancel or Escape: the run stops after its current point.
    void requestCancel() { cancelRequested_ = true; }
    bool cancelRequested() override { return cancelRequested_; }
    // While true, a repaint also hands the user's input to the window (which lets only Cancel
    // and Escape through).
    void setTakesInput(bool takes) { takesInput_ = takes; }
    // A note beside the running panel's Cancel button (why the window stays open, say).
    void showRunNote(std::string_view text);

    void setLabel(Panel panel, Label label, std::string_view text) override;
    void clearText() override;
    void setProgress(Panel panel, double fraction) override;
    bool repaintDue() override { return throttle_.due(); }
    void repaint() override;
    void resultLine(Panel panel, std::string_view text) override;
    void summaryLine(Panel panel, std::string_view text) override;
    void difference(const Difference& row) override;
    bool askOkCancel(std::string_view title, std::string_view text) override;
    void message(std::string_view title, std::string_view text, Icon icon) override;
    void warning(std::string_view text) override;

    // Applies every pending label and progress value and lets the window paint them.
    void showNow();
    int repaintsShown() const { return repaintsShown_; }

  private:
    struct LabelSlot {
        QPointer<QLabel> widget;
        std::string pending;
        bool dirty = false;
    };
    struct ProgressSlot {
        QPointer<QProgressBar> widget;
        int pending = 0;
        bool dirty = false;
    };
    static constexpr std::size_t kPanels = 5, kLabels = 5;
    LabelSlot& slot(Panel panel, Label label) {
        return labels_[static_cast<std::size_t>(panel)][static_cast<std::size_t>(label)];
    }

    Dialogs& dialogs_;
    QPointer<QWidget> window_;
    std::array<std::array<LabelSlot, kLabels>, kPanels> labels_{};
    std::array<ProgressSlot, kPanels> progress_{};
    struct CancelSlot {
        QPointer<QWidget> button;
        QPointer<QLabel> note;
    };
    std::array<CancelSlot, kPanels> cancel_{};
    Panel running_ = Panel::Import;
    bool cancelRequested_ = false, takesInput_ = false;
    RepaintThrottle throttle_{30};
    std::chrono::steady_clock::time_point lastShown_{};
    bool inRun_ = false;
    std::vector<std::string> warnings_;
    struct Shown {
        std::string title, text;
        Icon icon;
    };
    std::vector<Shown> gathered_;
    bool gatherMessages_ = false;
    RunSummary summary_;
    std::vector<std::function<void(const RunSummary&)>> runEndHandlers_;
    int repaintsShown_ = 0;
};

}  // namespace pel
