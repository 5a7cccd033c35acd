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
};

// Reads the number, its value and resolution multiplied by millimetres_per_unit
// when it is a length. False, with a warning, when the field is empty, is not
// a number, or is no longer finite in millimetres.
bool Read_Result_Number(const TResultNumber &number, double millimetres_per_unit, int line_number,
                        TResultsCollector &collector, double &value, double &resolution);

// "a plane", "a circle".
const char *Type_Name(TFeatureType type);
