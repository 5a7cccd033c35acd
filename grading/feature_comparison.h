#pragma once

#include "core/vector3.h"
#include "grading/grade_report.h"

#include <QStringList>

#include <map>
#include <vector>

// The values of one fit with what each is known to.
struct TFitValues
{
    // Plane, line: a point on it; circle, sphere, torus: the centre;
    // cylinder, cone: a point on the axis (a cone's may be its vertex).
    TVector3 position;
    TVector3 direction;        // need not be a unit vector; not read for a sphere
    double diameter = 0;       // a cone's at position (0 at its vertex); a torus' major one
    double apex_angle = 0;     // cone: the included angle, radians
    double minor_diameter = 0; // torus
    double position_resolution = 0;
    double direction_resolution = 0;
    double diameter_resolution = 0;
    double apex_angle_resolution = 0; // radians
    double minor_diameter_resolution = 0;
};

// The values of a fit, a reference or a result, which all name them alike.
template <typename TSource> TFitValues Values_Of(const TSource &source)
{
    TFitValues values;
    values.position = source.position;
    values.direction = source.direction;
    values.diameter = source.diameter;
    values.apex_angle = source.apex_angle;
    values.minor_diameter = source.minor_diameter;
    return values;
}

// The same with what each value is known to, where the source states it.
template <typename TSource> TFitValues Values_And_Resolutions_Of(const TSource &source)
{
    TFitValues values = Values_Of(source);
    values.position_resolution = source.position_resolution;
    values.direction_resolution = source.direction_resolution;
    values.diameter_resolution = source.diameter_resolution;
    values.apex_angle_resolution = source.apex_angle_resolution;
    values.minor_diameter_resolution = source.minor_diameter_resolution;
    return values;
}

// One part of what the reference fit leaves open by itself, keyed by the
// quantity it belongs to: a quantity without an entry has 0 of it, one
// whose entry is NaN has an unknown part.
using TUncertaintyPart = std::map<TQuantity, double>;

// What the reference fit leaves open by itself (reference_uncertainty.h).
struct TReferenceUncertainty
{
    TUncertaintyPart rounding;
    TUncertaintyPart definition;
    // Why a part could not be computed, one sentence each, for a warning.
    QStringList unknown;
};

// A feature's verdict from its quantities': fail when one fails,
// inconclusive when one is and none fails, pass otherwise.
TVerdict Feature_Verdict(const std::vector<TQuantityGrade> &quantities);

// The verdict on one quantity with deviation d, uncertainty e and MPE m; a
// fail where d or e is not finite.
TVerdict Quantity_Verdict(double deviation, double resolution, double mpe);

// Grades the fit under test against the reference fit of the same feature
// and its points:
// - angle (plane, line, circle): atan2(|n_r x n_t|, |n_r . n_t|), the sign of
//   a direction does not matter;
// - plane position: the largest |n_t . (q_k - x_t)|, q_k the points
//   projected onto the reference plane;
// - line position: the largest distance from q_k, the points projected onto
//   the reference line, to the tested line;
// - circle and sphere position: the distance of the centres;
// - cylinder and cone position: as for lines, with the axes;
// - torus position: the distance of the centres;
// - size (circle, sphere, cylinder, torus): D_t - D_r;
// - cone size: the tested cone's diameter where the reference point lies
//   along its axis, oriented to agree with the reference's, minus D_r:
//   D_t + 2 s tan(A_t / 2) - D_r, s = n_t . (x_r - x_t);
// - apex angle: A_t - A_r; minor size: d_t - d_r.
// The uncertainty of each comes from the tested values' resolutions: angle
// sqrt(3) r_ijk; position sqrt(3) r_xyz, for planes, lines, cylinders and
// cones plus the angle's times the largest |q_k - x_r| or |q_k - x_t|; size r_D, for a
// cone plus 2 tan(A_t / 2) (sqrt(3) r_xyz + sqrt(3) r_ijk |x_r - x_t|) and
// r_A |s| / cos^2(A_t / 2); apex angle r_A; minor size r_d. The reference's
// own uncertainty adds to each, by quantity; a quantity whose part is
// unknown is inconclusive. A zero direction, or a cone's apex angle not
// strictly between 0 and pi, makes the feature unfit.
TFeatureGrade Grade_Feature(const QString &label, TFeatureType type, const TFitValues &reference,
                            const TFitValues &tested, const std::vector<TVector3> &points,
                            const TMpe &mpe, const TReferenceUncertainty &uncertainty = {});
