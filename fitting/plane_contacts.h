#pragma once

#include <Eigen/Core>

// The configurations of contacts that make two parallel planes the
// narrowest zone, in coordinates about an origin near the points.

// Whether the foot of p on the plane of the triangle a, b, c (normal n)
// lies inside the triangle, up to tolerance.
bool Foot_In_Triangle(const Eigen::Vector3d &a, const Eigen::Vector3d &b, const Eigen::Vector3d &c,
                      const Eigen::Vector3d &p, const Eigen::Vector3d &n, double tolerance);

// Whether the segments ab and cd cross seen along n, up to tolerance.
bool Segments_Cross(const Eigen::Vector3d &a, const Eigen::Vector3d &b, const Eigen::Vector3d &c,
                    const Eigen::Vector3d &d, const Eigen::Vector3d &n, double tolerance);
