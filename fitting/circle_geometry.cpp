#include "fitting/circle_search.h"

#include "fitting/convex_hull_2d.h"

#include <Eigen/Dense>

#include <cmath>
#include <limits>

TCircleSpan Circle_Span(const std::vector<Eigen::Vector2d> &points, const Eigen::Vector2d &centre,
                        const std::vector<int> *far_candidates)
{
    TCircleSpan span;
    span.nearest = std::numeric_limits<double>::infinity();
    span.farthest = -1;
    for (size_t i = 0; i < points.size(); ++i) {
        const double d = (points[i] - centre).norm();
        if (d < span.nearest) {
            span.nearest = d;
            span.near_point = static_cast<int>(i);
        }
        if (!far_candidates && d > span.farthest) {
            span.farthest = d;
            span.far_point = static_cast<int>(i);
        }
    }
    if (far_candidates) {
        for (int i : *far_candidates) {
            const double d = (points[i] - centre).norm();
            if (d > span.farthest) {
                span.farthest = d;
                span.far_point = i;
            }
        }
    }
    return span;
}

bool Circumcentre(const Eigen::Vector2d &a, const Eigen::Vector2d &b, const Eigen::Vector2d &c,
                  Eigen::Vector2d *centre)
{
    const Eigen::Vector2d p = b - a;
    const Eigen::Vector2d q = c - a;
    const double d = 2 * (p.x() * q.y() - p.y() * q.x());
    if (d == 0)
        return false;
    *centre = a + Eigen::Vector2d(q.y() * p.squaredNorm() - p.y() * q.squaredNorm(),
                                  p.x() * q.squaredNorm() - q.x() * p.squaredNorm()) /
                      d;
    return centre->allFinite();
}

bool Triangle_Holds(const Eigen::Vector2d &a, const Eigen::Vector2d &b, const Eigen::Vector2d &c,
                    const Eigen::Vector2d &p, double tolerance)
{
    const double orientation = Turn(a, b, c) >= 0 ? 1 : -1;
    const Eigen::Vector2d *corner[3] = {&a, &b, &c};
    for (int k = 0; k < 3; ++k) {
        const Eigen::Vector2d &u = *corner[k];
        const Eigen::Vector2d &v = *corner[(k + 1) % 3];
        // The signed distance of p from the edge's line.
        if (orientation * Turn(u, v, p) < -tolerance * (v - u).norm())
            return false;
    }
    return true;
}

Eigen::Vector2d Algebraic_Centre(const std::vector<Eigen::Vector2d> &points)
{
    Eigen::Matrix3d normal = Eigen::Matrix3d::Zero();
    Eigen::Vector3d right = Eigen::Vector3d::Zero();
    for (const Eigen::Vector2d &p : points) {
        const Eigen::Vector3d row(p.x(), p.y(), 1);
        normal += row * row.transpose();
        right -= row * p.squaredNorm();
    }
    const Eigen::Vector3d solution = normal.ldlt().solve(right);
    const Eigen::Vector2d centre(-solution(0) / 2, -solution(1) / 2);
    return centre.allFinite() ? centre : Eigen::Vector2d::Zero();
}
