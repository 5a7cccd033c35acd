#pragma once

#include "results/results_labels.h"

#include <QByteArray>

// One number of a result as both readers read it: with Read_Real, its
// resolution (number_resolution.h), and a warning when it does not read.
struct TResultNumber
{
    TField field;       // as written, without surrounding blanks
    int field_number;   // 1-based, as the warning counts it
    const char *name;   // "x", "diameter"
    bool length = true; // converted to millimetres; i, j, k are not
    bool angle = false; // converted to radians by the factor instead
};

// Reads the number, its value and resolution multiplied by factor when it is
// a length (millimetres per unit) or an angle (radians per unit). False,
// with a warning, when the field is empty, is not a number, or is no longer
// finite in millimetres or radians.
bool Read_Result_Number(const TResultNumber &number, double factor, int line_number,
                        TResultsCollector &collector, double &value, double &resolution);

// Whether a cone's included angle, in radians, describes a cone: finite,
// above 0 and below pi. Otherwise warns, "WHICH: ..." with which naming the
// field, and the result cannot be used.
bool Usable_Cone_Angle(double radians, const QString &which, int line_number,
                       TResultsCollector &collector);

// Radians per degree.
constexpr double RADIANS_PER_DEGREE = 3.14159265358979323846 / 180;

// "a plane", "a circle".
const char *Type_Name(TFeatureType type);
