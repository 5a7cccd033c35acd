#pragma once

#include "core/vector3.h"
#include "validation/feature_type.h"
#include "validation/validation_reader.h"

#include <QByteArray>
#include <QString>

#include <vector>

// One feature the converter constructs, as the grader needs it: the values
// the validation file states for it, what they are known to as written,
// and its points.
struct TReferenceFeature
{
    QString label; // "PLN_7", exactly as in the converted program
    int line_number = 0;
    TVector3 position;
    TVector3 direction;        // zero for a sphere; a cone's towards its wider end
    double diameter = 0;       // a cone's at position; a torus' major one
    double apex_angle = 0;     // cone: the included angle, radians (the file states degrees)
    double minor_diameter = 0; // torus
    // Half a unit in the last written place, for grading the file's own
    // values against a refit.
    double position_resolution = 0;
    double direction_resolution = 0;
    double diameter_resolution = 0;
    double apex_angle_resolution = 0; // radians
    double minor_diameter_resolution = 0;
    // A minimax line's: the normal of the plane it lies in, and so its
    // points' projections are fitted.
    TVector3 plane_normal;
    // A minimax file's F (the zone's width, or the range of the distances
    // from a circumscribed or inscribed element) and its resolution.
    double form = 0;
    double form_resolution = 0;
    std::vector<TVector3> points;
};

struct TReference
{
    bool is_validation_file = false;
    TFeatureType type = TFeatureType::PLANE;
    TCriterion criterion = TCriterion::LEAST_SQUARES;
    // The complete features, in file order: the ones the converter
    // constructs, with the same labels, so a duplicated feature number
    // stands here twice.
    std::vector<TReferenceFeature> features;
    std::vector<TValidationDiagnostic> diagnostics;
};

// Reads a validation file with the conversion's own reader.
TReference Read_Reference(const QByteArray &content);
