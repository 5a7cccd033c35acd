#pragma once

#include "core/vector3.h"
#include "core/vector_measures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

// What the tests of the minimax fits build their data sets from: frames,
// tilted and far from the origin, and a repeatable source of numbers.

using TPoints = std::vector<TVector3>;

const double Pi = std::acos(-1.0);
const double Degree = Pi / 180;

// An orthonormal frame: n tilted from z by "tilt" towards the azimuth.
struct TFrame
{
    TVector3 origin;
    TVector3 u;
    TVector3 v;
    TVector3 n;

    TVector3 At(double a, double b, double c = 0) const { return origin + u * a + v * b + n * c; }
};

inline TFrame Tilted_Frame(const TVector3 &origin, double tilt, double azimuth)
{
    const TVector3 n(std::sin(tilt) * std::cos(azimuth), std::sin(tilt) * std::sin(azimuth),
                     std::cos(tilt));
    const TVector3 u(std::cos(tilt) * std::cos(azimuth), std::cos(tilt) * std::sin(azimuth),
                     -std::sin(tilt));
    return TFrame{origin, u, n * u, n};
}

// Uniform numbers in [low, high) from a fixed seed: the same on every run.
class TNumbers
{
public:
    explicit TNumbers(std::uint32_t seed) : engine(seed) {}
    double operator()(double low, double high)
    {
        return low + (high - low) * (engine() >> 11) * 0x1.0p-53;
    }

private:
    std::mt19937_64 engine;
};

// The component of largest magnitude made positive, as the fits give it.
inline TVector3 Signed(const TVector3 &d)
{
    const double x = std::abs(d.x), y = std::abs(d.y), z = std::abs(d.z);
    const double largest = x >= y && x >= z ? d.x : y >= z ? d.y : d.z;
    return largest < 0 ? d * -1.0 : d;
}

inline double Largest_Coordinate(const TPoints &points)
{
    double largest = 1;
    for (const TVector3 &p : points)
        largest = std::max({largest, std::abs(p.x), std::abs(p.y), std::abs(p.z)});
    return largest;
}

inline TVector3 Centroid(const TPoints &points)
{
    TVector3 sum;
    for (const TVector3 &p : points)
        sum = sum + p;
    return sum / static_cast<double>(points.size());
}
