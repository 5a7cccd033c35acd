#include "grading/grade_report.h"

#include <cmath>

const char *Verdict_Name(TVerdict verdict)
{
    switch (verdict) {
    case TVerdict::PASS:
        return "pass";
    case TVerdict::FAIL:
        return "fail";
    case TVerdict::INCONCLUSIVE:
        return "inconclusive";
    case TVerdict::MISSING:
        return "missing";
    case TVerdict::AMBIGUOUS:
        return "ambiguous";
    case TVerdict::UNFIT:
        return "unfit";
    }
    return "";
}

double Mpe_Share(double value, double mpe)
{
    const double magnitude = std::fabs(value);
    if (mpe > 0)
        return magnitude / mpe;
    return magnitude == 0 ? 0 : INFINITY;
}

void Count_Verdict(TVerdict verdict, TGradeSummary &summary)
{
    switch (verdict) {
    case TVerdict::PASS:
        ++summary.pass;
        break;
    case TVerdict::FAIL:
        ++summary.fail;
        break;
    case TVerdict::INCONCLUSIVE:
        ++summary.inconclusive;
        break;
    case TVerdict::MISSING:
        ++summary.missing;
        break;
    case TVerdict::AMBIGUOUS:
        ++summary.ambiguous;
        break;
    case TVerdict::UNFIT:
        ++summary.unfit;
        break;
    }
}

std::vector<TQuantity> Quantities_Of(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
    case TFeatureType::LINE:
        return {TQuantity::POSITION, TQuantity::ANGLE};
    case TFeatureType::CIRCLE:
    case TFeatureType::CYLINDER:
        return {TQuantity::POSITION, TQuantity::ANGLE, TQuantity::SIZE};
    case TFeatureType::SPHERE:
        return {TQuantity::POSITION, TQuantity::SIZE};
    case TFeatureType::CONE:
        return {TQuantity::POSITION, TQuantity::ANGLE, TQuantity::APEX_ANGLE, TQuantity::SIZE};
    case TFeatureType::TORUS:
        return {TQuantity::POSITION, TQuantity::ANGLE, TQuantity::SIZE, TQuantity::MINOR_SIZE};
    }
    return {};
}

bool Is_Angle(TQuantity quantity)
{
    return quantity == TQuantity::ANGLE || quantity == TQuantity::APEX_ANGLE;
}

const char *Quantity_Name(TQuantity quantity)
{
    switch (quantity) {
    case TQuantity::POSITION:
        return "position";
    case TQuantity::ANGLE:
        return "angle";
    case TQuantity::SIZE:
        return "size";
    case TQuantity::APEX_ANGLE:
        return "apex angle";
    case TQuantity::MINOR_SIZE:
        return "minor size";
    }
    return "";
}

const char *Quantity_Key(TQuantity quantity)
{
    switch (quantity) {
    case TQuantity::APEX_ANGLE:
        return "apex_angle";
    case TQuantity::MINOR_SIZE:
        return "minor_size";
    default:
        return Quantity_Name(quantity);
    }
}

double Quantity_Mpe(TQuantity quantity, const TMpe &mpe)
{
    if (Is_Angle(quantity))
        return mpe.angle;
    return quantity == TQuantity::POSITION ? mpe.position : mpe.size;
}

QString Fit_Definitions()
{
    return QStringLiteral(
        "Least-squares (Gaussian, orthogonal-distance) fits. Plane: through the centroid of the "
        "points, normal from the singular value decomposition of the centred points. Line: "
        "through the centroid, direction of the greatest spread of the centred points. Circle "
        "in space (NIST's definition): least-squares plane, points projected onto it, then a "
        "two-dimensional geometric circle fit in that plane. Sphere: geometric distances "
        "minimised by Gauss-Newton iteration from an algebraic start. Cylinder: orthogonal "
        "distances to the surface minimised over the axis and the diameter, from several starts, "
        "the least sum of squares kept. Cone: orthogonal distances to the surface minimised over "
        "the axis, the apex angle and the diameter, from several starts including a cylinder. "
        "Torus: orthogonal distances to the surface minimised over the centre, the axis and the "
        "major and minor diameters, from several starts.");
}
