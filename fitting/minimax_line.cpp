#include "fitting/minimax_fit.h"

#include "fitting/convex_hull_2d.h"
#include "fitting/minimax_conventions.h"
#include "fitting/minimum_width_2d.h"
#include "fitting/plane_frame.h"
#include "fitting/point_spread.h"

#include <Eigen/Geometry>

#include <cmath>
#include <limits>
#include <new>

namespace {

// The line's direction and outer side in the frame of its plane.
struct TLineAxes
{
    Eigen::Vector2d along;
    Eigen::Vector2d outer;
};

TLineAxes Line_Axes(const TPlaneFrame &frame, const Eigen::Vector3d &direction)
{
    const Eigen::Vector3d side = frame.normal.cross(direction);
    return {Eigen::Vector2d(direction.dot(frame.u), direction.dot(frame.v)).normalized(),
            Eigen::Vector2d(side.dot(frame.u), side.dot(frame.v)).normalized()};
}

// Whether the foot of the single contact lies between the two of the pair.
bool Between(const std::vector<Eigen::Vector2d> &local, const Eigen::Vector2d &along,
             const std::vector<int> &pair, int single, double tolerance)
{
    const double a = along.dot(local[pair[0]]);
    const double b = along.dot(local[pair[1]]);
    const double t = along.dot(local[single]);
    return std::abs(a - b) > tolerance && t >= std::min(a, b) - tolerance &&
           t <= std::max(a, b) + tolerance;
}

} // namespace

std::string Minimax_Line_Refusal(const std::vector<TVector3> &points, const TVector3 &plane_point,
                                 const TVector3 &plane_normal, const TMinimaxFit &fit)
{
    constexpr size_t least = Least_Minimax_Points(TFeatureType::LINE, TCriterion::MINIMUM_ZONE);
    if (points.size() < least)
        return Too_Few("a line's zone", least);
    const TPlaneFrame frame = Plane_Frame(points, plane_point, plane_normal);
    if (!frame.failure.empty())
        return frame.failure;
    const double tolerance = frame.tolerance;
    std::string refusal = Direction_Refusal(fit.direction);
    if (!refusal.empty())
        return refusal;
    const Eigen::Vector3d direction = Eigen_Vector(fit.direction);
    if (std::abs(direction.dot(frame.normal)) > 1e-12)
        return "the direction is not in the line's plane";
    const Eigen::Vector3d position = Eigen_Vector(fit.position);
    if (!position.allFinite() || std::abs((position - frame.origin).dot(frame.normal)) > tolerance)
        return "the position is not in the line's plane";
    if (!(fit.form >= 0) || !std::isfinite(fit.form))
        return "the form is not a length";
    const TLineAxes axes = Line_Axes(frame, direction);
    const Eigen::Vector2d middle = frame.Local(position);
    if (std::abs(axes.along.dot(middle)) > tolerance)
        return "the position is not the line's point nearest the centroid";
    const double half = fit.form / 2;
    for (size_t i = 0; i < frame.local.size(); ++i) {
        const double offset = axes.outer.dot(frame.local[i] - middle);
        if (std::abs(offset) > half + tolerance)
            return "point " + std::to_string(i + 1) + " lies outside the zone by " +
                   Millimetres(std::abs(offset) - half);
    }
    for (const auto *side : {&fit.outer_contacts, &fit.inner_contacts}) {
        refusal = Contacts_Refusal(*side, points.size());
        if (!refusal.empty())
            return refusal;
        const double sign = side == &fit.outer_contacts ? 1 : -1;
        for (int c : *side) {
            if (sign * axes.outer.dot(frame.local[c] - middle) < half - tolerance)
                return "contact " + std::to_string(c + 1) + " is not on its side of the zone";
        }
    }
    const std::vector<int> &outer = fit.outer_contacts;
    const std::vector<int> &inner = fit.inner_contacts;
    const bool held = (outer.size() == 2 && inner.size() == 1 &&
                       Between(frame.local, axes.along, outer, inner[0], tolerance)) ||
                      (outer.size() == 1 && inner.size() == 2 &&
                       Between(frame.local, axes.along, inner, outer[0], tolerance));
    if (!held)
        return "the contacts are not two on one side and one between them on the other";
    return {};
}

TMinimaxFit Fit_Minimax_Line(const std::vector<TVector3> &points, const TVector3 &plane_point,
                             const TVector3 &plane_normal)
{
    constexpr size_t least = Least_Minimax_Points(TFeatureType::LINE, TCriterion::MINIMUM_ZONE);
    if (points.size() < least)
        return Refused(Too_Few("a line's zone", least));
    const TPlaneFrame frame = Plane_Frame(points, plane_point, plane_normal);
    if (!frame.failure.empty())
        return Refused(frame.failure);
    std::vector<int> hull;
    try {
        hull = Convex_Hull_2D(frame.local, frame.tolerance);
    } catch (const std::bad_alloc &) {
        return Refused("out of memory");
    }
    if (hull.size() < 2)
        return Refused("coincident points");
    int first = hull[0];
    int second = hull[1];
    int opposite = -1;
    if (hull.size() == 2) {
        // Collinear projections: a zone of no width, the third contact any
        // point strictly between the two ends.
        const Eigen::Vector2d along = (frame.local[second] - frame.local[first]).normalized();
        const double end = along.dot(frame.local[second] - frame.local[first]);
        for (size_t i = 0; i < frame.local.size() && opposite < 0; ++i) {
            const double t = along.dot(frame.local[i] - frame.local[first]);
            if (t > frame.tolerance && t < end - frame.tolerance)
                opposite = static_cast<int>(i);
        }
        if (opposite < 0)
            return Refused("the points project onto two places only");
    } else {
        const TStrip strip = Minimum_Width_2D(frame.local, hull);
        first = strip.first;
        second = strip.second;
        opposite = strip.opposite;
    }
    // The edge's side is the low one: the hull runs counter-clockwise, so
    // the rest of the points lie to the left of the edge.
    const Eigen::Vector2d along = (frame.local[second] - frame.local[first]).normalized();
    const Eigen::Vector2d left(-along.y(), along.x());
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const Eigen::Vector2d &p : frame.local) {
        const double offset = left.dot(p - frame.local[first]);
        low = std::min(low, offset);
        high = std::max(high, offset);
    }
    const Eigen::Vector2d middle = frame.local[first] + left * ((low + high) / 2);
    Eigen::Vector3d direction = along.x() * frame.u + along.y() * frame.v;
    direction = Signed_Direction(direction);
    TMinimaxFit fit;
    fit.direction = To_Vector3(direction);
    fit.position = To_Vector3(frame.At(middle - along * along.dot(middle)));
    fit.form = high - low;
    // The contacts: the edge and the vertex opposite, unless an edge
    // parallel to it holds the vertex's place (two and two), when a vertex of
    // the edge may be the one between the far side's two.
    std::vector<int> low_side{first, second};
    std::vector<int> high_side{opposite};
    if (hull.size() > 2) {
        std::vector<int> far;
        for (int h : hull)
            if (left.dot(frame.local[h] - frame.local[first]) >= high - frame.tolerance)
                far.push_back(h);
        for (int f : far)
            if (Between(frame.local, along, low_side, f, frame.tolerance))
                high_side = {f};
        if (!Between(frame.local, along, low_side, high_side[0], frame.tolerance) &&
            far.size() >= 2) {
            for (int e : {first, second})
                if (Between(frame.local, along, {far[0], far[1]}, e, frame.tolerance)) {
                    high_side = {far[0], far[1]};
                    low_side = {e};
                }
        }
    }
    const Eigen::Vector3d left3 = left.x() * frame.u + left.y() * frame.v;
    const bool left_outer = frame.normal.cross(direction).dot(left3) > 0;
    fit.outer_contacts = left_outer ? high_side : low_side;
    fit.inner_contacts = left_outer ? low_side : high_side;
    const std::string refusal = Minimax_Line_Refusal(points, plane_point, plane_normal, fit);
    if (!refusal.empty())
        return Refused("not certified: " + refusal);
    fit.fitted = true;
    return fit;
}
