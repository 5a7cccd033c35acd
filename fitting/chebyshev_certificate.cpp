#include "fitting/chebyshev_certificate.h"

#include "fitting/chebyshev_descent.h"

#include <cmath>
#include <sstream>

namespace {

std::string Number(double value)
{
    std::ostringstream text;
    text.precision(3);
    text << value;
    return text.str();
}

} // namespace

std::string Chebyshev_Certificate(const TChebyshevRows &rows, TZoneGoal goal, double scale,
                                  double tolerance, bool strict)
{
    if (rows.distance.size() == 0 || !rows.distance.allFinite() || !rows.gradient.allFinite()) {
        return "no finite distances";
    }
    const TChebyshevStep step = Solve_Chebyshev_Step(rows, goal, 1e-6 * scale);
    if (!step.solved) {
        return "the linear program of the optimality conditions did not end";
    }
    const double value = Zone_Value(rows.distance, goal);
    const double fall = value - step.value;
    if (fall > Chebyshev_Stationary * scale) {
        return "not stationary: a step lowers the criterion by " + Number(fall) + " mm";
    }
    const int k = static_cast<int>(rows.gradient.cols());
    Eigen::VectorXd balance = Eigen::VectorXd::Zero(k);
    double outer_sum = 0;
    double inner_sum = 0;
    const double highest = rows.distance.maxCoeff();
    const double lowest = rows.distance.minCoeff();
    for (std::size_t j = 0; j < step.outer_contacts.size(); ++j) {
        const int i = step.outer_contacts[j];
        if (rows.distance(i) < highest - tolerance) {
            return "an outer contact off the outer boundary";
        }
        balance += step.outer_multipliers[j] * rows.gradient.row(i).transpose();
        outer_sum += step.outer_multipliers[j];
    }
    for (std::size_t j = 0; j < step.inner_contacts.size(); ++j) {
        const int i = step.inner_contacts[j];
        if (rows.distance(i) > lowest + tolerance) {
            return "an inner contact off the inner boundary";
        }
        balance -= step.inner_multipliers[j] * rows.gradient.row(i).transpose();
        inner_sum += step.inner_multipliers[j];
    }
    const bool outer = goal != TZoneGoal::INNER;
    const bool inner = goal != TZoneGoal::OUTER;
    if ((outer && std::abs(outer_sum - 1) > 1e-9) || (inner && std::abs(inner_sum - 1) > 1e-9)) {
        return "the contacts' multipliers do not sum to 1";
    }
    if (step.boxed || balance.lpNorm<Eigen::Infinity>() > 1e-9) {
        return "the contacts' multipliers do not balance";
    }
    const int variables = k + (outer ? 1 : 0) + (inner ? 1 : 0);
    if (strict && step.rank < variables) {
        return "not a strict local optimum: " + std::to_string(step.rank) +
               " independent contacts of the " + std::to_string(variables) + " needed";
    }
    return {};
}
