#include "fitting/round_fit.h"

#include "fitting/levenberg_marquardt.h"
#include "fitting/round_start.h"
#include "fitting/row_qr.h"

#include <Eigen/QR>

#include <cmath>

namespace {

// Parameters (centre, radius); the Jacobian of the distances |p - c| - r is
// reduced with the distances as one more column, so that the step comes from
// a QR factor and not from normal equations.
template <int Dimension> using TEvaluation = TLevenbergEvaluation<Dimension + 1>;

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
    const TLevenbergResult<TParameters> result = Levenberg_Marquardt<Dimension + 1>(
        parameters, points.size(),
        [&](const TParameters &at, const TParameters &before) {
            return Evaluate<Dimension>(points, at, before);
        },
        [](const TParameters &at, const Eigen::Matrix<double, Dimension + 1, 1> &step) {
            return TParameters(at + step);
        },
        [](const TParameters &a, const TParameters &b) { return a == b; },
        [](const TParameters &at) { return at.norm(); });
    fit.iterations = result.iterations;
    if (!result.converged) {
        fit.failure = "no convergence";
        return fit;
    }
    parameters = result.state;
    fit.fitted = true;
    fit.centre = parameters.template head<Dimension>();
    fit.radius = std::abs(parameters(Dimension));
    return fit;
}

template TRoundFit<2> Fit_Round<2>(const std::vector<Eigen::Vector2d> &, const std::string &);
template TRoundFit<3> Fit_Round<3>(const std::vector<Eigen::Vector3d> &, const std::string &);
