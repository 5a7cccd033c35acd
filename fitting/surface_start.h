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

// Torus about the axis through centre: the points' (distance from the
// axis, height) on a circle whose centre gives the major radius and the
// height of the torus' centre, whose radius the minor one.
TTorusStart Section_Start(const std::vector<Eigen::Vector3d> &points, const TAxisFrame &frame,
                          const Eigen::Vector3d &centre);

// Torus of any axis: the points satisfy (|q|^2 + R^2 - r^2)^2 =
// 4 R^2 (|q|^2 - (q.a)^2), q = p - c, which is |p|^4 = 4 |p|^2 p.c + p'Q p +
// L.p + k, linear in c and in the symmetric Q, L, k that stand for the rest.
// Q + 4 c c' = (4 R^2 - 2 C) I - 4 R^2 a a' (C a constant) then has the
// axis a as the eigenvector of its single eigenvalue. The centre across
// that axis thus found, the section gives the radii as Torus_Start's does.
// Needs 13 points that no other such quartic passes through.
TTorusStart Torus_Algebraic_Start(const std::vector<Eigen::Vector3d> &points,
                                  Eigen::Vector3d &axis);

// Whether a caller's start (a file's stated result) can start an iteration:
// finite, with a direction and a positive size.
bool Usable_Start(const TFit &start);
