#pragma once

#include "grading/grade_report.h"

#include <QByteArray>

// The table tessaline-grade prints, UTF-8: one row per graded quantity
// (label, quantity, deviation in µm or µrad, MPE, verdict), one row for a
// feature without quantities, then the line
// "N features: P pass, F fail, I inconclusive, M missing, A ambiguous, U unfit".
QByteArray Grade_Table(const TGradeReport &report);

// The deviation or MPE of a quantity in µm or µrad, with its unit.
QString Micro_Text(TQuantity quantity, double value);
