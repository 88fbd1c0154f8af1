#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target checks on every input: when it does not hold, the run stops
// with the reason, and libFuzzer keeps the input as a crash- file.
#define FUZZ_CHECK(condition, what)                                                       \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "fuzz check failed: %s (%s) at %s:%d\n", what, #condition, \
                         __FILE__, __LINE__);                                             \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)
