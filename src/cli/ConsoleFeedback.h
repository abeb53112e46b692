#pragma once
// Feedback on a terminal: result lines on standard output; messages, warnings, questions and
// their answers on standard error; a progress line on standard error when it is a terminal.

#include <map>
#include <string>

#include "core/Feedback.h"

namespace pel::cli {

class ConsoleFeedback : public Feedback {
  public:
    explicit ConsoleFeedback(bool answerYes);

    void setLabel(Panel panel, Label label, std::string_view text) override;
    void clearText() override;
    void setProgress(Panel panel, double fraction) override;
    bool repaintDue() override;
    void repaint() override;
    void resultLine(Panel panel, std::string_view text) override;
    bool confirmRun(std::string_view title, const std::vector<std::string>& pointTypes) override;
    bool askOkCancel(std::string_view title, std::string_view text) override;
    void message(std::string_view title, std::string_view text, Icon icon) override;
    void warning(std::string_view text) override;
    bool cancelRequested() override;

    // From here on, SIGINT (Ctrl+C) asks the run to stop after the current point.
    static void cancelOnInterrupt();

    int messages() const { return messages_; }
    int warnings() const { return warnings_; }

  private:
    void eraseProgress();

    bool answerYes_;
    bool stderrIsTerminal_;
    bool stdinIsTerminal_;
    RepaintThrottle throttle_{10};
    std::map<std::pair<int, int>, std::string> labels_;
    Panel lastPanel_ = Panel::Import;
    double fraction_ = 0;
    bool progressShown_ = false;
    int messages_ = 0;
    int warnings_ = 0;
};

}  // namespace pel::cli
