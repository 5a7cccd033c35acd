#pragma once

#include "core/vector3.h"

#include <string>
#include <vector>

// Least-squares (Gaussian, orthogonal-distance) fits of measured points, as
// the reference services for coordinate metrology software define them.
//
// Directions are unit vectors. Their sign carries no meaning, but it is
// fixed: the component of largest magnitude is positive (the first of equal
// ones), so the same points always give the same direction.
//
// When a fit is not made, failure says why, in one of these words:
//   "too few points: a plane needs at least 3" (line 2, circle 3, sphere 4,
//   cylinder 5, cone 6, torus 7)
//   "non-finite coordinates", "coordinates too large"
//   "coincident points", "collinear points" (plane, circle, sphere),
//   "coplanar points" (sphere, cylinder, cone, torus), "no convergence"
//   (circle, sphere, cylinder, cone, torus).
// Degeneracy is judged relative to the spread of the points and to the
// rounding of their coordinates, never against a length in millimetres.
struct TFit
{
    bool fitted = false;
    std::string failure; // why not, when not fitted
    // Plane and line: the centroid; circle, sphere and torus: the centre;
    // cylinder and cone: the point of the axis nearest the centroid.
    TVector3 position;
    // Plane normal, line direction, circle, cylinder and torus axis; a cone's
    // axis towards its wider end; zero for a sphere.
    TVector3 direction;
    // Circle, sphere, cylinder; a cone's at position; a torus' major one.
    double diameter = 0;
    double apex_angle = 0;     // cone: the included angle, radians
    double minor_diameter = 0; // torus: the tube's
    int iterations = 0;        // of the geometric iteration
};

// Plane through the centroid; normal from the singular value decomposition
// of the centred points (the direction of least spread).
TFit Fit_Plane(const std::vector<TVector3> &points);

// Line through the centroid; direction of greatest spread of the centred points.
TFit Fit_Line(const std::vector<TVector3> &points);

// Circle in space: least-squares plane, points projected onto it, then a
// two-dimensional geometric circle fit in that plane. The centre lies in that
// plane and the direction is its normal.
TFit Fit_Circle(const std::vector<TVector3> &points);

// Circle in space by full three-dimensional orthogonal distances: the sum of
// the squared distances of the points to the circle is least. Levenberg-
// Marquardt from Fit_Circle. The two definitions agree when no point is off
// the circle both radially and axially; on short arcs they can part.
TFit Fit_Circle_Orthogonal(const std::vector<TVector3> &points);

// Sphere: geometric distances minimised from an algebraic start.
TFit Fit_Sphere(const std::vector<TVector3> &points);

// The surfaces round an axis, by orthogonal distances, iterated from several
// starts (the points' principal directions as the axis; for a cone also the
// least-squares cylinder; the caller's start, when given, as one more) and
// ending where the sum of squares is least. A start is a stated result in
// this structure's conventions; it is ignored when not finite or of no size.

// Cylinder: the sum of the squared distances of the points from the surface
// is least. position is the axis point nearest the centroid of the points.
TFit Fit_Cylinder(const std::vector<TVector3> &points, const TFit *start = nullptr);

// Cone: as the cylinder; the distance of a point is the shortest to the
// cone's surface, taken on both sides of the apex as one straight flank in
// the point's half-plane through the axis. direction points towards the
// wider end, diameter is the cone's at position, apex_angle the included one.
TFit Fit_Cone(const std::vector<TVector3> &points, const TFit *start = nullptr);

// Torus: the distance of a point is its distance from the circle of the
// tube's centres less the tube's radius. position is the centre, diameter
// the major diameter, minor_diameter the tube's.
TFit Fit_Torus(const std::vector<TVector3> &points, const TFit *start = nullptr);
