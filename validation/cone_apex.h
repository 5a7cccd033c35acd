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
    ZERO_DIRECTION,
    // The apex lies beyond the range of a double.
    NOT_FINITE
};

// The cone's apex from its point on the axis, its direction (towards the
// wider end, of any length), its included angle in degrees and its diameter
// at the point. The apex is set only when the status is FOUND.
TConeApexStatus Cone_Apex(const TVector3 &point, const TVector3 &direction,
                          double apex_angle_degrees, double diameter, TVector3 &apex);

// The direction scaled to length 1, also when its components are so tiny or
// so huge that their squares would underflow or overflow. False for a zero
// direction, or one with a component that is not finite.
bool Unit_Direction(const TVector3 &direction, TVector3 &unit);
