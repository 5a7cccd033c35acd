#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"
#include "fitting/round_fit.h"

TFit Fit_Circle(const std::vector<TVector3> &points)
{
    TFit fit;
    TPointSpread spread;
    // The projection onto the least-squares plane spreads as much as the
    // points do along its two axes, so "collinear" is also "collinear in
    // the plane".
    fit.failure = Unfit_Reason(points, 3, "a circle", 2, spread);
    if (!fit.failure.empty())
        return fit;

    // Coordinates in the least-squares plane, about the centroid.
    const Eigen::Vector3d u = spread.axes.col(0);
    const Eigen::Vector3d v = spread.axes.col(1);
    std::vector<Eigen::Vector2d> in_plane;
    in_plane.reserve(points.size());
    for (const TVector3 &p : points) {
        const Eigen::Vector3d offset = Eigen::Vector3d(p.x, p.y, p.z) - spread.centroid;
        in_plane.emplace_back(u.dot(offset), v.dot(offset));
    }
    const TRoundFit<2> circle = Fit_Round<2>(in_plane, "collinear points");
    fit.iterations = circle.iterations;
    if (!circle.fitted) {
        fit.failure = circle.failure;
        return fit;
    }
    fit.fitted = true;
    fit.position = To_Vector3(spread.centroid + u * circle.centre.x() + v * circle.centre.y());
    fit.direction = To_Vector3(Signed_Direction(spread.axes.col(2)));
    fit.diameter = 2 * circle.radius;
    return fit;
}
