#pragma once

#include "grading/grade_report.h"
#include "grading/reference_reading.h"
#include "results/results_reading.h"

#include <QStringList>

// What results that plainly do not belong to the reference look like, said
// once for a whole file rather than feature by feature:
// - every graded feature's lengths are off by one factor, 25.4 or 1000 (or
//   its inverse): a unit mistaken, most likely a CSV file in inches;
// - otherwise most graded features are off by more than 1 mm, or no label of
//   the results is in the reference: results of another data set.
// Each hint is a sentence for "FILE: warning: HINT", lower case first, no
// final period; the unit hint says how a CSV file states its unit.
QStringList Results_Hints(const TReference &reference, const TResultsReading &results,
                          const TGradeReport &report);

// The length by which a feature counts as far off.
constexpr double FAR_OFF = 1.0; // mm
