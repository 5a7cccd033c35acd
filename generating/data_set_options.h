#pragma once

#include "validation/criterion.h"
#include "validation/feature_type.h"

#include <QString>

// How the design element is turned: "axis" exactly along a coordinate axis,
// "tilted" 0.001 rad off one, "random" uniform over the directions.
enum class TOrientation
{
    AXIS,
    TILTED,
    RANDOM
};

// What one data set is made of.
struct TDataSetOptions
{
    TFeatureType type = TFeatureType::PLANE;
    int points = 25;
    double size = 50;    // mm: diameter, the plane patch's long side, the line segment's length
    double aspect = 1;   // plane: the patch's long side over its short side
    double arc = 360;    // degrees: the span round the axis; a sphere cap's half-angle
    double length = 50;  // mm: span of a cylinder's or cone's points along the axis
    double angle = 30;   // degrees: a cone's included apex angle
    double minor = 12.5; // mm: a torus' minor (tube) diameter
    double band = 360;   // degrees: span of a torus' tube angle about its outer equator
    double distance = 0; // mm, of the design position from the origin
    TOrientation orientation = TOrientation::RANDOM;
    double form = 0.001; // mm: the largest deviation of a point from the design
    int decimals = 5;    // of the written coordinates
    // Least squares, or the minimax criterion whose solution the points are
    // built for; then form is the zone's width F.
    TCriterion criterion = TCriterion::LEAST_SQUARES;
    // Minimax data sets: the share, 0 to 1, of the other points' deviations
    // that follows a ramp across the element (along a line or the patch's
    // long side, round a circle), which moves the least-squares element off
    // the minimax one; the rest is uniform.
    double skew = 0;
};

// The defaults of a type: a circle's arc is 360 degrees, a sphere's cap 180;
// a cylinder's or cone's length is the size, a torus' minor diameter a
// quarter of it.
TDataSetOptions Default_Options(TFeatureType type);

// The largest values the options take; beyond them the written numbers
// would not fit the fixed-point text the files are written in.
constexpr int MAX_POINTS = 10000000;
constexpr double MAX_SIZE = 1000;
constexpr double MAX_ASPECT = 1000;
constexpr double MAX_LENGTH = 10000;
constexpr double MAX_DISTANCE = 100000;
constexpr int MAX_DECIMALS = 6;

bool Has_Aspect(TFeatureType type); // plane
bool Has_Arc(TFeatureType type);    // circle, sphere, cylinder, cone, torus
double Max_Arc(TFeatureType type);  // 180 for a sphere, else 360
bool Has_Length(TFeatureType type); // cylinder, cone
bool Has_Angle(TFeatureType type);  // cone
bool Has_Minor(TFeatureType type);  // torus
bool Has_Band(TFeatureType type);   // torus

// A cone's diameter at the narrow end of its points, in mm.
double Narrow_Diameter(const TDataSetOptions &options);

// The longest length of a cone of the size and apex angle whose diameter at
// the narrow end of its points stays a tenth of the size, in mm, rounded
// down to 6 significant digits.
double Longest_Cone_Length(TDataSetOptions options);
// The largest form of the options: a quarter of the size, of a torus' minor
// diameter, of a cone's diameter at the narrow end, in mm.
double Largest_Form(const TDataSetOptions &options);

// Fits the defaults of the options not given to those given: a cone's
// length (when length_default) to at most the longest its size and angle
// allow, the form (when form_default) to at most the largest the rest
// allows, each rounded down to 6 significant digits. Options the defaults
// cannot fit are left for Options_Problem to name.
void Fit_Defaults(TDataSetOptions &options, bool length_default, bool form_default);

const char *Orientation_Name(TOrientation orientation); // "axis"
bool Type_From_Name(const QString &name, TFeatureType &type);
bool Orientation_From_Name(const QString &name, TOrientation &orientation);

// Why the options make no data set, naming the option ("--points: a plane
// needs at least 3"); empty when they do.
QString Options_Problem(const TDataSetOptions &options);

// The parameters in words, for comments and messages: "25 points, diameter
// 50 mm, arc 360 degrees, distance 0 mm, orientation random, form 0.001 mm,
// 5 decimals".
QString Describe(const TDataSetOptions &options);

// A number as briefly as it reads back exactly: "0.001", "50".
QString Number_Text(double value);
