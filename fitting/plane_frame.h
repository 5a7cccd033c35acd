#pragma once

#include "core/vector3.h"

#include <Eigen/Core>

#include <string>
#include <vector>

// Points projected orthogonally onto a plane, in the coordinates of an
// orthonormal frame of that plane whose origin is the projection of the
// points' centroid: the offsets stay small however far the data lie from the
// coordinate origin, so two-dimensional fits keep their precision.
struct TPlaneFrame
{
    std::string failure; // non-finite data, no normal, out of memory
    Eigen::Vector3d origin = Eigen::Vector3d::Zero();
    Eigen::Vector3d u = Eigen::Vector3d::UnitX();
    Eigen::Vector3d v = Eigen::Vector3d::UnitY();
    Eigen::Vector3d normal = Eigen::Vector3d::UnitZ();
    std::vector<Eigen::Vector2d> local;
    // What rounding alone can move a point by: the tolerance of the checks.
    double tolerance = 0;

    Eigen::Vector3d At(const Eigen::Vector2d &p) const { return origin + p.x() * u + p.y() * v; }
    Eigen::Vector2d Local(const Eigen::Vector3d &p) const
    {
        return Eigen::Vector2d((p - origin).dot(u), (p - origin).dot(v));
    }
};

TPlaneFrame Plane_Frame(const std::vector<TVector3> &points, const TVector3 &plane_point,
                        const TVector3 &plane_normal);

// The rounding that coordinates as large as those of points carry, times a
// safety factor: the tolerance of every minimax check.
double Rounding_Tolerance(const std::vector<TVector3> &points);
