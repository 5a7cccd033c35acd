#pragma once

#include "grading/grade_report.h"

#include <QByteArray>

// The report as JSON: inputs, tested software, MPEs, one entry per feature
// in reference order with the quantities of its type (deviations and
// resolutions in mm and rad), and the summary.
QByteArray Grade_Json(const TGradeReport &report);
