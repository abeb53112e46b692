#include "cli/ConsoleFeedback.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

namespace pel::cli {

namespace {

// Set by the signal handler: only a lock-free flag may be written there.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
}

}  // namespace

void ConsoleFeedback::cancelOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;  // a second Ctrl+C ends the program at once
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

bool ConsoleFeedback::cancelRequested() {
    return interrupted != 0;
}

ConsoleFeedback::ConsoleFeedback(bool answerYes)
    : answerYes_(answerYes),
      stderrIsTerminal_(::isatty(2) != 0),
      stdinIsTerminal_(::isatty(0) != 0) {}

void ConsoleFeedback::setLabel(Panel panel, Label label, std::string_view text) {
    labels_[{static_cast<int>(panel), static_cast<int>(label)}] = std::string(text);
    lastPanel_ = panel;
}

void ConsoleFeedback::clearText() {
    for (Panel p : {Panel::Export, Panel::Import, Panel::CompareEb})
        for (Label l : {Label::Status, Label::Name, Label::PntType, Label::PtDesc})
            labels_.erase({static_cast<int>(p), static_cast<int>(l)});
}

void ConsoleFeedback::setProgress(Panel panel, double fraction) {
    lastPanel_ = panel;
    fraction_ = fraction;
}

// Nobody watches a progress line that is not on a terminal: then nothing is ever due.
bool ConsoleFeedback::repaintDue() {
    return stderrIsTerminal_ && throttle_.due();
}

void ConsoleFeedback::repaint() {
    if (!stderrIsTerminal_) return;
    auto label = [&](Label l) {
        auto it = labels_.find({static_cast<int>(lastPanel_), static_cast<int>(l)});
        return it == labels_.end() ? std::string() : it->second;
    };
    std::string line =
        std::to_string(static_cast<int>(fraction_ * 100)) + "% " + label(Label::Status);
    if (!label(Label::PntType).empty()) line += "  " + label(Label::PntType);
    if (!label(Label::Name).empty()) line += " " + label(Label::Name);
    if (line.size() > 78) line.resize(78);
    std::fprintf(stderr, "\r%-78s", line.c_str());
    std::fflush(stderr);
    progressShown_ = true;
}

void ConsoleFeedback::eraseProgress() {
    if (!progressShown_) return;
    std::fprintf(stderr, "\r%-78s\r", "");
    progressShown_ = false;
}

void ConsoleFeedback::resultLine(Panel panel, std::string_view text) {
    setLabel(panel, Label::Status, text);
    eraseProgress();
    std::cout << text << std::endl;
}

bool ConsoleFeedback::confirmRun(std::string_view title,
                                 const std::vector<std::string>& pointTypes) {
    // The command itself is the user's confirmation of the points to process.
    eraseProgress();
    const std::string text = PointsToProcessText(pointTypes);
    std::cerr << title << ": " << text << "Answer: OK\n";
    return true;
}

bool ConsoleFeedback::askOkCancel(std::string_view title, std::string_view text) {
    eraseProgress();
    std::cerr << title << ": " << text << (text.empty() || text.back() != '\n' ? "\n" : "");
    bool ok;
    if (stdinIsTerminal_ && !answerYes_) {
        std::cerr << "OK or Cancel? [o/c] " << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        ok = !answer.empty() &&
             (answer[0] == 'o' || answer[0] == 'O' || answer[0] == 'y' || answer[0] == 'Y');
    } else {
        ok = answerYes_;
    }
    std::cerr << "Answer: " << (ok ? "OK" : "Cancel") << "\n";
    return ok;
}

void ConsoleFeedback::message(std::string_view title, std::string_view text, Icon) {
    eraseProgress();
    ++messages_;
    std::cerr << title << ": " << text << "\n";
}

void ConsoleFeedback::warning(std::string_view text) {
    eraseProgress();
    ++warnings_;
    std::cerr << "Warning: " << text << "\n";
}

}  // namespace pel::cli
