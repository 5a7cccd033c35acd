#pragma once

#include "core/vector3.h"
#include "fitting/least_squares_fit.h"
#include "generating/data_set_options.h"

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <vector>

// A written coordinate: an integer count of 10^-decimals mm, so that the
// text is exact and the same everywhere.
struct TGridPoint
{
    qint64 x;
    qint64 y;
    qint64 z;
};

// A written reference coordinate: whole millimetres and 1e-15 mm, both of
// the value's sign, so that positions 100,000 mm from the origin keep 15
// decimals (a count of 1e-15 mm alone overflows at about 9,223 mm).
struct TFixedPosition
{
    qint64 whole = 0;
    qint64 femto = 0; // |femto| < 1e15
};

// How far the full three-dimensional circle fit of the written points lies
// from the reference (NIST's definition): the distance of the centres, the
// angle of the axes, the orthogonal diameter minus the reference's.
struct TDefinitionGap
{
    double position = 0; // mm
    double angle = 0;    // rad
    double size = 0;     // mm
};

// One generated data set: the written points and the least-squares element
// they belong to.
struct TDataSet
{
    TDataSetOptions options;
    qint32 number = 1; // the feature number, as the record states it
    int decimals = 5;
    std::vector<TGridPoint> points;
    // The reference as written, in units of 1e-15 (mm, degrees, or 1 for
    // directions).
    TFixedPosition position[3];
    qint64 direction[3] = {0, 0, 0}; // zero for a sphere
    qint64 diameter = 0;             // zero for a plane or line; a cone's at the position
    qint64 apex_angle = 0;           // cone: included, in degrees
    qint64 minor_diameter = 0;       // torus
    // Minimax data sets: F, and a line's plane normal (unit, 1e-15).
    qint64 form = 0;
    qint64 plane_normal[3] = {0, 0, 0};
    // Orthogonal distances of the written points from the reference, in mm.
    double residual_rms = 0;
    double largest_residual = 0;
    bool has_definition_gap = false; // circles
    TDefinitionGap definition_gap;
    // The sphere cap's axis as designed: the cap is every direction within
    // the half-angle of it, seen from the centre.
    TVector3 cap_axis;
    // Said of a data set whose points cannot deviate (the least number that
    // determines the element); empty otherwise.
    QString note;
    // Why the data set is rejected; empty when it is not.
    QString failure;
};

// A written reference coordinate from a grid coordinate (in 10^-decimals
// mm) plus an offset in mm below 1e3.
TFixedPosition Fixed_Position(qint64 grid, int decimals, double offset);

// Builds a data set by the null-space method: the design element, foot
// points on it, deviations that leave it the least-squares element, scaled
// to the form deviation and rounded to the decimals; then the reference,
// the least-squares element of the points as written, and the check that
// the fitting library, from its own start, finds the same (else failure
// says why). The same options, number and seed give the same data set on
// every machine.
TDataSet Generate_Data_Set(const TDataSetOptions &options, qint32 number, std::uint64_t seed);

// The design and the points before they are rounded, in mm: what the data
// set of the same options and seed is built from, for checking the
// construction. The direction is the design's normal, direction or axis (a
// sphere's cap axis), of either sign (a cone's towards its wider end); the
// diameter is zero for a plane or line, a cone's at the position.
struct TDesignedPoints
{
    TVector3 position;
    TVector3 direction;
    double diameter = 0;
    double apex_angle = 0; // rad
    double minor_diameter = 0;
    std::vector<TVector3> points;
};
TDesignedPoints Designed_Points(const TDataSetOptions &options, std::uint64_t seed);

// The points as a reader of the written file gets them.
std::vector<TVector3> Written_Points(const TDataSet &data_set);
// The reference as a reader of the written file gets it (iterations 0).
TFit Written_Reference(const TDataSet &data_set);

// What the data set is held to: the reference within 1e-9 mm (plus 1e-14 of
// the distance from the origin for positions) and 1e-9 rad of the exact
// least-squares fit of its written points; a cone's apex angle within 1e-9 rad.
constexpr double REFERENCE_TOLERANCE = 1e-9;
constexpr double REFERENCE_TOLERANCE_PER_DISTANCE = 1e-14;

// The gaps a suite keeps its circles below: a tenth of the default MPEs.
constexpr double SUITE_GAP_LENGTH = 1e-5;
constexpr double SUITE_GAP_ANGLE = 1e-7;

// The data sets 1..count of a file, all with the same options, data set i
// from its own engine seeded by the run's seed and i.
std::vector<TDataSet> Generate_Data_Sets(const TDataSetOptions &options, int count,
                                         std::uint64_t seed);
