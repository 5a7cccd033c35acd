#pragma once

#include "core/vector3.h"
#include "grading/grade_report.h"

#include <vector>

// The values of one fit with what each is known to.
struct TFitValues
{
    TVector3 position;
    TVector3 direction; // need not be a unit vector; not read for a sphere
    double diameter = 0;
    double position_resolution = 0;
    double direction_resolution = 0;
    double diameter_resolution = 0;
};

// What the reference fit leaves open by itself, quantity by quantity in the
// order of the grades (reference_uncertainty.h); empty parts count as 0.
struct TReferenceUncertainty
{
    std::vector<double> rounding;
    std::vector<double> definition;
};

// The verdict on one quantity with deviation d, uncertainty e and MPE m.
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
// - size (circle, sphere): D_t - D_r.
// The uncertainty of each comes from the tested values' resolutions: angle
// sqrt(3) r_ijk; position sqrt(3) r_xyz, for planes and lines plus the angle's
// times the largest |q_k - x_r|; size r_D. The reference's own uncertainty
// adds to each. A zero direction makes the feature unfit.
TFeatureGrade Grade_Feature(const QString &label, TFeatureType type, const TFitValues &reference,
                            const TFitValues &tested, const std::vector<TVector3> &points,
                            const TMpe &mpe, const TReferenceUncertainty &uncertainty = {});
