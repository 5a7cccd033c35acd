#pragma once

#include "generating/data_set_options.h"

#include <QString>

// Which minimax criteria a type's data sets are built for: lines and planes
// the minimum zone, circles all three.
bool Generates_Criterion(TFeatureType type, TCriterion criterion);

// "plane" for least squares, "minimum-zone plane" otherwise, for messages.
QString Criterion_Element_Name(TFeatureType type, TCriterion criterion);

// The least arc, in degrees, on which a circle's contact points can stand in
// the configuration that makes their circle the optimum: two opposite
// points for a circumscribed circle, three whose triangle holds the centre,
// with room, for an inscribed one.
double Least_Minimax_Arc(TFeatureType type, TCriterion criterion);

// Why the criterion makes no data set of the options ("--criterion: a line
// is fitted by the minimum zone only"); empty when it does or for least
// squares.
QString Minimax_Options_Problem(const TDataSetOptions &options);
