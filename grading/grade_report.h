#pragma once

#include "validation/feature_type.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

// How a quantity or a feature came out, by the decision rules of ISO 14253-1
// for the first three: a value under test is only known to the resolution it
// was written with.
enum class TVerdict
{
    PASS,         // |d| + e <= MPE
    FAIL,         // |d| - e > MPE
    INCONCLUSIVE, // neither
    MISSING,      // no usable result for the feature
    AMBIGUOUS,    // its label stands for two or more reference features
    UNFIT         // the reference fit could not be made, or a direction is zero
};

enum class TQuantity
{
    POSITION, // millimetres
    ANGLE,    // radians
    SIZE      // millimetres, signed: tested diameter minus reference diameter
};

// The maximum permissible errors.
struct TMpe
{
    double position = 0.0001; // mm
    double angle = 0.000001;  // rad
    double size = 0.0001;     // mm
};

struct TQuantityGrade
{
    TQuantity quantity;
    double deviation;  // d, in mm or rad
    double resolution; // what the tested values' written resolution allows
    double mpe;        // m
    TVerdict verdict;
    // What the reference leaves open by itself: its points as the program
    // writes them (6 decimals) fit slightly otherwise than as the file has
    // them; a circle in space fits otherwise under the full
    // three-dimensional definition than under NIST's.
    double reference_rounding = 0;
    double reference_definition = 0;

    // e, the uncertainty the verdict allows for.
    double Uncertainty() const { return resolution + reference_rounding + reference_definition; }
};

struct TFeatureGrade
{
    QString label; // "PLN_7"
    TFeatureType type;
    TVerdict verdict;
    // The quantities of the type (plane, line: position and angle; circle:
    // position, angle, size; sphere: position and size), in that order; none
    // for a missing, ambiguous or unfit feature.
    std::vector<TQuantityGrade> quantities;
    QString note; // why a feature is missing or unfit, for the reports
};

struct TGradeSummary
{
    int pass = 0;
    int fail = 0;
    int inconclusive = 0;
    int missing = 0;
    int ambiguous = 0;
    int unfit = 0;

    int Features() const { return pass + fail + inconclusive + missing + ambiguous + unfit; }
    // Exit status 0: every graded feature passed, and there was one.
    bool All_Pass() const { return pass > 0 && pass == Features(); }
};

// |d| / m; infinite when m is zero and d is not.
double Mpe_Share(double value, double mpe);

// Adds a verdict to the counts.
void Count_Verdict(TVerdict verdict, TGradeSummary &summary);

// One grading run, as every output of tessaline-grade reports it.
struct TGradeReport
{
    QString reference_path;      // the validation file
    QByteArray reference_sha256; // hexadecimal, lower case
    QString results_path;        // empty with --refit
    QByteArray results_sha256;   // empty with --refit
    QString results_format;      // "DMIS output", "CSV", "QIF 3.0.0"; empty with --refit
    bool refit = false;          // the file's values graded against Tessaline's own fits
    QString tested_software;     // may be empty
    TMpe mpe;
    QDateTime date;  // when it was graded, local time
    QString version; // Tessaline's, "1.0"
    // In reference order, one per label (a duplicated label is one
    // ambiguous entry).
    std::vector<TFeatureGrade> features;
    TGradeSummary summary;
};

// "pass", "fail", "inconclusive", "missing", "ambiguous", "unfit".
const char *Verdict_Name(TVerdict verdict);
// "position", "angle", "size".
const char *Quantity_Name(TQuantity quantity);

// The least-squares fit definitions Tessaline grades with, one sentence per
// type, for --help and the reports.
QString Fit_Definitions();
