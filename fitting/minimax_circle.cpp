#include "fitting/minimax_fit.h"

#include "fitting/circle_search.h"
#include "fitting/convex_hull_2d.h"
#include "fitting/minimax_conventions.h"
#include "fitting/plane_frame.h"
#include "fitting/point_spread.h"

#include <Eigen/Geometry>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {

const char *Circle_Shape(TCriterion criterion)
{
    switch (criterion) {
    case TCriterion::MINIMUM_ZONE:
        return "a circle's zone";
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        return "a circumscribed circle";
    default:
        return "an inscribed circle";
    }
}

// Whether the contacts are two opposite points or three round the centre.
bool Round_The_Centre(const std::vector<Eigen::Vector2d> &local, const std::vector<int> &contacts,
                      const Eigen::Vector2d &centre, double tolerance)
{
    if (contacts.size() == 2)
        return ((local[contacts[0]] + local[contacts[1]]) / 2 - centre).norm() <= tolerance;
    return contacts.size() == 3 && Triangle_Holds(local[contacts[0]], local[contacts[1]],
                                                  local[contacts[2]], centre, tolerance);
}

// Whether two outer and two inner contacts alternate round the centre.
bool Alternate(const std::vector<Eigen::Vector2d> &local, const std::vector<int> &outer,
               const std::vector<int> &inner, const Eigen::Vector2d &centre)
{
    if (outer.size() != 2 || inner.size() != 2 ||
        std::find_first_of(outer.begin(), outer.end(), inner.begin(), inner.end()) != outer.end())
        return false;
    std::pair<double, bool> around[4];
    for (int k = 0; k < 4; ++k) {
        const Eigen::Vector2d d = local[k < 2 ? outer[k] : inner[k - 2]] - centre;
        around[k] = {std::atan2(d.y(), d.x()), k < 2};
    }
    std::sort(around, around + 4);
    for (int k = 0; k < 3; ++k)
        if (around[k].second == around[k + 1].second)
            return false;
    return true;
}

} // namespace

std::string Minimax_Circle_Refusal(const std::vector<TVector3> &points, const TVector3 &plane_point,
                                   const TVector3 &plane_normal, TCriterion criterion,
                                   const TMinimaxFit &fit)
{
    if (criterion == TCriterion::LEAST_SQUARES)
        return "not a minimax criterion";
    const size_t least = static_cast<size_t>(Least_Minimax_Points(TFeatureType::CIRCLE, criterion));
    if (points.size() < least)
        return Too_Few(Circle_Shape(criterion), least);
    const TPlaneFrame frame = Plane_Frame(points, plane_point, plane_normal);
    if (!frame.failure.empty())
        return frame.failure;
    const double tolerance = frame.tolerance;
    std::string refusal = Direction_Refusal(fit.direction);
    if (!refusal.empty())
        return refusal;
    if (Eigen_Vector(fit.direction).cross(frame.normal).norm() > 1e-12)
        return "the axis is not the normal of the circle's plane";
    const Eigen::Vector3d position = Eigen_Vector(fit.position);
    if (!position.allFinite() || std::abs((position - frame.origin).dot(frame.normal)) > tolerance)
        return "the centre is not in the circle's plane";
    if (!std::isfinite(fit.form) || !std::isfinite(fit.diameter) || !(fit.form >= 0) ||
        !(fit.diameter > 0))
        return "the form or the diameter is not a length";
    const Eigen::Vector2d centre = frame.Local(position);
    double nearest = std::numeric_limits<double>::infinity();
    double farthest = 0;
    for (const Eigen::Vector2d &p : frame.local) {
        const double d = (p - centre).norm();
        nearest = std::min(nearest, d);
        farthest = std::max(farthest, d);
    }
    // The boundaries the criterion sets, and what every point must respect.
    double outer_radius = farthest;
    double inner_radius = nearest;
    if (criterion == TCriterion::MINIMUM_ZONE) {
        outer_radius = (fit.diameter + fit.form) / 2;
        inner_radius = (fit.diameter - fit.form) / 2;
    } else if (criterion == TCriterion::MINIMUM_CIRCUMSCRIBED) {
        outer_radius = fit.diameter / 2;
    } else {
        inner_radius = fit.diameter / 2;
    }
    if (farthest > outer_radius + tolerance)
        return "a point lies outside the circle by " + Millimetres(farthest - outer_radius);
    if (nearest < inner_radius - tolerance)
        return "a point lies inside the circle by " + Millimetres(inner_radius - nearest);
    if (criterion != TCriterion::MINIMUM_ZONE &&
        std::abs(fit.form - (farthest - nearest)) > 2 * tolerance)
        return "the form is not the range of the distances from the centre";
    for (const auto *side : {&fit.outer_contacts, &fit.inner_contacts}) {
        refusal = Contacts_Refusal(*side, points.size());
        if (!refusal.empty())
            return refusal;
        const double radius = side == &fit.outer_contacts ? outer_radius : inner_radius;
        for (int c : *side) {
            if (std::abs((frame.local[c] - centre).norm() - radius) > tolerance)
                return "contact " + std::to_string(c + 1) + " is not on its circle";
        }
    }
    switch (criterion) {
    case TCriterion::MINIMUM_ZONE:
        if (!Alternate(frame.local, fit.outer_contacts, fit.inner_contacts, centre))
            return "the contacts are not two outer and two inner alternating round the centre";
        break;
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        if (!fit.inner_contacts.empty() ||
            !Round_The_Centre(frame.local, fit.outer_contacts, centre, tolerance))
            return "the contacts are not two opposite points or three round the centre";
        break;
    default:
        if (!fit.outer_contacts.empty() || fit.inner_contacts.size() != 3 ||
            !Round_The_Centre(frame.local, fit.inner_contacts, centre, tolerance))
            return "the contacts are not three round the centre";
        break;
    }
    return {};
}

TMinimaxFit Fit_Minimax_Circle(const std::vector<TVector3> &points, const TVector3 &plane_point,
                               const TVector3 &plane_normal, TCriterion criterion)
{
    if (criterion == TCriterion::LEAST_SQUARES)
        return Refused("not a minimax criterion");
    const size_t least = static_cast<size_t>(Least_Minimax_Points(TFeatureType::CIRCLE, criterion));
    if (points.size() < least)
        return Refused(Too_Few(Circle_Shape(criterion), least));
    const TPlaneFrame frame = Plane_Frame(points, plane_point, plane_normal);
    if (!frame.failure.empty())
        return Refused(frame.failure);
    TCircleSolution solution;
    try {
        const std::vector<int> hull = Convex_Hull_2D(frame.local, frame.tolerance);
        if (hull.size() < 2)
            return Refused("coincident points");
        if (hull.size() < 3 && criterion != TCriterion::MINIMUM_CIRCUMSCRIBED)
            return Refused("collinear points");
        if (criterion == TCriterion::MINIMUM_ZONE)
            solution = Narrowest_Annulus(frame.local, hull, frame.tolerance);
        else if (criterion == TCriterion::MINIMUM_CIRCUMSCRIBED)
            solution = Enclosing_Circle(frame.local, hull, frame.tolerance);
        else
            solution = Largest_Empty_Circle(frame.local, hull, frame.tolerance);
    } catch (const std::bad_alloc &) {
        return Refused("out of memory");
    }
    if (!solution.failure.empty())
        return Refused(solution.failure);
    double nearest = std::numeric_limits<double>::infinity();
    double farthest = 0;
    for (const Eigen::Vector2d &p : frame.local) {
        const double d = (p - solution.centre).norm();
        nearest = std::min(nearest, d);
        farthest = std::max(farthest, d);
    }
    TMinimaxFit fit;
    fit.position = To_Vector3(frame.At(solution.centre));
    fit.direction = To_Vector3(Signed_Direction(frame.normal));
    fit.form = farthest - nearest;
    fit.outer_contacts = solution.outer;
    fit.inner_contacts = solution.inner;
    fit.iterations = solution.cells;
    // The radii the contacts fix, which the farthest and nearest distances
    // equal up to rounding.
    switch (criterion) {
    case TCriterion::MINIMUM_ZONE:
        fit.diameter = farthest + nearest;
        break;
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        fit.diameter = 2 * farthest;
        break;
    default:
        fit.diameter = 2 * nearest;
        break;
    }
    const std::string refusal =
        Minimax_Circle_Refusal(points, plane_point, plane_normal, criterion, fit);
    if (!refusal.empty())
        return Refused("not certified: " + refusal);
    fit.fitted = true;
    return fit;
}
