#pragma once
// The oracle of the fuzz targets: a broken property stops the run with a
// message, which libFuzzer records as a crash and the replay test as a failure.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                 \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__,     \
                         __LINE__);                                                      \
            std::abort();                                                                \
        }                                                                                \
    } while (0)
