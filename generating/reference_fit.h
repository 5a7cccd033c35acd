#pragma once

#include "generating/design.h"

#include <vector>

// The least-squares element of the points as written (step 6): the design,
// corrected by Gauss-Newton steps from the design until a step is
// negligible. The points are counted from the design position, where they
// are known to a rounding of their own size rather than of their distance
// from the origin. Sums are compensated or of centred values, and every
// operation is one that gives the same bits everywhere, so that the written
// digits are the same on every machine.
//
// Plane and line: through the centroid, the normal or direction of least or
// greatest spread. Circle as NIST defines it: the least-squares plane, then
// the least-squares circle of the points projected onto it. Sphere: the
// least-squares sphere.
struct TReferenceFit
{
    bool converged = false;
    TVec position; // about the design position
    // Signed as the fitting library signs it (a cone's towards its wider
    // end); zero for a sphere.
    TVec direction;
    double radius = 0;       // a cone's at the position, a torus' major one
    double half_angle = 0;   // rad: half a cone's apex angle
    double minor_radius = 0; // torus
    int iterations = 0;
};

TReferenceFit Reference_Fit(TFeatureType type, const std::vector<TVec> &points,
                            const TDesign &design);

// Orthogonal distance of a point (about the design position) from the element.
double Residual(TFeatureType type, const TReferenceFit &fit, const TVec &point);
