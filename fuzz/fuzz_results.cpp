// libFuzzer target: reads arbitrary bytes as the results of a tested
// software against a fixed reference and checks every property a reading
// must have (results_invariants.h).

#include "fuzz/results_invariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const std::string result = tessaline_results_invariants::Check_Content(content);
    if (!result.empty()) {
        std::fprintf(stderr, "INVARIANT VIOLATED: %s\n", result.c_str());
        std::abort();
    }
    return 0;
}
