#include "fitting/least_squares_fit.h"

#include "fitting/levenberg_marquardt.h"
#include "fitting/point_spread.h"
#include "fitting/row_qr.h"

#include <Eigen/Geometry>
#include <Eigen/QR>

#include <cmath>

namespace {

// A step moves the circle (3), turns it about the two directions across its
// axis through the pivot, the centroid of the points (2, as lengths: how far
// a point at turn_length from the pivot moves), and bends it about the point
// nearest the pivot (1). Bending (a change of curvature, not of radius, with
// that point kept) follows the valley of a short arc, along which the radius
// and the centre change together, far out to the nearly straight.
// Turning about the points rather than the centre keeps the part of the
// circle near them where it is: on a short arc the circle's tilt about the
// arc is barely determined, and a turn about the centre, far away, would
// swing the centre on an arc that linear steps only follow in small bites.
constexpr int Parameters = 6;
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

TCircle Moved(const TCircle &circle, const TStep &step, const Eigen::Vector3d &pivot,
              double turn_length)
{
    // The curvature changes about the pivot's nearest point of the circle,
    // which stays; the step is the change of the rise at turn_length from it.
    const Eigen::Vector3d inwards = Inwards(circle, pivot);
    const Eigen::Vector3d near = circle.centre - circle.radius * inwards;
    const double curvature = 1 / circle.radius + 2 * step(5) / (turn_length * turn_length);
    const Eigen::Vector3d centre = near + inwards / curvature;
    const Eigen::Vector3d turn =
        (circle.across_1 * step(3) + circle.across_2 * step(4)) / turn_length;
    const double angle = turn.norm();
    const Eigen::Matrix3d rotation = angle > 0
                                         ? Eigen::AngleAxisd(angle, turn / angle).toRotationMatrix()
                                         : Eigen::Matrix3d::Identity();
    return Make_Circle(pivot + rotation * (centre - pivot) + step.head<3>(), rotation * circle.axis,
                       1 / std::abs(curvature));
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
    const Eigen::Vector3d inwards = Inwards(circle, pivot);
    double cost = 0;
    double change = 0;
    for (const Eigen::Vector3d &p : points) {
        const Eigen::Vector3d offset = p - circle.centre;
        const double height = offset.dot(circle.axis);
        const Eigen::Vector3d out = offset - height * circle.axis;
        const double distance = out.norm(); // from the axis
        const double radial = distance - circle.radius;

        // Moving the circle by t moves a residual as moving the point by -t;
        // turning it by w about the pivot, as moving the point by
        // -w x (p - pivot). The gradients of the residuals with respect to
        // the point are the unit vector out from the axis and the axis.
        const Eigen::Vector3d unit_out =
            distance > 0 ? Eigen::Vector3d(out / distance) : Eigen::Vector3d::Zero();
        const Eigen::Vector3d arm = p - pivot;
        const Eigen::Vector3d radial_moment = arm.cross(unit_out);
        const Eigen::Vector3d axial_moment = arm.cross(circle.axis);
        radial_row.head<3>() = -unit_out.transpose();
        radial_row(3) = -radial_moment.dot(circle.across_1) / turn_length;
        radial_row(4) = -radial_moment.dot(circle.across_2) / turn_length;
        // Curvature k about the near point q, centre q + w / k: the radial
        // residual changes by (1 + u . w) / k^2 per unit of k, and k by
        // 2 / turn_length^2 per unit of the step.
        radial_row(5) = (1 + unit_out.dot(inwards)) * circle.radius * circle.radius * 2 /
                        (turn_length * turn_length);
        radial_row(6) = radial;
        axial_row.head<3>() = -circle.axis.transpose();
        axial_row(3) = -axial_moment.dot(circle.across_1) / turn_length;
        axial_row(4) = -axial_moment.dot(circle.across_2) / turn_length;
        axial_row(5) = 0;
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

} // namespace

TFit Fit_Circle_Orthogonal(const std::vector<TVector3> &points)
{
    TFit fit = Fit_Circle(points);
    if (!fit.fitted)
        return fit;
    fit.fitted = false;
    fit.iterations = 0;

    // About the start's centre, which keeps the sums well conditioned.
    const Eigen::Vector3d origin(fit.position.x, fit.position.y, fit.position.z);
    std::vector<Eigen::Vector3d> local;
    local.reserve(points.size());
    for (const TVector3 &p : points) {
        local.push_back(Eigen::Vector3d(p.x, p.y, p.z) - origin);
    }
    Eigen::Vector3d pivot = Eigen::Vector3d::Zero();
    for (const Eigen::Vector3d &p : local) {
        pivot += p;
    }
    pivot /= static_cast<double>(local.size());
    double spread = 0;
    for (const Eigen::Vector3d &p : local) {
        spread += (p - pivot).squaredNorm();
    }
    const double turn_length = std::sqrt(spread / static_cast<double>(local.size()));
    TCircle circle = Make_Circle(Eigen::Vector3d::Zero(),
                                 Eigen::Vector3d(fit.direction.x, fit.direction.y, fit.direction.z),
                                 fit.diameter / 2);
    const TLevenbergResult<TCircle> result = Levenberg_Marquardt<Parameters>(
        circle, local.size(),
        [&](const TCircle &at, const TCircle &before) {
            return Evaluate(local, at, before, pivot, turn_length);
        },
        [&](const TCircle &at, const TStep &step) { return Moved(at, step, pivot, turn_length); },
        [](const TCircle &a, const TCircle &b) {
            return a.centre == b.centre && a.axis == b.axis && a.radius == b.radius;
        },
        [](const TCircle &at) {
            return std::sqrt(at.centre.squaredNorm() + at.radius * at.radius);
        });
    fit.iterations = result.iterations;
    if (!result.converged) {
        fit.failure = "no convergence";
        return fit;
    }
    circle = result.state;
    fit.fitted = true;
    fit.position = To_Vector3(origin + circle.centre);
    fit.direction = To_Vector3(Signed_Direction(circle.axis));
    fit.diameter = 2 * std::abs(circle.radius);
    return fit;
}
