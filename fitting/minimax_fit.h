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

// Lines: minimum zone only. The line's outer side is the one
// plane_normal x direction points to.
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

// The certificates the fits above check before they return, open to any
// stated result: why fit is not the minimax element of points under the
// optimality conditions (empty when it is). Every point must lie in the zone
// (inside or outside the circle), each contact on its boundary, the contacts
// in the configuration the criterion needs (line: two on one side and one
// between them on the other; plane: three on one side round the foot of one
// on the other, or two and two whose segments cross; zone circle: four
// alternating outer and inner round the centre; circumscribed circle: two
// opposite or three round the centre; inscribed circle: three round the
// centre), and form and diameter must be those the contacts give. Lengths
// are held to the rounding of the points' coordinates. These conditions make
// the fit a local optimum; the fits' own searches make it the global one.
std::string Minimax_Line_Refusal(const std::vector<TVector3> &points, const TVector3 &plane_point,
                                 const TVector3 &plane_normal, const TMinimaxFit &fit);
std::string Minimax_Plane_Refusal(const std::vector<TVector3> &points, const TMinimaxFit &fit);
std::string Minimax_Circle_Refusal(const std::vector<TVector3> &points, const TVector3 &plane_point,
                                   const TVector3 &plane_normal, TCriterion criterion,
                                   const TMinimaxFit &fit);

// What the spheres and cylinders guarantee. The optimality conditions
// checked before a fit is returned: on the contacts (points within 1e-12 of
// the points' spread of a boundary) no step lowers the linearised criterion
// by more than that tolerance, and they carry multipliers that are
// positive, sum to 1 on each boundary and balance their gradients.
//
// A circumscribed sphere is the smallest enclosing sphere (Welzl's
// algorithm), exact; for this convex problem the conditions make it global.
// A minimum-zone sphere's centre is searched by branch and bound over the
// centres within the least-squares radius of the least-squares centre, an
// inscribed sphere's over the points' bounding box, both until no centre
// can be better by a thousandth of the zone's width (inscribed: by a
// millionth of the radius); the best is refined by linear programs to the
// rounding of the arithmetic. An inscribed sphere whose centre would lie on
// the boundary of the points' hull (a hemisphere's, say) is not certified.
//
// A cylinder's axis is searched from the least-squares axis, the points'
// principal directions, 128 directions spread over the half sphere and the
// caller's start, each refined on a subsample and ranked by its criterion on
// all points; the best four and the least-squares and caller's are refined
// on all points and checked besides as a strict local optimum (the
// linearised problem's solution is unique). That no other local optimum is
// better is not proven, only that no start found one. An optimum that only
// curvature makes a minimum (a circumscribed cylinder of an arc, whose
// sections touch at two points) and an inscribed cylinder whose axis would
// leave the hull of the projections are not certified.

// The optimality conditions of a sphere or a cylinder fit of these points
// under the criterion, as the fits check them (the global search aside):
// empty when they hold, otherwise what fails.
std::string Minimax_Sphere_Certificate(const std::vector<TVector3> &points, TCriterion criterion,
                                       const TMinimaxFit &fit);
std::string Minimax_Cylinder_Certificate(const std::vector<TVector3> &points, TCriterion criterion,
                                         const TMinimaxFit &fit);

// The local optimum of a cylinder from the start alone, refined by linear
// programs and checked as the fit checks its own, without the global
// search: what a fit started from the least-squares axis finds, which can
// be a worse local optimum than the fit's.
TMinimaxFit Refine_Minimax_Cylinder(const std::vector<TVector3> &points, TCriterion criterion,
                                    const TMinimaxFit &start);
