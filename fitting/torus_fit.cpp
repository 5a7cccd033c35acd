#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"
#include "fitting/surface_fit.h"
#include "fitting/surface_start.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// How many of the screened starts are iterated to the end: few, for the
// cost of large sets.
constexpr std::size_t Kept_Starts = 2;
// Steps of a screened start: enough to tell a start in the right basin (it
// falls by orders of magnitude) from one in another.
constexpr int Screening_Steps = 12;

// A torus about the exact origin near the points' centroid: centre, axis,
// major radius (of the circle of the tube's centres) and minor radius (of
// the tube). The distance of a point from it is its distance from that
// circle less the minor radius. A step moves the torus (3), turns it about
// the two directions across its axis through the origin (2, as lengths: how
// far a point at turn_length moves) and changes the two radii (2); turning
// about the centroid rather than the centre keeps a part of a torus near
// its points.
struct TTorusModel
{
    static constexpr int Parameters = 7;
    struct TState
    {
        Eigen::Vector3d centre;
        TAxisFrame frame;
        double major = 0;
        double minor = 0;
    };
    using TRow = Eigen::Matrix<double, 1, Parameters + 1>;
    using TStep = Eigen::Matrix<double, Parameters, 1>;

    double turn_length = 1;

    static TState Make(const Eigen::Vector3d &centre, const Eigen::Vector3d &axis, double major,
                       double minor)
    {
        TState state;
        state.centre = centre;
        state.frame = Axis_Frame(axis);
        state.major = major;
        state.minor = minor;
        return state;
    }

    double Residual(const TState &s, const Eigen::Vector3d &p) const
    {
        const Eigen::Vector3d v = p - s.centre;
        const double height = v.dot(s.frame.axis);
        const double radial = (v - height * s.frame.axis).norm() - s.major;
        return std::sqrt(radial * radial + height * height) - s.minor;
    }

    // A move by t acts as moving the point by -t, a turn by w about the
    // origin as moving it by -w x p; the residual's gradient by the point is
    // the unit vector from the nearest point of the circle of centres.
    void Row(const TState &s, const Eigen::Vector3d &p, TRow &row) const
    {
        const Eigen::Vector3d v = p - s.centre;
        const double height = v.dot(s.frame.axis);
        const Eigen::Vector3d out = v - height * s.frame.axis;
        const double distance = out.norm();
        const Eigen::Vector3d unit =
            distance > 0 ? Eigen::Vector3d(out / distance) : Eigen::Vector3d::Zero();
        const double radial = distance - s.major;
        const double tube = std::sqrt(radial * radial + height * height);
        const Eigen::Vector3d gradient =
            tube > 0 ? Eigen::Vector3d((radial * unit + height * s.frame.axis) / tube)
                     : Eigen::Vector3d::Zero();
        const Eigen::Vector3d moment = p.cross(gradient);
        row.head<3>() = -gradient.transpose();
        row(3) = -moment.dot(s.frame.across_1) / turn_length;
        row(4) = -moment.dot(s.frame.across_2) / turn_length;
        row(5) = tube > 0 ? -radial / tube : 0;
        row(6) = -1;
        row(7) = tube - s.minor;
    }

    TState Moved(const TState &s, const TStep &step) const
    {
        const Eigen::Matrix3d turn =
            Turn((s.frame.across_1 * step(3) + s.frame.across_2 * step(4)) / turn_length);
        return Make(turn * s.centre + step.head<3>(), turn * s.frame.axis, s.major + step(5),
                    s.minor + step(6));
    }

    bool Same(const TState &a, const TState &b) const
    {
        return a.centre == b.centre && a.frame.axis == b.frame.axis && a.major == b.major &&
               a.minor == b.minor;
    }

    double Scale(const TState &s) const
    {
        return s.centre.norm() + std::abs(s.major) + std::abs(s.minor) + turn_length;
    }
};

struct TScreened
{
    TTorusModel::TState state;
    double cost = HUGE_VAL;
};

// A start iterated a few steps on a few points, ranked by the sum of
// squares it then reaches.
TScreened Screen(const TTorusModel &model, const std::vector<Eigen::Vector3d> &points,
                 const TTorusModel::TState &start)
{
    using TState = TTorusModel::TState;
    using TStep = TTorusModel::TStep;
    const TLevenbergResult<TState> iterated = Levenberg_Marquardt<TTorusModel::Parameters>(
        start, points.size(),
        [&](const TState &at, const TState &before) {
            return Evaluate_Surface(model, points, at, before);
        },
        [&](const TState &at, const TStep &step) { return model.Moved(at, step); },
        [&](const TState &a, const TState &b) { return model.Same(a, b); },
        [&](const TState &at) { return model.Scale(at); }, Screening_Steps);
    TScreened screened{iterated.state};
    double cost = 0;
    for (const Eigen::Vector3d &p : points) {
        const double residual = model.Residual(iterated.state, p);
        cost += residual * residual;
    }
    if (std::isfinite(cost) && iterated.state.minor > 0 && iterated.state.major > 0)
        screened.cost = cost;
    return screened;
}

// The starts: the axis along each of the points' principal directions (the
// least spread for a ring, another for a short arc round the axis), and the
// algebraic torus of any axis, for sectors of fat tori whose points' spread
// shows their axis poorly and whose circle seen along it is far off. Where
// much form hides even that, the centre is sought about each of these axes:
// on either side of the points, across either way, at a few distances,
// each such start iterated a few steps on a few points and the best few
// going on with the others.
std::vector<TTorusModel::TState> Torus_Starts(const TTorusModel &model,
                                              const std::vector<Eigen::Vector3d> &local,
                                              const TPointSpread &spread)
{
    std::vector<TTorusModel::TState> starts;
    const std::vector<Eigen::Vector3d> sample = Evenly_Spaced(local, 4000);
    std::vector<Eigen::Vector3d> axes;
    for (int i = 0; i < 3; ++i) {
        const TAxisFrame frame = Axis_Frame(spread.axes.col(i));
        axes.push_back(frame.axis);
        const TTorusStart torus = Torus_Start(sample, frame);
        if (torus.found) {
            starts.push_back(TTorusModel::Make(torus.centre, frame.axis, torus.major, torus.minor));
        }
    }
    Eigen::Vector3d axis;
    const TTorusStart algebraic = Torus_Algebraic_Start(sample, axis);
    if (algebraic.found) {
        axes.push_back(axis);
        starts.push_back(
            TTorusModel::Make(algebraic.centre, axis, algebraic.major, algebraic.minor));
    }
    const std::vector<Eigen::Vector3d> few = Evenly_Spaced(local, 150);
    std::vector<TScreened> screened;
    for (const Eigen::Vector3d &direction : axes) {
        const TAxisFrame frame = Axis_Frame(direction);
        for (const Eigen::Vector3d &across : {frame.across_1, frame.across_2}) {
            for (double side : {-1.0, 1.0}) {
                for (double distance : {0.5, 1.0, 2.0}) {
                    const TTorusStart torus =
                        Section_Start(few, frame, side * distance * model.turn_length * across);
                    if (!torus.found)
                        continue;
                    const TScreened one = Screen(
                        model, few,
                        TTorusModel::Make(torus.centre, frame.axis, torus.major, torus.minor));
                    if (one.cost < HUGE_VAL)
                        screened.push_back(one);
                }
            }
        }
    }
    const std::size_t kept = std::min<std::size_t>(Kept_Starts, screened.size());
    std::partial_sort(screened.begin(), screened.begin() + static_cast<std::ptrdiff_t>(kept),
                      screened.end(),
                      [](const TScreened &a, const TScreened &b) { return a.cost < b.cost; });
    for (std::size_t i = 0; i < kept; ++i)
        starts.push_back(screened[i].state);
    return starts;
}

} // namespace

TFit Fit_Torus(const std::vector<TVector3> &points, const TFit *start)
{
    TFit fit;
    TPointSpread spread;
    fit.failure = Unfit_Reason(points, 7, "a torus", 3, spread);
    if (!fit.failure.empty())
        return fit;

    const TCentredPoints centred = Centred_Points(points, spread.centroid);
    const Eigen::Vector3d &origin = centred.origin;
    const std::vector<Eigen::Vector3d> &local = centred.local;
    TTorusModel model;
    model.turn_length = centred.spread;

    std::vector<TTorusModel::TState> starts = Torus_Starts(model, local, spread);
    if (start != nullptr && Usable_Start(*start) && start->minor_diameter > 0) {
        starts.push_back(TTorusModel::Make(
            Eigen::Vector3d(start->position.x, start->position.y, start->position.z) - origin,
            Eigen::Vector3d(start->direction.x, start->direction.y, start->direction.z),
            start->diameter / 2, start->minor_diameter / 2));
    }
    const TSurfaceResult<TTorusModel> result =
        Fit_Surface(model, local, starts,
                    start != nullptr && Usable_Start(*start) && start->minor_diameter > 0);
    fit.iterations = result.iterations;
    if (!result.converged) {
        fit.failure = "no convergence";
        return fit;
    }
    fit.fitted = true;
    fit.position = To_Vector3(origin + result.state.centre);
    fit.direction = To_Vector3(Signed_Direction(result.state.frame.axis));
    fit.diameter = 2 * std::abs(result.state.major);
    fit.minor_diameter = 2 * std::abs(result.state.minor);
    return fit;
}
