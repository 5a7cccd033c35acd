#pragma once

#include "generating/design.h"

#include <vector>

// Conditions on some of the deviations: those at first, first + stride, ...
// (count of them) must have sum e c = 0 for every column c, which is given
// at those deviations, in order. Blocks of conditions on different
// deviations are independent of each other.
struct TConditions
{
    size_t first = 0;
    size_t stride = 1;
    size_t count = 0;
    std::vector<std::vector<double>> columns;
};

// The points on the design element that the measured points deviate from
// (step 2), each with the direction of its deviation, and the conditions
// that make the design the least-squares element (step 4).
struct TFootPoints
{
    std::vector<TVec> position; // about the design position
    std::vector<TVec> normal;   // direction of the (first) deviation
    std::vector<TVec> normal_2; // a line's second deviation direction; empty otherwise
    // Where each point lies, in cycles over the patch, segment, arc or cap,
    // for the harmonic lobes of the raw deviations.
    std::vector<double> cycle_1;
    std::vector<double> cycle_2;
    // Deviations e (one per point; for a line all first components, then
    // all second ones) leave the design the least-squares element when they
    // meet every block of conditions: J^T e = 0, J the Jacobian of the
    // orthogonal distances at the design, in a well-conditioned basis.
    std::vector<TConditions> conditions;
};

// Whether a circle's points all deviate radially: when it is axis-aligned
// (its points then lie in one plane exactly, as written, and the two
// definitions of a circle in space agree exactly) or has fewer than 8 points
// (each kind needs 4 to vary, for its 3 conditions). Otherwise radial and
// axial deviations alternate, never both at one point.
bool Radial_Only(const TDataSetOptions &options);

// Plane: a patch of side lengths size and size / aspect, points spread over
// it as a shifted R2 low-discrepancy sequence, jittered. Line: a segment of
// the size, its ends included, points evenly spaced and jittered. Circle:
// angles over the arc, its ends included (a full circle: evenly spaced and
// jittered). Sphere: a spiral of equal areas over the cap, the last point on
// its rim. Cylinder, cone and torus: spread over the arc round the axis
// (centred on the design's across_1) and the length or the tube's band.
// Plane and line points are centred (sum u = sum v = 0, sum t = 0),
// so that the design position is their centroid.
TFootPoints Place_Foot_Points(const TDataSetOptions &options, const TDesign &design,
                              TRandom &random);
