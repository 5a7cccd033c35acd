#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"
#include "fitting/surface_fit.h"
#include "fitting/surface_start.h"

#include <cmath>

namespace {

// A cylinder about the centroid: its axis through anchor, the axis point
// nearest the centroid (the origin here). A step moves the axis across
// itself (2), turns it about the two directions across it through the
// anchor (2, as lengths: how far a point at turn_length moves) and changes
// the radius (1); moving along the axis or turning about it would change
// nothing.
struct TCylinderModel
{
    static constexpr int Parameters = 5;
    struct TState
    {
        Eigen::Vector3d anchor;
        TAxisFrame frame;
        double radius = 0;
    };
    using TRow = Eigen::Matrix<double, 1, Parameters + 1>;
    using TStep = Eigen::Matrix<double, Parameters, 1>;

    double turn_length = 1;

    static TState Make(const Eigen::Vector3d &point, const Eigen::Vector3d &axis, double radius)
    {
        TState state;
        state.frame = Axis_Frame(axis);
        state.anchor = point - point.dot(state.frame.axis) * state.frame.axis;
        state.radius = radius;
        return state;
    }

    double Residual(const TState &s, const Eigen::Vector3d &p) const
    {
        const Eigen::Vector3d v = p - s.anchor;
        return (v - v.dot(s.frame.axis) * s.frame.axis).norm() - s.radius;
    }

    // Moving the cylinder by t moves a residual as moving the point by -t;
    // turning it by w about the anchor, as moving the point by
    // -w x (p - anchor). The residual's gradient by the point is the unit
    // vector out from the axis.
    void Row(const TState &s, const Eigen::Vector3d &p, TRow &row) const
    {
        const Eigen::Vector3d v = p - s.anchor;
        const Eigen::Vector3d out = v - v.dot(s.frame.axis) * s.frame.axis;
        const double distance = out.norm();
        const Eigen::Vector3d unit =
            distance > 0 ? Eigen::Vector3d(out / distance) : Eigen::Vector3d::Zero();
        const Eigen::Vector3d moment = v.cross(unit);
        row(0) = -unit.dot(s.frame.across_1);
        row(1) = -unit.dot(s.frame.across_2);
        row(2) = -moment.dot(s.frame.across_1) / turn_length;
        row(3) = -moment.dot(s.frame.across_2) / turn_length;
        row(4) = -1;
        row(5) = distance - s.radius;
    }

    TState Moved(const TState &s, const TStep &step) const
    {
        const Eigen::Matrix3d turn =
            Turn((s.frame.across_1 * step(2) + s.frame.across_2 * step(3)) / turn_length);
        return Make(s.anchor + s.frame.across_1 * step(0) + s.frame.across_2 * step(1),
                    turn * s.frame.axis, s.radius + step(4));
    }

    bool Same(const TState &a, const TState &b) const
    {
        return a.anchor == b.anchor && a.frame.axis == b.frame.axis && a.radius == b.radius;
    }

    double Scale(const TState &s) const
    {
        return s.anchor.norm() + std::abs(s.radius) + turn_length;
    }
};

} // namespace

TFit Fit_Cylinder(const std::vector<TVector3> &points, const TFit *start)
{
    TFit fit;
    TPointSpread spread;
    fit.failure = Unfit_Reason(points, 5, "a cylinder", 3, spread);
    if (!fit.failure.empty())
        return fit;

    const TCentredPoints centred = Centred_Points(points, spread.centroid);
    const Eigen::Vector3d &origin = centred.origin;
    const std::vector<Eigen::Vector3d> &local = centred.local;
    TCylinderModel model;
    model.turn_length = centred.spread;

    // The axis along each of the points' principal directions: the most
    // spread for a long cylinder, the least for a short one, either of the
    // others for a part of the way round.
    std::vector<TCylinderModel::TState> starts;
    const std::vector<Eigen::Vector3d> sample = Evenly_Spaced(local, 4000);
    for (int i = 0; i < 3; ++i) {
        const TAxisFrame frame = Axis_Frame(spread.axes.col(i));
        const TAxialStart axial = Axial_Start(sample, frame, false);
        if (axial.found) {
            starts.push_back(TCylinderModel::Make(axial.anchor, frame.axis, axial.radius));
        }
    }
    if (start != nullptr && Usable_Start(*start)) {
        starts.push_back(TCylinderModel::Make(
            Eigen::Vector3d(start->position.x, start->position.y, start->position.z) - origin,
            Eigen::Vector3d(start->direction.x, start->direction.y, start->direction.z),
            start->diameter / 2));
    }
    const TSurfaceResult<TCylinderModel> result =
        Fit_Surface(model, local, starts, start != nullptr && Usable_Start(*start));
    fit.iterations = result.iterations;
    if (!result.converged) {
        fit.failure = "no convergence";
        return fit;
    }
    fit.fitted = true;
    // The axis point nearest the centroid.
    const Eigen::Vector3d &axis = result.state.frame.axis;
    const Eigen::Vector3d anchor = origin + result.state.anchor;
    fit.position = To_Vector3(anchor + axis * axis.dot(spread.centroid - anchor));
    fit.direction = To_Vector3(Signed_Direction(result.state.frame.axis));
    fit.diameter = 2 * std::abs(result.state.radius);
    return fit;
}
