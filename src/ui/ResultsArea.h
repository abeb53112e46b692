#pragma once
// The results list: what the last run did, a line per file with the totals, what a comparison
// found, and the run's messages and warnings, readable after their boxes are gone.

#include <QListWidget>
#include <string>
#include <vector>

#include "ui/QtFeedback.h"

namespace pel {

// "No differences", or the points with differences, the parameters differing and the points
// each side lacks. `first` and `second` name the sides ("the EB files", "the database").
std::string DifferencesSummary(const std::vector<Difference>& rows, std::string_view first,
                               std::string_view second);

class ResultsArea : public QListWidget {
    Q_OBJECT
  public:
    explicit ResultsArea(QWidget* parent = nullptr);

    // Replaces the list with the run's lines.
    void showRun(const RunSummary& run);
    // Adds a line of the window's own (a request it refused, say) under the run's.
    void addNote(const QString& text);

  signals:
    void changed();
};

}  // namespace pel
