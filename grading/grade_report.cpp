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

const char *Quantity_Name(TQuantity quantity)
{
    switch (quantity) {
    case TQuantity::POSITION:
        return "position";
    case TQuantity::ANGLE:
        return "angle";
    case TQuantity::SIZE:
        return "size";
    }
    return "";
}

QString Fit_Definitions()
{
    return QStringLiteral(
        "Least-squares (Gaussian, orthogonal-distance) fits. Plane: through the centroid of the "
        "points, normal from the singular value decomposition of the centred points. Line: "
        "through the centroid, direction of the greatest spread of the centred points. Circle "
        "in space (NIST's definition): least-squares plane, points projected onto it, then a "
        "two-dimensional geometric circle fit in that plane. Sphere: geometric distances "
        "minimised by Gauss-Newton iteration from an algebraic start.");
}
