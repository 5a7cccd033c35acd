#pragma once

#include "fitting/least_squares_fit.h"
#include "validation/feature_type.h"

// Tessaline's least-squares fit of points as a feature of the type.
TFit Fit_Feature(TFeatureType type, const std::vector<TVector3> &points);
