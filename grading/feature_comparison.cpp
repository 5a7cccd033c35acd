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
    // Largest |q_k - x_r| or |q_k - x_t|: the tested plane or axis turns
    // about its own point, which may lie far from the points (a cone stated
    // at its vertex), so its angle's uncertainty moves it most there.
    double radius = 0;
};

TSpread Plane_Spread(const TVector3 &x_r, const TVector3 &n_r, const TVector3 &x_t,
                     const TVector3 &n_t, const std::vector<TVector3> &points)
{
    TSpread spread;
    for (const TVector3 &p : points) {
        const TVector3 q = p - n_r * (n_r ^ (p - x_r));
        spread.deviation = std::max(spread.deviation, std::fabs(n_t ^ (q - x_t)));
        spread.radius = std::max({spread.radius, Length(q - x_r), Length(q - x_t)});
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
        spread.radius = std::max({spread.radius, Length(q - x_r), Length(q - x_t)});
    }
    return spread;
}

// A cone's included angle as a cone has it: finite, strictly between 0
// and pi.
bool Apex_Angle_Usable(double angle)
{
    return std::isfinite(angle) && angle > 0 && angle < M_PI;
}

// The part a quantity has of one of the reference's own: 0 when it has
// none, NaN when it is unknown.
double Part_Of(const TUncertaintyPart &part, TQuantity quantity)
{
    const auto found = part.find(quantity);
    return found == part.end() ? 0 : found->second;
}

} // namespace

TVerdict Quantity_Verdict(double deviation, double resolution, double mpe)
{
    // A deviation or an uncertainty beyond every number proves nothing
    // within the MPE: never a pass, and no doubt to leave open either.
    if (!std::isfinite(deviation) || !std::isfinite(resolution))
        return TVerdict::FAIL;
    const double magnitude = std::fabs(deviation);
    if (magnitude + resolution <= mpe)
        return TVerdict::PASS;
    if (magnitude - resolution > mpe)
        return TVerdict::FAIL;
    return TVerdict::INCONCLUSIVE;
}

TFeatureGrade Grade_Feature(const QString &label, TFeatureType type, const TFitValues &reference,
                            const TFitValues &tested, const std::vector<TVector3> &points,
                            const TMpe &mpe, const TReferenceUncertainty &uncertainty)
{
    TFeatureGrade grade{label, type, TVerdict::PASS, {}, {}};
    const auto add = [&](TQuantity quantity, double deviation, double resolution) {
        grade.quantities.push_back(
            Quantity(quantity, deviation, resolution, Quantity_Mpe(quantity, mpe)));
    };
    const auto unfit = [&](const QString &note) {
        grade.verdict = TVerdict::UNFIT;
        grade.note = note;
        return grade;
    };

    const double e_angle = SQRT_3 * tested.direction_resolution;
    const double e_point = SQRT_3 * tested.position_resolution;
    TVector3 n_r, n_t;
    if (type != TFeatureType::SPHERE) {
        if (!Unit(reference.direction, n_r))
            return unfit(QStringLiteral("the reference direction has no length"));
        if (!Unit(tested.direction, n_t))
            return unfit(QStringLiteral("the tested direction has no length"));
    }
    if (type == TFeatureType::CONE) {
        if (!Apex_Angle_Usable(reference.apex_angle))
            return unfit(
                QStringLiteral("the reference apex angle is not between 0 and 180 degrees"));
        if (!Apex_Angle_Usable(tested.apex_angle))
            return unfit(QStringLiteral("the tested apex angle is not between 0 and 180 degrees"));
    }

    switch (type) {
    case TFeatureType::SPHERE:
    case TFeatureType::CIRCLE:
    case TFeatureType::TORUS:
        add(TQuantity::POSITION, Length(tested.position - reference.position), e_point);
        break;
    case TFeatureType::PLANE:
    case TFeatureType::LINE:
    case TFeatureType::CYLINDER:
    case TFeatureType::CONE: {
        const TSpread spread =
            type == TFeatureType::PLANE
                ? Plane_Spread(reference.position, n_r, tested.position, n_t, points)
                : Line_Spread(reference.position, n_r, tested.position, n_t, points);
        add(TQuantity::POSITION, spread.deviation, e_point + e_angle * spread.radius);
        break;
    }
    }
    if (type != TFeatureType::SPHERE)
        add(TQuantity::ANGLE, Angle_Up_To_Sign(n_r, n_t), e_angle);
    if (type == TFeatureType::CONE) {
        add(TQuantity::APEX_ANGLE, tested.apex_angle - reference.apex_angle,
            tested.apex_angle_resolution);
        // Along the tested axis turned to agree with the reference's, which
        // points towards the wider end: the grade is the same whichever end
        // or point the cone is stated from, and whichever the axis' sign.
        const TVector3 axis = (n_r ^ n_t) < 0 ? n_t * -1.0 : n_t;
        const TVector3 offset = reference.position - tested.position;
        const double s = axis ^ offset;
        const double slope = 2 * std::tan(tested.apex_angle / 2);
        const double secant = 1 / std::cos(tested.apex_angle / 2);
        const double e_s = e_point + e_angle * Length(offset);
        add(TQuantity::SIZE, tested.diameter + slope * s - reference.diameter,
            tested.diameter_resolution + slope * e_s +
                tested.apex_angle_resolution * std::fabs(s) * secant * secant);
    } else if (type != TFeatureType::PLANE && type != TFeatureType::LINE) {
        add(TQuantity::SIZE, tested.diameter - reference.diameter, tested.diameter_resolution);
    }
    if (type == TFeatureType::TORUS)
        add(TQuantity::MINOR_SIZE, tested.minor_diameter - reference.minor_diameter,
            tested.minor_diameter_resolution);

    for (TQuantityGrade &quantity : grade.quantities) {
        quantity.reference_rounding = Part_Of(uncertainty.rounding, quantity.quantity);
        quantity.reference_definition = Part_Of(uncertainty.definition, quantity.quantity);
        quantity.verdict =
            quantity.Uncertainty_Known()
                ? Quantity_Verdict(quantity.deviation, quantity.Uncertainty(), quantity.mpe)
                : TVerdict::INCONCLUSIVE;
    }

    grade.verdict = Feature_Verdict(grade.quantities);
    return grade;
}

TVerdict Feature_Verdict(const std::vector<TQuantityGrade> &quantities)
{
    bool inconclusive = false;
    for (const TQuantityGrade &quantity : quantities) {
        if (quantity.verdict == TVerdict::FAIL)
            return TVerdict::FAIL;
        inconclusive |= quantity.verdict == TVerdict::INCONCLUSIVE;
    }
    return inconclusive ? TVerdict::INCONCLUSIVE : TVerdict::PASS;
}
