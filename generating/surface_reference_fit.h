#pragma once

#include "generating/reference_fit.h"

#include <vector>

// The least-squares cylinder, cone and torus of points about the design
// position, by Gauss-Newton steps from the design, with the axis turned
// about its current estimate so that no parameter is redundant: two shifts
// across the axis, two turns, the radius (and a cone's half angle); a
// torus' centre, two turns, its major and minor radius. A cylinder's or
// cone's position is then moved along the axis to the point nearest the
// centroid (a cone's radius with it).
TReferenceFit Cylinder_Or_Cone(TFeatureType type, const std::vector<TVec> &points,
                               const TDesign &design);
TReferenceFit Torus(const std::vector<TVec> &points, const TDesign &design);

// Signed orthogonal distance of a point (about the design position) from a
// cylinder, cone or torus, positive outside.
double Surface_Distance(TFeatureType type, const TReferenceFit &fit, const TVec &point);
