#include "validation/cone_apex.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

} // namespace

bool Unit_Direction(const TVector3 &direction, TVector3 &unit)
{
    const double largest =
        std::max({std::fabs(direction.x), std::fabs(direction.y), std::fabs(direction.z)});
    if (!(largest > 0) || !std::isfinite(largest)) {
        return false;
    }
    // Divided by the largest component first, the squares neither overflow
    // nor vanish, however large or tiny the components are.
    const double x = direction.x / largest;
    const double y = direction.y / largest;
    const double z = direction.z / largest;
    const double length = std::sqrt((x * x + y * y) + z * z);
    unit = TVector3(x / length, y / length, z / length);
    return true;
}

TConeApexStatus Cone_Apex(const TVector3 &point, const TVector3 &direction,
                          double apex_angle_degrees, double diameter, TVector3 &apex)
{
    if (!(apex_angle_degrees > 0 && apex_angle_degrees < 180)) {
        return TConeApexStatus::ANGLE_OUT_OF_RANGE;
    }
    // A cone written with an angle of 0 or 180 degrees is none.
    if (!(apex_angle_degrees > WRITTEN_AS_ZERO_ANGLE &&
          apex_angle_degrees < WRITTEN_AS_180_ANGLE)) {
        return TConeApexStatus::ANGLE_WRITTEN_AS_LIMIT;
    }
    TVector3 unit;
    if (!Unit_Direction(direction, unit)) {
        return TConeApexStatus::ZERO_DIRECTION;
    }
    const double half_angle = apex_angle_degrees / 2 * (PI / 180);
    const double distance = diameter / 2 / std::tan(half_angle);
    const TVector3 result(point.x - unit.x * distance, point.y - unit.y * distance,
                          point.z - unit.z * distance);
    if (!std::isfinite(distance) || !std::isfinite(result.x) || !std::isfinite(result.y) ||
        !std::isfinite(result.z)) {
        return TConeApexStatus::NOT_FINITE;
    }
    apex = result;
    return TConeApexStatus::FOUND;
}
