#pragma once

#include <cstdio>
#include <cstdlib>

// A property of a target that does not hold: the input is a finding, as a crash would be.
#define FUZZ_CHECK(condition, what)                                                          \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)
