#include "fitting/minimax_fit.h"

#include "fitting/centre_search.h"
#include "fitting/chebyshev_certificate.h"
#include "fitting/chebyshev_descent.h"
#include "fitting/enclosing_sphere.h"
#include "fitting/least_squares_fit.h"
#include "fitting/minimax_models.h"
#include "fitting/minimax_zone.h"
#include "fitting/point_spread.h"

#include <new>

namespace {

// The half-spaces of 64 directions that hold the points: the hull's outer
// bound that the search of an inscribed centre keeps to.
void Hull_Bounds(const std::vector<Eigen::Vector3d> &points, TCentreDomain &domain)
{
    for (const Eigen::Vector3d &direction : Hemisphere_Directions(32)) {
        for (double sign : {1.0, -1.0}) {
            const Eigen::Vector3d u = sign * direction;
            double support = -HUGE_VAL;
            for (const Eigen::Vector3d &p : points) {
                support = std::max(support, u.dot(p));
            }
            domain.normals.push_back(u);
            domain.supports.push_back(support);
        }
    }
}

bool Inside_Bounds(const TCentreDomain &domain, const Eigen::Vector3d &centre)
{
    for (std::size_t j = 0; j < domain.normals.size(); ++j) {
        if (domain.normals[j].dot(centre) > domain.supports[j]) {
            return false;
        }
    }
    return true;
}

struct TSphereFrame
{
    Eigen::Vector3d origin;
    std::vector<Eigen::Vector3d> local;
    double scale = 0;
    double tolerance = 0;
};

TSphereFrame Sphere_Frame(const std::vector<TVector3> &points, const TPointSpread &spread)
{
    TCentredPoints centred = Centred_Points(points, spread.centroid);
    TSphereFrame frame;
    frame.origin = centred.origin;
    frame.local = std::move(centred.local);
    frame.scale = centred.spread;
    frame.tolerance = Contact_Tolerance(frame.scale);
    return frame;
}

// The global search of a zone's or an inscribed sphere's centre from the
// least-squares sphere; false with the failure when it does not end.
bool Search_Sphere(const std::vector<TVector3> &points, const TSphereFrame &frame, TZoneGoal goal,
                   Eigen::Vector3d &centre, TMinimaxFit &fit)
{
    const TSphereCentreModel model;
    const TFit least = Fit_Sphere(points);
    Eigen::Vector3d start = Eigen::Vector3d::Zero();
    if (least.fitted) {
        start =
            Eigen::Vector3d(least.position.x, least.position.y, least.position.z) - frame.origin;
    }
    TCentreDomain domain;
    if (goal == TZoneGoal::ZONE) {
        domain.middle = start;
        domain.half_side = least.fitted ? least.diameter / 2 : frame.scale;
    } else {
        Eigen::Vector3d low = frame.local.front();
        Eigen::Vector3d high = low;
        for (const Eigen::Vector3d &p : frame.local) {
            low = low.cwiseMin(p);
            high = high.cwiseMax(p);
        }
        domain.middle = (low + high) / 2;
        domain.half_side = (high - low).maxCoeff() / 2;
        Hull_Bounds(frame.local, domain);
    }
    int iterations = 0;
    const TCentreRefine refine = [&](const Eigen::Vector3d &from, Eigen::Vector3d &to,
                                     double &value) {
        const TChebyshevDescent<Eigen::Vector3d> descent =
            Descend_Chebyshev(model, frame.local, goal, from, frame.scale);
        iterations += descent.iterations;
        if (!descent.converged ||
            (goal == TZoneGoal::INNER && !Inside_Bounds(domain, descent.state))) {
            return false;
        }
        to = descent.state;
        value = descent.value;
        return true;
    };
    Eigen::Vector3d best = start;
    double value = HUGE_VAL;
    if (!refine(start, best, value)) {
        best = start;
        value = HUGE_VAL;
    }
    std::vector<Eigen::Vector3d> subset = Evenly_Spaced(frame.local, 2000);
    if (std::isfinite(value)) {
        // The optimum's own extreme points, so that the subset's goal there is the whole set's.
        TChebyshevRows rows;
        model.Rows(best, frame.local, rows);
        TMinimaxFit zone;
        Fill_Zone(rows.distance,
                  goal == TZoneGoal::ZONE ? TCriterion::MINIMUM_ZONE
                                          : TCriterion::MAXIMUM_INSCRIBED,
                  frame.tolerance, zone);
        for (int i : zone.outer_contacts) {
            subset.push_back(frame.local[static_cast<std::size_t>(i)]);
        }
        for (int i : zone.inner_contacts) {
            subset.push_back(frame.local[static_cast<std::size_t>(i)]);
        }
    }
    const double margin =
        std::max(goal == TZoneGoal::ZONE ? 1e-3 * value : 1e-6 * -value, frame.tolerance);
    const TCentreSearch search =
        Search_Centres(frame.local, subset, goal, domain, best, value,
                       std::isfinite(margin) ? margin : frame.scale, refine);
    fit.iterations = iterations;
    if (!search.finished) {
        fit.failure = "not certified: " + search.failure;
        if (goal == TZoneGoal::INNER) {
            fit.failure += " (the largest empty sphere's centre leaves the points' hull)";
        }
        return false;
    }
    if (!std::isfinite(search.value)) {
        fit.failure = goal == TZoneGoal::INNER
                          ? "not certified: no inscribed sphere with its centre inside the hull"
                          : "no convergence";
        return false;
    }
    centre = search.centre;
    return true;
}

TMinimaxFit Sphere_Fit(const std::vector<TVector3> &points, TCriterion criterion, TZoneGoal goal)
{
    TMinimaxFit fit;
    TPointSpread spread;
    fit.failure = Unfit_Reason(
        points, static_cast<size_t>(Least_Minimax_Points(TFeatureType::SPHERE, criterion)),
        "a sphere", criterion == TCriterion::MINIMUM_CIRCUMSCRIBED ? 1 : 3, spread);
    if (!fit.failure.empty()) {
        return fit;
    }
    const TSphereFrame frame = Sphere_Frame(points, spread);
    Eigen::Vector3d centre;
    if (goal == TZoneGoal::OUTER) {
        centre = Enclosing_Sphere(frame.local, frame.tolerance).centre;
    } else if (!Search_Sphere(points, frame, goal, centre, fit)) {
        return fit;
    }
    TChebyshevRows rows;
    TSphereCentreModel().Rows(centre, frame.local, rows);
    const std::string reason =
        Chebyshev_Certificate(rows, goal, frame.scale, frame.tolerance, false);
    if (!reason.empty()) {
        fit.failure = "not certified: " + reason;
        return fit;
    }
    Fill_Zone(rows.distance, criterion, frame.tolerance, fit);
    fit.position = To_Vector3(frame.origin + centre);
    fit.direction = TVector3();
    fit.fitted = true;
    return fit;
}

} // namespace

TMinimaxFit Fit_Minimax_Sphere(const std::vector<TVector3> &points, TCriterion criterion)
{
    TZoneGoal goal;
    if (!Zone_Goal(criterion, goal)) {
        TMinimaxFit fit;
        fit.failure = "least squares is no minimax criterion";
        return fit;
    }
    try {
        return Sphere_Fit(points, criterion, goal);
    } catch (const std::bad_alloc &) {
        TMinimaxFit fit;
        fit.failure = "out of memory";
        return fit;
    }
}

std::string Minimax_Sphere_Certificate(const std::vector<TVector3> &points, TCriterion criterion,
                                       const TMinimaxFit &fit)
{
    TZoneGoal goal;
    if (!Zone_Goal(criterion, goal)) {
        return "least squares is no minimax criterion";
    }
    try {
        TPointSpread spread;
        const std::string unfit = Unfit_Reason(
            points, static_cast<size_t>(Least_Minimax_Points(TFeatureType::SPHERE, criterion)),
            "a sphere", 1, spread);
        if (!unfit.empty()) {
            return unfit;
        }
        const TSphereFrame frame = Sphere_Frame(points, spread);
        const Eigen::Vector3d centre =
            Eigen::Vector3d(fit.position.x, fit.position.y, fit.position.z) - frame.origin;
        TChebyshevRows rows;
        TSphereCentreModel().Rows(centre, frame.local, rows);
        const std::string mismatch = Zone_Mismatch(rows.distance, criterion, frame.tolerance, fit);
        if (!mismatch.empty()) {
            return mismatch;
        }
        return Chebyshev_Certificate(rows, goal, frame.scale, frame.tolerance, false);
    } catch (const std::bad_alloc &) {
        return "out of memory";
    }
}
