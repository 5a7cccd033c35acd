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
    // The first-order conditions hold on the contacts alone: the points
    // within tolerance of a boundary the goal uses.
    const double highest = rows.distance.maxCoeff();
    const double lowest = rows.distance.minCoeff();
    const bool outer = goal != TZoneGoal::INNER;
    const bool inner = goal != TZoneGoal::OUTER;
    std::vector<int> contacts;
    for (Eigen::Index i = 0; i < rows.distance.size(); ++i) {
        if ((outer && rows.distance(i) >= highest - tolerance) ||
            (inner && rows.distance(i) <= lowest + tolerance)) {
            contacts.push_back(static_cast<int>(i));
        }
    }
    TChebyshevRows near;
    near.distance.resize(static_cast<Eigen::Index>(contacts.size()));
    near.gradient.resize(static_cast<Eigen::Index>(contacts.size()), rows.gradient.cols());
    for (std::size_t j = 0; j < contacts.size(); ++j) {
        const Eigen::Index row = static_cast<Eigen::Index>(j);
        near.distance(row) = rows.distance(contacts[j]);
        near.gradient.row(row) = rows.gradient.row(contacts[j]);
    }
    // Distances off the extremes but within tolerance count as on them.
    for (Eigen::Index j = 0; j < near.distance.size(); ++j) {
        if (outer && near.distance(j) >= highest - tolerance &&
            !(inner && near.distance(j) <= lowest + tolerance)) {
            near.distance(j) = highest;
        } else if (inner && near.distance(j) <= lowest + tolerance) {
            near.distance(j) = lowest;
        }
    }
    TChebyshevStep step = Solve_Chebyshev_Step(near, goal, 1e-6 * scale);
    if (!step.solved) {
        return "the linear program of the optimality conditions did not end";
    }
    const double fall = Zone_Value(near.distance, goal) - step.value;
    if (fall > Chebyshev_Stationary * scale) {
        return "not stationary: a step lowers the criterion by " + Number(fall) + " mm";
    }
    for (int &i : step.outer_contacts) {
        i = contacts[static_cast<std::size_t>(i)];
    }
    for (int &i : step.inner_contacts) {
        i = contacts[static_cast<std::size_t>(i)];
    }
    const int k = static_cast<int>(rows.gradient.cols());
    Eigen::VectorXd balance = Eigen::VectorXd::Zero(k);
    double outer_sum = 0;
    double inner_sum = 0;
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
