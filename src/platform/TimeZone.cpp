#include "platform/TimeZone.h"

#include <ctime>

int16_t TimeZoneOffsetFor(int tmIsdst) { return tmIsdst == 0 ? -60 : -120; }

int16_t TimeZoneOffset() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) return TimeZoneOffsetFor(-1);
  return TimeZoneOffsetFor(local.tm_isdst);
}
