#pragma once
// Access keeps a date as days since 30 December 1899 with the time of day as the fraction.

#include <string>

namespace pel::db {

// "YYYY-MM-DD HH:MM:SS" for every date Access allows (years 100 to 9999), rounded to the
// second with the day carried. Before 1899-12-30 the whole part counts the days back and the
// fraction is still the time of that day (-1.25 is 1899-12-29 06:00:00), as Access reads it.
// A number outside that range is written as the number.
std::string AccessDateText(double serial);

}  // namespace pel::db
