// libFuzzer target: converts arbitrary bytes in every point output type and
// checks every property a program text must have, then compares the fast
// number formatting, field reading and line reading with Qt's own.

#include "fuzz/conversion_invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string result = tessaline_invariants::Check_Input(data, size);
    if (!result.empty()) {
        std::fprintf(stderr, "INVARIANT VIOLATED: %s\n", result.c_str());
        std::abort();
    }
    return 0;
}
