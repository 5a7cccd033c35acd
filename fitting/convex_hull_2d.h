#pragma once

#include <Eigen/Core>

#include <vector>

// Indices of the vertices of the convex hull of points, counter-clockwise,
// without points on the hull's edges between its vertices (Andrew's
// monotone chain), nor vertices within tolerance of the segment between
// their neighbours. One index for coincident points, two for collinear ones.
// Throws std::bad_alloc when it cannot hold its index arrays.
std::vector<int> Convex_Hull_2D(const std::vector<Eigen::Vector2d> &points, double tolerance);

// Twice the signed area of the triangle a, b, c: positive when
// counter-clockwise.
inline double Turn(const Eigen::Vector2d &a, const Eigen::Vector2d &b, const Eigen::Vector2d &c)
{
    return (b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x());
}
