#include "ui/ResultsArea.h"

#include <set>
#include <utility>

#include "ui/QtWindowContext.h"

namespace pel {

std::string DifferencesSummary(const std::vector<Difference>& rows, std::string_view first,
                               std::string_view second) {
    std::set<std::pair<std::string, std::string>> pointsDiffering;
    std::size_t parameters = 0, missingFirst = 0, missingSecond = 0;
    for (const Difference& row : rows) {
        switch (row.kind) {
            case Difference::Kind::Differs:
                ++parameters;
                pointsDiffering.emplace(row.pointType, row.point);
                break;
            case Difference::Kind::MissingFromFirst:
                ++missingFirst;
                break;
            case Difference::Kind::MissingFromSecond:
                ++missingSecond;
                break;
        }
    }
    if (rows.empty()) return "No differences";
    return "Points with differences: " + std::to_string(pointsDiffering.size()) +
           ", parameters differing: " + std::to_string(parameters) +
           ", points missing: " + std::to_string(missingSecond) + " in " + std::string(second) +
           ", " + std::to_string(missingFirst) + " in " + std::string(first);
}

ResultsArea::ResultsArea(QWidget* parent) : QListWidget(parent) {
    setObjectName("lstResults");
    setSelectionMode(QAbstractItemView::ExtendedSelection);  // for copying lines
    setWordWrap(true);
}

void ResultsArea::showRun(const RunSummary& run) {
    clear();
    for (const auto& line : run.resultLines) addItem(ToQString(line));
    for (const auto& line : run.summaryLines) addItem(ToQString(line));
    // A comparison that reached its result line wrote its report.
    const bool compared = !run.resultLines.empty();
    if (compared && run.panel == Panel::CompareEb)
        addItem(ToQString(DifferencesSummary(run.differences, "the EB files", "the database")));
    if (compared && run.panel == Panel::CompareDb)
        addItem(ToQString(
            DifferencesSummary(run.differences, "the database", "the as-built database")));
    for (const auto& problem : run.problems) {
        auto* item = new QListWidgetItem(ToQString(problem), this);
        item->setForeground(QColor(0xA0, 0x30, 0x00));
    }
    scrollToBottom();
    emit changed();
}

void ResultsArea::addNote(const QString& text) {
    addItem(text);
    scrollToBottom();
    emit changed();
}

}  // namespace pel
