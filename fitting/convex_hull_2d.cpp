#include "fitting/convex_hull_2d.h"

#include <algorithm>

namespace {

// The hull without vertices within tolerance of the segment between their
// neighbours: a vertex a rounding away from another, or from the line of its
// neighbours, gives an edge whose direction is noise, which would misguide
// the rotating calipers and every bound taken along the hull's edges.
std::vector<int> Without_Slivers(const std::vector<Eigen::Vector2d> &points, std::vector<int> hull,
                                 double tolerance)
{
    for (bool changed = true; changed && hull.size() >= 3;) {
        changed = false;
        std::vector<int> kept;
        kept.reserve(hull.size());
        for (size_t k = 0; k < hull.size(); ++k) {
            const Eigen::Vector2d &before = points[kept.empty() ? hull.back() : kept.back()];
            const Eigen::Vector2d &vertex = points[hull[k]];
            // Round the end, the first vertex kept, not one dropped.
            const Eigen::Vector2d &after = points[k + 1 < hull.size() ? hull[k + 1]
                                                  : kept.empty()      ? hull[0]
                                                                      : kept.front()];
            if ((vertex - before).norm() <= tolerance ||
                Turn(before, vertex, after) <= tolerance * (after - before).norm()) {
                changed = true;
                continue;
            }
            kept.push_back(hull[k]);
        }
        hull = std::move(kept);
    }
    return hull;
}

} // namespace

std::vector<int> Convex_Hull_2D(const std::vector<Eigen::Vector2d> &points, double tolerance)
{
    const int count = static_cast<int>(points.size());
    // Points inside the quadrilateral of the four extremes in x + y and x - y
    // cannot be vertices: dropping them first spares most of the sort.
    int extreme[4] = {0, 0, 0, 0};
    for (int i = 0; i < count; ++i) {
        const Eigen::Vector2d &p = points[i];
        if (p.x() + p.y() < points[extreme[0]].x() + points[extreme[0]].y())
            extreme[0] = i;
        if (p.x() - p.y() > points[extreme[1]].x() - points[extreme[1]].y())
            extreme[1] = i;
        if (p.x() + p.y() > points[extreme[2]].x() + points[extreme[2]].y())
            extreme[2] = i;
        if (p.x() - p.y() < points[extreme[3]].x() - points[extreme[3]].y())
            extreme[3] = i;
    }
    std::vector<int> order;
    order.reserve(count);
    for (int i = 0; i < count; ++i) {
        bool inside = true;
        for (int k = 0; k < 4 && inside; ++k) {
            const Eigen::Vector2d &a = points[extreme[k]];
            const Eigen::Vector2d &b = points[extreme[(k + 1) % 4]];
            // Strictly inside by a margin far above rounding, or kept.
            const double scale = (b - a).cwiseAbs().sum() * (points[i] - a).cwiseAbs().sum();
            inside = Turn(a, b, points[i]) > 1e-12 * scale;
        }
        if (!inside)
            order.push_back(i);
    }
    // Sorted by their coordinates held beside the index: no indirection in
    // the comparisons.
    struct TKey
    {
        double x;
        double y;
        int index;
    };
    std::vector<TKey> keys(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        keys[k] = {points[order[k]].x(), points[order[k]].y(), order[k]};
    std::sort(keys.begin(), keys.end(),
              [](const TKey &a, const TKey &b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    keys.erase(std::unique(keys.begin(), keys.end(),
                           [](const TKey &a, const TKey &b) { return a.x == b.x && a.y == b.y; }),
               keys.end());
    order.resize(keys.size());
    for (size_t k = 0; k < keys.size(); ++k)
        order[k] = keys[k].index;
    keys = std::vector<TKey>();
    if (order.size() < 3)
        return order;
    std::vector<int> hull(2 * order.size());
    size_t k = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        while (k >= 2 && Turn(points[hull[k - 2]], points[hull[k - 1]], points[order[i]]) <= 0)
            --k;
        hull[k++] = order[i];
    }
    for (size_t i = order.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && Turn(points[hull[k - 2]], points[hull[k - 1]], points[order[i]]) <= 0)
            --k;
        hull[k++] = order[i];
    }
    hull.resize(k - 1);
    std::vector<int> clean = Without_Slivers(points, hull, tolerance);
    if (clean.size() >= 3)
        return clean;
    // Collinear within tolerance: the two ends, the first and the point
    // farthest from it.
    const int first = order.front();
    int end = order.back();
    for (int i : hull)
        if ((points[i] - points[first]).norm() > (points[end] - points[first]).norm())
            end = i;
    return {first, end};
}
