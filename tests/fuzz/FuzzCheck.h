#pragma once
// What every fuzz target shares: a check that stops the run with a message
// when the oracle disagrees, which libFuzzer records as a finding.

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition, what)                                                 \
  do {                                                                                \
    if (!(condition)) {                                                               \
      std::fprintf(stderr, "\n*** oracle: %s\n    (%s, %s:%d)\n", what, #condition, \
                   __FILE__, __LINE__);                                               \
      std::abort();                                                                   \
    }                                                                                 \
  } while (0)
