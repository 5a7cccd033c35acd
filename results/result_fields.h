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

// The largest magnitude of a result's number, in millimetres, radians or as
// a direction's component, that the grading computes with: it squares
// differences of positions and adds three squares, which stay finite up to
// some 1e153. No measurement comes near; beyond it a result is refused.
constexpr double LARGEST_RESULT_NUMBER = 1e150;

// Whether a number is finite and within LARGEST_RESULT_NUMBER.
bool Computable(double value);
// Why a number is not: "too large to compute with (more than 1e150
// millimetres)", the unit (" millimetres") possibly empty.
QString Too_Large(const char *unit);

// Reads the number, its value and resolution multiplied by factor when it is
// a length (millimetres per unit) or an angle (radians per unit). False,
// with a warning, when the field is empty, is not a number, or is too large
// to compute with in millimetres or radians.
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
