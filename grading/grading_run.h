#pragma once

#include "grading/grade_report.h"
#include "grading/reference_reading.h"
#include "results/results_reading.h"

#include <vector>

// The reference's labels, each once, in the order they first appear.
std::vector<TReferenceLabel> Reference_Labels(const TReference &reference);

// Grades the tested software's results against the validation file's
// reference: fills report.features and report.summary.
void Grade_Results(const TReference &reference, const TResultsReading &results,
                   TGradeReport &report);

// Grades a validation file for which there are no results: every feature
// is missing (or ambiguous).
void Grade_Without_Results(const TReference &reference, TGradeReport &report);

// Grades the validation file's own stated results against Tessaline's
// least-squares fits of their points: whether a file is self-consistent.
void Grade_Refit(const TReference &reference, TGradeReport &report);
