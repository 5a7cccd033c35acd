#pragma once

#include "generating/data_set_options.h"

#include <vector>

// The fixed suite's minimax data sets of a type and criterion: 50 that
// together cover the least number of points up to 10,000; F from 0.1 um to
// 1 mm; sizes from 1 to 1000 mm; distances up to 10,000 mm; axis, tilted and
// random orientations; plane patches of aspect 1 and 10; circles on arcs of
// 360, 180 and 120 degrees (those an inscribed or circumscribed circle can
// stand on: 360, 240 and 200, or 360, 180 and 180); and one in four with
// its deviations on a ramp, whose least-squares element lies off the minimax
// one. Empty for a type and criterion the suite has no file of.
std::vector<TDataSetOptions> Minimax_Suite_Options(TFeatureType type, TCriterion criterion);
