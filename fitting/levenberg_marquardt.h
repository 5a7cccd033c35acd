#pragma once

#include <Eigen/Core>
#include <Eigen/QR>

#include <cmath>
#include <cstddef>
#include <limits>

// The Levenberg-Marquardt iteration the geometric fits share. A model is
// evaluated at its parameters into the triangular factor R of its Jacobian
// with the residuals as one more column (fitting/row_qr.h), the sum of
// squared residuals, and that sum's change from the parameters before,
// summed residual by residual without cancellation so that better can be
// told from worse down to the last digits.
template <int Parameters> struct TLevenbergEvaluation
{
    Eigen::Matrix<double, Parameters + 1, Parameters + 1> R;
    double cost = 0;
    double change = 0;
};

// Minimises |J step + residuals|^2 + damping |D step|^2 with D the column
// norms of J (Marquardt's scaling), from the factor alone.
template <int Parameters>
Eigen::Matrix<double, Parameters, 1> Damped_Step(const TLevenbergEvaluation<Parameters> &evaluation,
                                                 double damping)
{
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

template <typename TState> struct TLevenbergResult
{
    TState state;
    bool converged = false;
    int iterations = 0;
};

// Iterates from start at most 100 times. evaluate(state, before) gives the
// TLevenbergEvaluation<Parameters>; move(state, step) the state a step
// leads to; same(a, b) whether two states are equal to the last bit;
// scale(state) the size of the parameters, which the steps are measured
// against; points, how many points the residuals come from.
template <int Parameters, typename TState, typename TEvaluate, typename TMove, typename TSame,
          typename TScale>
TLevenbergResult<TState> Levenberg_Marquardt(const TState &start, std::size_t points,
                                             TEvaluate evaluate, TMove move, TSame same,
                                             TScale scale_of)
{
    using TStep = Eigen::Matrix<double, Parameters, 1>;
    TLevenbergResult<TState> result{start};
    TState &state = result.state;
    TLevenbergEvaluation<Parameters> current = evaluate(state, state);
    double damping = 0;
    double previous_step = HUGE_VAL;
    bool stuck = false;
    while (!result.converged && !stuck && result.iterations < 100) {
        const double scale = scale_of(state);
        // Residuals no larger than the rounding of the coordinates: the
        // points lie on the element, and where they barely determine it
        // (four points on a small cap, a short arc) the steps that rounding
        // alone makes can be far longer than 1e-15 of it.
        const double rounding = 4 * std::numeric_limits<double>::epsilon() * scale;
        if (current.cost <= 2 * static_cast<double>(points) * rounding * rounding) {
            result.converged = true;
            break;
        }
        ++result.iterations;
        const TStep gauss_newton = Damped_Step<Parameters>(current, 0);
        if (!gauss_newton.allFinite()) {
            stuck = true;
            break;
        }
        if (gauss_newton.norm() <= 1e-15 * scale) {
            result.converged = true;
            break;
        }
        for (;;) {
            const TStep step =
                damping == 0 ? gauss_newton : Damped_Step<Parameters>(current, damping);
            const TState trial = move(state, step);
            // A step lost in the rounding of the parameters ends the iteration.
            if (same(trial, state)) {
                result.converged = true;
                break;
            }
            const TLevenbergEvaluation<Parameters> next = evaluate(trial, state);
            if (next.change < 0) {
                state = trial;
                current = next;
                damping = damping < 1e-6 ? 0 : damping / 10;
                // Steps this short that no longer shrink go back and forth
                // in the rounding of the residuals, which few points on a
                // short arc or a small cap amplify.
                const double length = step.norm();
                result.converged = length <= 1e-15 * scale ||
                                   (length <= 1e-11 * scale && length >= previous_step / 2);
                previous_step = length;
                break;
            }
            // Once the undamped step is this short the quadratic model holds,
            // so a step that does not lower the cost is lost in rounding: the
            // minimum is reached as far as double precision tells.
            if (gauss_newton.norm() <= 1e-6 * scale) {
                result.converged = true;
                break;
            }
            damping = damping == 0 ? 1e-3 : damping * 10;
            if (damping > 1e12) {
                stuck = true;
                break;
            }
        }
    }
    return result;
}
