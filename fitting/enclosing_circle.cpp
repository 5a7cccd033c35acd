#include "fitting/circle_search.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

struct TCircle
{
    Eigen::Vector2d centre;
    double radius;
    std::vector<int> support;
};

bool Outside(const TCircle &circle, const Eigen::Vector2d &p, double tolerance)
{
    return (p - circle.centre).norm() > circle.radius + tolerance;
}

TCircle Through(const std::vector<Eigen::Vector2d> &points, int a, int b)
{
    const Eigen::Vector2d centre = (points[a] + points[b]) / 2;
    return {centre, (points[a] - centre).norm(), {a, b}};
}

// The support of the circle that is its contacts at the optimum: two
// opposite points or three round the centre.
std::vector<int> Contacts(const std::vector<Eigen::Vector2d> &points, const TCircle &circle,
                          double tolerance)
{
    const std::vector<int> &s = circle.support;
    if (s.size() == 3) {
        if (Triangle_Holds(points[s[0]], points[s[1]], points[s[2]], circle.centre, tolerance))
            return s;
        for (int k = 0; k < 3; ++k) {
            const int a = s[k];
            const int b = s[(k + 1) % 3];
            if (((points[a] + points[b]) / 2 - circle.centre).norm() <= tolerance)
                return {a, b};
        }
    }
    return s;
}

} // namespace

TCircleSolution Enclosing_Circle(const std::vector<Eigen::Vector2d> &points,
                                 const std::vector<int> &hull, double tolerance)
{
    TCircleSolution solution;
    std::vector<int> order = hull;
    // A fixed seed: the same points always take the same path.
    std::mt19937 random(20260101);
    for (size_t i = order.size(); i > 1; --i)
        std::swap(order[i - 1], order[random() % i]);
    TCircle circle{points[order[0]], 0, {order[0]}};
    for (size_t i = 1; i < order.size(); ++i) {
        if (!Outside(circle, points[order[i]], tolerance))
            continue;
        circle = {points[order[i]], 0, {order[i]}};
        for (size_t j = 0; j < i; ++j) {
            if (!Outside(circle, points[order[j]], tolerance))
                continue;
            circle = Through(points, order[i], order[j]);
            for (size_t k = 0; k < j; ++k) {
                if (!Outside(circle, points[order[k]], tolerance))
                    continue;
                Eigen::Vector2d centre;
                if (!Circumcentre(points[order[i]], points[order[j]], points[order[k]], &centre)) {
                    solution.failure = "collinear points";
                    return solution;
                }
                circle = {
                    centre, (points[order[i]] - centre).norm(), {order[i], order[j], order[k]}};
            }
        }
        ++solution.cells;
    }
    solution.centre = circle.centre;
    solution.outer = Contacts(points, circle, tolerance);
    return solution;
}
