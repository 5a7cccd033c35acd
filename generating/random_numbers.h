#pragma once

#include "generating/portable_math.h"

#include <cstdint>
#include <random>

// Random numbers that are the same on every machine: std::mt19937_64's
// sequence is fixed by the C++ standard, but its distributions are not, so
// the few needed are made here from its raw 64-bit output.
class TRandom
{
public:
    explicit TRandom(std::uint64_t seed) : engine(seed) {}

    // Uniform in [0, 1), on the 2^-53 grid.
    double Uniform() { return static_cast<double>(engine() >> 11) * (1.0 / 9007199254740992.0); }
    double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
    // Uniform in 0 .. count - 1.
    int Index(int count);
    // Uniform over the directions: a point of the unit ball, by rejection
    // from the cube, scaled to length 1.
    TVec Direction();

private:
    std::mt19937_64 engine;
};

// The seed of one data set's own engine, from the run's seed and the data
// set's place, so that data sets do not share or shift each other's numbers.
std::uint64_t Data_Set_Seed(std::uint64_t seed, std::uint64_t stream, std::uint64_t index);
