#pragma once
// A broken promise of the code under test stops the fuzzer like a crash, so that it keeps the
// input.

#include <cstdlib>

#define FUZZ_CHECK(condition)           \
    do {                                \
        if (!(condition)) std::abort(); \
    } while (false)
