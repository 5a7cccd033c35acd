#include "fitting/centre_cells.h"
#include "fitting/circle_search.h"
#include "fitting/convex_hull_2d.h"
#include "fitting/minimum_width_2d.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {

// Whether the four contacts alternate outer, inner round the centre.
bool Alternating(const std::vector<Eigen::Vector2d> &points, const Eigen::Vector2d &centre, int o1,
                 int o2, int i1, int i2)
{
    std::pair<double, bool> around[4];
    const int index[4] = {o1, o2, i1, i2};
    for (int k = 0; k < 4; ++k) {
        const Eigen::Vector2d d = points[index[k]] - centre;
        around[k] = {std::atan2(d.y(), d.x()), k < 2};
    }
    std::sort(around, around + 4);
    return around[0].second != around[1].second && around[1].second != around[2].second &&
           around[2].second != around[3].second;
}

} // namespace

TCircleSolution Narrowest_Annulus(const std::vector<Eigen::Vector2d> &points,
                                  const std::vector<int> &hull, double tolerance)
{
    TCircleSolution solution;
    if (hull.size() < 3) {
        solution.failure = "collinear points";
        return solution;
    }
    // Farthest points are hull vertices; nearest ones may be any point.
    const Eigen::Vector2d start = Algebraic_Centre(points);
    TCircleSpan span = Circle_Span(points, start, &hull);
    double best = span.farthest - span.nearest;
    Eigen::Vector2d best_centre = start;
    // A centre at rho or more from the centroid makes every zone no
    // narrower than the narrowest strip less the sagitta bound below; far
    // enough, that is wider than the best zone found, so a search square that
    // large holds the optimum.
    const double strip = Minimum_Width_2D(points, hull).width;
    double extent = 0;
    for (int i : hull)
        extent = std::max(extent, points[i].norm());
    // The half side of the square beyond which every zone is wider than
    // one of the given width, narrower than the strip.
    const auto enough = [strip, extent](double width) {
        double rho = 2 * extent;
        while ((rho + extent) * extent * extent / ((rho - extent) * (rho - extent)) >
               (strip - width) / 2)
            rho *= 2;
        return rho;
    };
    double rho = strip - best > 4 * tolerance ? enough(best) : 2 * extent;

    std::vector<TCentreCell> level;
    std::vector<TCentreCell> next;
    std::vector<double> far_squared;
    std::vector<double> near_squared;
    // A search of the square; where its zone leaves the square too small to
    // hold every better centre, a search of the larger square it needs.
    for (int attempt = 0;; ++attempt) {
        try {
            auto all = std::make_shared<std::vector<int>>(points.size());
            for (size_t i = 0; i < points.size(); ++i)
                (*all)[i] = static_cast<int>(i);
            level.push_back({Eigen::Vector2d::Zero(), rho,
                             std::make_shared<const std::vector<int>>(hull), std::move(all)});
            long visited = 0;
            double work = 0;
            while (!level.empty()) {
                next.clear();
                for (const TCentreCell &cell : level) {
                    work += static_cast<double>(cell.far->size() + cell.near->size());
                    if (++visited > Centre_Cell_Limit || work > Search_Work_Limit(points.size())) {
                        solution.failure =
                            "not certified: the search over the centre did not close";
                        return solution;
                    }
                    const double reach = cell.half * std::sqrt(2.0);
                    Squared_Distances(points, *cell.far, cell.centre, far_squared);
                    Squared_Distances(points, *cell.near, cell.centre, near_squared);
                    const TCellExtreme far_point =
                        Cell_Extreme(points, *cell.far, far_squared, cell.centre, true);
                    const TCellExtreme near_point =
                        Cell_Extreme(points, *cell.near, near_squared, cell.centre, false);
                    const double width = far_point.distance - near_point.distance;
                    if (width < best) {
                        best = width;
                        best_centre = cell.centre;
                    }
                    // Below: the farthest point's distance by its tangent, the
                    // nearest's above by its tangent and bend.
                    const Eigen::Vector2d turn = far_point.unit - near_point.unit;
                    const double near_bend = Curvature_Allowance(near_point.distance, reach);
                    const double lower = std::max(
                        width - 2 * reach,
                        width - (std::abs(turn.x()) + std::abs(turn.y())) * cell.half - near_bend);
                    if (lower >= best - tolerance)
                        continue;
                    auto far = Cell_Candidates(points, *cell.far, far_squared, cell, far_point,
                                               true, 0, tolerance);
                    auto near = Cell_Candidates(points, *cell.near, near_squared, cell, near_point,
                                                false, near_bend, tolerance);
                    Split(cell, std::move(far), std::move(near), next);
                }
                std::swap(level, next);
            }
            solution.cells += static_cast<int>(visited);
        } catch (const std::bad_alloc &) {
            solution.failure = "out of memory";
            return solution;
        }
        // No zone narrower than the strip yet: the centre, if any, lies
        // farther out.
        const bool straighter = !(strip - best > 4 * tolerance);
        const double needed = straighter ? 16 * rho : enough(best);
        if (!straighter && needed <= rho)
            break;
        if (attempt == 12) {
            solution.failure =
                straighter ? "the points lie too nearly on a line for a zone's centre to be bounded"
                           : "not certified: no square of centres holds every better one";
            return solution;
        }
        rho = needed;
    }

    // The contacts: near the boundaries at the best centre, widening the
    // margin until four of them fix a centre that is no worse.
    span = Circle_Span(points, best_centre, &hull);
    for (double margin = 16 * tolerance; margin <= 1e7 * tolerance; margin *= 8) {
        std::vector<std::pair<double, int>> outer;
        std::vector<std::pair<double, int>> inner;
        for (int i : hull) {
            const double d = (points[i] - best_centre).norm();
            if (d >= span.farthest - margin)
                outer.push_back({span.farthest - d, i});
        }
        for (size_t i = 0; i < points.size(); ++i) {
            const double d = (points[i] - best_centre).norm();
            if (d <= span.nearest + margin)
                inner.push_back({d - span.nearest, static_cast<int>(i)});
        }
        std::sort(outer.begin(), outer.end());
        std::sort(inner.begin(), inner.end());
        outer.resize(std::min<size_t>(outer.size(), 10));
        inner.resize(std::min<size_t>(inner.size(), 10));
        std::vector<int> local;
        for (const auto &c : outer)
            local.push_back(c.second);
        for (const auto &c : inner)
            local.push_back(c.second);
        double chosen = std::numeric_limits<double>::infinity();
        for (size_t a = 0; a < outer.size(); ++a)
            for (size_t b = a + 1; b < outer.size(); ++b)
                for (size_t c = 0; c < inner.size(); ++c)
                    for (size_t d = c + 1; d < inner.size(); ++d) {
                        const int o1 = outer[a].second, o2 = outer[b].second;
                        const int i1 = inner[c].second, i2 = inner[d].second;
                        // A point on both circles (a zone of no width) is
                        // the contact of one side only.
                        if (i1 == o1 || i1 == o2 || i2 == o1 || i2 == o2)
                            continue;
                        // The centre is on both perpendicular bisectors.
                        Eigen::Matrix2d m;
                        m.row(0) = (points[o2] - points[o1]).transpose();
                        m.row(1) = (points[i2] - points[i1]).transpose();
                        const Eigen::Vector2d r(
                            (points[o2].squaredNorm() - points[o1].squaredNorm()) / 2,
                            (points[i2].squaredNorm() - points[i1].squaredNorm()) / 2);
                        const double det = m.determinant();
                        if (det == 0)
                            continue;
                        const Eigen::Vector2d centre = m.inverse() * r;
                        if (!centre.allFinite() || !Alternating(points, centre, o1, o2, i1, i2))
                            continue;
                        const double outer_radius = (points[o1] - centre).norm();
                        const double inner_radius = (points[i1] - centre).norm();
                        bool held = true;
                        for (int k : local) {
                            const double e = (points[k] - centre).norm();
                            held = held && e <= outer_radius + tolerance &&
                                   e >= inner_radius - tolerance;
                        }
                        if (held && outer_radius - inner_radius < chosen) {
                            chosen = outer_radius - inner_radius;
                            solution.centre = centre;
                            solution.outer = {o1, o2};
                            solution.inner = {i1, i2};
                        }
                    }
        if (chosen < std::numeric_limits<double>::infinity()) {
            const TCircleSpan exact = Circle_Span(points, solution.centre, &hull);
            if (exact.farthest - exact.nearest <= best + 4 * tolerance)
                return solution;
        }
    }
    solution.failure = "not certified: no four alternating contacts fix the narrowest zone";
    solution.outer.clear();
    solution.inner.clear();
    return solution;
}
