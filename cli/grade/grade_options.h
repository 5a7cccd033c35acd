#pragma once

#include "grading/grade_report.h"
#include "results/results_reading.h"

#include <QString>
#include <QStringList>

// What the command line of tessaline-grade asks for.
struct TGradeOptions
{
    QString validation_file; // empty with --suite
    QString results_file;    // empty with --refit or --suite
    QString suite_dir;       // --suite: the directory of the validation files
    QString results_dir;     // with --suite and not --refit: where the results are
    bool refit = false;
    int qif_results = 0; // --qif-results: the MeasurementResults of a QIF file, from 1; 0 unset
    TMpe mpe;
    QString software;
    TGradeRecord record; // --lab, --operator, --comment
    TCsvUnit csv_unit = TCsvUnit::MILLIMETRE;
    QString json_file;   // "-" for standard output, which then carries no table
    QString report_file; // .html or .pdf
    bool pdf_report = false;
};

enum class TGradeCommand
{
    GRADE,
    SHOW_HELP,
    SHOW_VERSION,
    USAGE_ERROR
};

// Reads the arguments (the program name first). On SHOW_HELP and
// SHOW_VERSION, text holds what to print; on USAGE_ERROR the reason.
TGradeCommand Parse_Grade_Options(const QStringList &arguments, TGradeOptions &options,
                                  QString &text);
