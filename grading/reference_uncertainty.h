#pragma once

#include "fitting/least_squares_fit.h"
#include "grading/feature_comparison.h"
#include "validation/feature_type.h"

#include <functional>
#include <vector>

// The uncertainty of a reference fit that its points alone cause, each part
// the |deviation| of one fit from the other, keyed by quantity, as
// Grade_Feature measures it:
// - rounding: the program writes points with 6 decimals, so the software
//   under test fits those, not the file's; the fit of the points as written
//   against the fit of the points as the file has them. Empty when every
//   coordinate reads back the same from 6 decimals.
// - definition (circles): software fits a circle in space either as NIST
//   defines it or by full three-dimensional orthogonal distances; the one
//   against the other.
// A part whose fits cannot be made is unknown, not 0: NaN for every quantity
// of the type, and a sentence in unknown saying why.
TReferenceUncertainty Reference_Uncertainty(TFeatureType type, const std::vector<TVector3> &points);

// The points as the program writes them: every coordinate to 6 decimals.
std::vector<TVector3> Points_As_Written(const std::vector<TVector3> &points);
// Whether writing them so moves any.
bool Moved_By_Writing(const std::vector<TVector3> &points);

// The fits the parts compare, given so that a test can make one fail.
struct TUncertaintyFits
{
    std::function<TFit(TFeatureType, const std::vector<TVector3> &)> fit;
    std::function<TFit(const std::vector<TVector3> &)> circle_orthogonal;
};
TReferenceUncertainty Reference_Uncertainty(TFeatureType type, const std::vector<TVector3> &points,
                                            const TUncertaintyFits &fits);
