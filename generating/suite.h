#pragma once

#include "generating/data_set.h"

#include <QString>

#include <cstdint>
#include <vector>

// The fixed suite: for each type at least 30 data sets that together cover
// the least number of points and a few more, 25 to 50 and 500 points; sizes
// from 1 to 500 mm; distances of 0, 10, 100 and 1000 mm; axis, tilted and
// random orientations; no form, small form (1e-4 of the size) and large form
// (1e-2 of the size); circles on arcs of 360, 180, 90, 30 and 10 degrees,
// sphere caps of 180, 90, 45 and 20 degrees, plane patches of aspect 1 and
// 10; cylinders and cones of length over diameter 0.1, 1 and 10 on arcs of
// 360, 180, 90 and 30 degrees, cones of apex angles 1, 5, 30, 60, 90 and 120
// degrees, tori of minor over major diameter from 0.1 to 0.5 on arcs of 360
// and 90 degrees and bands of 360 and 60 (a bearing race), one data set of
// each of these three types 10,000 mm away; coordinates to 5 decimals, 6 on the circles that are
// not axis-aligned and on short arcs (30 degrees or less) or small (2 mm or less), where 5 would
// part the two circle definitions measurably. It changes only with Tessaline's version.
std::vector<TDataSetOptions> Suite_Options(TFeatureType type);

// The suite's data sets of one type, data set i (from 1) built from its own
// engine, seeded by the seed, the type and i.
std::vector<TDataSet> Generate_Suite(TFeatureType type, std::uint64_t seed);

// Why generated suite data sets cannot be written: a rejected data set, or a
// circle whose definition gap is not below SUITE_GAP_LENGTH and
// SUITE_GAP_ANGLE; empty when they can.
QString Suite_Problem(const std::vector<TDataSet> &data_sets);

// The suite's file of a type: "plane.dat".
QString Suite_File_Name(TFeatureType type);

// A file of the suite: its type and criterion.
struct TSuiteFile
{
    TFeatureType type;
    TCriterion criterion;
};
// The suite's files: the least-squares files of FEATURE_TYPES, then the
// minimax ones (see minimax_suite.h).
const std::vector<TSuiteFile> &Suite_Files();
// "plane.dat", "plane-minimum-zone.dat".
QString Suite_File_Name(const TSuiteFile &file);
// The suite's data sets of a file; least-squares files as Generate_Suite of
// their type.
std::vector<TDataSet> Generate_Suite(const TSuiteFile &file, std::uint64_t seed);
