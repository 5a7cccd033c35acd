#pragma once

#include "core/vector3.h"
#include "validation/criterion.h"

#include <string>
#include <vector>

// Minimax (Chebyshev) fits of measured points: the element whose largest
// orthogonal distance criterion (see validation/criterion.h) is optimal.
// Only the enumeration of validation/ is used, not its library.
//
// Every fit returns the global optimum of its criterion, certified: the
// contact points, their configuration and the signs of their multipliers are
// checked against the optimality conditions before the fit is returned. A fit
// that cannot certify its answer is not fitted and says why in failure; it
// never returns an unchecked answer. Cylinders, whose problem is not convex,
// are certified as a strict local optimum that no start of a global search
// improves.
//
// Lines and circles are two-dimensional: they lie in a plane given with the
// data set (a point of it and its normal). The points are projected
// orthogonally onto that plane and the minimax element of the projections is
// returned, in that plane.
struct TMinimaxFit
{
    bool fitted = false;
    std::string failure; // why not, when not fitted
    // Line and plane: a point of the element (the middle of the zone) nearest
    // the centroid of the points; circle and sphere: the centre; cylinder:
    // the point of the axis nearest the centroid.
    TVector3 position;
    // Line direction, plane normal, circle and cylinder axis: unit vectors,
    // the component of largest magnitude positive; zero for a sphere.
    TVector3 direction;
    // Circle, sphere, cylinder. Minimum zone: the sum of the outer and inner
    // radii (the mean diameter); otherwise the circumscribed or inscribed
    // diameter.
    double diameter = 0;
    // Minimum zone: the zone's width (straightness, flatness, roundness,
    // sphericity, cylindricity). Circumscribed and inscribed: the range of
    // the points' distances from the centre or axis.
    double form = 0;
    // Indices of the points on the zone's boundaries: for lines and planes
    // the side the direction points to (outer) and the other (inner); for
    // round elements the outer and inner boundary. A circumscribed element
    // has outer contacts only, an inscribed one inner contacts only.
    std::vector<int> outer_contacts;
    std::vector<int> inner_contacts;
    int iterations = 0;
};

// Lines: minimum zone only.
TMinimaxFit Fit_Minimax_Line(const std::vector<TVector3> &points, const TVector3 &plane_point,
                             const TVector3 &plane_normal);
// Planes: minimum zone only.
TMinimaxFit Fit_Minimax_Plane(const std::vector<TVector3> &points);
TMinimaxFit Fit_Minimax_Circle(const std::vector<TVector3> &points, const TVector3 &plane_point,
                               const TVector3 &plane_normal, TCriterion criterion);
TMinimaxFit Fit_Minimax_Sphere(const std::vector<TVector3> &points, TCriterion criterion);
// A start, when given (a file's own stated result), is tried besides the
// search's own starts.
TMinimaxFit Fit_Minimax_Cylinder(const std::vector<TVector3> &points, TCriterion criterion,
                                 const TMinimaxFit *start = nullptr);
