#pragma once

#include "grading/grade_report.h"
#include "grading/suite_report.h"

#include <QString>

// Writes the grading report as a PDF on A4 pages, numbered: the content of
// Report_Html laid out by QTextDocument, the chart drawn onto the pages. The whole
// file is made in memory and then saved with Save_Whole_File, so a failed
// write never leaves half a report. On failure returns false and the
// reason.
//
// Needs a QGuiApplication, for the fonts (a command-line caller creates one
// on the offscreen platform: QT_QPA_PLATFORM=offscreen or -platform
// offscreen); without one it fails and says so.
bool Write_Pdf_Report(const QString &path, const TGradeReport &report, QString *reason);

// The same for a suite, its chart grouped by file.
bool Write_Pdf_Report(const QString &path, const TSuiteReport &suite, QString *reason);
