#pragma once
// Values and points a run could not store: each of the first few is shown as a warning when it
// happens, all are counted, and the end of the run says how many there were and lists the
// first of them.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Feedback.h"

namespace pel {

class ProblemList {
  public:
    explicit ProblemList(std::size_t listed = 10) : listed_(listed) {}

    void add(Feedback& feedback, std::string text) {
        ++count_;
        if (first_.size() < listed_) {
            feedback.warning(text);
            first_.push_back(std::move(text));
        }
    }
    std::int64_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    // "N values were not stored ... The first:" and the listed ones, one a line.
    std::string summary(const std::string& what) const {
        std::string text = std::to_string(count_) + " " + what + ". The first:";
        for (const auto& p : first_) text += "\n  " + p;
        return text;
    }

  private:
    std::size_t listed_;
    std::int64_t count_ = 0;
    std::vector<std::string> first_;
};

}  // namespace pel
