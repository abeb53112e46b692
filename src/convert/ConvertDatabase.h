#pragma once
// Copies a database (an Access file, as users bring them) into a new SQLite database, or into an
// empty PostgreSQL database named by its URI (in one transaction), with the
// same tables, column order, types, indexes ("T.N") and values, so that everything the program
// does to a database, writing included, works on the copy.

#include <string>

#include "core/Feedback.h"

namespace pel {

// What `convert` is asked to do.
struct ConvertRequest {
    std::string source;  // the database to read (an Access file, as users bring them)
    std::string dest;    // the new SQLite file, or the URI of an empty PostgreSQL database
};

// Columns are declared by their type codes: SMALLINT, INTEGER, SINGLE, DOUBLE, BOOLEAN,
// TINYINT, BYTE, TEXT, LONGTEXT (TEXT for any other). NAME and PntType are declared
// "TEXT NOT NULL COLLATE NOCASE" when they are keys of the PrimaryKey index, and
// "TEXT COLLATE NOCASE" when they are keys of another, so that the copy's keys ignore case as
// Access keys do. Refuses an existing destination. Writes a temporary file beside the destination
// and gives it the destination's name only when everything is copied, so a failure leaves no file
// behind. An index the source cannot give (unreadable) is reported in a warning and left out; the
// run then counts as left undone. Ends with the result line "Tables converted: N      Rows
// converted: M".
Outcome ConvertDatabase(Feedback& feedback, const ConvertRequest& request);

}  // namespace pel
