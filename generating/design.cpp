#include "generating/design.h"

#include <cmath>

double Grid_Scale(int decimals)
{
    double scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    return scale;
}

namespace {

TVec Axis_Direction(TRandom &random)
{
    const int axis = random.Index(3);
    const double sign = random.Index(2) == 0 ? 1 : -1;
    TVec direction;
    if (axis == 0)
        direction.x = sign;
    else if (axis == 1)
        direction.y = sign;
    else
        direction.z = sign;
    return direction;
}

// A random unit vector across the unit vector.
TVec Random_Across(const TVec &unit, TRandom &random)
{
    for (;;) {
        const TVec v = random.Direction();
        const TVec across = v - unit * Dot(v, unit);
        if (Norm(across) >= 0.1)
            return Unit(across);
    }
}

} // namespace

TDesign Make_Design(const TDataSetOptions &options, TRandom &random)
{
    TDesign design;
    const double scale = Grid_Scale(options.decimals);
    const TVec where = random.Direction() * options.distance;
    design.position[0] = std::llround(where.x * scale);
    design.position[1] = std::llround(where.y * scale);
    design.position[2] = std::llround(where.z * scale);

    switch (options.orientation) {
    case TOrientation::AXIS:
        design.direction = Axis_Direction(random);
        break;
    case TOrientation::TILTED: {
        const TVec axis = Axis_Direction(random);
        const TSineCosine tilt = Sine_Cosine(TILT);
        design.direction = Unit(axis * tilt.cosine + Random_Across(axis, random) * tilt.sine);
        break;
    }
    case TOrientation::RANDOM:
        design.direction = random.Direction();
        break;
    }
    // Across an axis direction these keep a zero in that axis's coordinate.
    design.across_1 = Random_Across(design.direction, random);
    design.across_2 = Cross(design.direction, design.across_1);
    design.diameter = std::llround(options.size * 1e6);
    design.radius = static_cast<double>(design.diameter) / 2e6;
    if (Has_Angle(options.type))
        design.half_angle = options.angle * (PI / 360);
    if (Has_Minor(options.type)) {
        design.minor_diameter = std::llround(options.minor * 1e6);
        design.minor_radius = static_cast<double>(design.minor_diameter) / 2e6;
    }
    return design;
}
