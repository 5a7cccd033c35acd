#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"
#include "fitting/row_qr.h"

#include <Eigen/Geometry>
#include <Eigen/QR>

#include <cmath>
#include <limits>

namespace {

constexpr int Maximum_Iterations = 100;

// A step moves the centre (3), turns the axis towards its two cross
// directions (2, as lengths: how far a point at turn_length from the centre
// moves) and changes the radius (1).
constexpr int Parameters = 6;
using TStep = Eigen::Matrix<double, Parameters, 1>;
using TFactor = Eigen::Matrix<double, Parameters + 1, Parameters + 1>;

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

TCircle Moved(const TCircle &circle, const TStep &step, double turn_length)
{
    const Eigen::Vector3d turn =
        (circle.across_1 * step(3) + circle.across_2 * step(4)) / turn_length;
    return Make_Circle(circle.centre + step.head<3>(), circle.axis + turn, circle.radius + step(5));
}

// Every point has two residuals, radial (distance from the axis minus the
// radius) and axial (height over the circle's plane): their squares add up
// to the squared distance from the circle, and unlike that distance they
// are smooth where a point lies on the circle.
struct TEvaluation
{
    TFactor R; // of the Jacobian with the residuals as one more column
    double cost = 0;
    double change = 0; // of the cost, from the circle before
};

// As in the circle and sphere fits, the change of the cost is summed from
// each residual's change, taken without cancellation, so that the iteration
// can tell better from worse down to the last digits.
TEvaluation Evaluate(const std::vector<Eigen::Vector3d> &points, const TCircle &circle,
                     const TCircle &before, double turn_length)
{
    TEvaluation evaluation;
    TRowQR<Parameters + 1> qr;
    TRowQR<Parameters + 1>::TRow radial_row;
    TRowQR<Parameters + 1>::TRow axial_row;
    const Eigen::Vector3d centre_step = circle.centre - before.centre;
    const Eigen::Vector3d axis_step = circle.axis - before.axis;
    const double radius_step = circle.radius - before.radius;
    double cost = 0;
    double change = 0;
    for (const Eigen::Vector3d &p : points) {
        const Eigen::Vector3d offset = p - circle.centre;
        const double height = offset.dot(circle.axis);
        const Eigen::Vector3d out = offset - height * circle.axis;
        const double distance = out.norm(); // from the axis
        const double radial = distance - circle.radius;

        // d height = -d centre . axis + offset . d axis; d distance =
        // -d centre . out / distance - height out . d axis / distance.
        const Eigen::Vector3d unit_out =
            distance > 0 ? Eigen::Vector3d(out / distance) : Eigen::Vector3d::Zero();
        radial_row.head<3>() = -unit_out.transpose();
        radial_row(3) = -height * unit_out.dot(circle.across_1) / turn_length;
        radial_row(4) = -height * unit_out.dot(circle.across_2) / turn_length;
        radial_row(5) = -1;
        radial_row(6) = radial;
        axial_row.head<3>() = -circle.axis.transpose();
        axial_row(3) = offset.dot(circle.across_1) / turn_length;
        axial_row(4) = offset.dot(circle.across_2) / turn_length;
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

// Minimises |J step + residuals|^2 + damping |D step|^2 with D the column
// norms of J (Marquardt's scaling), from the factor alone.
TStep Step(const TEvaluation &evaluation, double damping)
{
    const auto R = evaluation.R.topLeftCorner<Parameters, Parameters>();
    const auto z = evaluation.R.topRightCorner<Parameters, 1>();
    Eigen::Matrix<double, 2 * Parameters, Parameters> stacked;
    stacked.topRows<Parameters>() = R;
    stacked.bottomRows<Parameters>().setZero();
    stacked.bottomRows<Parameters>().diagonal() =
        std::sqrt(damping) * R.colwise().norm().transpose();
    Eigen::Matrix<double, 2 * Parameters, 1> right =
        Eigen::Matrix<double, 2 * Parameters, 1>::Zero();
    right.head<Parameters>() = -z;
    return stacked.colPivHouseholderQr().solve(right);
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
    const double turn_length = fit.diameter / 2;
    TCircle circle = Make_Circle(Eigen::Vector3d::Zero(),
                                 Eigen::Vector3d(fit.direction.x, fit.direction.y, fit.direction.z),
                                 turn_length);
    TEvaluation current = Evaluate(local, circle, circle, turn_length);
    double damping = 0;
    double previous_step = HUGE_VAL;
    bool converged = false;
    bool stuck = false;
    int iteration = 0;
    while (!converged && !stuck && iteration < Maximum_Iterations) {
        const double scale = std::sqrt(circle.centre.squaredNorm() + circle.radius * circle.radius);
        // Residuals no larger than the rounding of the coordinates about the
        // centre: the points lie on the circle, and on a short arc the
        // steps that rounding alone makes can be far longer than 1e-15.
        const double rounding = 4 * std::numeric_limits<double>::epsilon() * scale;
        if (current.cost <= 2 * static_cast<double>(local.size()) * rounding * rounding) {
            converged = true;
            break;
        }
        ++iteration;
        const TStep gauss_newton = Step(current, 0);
        if (!gauss_newton.allFinite()) {
            stuck = true;
            break;
        }
        if (gauss_newton.norm() <= 1e-15 * scale) {
            converged = true;
            break;
        }
        for (;;) {
            const TStep step = damping == 0 ? gauss_newton : Step(current, damping);
            const TCircle trial = Moved(circle, step, turn_length);
            // A step lost in the rounding of the parameters ends the iteration.
            if (trial.centre == circle.centre && trial.axis == circle.axis &&
                trial.radius == circle.radius) {
                converged = true;
                break;
            }
            const TEvaluation next = Evaluate(local, trial, circle, turn_length);
            if (next.change < 0) {
                circle = trial;
                current = next;
                damping = damping < 1e-6 ? 0 : damping / 10;
                // Steps this short that no longer shrink go back and forth
                // in the rounding of the residuals, which few points on a
                // short arc or a small cap amplify.
                const double length = step.norm();
                converged = length <= 1e-15 * scale ||
                            (length <= 1e-11 * scale && length >= previous_step / 2);
                previous_step = length;
                break;
            }
            // Past this length a step that does not lower the cost is lost
            // in rounding: the minimum is reached as far as double tells.
            if (gauss_newton.norm() <= 1e-6 * scale) {
                converged = true;
                break;
            }
            damping = damping == 0 ? 1e-3 : damping * 10;
            if (damping > 1e12) {
                stuck = true;
                break;
            }
        }
    }
    fit.iterations = iteration;
    if (!converged) {
        fit.failure = "no convergence";
        return fit;
    }
    fit.fitted = true;
    fit.position = To_Vector3(origin + circle.centre);
    fit.direction = To_Vector3(Signed_Direction(circle.axis));
    fit.diameter = 2 * std::abs(circle.radius);
    return fit;
}
