#include "grading/reference_uncertainty.h"

#include "conversion/number_format.h"
#include "fitting/feature_fit.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

double As_Written(double value)
{
    char text[MAX_FIXED_LENGTH];
    char *const end = Write_Fixed(text, value, POINT_DECIMALS);
    double read = value;
    std::from_chars(text, end, read);
    return read;
}

// |d| of each quantity of b against a; empty when either fit is missing.
std::vector<double> Difference(TFeatureType type, const TFit &a, const TFit &b,
                               const std::vector<TVector3> &points)
{
    if (!a.fitted || !b.fitted)
        return {};
    TFitValues first, second;
    first.position = a.position;
    first.direction = a.direction;
    first.diameter = a.diameter;
    second.position = b.position;
    second.direction = b.direction;
    second.diameter = b.diameter;
    const TFeatureGrade grade = Grade_Feature(QString(), type, first, second, points, TMpe());
    std::vector<double> difference;
    for (const TQuantityGrade &quantity : grade.quantities)
        difference.push_back(std::fabs(quantity.deviation));
    return difference;
}

// The points as the program writes them: every coordinate to 6 decimals.
std::vector<TVector3> Points_As_Written(const std::vector<TVector3> &points)
{
    std::vector<TVector3> written;
    written.reserve(points.size());
    for (const TVector3 &p : points)
        written.emplace_back(As_Written(p.x), As_Written(p.y), As_Written(p.z));
    return written;
}

} // namespace

TReferenceUncertainty Reference_Uncertainty(TFeatureType type, const std::vector<TVector3> &points)
{
    TReferenceUncertainty uncertainty;
    const bool rounded = std::any_of(points.begin(), points.end(), [](const TVector3 &p) {
        return !(As_Written(p.x) == p.x && As_Written(p.y) == p.y && As_Written(p.z) == p.z);
    });
    const bool circle = type == TFeatureType::CIRCLE;
    if (!rounded && !circle)
        return uncertainty;
    const TFit fit = Fit_Feature(type, points);
    if (rounded)
        uncertainty.rounding =
            Difference(type, fit, Fit_Feature(type, Points_As_Written(points)), points);
    if (circle)
        uncertainty.definition = Difference(type, fit, Fit_Circle_Orthogonal(points), points);
    return uncertainty;
}
