#pragma once
#include <cstdint>

// The machine's time zone as the C library knows it: TZ when it is set, the
// system's zone otherwise, with its summer-time rules. Every time the program
// shows (the conversation view's labels, the archive's stamps) is read on
// this clock, whatever zone the sender was in.

// The local wall clock at a moment: seconds since 1970-01-01 00:00 UTC in,
// the local date and time out, counted as seconds since 1970-01-01 00:00 of
// that clock. A moment the C library cannot convert comes back unchanged.
int64_t LocalWallSeconds(int64_t utcSeconds);
