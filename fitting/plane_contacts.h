#pragma once

#include "fitting/principal_points.h"

#include <Eigen/Core>

#include <limits>
#include <vector>

// The configurations of contacts that make two parallel planes the
// narrowest zone, in coordinates about an origin near the points.

// Whether the foot of p on the plane of the triangle a, b, c (normal n)
// lies inside the triangle, up to tolerance.
bool Foot_In_Triangle(const Eigen::Vector3d &a, const Eigen::Vector3d &b, const Eigen::Vector3d &c,
                      const Eigen::Vector3d &p, const Eigen::Vector3d &n, double tolerance);

// Whether the segments ab and cd cross seen along n, up to tolerance.
bool Segments_Cross(const Eigen::Vector3d &a, const Eigen::Vector3d &b, const Eigen::Vector3d &c,
                    const Eigen::Vector3d &d, const Eigen::Vector3d &n, double tolerance);

// Two parallel planes and the contacts that fix them.
struct TZone
{
    Eigen::Vector3d normal;
    double width = std::numeric_limits<double>::infinity();
    std::vector<int> top;
    std::vector<int> bottom;
};

// The narrowest zone that three and one or two and two of the candidates
// fix in their configuration, holding all the candidates.
TZone Configured_Zone(const TPrincipalPoints &local, const std::vector<int> &top,
                      const std::vector<int> &bottom, double tolerance);

// Points within margin of the zone's sides along n, the nearest ten of each.
void Near_Sides(const TPrincipalPoints &local, size_t count, const Eigen::Vector3d &n,
                double margin, std::vector<int> *top, std::vector<int> *bottom);
