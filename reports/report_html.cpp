#include "reports/report_html.h"

#include "files/save_whole_file.h"
#include "reports/deviation_chart.h"
#include "reports/html_escape.h"
#include "reports/report_body.h"

namespace {

// Wide enough for a long bar on a laptop's screen; narrower windows scale it.
constexpr double CHART_WIDTH = 920;

QString Verdict_Styles()
{
    QString styles;
    for (const TVerdict verdict : {TVerdict::PASS, TVerdict::FAIL, TVerdict::INCONCLUSIVE,
                                   TVerdict::MISSING, TVerdict::AMBIGUOUS, TVerdict::UNFIT}) {
        styles += QStringLiteral(".v.%1 { background: %2; color: %3; }\n")
                      .arg(QLatin1String(Verdict_Name(verdict)), Verdict_Colour(verdict).name(),
                           Verdict_Text_Colour(verdict).name());
    }
    return styles;
}

const char *const PAGE_STYLE = R"(
body { font-family: "DejaVu Sans", Verdana, sans-serif; font-size: 14px; line-height: 1.4;
  color: #1a1a1a; background: #fff; max-width: 960px; margin: 24px auto; padding: 0 20px; }
h1 { font-size: 24px; margin: 0 0 14px; }
h2 { font-size: 17px; margin: 26px 0 8px; padding-bottom: 3px; border-bottom: 1px solid #ccc; }
p { margin: 6px 0; }
table { border-collapse: collapse; }
table.facts th { text-align: left; font-weight: normal; color: #555; padding: 3px 18px 3px 0;
  vertical-align: top; white-space: nowrap; }
table.facts td { padding: 3px 0; overflow-wrap: anywhere; }
.hash { font-family: "DejaVu Sans Mono", monospace; font-size: 12px; color: #444; }
.v { display: inline-block; padding: 0 6px; border-radius: 3px; font-size: 12px;
  font-weight: bold; line-height: 1.5; }
table.summary th, table.summary td { padding: 2px 14px 2px 0; text-align: left; }
table.summary th { font-weight: normal; }
p.overall { font-size: 16px; font-weight: bold; margin-top: 10px; }
table.feature { width: 100%; table-layout: fixed; margin: 0 0 8px; font-size: 13px; }
table.feature tr.head th { background: #eee; font-weight: normal; font-size: 12px; color: #555;
  text-align: right; padding: 2px 6px; }
table.feature tr.head th.name { text-align: left; color: #1a1a1a; font-size: 13px;
  overflow-wrap: anywhere; }
.label { font-weight: bold; }
.type { color: #555; margin: 0 6px 0 2px; }
table.feature td { padding: 1px 6px; border-bottom: 1px solid #eee; }
td.n { text-align: right; white-space: nowrap; font-variant-numeric: tabular-nums; }
td.note { color: #555; font-style: italic; overflow-wrap: anywhere; }
.part { color: #555; font-size: 11px; }
p.legend { color: #444; font-size: 13px; }
svg.chart { display: block; width: 100%; height: auto; margin: 10px 0 24px; }
p.footer { color: #555; font-size: 12px; border-top: 1px solid #ccc; padding-top: 4px; }
.id { font-family: "DejaVu Sans Mono", monospace; font-weight: bold; }
h1, h2, p.legend { break-after: avoid; }
@media print { body { margin: 0; max-width: none; } table.feature { break-inside: avoid; } }
)";

// Printed, every page names the report and its number.
QString Print_Style(const QString &report_id)
{
    // Within a CSS string inside <style>: only what an identifier is made of.
    QString id;
    for (const QChar c : report_id)
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
            (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('-'))
            id += c;
    return QStringLiteral("@page { margin: 15mm 15mm 18mm;\n"
                          "  @bottom-left { content: \"%1 \\00b7  Report %2\"; font-size: 9px; }\n"
                          "  @bottom-right { content: \"page \" counter(page) \" of \" "
                          "counter(pages); font-size: 9px; } }\n")
        .arg(Report_Title(), id);
}

// The page around a body that holds the chart drawn from rows.
template <typename TReport> QByteArray Page(const TReport &report)
{
    const std::vector<TChartRow> rows = Chart_Rows(report);
    const QString chart =
        QString::fromUtf8(Chart_Svg(Chart_Picture(rows, 0, rows.size(), CHART_WIDTH)));
    QString page;
    page +=
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>%1</title>\n<style>")
            .arg(Report_Title());
    page += QLatin1String(PAGE_STYLE) + Verdict_Styles() + Print_Style(report.report_id);
    page += QStringLiteral("</style>\n</head>\n<body>\n");
    page += Report_Body(report, chart);
    page += QStringLiteral("<p class=\"footer\">%1 \u00b7 Tessaline %2</p>\n")
                .arg(Report_Footer(report.report_id), Html_Escaped(report.version));
    page += QStringLiteral("</body>\n</html>\n");
    return page.toUtf8();
}

} // namespace

QByteArray Report_Html(const TGradeReport &report)
{
    return Page(report);
}

QByteArray Report_Html(const TSuiteReport &suite)
{
    return Page(suite);
}

bool Write_Html_Report(const QString &path, const TGradeReport &report, QString *reason)
{
    return Save_Whole_File(path, Report_Html(report), reason);
}

bool Write_Html_Report(const QString &path, const TSuiteReport &suite, QString *reason)
{
    return Save_Whole_File(path, Report_Html(suite), reason);
}
