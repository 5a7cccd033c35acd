#include "generating/portable_math.h"

TVec Across(const TVec &unit)
{
    TVec axis;
    const double ax = std::abs(unit.x);
    const double ay = std::abs(unit.y);
    const double az = std::abs(unit.z);
    if (ax <= ay && ax <= az)
        axis.x = 1;
    else if (ay <= az)
        axis.y = 1;
    else
        axis.z = 1;
    return Unit(axis - unit * Dot(axis, unit));
}

TVec Signed_Direction(const TVec &direction)
{
    double largest = direction.x;
    if (std::abs(direction.y) > std::abs(largest))
        largest = direction.y;
    if (std::abs(direction.z) > std::abs(largest))
        largest = direction.z;
    return largest < 0 ? direction * -1.0 : direction;
}

namespace {

// angle = k pi/2 + r with |r| <= pi/4 (a little more at rounding); pi/2 in
// two parts, the first with 33 significant bits, so that k times it is exact
// (Cody and Waite). k is rounded half away from zero by truncation, which
// unlike floor needs no call.
struct TReduced
{
    long long quadrant;
    double r;
};

TReduced Reduce(double angle)
{
    const double half_pi_high = 1.57079632673412561417e+00;
    const double half_pi_low = 6.07710050650619224932e-11;
    const double turns = angle * (2 / PI);
    const long long k = static_cast<long long>(turns < 0 ? turns - 0.5 : turns + 0.5);
    const double quarter = static_cast<double>(k);
    return {k, (angle - quarter * half_pi_high) - quarter * half_pi_low};
}

// Taylor series to r^17 and r^18: the next terms are below 1e-19.
double Sine_Series(double r)
{
    const double r2 = r * r;
    double s = 1.0 / 355687428096000.0;
    s = s * r2 - 1.0 / 1307674368000.0;
    s = s * r2 + 1.0 / 6227020800.0;
    s = s * r2 - 1.0 / 39916800.0;
    s = s * r2 + 1.0 / 362880.0;
    s = s * r2 - 1.0 / 5040.0;
    s = s * r2 + 1.0 / 120.0;
    s = s * r2 - 1.0 / 6.0;
    return r + r * r2 * s;
}

double Cosine_Series(double r)
{
    const double r2 = r * r;
    double c = -1.0 / 6402373705728000.0;
    c = c * r2 + 1.0 / 20922789888000.0;
    c = c * r2 - 1.0 / 87178291200.0;
    c = c * r2 + 1.0 / 479001600.0;
    c = c * r2 - 1.0 / 3628800.0;
    c = c * r2 + 1.0 / 40320.0;
    c = c * r2 - 1.0 / 720.0;
    c = c * r2 + 1.0 / 24.0;
    return 1 - r2 / 2 + r2 * r2 * c;
}

} // namespace

TSineCosine Sine_Cosine(double angle)
{
    const TReduced reduced = Reduce(angle);
    const double sine = Sine_Series(reduced.r);
    const double cosine = Cosine_Series(reduced.r);
    switch (reduced.quadrant & 3) {
    case 0:
        return {sine, cosine};
    case 1:
        return {cosine, -sine};
    case 2:
        return {-sine, -cosine};
    default:
        return {-cosine, sine};
    }
}

double Cosine(double angle)
{
    const TReduced reduced = Reduce(angle);
    switch (reduced.quadrant & 3) {
    case 0:
        return Cosine_Series(reduced.r);
    case 1:
        return -Sine_Series(reduced.r);
    case 2:
        return -Cosine_Series(reduced.r);
    default:
        return Sine_Series(reduced.r);
    }
}
