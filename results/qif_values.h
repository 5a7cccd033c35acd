#pragma once

#include <QString>
#include <QStringList>

class QXmlStreamReader;

// A value of a QIF measurement (Location, Normal, Diameter, HalfAngle...) as the
// file writes it, before its unit is applied.
struct TQifValue
{
    bool present = false;
    int line_number = 0; // of its start tag
    bool usable = false; // as many numbers as the element holds, each read
    double numbers[3] = {};
    double resolutions[3] = {}; // in the unit the value is written in
    bool has_unit = false;      // a linearUnit (angularUnit) attribute
    QString unit;               // its value, white space collapsed
    // What is wrong with it or doubtful about it, each said as
    // "ELEMENT of LABEL: PROBLEM" once the label is known.
    QStringList problems;
};

// Reads the value element the reader is at, up to its end tag: count numbers
// (3 for a point or a vector, 1 for a diameter) separated by XML white space,
// each with its resolution (number_resolution.h) from decimalPlaces or
// significantFigures when the element carries them, the per-axis forms
// (xDecimalPlaces, ...) first, else from its text.
// The unit is the unit_attribute's value: linearUnit for lengths,
// angularUnit for angles.
void Read_Qif_Value(QXmlStreamReader &reader, int count, TQifValue &value,
                    const char *unit_attribute = "linearUnit");
