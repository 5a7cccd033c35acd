#include "fitting/centre_cells.h"
#include "fitting/circle_search.h"
#include "fitting/convex_hull_2d.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {

// Whether p lies inside the counter-clockwise hull, up to tolerance.
bool Hull_Holds(const std::vector<Eigen::Vector2d> &points, const std::vector<int> &hull,
                const Eigen::Vector2d &p, double tolerance)
{
    for (size_t k = 0; k < hull.size(); ++k) {
        const Eigen::Vector2d &a = points[hull[k]];
        const Eigen::Vector2d &b = points[hull[(k + 1) % hull.size()]];
        if (Turn(a, b, p) < -tolerance * (b - a).norm())
            return false;
    }
    return true;
}

// Whether the square cell lies wholly outside the hull, beyond one edge.
bool Outside_Hull(const std::vector<Eigen::Vector2d> &points, const std::vector<int> &hull,
                  const TCentreCell &cell)
{
    for (size_t k = 0; k < hull.size(); ++k) {
        const Eigen::Vector2d &a = points[hull[k]];
        const Eigen::Vector2d &b = points[hull[(k + 1) % hull.size()]];
        bool beyond = true;
        for (int c = 0; c < 4 && beyond; ++c) {
            const Eigen::Vector2d corner =
                cell.centre +
                Eigen::Vector2d((c & 1) ? cell.half : -cell.half, (c & 2) ? cell.half : -cell.half);
            beyond = Turn(a, b, corner) < 0;
        }
        if (beyond)
            return true;
    }
    return false;
}

} // namespace

TCircleSolution Largest_Empty_Circle(const std::vector<Eigen::Vector2d> &points,
                                     const std::vector<int> &hull, double tolerance)
{
    TCircleSolution solution;
    if (hull.size() < 3) {
        solution.failure = "collinear points";
        return solution;
    }
    Eigen::Vector2d low = points[hull[0]];
    Eigen::Vector2d high = low;
    for (int i : hull) {
        low = low.cwiseMin(points[i]);
        high = high.cwiseMax(points[i]);
    }
    // The algebraic circle's centre, when inside the hull, starts the bound.
    double best = 0;
    Eigen::Vector2d best_centre = points[hull[0]];
    const Eigen::Vector2d start = Algebraic_Centre(points);
    if (Hull_Holds(points, hull, start, 0)) {
        best = Circle_Span(points, start).nearest;
        best_centre = start;
    }
    std::vector<TCentreCell> level;
    std::vector<TCentreCell> next;
    std::vector<double> squared;
    try {
        auto all = std::make_shared<std::vector<int>>(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            (*all)[i] = static_cast<int>(i);
        level.push_back({(low + high) / 2, (high - low).maxCoeff() / 2, nullptr, std::move(all)});
        long visited = 0;
        double work = 0;
        while (!level.empty()) {
            next.clear();
            for (const TCentreCell &cell : level) {
                work += static_cast<double>(cell.near->size());
                if (++visited > Centre_Cell_Limit || work > Search_Work_Limit(points.size())) {
                    solution.failure = "not certified: the search over the centre did not close";
                    return solution;
                }
                if (Outside_Hull(points, hull, cell))
                    continue;
                const double reach = cell.half * std::sqrt(2.0);
                Squared_Distances(points, *cell.near, cell.centre, squared);
                const TCellExtreme near_point =
                    Cell_Extreme(points, *cell.near, squared, cell.centre, false);
                const double nearest = near_point.distance;
                if (nearest > best && Hull_Holds(points, hull, cell.centre, 0)) {
                    best = nearest;
                    best_centre = cell.centre;
                }
                // Above: the nearest point's distance by its tangent and bend.
                const Eigen::Vector2d &u = near_point.unit;
                const double bend = Curvature_Allowance(nearest, reach);
                const double upper =
                    std::min(nearest + reach,
                             nearest + (std::abs(u.x()) + std::abs(u.y())) * cell.half + bend);
                if (upper <= best + tolerance)
                    continue;
                auto kept = Cell_Candidates(points, *cell.near, squared, cell, near_point, false,
                                            bend, tolerance);
                Split(cell, nullptr, std::move(kept), next);
            }
            std::swap(level, next);
        }
        solution.cells = static_cast<int>(visited);
    } catch (const std::bad_alloc &) {
        solution.failure = "out of memory";
        return solution;
    }

    // The contacts: three near points round the best centre whose
    // circumcircle is no smaller and holds no point.
    const TCircleSpan span = Circle_Span(points, best_centre);
    for (double margin = 16 * tolerance; margin <= 1e7 * tolerance; margin *= 8) {
        std::vector<std::pair<double, int>> near;
        for (size_t i = 0; i < points.size(); ++i) {
            const double d = (points[i] - best_centre).norm();
            if (d <= span.nearest + margin)
                near.push_back({d - span.nearest, static_cast<int>(i)});
        }
        std::sort(near.begin(), near.end());
        near.resize(std::min<size_t>(near.size(), 12));
        double chosen = -1;
        for (size_t a = 0; a < near.size(); ++a)
            for (size_t b = a + 1; b < near.size(); ++b)
                for (size_t c = b + 1; c < near.size(); ++c) {
                    const int i = near[a].second, j = near[b].second, k = near[c].second;
                    Eigen::Vector2d centre;
                    if (!Circumcentre(points[i], points[j], points[k], &centre) ||
                        !Triangle_Holds(points[i], points[j], points[k], centre, tolerance))
                        continue;
                    const double radius = (points[i] - centre).norm();
                    bool empty = true;
                    for (const auto &other : near)
                        empty =
                            empty && (points[other.second] - centre).norm() >= radius - tolerance;
                    if (empty && radius > chosen) {
                        chosen = radius;
                        solution.centre = centre;
                        solution.inner = {i, j, k};
                    }
                }
        if (chosen >= 0) {
            const TCircleSpan exact = Circle_Span(points, solution.centre);
            if (exact.nearest >= best - 4 * tolerance)
                return solution;
        }
    }
    solution.failure = "not certified: no three contacts round the centre fix the largest "
                       "inscribed circle (its centre may lie on the points' hull)";
    solution.inner.clear();
    return solution;
}
