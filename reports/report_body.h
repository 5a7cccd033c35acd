#pragma once

#include "grading/grade_report.h"
#include "grading/suite_report.h"

#include <QString>

#include <vector>

// One piece of the report's content, as the PDF lays it out on its pages: a
// heading stays with what follows it, a feature's table is never split, and
// the chart goes where its part stands.
struct TReportPart
{
    enum TKind
    {
        HEADING, // a title or section heading: never the last thing on a page
        TEXT,    // facts, paragraphs, summaries
        FEATURE, // one feature's table
        CHART    // where the chart goes: its html is empty
    };
    TKind kind;
    QString html;
};

// How the report is to be shown.
struct TReportStyle
{
    // QTextDocument knows no padding of an inline element: the verdicts'
    // badges get spaces inside them instead.
    bool padded_badges = false;
};

// The report's content as HTML parts, from the title to the chart, for the
// page and for the PDF alike; each styles them with classes of its own.
// Every text from the inputs is escaped.
std::vector<TReportPart> Report_Parts(const TGradeReport &report,
                                      const TReportStyle &style = TReportStyle());
// The same for a suite: its facts, the summary of all and per feature type,
// then each file's facts, summary and features.
std::vector<TReportPart> Report_Parts(const TSuiteReport &suite,
                                      const TReportStyle &style = TReportStyle());

// The parts put together, chart the markup that stands where the chart goes.
QString Report_Body(const TGradeReport &report, const QString &chart);
QString Report_Body(const TSuiteReport &suite, const QString &chart);

// The report's title, for the page's <title> and the PDF's.
QString Report_Title();

// "Report 3F2A-9C1B-77D0-E412", for the page's and every PDF page's footer.
QString Report_Footer(const QString &report_id);
