#pragma once

#include "generating/data_set_options.h"
#include "generating/portable_math.h"
#include "generating/random_numbers.h"

#include <QtGlobal>

// The element a data set is built about (step 1). Its position lies on the
// grid of the written coordinates, so that points of an axis-aligned circle
// or plane keep their height exactly when written; everything else is
// counted from that position.
struct TDesign
{
    qint64 position[3] = {0, 0, 0}; // in units of 10^-decimals mm
    // Plane normal, line direction, circle, cylinder and torus axis, sphere
    // cap's axis; a cone's axis towards its wider end.
    TVec direction;
    // Unit, across the direction; a cylinder's, cone's or torus' arc is
    // centred on it.
    TVec across_1;
    TVec across_2; // direction x across_1
    // In units of 1e-6 mm: a circle's, sphere's or cylinder's diameter, a
    // cone's at the position, a torus' major one.
    qint64 diameter = 0;
    double radius = 0;         // mm
    double half_angle = 0;     // rad: half a cone's apex angle
    qint64 minor_diameter = 0; // in units of 1e-6 mm; torus
    double minor_radius = 0;   // mm
};

// 10^decimals, exactly.
double Grid_Scale(int decimals);

TDesign Make_Design(const TDataSetOptions &options, TRandom &random);

// The angle "tilted" turns the direction off its axis, in radians.
constexpr double TILT = 0.001;
