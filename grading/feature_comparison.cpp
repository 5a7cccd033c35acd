#include "grading/feature_comparison.h"

#include "core/vector_measures.h"

#include <algorithm>
#include <cmath>

namespace {

const double SQRT_3 = std::sqrt(3.0);

// A unit vector, or false for a direction without length (or not finite).
bool Unit(const TVector3 &direction, TVector3 &unit)
{
    const double length = Length(direction);
    if (!(length > 0) || !std::isfinite(length))
        return false;
    unit = TVector3(direction.x / length, direction.y / length, direction.z / length);
    return true;
}

TQuantityGrade Quantity(TQuantity quantity, double deviation, double resolution, double mpe)
{
    return {quantity, deviation, resolution, mpe, Quantity_Verdict(deviation, resolution, mpe)};
}

// Largest deviation and largest spread of the points over the reference
// plane or line, compared where the data is.
struct TSpread
{
    double deviation = 0;
    double radius = 0; // largest |q_k - x_r|
};

TSpread Plane_Spread(const TVector3 &x_r, const TVector3 &n_r, const TVector3 &x_t,
                     const TVector3 &n_t, const std::vector<TVector3> &points)
{
    TSpread spread;
    for (const TVector3 &p : points) {
        const TVector3 q = p - n_r * (n_r ^ (p - x_r));
        spread.deviation = std::max(spread.deviation, std::fabs(n_t ^ (q - x_t)));
        spread.radius = std::max(spread.radius, Length(q - x_r));
    }
    return spread;
}

TSpread Line_Spread(const TVector3 &x_r, const TVector3 &n_r, const TVector3 &x_t,
                    const TVector3 &n_t, const std::vector<TVector3> &points)
{
    TSpread spread;
    for (const TVector3 &p : points) {
        const TVector3 q = x_r + n_r * (n_r ^ (p - x_r));
        spread.deviation = std::max(spread.deviation, Length((q - x_t) * n_t));
        spread.radius = std::max(spread.radius, Length(q - x_r));
    }
    return spread;
}

} // namespace

TVerdict Quantity_Verdict(double deviation, double resolution, double mpe)
{
    const double magnitude = std::fabs(deviation);
    if (magnitude + resolution <= mpe)
        return TVerdict::PASS;
    if (magnitude - resolution > mpe)
        return TVerdict::FAIL;
    // Also where a value is not a number: never a pass not measured.
    return TVerdict::INCONCLUSIVE;
}

TFeatureGrade Grade_Feature(const QString &label, TFeatureType type, const TFitValues &reference,
                            const TFitValues &tested, const std::vector<TVector3> &points,
                            const TMpe &mpe, const TReferenceUncertainty &uncertainty)
{
    TFeatureGrade grade{label, type, TVerdict::PASS, {}, {}};

    const double e_angle = SQRT_3 * tested.direction_resolution;
    double e_position = SQRT_3 * tested.position_resolution;
    if (type == TFeatureType::SPHERE) {
        grade.quantities.push_back(Quantity(TQuantity::POSITION,
                                            Length(tested.position - reference.position),
                                            e_position, mpe.position));
    } else {
        TVector3 n_r, n_t;
        if (!Unit(reference.direction, n_r) || !Unit(tested.direction, n_t)) {
            grade.verdict = TVerdict::UNFIT;
            grade.note = !Unit(reference.direction, n_r)
                             ? QStringLiteral("the reference direction has no length")
                             : QStringLiteral("the tested direction has no length");
            return grade;
        }
        if (type == TFeatureType::CIRCLE) {
            grade.quantities.push_back(Quantity(TQuantity::POSITION,
                                                Length(tested.position - reference.position),
                                                e_position, mpe.position));
        } else {
            const TSpread spread =
                type == TFeatureType::PLANE
                    ? Plane_Spread(reference.position, n_r, tested.position, n_t, points)
                    : Line_Spread(reference.position, n_r, tested.position, n_t, points);
            e_position += e_angle * spread.radius;
            grade.quantities.push_back(
                Quantity(TQuantity::POSITION, spread.deviation, e_position, mpe.position));
        }
        grade.quantities.push_back(
            Quantity(TQuantity::ANGLE, Angle_Up_To_Sign(n_r, n_t), e_angle, mpe.angle));
    }
    if (type == TFeatureType::CIRCLE || type == TFeatureType::SPHERE)
        grade.quantities.push_back(Quantity(TQuantity::SIZE, tested.diameter - reference.diameter,
                                            tested.diameter_resolution, mpe.size));

    for (size_t i = 0; i < grade.quantities.size(); ++i) {
        TQuantityGrade &quantity = grade.quantities[i];
        if (i < uncertainty.rounding.size())
            quantity.reference_rounding = uncertainty.rounding[i];
        if (i < uncertainty.definition.size())
            quantity.reference_definition = uncertainty.definition[i];
        quantity.verdict =
            Quantity_Verdict(quantity.deviation, quantity.Uncertainty(), quantity.mpe);
    }

    bool inconclusive = false;
    for (const TQuantityGrade &quantity : grade.quantities) {
        if (quantity.verdict == TVerdict::FAIL) {
            grade.verdict = TVerdict::FAIL;
            return grade;
        }
        inconclusive |= quantity.verdict == TVerdict::INCONCLUSIVE;
    }
    grade.verdict = inconclusive ? TVerdict::INCONCLUSIVE : TVerdict::PASS;
    return grade;
}
