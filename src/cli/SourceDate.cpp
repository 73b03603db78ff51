#include "cli/SourceDate.h"

#include <charconv>
#include <cstdint>
#include <ctime>

#include "cli/CliOptions.h"

namespace tovra::cli {

TDateTime DateFromSourceDateEpoch(const std::string& value) {
    const std::string bad = "SOURCE_DATE_EPOCH '" + value + "' is not a number of seconds since 1970 (UTC)";
    std::int64_t seconds = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, seconds);
    if (value.empty() || value[0] == '-' || value[0] == '+' || error != std::errc() || stop != end) throw EUsage(bad);
    // Years up to 9999 fit the four digits of a PDF date.
    if (seconds > std::int64_t{253402300799}) throw EUsage(bad);
    const auto time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    if (!gmtime_r(&time, &utc)) throw EUsage(bad);
    return EncodeDateTime(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
}

}  // namespace tovra::cli
