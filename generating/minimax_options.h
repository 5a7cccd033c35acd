#pragma once

#include "generating/data_set_options.h"

#include <QString>

// Which minimax criteria a type's data sets are built for: lines and planes
// the minimum zone, circles, spheres and cylinders all three.
bool Generates_Criterion(TFeatureType type, TCriterion criterion);

// "plane" for least squares, "minimum-zone plane" otherwise, for messages.
QString Criterion_Element_Name(TFeatureType type, TCriterion criterion);

// The least arc, in degrees, on which a circle's or cylinder's contact
// points can stand in the configuration that makes their element the
// optimum: two opposite points for a circumscribed one, three whose triangle
// holds the centre, with room, for an inscribed one; for a sphere the least
// half-angle of its cap.
double Least_Minimax_Arc(TFeatureType type, TCriterion criterion);

// The points a data set of the options needs at least: its fit's least
// number, or more where its contact configuration holds more (a zone
// sphere's six, where five determine one).
int Least_Generated_Points(const TDataSetOptions &options);

// Why the criterion makes no data set of the options ("--criterion: a line
// is fitted by the minimum zone only"); empty when it does or for least
// squares.
QString Minimax_Options_Problem(const TDataSetOptions &options);
