#include "ui/QtFeedback.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include "core/Paths.h"
#include "ui/QtDialogs.h"

namespace pel {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A run's warnings are shown together; a long list is cut after this many lines.
constexpr std::size_t kWarningsShown = 20;
// Repaints closer together than this are left to the next one (the state is kept).
constexpr auto kMinimumRepaintGap = std::chrono::milliseconds(25);

}  // namespace

void QtFeedback::bindLabel(Panel panel, Label label, QLabel* widget) {
    slot(panel, label) = LabelSlot{widget, std::string(), false};
}

void QtFeedback::bindProgress(Panel panel, QProgressBar* bar) {
    progress_[static_cast<std::size_t>(panel)] = ProgressSlot{bar, 0, false};
}

void QtFeedback::bindCancel(Panel panel, QWidget* button, QLabel* note) {
    cancel_[static_cast<std::size_t>(panel)] = CancelSlot{button, note};
}

QWidget* QtFeedback::cancelButton(Panel panel) const {
    return cancel_[static_cast<std::size_t>(panel)].button;
}

void QtFeedback::unbindPanel(Panel panel) {
    for (LabelSlot& s : labels_[static_cast<std::size_t>(panel)]) s = LabelSlot{};
    progress_[static_cast<std::size_t>(panel)] = ProgressSlot{};
    cancel_[static_cast<std::size_t>(panel)] = CancelSlot{};
}

void QtFeedback::showRunNote(std::string_view text) {
    if (QLabel* note = cancel_[static_cast<std::size_t>(running_)].note) {
        note->setText(Text(text));
        note->setVisible(!text.empty());
    }
}

void QtFeedback::beginRun(Panel panel) {
    running_ = panel;
    cancelRequested_ = false;
    showRunNote("");
    inRun_ = true;
    warnings_.clear();
    gathered_.clear();
    gatherMessages_ = false;
    summary_ = RunSummary{};
    summary_.panel = panel;
    setProgress(panel, 0);
    showNow();
}

void QtFeedback::endRun() {
    showNow();
    showRunNote("");
    inRun_ = false;
    gatherMessages_ = false;
    for (const auto& handler : runEndHandlers_) handler(summary_);
    std::vector<Shown> shown = std::move(gathered_);
    gathered_.clear();
    if (shown.size() == 1 && warnings_.empty()) {
        dialogs_.message(window_, Text(shown[0].title), Text(shown[0].text), shown[0].icon);
        return;
    }
    Icon icon = Icon::Exclamation;
    std::vector<std::string> lines;
    for (Shown& s : shown) {
        if (s.icon == Icon::Critical) icon = Icon::Critical;
        lines.push_back(std::move(s.text));
    }
    for (std::string& w : warnings_) lines.push_back(std::move(w));
    warnings_.clear();
    if (lines.empty()) return;
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kWarningsShown; ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    if (lines.size() > kWarningsShown)
        text += "\n... and " + std::to_string(lines.size() - kWarningsShown) + " more";
    dialogs_.message(window_, Text(kProgramTitle), Text(text), icon);
}

void QtFeedback::setLabel(Panel panel, Label label, std::string_view text) {
    LabelSlot& s = slot(panel, label);
    s.pending.assign(text);
    s.dirty = true;
}

void QtFeedback::clearText() {
    for (Panel panel : {Panel::Export, Panel::Import, Panel::CompareEb})
        for (Label label : {Label::Status, Label::Name, Label::PntType, Label::PtDesc})
            setLabel(panel, label, "");
}

void QtFeedback::setProgress(Panel panel, double fraction) {
    if (!(fraction >= 0)) fraction = 0;  // NaN too
    if (fraction > 1) fraction = 1;
    ProgressSlot& s = progress_[static_cast<std::size_t>(panel)];
    const int value = static_cast<int>(fraction * 1000 + 0.5);
    if (value == s.pending && !s.dirty) return;
    s.pending = value;
    s.dirty = true;
}

void QtFeedback::repaint() {
    if (std::chrono::steady_clock::now() - lastShown_ < kMinimumRepaintGap) return;
    showNow();
}

void QtFeedback::showNow() {
    for (auto& panel : labels_)
        for (LabelSlot& s : panel) {
            if (!s.dirty) continue;
            s.dirty = false;
            if (s.widget) s.widget->setText(Text(s.pending));
        }
    for (ProgressSlot& s : progress_) {
        if (!s.dirty) continue;
        s.dirty = false;
        if (s.widget) s.widget->setValue(s.pending);
    }
    // Paints what changed; while a run holds the thread, input is blocked or filtered.
    QCoreApplication::processEvents(takesInput_ ? QEventLoop::AllEvents
                                                : QEventLoop::ExcludeUserInputEvents);
    lastShown_ = std::chrono::steady_clock::now();
    ++repaintsShown_;
}

void QtFeedback::resultLine(Panel panel, std::string_view text) {
    setLabel(panel, Label::Status, text);
    showNow();
    if (!inRun_) return;
    const std::string& file = slot(panel, Label::CurrentFile).pending;
    summary_.resultLines.push_back(file.empty() ? std::string(text)
                                                : FileNamePart(file) + ": " + std::string(text));
}

void QtFeedback::summaryLine(Panel, std::string_view text) {
    if (inRun_) summary_.summaryLines.emplace_back(text);
}

void QtFeedback::difference(const Difference& row) {
    if (inRun_) summary_.differences.push_back(row);
}

bool QtFeedback::askOkCancel(std::string_view title, std::string_view text) {
    showNow();
    return dialogs_.askOkCancel(window_, Text(title), Text(text));
}

void QtFeedback::message(std::string_view title, std::string_view text, Icon icon) {
    if (inRun_) summary_.problems.emplace_back(text);
    if (inRun_ && gatherMessages_) {
        gathered_.push_back({std::string(title), std::string(text), icon});
        return;
    }
    showNow();
    dialogs_.message(window_, Text(title), Text(text), icon);
}

void QtFeedback::warning(std::string_view text) {
    if (inRun_) {
        summary_.problems.emplace_back(text);
        warnings_.emplace_back(text);
        return;
    }
    message(kProgramTitle, text, Icon::Exclamation);
}

}  // namespace pel
