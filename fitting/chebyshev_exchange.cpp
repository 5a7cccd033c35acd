#include "fitting/chebyshev_exchange.h"

#include <Eigen/QR>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A bound a.z <= b of the variables z = (x, u, v): a point's outer or inner
// bound, or a side of the box.
enum class TBoundKind
{
    OUTER,
    INNER,
    BOX_UP,
    BOX_DOWN
};

struct TBound
{
    TBoundKind kind;
    int index; // the point, or the box's variable
};

struct TProgram
{
    const Eigen::MatrixXd &gradient;
    const Eigen::VectorXd &distance;
    int k;
    double box;

    // The bound's row of A (zero beforehand).
    void Fill(const TBound &bound, Eigen::MatrixXd &A, int r) const
    {
        switch (bound.kind) {
        case TBoundKind::OUTER:
            A.row(r).head(k) = gradient.row(bound.index);
            A(r, k) = -1;
            break;
        case TBoundKind::INNER:
            A.row(r).head(k) = -gradient.row(bound.index);
            A(r, k + 1) = 1;
            break;
        case TBoundKind::BOX_UP:
            A(r, bound.index) = 1;
            break;
        case TBoundKind::BOX_DOWN:
            A(r, bound.index) = -1;
            break;
        }
    }

    double Limit(const TBound &bound) const
    {
        switch (bound.kind) {
        case TBoundKind::OUTER:
            return -distance(bound.index);
        case TBoundKind::INNER:
            return distance(bound.index);
        default:
            return box;
        }
    }
};

bool Uses_Outer(TZoneGoal goal)
{
    return goal != TZoneGoal::INNER;
}
bool Uses_Inner(TZoneGoal goal)
{
    return goal != TZoneGoal::OUTER;
}

} // namespace

double Zone_Value(const Eigen::VectorXd &distance, TZoneGoal goal)
{
    switch (goal) {
    case TZoneGoal::ZONE:
        return distance.maxCoeff() - distance.minCoeff();
    case TZoneGoal::OUTER:
        return distance.maxCoeff();
    case TZoneGoal::INNER:
        return -distance.minCoeff();
    }
    return 0;
}

TChebyshevStep Solve_Chebyshev_Step(const TChebyshevRows &rows, TZoneGoal goal, double box)
{
    const int k = static_cast<int>(rows.gradient.cols());
    const int n = static_cast<int>(rows.distance.size());
    const int m = k + 2;
    TChebyshevStep result;
    if (n == 0) {
        return result;
    }
    // Many points on a boundary at once (points exactly on a sphere, say)
    // make the exchanges stall among bounds that all hold at one point: each
    // distance moved by a fixed fraction of its last places keeps them
    // apart.
    Eigen::VectorXd apart = rows.distance;
    for (int i = 0; i < n; ++i) {
        const double turns = 0.6180339887498949 * (i + 1);
        const double fraction = turns - std::floor(turns);
        apart(i) += 4e-16 * fraction * (1 + std::abs(rows.distance(i)));
    }
    const TProgram program{rows.gradient, apart, k, box};

    // A bound whose distance cannot reach the extreme one's within the box
    // never holds: it is left out.
    std::vector<TBound> bounds;
    Eigen::VectorXd reach(n);
    for (int i = 0; i < n; ++i) {
        reach(i) = rows.gradient.row(i).lpNorm<1>() * box;
    }
    Eigen::Index top = 0;
    Eigen::Index bottom = 0;
    const double highest = apart.maxCoeff(&top);
    const double lowest = apart.minCoeff(&bottom);
    const double outer_floor = highest - reach(top);
    const double inner_ceiling = lowest + reach(bottom);
    for (int i = 0; i < n; ++i) {
        if (Uses_Outer(goal) && apart(i) + reach(i) >= outer_floor) {
            bounds.push_back({TBoundKind::OUTER, i});
        }
        if (Uses_Inner(goal) && apart(i) - reach(i) <= inner_ceiling) {
            bounds.push_back({TBoundKind::INNER, i});
        }
    }
    for (int j = 0; j < k; ++j) {
        bounds.push_back({TBoundKind::BOX_UP, j});
        bounds.push_back({TBoundKind::BOX_DOWN, j});
    }
    const int count = static_cast<int>(bounds.size());
    Eigen::MatrixXd A(count, m);
    Eigen::VectorXd b(count);
    A.setZero();
    for (int r = 0; r < count; ++r) {
        program.Fill(bounds[r], A, r);
        b(r) = program.Limit(bounds[r]);
    }

    Eigen::VectorXd c = Eigen::VectorXd::Zero(m);
    if (Uses_Outer(goal)) {
        c(k) = 1;
    }
    if (Uses_Inner(goal)) {
        c(k + 1) = -1;
    }
    Eigen::VectorXd z = Eigen::VectorXd::Zero(m);
    z(k) = Uses_Outer(goal) ? highest : 0;
    z(k + 1) = Uses_Inner(goal) ? lowest : 0;

    std::vector<int> working;
    std::vector<char> in_working(static_cast<std::size_t>(count), 0);
    const Eigen::VectorXd norms = A.rowwise().norm();
    // Kept up to date step by step rather than recomputed.
    Eigen::VectorXd slack = b - A * z;
    Eigen::VectorXd multipliers;
    const int limit = 200 + 20 * m;
    bool optimal = false;
    int exchanges = 0;
    for (; exchanges < limit; ++exchanges) {
        const int w = static_cast<int>(working.size());
        Eigen::MatrixXd W(m, w);
        for (int j = 0; j < w; ++j) {
            W.col(j) = A.row(working[j]).transpose();
        }
        Eigen::VectorXd p = -c;
        if (w > 0) {
            const Eigen::HouseholderQR<Eigen::MatrixXd> qr(W);
            const Eigen::MatrixXd Q = qr.householderQ() * Eigen::MatrixXd::Identity(m, m);
            const Eigen::MatrixXd N = Q.rightCols(m - w);
            p = -(N * (N.transpose() * c));
        }
        if (p.norm() > 1e-12) {
            // The first bound met along p.
            const Eigen::VectorXd rate = A * p;
            const double length = p.norm();
            int entering = -1;
            double step = std::numeric_limits<double>::infinity();
            for (int r = 0; r < count; ++r) {
                if (rate(r) <= 1e-13 * norms(r) * length ||
                    in_working[static_cast<std::size_t>(r)]) {
                    continue;
                }
                const double alpha = std::max(0.0, slack(r)) / rate(r);
                if (alpha < step) {
                    step = alpha;
                    entering = r;
                }
            }
            if (entering < 0) {
                return result; // unbounded: cannot happen with the box
            }
            z += step * p;
            slack -= step * rate;
            working.push_back(entering);
            in_working[static_cast<std::size_t>(entering)] = 1;
            continue;
        }
        // Stationary on the bounds held: the multipliers c + W lambda = 0.
        multipliers = W.colPivHouseholderQr().solve(-c);
        Eigen::Index most_negative = 0;
        if (w == 0 || multipliers.minCoeff(&most_negative) >= -1e-12) {
            optimal = true;
            break;
        }
        in_working[static_cast<std::size_t>(working[static_cast<std::size_t>(most_negative)])] = 0;
        working.erase(working.begin() + most_negative);
    }
    result.exchanges = exchanges;
    if (!optimal) {
        return result;
    }
    result.solved = true;
    result.step = z.head(k);
    result.outer = z(k);
    result.inner = z(k + 1);
    result.value = c.dot(z);
    for (std::size_t j = 0; j < working.size(); ++j) {
        const TBound &bound = bounds[working[j]];
        const double lambda = multipliers(static_cast<Eigen::Index>(j));
        if (lambda <= 1e-12) {
            continue;
        }
        switch (bound.kind) {
        case TBoundKind::OUTER:
            result.outer_contacts.push_back(bound.index);
            result.outer_multipliers.push_back(lambda);
            break;
        case TBoundKind::INNER:
            result.inner_contacts.push_back(bound.index);
            result.inner_multipliers.push_back(lambda);
            break;
        default:
            // The slight fall the distances' separation gives along a flat
            // direction leaves a multiplier of that order on the box.
            if (lambda > 1e-7) {
                result.boxed = true;
            }
            break;
        }
    }
    return result;
}
