#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"
#include "fitting/round_fit.h"

TFit Fit_Sphere(const std::vector<TVector3> &points)
{
    TFit fit;
    if (points.size() < 4) {
        fit.failure = "too few points: a sphere needs at least 4";
        return fit;
    }
    const TPointSpread spread = Point_Spread(points);
    if (!spread.failure.empty()) {
        fit.failure = spread.failure;
        return fit;
    }
    if (spread.Coincident()) {
        fit.failure = "coincident points";
        return fit;
    }
    if (spread.Collinear()) {
        fit.failure = "collinear points";
        return fit;
    }
    if (spread.Coplanar()) {
        fit.failure = "coplanar points";
        return fit;
    }

    std::vector<Eigen::Vector3d> centred;
    centred.reserve(points.size());
    for (const TVector3 &p : points) {
        centred.push_back(Eigen::Vector3d(p.x, p.y, p.z) - spread.centroid);
    }
    const TRoundFit<3> sphere = Fit_Round<3>(centred, "coplanar points");
    fit.iterations = sphere.iterations;
    if (!sphere.fitted) {
        fit.failure = sphere.failure;
        return fit;
    }
    fit.fitted = true;
    fit.position = To_Vector3(spread.centroid + sphere.centre);
    fit.diameter = 2 * sphere.radius;
    return fit;
}
