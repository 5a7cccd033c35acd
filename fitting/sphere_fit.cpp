#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"
#include "fitting/round_fit.h"

TFit Fit_Sphere(const std::vector<TVector3> &points)
{
    TFit fit;
    TPointSpread spread;
    fit.failure = Unfit_Reason(points, 4, "a sphere", 3, spread);
    if (!fit.failure.empty())
        return fit;

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
