#pragma once

#include "core/vector3.h"

#include <cmath>

// Measures of vectors that the fits, the grading and their checks share.

// The length of a vector.
inline double Length(const TVector3 &v)
{
    return std::sqrt(v ^ v);
}

// The angle between two directions, whatever their lengths and signs:
// atan2 stays accurate for tiny angles, where acos of the dot product
// would not.
inline double Angle_Up_To_Sign(const TVector3 &a, const TVector3 &b)
{
    return std::atan2(Length(a * b), std::fabs(a ^ b));
}
