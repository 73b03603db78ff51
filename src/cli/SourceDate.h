#pragma once
// Reproducible output: the date-time a SOURCE_DATE_EPOCH value stands for.
#include <string>

#include "pdf/PdfTypes.h"

namespace tovra::cli {

// Seconds since 1970-01-01 00:00:00 UTC, as decimal digits, to the date-time of the same UTC
// wall-clock reading (the PDF dates then show the UTC time, whatever the machine's time zone).
// Throws EUsage for anything but digits or a value outside the calendar's range.
TDateTime DateFromSourceDateEpoch(const std::string& value);

}  // namespace tovra::cli
