#include "fitting/least_squares_fit.h"

#include "fitting/point_spread.h"

TFit Fit_Plane(const std::vector<TVector3> &points)
{
    TFit fit;
    TPointSpread spread;
    fit.failure = Unfit_Reason(points, 3, "a plane", 2, spread);
    if (fit.failure.empty()) {
        fit.fitted = true;
        fit.position = To_Vector3(spread.centroid);
        fit.direction = To_Vector3(Signed_Direction(spread.axes.col(2)));
    }
    return fit;
}
