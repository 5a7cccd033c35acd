#pragma once

#include "grading/grade_report.h"
#include "grading/suite_report.h"

#include <QString>

// The report's content as HTML, from the title to the chart, for the page
// and for the PDF's QTextDocument alike; each styles it with classes of its
// own. chart is the markup that stands where the chart goes. Every text
// from the inputs is escaped.
QString Report_Body(const TGradeReport &report, const QString &chart);

// The same for a suite: its facts, the summary of all and per feature type,
// then each file's facts, summary and features.
QString Report_Body(const TSuiteReport &suite, const QString &chart);

// The report's title, for the page's <title> and the PDF's.
QString Report_Title();
