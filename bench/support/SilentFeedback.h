#pragma once
// Feedback for the benchmarks: nobody watches, every question is answered OK.

#include "core/Feedback.h"

namespace pel::bench {

class SilentFeedback : public Feedback {
  public:
    void setLabel(Panel, Label, std::string_view) override {}
    void clearText() override {}
    void setProgress(Panel, double) override {}
    bool repaintDue() override { return false; }
    void repaint() override {}
    bool askOkCancel(std::string_view, std::string_view) override { return true; }
    void message(std::string_view, std::string_view, Icon) override {}
    void warning(std::string_view) override {}
};

}  // namespace pel::bench
