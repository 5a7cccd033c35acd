#pragma once

#include "fitting/axis_frame.h"
#include "fitting/least_squares_fit.h"

#include <Eigen/Core>

#include <vector>

// Algebraic starts of the surfaces round an axis of a given direction, from
// points centred at their centroid: linear least squares, exact for points
// exactly on the surface whose axis has that direction.

// Cylinder or cone: the points' distances rho from the axis through c
// (across it) grow linearly with their height h along it, rho = r + s h, so
// |x - c|^2 = (r + s h)^2 with x the points across the axis:
// |x|^2 = 2 x.c + A + B h + C h^2, linear in c, A, B, C (B and C zero for a
// cylinder). anchor is the axis point at height 0, radius r there, slope s.
struct TAxialStart
{
    bool found = false;
    Eigen::Vector3d anchor = Eigen::Vector3d::Zero();
    double radius = 0;
    double slope = 0;
};

TAxialStart Axial_Start(const std::vector<Eigen::Vector3d> &points, const TAxisFrame &frame,
                        bool cone);

// Torus: a circle through the points seen along the axis gives the centre
// across it; a circle through the points' (distance from the axis, height)
// gives the major radius, the centre's height and the minor radius.
struct TTorusStart
{
    bool found = false;
    Eigen::Vector3d centre = Eigen::Vector3d::Zero();
    double major = 0;
    double minor = 0;
};

TTorusStart Torus_Start(const std::vector<Eigen::Vector3d> &points, const TAxisFrame &frame);

// Whether a caller's start (a file's stated result) can start an iteration:
// finite, with a direction and a positive size.
bool Usable_Start(const TFit &start);
