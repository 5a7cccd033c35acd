#pragma once

#include <Eigen/Core>

#include <vector>

// The smallest sphere holding every point (Welzl's algorithm, the points in
// an order shuffled with a fixed seed, so that the same points always give
// the same sphere). A point counts as inside when it is outside by no more
// than tolerance.
struct TEnclosingSphere
{
    Eigen::Vector3d centre = Eigen::Vector3d::Zero();
    double radius = 0;
};

TEnclosingSphere Enclosing_Sphere(const std::vector<Eigen::Vector3d> &points, double tolerance);
