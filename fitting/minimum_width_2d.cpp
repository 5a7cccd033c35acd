#include "fitting/minimum_width_2d.h"

#include "fitting/convex_hull_2d.h"

#include <cassert>
#include <limits>

TStrip Minimum_Width_2D(const std::vector<Eigen::Vector2d> &points, const std::vector<int> &hull)
{
    const size_t n = hull.size();
    assert(n >= 3);
    TStrip best;
    best.width = std::numeric_limits<double>::infinity();
    size_t far = 1;
    for (size_t i = 0; i < n; ++i) {
        const Eigen::Vector2d &a = points[hull[i]];
        const Eigen::Vector2d &b = points[hull[(i + 1) % n]];
        // The vertex farthest from the edge's line moves on as the edge does.
        while (Turn(a, b, points[hull[(far + 1) % n]]) > Turn(a, b, points[hull[far]]))
            far = (far + 1) % n;
        const double width = Turn(a, b, points[hull[far]]) / (b - a).norm();
        if (width < best.width) {
            best.width = width;
            best.first = hull[i];
            best.second = hull[(i + 1) % n];
            best.opposite = hull[far];
        }
    }
    return best;
}
