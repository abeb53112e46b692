#pragma once
// Turning the text of an EB value into the value stored in a column of a given type code.

#include <string>
#include <string_view>

#include "db/Value.h"

namespace pel::db {

struct Conversion {
    // NotANumber: a numeric column given text that is no number; Null is stored and the lost
    // text is reported.
    enum class Outcome { Stored, NotANumber, DoesNotFit };
    Outcome outcome = Outcome::Stored;
    Value value;         // what to store (may be Null) when Stored or NotANumber
    std::string reason;  // why the value is not kept, for the report
};

// Whole-number columns: a number is rounded half to even into the column's range (Null when the
// text is blank, NotANumber when it is other text; does not fit when out of range, a number too
// large for a double included). Floating-point columns: single precision (Null or NotANumber as
// above). Yes/No: True/Yes/On/non-zero number 1, False/No/Off/0 0, else does not
// fit. BYTE: a whole number 0..255. Text and every other type: the text.
Conversion ConvertForColumn(int typeCode, std::string_view text);
// Whether a column of the type stores the text as it is (no conversion can fail).
bool StoresTextAsIs(int typeCode);

// Why a value already converted cannot be stored in a column of the type (a whole number out of
// its range, a Byte outside 0 to 255); empty when it fits. For a store that would refuse it.
std::string WhyValueDoesNotFit(int typeCode, const Value& value);

}  // namespace pel::db
