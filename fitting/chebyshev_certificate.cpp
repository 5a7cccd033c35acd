#include "fitting/chebyshev_certificate.h"

#include "fitting/chebyshev_descent.h"

#include <Eigen/LU>

#include <algorithm>
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

// Whether the optimum of the linearised problem is unique (Mangasarian):
// no step d other than 0 keeps the bounds of positive multiplier (held)
// equalities, A_held d = 0, and the other contacts' bounds, A_other d <= 0.
// On the null space N of A_held that is M y <= 0 only for y = 0, M =
// A_other N: on each face y_j = +-1 of the unit box, min over the face of
// max_i M_i y is positive.
bool Sharp(const std::vector<Eigen::VectorXd> &held, const std::vector<Eigen::VectorXd> &others,
           int variables)
{
    Eigen::MatrixXd H(static_cast<Eigen::Index>(held.size()), variables);
    for (std::size_t j = 0; j < held.size(); ++j) {
        H.row(static_cast<Eigen::Index>(j)) = held[j].transpose();
    }
    Eigen::MatrixXd N;
    if (held.empty()) {
        N = Eigen::MatrixXd::Identity(variables, variables);
    } else {
        Eigen::FullPivLU<Eigen::MatrixXd> lu(H);
        lu.setThreshold(1e-10);
        if (lu.rank() == variables) {
            return true;
        }
        N = lu.kernel();
    }
    const Eigen::Index q = N.cols();
    if (others.empty()) {
        return false;
    }
    Eigen::MatrixXd M(static_cast<Eigen::Index>(others.size()), q);
    for (std::size_t j = 0; j < others.size(); ++j) {
        M.row(static_cast<Eigen::Index>(j)) = others[j].transpose() * N;
    }
    for (Eigen::Index face = 0; face < q; ++face) {
        for (double sign : {1.0, -1.0}) {
            TChebyshevRows on_face;
            on_face.distance = sign * M.col(face);
            on_face.gradient.resize(M.rows(), q - 1);
            for (Eigen::Index j = 0, c = 0; j < q; ++j) {
                if (j != face) {
                    on_face.gradient.col(c++) = M.col(j);
                }
            }
            const TChebyshevStep least = Solve_Chebyshev_Step(on_face, TZoneGoal::OUTER, 1);
            if (!least.solved || least.value <= 1e-9) {
                return false;
            }
        }
    }
    return true;
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
    // The contacts are those within tolerance of a boundary, so the
    // conditions hold to that tolerance: a point just beyond it, which the
    // contacts' program does not see, may bound the fall as much.
    if (fall > tolerance) {
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
    if (step.boxed) {
        return "not a sharp optimum: the contacts leave a direction in which the criterion "
               "changes only at second order";
    }
    if (balance.lpNorm<Eigen::Infinity>() > 1e-7) {
        return "the contacts' multipliers do not balance";
    }
    if (strict) {
        // The bounds of all contacts, in the variables the goal uses.
        const int variables = k + (outer ? 1 : 0) + (inner ? 1 : 0);
        const auto bound = [&](int i, bool on_outer) {
            Eigen::VectorXd a = Eigen::VectorXd::Zero(variables);
            a.head(k) = (on_outer ? 1.0 : -1.0) * rows.gradient.row(i).transpose();
            a(on_outer ? k : variables - 1) = on_outer ? -1 : 1;
            return a;
        };
        std::vector<Eigen::VectorXd> held;
        std::vector<Eigen::VectorXd> others;
        for (int i : contacts) {
            for (bool on_outer : {true, false}) {
                if (on_outer ? !(outer && rows.distance(i) >= highest - tolerance)
                             : !(inner && rows.distance(i) <= lowest + tolerance)) {
                    continue;
                }
                const std::vector<int> &positive =
                    on_outer ? step.outer_contacts : step.inner_contacts;
                const bool is_held =
                    std::find(positive.begin(), positive.end(), i) != positive.end();
                (is_held ? held : others).push_back(bound(i, on_outer));
            }
        }
        if (!Sharp(held, others, variables)) {
            return "not a strict local optimum: the contacts leave a direction of no ascent";
        }
    }
    return {};
}
