#pragma once

#include "validation/feature_type.h"

// What a fit minimises: the sum of squared orthogonal distances (least
// squares, Gaussian) or the largest one (minimax, Chebyshev) in one of its
// three forms.
enum class TCriterion
{
    LEAST_SQUARES,
    // The narrowest zone holding every point: two parallel lines or planes,
    // two concentric circles, spheres or coaxial cylinders.
    MINIMUM_ZONE,
    // The smallest circle, sphere or cylinder holding every point.
    MINIMUM_CIRCUMSCRIBED,
    // The largest circle, sphere or cylinder holding none.
    MAXIMUM_INSCRIBED
};

constexpr TCriterion CRITERIA[] = {TCriterion::LEAST_SQUARES, TCriterion::MINIMUM_ZONE,
                                   TCriterion::MINIMUM_CIRCUMSCRIBED,
                                   TCriterion::MAXIMUM_INSCRIBED};

// "least-squares", "minimum-zone", "minimum-circumscribed",
// "maximum-inscribed": as options, reports and suite.json name it.
const char *Criterion_Name(TCriterion criterion);

// The criterion of a name above; false when the text names none.
bool Criterion_Of_Name(const char *name, TCriterion *criterion);

// The least number of points that fix the type's element under a minimax
// criterion: as many as the zone or element has parameters (a line's zone 3,
// a plane's 4, a circle's 4, a circumscribed circle 2, an inscribed one 3; a
// sphere's zone 5, circumscribed 2, inscribed 4; a cylinder's zone 6,
// circumscribed and inscribed 5). 0 for least squares and for the types no
// minimax file has. Defined here so that the fits, which use only this
// header, count as the files do.
constexpr int Least_Minimax_Points(TFeatureType type, TCriterion criterion)
{
    const bool zone = criterion == TCriterion::MINIMUM_ZONE;
    if (criterion == TCriterion::LEAST_SQUARES)
        return 0;
    switch (type) {
    case TFeatureType::LINE:
        return zone ? 3 : 0;
    case TFeatureType::PLANE:
        return zone ? 4 : 0;
    case TFeatureType::CIRCLE:
        return zone ? 4 : criterion == TCriterion::MINIMUM_CIRCUMSCRIBED ? 2 : 3;
    case TFeatureType::SPHERE:
        return zone ? 5 : criterion == TCriterion::MINIMUM_CIRCUMSCRIBED ? 2 : 4;
    case TFeatureType::CYLINDER:
        return zone ? 6 : 5;
    default:
        return 0;
    }
}

// The least number of points that fix the type's element under the
// criterion: Least_Minimax_Points where there is one, else Least_Points(type).
int Least_Points(TFeatureType type, TCriterion criterion);
