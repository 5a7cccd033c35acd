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

// The squared distances of the listed points from centre.
inline void Squared_Distances(const std::vector<Eigen::Vector2d> &points,
                              const std::vector<int> &list, const Eigen::Vector2d &centre,
                              std::vector<double> &squared)
{
    squared.resize(list.size());
    for (size_t k = 0; k < list.size(); ++k)
        squared[k] = (points[list[k]] - centre).squaredNorm();
}

// The extreme point of a list at a cell's centre: its place in the list,
// distance and unit direction from the centre.
struct TCellExtreme
{
    size_t place;
    double distance;
    Eigen::Vector2d unit;
};

inline TCellExtreme Cell_Extreme(const std::vector<Eigen::Vector2d> &points,
                                 const std::vector<int> &list, const std::vector<double> &squared,
                                 const Eigen::Vector2d &centre, bool farthest)
{
    size_t place = 0;
    for (size_t k = 1; k < squared.size(); ++k)
        if (farthest ? squared[k] > squared[place] : squared[k] < squared[place])
            place = k;
    const double distance = std::sqrt(squared[place]);
    const Eigen::Vector2d d = points[list[place]] - centre;
    return {place, distance,
            distance > 0 ? Eigen::Vector2d(d / distance) : Eigen::Vector2d::Zero()};
}

// The listed points that can be the farthest (or the nearest) somewhere in
// the cell, than the extreme at its centre. Over the cell a distance moves
// by at most twice the reach against another, and by its direction's turn
// plus the bend of the one bounded from above (the candidate's when
// farthest, the extreme's, bend, when nearest).
inline std::shared_ptr<const std::vector<int>>
Cell_Candidates(const std::vector<Eigen::Vector2d> &points, const std::vector<int> &list,
                const std::vector<double> &squared, const TCentreCell &cell,
                const TCellExtreme &extreme, bool farthest, double bend, double tolerance)
{
    const double reach = cell.half * std::sqrt(2.0);
    const double bound = farthest ? std::max(0.0, extreme.distance - 2 * reach - tolerance)
                                  : extreme.distance + 2 * reach + tolerance;
    const double bound_squared = bound * bound;
    auto kept = std::make_shared<std::vector<int>>();
    for (size_t k = 0; k < list.size(); ++k) {
        if (k != extreme.place &&
            (farthest ? squared[k] < bound_squared : squared[k] > bound_squared))
            continue;
        const double d = std::sqrt(squared[k]);
        const Eigen::Vector2d offset = points[list[k]] - cell.centre;
        const Eigen::Vector2d t =
            (d > 0 ? Eigen::Vector2d(offset / d) : Eigen::Vector2d::Zero()) - extreme.unit;
        const double turn = (std::abs(t.x()) + std::abs(t.y())) * cell.half;
        if (farthest) {
            const double gain = std::min(2 * reach, turn + Curvature_Allowance(d, reach));
            if (d - extreme.distance + gain >= -tolerance)
                kept->push_back(list[k]);
        } else {
            const double gain = std::min(2 * reach, turn + bend);
            if (d - extreme.distance - gain <= tolerance)
                kept->push_back(list[k]);
        }
    }
    return kept;
}

// Most cells a search may visit, and most candidate distances it may
// take, before it gives up as not closing: far more than data sets of a
// measured feature need (a million points take some 2e8), and a bound on the
// time of a search on points that do not hold the element at all.
constexpr long Centre_Cell_Limit = 4000000;

inline double Search_Work_Limit(size_t count)
{
    return 1e9 + 100.0 * static_cast<double>(count);
}
