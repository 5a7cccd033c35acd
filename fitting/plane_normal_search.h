#pragma once

#include "fitting/principal_points.h"

#include <Eigen/Core>

#include <limits>
#include <string>

// The narrowest pair of parallel planes holding the points. Every direction,
// up to sign, is e_k + a e_i + b e_j with |a|, |b| <= 1 on one of the three
// faces of the cube about the principal axes. On a face the zone's width
// times sqrt(1 + a^2 + b^2) is max - min of linear functions of (a, b), so
// over a square cell the pair that is extreme at the cell's centre bounds it
// from below exactly as a linear function; a branch and bound over the faces
// closes on the global optimum, and the points that cannot be extreme
// anywhere in a cell leave its candidates. The contacts found there fix the
// zone exactly.
struct TPlaneSearch
{
    std::string failure;
    Eigen::Vector3d normal = Eigen::Vector3d::UnitZ(); // principal frame, unit
    double width = std::numeric_limits<double>::infinity();
    long cells = 0;
};

// The best normal found, within tolerance of the narrowest zone's width.
TPlaneSearch Plane_Normal_Search(const TPrincipalPoints &local, size_t count, double tolerance);
