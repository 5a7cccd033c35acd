#pragma once

#include "grading/grade_report.h"
#include "grading/suite_report.h"
#include "reports/pdf_layout.h"
#include "reports/report_body.h"

#include <QString>

#include <vector>

// Writes the grading report as a PDF on A4 pages: the parts of Report_Parts
// laid out by QTextDocument, the chart drawn onto the pages, each page's
// footer naming the report's identifier and "page N of M". Where the blocks
// go is Pdf_Layout's. The whole file is made in memory and then saved with
// Save_Whole_File, so a failed write never leaves half a report. On failure
// returns false and the reason.
//
// Needs a QGuiApplication, for the fonts (a command-line caller creates one
// on the offscreen platform: QT_QPA_PLATFORM=offscreen or -platform
// offscreen); without one it fails and says so.
bool Write_Pdf_Report(const QString &path, const TGradeReport &report, QString *reason);

// The same for a suite, its chart grouped by file.
bool Write_Pdf_Report(const QString &path, const TSuiteReport &suite, QString *reason);

// What the PDF's pages hold, as Write_Pdf_Report draws them.
struct TPdfLayout
{
    std::vector<TReportPart> parts; // the text, as TEXT blocks index it
    std::vector<TChartRow> rows;    // the chart's rows, as CHART blocks index them
    std::vector<TPdfBlock> blocks;
    std::vector<TPdfPage> pages;
    double width = 0;       // of a page's body, in pixels
    double body_height = 0; // above the footer
};

// The layout of the report's PDF. Needs a QGuiApplication.
TPdfLayout Pdf_Layout(const TGradeReport &report);
TPdfLayout Pdf_Layout(const TSuiteReport &suite);
