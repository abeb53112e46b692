#pragma once
// The connection parameters (DISRC, DODSTN, LISRC, LODSTN, PISRC) of every point of the chosen
// point types, as a text file.

#include <string>
#include <vector>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"

namespace pel {

// The captions of the five check boxes, in index order.
inline const std::vector<std::string>& ConnectionReportTypes() {
    static const std::vector<std::string> types{"DICMPNIM", "DEVCTL", "LOGICNIM", "REGPVNIM",
                                                "REGCLNIM"};
    return types;
}

// The checked text (each checked caption and ","), then the known point types, in catalog
// order, whose name occurs inside it.
std::vector<std::string> ReportedPointTypes(const PointTypeCatalog& catalog,
                                            const std::vector<std::string>& checkedCaptions);

struct ConnectionReportRequest {
    std::string database;
    std::string reportFile;
    std::vector<std::string> pointTypes;  // in the order to report
};

Outcome MakeConnectionReport(Feedback& feedback, const ConnectionReportRequest& request);

}  // namespace pel
