#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"
#include "fitting/surface_fit.h"
#include "fitting/surface_start.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double HALF_TURN = 3.14159265358979323846;

// A cone about the centroid: its axis through anchor, the axis point
// nearest the centroid (the origin here), its radius there, and its half
// angle: the radius grows by tan(half_angle) per unit along the axis. The
// signed distance of a point at height h along the axis and distance rho
// from it is (rho - radius) cos(half_angle) - h sin(half_angle). A step
// moves the axis across itself (2), turns it about the two directions across
// it through the anchor (2, as lengths: how far a point at turn_length
// moves), changes the radius (1) and the half angle (1, as the length it
// moves a point at turn_length): moving along the axis changes the radius
// at the anchor, turning about it nothing.
struct TConeModel
{
    static constexpr int Parameters = 6;
    struct TState
    {
        Eigen::Vector3d anchor;
        TAxisFrame frame;
        double radius = 0;
        double half_angle = 0;
        double cosine = 1; // of the half angle, computed once for all points
        double sine = 0;
    };
    using TRow = Eigen::Matrix<double, 1, Parameters + 1>;
    using TStep = Eigen::Matrix<double, Parameters, 1>;

    double turn_length = 1;

    // The anchor moved to the axis point nearest the origin, the radius
    // with it.
    static TState Make(const Eigen::Vector3d &point, const Eigen::Vector3d &axis, double radius,
                       double half_angle)
    {
        TState state;
        state.frame = Axis_Frame(axis);
        const double height = -point.dot(state.frame.axis);
        state.anchor = point + height * state.frame.axis;
        state.radius = radius + height * std::tan(half_angle);
        state.half_angle = half_angle;
        state.cosine = std::cos(half_angle);
        state.sine = std::sin(half_angle);
        return state;
    }

    double Residual(const TState &s, const Eigen::Vector3d &p) const
    {
        const Eigen::Vector3d v = p - s.anchor;
        const double height = v.dot(s.frame.axis);
        const double distance = (v - height * s.frame.axis).norm();
        return (distance - s.radius) * s.cosine - height * s.sine;
    }

    // As for the cylinder: a move by t acts as moving the point by -t, a turn
    // by w about the anchor as moving it by -w x (p - anchor); the residual's
    // gradient by the point is cos(half_angle) out - sin(half_angle) axis.
    void Row(const TState &s, const Eigen::Vector3d &p, TRow &row) const
    {
        const double c = s.cosine;
        const double sine = s.sine;
        const Eigen::Vector3d v = p - s.anchor;
        const double height = v.dot(s.frame.axis);
        const Eigen::Vector3d out = v - height * s.frame.axis;
        const double distance = out.norm();
        const Eigen::Vector3d unit =
            distance > 0 ? Eigen::Vector3d(out / distance) : Eigen::Vector3d::Zero();
        const Eigen::Vector3d gradient = c * unit - sine * s.frame.axis;
        const Eigen::Vector3d moment = v.cross(gradient);
        row(0) = -gradient.dot(s.frame.across_1);
        row(1) = -gradient.dot(s.frame.across_2);
        row(2) = -moment.dot(s.frame.across_1) / turn_length;
        row(3) = -moment.dot(s.frame.across_2) / turn_length;
        row(4) = -c;
        row(5) = (-(distance - s.radius) * sine - height * c) / turn_length;
        row(6) = (distance - s.radius) * c - height * sine;
    }

    TState Moved(const TState &s, const TStep &step) const
    {
        const Eigen::Matrix3d turn =
            Turn((s.frame.across_1 * step(2) + s.frame.across_2 * step(3)) / turn_length);
        return Make(s.anchor + s.frame.across_1 * step(0) + s.frame.across_2 * step(1),
                    turn * s.frame.axis, s.radius + step(4), s.half_angle + step(5) / turn_length);
    }

    bool Same(const TState &a, const TState &b) const
    {
        return a.anchor == b.anchor && a.frame.axis == b.frame.axis && a.radius == b.radius &&
               a.half_angle == b.half_angle;
    }

    double Scale(const TState &s) const
    {
        return s.anchor.norm() + std::abs(s.radius) + turn_length;
    }
};

// On a wide cone measured over a small patch no principal direction is
// near the axis: of axes spread over a half sphere, those whose algebraic
// starts lie closest to the points.
std::vector<Eigen::Vector3d> Likeliest_Axes(const TConeModel &model,
                                            const std::vector<Eigen::Vector3d> &points,
                                            std::size_t wanted)
{
    std::vector<std::pair<double, Eigen::Vector3d>> ranked;
    for (const Eigen::Vector3d &direction : Hemisphere_Directions(128)) {
        const TAxisFrame frame = Axis_Frame(direction);
        const TAxialStart axial = Axial_Start(points, frame, true);
        if (!axial.found) {
            continue;
        }
        const TConeModel::TState state =
            TConeModel::Make(axial.anchor, frame.axis, axial.radius, std::atan(axial.slope));
        double cost = 0;
        for (const Eigen::Vector3d &p : points) {
            const double residual = model.Residual(state, p);
            cost += residual * residual;
        }
        if (std::isfinite(cost)) {
            ranked.emplace_back(cost, frame.axis);
        }
    }
    const std::size_t kept = std::min(wanted, ranked.size());
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(kept),
                      ranked.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<Eigen::Vector3d> axes;
    for (std::size_t i = 0; i < kept; ++i) {
        axes.push_back(ranked[i].second);
    }
    return axes;
}

} // namespace

TFit Fit_Cone(const std::vector<TVector3> &points, const TFit *start)
{
    TFit fit;
    TPointSpread spread;
    fit.failure = Unfit_Reason(points, 6, "a cone", 3, spread);
    if (!fit.failure.empty())
        return fit;

    const TCentredPoints centred = Centred_Points(points, spread.centroid);
    const Eigen::Vector3d &origin = centred.origin;
    const std::vector<Eigen::Vector3d> &local = centred.local;
    TConeModel model;
    model.turn_length = centred.spread;

    // The axis along each of the points' principal directions (the least
    // spread for a wide cone, the most for a long narrow one) and along the
    // least-squares cylinder's axis, which a narrow cone all but is.
    std::vector<Eigen::Vector3d> axes = {spread.axes.col(0), spread.axes.col(1),
                                         spread.axes.col(2)};
    // The cylinder of an evenly spaced subsample is start enough.
    std::vector<TVector3> few;
    const std::size_t step = std::max<std::size_t>(1, points.size() / 4000);
    for (std::size_t i = 0; i < points.size(); i += step) {
        few.push_back(points[i]);
    }
    const TFit cylinder = Fit_Cylinder(few);
    if (cylinder.fitted) {
        axes.emplace_back(cylinder.direction.x, cylinder.direction.y, cylinder.direction.z);
    }
    std::vector<TConeModel::TState> starts;
    const std::vector<Eigen::Vector3d> sample = Evenly_Spaced(local, 4000);
    for (const Eigen::Vector3d &axis : Likeliest_Axes(model, Evenly_Spaced(local, 300), 2)) {
        axes.push_back(axis);
    }
    for (const Eigen::Vector3d &axis : axes) {
        const TAxisFrame frame = Axis_Frame(axis);
        const TAxialStart axial = Axial_Start(sample, frame, true);
        if (axial.found) {
            starts.push_back(
                TConeModel::Make(axial.anchor, frame.axis, axial.radius, std::atan(axial.slope)));
        }
    }
    if (cylinder.fitted) {
        starts.push_back(TConeModel::Make(
            Eigen::Vector3d(cylinder.position.x, cylinder.position.y, cylinder.position.z) - origin,
            axes.back(), cylinder.diameter / 2, 0));
    }
    if (start != nullptr && Usable_Start(*start)) {
        starts.push_back(TConeModel::Make(
            Eigen::Vector3d(start->position.x, start->position.y, start->position.z) - origin,
            Eigen::Vector3d(start->direction.x, start->direction.y, start->direction.z),
            start->diameter / 2, start->apex_angle / 2));
    }
    const TSurfaceResult<TConeModel> result =
        Fit_Surface(model, local, starts, start != nullptr && Usable_Start(*start));
    fit.iterations = result.iterations;
    if (!result.converged) {
        fit.failure = "no convergence";
        return fit;
    }
    // A half angle and that angle plus a half turn are the same cone (the
    // distance only changes sign); towards the wider end, it is positive.
    Eigen::Vector3d axis = result.state.frame.axis;
    double half_angle = std::remainder(result.state.half_angle, HALF_TURN);
    if (half_angle < 0) {
        axis = -axis;
        half_angle = -half_angle;
    }
    fit.fitted = true;
    // The axis point nearest the centroid, and the diameter there.
    const Eigen::Vector3d anchor = origin + result.state.anchor;
    const double along = axis.dot(spread.centroid - anchor);
    fit.position = To_Vector3(anchor + axis * along);
    fit.direction = To_Vector3(axis);
    fit.diameter = 2 * (result.state.radius + along * std::tan(half_angle));
    fit.apex_angle = 2 * half_angle;
    return fit;
}
