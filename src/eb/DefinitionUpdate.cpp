// Placeholder until this engine is built; it refuses every run.
#include "eb/DefinitionUpdate.h"
namespace pel {
namespace eb {
Outcome UpdateDefinitionsFromEbFile(AppState&, Feedback& feedback) {
    feedback.message(kProgramTitle, "The definition update is not built yet.");
    return Outcome::LeftUndone;
}
bool IsNumericParameter(std::string_view, std::string_view, std::string_view) { return false; }
}  // namespace eb
}  // namespace pel
