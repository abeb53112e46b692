#pragma once
// The connection parameters (DISRC, DODSTN, LISRC, LODSTN, PISRC) of every point of the chosen
// point types, as a text file.

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Feedback.h"

namespace pel {

// The captions of the five check boxes, in index order.
inline const std::vector<std::string>& ConnectionReportTypes() {
    static const std::vector<std::string> types{"DICMPNIM", "DEVCTL", "LOGICNIM", "REGPVNIM",
                                                "REGCLNIM"};
    return types;
}

// The checked text (each checked caption and ","), then for each point type of the list
// (0 to pointTypeCount - 1) whether its name occurs inside it.
std::vector<bool> ReportedPointTypes(const AppState& state,
                                     const std::vector<std::string>& checkedCaptions);

// Reads state.accessDatabasePath, writes state.connectionReportFile.
Outcome MakeConnectionReport(AppState& state, Feedback& feedback,
                             const std::vector<bool>& reported);

}  // namespace pel
