#include "fitting/round_fit.h"

#include "fitting/round_start.h"
#include "fitting/row_qr.h"

#include <Eigen/QR>

#include <cmath>
#include <limits>

namespace {

constexpr int Maximum_Iterations = 100;

// Parameters (centre, radius); the Jacobian of the distances |p - c| - r is
// reduced with the distances as one more column, so that the step comes from
// a QR factor and not from normal equations.
template <int Dimension> struct TEvaluation
{
    static constexpr int Parameters = Dimension + 1;
    using TFactor = Eigen::Matrix<double, Parameters + 1, Parameters + 1>;

    TFactor R;
    double cost = 0;   // sum of squared distances
    double change = 0; // of that sum, from the parameters before
};

// The change of the cost is summed from each point's change of distance,
// taken without cancellation: a difference of two rounded sums would only
// resolve the cost to eps, the parameters to about sqrt(eps), and stop the
// iteration early.
template <int Dimension>
TEvaluation<Dimension> Evaluate(const std::vector<Eigen::Matrix<double, Dimension, 1>> &points,
                                const Eigen::Matrix<double, Dimension + 1, 1> &parameters,
                                const Eigen::Matrix<double, Dimension + 1, 1> &before)
{
    using TPoint = Eigen::Matrix<double, Dimension, 1>;
    constexpr int Parameters = Dimension + 1;
    const TPoint centre = parameters.template head<Dimension>();
    const double radius = parameters(Dimension);
    const TPoint centre_before = before.template head<Dimension>();
    const TPoint centre_step = centre - centre_before;
    const double radius_step = radius - before(Dimension);

    TEvaluation<Dimension> evaluation;
    TRowQR<Parameters + 1> qr;
    typename TRowQR<Parameters + 1>::TRow row;
    double cost = 0;
    double change = 0;
    for (const TPoint &p : points) {
        const TPoint offset = p - centre;
        const double distance = offset.norm();
        const double residual = distance - radius;
        // A point at the centre pulls it nowhere in particular.
        if (distance > 0) {
            row.template head<Dimension>() = -offset.transpose() / distance;
        } else {
            row.template head<Dimension>().setZero();
        }
        row(Dimension) = -1;
        row(Parameters) = residual;
        qr.Add(row);
        cost += residual * residual;

        // |p - c'| - |p - c| = (c' - c).(c' + c - 2 p) / (|p - c'| + |p - c|)
        const double distance_before = (p - centre_before).norm();
        const double sum = distance + distance_before;
        const double distance_step =
            sum > 0 ? centre_step.dot(centre + centre_before - 2 * p) / sum : 0;
        const double residual_step = distance_step - radius_step;
        const double residual_before = distance_before - before(Dimension);
        change += residual_step * (2 * residual_before + residual_step);
    }
    evaluation.R = qr.R();
    evaluation.cost = cost;
    evaluation.change = change;
    return evaluation;
}

// Minimises |J step + residuals|^2 + damping |D step|^2 with D the column
// norms of J (Marquardt's scaling), from the factor alone.
template <int Dimension>
Eigen::Matrix<double, Dimension + 1, 1> Step(const TEvaluation<Dimension> &evaluation,
                                             double damping)
{
    constexpr int Parameters = Dimension + 1;
    const auto R = evaluation.R.template topLeftCorner<Parameters, Parameters>();
    const auto z = evaluation.R.template topRightCorner<Parameters, 1>();
    Eigen::Matrix<double, 2 * Parameters, Parameters> stacked;
    stacked.template topRows<Parameters>() = R;
    stacked.template bottomRows<Parameters>().setZero();
    stacked.template bottomRows<Parameters>().diagonal() =
        std::sqrt(damping) * R.colwise().norm().transpose();
    Eigen::Matrix<double, 2 * Parameters, 1> right =
        Eigen::Matrix<double, 2 * Parameters, 1>::Zero();
    right.template head<Parameters>() = -z;
    return stacked.colPivHouseholderQr().solve(right);
}

} // namespace

template <int Dimension>
TRoundFit<Dimension> Fit_Round(const std::vector<Eigen::Matrix<double, Dimension, 1>> &points,
                               const std::string &degenerate)
{
    using TParameters = Eigen::Matrix<double, Dimension + 1, 1>;

    TRoundFit<Dimension> fit;
    const TRoundStart<Dimension> start = Round_Start<Dimension>(points);
    if (!start.found) {
        fit.failure = degenerate;
        return fit;
    }
    TParameters parameters;
    parameters << start.centre, start.radius;
    TEvaluation<Dimension> current = Evaluate<Dimension>(points, parameters, parameters);
    double damping = 0;
    double previous_step = HUGE_VAL;
    bool converged = false;
    bool stuck = false;
    int iteration = 0;
    while (!converged && !stuck && iteration < Maximum_Iterations) {
        const double scale = parameters.norm();
        // Residuals no larger than the rounding of the coordinates about the
        // centroid: the points lie on the circle or sphere, and where they
        // barely determine it (four points on a small cap) the steps that
        // rounding alone makes can be far longer than 1e-15 of it.
        const double rounding = 4 * std::numeric_limits<double>::epsilon() * scale;
        if (current.cost <= 2 * static_cast<double>(points.size()) * rounding * rounding) {
            converged = true;
            break;
        }
        ++iteration;
        const TParameters gauss_newton = Step<Dimension>(current, 0);
        if (!gauss_newton.allFinite()) {
            stuck = true;
            break;
        }
        if (gauss_newton.norm() <= 1e-15 * scale) {
            converged = true;
            break;
        }
        for (;;) {
            const TParameters step =
                damping == 0 ? gauss_newton : Step<Dimension>(current, damping);
            const TParameters trial = parameters + step;
            // A step lost in the rounding of the parameters ends the iteration.
            if (trial == parameters) {
                converged = true;
                break;
            }
            const TEvaluation<Dimension> next = Evaluate<Dimension>(points, trial, parameters);
            if (next.change < 0) {
                parameters = trial;
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
            // Once the undamped step is this short the quadratic model holds,
            // so a step that does not lower the cost is lost in rounding: the
            // minimum is reached as far as double precision tells.
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
    fit.centre = parameters.template head<Dimension>();
    fit.radius = std::abs(parameters(Dimension));
    return fit;
}

template TRoundFit<2> Fit_Round<2>(const std::vector<Eigen::Vector2d> &, const std::string &);
template TRoundFit<3> Fit_Round<3>(const std::vector<Eigen::Vector3d> &, const std::string &);
