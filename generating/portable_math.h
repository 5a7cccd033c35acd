#pragma once

#include <cfloat>
#include <cmath>

// Arithmetic whose results are the same bits on every machine and compiler,
// so that the same seed and options write the same files everywhere: only
// IEEE-754 double operations that are correctly rounded (+, -, *, /, sqrt),
// in a fixed order, never fused (the library is built with
// -ffp-contract=off), and sine and cosine of our own instead of libm's,
// whose last bits differ between implementations.
static_assert(FLT_EVAL_METHOD == 0,
              "double arithmetic must be evaluated in double (SSE2, not x87)");

struct TVec
{
    double x = 0;
    double y = 0;
    double z = 0;
};

inline TVec operator+(const TVec &a, const TVec &b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline TVec operator-(const TVec &a, const TVec &b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline TVec operator*(const TVec &a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(const TVec &a, const TVec &b)
{
    return (a.x * b.x + a.y * b.y) + a.z * b.z;
}
inline TVec Cross(const TVec &a, const TVec &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Norm(const TVec &a)
{
    return std::sqrt(Dot(a, a));
}
inline TVec Unit(const TVec &a)
{
    const double norm = Norm(a);
    return {a.x / norm, a.y / norm, a.z / norm};
}

// A unit vector across the given unit vector: the coordinate axis least along
// it, with its component along it taken out.
TVec Across(const TVec &unit);

// The sign the fitting library gives a direction: its component of largest
// magnitude positive (the first of equal ones).
TVec Signed_Direction(const TVec &direction);

// Sine and cosine within about an ulp for |angle| up to 1e6, where the
// reduction by pi/2 is exact; beyond, still a pair on the unit circle.
struct TSineCosine
{
    double sine;
    double cosine;
};
TSineCosine Sine_Cosine(double angle);
double Cosine(double angle);

constexpr double PI = 3.14159265358979323846;

// A sum that carries the rounding of its additions (Neumaier's), so that
// a million terms add up to the last bit or so.
class TSum
{
public:
    void Add(double value)
    {
        const double total = sum + value;
        if (std::abs(sum) >= std::abs(value))
            compensation += (sum - total) + value;
        else
            compensation += (value - total) + sum;
        sum = total;
    }
    double Value() const { return sum + compensation; }

private:
    double sum = 0;
    double compensation = 0;
};
