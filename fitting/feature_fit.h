#pragma once

#include "fitting/least_squares_fit.h"
#include "validation/feature_type.h"

// Tessaline's least-squares fit of points as a feature of the type (only
// the enumeration of validation/ is used, not its library). A start, when
// given (a file's own stated result), is tried besides the fit's own starts
// where the fit is iterated from several.
TFit Fit_Feature(TFeatureType type, const std::vector<TVector3> &points,
                 const TFit *start = nullptr);
