#pragma once

#include "validation/criterion.h"
#include "validation/feature_type.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cmath>
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
    POSITION,   // millimetres
    ANGLE,      // radians
    SIZE,       // millimetres, signed: tested diameter minus reference diameter
    APEX_ANGLE, // radians, signed: a cone's tested included angle minus the reference's
    MINOR_SIZE, // millimetres, signed: a torus' tested minor diameter minus the reference's
    FORM        // millimetres, signed: a minimax feature's tested F minus the reference's
};

// The quantities a type is graded by, in the order of its grades.
std::vector<TQuantity> Quantities_Of(TFeatureType type);
// Of a type's features under a criterion: the least-squares ones, without
// a cone's or a torus' extras, and form for the minimum zone.
std::vector<TQuantity> Quantities_Of(TFeatureType type, TCriterion criterion);

// Whether a quantity is in radians (and against the angle MPE).
bool Is_Angle(TQuantity quantity);

// The maximum permissible errors, each either the default or given on the
// command line, which the reports say.
struct TMpe
{
    double position = 0.0001; // mm
    double angle = 0.000001;  // rad
    double size = 0.0001;     // mm
    double form = 0.0001;     // mm
    bool position_given = false;
    bool angle_given = false;
    bool size_given = false;
    bool form_given = false;
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
    // three-dimensional definition than under NIST's. NaN when the part
    // could not be computed: unknown, never 0, and the quantity is then
    // inconclusive.
    double reference_rounding = 0;
    double reference_definition = 0;

    // e, the uncertainty the verdict allows for; NaN when a part is unknown.
    double Uncertainty() const { return resolution + reference_rounding + reference_definition; }
    bool Uncertainty_Known() const
    {
        return !std::isnan(reference_rounding) && !std::isnan(reference_definition);
    }
};

struct TFeatureGrade
{
    QString label; // "PLN_7"
    TFeatureType type;
    TVerdict verdict;
    // The quantities of the type, in the order of Quantities_Of; none for a
    // missing, ambiguous or unfit feature.
    std::vector<TQuantityGrade> quantities;
    QString note; // why a feature is missing or unfit, for the reports
    // Of the file's reference: a minimax feature is graded on its form too.
    TCriterion criterion = TCriterion::LEAST_SQUARES;
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

// The result of a whole run: PASS only when every feature passed, FAIL when
// any failed, NOT PASSED otherwise (inconclusive, missing, ambiguous or
// unfit features, or none at all).
enum class TOverall
{
    PASS,
    FAIL,
    NOT_PASSED
};

TOverall Overall_Result(const TGradeSummary &summary);
// "PASS", "FAIL", "NOT PASSED".
const char *Overall_Name(TOverall overall);
// What keeps a run from passing, the counts that are not 0 in the order of
// the verdicts: "1 inconclusive, 1 missing"; "1 fail, 2 missing"; empty
// when it passed, "no feature was graded" when there was none.
QString Overall_Reasons(const TGradeSummary &summary);
// "PASS", "FAIL: 1 fail, 2 missing", "NOT PASSED: 1 inconclusive, 1 missing".
QString Overall_Text(const TGradeSummary &summary);

// |d| / m; infinite when m is zero and d is not.
double Mpe_Share(double value, double mpe);

// Adds a verdict to the counts.
void Count_Verdict(TVerdict verdict, TGradeSummary &summary);

// A doubt about a feature's grade, for the warnings of tessaline-grade.
struct TGradeWarning
{
    int line_number; // the feature's line in the validation file
    QString message; // names the feature's label; lower case first, no final period
};

// Who graded, where and why: the optional --lab, --operator and --comment,
// printed at the top of the reports and stored in the JSON.
struct TGradeRecord
{
    QString lab;
    QString operator_name;
    QString comment;
};

// One grading run, as every output of tessaline-grade reports it.
struct TGradeReport
{
    QString reference_path;      // the validation file, absolute
    QByteArray reference_sha256; // hexadecimal, lower case
    QString results_path;        // absolute; empty with --refit
    QByteArray results_sha256;   // empty with --refit
    QString results_format;      // "DMIS output", "CSV", "QIF 3.0.0"; empty with --refit
    bool refit = false;          // the file's values graded against Tessaline's own fits
    // What the file's references minimise; its features are graded by it.
    TCriterion criterion = TCriterion::LEAST_SQUARES;
    QString tested_software; // may be empty
    TGradeRecord record;
    TMpe mpe;
    QDateTime date;    // when it was graded: local time, or UTC from SOURCE_DATE_EPOCH
    QString version;   // Tessaline's, "1.0"
    QString report_id; // Report_Identifier() of the inputs and the date
    // In reference order, one per label (a duplicated label is one
    // ambiguous entry).
    std::vector<TFeatureGrade> features;
    TGradeSummary summary;
    std::vector<TGradeWarning> warnings;
};

// "plane" for least squares, "plane minimum-zone", "circle maximum-inscribed":
// a feature's type as the tables and reports name it.
QString Type_Name(TFeatureType type, TCriterion criterion);

// "pass", "fail", "inconclusive", "missing", "ambiguous", "unfit".
const char *Verdict_Name(TVerdict verdict);
// "position", "angle", "size", "apex angle", "minor size", "form": as the tables,
// the reports and the chart name a quantity.
const char *Quantity_Name(TQuantity quantity);
// "position", "angle", "size", "apex_angle", "minor_size": the JSON's names.
const char *Quantity_Key(TQuantity quantity);
// The MPE a quantity is graded against.
double Quantity_Mpe(TQuantity quantity, const TMpe &mpe);

// The least-squares fit definitions Tessaline grades with, one sentence per
// type, for --help.
QString Fit_Definitions();
// What every fit shares, "Least-squares (Gaussian, orthogonal-distance)
// fits.", and the sentence of one type, for a report that lists the types it
// grades only.
QString Fit_Definitions_Preamble();
QString Fit_Definition(TFeatureType type);
// The same for minimax fits: "Minimax (Chebyshev) fits: ...", and one
// sentence per type and criterion.
QString Minimax_Definitions_Preamble();
QString Minimax_Definition(TFeatureType type, TCriterion criterion);

// The standards the grading follows, for the reports: the test of the
// software's fits and the decision rule.
QString Test_Standard();     // "ISO 10360-6"
QString Decision_Standard(); // "ISO 14253-1"

// A number written with decimals places; a value that rounds to zero is
// written without a sign ("0.000000", never "-0.000000").
QString Fixed_Text(double value, int decimals);
