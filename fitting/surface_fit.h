#pragma once

#include "fitting/axis_frame.h"
#include "fitting/levenberg_marquardt.h"
#include "fitting/row_qr.h"

#include <Eigen/Core>

#include <algorithm>
#include <cmath>
#include <future>
#include <limits>
#include <vector>

// The orthogonal-distance iteration of a surface given by a model: its
// Parameters, its state, the signed distance of a point from it
// (Residual), that distance with its derivatives by the step's parameters
// (Row: the residual last), where a step leads (Moved), equality to the last
// bit (Same) and the size of its lengths (Scale). The points are centred at
// their centroid.
template <typename TModel> struct TSurfaceResult
{
    typename TModel::TState state;
    bool converged = false;
    int iterations = 0;
    double cost = HUGE_VAL;
};

// The sum of squares and its change are summed point by point from the
// residuals at both states, so that the change is not the difference of
// two rounded sums.
template <typename TModel> struct TSurfacePart
{
    Eigen::Matrix<double, TModel::Parameters + 1, TModel::Parameters + 1> R;
    double cost = 0;
    double change = 0;
};

template <typename TModel>
TSurfacePart<TModel> Evaluate_Part(const TModel &model, const Eigen::Vector3d *begin,
                                   const Eigen::Vector3d *end, const typename TModel::TState &state,
                                   const typename TModel::TState &before)
{
    constexpr int P = TModel::Parameters;
    TSurfacePart<TModel> part;
    TRowQR<P + 1> qr;
    typename TRowQR<P + 1>::TRow row;
    for (const Eigen::Vector3d *p = begin; p != end; ++p) {
        model.Row(state, *p, row);
        qr.Add(row);
        const double residual = row(P);
        const double residual_before = model.Residual(before, *p);
        part.cost += residual * residual;
        part.change += (residual - residual_before) * (residual + residual_before);
    }
    part.R = qr.R();
    return part;
}

// Large sets in two halves at once, their factors then reduced together;
// where no thread can be started, the second half waits for the first.
template <typename TModel>
TLevenbergEvaluation<TModel::Parameters>
Evaluate_Surface(const TModel &model, const std::vector<Eigen::Vector3d> &points,
                 const typename TModel::TState &state, const typename TModel::TState &before)
{
    constexpr int P = TModel::Parameters;
    const Eigen::Vector3d *begin = points.data();
    const Eigen::Vector3d *end = begin + points.size();
    TLevenbergEvaluation<P> evaluation;
    if (points.size() < 100000) {
        const TSurfacePart<TModel> whole = Evaluate_Part(model, begin, end, state, before);
        evaluation.R = whole.R;
        evaluation.cost = whole.cost;
        evaluation.change = whole.change;
        return evaluation;
    }
    const Eigen::Vector3d *middle = begin + points.size() / 2;
    std::future<TSurfacePart<TModel>> first =
        std::async(std::launch::async | std::launch::deferred,
                   [&] { return Evaluate_Part(model, begin, middle, state, before); });
    const TSurfacePart<TModel> second = Evaluate_Part(model, middle, end, state, before);
    const TSurfacePart<TModel> other = first.get();
    TRowQR<P + 1> qr;
    for (int i = 0; i <= P; ++i) {
        qr.Add(other.R.row(i));
        qr.Add(second.R.row(i));
    }
    evaluation.R = qr.R();
    evaluation.cost = other.cost + second.cost;
    evaluation.change = other.change + second.change;
    return evaluation;
}

template <typename TModel>
TSurfaceResult<TModel> Iterate_Surface(const TModel &model,
                                       const std::vector<Eigen::Vector3d> &points,
                                       const typename TModel::TState &start, bool with_cost = true,
                                       int iterations = Levenberg_Iterations)
{
    using TState = typename TModel::TState;
    using TStep = Eigen::Matrix<double, TModel::Parameters, 1>;
    const TLevenbergResult<TState> iterated = Levenberg_Marquardt<TModel::Parameters>(
        start, points.size(),
        [&](const TState &at, const TState &before) {
            return Evaluate_Surface(model, points, at, before);
        },
        [&](const TState &at, const TStep &step) { return model.Moved(at, step); },
        [&](const TState &a, const TState &b) { return model.Same(a, b); },
        [&](const TState &at) { return model.Scale(at); }, iterations);
    TSurfaceResult<TModel> result;
    result.state = iterated.state;
    result.converged = iterated.converged;
    result.iterations = iterated.iterations;
    if (with_cost) {
        double cost = 0;
        for (const Eigen::Vector3d &p : points) {
            const double residual = model.Residual(result.state, p);
            cost += residual * residual;
        }
        result.cost = std::isfinite(cost) ? cost : HUGE_VAL;
    }
    return result;
}

// Whether the points lie on the surface to the rounding of the arithmetic.
template <typename TModel>
bool Exact_Fit(const TModel &model, const TSurfaceResult<TModel> &result, std::size_t points)
{
    const double rounding = 4 * std::numeric_limits<double>::epsilon() * model.Scale(result.state);
    return result.converged && result.cost <= 2 * static_cast<double>(points) * rounding * rounding;
}

// Every start takes a few steps on an evenly spaced subsample; the two that
// then lie lowest, and the caller's, go on there to the end, and the one of
// least sum of squares is finished on all points. Starts that lead nowhere
// cost little, on large sets too, and the end is the minimum of all points
// all the same.
constexpr int Surface_Screening_Steps = 30;
constexpr std::size_t Surface_Kept_Starts = 2;

// The caller's start, when given, is the last of the starts: a surface
// through as many points as it has parameters is in general one of several,
// each exact, and then the caller's is the one asked about.
template <typename TModel>
TSurfaceResult<TModel> Fit_Surface(const TModel &model, const std::vector<Eigen::Vector3d> &points,
                                   const std::vector<typename TModel::TState> &starts,
                                   bool last_is_callers = false)
{
    const std::vector<Eigen::Vector3d> sample = Evenly_Spaced(points, 4000);
    int iterations = 0;
    std::vector<TSurfaceResult<TModel>> screened;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        screened.push_back(
            Iterate_Surface(model, sample, starts[i], true, Surface_Screening_Steps));
        iterations += screened.back().iterations;
        order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return screened[a].cost < screened[b].cost;
    });
    // The caller's last, so that where it is exact it is the one kept.
    const std::size_t callers = last_is_callers ? starts.size() - 1 : starts.size();
    std::vector<std::size_t> kept;
    for (std::size_t i : order) {
        if (kept.size() < Surface_Kept_Starts && i != callers) {
            kept.push_back(i);
        }
    }
    if (callers < starts.size()) {
        kept.push_back(callers);
    }
    TSurfaceResult<TModel> best;
    for (std::size_t i : kept) {
        TSurfaceResult<TModel> result = screened[i];
        if (!result.converged) {
            result = Iterate_Surface(model, sample, result.state);
            iterations += result.iterations;
        }
        const bool callers_exact = i == callers && Exact_Fit(model, result, sample.size());
        if (result.converged && (result.cost < best.cost || callers_exact)) {
            best = result;
        }
    }
    if (best.converged && sample.size() < points.size()) {
        best = Iterate_Surface(model, points, best.state, false);
        iterations += best.iterations;
    }
    best.iterations = iterations;
    return best;
}
