#pragma once

#include "grading/grade_report.h"

#include <QByteArray>

struct TSuiteReport;

// The table tessaline-grade prints, UTF-8: one row per graded quantity
// (label, quantity, deviation in µm or µrad, MPE, verdict), one row for a
// feature without quantities, then the line
// "N features: P pass, F fail, I inconclusive, M missing, A ambiguous, U unfit".
QByteArray Grade_Table(const TGradeReport &report);

// The table of a suite: the rows of every file with the file's name first,
// one such summary line per file ("plane.dat: N features: ..."), the
// summary per feature type and quantity, and the line
// "F files, N features: ...".
QByteArray Suite_Table(const TSuiteReport &suite);

// The deviation or MPE of a quantity in µm or µrad, with its unit; "too
// large" or "undefined" for a value that is not a number.
QString Micro_Text(TQuantity quantity, double value);
