#pragma once

#include "fitting/chebyshev_exchange.h"

#include <Eigen/Core>

#include <algorithm>
#include <cmath>
#include <vector>

// A minimax fit by a sequence of linear programs in a trust region: at each
// state the distances are linearised (the model's Rows), the step of least
// linearised goal within the box is taken when the true goal falls by a
// fair part of what the linearisation promised, and the box grows or
// shrinks by how well it did. A model has a State, Rows(state, points,
// rows) and Moved(state, step); its steps are lengths (turns as the
// distance a point at the model's turn length moves), so that one box
// bounds them all.
template <typename TState> struct TChebyshevDescent
{
    TState state;
    bool converged = false;
    int iterations = 0;
    double value = HUGE_VAL;
    TChebyshevRows rows;
    // The last linear program, at the final state: its contacts and
    // multipliers.
    TChebyshevStep last;
};

// The goal falls by less than this, relative to the size of the lengths,
// when the state is stationary to the rounding of the distances.
constexpr double Chebyshev_Stationary = 1e-13;
// A step this small, relative to that size, leaves the state where it is.
constexpr double Chebyshev_Still = 1e-12;

template <typename TModel>
TChebyshevDescent<typename TModel::TState>
Descend_Chebyshev(const TModel &model, const std::vector<Eigen::Vector3d> &points, TZoneGoal goal,
                  const typename TModel::TState &start, double scale, int iterations = 100)
{
    TChebyshevDescent<typename TModel::TState> result;
    result.state = start;
    model.Rows(result.state, points, result.rows);
    result.value = Zone_Value(result.rows.distance, goal);
    // A zone's centre or axis is seldom further than the zone is wide from
    // a start that gives that zone; a small first box keeps the points far
    // from its boundaries out of the linear programs, and it grows when the
    // steps reach it.
    double box = 0.1 * scale;
    if (goal == TZoneGoal::ZONE && result.value < box) {
        box = std::max(result.value, 1e-9 * scale);
    }
    const double stationary = Chebyshev_Stationary * scale;
    TChebyshevRows trial_rows;
    for (; result.iterations < iterations; ++result.iterations) {
        const TChebyshevStep step = Solve_Chebyshev_Step(result.rows, goal, box);
        if (!step.solved) {
            return result;
        }
        const double promised = result.value - step.value;
        // Where the goal is flat, a step that promises next to nothing can
        // still move the state far: it is taken while it does not worsen it.
        const bool flat = promised <= stationary;
        if (flat && step.step.lpNorm<Eigen::Infinity>() <= Chebyshev_Still * scale) {
            result.last = step;
            result.converged = true;
            return result;
        }
        const typename TModel::TState trial = model.Moved(result.state, step.step);
        model.Rows(trial, points, trial_rows);
        const double value = Zone_Value(trial_rows.distance, goal);
        if (flat) {
            if (!(value <= result.value)) {
                result.last = step;
                result.converged = true;
                return result;
            }
            result.state = trial;
            std::swap(result.rows, trial_rows);
            result.value = value;
            continue;
        }
        const double ratio = (result.value - value) / promised;
        if (std::isfinite(value) && ratio > 0.01) {
            result.state = trial;
            std::swap(result.rows, trial_rows);
            result.value = value;
            if (ratio > 0.5 && step.step.lpNorm<Eigen::Infinity>() >= 0.99 * box) {
                box *= 2;
            }
        } else {
            box *= 0.25;
        }
        if (box < 1e-15 * scale) {
            // Nothing the linearisation offers holds: stationary as far as
            // the arithmetic tells.
            result.last = Solve_Chebyshev_Step(result.rows, goal, 1e-9 * scale);
            result.converged = result.last.solved && result.value - result.last.value <= stationary;
            return result;
        }
    }
    return result;
}
