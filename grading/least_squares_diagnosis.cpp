#include "grading/least_squares_diagnosis.h"

#include "core/vector_measures.h"
#include "fitting/least_squares_fit.h"

#include <algorithm>
#include <cmath>

namespace {

// The points' distances from the least-squares element, signed for lines
// and planes; lines and circles in the reference's stated plane. Empty
// when the fit cannot be made.
std::vector<double> Least_Squares_Distances(const TReferenceFeature &feature, TFeatureType type)
{
    std::vector<TVector3> points = feature.points;
    const bool in_plane = type == TFeatureType::LINE || type == TFeatureType::CIRCLE;
    if (in_plane) {
        TVector3 normal = type == TFeatureType::LINE ? feature.plane_normal : feature.direction;
        if (!(Length(normal) > 0))
            return {};
        normal /= Length(normal);
        for (TVector3 &p : points)
            p = p - normal * (normal ^ (p - feature.position));
    }
    TFit fit;
    switch (type) {
    case TFeatureType::LINE:
        fit = Fit_Line(points);
        break;
    case TFeatureType::PLANE:
        fit = Fit_Plane(points);
        break;
    case TFeatureType::CIRCLE:
        fit = Fit_Circle(points);
        break;
    case TFeatureType::SPHERE:
        fit = Fit_Sphere(points);
        break;
    case TFeatureType::CYLINDER:
        fit = Fit_Cylinder(points);
        break;
    default:
        return {};
    }
    if (!fit.fitted)
        return {};
    std::vector<double> distances;
    distances.reserve(points.size());
    for (const TVector3 &p : points) {
        const TVector3 offset = p - fit.position;
        switch (type) {
        case TFeatureType::PLANE:
            distances.push_back(fit.direction ^ offset);
            break;
        case TFeatureType::LINE: {
            // Across the line, within its plane.
            TVector3 across = feature.plane_normal * fit.direction;
            across /= Length(across);
            distances.push_back(across ^ offset);
            break;
        }
        case TFeatureType::CYLINDER:
            distances.push_back(Length(offset * fit.direction));
            break;
        default:
            distances.push_back(Length(offset));
            break;
        }
    }
    return distances;
}

QString Millimetres(double value)
{
    return Fixed_Text(value, 6) + QStringLiteral(" mm");
}

bool Failed(const TFeatureGrade &grade, TQuantity quantity)
{
    for (const TQuantityGrade &each : grade.quantities)
        if (each.quantity == quantity)
            return each.verdict == TVerdict::FAIL;
    return false;
}

} // namespace

QString Least_Squares_Diagnosis(const TReferenceFeature &feature, TFeatureType type,
                                TCriterion criterion, const TFeatureGrade &grade,
                                double tested_diameter, double tested_form, const TMpe &mpe)
{
    const TQuantity quantity =
        criterion == TCriterion::MINIMUM_ZONE ? TQuantity::FORM : TQuantity::SIZE;
    if (!Failed(grade, quantity))
        return QString();
    const std::vector<double> distances = Least_Squares_Distances(feature, type);
    if (distances.empty())
        return QString();
    const auto [low, high] = std::minmax_element(distances.begin(), distances.end());
    if (criterion == TCriterion::MINIMUM_ZONE) {
        const double range = *high - *low;
        if (!(std::fabs(tested_form - range) <= mpe.form))
            return QString();
        return QStringLiteral("%1: the form equals the range about the least-squares %2 (%3), "
                              "not the minimum zone (%4)")
            .arg(feature.label, QLatin1String(Feature_Type_Name(type)), Millimetres(range),
                 Millimetres(feature.form));
    }
    const QString element =
        type == TFeatureType::CYLINDER ? QStringLiteral("axis") : QStringLiteral("centre");
    const bool circumscribed = criterion == TCriterion::MINIMUM_CIRCUMSCRIBED;
    const double diameter = 2 * (circumscribed ? *high : *low);
    if (!(std::fabs(tested_diameter - diameter) <= mpe.size))
        return QString();
    return QStringLiteral("%1: the diameter equals the one about the least-squares %2 (%3), not "
                          "the %4 one (%5)")
        .arg(feature.label, element, Millimetres(diameter),
             circumscribed ? QStringLiteral("minimum circumscribed")
                           : QStringLiteral("maximum inscribed"),
             Millimetres(feature.diameter));
}
