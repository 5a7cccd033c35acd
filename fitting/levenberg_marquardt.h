#pragma once

#include <Eigen/Core>
#include <Eigen/QR>
#include <Eigen/SVD>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

// The Gauss-Newton iteration, damped where it must be (Levenberg-Marquardt),
// that the geometric fits share. A model is evaluated at its parameters into
// the triangular factor R of its Jacobian with the residuals as one more
// column (fitting/row_qr.h), the sum of squared residuals, and that sum's
// change from the parameters before, summed residual by residual without
// cancellation so that better can be told from worse down to the last digits.
// The parameters of a step are all lengths (a turn is given by how far it
// moves a point at a stated distance), so that one scale measures them.
template <int Parameters> struct TLevenbergEvaluation
{
    Eigen::Matrix<double, Parameters + 1, Parameters + 1> R;
    double cost = 0;
    double change = 0;
};

// Minimises |J step + residuals|^2 + damping |D step|^2 with D the column
// norms of J (Marquardt's scaling), from the factor alone; with no damping,
// the Gauss-Newton step, by QR.
template <int Parameters>
Eigen::Matrix<double, Parameters, 1> Damped_Step(const TLevenbergEvaluation<Parameters> &evaluation,
                                                 double damping)
{
    const auto R = evaluation.R.template topLeftCorner<Parameters, Parameters>();
    const auto z = evaluation.R.template topRightCorner<Parameters, 1>();
    if (damping == 0) {
        return R.colPivHouseholderQr().solve(-z);
    }
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

// How long a Gauss-Newton step the rounding of the residuals alone makes:
// each residual is off by a few units in the last place of the lengths
// (scale), and the least singular value of R turns that into a step. Where
// the points barely determine the element (a short arc, a small cap) this
// is far longer than the rounding of the parameters themselves.
template <int Parameters>
double Rounding_Step(const TLevenbergEvaluation<Parameters> &evaluation, double scale)
{
    const Eigen::JacobiSVD<Eigen::Matrix<double, Parameters, Parameters>> svd(
        evaluation.R.template topLeftCorner<Parameters, Parameters>());
    const double least = svd.singularValues()(Parameters - 1);
    const double residual_rounding =
        32 * std::numeric_limits<double>::epsilon() * scale * std::sqrt(double(Parameters));
    return least > 0 ? residual_rounding / least : HUGE_VAL;
}

// Where the residuals are large for how little the points determine the
// element (a short arc with much form), the sum of squares is flatter along
// the Gauss-Newton step than the step assumes: successive steps point the
// same way and shrink only by a few percent, or less. Two estimates of how
// much further the minimum lies along the step: from the steps' ratio q, the
// sum of the geometric series, 1 / (1 - q); failing that, the parabola
// through the sum's slope at the start (-2 |z|^2, z the residuals' part in
// R) and its change at the step's end. One evaluation there, kept if the sum
// is lower still, recovers what hundreds of steps would.
template <int Parameters>
double Extrapolation(const TLevenbergEvaluation<Parameters> &at_from,
                     const TLevenbergEvaluation<Parameters> &at_to,
                     const Eigen::Matrix<double, Parameters, 1> &step,
                     const Eigen::Matrix<double, Parameters, 1> &previous)
{
    const double previous_squared = previous.squaredNorm();
    if (previous_squared > 0) {
        const double along = step.dot(previous);
        const double ratio = along / previous_squared;
        if (along >= 0.999 * step.norm() * std::sqrt(previous_squared) && ratio > 0.5 &&
            ratio < 1) {
            return std::min(1 / (1 - ratio), 1e4);
        }
    }
    const double slope = -2 * at_from.R.template topRightCorner<Parameters, 1>().squaredNorm();
    const double curvature = at_to.change - slope;
    return curvature > 0 ? std::min(-slope / (2 * curvature), 1e3) : 1;
}

// How much the rounding of the residuals, a few units in the last place of
// the lengths each, may change their sum of squares.
template <int Parameters>
double Change_Rounding(const TLevenbergEvaluation<Parameters> &evaluation, std::size_t points,
                       double scale)
{
    return 16 * std::numeric_limits<double>::epsilon() * scale *
           std::sqrt(static_cast<double>(points) * evaluation.cost);
}

template <typename TState> struct TLevenbergResult
{
    TState state;
    bool converged = false;
    int iterations = 0;
};

// Iterates from start at most iterations times. evaluate(state,
// before) gives the TLevenbergEvaluation<Parameters>; move(state, step) the
// state a step leads to; same(a, b) whether two states are equal to the last
// bit; scale(state) the size of the lengths involved, which the steps are
// measured against; points, how many points the residuals come from.
//
// Every iteration first tries the Gauss-Newton step, and damps it only when
// it does not lower the sum of squares, or where the sum's change is lost in
// rounding, when it raises the sum beyond that rounding. The iteration ends when the
// Gauss-Newton step is negligible: no longer than the rounding makes it, or
// 1e-14 of the scale. It never ends because the sum of squares stops
// changing, which on badly conditioned data happens far from the minimum.
constexpr int Levenberg_Iterations = 500;

template <int Parameters, typename TState, typename TEvaluate, typename TMove, typename TSame,
          typename TScale>
TLevenbergResult<TState> Levenberg_Marquardt(const TState &start, std::size_t points,
                                             TEvaluate evaluate, TMove move, TSame same,
                                             TScale scale_of, int iterations = Levenberg_Iterations)
{
    using TStep = Eigen::Matrix<double, Parameters, 1>;
    TLevenbergResult<TState> result{start};
    TState &state = result.state;
    TLevenbergEvaluation<Parameters> current = evaluate(state, state);
    double last_damping = 1e-5;
    TStep previous = TStep::Zero(); // the last Gauss-Newton step taken, if undamped
    int unseen_steps = 0;
    while (result.iterations < iterations) {
        const double scale = scale_of(state);
        // Residuals no larger than the rounding of the coordinates: the
        // points lie on the element.
        const double rounding = 4 * std::numeric_limits<double>::epsilon() * scale;
        if (current.cost <= 2 * static_cast<double>(points) * rounding * rounding) {
            result.converged = true;
            break;
        }
        ++result.iterations;
        const TStep gauss_newton = Damped_Step<Parameters>(current, 0);
        if (!gauss_newton.allFinite()) {
            break;
        }
        const double negligible = 1e-14 * scale + Rounding_Step<Parameters>(current, scale);
        const bool last = gauss_newton.norm() <= negligible;
        // The Gauss-Newton step first; where it does not lower the sum, the
        // damping that last did, lessened, then more.
        double damping = 0;
        bool moved = false;
        for (;;) {
            const TStep step =
                damping == 0 ? gauss_newton : Damped_Step<Parameters>(current, damping);
            TState trial = move(state, step);
            if (same(trial, state)) {
                break;
            }
            TLevenbergEvaluation<Parameters> next = evaluate(trial, state);
            // Near the minimum the sum's change is lost in the rounding of
            // the residuals long before the Gauss-Newton step is: a step
            // that does not raise the sum beyond that rounding is taken.
            const bool unseen = damping == 0 && next.change >= 0 &&
                                next.change <= Change_Rounding(current, points, scale) &&
                                unseen_steps < 50;
            if (unseen)
                ++unseen_steps;
            if (next.change < 0 || unseen) {
                if (damping > 0) {
                    last_damping = damping;
                } else if (!last) {
                    const double length =
                        Extrapolation<Parameters>(current, next, gauss_newton, previous);
                    if (length > 2) {
                        const TState further = move(state, TStep(length * gauss_newton));
                        const TLevenbergEvaluation<Parameters> at_further =
                            evaluate(further, trial);
                        if (at_further.change < 0) {
                            trial = further;
                            next = at_further;
                        }
                    }
                }
                state = trial;
                current = next;
                moved = true;
                break;
            }
            if (last) {
                break;
            }
            damping = damping == 0 ? std::max(last_damping / 10, 1e-9) : damping * 10;
            if (damping > 1e16) {
                break;
            }
        }
        previous = damping == 0 ? gauss_newton : TStep::Zero();
        if (last) {
            result.converged = true;
            break;
        }
        if (!moved) {
            // Not even a short step down the gradient lowers the sum: the
            // gradient is lost in rounding. That is the minimum if the
            // Gauss-Newton step is short enough that its model holds.
            result.converged = gauss_newton.norm() <= 1e-8 * scale;
            break;
        }
    }
    return result;
}
