#pragma once

#include <Eigen/Core>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

// A square cell of a branch and bound over a circle's centre, with the points
// that can still be the farthest and the nearest somewhere in it.
struct TCentreCell
{
    Eigen::Vector2d centre;
    double half; // half the side
    std::shared_ptr<const std::vector<int>> far;
    std::shared_ptr<const std::vector<int>> near;
};

// Bounds of a point's distance over a cell, from its distance d and unit
// direction at the cell's centre: the distance is convex with curvature at
// most 1 / (d - reach), reach the cell's half diagonal.
inline double Curvature_Allowance(double distance, double reach)
{
    return distance > reach ? reach * reach / (2 * (distance - reach))
                            : std::numeric_limits<double>::infinity();
}

// The four quarters of a cell, carrying the given candidates.
inline void Split(const TCentreCell &cell, const std::shared_ptr<const std::vector<int>> &far,
                  const std::shared_ptr<const std::vector<int>> &near,
                  std::vector<TCentreCell> &cells)
{
    const double quarter = cell.half / 2;
    for (int k = 0; k < 4; ++k) {
        const Eigen::Vector2d offset((k & 1) ? quarter : -quarter, (k & 2) ? quarter : -quarter);
        cells.push_back({cell.centre + offset, quarter, far, near});
    }
}

// Most cells a search may visit before it gives up as not closing.
constexpr long Centre_Cell_Limit = 4000000;
