#pragma once

#include "grading/grade_report.h"

#include <vector>

// One quantity of one feature type over every data set of a suite, as
// ASME B89.4.10 summarises a test: how many, the root mean square and the
// largest |deviation|, the largest as a share of the MPE, and the verdicts.
struct TQuantitySummary
{
    TFeatureType type = TFeatureType::PLANE;
    TCriterion criterion = TCriterion::LEAST_SQUARES;
    TQuantity quantity = TQuantity::POSITION;
    // Features of the type; those without values (missing, ambiguous,
    // unfit) count here and in the verdicts, but not in the deviations.
    int data_sets = 0;
    int graded = 0;     // of them, with a deviation of this quantity
    double rms = 0;     // of the graded deviations, mm or rad
    double largest = 0; // |deviation|
    double largest_share = 0;
    TGradeSummary verdicts; // the quantity's, or the feature's without values
};

// A whole suite graded: one report per validation file, in name order.
struct TSuiteReport
{
    QString suite_path;   // the directory of the validation files, absolute
    QString results_path; // the directory of the results, absolute; empty with --refit
    bool refit = false;
    QString tested_software;
    TGradeRecord record;
    TMpe mpe;
    QDateTime date;
    QString version;
    QString report_id;
    // The suite's manifest, DIR/suite.json, when there is one: its SHA-256
    // and the seed it was generated with (-1 when it states none).
    QString manifest_path; // absolute; empty when there is none
    QByteArray manifest_sha256;
    double seed = -1;
    std::vector<TGradeReport> files;
    TGradeSummary summary; // of every feature of every file
    std::vector<TQuantitySummary> by_type;
};

// Fills summary and by_type from the files: the types in the order of
// FEATURE_TYPES, each by criterion in the order of CRITERIA, those without
// features left out, each with the quantities
// it is graded by, every quantity's figures taken from the grades of that
// quantity alone.
void Summarise_Suite(TSuiteReport &suite);

// The file name of a report's validation file, "plane.dat".
QString File_Name(const TGradeReport &report);
