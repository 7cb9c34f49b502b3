#include "platform/TimeZone.h"

#include <ctime>

int64_t LocalWallSeconds(int64_t utcSeconds) {
  const std::time_t t = static_cast<std::time_t>(utcSeconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) return utcSeconds;
  // The offset in force at that moment, summer time included: a message of
  // July is shown in summer time, one of December in winter time.
  return utcSeconds + local.tm_gmtoff;
}
