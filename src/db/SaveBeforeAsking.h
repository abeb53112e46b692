#pragma once
// A question or a message box may wait for the user as long as they like: what the run has
// completed is committed first, so that a kill meanwhile loses nothing and no other program is
// locked out while the box is open.

#include <string_view>

#include "core/Feedback.h"
#include "db/Database.h"

namespace pel::db {

// Commits, then asks. A failing commit throws before the question is asked.
inline bool AskOkCancelWithWorkSaved(Database& db, Feedback& feedback, std::string_view title,
                                     std::string_view text) {
    db.commit();
    return feedback.askOkCancel(title, text);
}

}  // namespace pel::db
