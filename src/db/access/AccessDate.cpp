#include "db/access/AccessDate.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "db/Numeric.h"

namespace pel::db {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kDaysFrom1970To1899_12_30 = -25569;

struct Civil {
    std::int64_t year;
    unsigned month, day;
};

// Days since 1970-01-01 to the proleptic Gregorian date (H. Hinnant's civil_from_days).
Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2), month, day};
}

}  // namespace

std::string AccessDateText(double serial) {
    // Well beyond 9999-12-31 either way; the year test below is the exact bound.
    if (!(std::fabs(serial) < 4e6)) return FormatDouble(serial);
    const double whole = std::trunc(serial);
    auto day = static_cast<std::int64_t>(whole);
    std::int64_t second = std::llround(std::fabs(serial - whole) * kSecondsPerDay);
    if (second >= kSecondsPerDay) {  // 23:59:59.5 and later is the next day's midnight
        ++day;
        second = 0;
    }
    const Civil date = CivilFromDays(day + kDaysFrom1970To1899_12_30);
    if (date.year < 100 || date.year > 9999) return FormatDouble(serial);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year),
                  date.month, date.day, static_cast<int>(second / 3600),
                  static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return text;
}

}  // namespace pel::db
