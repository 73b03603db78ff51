// Date-times are days since 30 December 1899 in local time, the fraction being the time of day.
// PDF dates carry their offset from UTC, so readers elsewhere show the right moment.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "pdf/PdfTypes.h"

namespace tovra {

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2);
}

constexpr int64_t kDaysFrom1899To1970 = 25569;

// Seconds east of UTC of the local time zone at the local date-time given as seconds since
// 1970 read on the local clock. mktime finds the instant (and whether daylight saving time was
// in force); the offset is the distance between the two readings.
int64_t LocalOffsetSeconds(int64_t localSeconds) {
    const auto reading = static_cast<std::time_t>(localSeconds);
    std::tm fields{};
    if (!gmtime_r(&reading, &fields)) return 0;
    fields.tm_isdst = -1;
    const std::time_t instant = std::mktime(&fields);
    if (instant == static_cast<std::time_t>(-1)) return 0;
    return localSeconds - static_cast<int64_t>(instant);
}

// "Z", or "+HH'mm'" / "-HH'mm'".
std::string OffsetText(int64_t seconds) {
    if (seconds == 0) return "Z";
    const char sign = seconds < 0 ? '-' : '+';
    const int64_t minutes = (seconds < 0 ? -seconds : seconds) / 60;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%c%02lld'%02lld'", sign, static_cast<long long>(minutes / 60),
                  static_cast<long long>(minutes % 60));
    return buffer;
}

}  // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
    const int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kDaysFrom1899To1970;
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::string PdfDateString(TDateTime value, TDateZone zone) {
    // Work in whole milliseconds so that 23:59:59 does not come out as 23:59:58.999.
    const auto millis = static_cast<int64_t>(std::llround(value * 86400000.0));
    int64_t days = millis / 86400000;
    int64_t dayMillis = millis % 86400000;
    if (dayMillis < 0) {
        dayMillis += 86400000;
        --days;
    }
    int64_t year;
    unsigned month, day;
    CivilFromDays(days - kDaysFrom1899To1970, &year, &month, &day);
    const int64_t seconds = dayMillis / 1000;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "D:%04lld%02u%02u%02lld%02lld%02lld", static_cast<long long>(year), month, day,
                  static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                  static_cast<long long>(seconds % 60));
    const int64_t localSeconds = (days - kDaysFrom1899To1970) * 86400 + seconds;
    return buffer + OffsetText(zone == TDateZone::Utc ? 0 : LocalOffsetSeconds(localSeconds));
}

TDateTime Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec);
}

}  // namespace tovra
