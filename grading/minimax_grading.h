#pragma once

#include "grading/grade_report.h"
#include "grading/reference_reading.h"
#include "results/results_reading.h"

// Grades the tested software's result for one feature of a minimax file:
// the least-squares type's quantities and, for the minimum zone, the form
// (F_t - F_r against the form MPE). A minimum-zone result that states no
// form is missing, except a sphere in DMIS output, which has no sphericity:
// it is graded without form, with a warning. Warnings go to the report.
TFeatureGrade Grade_Minimax_Result(const TReference &reference, const TReferenceFeature &feature,
                                   const TTestedFeature &result, TResultsFormat format,
                                   TGradeReport &report);

// Grades a minimax file's stated reference against Tessaline's certified
// minimax fit of its points.
TFeatureGrade Grade_Minimax_Refit(const TReference &reference, const TReferenceFeature &feature,
                                  TGradeReport &report);
