#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"

TFit Fit_Plane(const std::vector<TVector3> &points)
{
    TFit fit;
    if (points.size() < 3) {
        fit.failure = "too few points: a plane needs at least 3";
        return fit;
    }
    const TPointSpread spread = Point_Spread(points);
    if (!spread.failure.empty()) {
        fit.failure = spread.failure;
    } else if (spread.Coincident()) {
        fit.failure = "coincident points";
    } else if (spread.Collinear()) {
        fit.failure = "collinear points";
    } else {
        fit.fitted = true;
        fit.position = To_Vector3(spread.centroid);
        fit.direction = To_Vector3(Signed_Direction(spread.axes.col(2)));
    }
    return fit;
}
