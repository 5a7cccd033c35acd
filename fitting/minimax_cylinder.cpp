#include "fitting/minimax_fit.h"

#include "fitting/chebyshev_certificate.h"
#include "fitting/chebyshev_descent.h"
#include "fitting/least_squares_fit.h"
#include "fitting/minimax_models.h"
#include "fitting/minimax_zone.h"
#include "fitting/point_spread.h"
#include "fitting/surface_start.h"

#include <algorithm>
#include <new>

namespace {

using TAxis = TAxisModel::TState;

// Directions spread over the half sphere tried as axes besides the
// least-squares axis and the principal directions.
constexpr int Spread_Axes = 128;
// Points a start is screened on, steps it takes there, and how many of the
// best go on to all points.
constexpr std::size_t Screening_Points = 1000;
constexpr int Screening_Steps = 25;
constexpr std::size_t Kept_Starts = 4;

struct TCylinderFrame
{
    Eigen::Vector3d origin;
    Eigen::Vector3d centroid;
    std::vector<Eigen::Vector3d> local;
    TAxisModel model;
    double scale = 0;
    double tolerance = 0;
};

TCylinderFrame Cylinder_Frame(const std::vector<TVector3> &points, const TPointSpread &spread)
{
    TCentredPoints centred = Centred_Points(points, spread.centroid);
    TCylinderFrame frame;
    frame.origin = centred.origin;
    frame.centroid = spread.centroid - centred.origin;
    frame.local = std::move(centred.local);
    frame.model.turn_length = centred.spread;
    frame.scale = centred.spread;
    frame.tolerance = Contact_Tolerance(frame.scale);
    return frame;
}

// Whether the axis meets the points' projections along it within the bound
// of 32 directions across it: an inscribed cylinder's axis that has left
// them is no candidate (its radius could grow without end).
bool Through_Projections(const TAxis &axis, const std::vector<Eigen::Vector3d> &points)
{
    for (int j = 0; j < 32; ++j) {
        const double turn = 2 * 3.14159265358979324 * j / 32;
        const Eigen::Vector3d u =
            std::cos(turn) * axis.frame.across_1 + std::sin(turn) * axis.frame.across_2;
        double support = -HUGE_VAL;
        for (const Eigen::Vector3d &p : points) {
            support = std::max(support, u.dot(p));
        }
        if (u.dot(axis.anchor) > support) {
            return false;
        }
    }
    return true;
}

struct TCandidate
{
    TAxis axis;
    double value = HUGE_VAL;
    bool certified = false;
    std::string failure;
    int iterations = 0;
};

TCandidate Refine_Axis(const TCylinderFrame &frame, const std::vector<Eigen::Vector3d> &points,
                       TZoneGoal goal, const TAxis &start, int steps, bool certify)
{
    TCandidate candidate;
    const TChebyshevDescent<TAxis> descent =
        Descend_Chebyshev(frame.model, points, goal, start, frame.scale, steps);
    candidate.axis = descent.state;
    candidate.iterations = descent.iterations;
    if (goal == TZoneGoal::INNER && !Through_Projections(descent.state, points)) {
        candidate.failure = "the inscribed cylinder's axis leaves the points' projections";
        return candidate;
    }
    if (!std::isfinite(descent.value)) {
        candidate.failure = "no convergence";
        return candidate;
    }
    candidate.value = descent.value;
    if (certify) {
        if (!descent.converged) {
            candidate.failure = "no convergence";
            return candidate;
        }
        candidate.failure =
            Chebyshev_Certificate(descent.rows, goal, frame.scale, frame.tolerance, true);
        candidate.certified = candidate.failure.empty();
    }
    return candidate;
}

bool Usable(const TMinimaxFit &start)
{
    const TVector3 &p = start.position;
    const TVector3 &d = start.direction;
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(d.x) &&
           std::isfinite(d.y) && std::isfinite(d.z) && (d ^ d) > 0;
}

TAxis Axis_Of(const TCylinderFrame &frame, const TMinimaxFit &fit)
{
    return TAxisModel::Make(Eigen::Vector3d(fit.position.x, fit.position.y, fit.position.z) -
                                frame.origin,
                            Eigen::Vector3d(fit.direction.x, fit.direction.y, fit.direction.z));
}

TMinimaxFit Cylinder_Result(const TCylinderFrame &frame, TCriterion criterion,
                            const TCandidate &best, int iterations)
{
    TMinimaxFit fit;
    fit.iterations = iterations;
    if (!best.certified) {
        fit.failure = "not certified: " + best.failure;
        return fit;
    }
    TChebyshevRows rows;
    frame.model.Rows(best.axis, frame.local, rows);
    Fill_Zone(rows.distance, criterion, frame.tolerance, fit);
    const Eigen::Vector3d &axis = best.axis.frame.axis;
    const Eigen::Vector3d anchor = best.axis.anchor;
    fit.position = To_Vector3(frame.origin + anchor + axis * axis.dot(frame.centroid - anchor));
    fit.direction = To_Vector3(Signed_Direction(axis));
    fit.fitted = true;
    return fit;
}

// The search's starts: the least-squares axis, the principal directions,
// the spread and the caller's, each with the algebraic cylinder of its
// direction as its axis point.
std::vector<TAxis> Starts(const std::vector<TVector3> &points, const TCylinderFrame &frame,
                          const TPointSpread &spread, const TMinimaxFit *start)
{
    std::vector<TAxis> starts;
    const TFit least = Fit_Cylinder(points);
    if (least.fitted) {
        TMinimaxFit as_start;
        as_start.position = least.position;
        as_start.direction = least.direction;
        starts.push_back(Axis_Of(frame, as_start));
    }
    if (start != nullptr && Usable(*start)) {
        starts.push_back(Axis_Of(frame, *start));
    }
    std::vector<Eigen::Vector3d> directions;
    for (int i = 0; i < 3; ++i) {
        directions.push_back(spread.axes.col(i));
    }
    for (const Eigen::Vector3d &direction : Hemisphere_Directions(Spread_Axes)) {
        directions.push_back(spread.axes * direction);
    }
    const std::vector<Eigen::Vector3d> sample = Evenly_Spaced(frame.local, 4000);
    for (const Eigen::Vector3d &direction : directions) {
        const TAxisFrame axis_frame = Axis_Frame(direction);
        const TAxialStart axial = Axial_Start(sample, axis_frame, false);
        starts.push_back(
            TAxisModel::Make(axial.found ? axial.anchor : Eigen::Vector3d::Zero(), direction));
    }
    return starts;
}

TMinimaxFit Cylinder_Fit(const std::vector<TVector3> &points, TCriterion criterion, TZoneGoal goal,
                         const TMinimaxFit *start)
{
    TMinimaxFit fit;
    TPointSpread spread;
    fit.failure = Unfit_Reason(
        points, static_cast<size_t>(Least_Minimax_Points(TFeatureType::CYLINDER, criterion)),
        "a cylinder", 3, spread);
    if (!fit.failure.empty()) {
        return fit;
    }
    const TCylinderFrame frame = Cylinder_Frame(points, spread);
    const std::vector<TAxis> starts = Starts(points, frame, spread, start);
    // The least-squares and the caller's starts always go on; of the rest
    // the best on the subsample.
    const std::size_t own = starts.size() - Spread_Axes - 3;
    const std::vector<Eigen::Vector3d> sample = Evenly_Spaced(frame.local, Screening_Points);
    std::vector<TCandidate> screened;
    int iterations = 0;
    // Ranked by the goal on all points: a subsample can miss the few points
    // that make a zone wide.
    Eigen::VectorXd distance(static_cast<Eigen::Index>(frame.local.size()));
    for (const TAxis &axis : starts) {
        screened.push_back(Refine_Axis(frame, sample, goal, axis, Screening_Steps, false));
        iterations += screened.back().iterations;
        if (std::isfinite(screened.back().value)) {
            for (std::size_t i = 0; i < frame.local.size(); ++i) {
                distance(static_cast<Eigen::Index>(i)) =
                    TAxisModel::Distance(screened.back().axis, frame.local[i]);
            }
            screened.back().value = Zone_Value(distance, goal);
        }
    }
    std::vector<std::size_t> order;
    for (std::size_t i = own; i < screened.size(); ++i) {
        order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return screened[a].value < screened[b].value;
    });
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < own; ++i) {
        kept.push_back(i);
    }
    for (std::size_t i = 0; i < order.size() && i < Kept_Starts; ++i) {
        kept.push_back(order[i]);
    }
    TCandidate best;
    TCandidate first_failure;
    for (std::size_t i : kept) {
        const TCandidate candidate =
            Refine_Axis(frame, frame.local, goal, screened[i].axis, 200, true);
        iterations += candidate.iterations;
        if (candidate.certified && candidate.value < best.value) {
            best = candidate;
        } else if (!candidate.certified && first_failure.failure.empty()) {
            first_failure = candidate;
        }
    }
    if (!best.certified) {
        best = first_failure;
    }
    return Cylinder_Result(frame, criterion, best, iterations);
}

} // namespace

TMinimaxFit Fit_Minimax_Cylinder(const std::vector<TVector3> &points, TCriterion criterion,
                                 const TMinimaxFit *start)
{
    TZoneGoal goal;
    TMinimaxFit fit;
    if (!Zone_Goal(criterion, goal)) {
        fit.failure = "least squares is no minimax criterion";
        return fit;
    }
    try {
        return Cylinder_Fit(points, criterion, goal, start);
    } catch (const std::bad_alloc &) {
        fit.failure = "out of memory";
        return fit;
    }
}

TMinimaxFit Refine_Minimax_Cylinder(const std::vector<TVector3> &points, TCriterion criterion,
                                    const TMinimaxFit &start)
{
    TZoneGoal goal;
    TMinimaxFit fit;
    if (!Zone_Goal(criterion, goal)) {
        fit.failure = "least squares is no minimax criterion";
        return fit;
    }
    try {
        TPointSpread spread;
        fit.failure = Unfit_Reason(
            points, static_cast<size_t>(Least_Minimax_Points(TFeatureType::CYLINDER, criterion)),
            "a cylinder", 3, spread);
        if (!fit.failure.empty()) {
            return fit;
        }
        if (!Usable(start)) {
            fit.failure = "no usable start";
            return fit;
        }
        const TCylinderFrame frame = Cylinder_Frame(points, spread);
        const TCandidate candidate =
            Refine_Axis(frame, frame.local, goal, Axis_Of(frame, start), 200, true);
        return Cylinder_Result(frame, criterion, candidate, candidate.iterations);
    } catch (const std::bad_alloc &) {
        fit.failure = "out of memory";
        return fit;
    }
}

std::string Minimax_Cylinder_Certificate(const std::vector<TVector3> &points, TCriterion criterion,
                                         const TMinimaxFit &fit)
{
    TZoneGoal goal;
    if (!Zone_Goal(criterion, goal)) {
        return "least squares is no minimax criterion";
    }
    try {
        TPointSpread spread;
        const std::string unfit = Unfit_Reason(
            points, static_cast<size_t>(Least_Minimax_Points(TFeatureType::CYLINDER, criterion)),
            "a cylinder", 3, spread);
        if (!unfit.empty()) {
            return unfit;
        }
        if (!Usable(fit)) {
            return "no axis";
        }
        const TCylinderFrame frame = Cylinder_Frame(points, spread);
        TChebyshevRows rows;
        frame.model.Rows(Axis_Of(frame, fit), frame.local, rows);
        const std::string mismatch = Zone_Mismatch(rows.distance, criterion, frame.tolerance, fit);
        if (!mismatch.empty()) {
            return mismatch;
        }
        return Chebyshev_Certificate(rows, goal, frame.scale, frame.tolerance, true);
    } catch (const std::bad_alloc &) {
        return "out of memory";
    }
}
