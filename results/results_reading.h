#pragma once

#include "core/vector3.h"
#include "validation/criterion.h"
#include "validation/feature_type.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// A feature of the reference, as the results are matched against it. Labels
// are unique here; a label that stands for several reference features (a
// duplicate feature number) is given once.
struct TReferenceLabel
{
    QString label; // "PLN_7", "CIR_-3"
    TFeatureType type;
};

// The tested software's result for one reference feature, lengths in
// millimetres. Resolutions are what each value is known to (see
// number_resolution.h), converted to millimetres for lengths.
struct TTestedFeature
{
    QString label;       // the reference label it was matched to
    int line_number = 0; // 1-based line of the results where the statement starts
    // False when the result cannot be used (a field that is empty or not a
    // number, coordinates other than CART, a result of the wrong type, an
    // unknown length unit): the feature then counts as missing.
    bool usable = false;
    // Plane, line: a point on it; circle, sphere, torus: the centre;
    // cylinder, cone: a point on the axis (a cone's vertex, or the point its
    // diameter is stated at).
    TVector3 position;
    TVector3 direction; // as written, not normalised; a bounded line: second point minus first
    // Circle, sphere, cylinder; a cone's at position (0 at its vertex); a
    // torus' major diameter.
    double diameter = 0;
    double apex_angle = 0;           // cone: the included angle, radians
    double minor_diameter = 0;       // torus
    double position_resolution = 0;  // largest of x, y, z
    double direction_resolution = 0; // largest of i, j, k; a bounded line: 2 r_xyz / |p2 - p1|
    double diameter_resolution = 0;
    double apex_angle_resolution = 0; // radians
    double minor_diameter_resolution = 0;
    // The form the software states for the feature (straightness, flatness,
    // roundness, sphericity, cylindricity), when it states one.
    bool has_form = false;
    double form = 0;
    double form_resolution = 0;
};

// A line of the results that could not be used, or a doubt about one.
struct TResultsWarning
{
    int line_number; // 1-based line where the statement or row starts
    // Plain English, lower case first, no final period, to be printed as
    // "FILE:LINE: warning: MESSAGE". Fields of the file it quotes are cut
    // to 40 characters.
    QString message;
};

// The formats a results file is read as, told apart by content.
enum class TResultsFormat
{
    DMIS_OUTPUT,
    CSV,
    QIF
};

// Why results cannot be used at all.
enum class TResultsFailure
{
    NONE,
    UNUSABLE,           // XML not well-formed, not QIF, an unknown length or angular unit, ...
    NO_SUCH_QIF_RESULTS // the MeasurementResults asked for is beyond those of the file
};

struct TResultsReading
{
    TResultsFormat format = TResultsFormat::DMIS_OUTPUT;
    QString qif_version; // QIF only: "3.0.0" as the file states it, else "3" or "2"
    int qif_results = 0; // QIF only: how many MeasurementResults the file holds
    // At most one per reference label, the last one given, in the order of
    // the results.
    std::vector<TTestedFeature> features;
    // In line order.
    std::vector<TResultsWarning> warnings;
    // Results whose label is not in the reference, not counting those that
    // name a reference feature in another style (which get one warning).
    int unmatched_labels = 0;
    // Other than NONE when nothing of the file can be graded; features and
    // warnings are then empty.
    TResultsFailure failure = TResultsFailure::NONE;
    int failure_line = 0; // 0 when no one line is to blame
    QString failure_message;
};

// The suffixes of the results files of a suite, "NAME.dmo" and so on, in
// the order they are looked for; every results format has its suffix here.
const QStringList &Results_Suffixes();

// The length units a CSV file may be written in; it states none itself
// unless it has a unit column.
enum class TCsvUnit
{
    MILLIMETRE,
    INCH
};

struct TResultsOptions
{
    // The MeasurementResults of a QIF file to grade, from 1; 0 grades the
    // first, with a warning when there are several.
    int qif_results = 0;
    // The lengths of a CSV file's rows without a unit column of their own.
    TCsvUnit csv_unit = TCsvUnit::MILLIMETRE;
    // The association the reference is fitted by: a result that names
    // another is warned about.
    TCriterion criterion = TCriterion::LEAST_SQUARES;
};

// Reads a DMIS output file, a CSV file or a QIF document, told apart by
// content: a QIF document starts with "<", a CSV file with its header line.
// A file in which no result at all is found gets a warning that says so.
// Never throws for any content.
TResultsReading Read_Results(const QByteArray &content,
                             const std::vector<TReferenceLabel> &reference,
                             const TResultsOptions &options = TResultsOptions());

// "DMIS output", "CSV", "QIF 3.0.0".
QString Results_Format_Name(const TResultsReading &reading);
