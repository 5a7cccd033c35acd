#include "grading/minimax_reference.h"

#include "grading/reference_uncertainty.h"

#include <cmath>

TMinimaxFit Fit_Minimax_Feature(TFeatureType type, TCriterion criterion,
                                const TReferenceFeature &feature,
                                const std::vector<TVector3> &points)
{
    switch (type) {
    case TFeatureType::LINE:
        return Fit_Minimax_Line(points, feature.position, feature.plane_normal);
    case TFeatureType::PLANE:
        return Fit_Minimax_Plane(points);
    case TFeatureType::CIRCLE:
        return Fit_Minimax_Circle(points, feature.position, feature.direction, criterion);
    case TFeatureType::SPHERE:
        return Fit_Minimax_Sphere(points, criterion);
    case TFeatureType::CYLINDER: {
        // The stated result is one start of the search among its own.
        TMinimaxFit stated;
        stated.fitted = true;
        stated.position = feature.position;
        stated.direction = feature.direction;
        stated.diameter = feature.diameter;
        stated.form = feature.form;
        return Fit_Minimax_Cylinder(points, criterion, &stated);
    }
    default:
        break;
    }
    TMinimaxFit none;
    none.failure = "no minimax fit of this type";
    return none;
}

TFitValues Values_Of_Minimax(const TMinimaxFit &fit)
{
    TFitValues values;
    values.position = fit.position;
    values.direction = fit.direction;
    values.diameter = fit.diameter;
    return values;
}

TReferenceUncertainty Minimax_Reference_Uncertainty(TFeatureType type, TCriterion criterion,
                                                    const TReferenceFeature &feature)
{
    TReferenceUncertainty uncertainty;
    if (!Moved_By_Writing(feature.points))
        return uncertainty;
    const TMinimaxFit fit = Fit_Minimax_Feature(type, criterion, feature, feature.points);
    const TMinimaxFit written =
        Fit_Minimax_Feature(type, criterion, feature, Points_As_Written(feature.points));
    if (!fit.fitted || !written.fitted) {
        for (const TQuantity quantity : Quantities_Of(type, criterion))
            uncertainty.rounding[quantity] = NAN;
        uncertainty.unknown << QStringLiteral("the reference rounding cannot be computed (%1)")
                                   .arg(QString::fromStdString(!fit.fitted ? fit.failure
                                                                           : written.failure));
        return uncertainty;
    }
    const TFeatureGrade grade = Grade_Feature(QString(), type, Values_Of_Minimax(fit),
                                              Values_Of_Minimax(written), feature.points, TMpe());
    for (const TQuantityGrade &quantity : grade.quantities)
        uncertainty.rounding[quantity.quantity] = std::fabs(quantity.deviation);
    if (criterion == TCriterion::MINIMUM_ZONE)
        uncertainty.rounding[TQuantity::FORM] = std::fabs(written.form - fit.form);
    return uncertainty;
}
