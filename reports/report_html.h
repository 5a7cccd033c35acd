#pragma once

#include "grading/grade_report.h"
#include "grading/suite_report.h"

#include <QByteArray>
#include <QString>

// The grading report as one HTML page, UTF-8: inline styles and an inline
// SVG chart, no script, nothing fetched from anywhere, so it reads offline
// and can be mailed as it is. Every text from the inputs is escaped. Needs
// no QGuiApplication.
QByteArray Report_Html(const TGradeReport &report);

// Writes Report_Html(report) to path with Save_Whole_File: a failed write
// leaves what was there. On failure returns false and the reason.
bool Write_Html_Report(const QString &path, const TGradeReport &report, QString *reason);

// The same for a suite, its chart grouped by file.
QByteArray Report_Html(const TSuiteReport &suite);
bool Write_Html_Report(const QString &path, const TSuiteReport &suite, QString *reason);
