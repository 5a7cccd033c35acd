#pragma once

#include <Eigen/Core>

#include <vector>

// The narrowest strip holding a convex polygon, by rotating calipers: one of
// its sides holds an edge of the polygon (first, second: indices of points),
// the other the vertex opposite, whose foot lies between them.
struct TStrip
{
    double width = 0;
    int first = -1;
    int second = -1;
    int opposite = -1;
};

// hull: counter-clockwise vertex indices into points, at least three.
TStrip Minimum_Width_2D(const std::vector<Eigen::Vector2d> &points, const std::vector<int> &hull);
