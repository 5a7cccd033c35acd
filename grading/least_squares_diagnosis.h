#pragma once

#include "grading/grade_report.h"
#include "grading/reference_reading.h"

#include <QString>

// Much software reports a minimax value about its least-squares element:
// flatness as the range of the points about the least-squares plane, a
// circumscribed diameter about the least-squares centre. Where a result
// fails and equals that value within its MPE, the warning that says so
// ("PLN_3: the form equals the range about the least-squares plane
// (0.004122 mm), not the minimum zone (0.003170 mm)"); empty otherwise.
QString Least_Squares_Diagnosis(const TReferenceFeature &feature, TFeatureType type,
                                TCriterion criterion, const TFeatureGrade &grade,
                                double tested_diameter, double tested_form, const TMpe &mpe);
