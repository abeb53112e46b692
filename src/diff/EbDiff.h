#pragma once
// Two EB files compared point by point: points only in OLD ("Removed"), only in NEW ("Added"),
// and for points in both every parameter whose value differs or that one side lacks, and the
// internal text, into an HTML or CSV report. Points match by point type and name wherever they
// stand in the files.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"

namespace pel {

struct EbDiffRequest {
    std::string oldFile, newFile;
    std::string reportFile;               // .htm, .html or .csv, in any letter case
    std::vector<std::string> pointTypes;  // empty: every point type
};

struct EbDiffResult {
    Outcome outcome = Outcome::Done;  // LeftUndone: the comparison failed
    std::int64_t compared = 0, added = 0, removed = 0, changed = 0;
    bool differ() const { return added + removed + changed > 0; }
};

EbDiffResult DiffEbFiles(const PointTypeCatalog& catalog, Feedback& feedback,
                         const EbDiffRequest& request);

}  // namespace pel
