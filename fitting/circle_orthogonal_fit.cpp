#include "fitting/least_squares_fit.h"

#include "fitting/levenberg_marquardt.h"
#include "fitting/point_spread.h"
#include "fitting/row_qr.h"

#include <Eigen/Geometry>
#include <Eigen/QR>

#include <cmath>
#include <optional>

namespace {

// A step is taken in the frame of the circle's point q nearest the pivot
// (the centroid of the points): w the direction from q to the centre, n the
// axis, t = n x w the tangent. It moves the circle along w and n (2), turns
// it about w and n through q (2, as lengths: how far a point at turn_length
// from q moves) and bends it about q, keeping q and t (2): the curvature
// vector w / radius changes along w and n, by 2 / turn_length^2 per unit of
// the step (the change of the rise at turn_length from q). On a short arc
// the part of the circle near the points then stays where it is while the
// barely determined curvature and tilt change, and a nearly straight arc
// bends either way without passing through a turn of its plane; turning
// about the centre, far away, would swing it on an arc that linear steps
// only follow in small bites.
constexpr int Parameters = 6;

// On a short arc with much form the sum of squares is so flat along the
// barely determined curvature and tilt that the iteration, lowering it at
// every step, can need a few thousand steps to reach the minimum.
constexpr int Arc_Iterations = 5000;
using TStep = Eigen::Matrix<double, Parameters, 1>;

struct TCircle
{
    Eigen::Vector3d centre;
    Eigen::Vector3d axis;
    Eigen::Vector3d across_1; // unit, across the axis
    Eigen::Vector3d across_2; // axis x across_1
    double radius = 0;
};

TCircle Make_Circle(const Eigen::Vector3d &centre, const Eigen::Vector3d &axis, double radius)
{
    TCircle circle;
    circle.centre = centre;
    circle.axis = axis.normalized();
    Eigen::Index smallest = 0;
    circle.axis.cwiseAbs().minCoeff(&smallest);
    circle.across_1 = circle.axis.cross(Eigen::Vector3d::Unit(smallest)).normalized();
    circle.across_2 = circle.axis.cross(circle.across_1);
    circle.radius = radius;
    return circle;
}

// The direction from the pivot's nearest point of the circle to the centre.
Eigen::Vector3d Inwards(const TCircle &circle, const Eigen::Vector3d &pivot)
{
    const Eigen::Vector3d offset = pivot - circle.centre;
    const Eigen::Vector3d out = offset - offset.dot(circle.axis) * circle.axis;
    const double length = out.norm();
    return length > 0 ? Eigen::Vector3d(-out / length) : Eigen::Vector3d(-circle.across_1);
}

struct TNear
{
    Eigen::Vector3d point;   // q
    Eigen::Vector3d inwards; // w
    Eigen::Vector3d tangent; // t
};

TNear Near(const TCircle &circle, const Eigen::Vector3d &pivot)
{
    TNear near;
    near.inwards = Inwards(circle, pivot);
    near.point = circle.centre - circle.radius * near.inwards;
    near.tangent = circle.axis.cross(near.inwards);
    return near;
}

TCircle Moved(const TCircle &circle, const TStep &step, const Eigen::Vector3d &pivot,
              double turn_length)
{
    const TNear near = Near(circle, pivot);
    const double rise = 2 / (turn_length * turn_length);
    const Eigen::Vector3d bend =
        near.inwards * (1 / circle.radius + rise * step(4)) + circle.axis * (rise * step(5));
    const double curvature = bend.norm();
    const Eigen::Vector3d inwards = bend / curvature;
    const Eigen::Vector3d axis = inwards.cross(near.tangent);
    const Eigen::Vector3d centre = near.point + inwards / curvature;
    const Eigen::Vector3d turn = (near.inwards * step(2) + circle.axis * step(3)) / turn_length;
    const double angle = turn.norm();
    const Eigen::Matrix3d rotation = angle > 0
                                         ? Eigen::AngleAxisd(angle, turn / angle).toRotationMatrix()
                                         : Eigen::Matrix3d::Identity();
    return Make_Circle(near.point + rotation * (centre - near.point) + near.inwards * step(0) +
                           circle.axis * step(1),
                       rotation * axis, 1 / curvature);
}

// Every point has two residuals, radial (distance from the axis minus the
// radius) and axial (height over the circle's plane): their squares add up
// to the squared distance from the circle, and unlike that distance they
// are smooth where a point lies on the circle.
using TEvaluation = TLevenbergEvaluation<Parameters>;

// As in the circle and sphere fits, the change of the cost is summed from
// each residual's change, taken without cancellation, so that the iteration
// can tell better from worse down to the last digits.
TEvaluation Evaluate(const std::vector<Eigen::Vector3d> &points, const TCircle &circle,
                     const TCircle &before, const Eigen::Vector3d &pivot, double turn_length)
{
    TEvaluation evaluation;
    TRowQR<Parameters + 1> qr;
    TRowQR<Parameters + 1>::TRow radial_row;
    TRowQR<Parameters + 1>::TRow axial_row;
    const Eigen::Vector3d centre_step = circle.centre - before.centre;
    const Eigen::Vector3d axis_step = circle.axis - before.axis;
    const double radius_step = circle.radius - before.radius;
    const TNear near = Near(circle, pivot);
    double cost = 0;
    double change = 0;
    for (const Eigen::Vector3d &p : points) {
        const Eigen::Vector3d offset = p - circle.centre;
        const double height = offset.dot(circle.axis);
        const Eigen::Vector3d out = offset - height * circle.axis;
        const double distance = out.norm(); // from the axis
        const double radial = distance - circle.radius;

        // Moving the circle by s moves a residual as moving the point by -s;
        // turning it by a about q, as moving the point by -a x (p - q). The
        // gradients of the residuals with respect to the point are the unit
        // vector u out from the axis and the axis. Bending along w by dk
        // moves the centre to q + w / (k + dk): the radial residual changes
        // by (1 + u . w) / k^2 per unit of k; bending along n by db turns the
        // circle about the tangent through q by -db / k.
        const Eigen::Vector3d unit_out =
            distance > 0 ? Eigen::Vector3d(out / distance) : Eigen::Vector3d::Zero();
        const Eigen::Vector3d arm = p - near.point;
        const Eigen::Vector3d radial_moment = arm.cross(unit_out);
        const Eigen::Vector3d axial_moment = arm.cross(circle.axis);
        const double rise = 2 / (turn_length * turn_length);
        radial_row(0) = -unit_out.dot(near.inwards);
        radial_row(1) = -unit_out.dot(circle.axis);
        radial_row(2) = -radial_moment.dot(near.inwards) / turn_length;
        radial_row(3) = -radial_moment.dot(circle.axis) / turn_length;
        radial_row(4) = (1 + unit_out.dot(near.inwards)) * circle.radius * circle.radius * rise;
        radial_row(5) = radial_moment.dot(near.tangent) * circle.radius * rise;
        radial_row(6) = radial;
        axial_row(0) = 0;
        axial_row(1) = -1;
        axial_row(2) = -axial_moment.dot(near.inwards) / turn_length;
        axial_row(3) = -axial_moment.dot(circle.axis) / turn_length;
        axial_row(4) = 0;
        axial_row(5) = axial_moment.dot(near.tangent) * circle.radius * rise;
        axial_row(6) = height;
        qr.Add(radial_row);
        qr.Add(axial_row);
        cost += radial * radial + height * height;

        const Eigen::Vector3d offset_before = p - before.centre;
        const double height_before = offset_before.dot(before.axis);
        const double distance_before = (offset_before - height_before * before.axis).norm();
        const double height_step = offset_before.dot(axis_step) - centre_step.dot(circle.axis);
        // distance^2 = |offset|^2 - height^2, and offset - offset_before = -centre_step.
        const double square_step =
            -centre_step.dot(offset + offset_before) - height_step * (height + height_before);
        const double sum = distance + distance_before;
        const double radial_step = (sum > 0 ? square_step / sum : 0) - radius_step;
        const double radial_before = distance_before - before.radius;
        change += radial_step * (2 * radial_before + radial_step) +
                  height_step * (2 * height_before + height_step);
    }
    evaluation.R = qr.R();
    evaluation.cost = cost;
    evaluation.change = change;
    return evaluation;
}

// The circle of curvature at the middle of the parabolas through the points
// across their line: the answer of the problem linearised about that line.
// Where the arc is short and the form large, the plane-then-circle fit can
// lose its way towards the circle that curves to the other side, through an
// infinite radius its parameters cannot cross; this start has no such
// barrier, and the bending steps of the iteration move on through a straight
// arc either way. Empty where the parabolas do not bend at all.
std::optional<TCircle> Parabola_Start(const std::vector<Eigen::Vector3d> &local,
                                      const TPointSpread &spread)
{
    const Eigen::Vector3d along = spread.axes.col(0);
    Eigen::Matrix<double, Eigen::Dynamic, 3> powers(local.size(), 3);
    Eigen::Matrix<double, Eigen::Dynamic, 2> across(local.size(), 2);
    for (std::size_t i = 0; i < local.size(); ++i) {
        const double s = along.dot(local[i]);
        powers.row(Eigen::Index(i)) << 1, s, s * s;
        across.row(Eigen::Index(i)) << spread.axes.col(1).dot(local[i]),
            spread.axes.col(2).dot(local[i]);
    }
    const Eigen::Matrix<double, 3, 2> coefficients = powers.colPivHouseholderQr().solve(across);
    const Eigen::Matrix<double, 3, 2> frame = spread.axes.rightCols<2>();
    const Eigen::Vector3d point = frame * coefficients.row(0).transpose();
    const Eigen::Vector3d velocity = along + frame * coefficients.row(1).transpose();
    const Eigen::Vector3d acceleration = frame * (2 * coefficients.row(2).transpose());
    const Eigen::Vector3d tangent = velocity.normalized();
    const Eigen::Vector3d curvature =
        (acceleration - acceleration.dot(tangent) * tangent) / velocity.squaredNorm();
    const double bend = curvature.norm();
    if (!(bend > 0) || !std::isfinite(bend))
        return std::nullopt;
    return Make_Circle(point + curvature / (bend * bend), tangent.cross(curvature), 1 / bend);
}

} // namespace

TFit Fit_Circle_Orthogonal(const std::vector<TVector3> &points)
{
    TFit fit;
    TPointSpread spread;
    fit.failure = Unfit_Reason(points, 3, "a circle", 2, spread);
    if (!fit.failure.empty())
        return fit;
    const TFit plane_then_circle = Fit_Circle(points);

    // About the centroid of the points, which keeps the sums well conditioned.
    const Eigen::Vector3d origin = spread.centroid;
    std::vector<Eigen::Vector3d> local;
    local.reserve(points.size());
    double squares = 0;
    for (const TVector3 &p : points) {
        local.push_back(Eigen::Vector3d(p.x, p.y, p.z) - origin);
        squares += local.back().squaredNorm();
    }
    const Eigen::Vector3d pivot = Eigen::Vector3d::Zero();
    const double turn_length = std::sqrt(squares / static_cast<double>(local.size()));
    const auto refined = [&](const TCircle &start) {
        return Levenberg_Marquardt<Parameters>(
            start, local.size(),
            [&](const TCircle &at, const TCircle &before) {
                return Evaluate(local, at, before, pivot, turn_length);
            },
            [&](const TCircle &at, const TStep &step) {
                return Moved(at, step, pivot, turn_length);
            },
            [](const TCircle &a, const TCircle &b) {
                return a.centre == b.centre && a.axis == b.axis && a.radius == b.radius;
            },
            [](const TCircle &at) {
                return std::sqrt(at.centre.squaredNorm() + at.radius * at.radius);
            },
            Arc_Iterations);
    };

    // From the plane-then-circle fit first, which is the better start on
    // longer arcs; where that fails or does not lead to the minimum, from the
    // parabolas.
    TLevenbergResult<TCircle> result;
    if (plane_then_circle.fitted) {
        result = refined(Make_Circle(
            Eigen::Vector3d(plane_then_circle.position.x, plane_then_circle.position.y,
                            plane_then_circle.position.z) -
                origin,
            Eigen::Vector3d(plane_then_circle.direction.x, plane_then_circle.direction.y,
                            plane_then_circle.direction.z),
            plane_then_circle.diameter / 2));
    }
    fit.iterations = plane_then_circle.iterations + result.iterations;
    if (!result.converged) {
        const std::optional<TCircle> start = Parabola_Start(local, spread);
        if (!start) {
            fit.failure = "no circle bends through the points";
            return fit;
        }
        result = refined(*start);
        fit.iterations += result.iterations;
    }
    if (!result.converged) {
        fit.failure = "no convergence";
        return fit;
    }
    fit.failure.clear();
    fit.fitted = true;
    fit.position = To_Vector3(origin + result.state.centre);
    fit.direction = To_Vector3(Signed_Direction(result.state.axis));
    fit.diameter = 2 * std::abs(result.state.radius);
    return fit;
}
