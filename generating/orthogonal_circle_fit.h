#pragma once

#include "generating/reference_fit.h"

#include <vector>

// The full three-dimensional circle of points about the design position:
// the least sum of squared orthogonal distances from the points to the
// circle, by Gauss-Newton steps from the reference (the NIST circle), in the
// portable arithmetic, so that the manifest's definition gap is the same on
// every machine. The direction is signed as the fitting library signs it.
TReferenceFit Orthogonal_Circle(const std::vector<TVec> &points, const TReferenceFit &start);
