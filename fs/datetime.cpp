// Converts stamp seconds to the day count with no local-time step.
#include "fs/datetime.h"

namespace dirtree {

double SecondsSince1601ToDateTime(std::int64_t seconds) {
  constexpr std::int64_t kDays1601To1899 = 109205;  // 1601-01-01 .. 1899-12-30
  constexpr std::int64_t kSecondsPerDay = 86400;
  std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  const std::int64_t day = days - kDays1601To1899;
  const double fraction = static_cast<double>(rest) / kSecondsPerDay;
  return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

}  // namespace dirtree
