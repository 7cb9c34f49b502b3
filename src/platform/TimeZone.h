#pragma once
#include <cstdint>

// The offset handed to every conversation view: -60 minutes when the local
// clock is on standard time, -120 for daylight time or when the C library
// cannot tell. Only the kind of time counts, never the bias.
int16_t TimeZoneOffsetFor(int tmIsdst);

// The same for the local clock now.
int16_t TimeZoneOffset();
