#include "reports/report_body.h"

#include "grading/suite_report.h"
#include "reports/deviation_chart.h"
#include "reports/html_escape.h"

#include <cmath>
#include <cstdlib>

namespace {

const QString MICRO = QStringLiteral("\u00b5");

QString Upper(TVerdict verdict)
{
    return QString::fromLatin1(Verdict_Name(verdict)).toUpper();
}

// The verdict in words on its colour, so that it reads in black and white.
QString Badge(TVerdict verdict)
{
    return QStringLiteral("<span class=\"v %1\">%2</span>")
        .arg(QLatin1String(Verdict_Name(verdict)), Upper(verdict));
}

// value to at most decimals places, without trailing zeros.
QString Trimmed(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

// A deviation, uncertainty or MPE in micrometres or microradians: fine
// enough for any MPE a machine is checked against.
QString Micro(double value, TQuantity quantity)
{
    const double micro = value * (Is_Angle(quantity) ? 1e6 : 1e3);
    return QString::number(micro, 'f', 6) + QLatin1Char(' ') + MICRO +
           (Is_Angle(quantity) ? QStringLiteral("rad") : QStringLiteral("m"));
}

QString Mpe_Fact(double mpe, bool angle)
{
    const QString unit = angle ? QStringLiteral("rad") : QStringLiteral("mm");
    const QString micro_unit = MICRO + (angle ? QStringLiteral("rad") : QStringLiteral("m"));
    return Trimmed(mpe, 12) + QLatin1Char(' ') + unit + QStringLiteral(" (") +
           Trimmed(mpe * (angle ? 1e6 : 1e3), 9) + QLatin1Char(' ') + micro_unit + QLatin1Char(')');
}

QString Date_Text(const QDateTime &date)
{
    if (!date.isValid())
        return QStringLiteral("not stated");
    const int offset = date.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" (UTC") +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2)")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString Or_Not_Stated(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("not stated") : Html_Escaped(text);
}

QString Fact(const QString &name, const QString &value)
{
    return QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n").arg(name, value);
}

QString File_Fact(const QString &path, const QByteArray &sha256)
{
    return QStringLiteral(
               "<span class=\"path\">%1</span><br><span class=\"hash\">SHA-256 %2</span>")
        .arg(Or_Not_Stated(path), Or_Not_Stated(QString::fromLatin1(sha256)));
}

QString Overall(const TGradeSummary &summary)
{
    QString reason;
    if (summary.All_Pass())
        reason = QStringLiteral("every feature passed.");
    else if (summary.Features() == 0)
        reason = QStringLiteral("no feature was graded.");
    else
        reason =
            QStringLiteral("%1 of %2 features passed.").arg(summary.pass).arg(summary.Features());
    return QStringLiteral(
               "<p class=\"overall\">Overall result: <span class=\"v %1\">%2</span> %3</p>\n")
        .arg(summary.All_Pass() ? QStringLiteral("pass") : QStringLiteral("fail"),
             summary.All_Pass() ? QStringLiteral("PASS") : QStringLiteral("FAIL"), reason);
}

QString Summary_Table(const TGradeSummary &summary)
{
    const std::pair<TVerdict, int> counts[] = {
        {TVerdict::PASS, summary.pass},
        {TVerdict::FAIL, summary.fail},
        {TVerdict::INCONCLUSIVE, summary.inconclusive},
        {TVerdict::MISSING, summary.missing},
        {TVerdict::AMBIGUOUS, summary.ambiguous},
        {TVerdict::UNFIT, summary.unfit},
    };
    QString head, body;
    for (const auto &count : counts) {
        head += QStringLiteral("<th>") + Badge(count.first) + QStringLiteral("</th>");
        body += QStringLiteral("<td class=\"n\">%1</td>").arg(count.second);
    }
    head += QStringLiteral("<th>features</th>");
    body += QStringLiteral("<td class=\"n\">%1</td>").arg(summary.Features());
    return QStringLiteral("<table class=\"summary\">\n<tr>") + head +
           QStringLiteral("</tr>\n<tr>") + body + QStringLiteral("</tr>\n</table>\n");
}

// e, and beside it the reference's own parts of it when it has any; an
// unknown part makes e unknown.
QString Uncertainty_Cell(const TQuantityGrade &quantity)
{
    const QString unknown = QStringLiteral("unknown");
    QString cell =
        quantity.Uncertainty_Known() ? Micro(quantity.Uncertainty(), quantity.quantity) : unknown;
    // A part too small to show in the digits of e is left out.
    const QString nothing = Micro(0, quantity.quantity);
    const std::pair<const char *, double> parts[] = {
        {"reference rounding", quantity.reference_rounding},
        {"reference definition", quantity.reference_definition}};
    for (const auto &part : parts) {
        const QString text =
            std::isnan(part.second) ? unknown : Micro(part.second, quantity.quantity);
        if (text != nothing)
            cell += QStringLiteral("<br><span class=\"part\">%1 %2</span>")
                        .arg(QLatin1String(part.first), text);
    }
    return cell;
}

QString Feature_Table(const TFeatureGrade &feature)
{
    const QString name =
        QStringLiteral("<span class=\"label\">%1</span> <span class=\"type\">%2</span> %3")
            .arg(Html_Escaped(feature.label), QLatin1String(Feature_Type_Name(feature.type)),
                 Badge(feature.verdict));
    QString table = QStringLiteral("<table class=\"feature\" width=\"100%\">\n");
    if (feature.quantities.empty()) {
        table +=
            QStringLiteral("<tr class=\"head\"><th class=\"name\" colspan=\"6\">%1</th></tr>\n")
                .arg(name);
        const QString note = feature.note.isEmpty()
                                 ? QStringLiteral("No values were graded.")
                                 : QStringLiteral("No values: ") + Html_Escaped(feature.note);
        table += QStringLiteral("<tr><td class=\"note\" colspan=\"6\">%1</td></tr>\n").arg(note);
    } else {
        table +=
            QStringLiteral("<tr class=\"head\"><th class=\"name\" width=\"31%\">%1</th>"
                           "<th width=\"16%\">deviation d</th><th width=\"15%\">uncertainty e</th>"
                           "<th width=\"14%\">MPE</th><th width=\"10%\">|d| / MPE</th>"
                           "<th width=\"14%\">verdict</th></tr>\n")
                .arg(name);
        for (const TQuantityGrade &quantity : feature.quantities) {
            table += QStringLiteral("<tr><td>%1</td><td class=\"n\">%2</td><td class=\"n\">%3</td>"
                                    "<td class=\"n\">%4</td><td class=\"n\">%5</td>"
                                    "<td class=\"n\">%6</td></tr>\n")
                         .arg(QLatin1String(Quantity_Name(quantity.quantity)),
                              Micro(quantity.deviation, quantity.quantity),
                              Uncertainty_Cell(quantity), Micro(quantity.mpe, quantity.quantity),
                              Share_Text(Mpe_Share(quantity.deviation, quantity.mpe)),
                              Badge(quantity.verdict));
        }
    }
    table += QStringLiteral("</table>\n");
    return table;
}

QString Definitions_And_Rule()
{
    return QStringLiteral("<h2>Fit definitions</h2>\n<p>%1</p>\n")
               .arg(Html_Escaped(Fit_Definitions())) +
           QStringLiteral(
               "<h2>Decision rule</h2>\n<p>A quantity with deviation d passes when |d| + e "
               "\u2264 MPE, fails when |d| \u2212 e &gt; MPE and is inconclusive otherwise, where "
               "e is the uncertainty from the resolution the tested values were written with, "
               "plus the reference's own: the difference its points make when rounded to the 6 "
               "decimals of the program (reference rounding) and, for a circle, the difference "
               "of NIST's definition from the full three-dimensional fit (reference "
               "definition). A part that cannot be computed is unknown, never 0: its quantity is "
               "inconclusive. A feature fails when one of its quantities fails, is inconclusive "
               "when one is inconclusive and none fails, and passes when all pass. The apex angle "
               "(a cone's included angle) is graded against the angle MPE, the minor size (a "
               "torus' minor diameter) against the size MPE.</p>\n");
}

QString Mpe_Facts(const TMpe &mpe)
{
    return Fact(QStringLiteral("MPE, position"), Mpe_Fact(mpe.position, false)) +
           Fact(QStringLiteral("MPE, size"), Mpe_Fact(mpe.size, false)) +
           Fact(QStringLiteral("MPE, angle"), Mpe_Fact(mpe.angle, true));
}

const char *const REFIT_FACT = "Refit: the validation file's own stated results are graded "
                               "against Tessaline's least-squares fits of its points.";

QString Feature_Tables(const TGradeReport &report)
{
    if (report.features.empty())
        return QStringLiteral("<p>No features.</p>\n");
    QString tables;
    for (const TFeatureGrade &feature : report.features)
        tables += Feature_Table(feature);
    return tables;
}

QString Chart_Section(const QString &chart, bool grouped)
{
    return QStringLiteral(
               "<h2>Deviations as a share of the MPE</h2>\n<p class=\"legend\">Each bar is |d| / "
               "MPE of one quantity; the black line is the MPE (100 %), the whisker at a bar's "
               "end spans \u00b1 e / MPE, and a bar beyond 200 % is cut with a break mark, its "
               "share written beside it. Green is pass, red fail, amber inconclusive, grey "
               "missing, ambiguous or unfit; each row also names its verdict.%1</p>\n")
               .arg(grouped ? QStringLiteral(" The bars are grouped by validation file.")
                            : QString()) +
           chart;
}

// The summary per feature type and quantity, as ASME B89.4.10 reports a test.
QString Type_Table(const std::vector<TQuantitySummary> &by_type)
{
    QString table = QStringLiteral(
        "<table class=\"feature\" width=\"100%\">\n<tr class=\"head\">"
        "<th class=\"name\" width=\"18%\">type, quantity</th><th width=\"8%\">data sets</th>"
        "<th width=\"17%\">RMS |d|</th><th width=\"17%\">largest |d|</th>"
        "<th width=\"12%\">largest / MPE</th><th width=\"28%\">verdicts</th></tr>\n");
    for (const TQuantitySummary &summary : by_type) {
        const bool graded = summary.graded > 0;
        QStringList verdicts;
        const TGradeSummary &v = summary.verdicts;
        for (const auto &count :
             {std::make_pair(TVerdict::PASS, v.pass), std::make_pair(TVerdict::FAIL, v.fail),
              std::make_pair(TVerdict::INCONCLUSIVE, v.inconclusive),
              std::make_pair(TVerdict::MISSING, v.missing),
              std::make_pair(TVerdict::AMBIGUOUS, v.ambiguous),
              std::make_pair(TVerdict::UNFIT, v.unfit)})
            if (count.second > 0)
                verdicts << QStringLiteral("%1 %2")
                                .arg(count.second)
                                .arg(QLatin1String(Verdict_Name(count.first)));
        table += QStringLiteral("<tr><td>%1, %2</td><td class=\"n\">%3</td><td class=\"n\">%4</td>"
                                "<td class=\"n\">%5</td><td class=\"n\">%6</td>"
                                "<td class=\"n\">%7</td></tr>\n")
                     .arg(QLatin1String(Feature_Type_Name(summary.type)),
                          QLatin1String(Quantity_Name(summary.quantity)))
                     .arg(summary.data_sets)
                     .arg(graded ? Micro(summary.rms, summary.quantity) : QStringLiteral("-"),
                          graded ? Micro(summary.largest, summary.quantity) : QStringLiteral("-"),
                          graded ? Share_Text(summary.largest_share) : QStringLiteral("-"),
                          verdicts.join(QStringLiteral(", ")));
    }
    return table + QStringLiteral("</table>\n");
}

} // namespace

QString Report_Title()
{
    return QStringLiteral("Tessaline grading report");
}

QString Report_Body(const TGradeReport &report, const QString &chart)
{
    QString body;
    body += QStringLiteral("<h1>%1</h1>\n").arg(Report_Title());

    body += QStringLiteral("<table class=\"facts\">\n");
    body += Fact(QStringLiteral("Reference validation file"),
                 File_Fact(report.reference_path, report.reference_sha256));
    if (report.refit)
        body += Fact(QStringLiteral("Results"), QLatin1String(REFIT_FACT));
    else
        body += Fact(QStringLiteral("Results file"),
                     File_Fact(report.results_path, report.results_sha256)) +
                Fact(QStringLiteral("Results format"), Or_Not_Stated(report.results_format));
    body += Fact(QStringLiteral("Tested software"), Or_Not_Stated(report.tested_software));
    body += Mpe_Facts(report.mpe);
    body += Fact(QStringLiteral("Date"), Date_Text(report.date));
    body += Fact(QStringLiteral("Tessaline version"), Or_Not_Stated(report.version));
    body += QStringLiteral("</table>\n");

    body += Definitions_And_Rule();
    body += QStringLiteral("<h2>Summary</h2>\n");
    body += Summary_Table(report.summary);
    body += Overall(report.summary);

    body += QStringLiteral("<h2>Features</h2>\n");
    body += Feature_Tables(report);
    body += Chart_Section(chart, false);
    return body;
}

QString Report_Body(const TSuiteReport &suite, const QString &chart)
{
    QString body;
    body += QStringLiteral("<h1>%1</h1>\n").arg(Report_Title());

    body += QStringLiteral("<table class=\"facts\">\n");
    body += Fact(QStringLiteral("Suite of validation files"),
                 QStringLiteral("<span class=\"path\">%1</span>, %2 files")
                     .arg(Or_Not_Stated(suite.suite_path))
                     .arg(suite.files.size()));
    if (suite.refit)
        body += Fact(QStringLiteral("Results"), QLatin1String(REFIT_FACT));
    else
        body += Fact(QStringLiteral("Results directory"),
                     QStringLiteral("<span class=\"path\">%1</span>")
                         .arg(Or_Not_Stated(suite.results_path)));
    body += Fact(QStringLiteral("Tested software"), Or_Not_Stated(suite.tested_software));
    body += Mpe_Facts(suite.mpe);
    body += Fact(QStringLiteral("Date"), Date_Text(suite.date));
    body += Fact(QStringLiteral("Tessaline version"), Or_Not_Stated(suite.version));
    body += QStringLiteral("</table>\n");

    body += Definitions_And_Rule();
    body += QStringLiteral("<h2>Summary</h2>\n");
    body += Summary_Table(suite.summary);
    body += Overall(suite.summary);
    body += QStringLiteral("<h2>Summary by feature type</h2>\n");
    body +=
        suite.by_type.empty() ? QStringLiteral("<p>No features.</p>\n") : Type_Table(suite.by_type);

    for (const TGradeReport &file : suite.files) {
        body += QStringLiteral("<h2>%1</h2>\n").arg(Html_Escaped(File_Name(file)));
        body += QStringLiteral("<table class=\"facts\">\n");
        body += Fact(QStringLiteral("Reference validation file"),
                     File_Fact(file.reference_path, file.reference_sha256));
        if (!suite.refit && file.results_path.isEmpty())
            body += Fact(QStringLiteral("Results file"), QStringLiteral("none"));
        if (!suite.refit && !file.results_path.isEmpty()) {
            body += Fact(QStringLiteral("Results file"),
                         File_Fact(file.results_path, file.results_sha256));
            body += Fact(QStringLiteral("Results format"), Or_Not_Stated(file.results_format));
        }
        body += QStringLiteral("</table>\n");
        body += Summary_Table(file.summary);
        body += Feature_Tables(file);
    }
    body += Chart_Section(chart, true);
    return body;
}
