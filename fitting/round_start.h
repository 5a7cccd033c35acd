#pragma once

#include <Eigen/Core>

#include <vector>

// Taubin's algebraic fit of A |p|^2 + B.p + C = 0: the start of the geometric
// iteration. Nearly unbiased on partial arcs and caps, unlike the simpler
// Kasa fit, and exact for points exactly on a circle or sphere.
template <int Dimension> struct TRoundStart
{
    bool found = false; // false for points on a line or plane, whose A is 0
    Eigen::Matrix<double, Dimension, 1> centre;
    double radius = 0;
};

template <int Dimension>
TRoundStart<Dimension> Round_Start(const std::vector<Eigen::Matrix<double, Dimension, 1>> &points);

extern template TRoundStart<2> Round_Start<2>(const std::vector<Eigen::Vector2d> &);
extern template TRoundStart<3> Round_Start<3>(const std::vector<Eigen::Vector3d> &);
