#pragma once

#include <Eigen/Core>

#include <array>
#include <vector>

// Points about an exact origin near their centroid, in the frame of their
// principal axes, one array per axis.
struct TPrincipalPoints
{
    Eigen::Vector3d origin;
    Eigen::Matrix3d axes;
    std::array<std::vector<double>, 3> coordinate;

    Eigen::Vector3d operator[](size_t i) const
    {
        return Eigen::Vector3d(coordinate[0][i], coordinate[1][i], coordinate[2][i]);
    }
};
