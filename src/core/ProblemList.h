#pragma once
// The one accumulator of what a run could not do: values not stored, points skipped, tables
// that failed, columns not added. Each problem is counted; the first few are kept with their
// text (and, through add, shown as warnings when they happen); the end of the run says how many
// there were and lists the kept ones.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/Feedback.h"

namespace pel {

class ProblemList {
  public:
    static constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();

    // `listed`: how many problems are kept with their text; the rest are only counted.
    explicit ProblemList(std::size_t listed = 10) : listed_(listed) {}

    // Counts a problem; a kept one is shown as a warning.
    void add(Feedback& feedback, std::string text) {
        if (first_.size() < listed_) feedback.warning(text);
        note(std::move(text));
    }
    // Counts a problem the caller has shown in its own way.
    void note(std::string text) {
        ++count_;
        if (first_.size() < listed_) first_.push_back(std::move(text));
    }

    std::int64_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    const std::vector<std::string>& listed() const { return first_; }

    // The kept problems joined by the separator.
    std::string joined(std::string_view separator) const {
        std::string text;
        for (const auto& p : first_) {
            if (!text.empty()) text += separator;
            text += p;
        }
        return text;
    }
    // "N values were not stored. The first:" ("1 value was not stored. The first:") and the
    // kept ones, one a line.
    std::string summary(const std::string& one, const std::string& many) const {
        std::string text =
            std::to_string(count_) + " " + (count_ == 1 ? one : many) + ". The first:";
        for (const auto& p : first_) text += "\n  " + p;
        return text;
    }

  private:
    std::size_t listed_;
    std::int64_t count_ = 0;
    std::vector<std::string> first_;
};

}  // namespace pel
