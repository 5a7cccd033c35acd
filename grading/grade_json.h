#pragma once

#include "grading/grade_report.h"

#include <QByteArray>

struct TSuiteReport;

// The report as JSON: inputs, tested software, MPEs, one entry per feature
// in reference order with the quantities of its type (in mm and rad: the
// deviation; the uncertainty e and its parts, the resolution of the tested
// values and the reference's rounding and definition), and the summary.
QByteArray Grade_Json(const TGradeReport &report);

// A suite as JSON: the directories, tested software and MPEs, "files" (each
// with its reference, results, features and summary), "summary_by_type"
// (per feature type and quantity: data sets, graded, rms, largest and
// largest_share of the MPE, the verdict counts) and the summary of all.
QByteArray Suite_Json(const TSuiteReport &suite);
