#pragma once

#include "fitting/minimax_fit.h"
#include "grading/feature_comparison.h"
#include "grading/reference_reading.h"

// Tessaline's minimax fit of points under a minimax file's criterion; a line
// or a circle in the plane the reference feature states (through its
// position, normal to its plane normal or axis), which is part of the data
// set, not fitted.
TMinimaxFit Fit_Minimax_Feature(TFeatureType type, TCriterion criterion,
                                const TReferenceFeature &feature,
                                const std::vector<TVector3> &points);

// The values of a minimax fit as the comparison takes them, its F apart.
TFitValues Values_Of_Minimax(const TMinimaxFit &fit);

// What the reference leaves open by itself: the minimax fit of its points
// as the program writes them (6 decimals) against the fit of its points as
// the file has them, for each quantity of the type and criterion, form
// included. Empty when writing moves no point; NaN for every quantity, with
// why in unknown, when a fit cannot be made.
TReferenceUncertainty Minimax_Reference_Uncertainty(TFeatureType type, TCriterion criterion,
                                                    const TReferenceFeature &feature);
