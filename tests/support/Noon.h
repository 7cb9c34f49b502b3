#pragma once

#include <cstdint>

// The moment the conversation tests' messages arrive: 2026-12-08 12:00 UTC.
inline constexpr uint32_t kNoon = 1796731200;
