#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant that failed is reported like a crash, so libFuzzer saves the input that broke it.
#define FUZZ_CHECK(condition)                                                                     \
  do {                                                                                            \
    if (!(condition)) {                                                                           \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition);      \
      std::abort();                                                                               \
    }                                                                                             \
  } while (false)
