#pragma once
// Before an EB file is imported: make sure every point-type table has a column for every
// parameter the file writes (whole-number columns for the type's NumericFields, text otherwise;
// "_INTERNAL" for internal lines). Changes table definitions only, never rows.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Feedback.h"
#include "core/PointTypeCatalog.h"

namespace pel {

// Checks `file` against `database`. An unknown point type the user accepts is appended to the
// catalog. `fileFailed` (when given) is set when the file or the database could not be opened or
// read: the failure is said here, and the import of the same file would only say it again.
Outcome UpdateDefinitionsFromEbFile(PointTypeCatalog& catalog, Feedback& feedback,
                                    const std::string& database, const std::string& file,
                                    bool* fileFailed = nullptr);

// Said before the question "Invalid Point Type: ...", which names neither file nor line.
std::string UnknownPointTypeWarning(std::string_view file, std::uint64_t line,
                                    std::string_view pointType);

// "," + base name + "," occurs in the numeric list (the point type is not used by the test).
bool IsNumericParameter(std::string_view pointType, std::string_view parameter,
                        std::string_view numericList);

}  // namespace pel
