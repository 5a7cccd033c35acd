#include "core/vector3.h"

#include <cmath>

double TVector3::operator()(int index) const
{
    switch (index) {
    case 0:
        return x;
    case 1:
        return y;
    case 2:
        return z;
    default:
        assert(false);
        return 0;
    }
}

double &TVector3::operator()(int index)
{
    switch (index) {
    case 0:
        return x;
    case 1:
        return y;
    case 2:
        return z;
    default:
        assert(false);
        return x;
    }
}

TVector3 &TVector3::Normal()
{
    const double Length = std::sqrt((x * x + y * y) + z * z);
    assert(Length > std::numeric_limits<double>::epsilon());
    x /= Length;
    y /= Length;
    z /= Length;
    return *this;
}

TVector3 &TVector3::operator*=(const TVector3 &v)
{
    const double new_x = y * v.z - z * v.y;
    const double new_y = z * v.x - x * v.z;
    const double new_z = x * v.y - y * v.x;
    x = new_x;
    y = new_y;
    z = new_z;
    return *this;
}

TVector3 operator+(const TVector3 &a, const TVector3 &b)
{
    return TVector3(a.x + b.x, a.y + b.y, a.z + b.z);
}

TVector3 operator-(const TVector3 &a, const TVector3 &b)
{
    return TVector3(a.x - b.x, a.y - b.y, a.z - b.z);
}

TVector3 operator+(const TVector3 &a, const double &d)
{
    return TVector3(a.x + d, a.y + d, a.z + d);
}

TVector3 operator+(const double &d, const TVector3 &a)
{
    return TVector3(a.x + d, a.y + d, a.z + d);
}

TVector3 operator-(const TVector3 &a, const double &d)
{
    return TVector3(a.x - d, a.y - d, a.z - d);
}

TVector3 operator*(const TVector3 &a, const double &d)
{
    return TVector3(a.x * d, a.y * d, a.z * d);
}

TVector3 operator*(const double &d, const TVector3 &a)
{
    return TVector3(a.x * d, a.y * d, a.z * d);
}

TVector3 operator/(const TVector3 &a, const double &d)
{
    TVector3 result(a);
    result /= d;
    return result;
}

TVector3 operator*(const TVector3 &a, const TVector3 &b)
{
    TVector3 result(a);
    result *= b;
    return result;
}

double operator^(const TVector3 &a, const TVector3 &b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
