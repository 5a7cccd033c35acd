#include "reports/report_body.h"

#include "grading/grade_table.h"
#include "grading/suite_report.h"
#include "reports/deviation_chart.h"
#include "reports/html_escape.h"

#include <QDir>
#include <QStringList>

#include <cmath>
#include <cstdlib>
#include <set>

namespace {

const QString MICRO = QStringLiteral("\u00b5");

// The verdict in words on its colour, so that it reads in black and white.
QString Badge(const QString &verdict_class, const QString &text, const TReportStyle &style)
{
    const QString space = style.padded_badges ? QStringLiteral("&nbsp;") : QString();
    return QStringLiteral("<span class=\"v %1\">%2%3%2</span>").arg(verdict_class, space, text);
}

QString Badge(TVerdict verdict, const TReportStyle &style)
{
    return Badge(QLatin1String(Verdict_Name(verdict)),
                 QString::fromLatin1(Verdict_Name(verdict)).toUpper(), style);
}

// value to at most decimals places, without trailing zeros.
QString Trimmed(double value, int decimals)
{
    QString text = Fixed_Text(value, decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString Micro(double value, TQuantity quantity)
{
    return Micro_Text(quantity, value);
}

QString Mpe_Fact(double mpe, bool angle, bool given)
{
    const QString unit = angle ? QStringLiteral("rad") : QStringLiteral("mm");
    const QString micro_unit = MICRO + (angle ? QStringLiteral("rad") : QStringLiteral("m"));
    return Trimmed(mpe, 12) + QLatin1Char(' ') + unit + QStringLiteral(" (") +
           Trimmed(mpe * (angle ? 1e6 : 1e3), 9) + QLatin1Char(' ') + micro_unit +
           QStringLiteral("), ") +
           (given ? QStringLiteral("given on the command line") : QStringLiteral("the default"));
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

QString Path_Text(const QString &path)
{
    return Or_Not_Stated(QDir::toNativeSeparators(path));
}

QString File_Fact(const QString &path, const QByteArray &sha256)
{
    return QStringLiteral(
               "<span class=\"path\">%1</span><br><span class=\"hash\">SHA-256 %2</span>")
        .arg(Path_Text(path), Or_Not_Stated(QString::fromLatin1(sha256)));
}

QString Heading(int level, const QString &text)
{
    return QStringLiteral("<h%1>%2</h%1>\n").arg(level).arg(text);
}

QString Overall(const TGradeSummary &summary, const TReportStyle &style)
{
    const TOverall overall = Overall_Result(summary);
    const QString verdict_class = overall == TOverall::PASS   ? QStringLiteral("pass")
                                  : overall == TOverall::FAIL ? QStringLiteral("fail")
                                                              : QStringLiteral("inconclusive");
    const QString reasons = Overall_Reasons(summary);
    QString text = QStringLiteral("<p class=\"overall\">Overall result: ") +
                   Badge(verdict_class, QLatin1String(Overall_Name(overall)), style);
    if (reasons.isEmpty())
        text += QStringLiteral(" every feature passed.");
    else
        text += QStringLiteral(": ") + reasons +
                QStringLiteral(" (%1 of %2 features passed).")
                    .arg(summary.pass)
                    .arg(summary.Features());
    return text + QStringLiteral("</p>\n");
}

QString Summary_Table(const TGradeSummary &summary, const TReportStyle &style)
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
        head += QStringLiteral("<th>") + Badge(count.first, style) + QStringLiteral("</th>");
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

QString Feature_Table(const TFeatureGrade &feature, const TReportStyle &style)
{
    const QString name =
        QStringLiteral("<span class=\"label\">%1</span> <span class=\"type\">%2</span> %3")
            .arg(Html_Escaped(feature.label), Type_Name(feature.type, feature.criterion),
                 Badge(feature.verdict, style));
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
                              Badge(quantity.verdict, style));
        }
    }
    table += QStringLiteral("</table>\n");
    return table;
}

using TGradedType = std::pair<TFeatureType, TCriterion>;

// The types and criteria of the features graded, in the order of
// FEATURE_TYPES and CRITERIA.
template <typename TReports> std::vector<TGradedType> Types_Of(const TReports &reports)
{
    std::set<TGradedType> present;
    for (const TGradeReport &report : reports)
        for (const TFeatureGrade &feature : report.features)
            present.insert({feature.type, feature.criterion});
    std::vector<TGradedType> types;
    for (const TFeatureType type : FEATURE_TYPES)
        for (const TCriterion criterion : CRITERIA)
            if (present.count({type, criterion}))
                types.push_back({type, criterion});
    return types;
}

bool Grades_Form(const std::vector<TGradedType> &types)
{
    for (const TGradedType &type : types)
        if (type.second == TCriterion::MINIMUM_ZONE)
            return true;
    return false;
}

void Add_Definitions_And_Rule(const std::vector<TGradedType> &types,
                              std::vector<TReportPart> &parts)
{
    parts.push_back({TReportPart::HEADING, Heading(2, QStringLiteral("Fit definitions"))});
    QStringList least_squares{Fit_Definitions_Preamble()};
    QStringList minimax{Minimax_Definitions_Preamble()};
    for (const TGradedType &type : types) {
        if (type.second == TCriterion::LEAST_SQUARES)
            least_squares << Fit_Definition(type.first);
        else
            minimax << Minimax_Definition(type.first, type.second);
    }
    QStringList sentences;
    if (least_squares.size() > 1)
        sentences += least_squares;
    if (minimax.size() > 1)
        sentences += minimax;
    if (types.empty())
        sentences << Fit_Definitions_Preamble() << QStringLiteral("No feature was graded.");
    parts.push_back(
        {TReportPart::TEXT,
         QStringLiteral("<p>%1</p>\n").arg(Html_Escaped(sentences.join(QLatin1Char(' '))))});
    parts.push_back({TReportPart::HEADING, Heading(2, QStringLiteral("Decision rule"))});
    parts.push_back(
        {TReportPart::TEXT,
         QStringLiteral(
             "<p>The software's fits are tested against reference data sets as %1 describes, and "
             "each quantity is decided by the rule of %2, allowing for the uncertainty e: with "
             "deviation d it passes when |d| + e \u2264 MPE, fails when |d| \u2212 e &gt; MPE and "
             "is inconclusive otherwise. e is the uncertainty from the resolution the tested "
             "values were written with, plus the reference's own: the difference its points make "
             "when rounded to the 6 decimals of the program (reference rounding) and, for a "
             "circle, the difference of NIST's definition from the full three-dimensional fit "
             "(reference definition). A part that cannot be computed is unknown, never 0: its "
             "quantity is inconclusive. A feature fails when one of its quantities fails, is "
             "inconclusive when one is inconclusive and none fails, and passes when all pass. The "
             "apex angle (a cone's included angle) is graded against the angle MPE, the minor size "
             "(a torus' minor diameter) against the size MPE. The run passes only when every "
             "feature passes, fails when any fails, and is otherwise not passed.</p>\n")
             .arg(Test_Standard(), Decision_Standard())});
}

// The form MPE only where a form is graded.
QString Mpe_Facts(const TMpe &mpe, bool with_form)
{
    return Fact(QStringLiteral("MPE, position"),
                Mpe_Fact(mpe.position, false, mpe.position_given)) +
           Fact(QStringLiteral("MPE, size"), Mpe_Fact(mpe.size, false, mpe.size_given)) +
           Fact(QStringLiteral("MPE, angle"), Mpe_Fact(mpe.angle, true, mpe.angle_given)) +
           (with_form ? Fact(QStringLiteral("MPE, form"), Mpe_Fact(mpe.form, false, mpe.form_given))
                      : QString());
}

QString Standards_Fact()
{
    return Fact(QStringLiteral("Standards"),
                QStringLiteral("%1 (test of the software's fits), %2 (decision rule)")
                    .arg(Test_Standard(), Decision_Standard()));
}

// Who graded, where and why, with the identifier that names the run: at the
// top, where an auditor looks first.
QString Record_Facts(const QString &report_id, const TGradeRecord &record, const QDateTime &date)
{
    QString facts = QStringLiteral("<table class=\"facts\">\n");
    facts += Fact(QStringLiteral("Report"),
                  QStringLiteral("<span class=\"id\">%1</span>").arg(Or_Not_Stated(report_id)));
    facts += Fact(QStringLiteral("Date"), Date_Text(date));
    facts += Fact(QStringLiteral("Laboratory"), Or_Not_Stated(record.lab));
    facts += Fact(QStringLiteral("Operator"), Or_Not_Stated(record.operator_name));
    if (!record.comment.isEmpty())
        facts += Fact(QStringLiteral("Comment"), Html_Escaped(record.comment));
    return facts + QStringLiteral("</table>\n");
}

const char *const REFIT_FACT = "Refit: the validation file's own stated results are graded "
                               "against Tessaline's least-squares fits of its points.";

void Add_Feature_Tables(const TGradeReport &report, const TReportStyle &style,
                        std::vector<TReportPart> &parts)
{
    if (report.features.empty())
        parts.push_back({TReportPart::TEXT, QStringLiteral("<p>No features.</p>\n")});
    for (const TFeatureGrade &feature : report.features)
        parts.push_back({TReportPart::FEATURE, Feature_Table(feature, style)});
}

void Add_Chart_Section(bool grouped, std::vector<TReportPart> &parts)
{
    parts.push_back(
        {TReportPart::HEADING, Heading(2, QStringLiteral("Deviations as a share of the MPE"))});
    parts.push_back(
        {TReportPart::HEADING,
         QStringLiteral(
             "<p class=\"legend\">Each bar is |d| / MPE of one quantity; the black line is the MPE "
             "(100 %), the whisker at a bar's end spans \u00b1 e / MPE, and a bar beyond 200 % is "
             "cut with a break mark, its share written beside it. Green is pass, red fail, amber "
             "inconclusive, grey missing, ambiguous or unfit; each row also names its "
             "verdict.%1</p>\n")
             .arg(grouped ? QStringLiteral(" The bars are grouped by validation file.")
                          : QString())});
    parts.push_back({TReportPart::CHART, QString()});
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
                     .arg(Type_Name(summary.type, summary.criterion),
                          QLatin1String(Quantity_Name(summary.quantity)))
                     .arg(summary.data_sets)
                     .arg(graded ? Micro(summary.rms, summary.quantity) : QStringLiteral("-"),
                          graded ? Micro(summary.largest, summary.quantity) : QStringLiteral("-"),
                          graded ? Share_Text(summary.largest_share) : QStringLiteral("-"),
                          verdicts.join(QStringLiteral(", ")));
    }
    return table + QStringLiteral("</table>\n");
}

QString Joined(const std::vector<TReportPart> &parts, const QString &chart)
{
    QString body;
    for (const TReportPart &part : parts)
        body += part.kind == TReportPart::CHART ? chart : part.html;
    return body;
}

} // namespace

QString Report_Title()
{
    return QStringLiteral("Tessaline grading report");
}

QString Report_Footer(const QString &report_id)
{
    return QStringLiteral("Report ") + report_id;
}

std::vector<TReportPart> Report_Parts(const TGradeReport &report, const TReportStyle &style)
{
    std::vector<TReportPart> parts;
    parts.push_back({TReportPart::HEADING, Heading(1, Report_Title())});
    parts.push_back(
        {TReportPart::TEXT, Record_Facts(report.report_id, report.record, report.date)});

    QString facts = QStringLiteral("<table class=\"facts\">\n");
    facts += Fact(QStringLiteral("Reference validation file"),
                  File_Fact(report.reference_path, report.reference_sha256));
    if (report.refit)
        facts += Fact(QStringLiteral("Results"), QLatin1String(REFIT_FACT));
    else
        facts += Fact(QStringLiteral("Results file"),
                      File_Fact(report.results_path, report.results_sha256)) +
                 Fact(QStringLiteral("Results format"), Or_Not_Stated(report.results_format));
    facts += Fact(QStringLiteral("Tested software"), Or_Not_Stated(report.tested_software));
    facts += Mpe_Facts(report.mpe, Grades_Form(Types_Of(std::vector<TGradeReport>{report})));
    facts += Standards_Fact();
    facts += Fact(QStringLiteral("Tessaline version"), Or_Not_Stated(report.version));
    facts += QStringLiteral("</table>\n");
    parts.push_back({TReportPart::TEXT, facts});

    Add_Definitions_And_Rule(Types_Of(std::vector<TGradeReport>{report}), parts);
    parts.push_back({TReportPart::HEADING, Heading(2, QStringLiteral("Summary"))});
    parts.push_back(
        {TReportPart::TEXT, Summary_Table(report.summary, style) + Overall(report.summary, style)});

    parts.push_back({TReportPart::HEADING, Heading(2, QStringLiteral("Features"))});
    Add_Feature_Tables(report, style, parts);
    Add_Chart_Section(false, parts);
    return parts;
}

std::vector<TReportPart> Report_Parts(const TSuiteReport &suite, const TReportStyle &style)
{
    std::vector<TReportPart> parts;
    parts.push_back({TReportPart::HEADING, Heading(1, Report_Title())});
    parts.push_back({TReportPart::TEXT, Record_Facts(suite.report_id, suite.record, suite.date)});

    QString facts = QStringLiteral("<table class=\"facts\">\n");
    facts += Fact(QStringLiteral("Suite of validation files"),
                  QStringLiteral("<span class=\"path\">%1</span>, %2 files")
                      .arg(Path_Text(suite.suite_path))
                      .arg(suite.files.size()));
    if (suite.manifest_path.isEmpty())
        facts += Fact(QStringLiteral("Suite manifest"), QStringLiteral("none"));
    else
        facts += Fact(QStringLiteral("Suite manifest"),
                      File_Fact(suite.manifest_path, suite.manifest_sha256));
    facts +=
        Fact(QStringLiteral("Suite seed"),
             suite.seed >= 0 ? QString::number(suite.seed, 'f', 0) : QStringLiteral("not stated"));
    if (suite.refit)
        facts += Fact(QStringLiteral("Results"), QLatin1String(REFIT_FACT));
    else
        facts += Fact(
            QStringLiteral("Results directory"),
            QStringLiteral("<span class=\"path\">%1</span>").arg(Path_Text(suite.results_path)));
    facts += Fact(QStringLiteral("Tested software"), Or_Not_Stated(suite.tested_software));
    facts += Mpe_Facts(suite.mpe, Grades_Form(Types_Of(suite.files)));
    facts += Standards_Fact();
    facts += Fact(QStringLiteral("Tessaline version"), Or_Not_Stated(suite.version));
    facts += QStringLiteral("</table>\n");
    parts.push_back({TReportPart::TEXT, facts});

    Add_Definitions_And_Rule(Types_Of(suite.files), parts);
    parts.push_back({TReportPart::HEADING, Heading(2, QStringLiteral("Summary"))});
    parts.push_back(
        {TReportPart::TEXT, Summary_Table(suite.summary, style) + Overall(suite.summary, style)});
    parts.push_back({TReportPart::HEADING, Heading(2, QStringLiteral("Summary by feature type"))});
    parts.push_back({TReportPart::TEXT, suite.by_type.empty()
                                            ? QStringLiteral("<p>No features.</p>\n")
                                            : Type_Table(suite.by_type)});

    for (const TGradeReport &file : suite.files) {
        parts.push_back({TReportPart::HEADING, Heading(2, Html_Escaped(File_Name(file)))});
        QString file_facts = QStringLiteral("<table class=\"facts\">\n");
        file_facts += Fact(QStringLiteral("Reference validation file"),
                           File_Fact(file.reference_path, file.reference_sha256));
        if (!suite.refit && file.results_path.isEmpty())
            file_facts += Fact(QStringLiteral("Results file"), QStringLiteral("none"));
        if (!suite.refit && !file.results_path.isEmpty()) {
            file_facts += Fact(QStringLiteral("Results file"),
                               File_Fact(file.results_path, file.results_sha256));
            file_facts +=
                Fact(QStringLiteral("Results format"), Or_Not_Stated(file.results_format));
        }
        file_facts += QStringLiteral("</table>\n");
        parts.push_back({TReportPart::TEXT, file_facts + Summary_Table(file.summary, style)});
        Add_Feature_Tables(file, style, parts);
    }
    Add_Chart_Section(true, parts);
    return parts;
}

QString Report_Body(const TGradeReport &report, const QString &chart)
{
    return Joined(Report_Parts(report), chart);
}

QString Report_Body(const TSuiteReport &suite, const QString &chart)
{
    return Joined(Report_Parts(suite), chart);
}
