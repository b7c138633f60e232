// Platform stamps to date-time values, shared by every platform's layer.
#pragma once

#include <cstdint>

namespace dirtree {

// Whole seconds since 1 January 1601 00:00:00 UTC (the zero stamp) to days
// since 30 December 1899 in the proleptic Gregorian calendar. For a moment
// before that day the fraction's magnitude is the time of day (-1.25 is
// 29 December 1899, 06:00), as the date-time texts expect.
double SecondsSince1601ToDateTime(std::int64_t seconds);

// Seconds between the zero stamp (1601) and the Unix epoch (1970).
inline constexpr std::int64_t kSeconds1601To1970 = 11644473600;

}  // namespace dirtree
