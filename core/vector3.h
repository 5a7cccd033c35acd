#pragma once

#include <cassert>
#include <limits>

// A position or a direction in space. Between two vectors "*" is the cross
// product and "^" the dot product.
class TVector3
{
public:
    TVector3() = default;
    TVector3(const TVector3 &other) = default;
    TVector3(const double &x, const double &y, const double &z) : x(x), y(y), z(z) {}

    TVector3 &operator=(const TVector3 &other) = default;

    double operator()(int index) const;
    double &operator()(int index);

    TVector3 &Normal();

    TVector3 &operator*=(const TVector3 &v);

    TVector3 &operator/=(const double &d)
    {
        // Also rejects negative divisors and NaN: callers divide by lengths.
        assert(d > std::numeric_limits<double>::epsilon());
        x /= d;
        y /= d;
        z /= d;
        return *this;
    }

    double x = 0;
    double y = 0;
    double z = 0;
};

TVector3 operator+(const TVector3 &a, const TVector3 &b);
TVector3 operator-(const TVector3 &a, const TVector3 &b);
TVector3 operator+(const TVector3 &a, const double &d);
TVector3 operator+(const double &d, const TVector3 &a);
TVector3 operator-(const TVector3 &a, const double &d);
TVector3 operator*(const TVector3 &a, const double &d);
TVector3 operator*(const double &d, const TVector3 &a);
TVector3 operator/(const TVector3 &a, const double &d);
TVector3 operator*(const TVector3 &a, const TVector3 &b);
double operator^(const TVector3 &a, const TVector3 &b);
