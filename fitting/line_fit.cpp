#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"

TFit Fit_Line(const std::vector<TVector3> &points)
{
    TFit fit;
    if (points.size() < 2) {
        fit.failure = "too few points: a line needs at least 2";
        return fit;
    }
    const TPointSpread spread = Point_Spread(points);
    if (!spread.failure.empty()) {
        fit.failure = spread.failure;
    } else if (spread.Coincident()) {
        fit.failure = "coincident points";
    } else {
        fit.fitted = true;
        fit.position = To_Vector3(spread.centroid);
        fit.direction = To_Vector3(Signed_Direction(spread.axes.col(0)));
    }
    return fit;
}
