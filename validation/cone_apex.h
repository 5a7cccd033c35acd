#pragma once

#include "core/vector3.h"

// Where a cone of a validation file has its vertex. DMIS places a cone at
// its apex while the file states a point on the axis and the diameter
// there, so the point is moved back along the axis by (D/2)/tan(A/2).

enum class TConeApexStatus
{
    FOUND,
    // The included angle is not strictly between 0 and 180 degrees.
    ANGLE_OUT_OF_RANGE,
    // It is, but the program's 6 decimals write it as 0 or 180.
    ANGLE_WRITTEN_AS_LIMIT,
    ZERO_DIRECTION,
    // The apex lies beyond the range of a double.
    NOT_FINITE
};

// The decimals of a cone's apex angle in the program, in degrees, and the
// angles beyond which they write it as 0.000000 and 180.000000: each is the
// double nearest its decimal, 5e-7 just below 0.0000005 and 179.9999995 just
// above, so that they and everything beyond them round to the limit.
constexpr int APEX_ANGLE_DECIMALS = 6;
constexpr double WRITTEN_AS_ZERO_ANGLE = 5e-7;
constexpr double WRITTEN_AS_180_ANGLE = 179.9999995;

// The cone's apex from its point on the axis, its direction (towards the
// wider end, of any length), its included angle in degrees and its diameter
// at the point. The apex is set only when the status is FOUND.
TConeApexStatus Cone_Apex(const TVector3 &point, const TVector3 &direction,
                          double apex_angle_degrees, double diameter, TVector3 &apex);

// The direction scaled to length 1, also when its components are so tiny or
// so huge that their squares would underflow or overflow. False for a zero
// direction, or one with a component that is not finite.
bool Unit_Direction(const TVector3 &direction, TVector3 &unit);
