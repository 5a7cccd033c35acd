#pragma once

#include "generating/data_set.h"
#include "generating/design.h"

#include <vector>

// The points of a minimax data set about the design position, in mm, before
// rounding: contact points placed exactly in a configuration that makes the
// design the optimum of the criterion (a line: two at its ends on one side,
// one between them on the other; a plane: three on one side round one on
// the other; a minimum-zone circle: four alternating outer, inner, outer,
// inner round the centre; a circumscribed circle: two opposite points; an
// inscribed one: three whose triangle holds the centre), every other point
// strictly inside the zone (circumscribed: the circle; inscribed: outside
// it) by at least 5 % of F, in random order.
struct TMinimaxDesign
{
    std::vector<TVec> points;
    // The width the criterion gives the points as designed: the form, or 0
    // where the least number of points leaves no range.
    double form = 0;
};
TMinimaxDesign Minimax_Design_Points(const TDataSetOptions &options, const TDesign &design,
                                     TRandom &random);

// Builds a minimax data set: the design points, rounded to the decimals;
// then the reference, the certified minimax fit of the points as written,
// checked against the design (else failure says why).
TDataSet Generate_Minimax_Data_Set(const TDataSetOptions &options, qint32 number,
                                   std::uint64_t seed);
