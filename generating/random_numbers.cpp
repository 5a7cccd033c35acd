#include "generating/random_numbers.h"

namespace {

// SplitMix64's finaliser: every bit of the input moves about half of the output.
std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

int TRandom::Index(int count)
{
    // Rejection keeps every index equally likely.
    const std::uint64_t range = static_cast<std::uint64_t>(count);
    const std::uint64_t limit = UINT64_MAX - UINT64_MAX % range;
    std::uint64_t value = engine();
    while (value >= limit)
        value = engine();
    return static_cast<int>(value % range);
}

TVec TRandom::Direction()
{
    for (;;) {
        const TVec v{Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1)};
        const double squared = Dot(v, v);
        if (squared <= 1 && squared >= 1e-6)
            return Unit(v);
    }
}

std::uint64_t Data_Set_Seed(std::uint64_t seed, std::uint64_t stream, std::uint64_t index)
{
    return Mix(Mix(Mix(seed) ^ stream) ^ index);
}
