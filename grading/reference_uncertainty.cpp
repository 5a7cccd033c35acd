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

// |d| of each quantity of b against a; NaN for each when either fit is
// missing, with why in unknown.
TUncertaintyPart Difference(TFeatureType type, const TFit &a, const TFit &b,
                            const std::vector<TVector3> &points, const char *part,
                            QStringList &unknown)
{
    TUncertaintyPart difference;
    if (!a.fitted || !b.fitted) {
        for (const TQuantity quantity : Quantities_Of(type))
            difference[quantity] = NAN;
        const std::string &failure = !a.fitted ? a.failure : b.failure;
        unknown << QStringLiteral("the %1 cannot be computed (%2)")
                       .arg(QLatin1String(part), QString::fromStdString(failure));
        return difference;
    }
    const TFeatureGrade grade =
        Grade_Feature(QString(), type, Values_Of(a), Values_Of(b), points, TMpe());
    for (const TQuantityGrade &quantity : grade.quantities)
        difference[quantity.quantity] = std::fabs(quantity.deviation);
    if (grade.verdict == TVerdict::UNFIT) {
        for (const TQuantity quantity : Quantities_Of(type))
            difference[quantity] = NAN;
        unknown << QStringLiteral("the %1 cannot be computed (%2)")
                       .arg(QLatin1String(part), grade.note);
    }
    return difference;
}

} // namespace

std::vector<TVector3> Points_As_Written(const std::vector<TVector3> &points)
{
    std::vector<TVector3> written;
    written.reserve(points.size());
    for (const TVector3 &p : points)
        written.emplace_back(As_Written(p.x), As_Written(p.y), As_Written(p.z));
    return written;
}

bool Moved_By_Writing(const std::vector<TVector3> &points)
{
    return std::any_of(points.begin(), points.end(), [](const TVector3 &p) {
        return !(As_Written(p.x) == p.x && As_Written(p.y) == p.y && As_Written(p.z) == p.z);
    });
}

TReferenceUncertainty Reference_Uncertainty(TFeatureType type, const std::vector<TVector3> &points)
{
    return Reference_Uncertainty(type, points,
                                 {[](TFeatureType type_, const std::vector<TVector3> &points_) {
                                      return Fit_Feature(type_, points_);
                                  },
                                  Fit_Circle_Orthogonal});
}

TReferenceUncertainty Reference_Uncertainty(TFeatureType type, const std::vector<TVector3> &points,
                                            const TUncertaintyFits &fits)
{
    TReferenceUncertainty uncertainty;
    const bool rounded = Moved_By_Writing(points);
    const bool circle = type == TFeatureType::CIRCLE;
    if (!rounded && !circle)
        return uncertainty;
    const TFit fit = fits.fit(type, points);
    if (rounded)
        uncertainty.rounding = Difference(type, fit, fits.fit(type, Points_As_Written(points)),
                                          points, "reference rounding", uncertainty.unknown);
    if (circle)
        uncertainty.definition = Difference(type, fit, fits.circle_orthogonal(points), points,
                                            "reference definition", uncertainty.unknown);
    return uncertainty;
}
