#include "grading/grade_table.h"
#include "grading/report_identity.h"
#include "reports/deviation_chart.h"
#include "reports/pdf_layout.h"
#include "reports/report_html.h"
#include "reports/report_pdf.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cctype>
#include <cmath>

Q_DECLARE_METATYPE(TVerdict)

namespace {

const QByteArray REFERENCE_SHA256 =
    "3a7bd3e2360a3d29eea436fcfb7e44c735d117c42d1c1835420b6b9942dd4f1b";
const QByteArray RESULTS_SHA256 =
    "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
const QString HOSTILE = QStringLiteral("<script>alert(\"x\")</script> & <img src=x onerror=y> '");
const QString HOSTILE_ESCAPED =
    QStringLiteral("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; &lt;img src=x "
                   "onerror=y&gt; &#39;");

TQuantityGrade Grade(TQuantity quantity, double deviation, double resolution, double mpe,
                     TVerdict verdict)
{
    return {quantity, deviation, resolution, mpe, verdict};
}

void Add(TGradeReport &report, const TFeatureGrade &feature)
{
    report.features.push_back(feature);
    Count_Verdict(feature.verdict, report.summary);
}

// Every verdict and type once, MPEs that are not the defaults.
TGradeReport Sample_Report()
{
    TGradeReport report;
    report.reference_path = QStringLiteral("/data/validation/plate 7.dat");
    report.reference_sha256 = REFERENCE_SHA256;
    report.results_path = QStringLiteral("/data/results/plate 7.dmo");
    report.results_sha256 = RESULTS_SHA256;
    report.tested_software = QStringLiteral("Example CMM software 4.2");
    report.mpe.position = 0.0002;
    report.mpe.angle = 0.000005;
    report.mpe.size = 0.00015;
    report.mpe.angle_given = true;
    report.date = QDateTime(QDate(2024, 3, 15), QTime(14, 30, 5), Qt::OffsetFromUTC, 3600);
    report.version = QStringLiteral("1.0");
    report.report_id = QStringLiteral("3F2A-9C1B-77D0-E412");
    report.record.lab = QStringLiteral("Dimensional Lab 2");
    report.record.operator_name = QStringLiteral("A. Tester");
    report.record.comment = QStringLiteral("Audit sample");
    const TMpe &m = report.mpe;
    Add(report, {"PLN_1",
                 TFeatureType::PLANE,
                 TVerdict::PASS,
                 {Grade(TQuantity::POSITION, 0.00006, 0.000005, m.position, TVerdict::PASS),
                  Grade(TQuantity::ANGLE, 0.0000012, 0.0000001, m.angle, TVerdict::PASS)},
                 {}});
    Add(report, {"LIN_2",
                 TFeatureType::LINE,
                 TVerdict::FAIL,
                 {Grade(TQuantity::POSITION, 0.0007, 0.000005, m.position, TVerdict::FAIL),
                  Grade(TQuantity::ANGLE, 0.0000025, 0.0000001, m.angle, TVerdict::PASS)},
                 {}});
    Add(report,
        {"CIR_3",
         TFeatureType::CIRCLE,
         TVerdict::INCONCLUSIVE,
         {Grade(TQuantity::POSITION, 0.000197, 0.000005, m.position, TVerdict::INCONCLUSIVE),
          Grade(TQuantity::ANGLE, 0.0000001, 0.0000001, m.angle, TVerdict::PASS),
          Grade(TQuantity::SIZE, -0.00003, 0.000005, m.size, TVerdict::PASS)},
         {}});
    Add(report, {"SPH_4",
                 TFeatureType::SPHERE,
                 TVerdict::PASS,
                 {Grade(TQuantity::POSITION, 0.00001, 0.000005, m.position, TVerdict::PASS),
                  Grade(TQuantity::SIZE, 0.00004, 0.000005, m.size, TVerdict::PASS)},
                 {}});
    Add(report, {"PLN_5",
                 TFeatureType::PLANE,
                 TVerdict::MISSING,
                 {},
                 "no result with this label in the results file"});
    Add(report, {"CIR_6",
                 TFeatureType::CIRCLE,
                 TVerdict::AMBIGUOUS,
                 {},
                 "the label stands for 2 reference features"});
    Add(report, {"LIN_7",
                 TFeatureType::LINE,
                 TVerdict::UNFIT,
                 {},
                 "the reference points do not define a line"});
    return report;
}

int Quantity_Count(const TGradeReport &report)
{
    int count = 0;
    for (const TFeatureGrade &feature : report.features)
        count += static_cast<int>(feature.quantities.size());
    return count;
}

// count features of three quantities each, every third one failing.
TGradeReport Large_Report(int count)
{
    TGradeReport report = Sample_Report();
    report.features.clear();
    report.summary = {};
    for (int i = 0; i < count; ++i) {
        const bool fail = i % 3 == 0;
        const double d = fail ? 0.0003 : 0.00005;
        const TVerdict verdict = fail ? TVerdict::FAIL : TVerdict::PASS;
        Add(report, {QStringLiteral("CIR_%1").arg(i + 1),
                     TFeatureType::CIRCLE,
                     verdict,
                     {Grade(TQuantity::POSITION, d, 0.000005, 0.0002, verdict),
                      Grade(TQuantity::ANGLE, 0.000001, 0.0000001, 0.000005, TVerdict::PASS),
                      Grade(TQuantity::SIZE, 0.00001, 0.000005, 0.00015, TVerdict::PASS)},
                     {}});
    }
    return report;
}

QString Html(const TGradeReport &report)
{
    return QString::fromUtf8(Report_Html(report));
}

// The part of the page from the feature table of label to its end.
QString Feature_Table(const QString &html, const QString &label)
{
    const int at = html.indexOf(QStringLiteral("<span class=\"label\">") + label + "</span>");
    if (at < 0)
        return {};
    const int end = html.indexOf(QStringLiteral("</table>"), at);
    return html.mid(at, end - at);
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The page objects, not the page tree's /Pages. Searched as bytes: the
// PDF's binary streams are no text.
int Page_Count(const QByteArray &pdf)
{
    int count = 0;
    for (int at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1)) {
        const char next = pdf.at(at + 11);
        count += next != 's' && !std::isalnum(static_cast<unsigned char>(next));
    }
    return count;
}

std::vector<const TChartShape *> Shapes(const TChartPicture &picture, TChartShape::TRole role)
{
    std::vector<const TChartShape *> shapes;
    for (const TChartShape &shape : picture.shapes) {
        if (shape.role == role)
            shapes.push_back(&shape);
    }
    return shapes;
}

// The PDF's compressed streams, inflated and put together: the pages'
// drawing operators among them.
QByteArray Inflated_Streams(const QByteArray &pdf)
{
    QByteArray inflated;
    for (int at = pdf.indexOf("stream"); at >= 0; at = pdf.indexOf("stream", at + 1)) {
        if (pdf.mid(at - 3, 3) == "end")
            continue;
        const int object = pdf.lastIndexOf(" obj", at);
        if (!pdf.mid(object, at - object).contains("/FlateDecode"))
            continue;
        int start = at + 6;
        start += pdf.at(start) == '\r' ? 2 : 1;
        const QByteArray packed = pdf.mid(start, pdf.indexOf("endstream", start) - start);
        // qUncompress wants the size first, and grows its buffer when it is short.
        QByteArray framed(4, '\0');
        const quint32 size = static_cast<quint32>(packed.size()) * 4;
        for (int i = 0; i < 4; ++i)
            framed[i] = static_cast<char>(size >> (24 - 8 * i));
        inflated += qUncompress(framed + packed);
    }
    return inflated;
}

// The chart's bars filled on the PDF's pages: rectangles where the
// picture puts them, at the plot's left edge and of a bar's height.
int Pdf_Bars(const QByteArray &pdf)
{
    TGradeReport one;
    one.features = {{"F",
                     TFeatureType::SPHERE,
                     TVerdict::PASS,
                     {Grade(TQuantity::SIZE, 0.00005, 0, 0.0001, TVerdict::PASS)},
                     {}}};
    const TChartPicture picture = Chart_Picture(Chart_Rows(one), 0, 1, 600);
    const QRectF bar = Shapes(picture, TChartShape::BAR).at(0)->rect;
    auto bars =
        QRegularExpression(
            QStringLiteral("\\n%1 [0-9.]+ [0-9.]+ %2 re\\nf\\n").arg(bar.left()).arg(bar.height()))
            .globalMatch(QString::fromLatin1(Inflated_Streams(pdf)));
    int count = 0;
    while (bars.hasNext()) {
        bars.next();
        ++count;
    }
    return count;
}

// The width and height of each page's /MediaBox.
std::vector<QSizeF> Media_Boxes(const QByteArray &pdf)
{
    const QRegularExpression box(
        QStringLiteral("^/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    std::vector<QSizeF> boxes;
    for (int at = pdf.indexOf("/MediaBox"); at >= 0; at = pdf.indexOf("/MediaBox", at + 1)) {
        const QRegularExpressionMatch match = box.match(QString::fromLatin1(pdf.mid(at, 80)));
        boxes.push_back(match.hasMatch()
                            ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble())
                            : QSizeF());
    }
    return boxes;
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void html_holds_the_run_data();
    void html_holds_the_run();
    void feature_tables_data();
    void feature_tables();
    void html_is_self_contained();
    void refit_names_no_results_file();
    void tested_software_not_stated();
    void overall_result_data();
    void overall_result();
    void hostile_strings_are_escaped_data();
    void hostile_strings_are_escaped();
    void svg_has_one_bar_per_quantity();
    void new_quantities_and_unknown_parts();
    void chart_bars_data();
    void chart_bars();
    void chart_shortens_long_labels_data();
    void chart_shortens_long_labels();
    void chart_image_draws_the_picture();
    void chart_grows_with_features();
    void html_file_is_the_page();
    void pdf_is_a4();
    void pdf_of_many_features_has_pages();
    void failed_write_leaves_nothing_data();
    void failed_write_leaves_nothing();
    void record_not_stated();
    void fit_definitions_of_the_graded_types_only();
    void no_negative_zero_data();
    void no_negative_zero();
    void report_identifier_data();
    void report_identifier();
    void suite_record();
    void paginate_keeps_headings_with_what_follows();
    void paginate_splits_what_no_page_holds();
    void chart_blocks_are_features();
    void suite_pdf_layout();
};

void TestReports::html_holds_the_run_data()
{
    QTest::addColumn<QString>("expected");

    QTest::newRow("title") << "<h1>Tessaline grading report</h1>";
    QTest::newRow("reference path") << "/data/validation/plate 7.dat";
    QTest::newRow("reference SHA-256") << "SHA-256 " + QString::fromLatin1(REFERENCE_SHA256);
    QTest::newRow("results path") << "/data/results/plate 7.dmo";
    QTest::newRow("results SHA-256") << "SHA-256 " + QString::fromLatin1(RESULTS_SHA256);
    QTest::newRow("software") << "<td>Example CMM software 4.2</td>";
    QTest::newRow("position MPE") << QStringLiteral("0.0002 mm (0.2 \u00b5m)");
    QTest::newRow("size MPE") << QStringLiteral("0.00015 mm (0.15 \u00b5m)");
    QTest::newRow("angle MPE") << QStringLiteral("0.000005 rad (5 \u00b5rad)");
    QTest::newRow("date") << "2024-03-15 14:30:05 (UTC+01:00)";
    QTest::newRow("version") << "<th>Tessaline version</th><td>1.0</td>";
    QTest::newRow("fit definitions")
        << QString(Fit_Definitions_Preamble() + ' ' + Fit_Definition(TFeatureType::PLANE) + ' ' +
                   Fit_Definition(TFeatureType::LINE) + ' ' + Fit_Definition(TFeatureType::CIRCLE) +
                   ' ' + Fit_Definition(TFeatureType::SPHERE))
               .replace("'", "&#39;");
    QTest::newRow("report identifier")
        << "<th>Report</th><td><span class=\"id\">3F2A-9C1B-77D0-E412</span></td>";
    QTest::newRow("identifier in the footer") << "<p class=\"footer\">Report 3F2A-9C1B-77D0-E412";
    QTest::newRow("identifier on printed pages") << "Report 3F2A-9C1B-77D0-E412\"; font-size";
    QTest::newRow("printed page numbers") << "content: \"page \" counter(page) \" of \" ";
    QTest::newRow("lab") << "<th>Laboratory</th><td>Dimensional Lab 2</td>";
    QTest::newRow("operator") << "<th>Operator</th><td>A. Tester</td>";
    QTest::newRow("comment") << "<th>Comment</th><td>Audit sample</td>";
    QTest::newRow("MPE by default") << QStringLiteral("0.0002 mm (0.2 \u00b5m), the default");
    QTest::newRow("MPE given") << QStringLiteral(
        "0.000005 rad (5 \u00b5rad), given on the command line");
    QTest::newRow("standards") << "<th>Standards</th><td>ISO 10360-6 (test of the software's "
                                  "fits), ISO 14253-1 (decision rule)</td>";
    QTest::newRow("decision rule pass") << QStringLiteral("passes when |d| + e \u2264 MPE");
    QTest::newRow("decision rule fail") << QStringLiteral("fails when |d| \u2212 e &gt; MPE");
    QTest::newRow("summary counts")
        << "<td class=\"n\">2</td><td class=\"n\">1</td><td class=\"n\">1</td>"
           "<td class=\"n\">1</td><td class=\"n\">1</td><td class=\"n\">1</td>"
           "<td class=\"n\">7</td>";
    QTest::newRow("overall") << "Overall result: <span class=\"v fail\">FAIL</span>: 1 fail, 1 "
                                "inconclusive, 1 missing, 1 ambiguous, 1 unfit (2 of 7 features "
                                "passed).";
    QTest::newRow("chart legend") << "<h2>Deviations as a share of the MPE</h2>";
}

void TestReports::html_holds_the_run()
{
    QFETCH(QString, expected);
    QVERIFY2(Html(Sample_Report()).contains(expected), qPrintable(expected));
}

void TestReports::feature_tables_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("type");
    QTest::addColumn<TVerdict>("verdict");
    QTest::addColumn<QStringList>("cells");

    const QString um = QStringLiteral(" \u00b5m");
    const QString urad = QStringLiteral(" \u00b5rad");
    QTest::newRow("pass") << "PLN_1"
                          << "plane" << TVerdict::PASS
                          << QStringList{"<td>position</td><td class=\"n\">0.060000" + um,
                                         "0.005000" + um,
                                         "0.200000" + um,
                                         "30.0 %",
                                         "<td>angle</td><td class=\"n\">1.200000" + urad,
                                         "0.100000" + urad,
                                         "5.000000" + urad,
                                         "24.0 %"};
    QTest::newRow("fail") << "LIN_2"
                          << "line" << TVerdict::FAIL
                          << QStringList{"0.700000" + um, "350.0 %",
                                         "<span class=\"v fail\">FAIL</span></td></tr>"};
    QTest::newRow("inconclusive")
        << "CIR_3"
        << "circle" << TVerdict::INCONCLUSIVE
        << QStringList{"0.197000" + um,
                       "98.5 %",
                       "<td>size</td><td class=\"n\">-0.030000" + um,
                       "0.150000" + um,
                       "20.0 %",
                       "<span class=\"v inconclusive\">INCONCLUSIVE</span></td></tr>"};
    QTest::newRow("sphere") << "SPH_4"
                            << "sphere" << TVerdict::PASS
                            << QStringList{"<td>size</td><td class=\"n\">0.040000" + um};
    QTest::newRow("missing") << "PLN_5"
                             << "plane" << TVerdict::MISSING
                             << QStringList{"No values: no result with this label in the results "
                                            "file"};
    QTest::newRow("ambiguous") << "CIR_6"
                               << "circle" << TVerdict::AMBIGUOUS
                               << QStringList{"No values: the label stands for 2 reference "
                                              "features"};
    QTest::newRow("unfit") << "LIN_7"
                           << "line" << TVerdict::UNFIT
                           << QStringList{"No values: the reference points do not define a line"};
}

void TestReports::feature_tables()
{
    QFETCH(QString, label);
    QFETCH(QString, type);
    QFETCH(TVerdict, verdict);
    QFETCH(QStringList, cells);

    const QString table = Feature_Table(Html(Sample_Report()), label);
    QVERIFY2(!table.isEmpty(), qPrintable(label));
    const QString name = QString::fromLatin1(Verdict_Name(verdict));
    QVERIFY2(
        table.startsWith(QStringLiteral("<span class=\"label\">%1</span> <span "
                                        "class=\"type\">%2</span> <span class=\"v %3\">%4</span>")
                             .arg(label, type, name, name.toUpper())),
        qPrintable(table));
    for (const QString &cell : cells)
        QVERIFY2(table.contains(cell), qPrintable(cell + " in " + table));
}

void TestReports::html_is_self_contained()
{
    const QString html = Html(Sample_Report());
    QVERIFY(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
    QVERIFY(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    QVERIFY(html.trimmed().endsWith(QStringLiteral("</html>")));
    for (const char *reference : {"<script", "http:", "https:", "src=", "href=", "@import", "url(",
                                  "<link", "<iframe", "<object", "<embed", "<img"})
        QVERIFY2(!html.contains(QLatin1String(reference), Qt::CaseInsensitive), reference);
    QCOMPARE(html.count(QStringLiteral("<svg")), 1);
}

void TestReports::refit_names_no_results_file()
{
    TGradeReport report = Sample_Report();
    report.refit = true;
    report.results_path.clear();
    report.results_sha256.clear();
    const QString html = Html(report);
    QVERIFY(html.contains(QStringLiteral(
        "<th>Results</th><td>Refit: the validation file's own stated results are graded against "
        "Tessaline's least-squares fits of its points.</td>")));
    QVERIFY(!html.contains(QStringLiteral("Results file")));
    QCOMPARE(html.count(QStringLiteral("SHA-256 ")), 1);
    QVERIFY(html.contains(QString::fromLatin1(REFERENCE_SHA256)));
}

void TestReports::tested_software_not_stated()
{
    TGradeReport report = Sample_Report();
    report.tested_software.clear();
    QVERIFY(Html(report).contains(QStringLiteral("<th>Tested software</th><td>not stated</td>")));
}

void TestReports::overall_result_data()
{
    QTest::addColumn<QList<int>>("counts"); // pass, fail, inconclusive, missing, ambiguous, unfit
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("overall"); // as the JSON names it

    QTest::newRow("all pass") << QList<int>{3, 0, 0, 0, 0, 0}
                              << "<span class=\"v pass\">PASS</span> every feature passed."
                              << "PASS";
    QTest::newRow("one fail") << QList<int>{3, 1, 0, 0, 0, 0}
                              << "<span class=\"v fail\">FAIL</span>: 1 fail (3 of 4 features "
                                 "passed)."
                              << "FAIL";
    QTest::newRow("a fail among others")
        << QList<int>{0, 2, 1, 1, 0, 0}
        << "<span class=\"v fail\">FAIL</span>: 2 fail, 1 inconclusive, 1 missing (0 of 4 "
           "features passed)."
        << "FAIL";
    // Nothing failed: not a fail, and not a pass either.
    QTest::newRow("inconclusive and missing")
        << QList<int>{0, 0, 1, 1, 0, 0}
        << "<span class=\"v inconclusive\">NOT PASSED</span>: 1 inconclusive, 1 missing (0 of 2 "
           "features passed)."
        << "NOT PASSED";
    QTest::newRow("one missing") << QList<int>{3, 0, 0, 1, 0, 0}
                                 << "<span class=\"v inconclusive\">NOT PASSED</span>: 1 missing "
                                    "(3 of 4 features passed)."
                                 << "NOT PASSED";
    QTest::newRow("ambiguous and unfit")
        << QList<int>{1, 0, 0, 0, 1, 1}
        << "<span class=\"v inconclusive\">NOT PASSED</span>: 1 ambiguous, 1 unfit (1 of 3 "
           "features passed)."
        << "NOT PASSED";
    QTest::newRow("none") << QList<int>{0, 0, 0, 0, 0, 0}
                          << "<span class=\"v inconclusive\">NOT PASSED</span>: no feature was "
                             "graded (0 of 0 features passed)."
                          << "NOT PASSED";
}

void TestReports::overall_result()
{
    QFETCH(QList<int>, counts);
    QFETCH(QString, expected);
    QFETCH(QString, overall);

    TGradeReport report = Sample_Report();
    report.features.clear();
    report.summary = {};
    const TVerdict verdicts[] = {TVerdict::PASS,    TVerdict::FAIL,      TVerdict::INCONCLUSIVE,
                                 TVerdict::MISSING, TVerdict::AMBIGUOUS, TVerdict::UNFIT};
    for (int v = 0; v < 6; ++v) {
        for (int i = 0; i < counts[v]; ++i)
            Add(report,
                {QStringLiteral("F%1_%2").arg(v).arg(i), TFeatureType::PLANE, verdicts[v], {}, {}});
    }
    const QString html = Html(report);
    QVERIFY2(html.contains(QStringLiteral("<p class=\"overall\">Overall result: ") + expected),
             qPrintable(expected));
    QCOMPARE(QString::fromLatin1(Overall_Name(Overall_Result(report.summary))), overall);
}

void TestReports::hostile_strings_are_escaped_data()
{
    QTest::addColumn<QString>("place");

    QTest::newRow("label") << "label";
    QTest::newRow("note") << "note";
    QTest::newRow("reference path") << "reference";
    QTest::newRow("results path") << "results";
    QTest::newRow("software") << "software";
    QTest::newRow("version") << "version";
}

void TestReports::hostile_strings_are_escaped()
{
    QFETCH(QString, place);

    TGradeReport report = Sample_Report();
    if (place == "label") {
        report.features[1].label = HOSTILE;
    } else if (place == "note") {
        report.features[4].note = HOSTILE;
    } else if (place == "reference") {
        report.reference_path = HOSTILE;
    } else if (place == "results") {
        report.results_path = HOSTILE;
    } else if (place == "software") {
        report.tested_software = HOSTILE;
    } else {
        report.version = HOSTILE;
    }
    const QString html = Html(report);
    QVERIFY2(html.contains(HOSTILE_ESCAPED), qPrintable(html));
    QVERIFY(!html.contains(HOSTILE));
    QVERIFY(!html.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    QVERIFY(!html.contains(QStringLiteral("<img"), Qt::CaseInsensitive));

    // Only the page's own elements, and every & a reference.
    const QSet<QString> elements{"html", "head", "meta",  "title", "style", "body", "h1",
                                 "h2",   "p",    "table", "tr",    "th",    "td",   "span",
                                 "br",   "svg",  "rect",  "line",  "text"};
    QVERIFY(html.startsWith(QStringLiteral("<!DOCTYPE html>\n")));
    auto tags = QRegularExpression(QStringLiteral("<(/?)([^\\s>/]*)")).globalMatch(html.mid(16));
    int count = 0;
    while (tags.hasNext()) {
        const QString name = tags.next().captured(2);
        QVERIFY2(elements.contains(name), qPrintable(name));
        ++count;
    }
    QVERIFY(count > 100);
    auto ampersands =
        QRegularExpression(QStringLiteral("&(?!(amp|lt|gt|quot|#39);)")).globalMatch(html);
    QVERIFY2(!ampersands.hasNext(),
             qPrintable(html.mid(ampersands.peekNext().capturedStart(), 40)));
}

void TestReports::svg_has_one_bar_per_quantity()
{
    const TGradeReport report = Sample_Report();
    const QString html = Html(report);
    QCOMPARE(html.count(QStringLiteral("<rect class=\"bar\"")), Quantity_Count(report));
    QCOMPARE(Quantity_Count(report), 9);
    // The features without values are in the chart too, in words.
    QCOMPARE(html.count(QStringLiteral(">no values</text>")), 3);
    QVERIFY(html.contains(QStringLiteral("<text x=\"6\"")));
    for (const TFeatureGrade &feature : report.features)
        QVERIFY2(html.contains(QStringLiteral("font-weight=\"bold\" fill=\"#222222\">") +
                               feature.label + QStringLiteral("</text>")),
                 qPrintable(feature.label));
}

void TestReports::new_quantities_and_unknown_parts()
{
    TGradeReport report = Sample_Report();
    report.features.clear();
    TQuantityGrade apex =
        Grade(TQuantity::APEX_ANGLE, 0.000002, 0.0000001, 0.000005, TVerdict::INCONCLUSIVE);
    apex.reference_rounding = NAN;
    Add(report, {"CON_1", TFeatureType::CONE, TVerdict::INCONCLUSIVE, {apex}, {}});
    TQuantityGrade minor =
        Grade(TQuantity::MINOR_SIZE, -0.00003, 0.000005, 0.00015, TVerdict::PASS);
    minor.reference_rounding = 0.000002;
    Add(report, {"TOR_2", TFeatureType::TORUS, TVerdict::PASS, {minor}, {}});
    const QString html = Html(report);

    const QString cone = Feature_Table(html, "CON_1");
    const QString urad = QStringLiteral(" \u00b5rad");
    const QString um = QStringLiteral(" \u00b5m");
    for (const QString &cell :
         {"<td>apex angle</td><td class=\"n\">2.000000" + urad,
          QStringLiteral("<td class=\"n\">unknown<br><span class=\"part\">reference rounding "
                         "unknown</span></td>"),
          "5.000000" + urad})
        QVERIFY2(cone.contains(cell), qPrintable(cell + " in " + cone));
    const QString torus = Feature_Table(html, "TOR_2");
    for (const QString &cell :
         {"<td>minor size</td><td class=\"n\">-0.030000" + um,
          "0.007000" + um + "<br><span class=\"part\">reference rounding 0.002000" + um})
        QVERIFY2(torus.contains(cell), qPrintable(cell + " in " + torus));

    // In the chart: named, and no whisker for an e that is unknown.
    const TChartPicture picture = Chart_Picture(Chart_Rows(report), 0, 10, 700);
    QStringList names;
    for (const TChartShape *text : Shapes(picture, TChartShape::LABEL))
        names << text->text;
    QVERIFY2(names.contains("apex angle"), qPrintable(names.join('|')));
    QVERIFY2(names.contains("minor size"), qPrintable(names.join('|')));
    const auto bars = Shapes(picture, TChartShape::BAR);
    QCOMPARE(bars.size(), std::size_t(2));
    QVERIFY2(bars[0]->text.contains("apex angle: |d| / MPE 40.0 %, e / MPE unknown"),
             qPrintable(bars[0]->text));
    // The torus' whisker only: a line and its two ends.
    QCOMPARE(Shapes(picture, TChartShape::BAND).size(), std::size_t(3));
}

void TestReports::chart_bars_data()
{
    QTest::addColumn<double>("deviation");
    QTest::addColumn<double>("resolution");
    QTest::addColumn<TVerdict>("verdict");
    QTest::addColumn<double>("length"); // of the bar, as a share of the plot's width
    QTest::addColumn<bool>("cut");
    QTest::addColumn<int>("whisker_lines");

    QTest::newRow("zero") << 0.0 << 0.0 << TVerdict::PASS << 0.0 << false << 0;
    QTest::newRow("half MPE") << 0.00005 << 0.000005 << TVerdict::PASS << 0.25 << false << 3;
    QTest::newRow("at MPE") << 0.0001 << 0.0 << TVerdict::PASS << 0.5 << false << 0;
    QTest::newRow("signed size") << -0.00015 << 0.00001 << TVerdict::FAIL << 0.75 << false << 3;
    QTest::newRow("near the cut") << 0.000199 << 0.000005 << TVerdict::FAIL << 0.995 << false << 2;
    QTest::newRow("beyond") << 0.00035 << 0.000005 << TVerdict::FAIL << 1.0 << true << 0;
    QTest::newRow("whisker below zero")
        << 0.000002 << 0.000005 << TVerdict::INCONCLUSIVE << 0.01 << false << 2;
}

void TestReports::chart_bars()
{
    QFETCH(double, deviation);
    QFETCH(double, resolution);
    QFETCH(TVerdict, verdict);
    QFETCH(double, length);
    QFETCH(bool, cut);
    QFETCH(int, whisker_lines);

    TGradeReport report = Sample_Report();
    report.features = {{"F",
                        TFeatureType::SPHERE,
                        verdict,
                        {Grade(TQuantity::SIZE, deviation, resolution, 0.0001, verdict)},
                        {}}};
    const TChartPicture picture = Chart_Picture(Chart_Rows(report), 0, 10, 700);
    const auto bars = Shapes(picture, TChartShape::BAR);
    QCOMPARE(bars.size(), std::size_t(1));
    QCOMPARE(bars[0]->colour, Verdict_Colour(verdict));

    // The plot spans the grid's first to last line.
    const auto grid = Shapes(picture, TChartShape::GRID);
    QCOMPARE(grid.size(), std::size_t(4));
    const double left = grid.front()->line.x1();
    const double right = grid.back()->line.x1();
    const auto limit = Shapes(picture, TChartShape::LIMIT);
    QCOMPARE(limit.size(), std::size_t(1));
    QVERIFY(std::fabs(limit[0]->line.x1() - (left + right) / 2) < 1e-9);

    QCOMPARE(bars[0]->rect.left(), left);
    QVERIFY2(std::fabs(bars[0]->rect.width() - length * (right - left)) < 1e-6,
             qPrintable(QString::number(bars[0]->rect.width())));
    QCOMPARE(!Shapes(picture, TChartShape::CUT).empty(), cut);
    QCOMPARE(static_cast<int>(Shapes(picture, TChartShape::BAND).size()), whisker_lines);
    if (whisker_lines > 0) {
        const QLineF whisker = Shapes(picture, TChartShape::BAND)[0]->line;
        const double scale = (right - left) / CHART_LIMIT;
        QVERIFY(
            std::fabs(whisker.x2() - std::min(right, left + (std::fabs(deviation) + resolution) /
                                                                0.0001 * scale)) < 1e-6);
        QVERIFY(std::fabs(whisker.x1() - std::max(left, left + (std::fabs(deviation) - resolution) /
                                                                   0.0001 * scale)) < 1e-6);
    }
    // In words as well as in colour.
    bool named = false;
    for (const TChartShape *text : Shapes(picture, TChartShape::LABEL))
        named |= text->text == QString::fromLatin1(Verdict_Name(verdict)).toUpper();
    QVERIFY(named);
}

void TestReports::chart_shortens_long_labels_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shown");

    QTest::newRow("short") << "PLN_12"
                           << "PLN_12";
    QTest::newRow("fits") << "bore_front_left"
                          << "bore_front_left";
    QTest::newRow("capitals") << "CIRCLE_WITH_A_LONG_LABEL_17"
                              << QStringLiteral("CIRCLE_WITH_\u2026");
    QTest::newRow("lower case") << "circle_with_a_long_label_17"
                                << QStringLiteral("circle_with_a_l\u2026");
}

void TestReports::chart_shortens_long_labels()
{
    QFETCH(QString, label);
    QFETCH(QString, shown);

    TGradeReport report = Sample_Report();
    report.features.resize(1);
    report.features[0].label = label;
    const TChartPicture picture = Chart_Picture(Chart_Rows(report), 0, 10, 700);
    const auto texts = Shapes(picture, TChartShape::LABEL);
    QVERIFY(std::any_of(texts.begin(), texts.end(), [&](const TChartShape *text) {
        return text->text == shown && text->bold;
    }));
    // In full where the bar says what it stands for.
    for (const TChartShape *bar : Shapes(picture, TChartShape::BAR))
        QVERIFY(bar->text.startsWith(label + " "));
}

void TestReports::chart_image_draws_the_picture()
{
    const TGradeReport report = Sample_Report();
    const TChartPicture picture = Chart_Picture(Chart_Rows(report), 0, 100, 660);
    QImage image(1320, qCeil(picture.height * 2), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(2, 2);
    Chart_Paint(&painter, picture);
    painter.end();
    int checked = 0;
    for (const TChartShape *bar : Shapes(picture, TChartShape::BAR)) {
        if (bar->rect.width() < 4)
            continue;
        // Left of the whisker and of any cut mark.
        const QPointF inside = bar->rect.topLeft() + QPointF(2, bar->rect.height() / 2);
        QCOMPARE(image.pixelColor((inside * 2).toPoint()), bar->colour);
        ++checked;
    }
    // All but CIR_3's angle, 2 % of the MPE.
    QCOMPARE(checked, 8);
    QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));
}

void TestReports::chart_grows_with_features()
{
    const QRegularExpression svg_size(
        QStringLiteral("<svg class=\"chart\" width=\"(\\d+)\" height=\"(\\d+)\""));
    const QString few = Html(Large_Report(30));
    const QString many = Html(Large_Report(300));
    QCOMPARE(many.count(QStringLiteral("<rect class=\"bar\"")), 900);
    QCOMPARE(many.count(QStringLiteral("<table class=\"feature\"")), 300);
    const QRegularExpressionMatch few_size = svg_size.match(few);
    const QRegularExpressionMatch many_size = svg_size.match(many);
    QVERIFY(few_size.hasMatch() && many_size.hasMatch());
    QCOMPARE(many_size.captured(1), few_size.captured(1));
    // Each row keeps its height, compact and readable, whatever their number.
    const double row =
        (many_size.captured(2).toDouble() - few_size.captured(2).toDouble()) / (270 * 3);
    QVERIFY2(row >= 14 && row <= 20, qPrintable(QString::number(row)));
    QVERIFY(few_size.captured(2).toDouble() > 90 * row);
}

void TestReports::html_file_is_the_page()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath(QStringLiteral("report.html"));
    const TGradeReport report = Sample_Report();
    QString reason;
    QVERIFY2(Write_Html_Report(path, report, &reason), qPrintable(reason));
    QCOMPARE(Read(path), Report_Html(report));
}

void TestReports::pdf_is_a4()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath(QStringLiteral("report.pdf"));
    QString reason;
    QVERIFY2(Write_Pdf_Report(path, Sample_Report(), &reason), qPrintable(reason));
    const QByteArray pdf = Read(path);
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    const std::vector<QSizeF> boxes = Media_Boxes(pdf);
    QVERIFY(!boxes.empty());
    for (const QSizeF &box : boxes) {
        QVERIFY2(std::fabs(box.width() - 595.28) < 1, qPrintable(QString::number(box.width())));
        QVERIFY2(std::fabs(box.height() - 841.89) < 1, qPrintable(QString::number(box.height())));
    }
    QCOMPARE(static_cast<int>(boxes.size()), Page_Count(pdf));
    QCOMPARE(Pdf_Bars(pdf), Quantity_Count(Sample_Report()));
    QVERIFY(pdf.contains("DejaVu"));
}

void TestReports::pdf_of_many_features_has_pages()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QString reason;
    const QString small = directory.filePath(QStringLiteral("small.pdf"));
    const QString large = directory.filePath(QStringLiteral("large.pdf"));
    QVERIFY2(Write_Pdf_Report(small, Sample_Report(), &reason), qPrintable(reason));
    QVERIFY2(Write_Pdf_Report(large, Large_Report(300), &reason), qPrintable(reason));
    const int small_pages = Page_Count(Read(small));
    const int large_pages = Page_Count(Read(large));
    QVERIFY2(small_pages >= 1 && small_pages <= 3, qPrintable(QString::number(small_pages)));
    // 300 tables of four rows fill more than a dozen pages, and the 900
    // rows of the chart, 50 to a piece, 18 pages more.
    QVERIFY2(large_pages > 30, qPrintable(QString::number(large_pages)));
    // Every bar drawn, on whichever page its piece of the chart went.
    QCOMPARE(Pdf_Bars(Read(large)), 900);
}

void TestReports::failed_write_leaves_nothing_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<QString>("place");

    QTest::newRow("html, no such folder") << false << "missing/report.html";
    QTest::newRow("html, folder is a file") << false << "file/report.html";
    QTest::newRow("pdf, no such folder") << true << "missing/report.pdf";
    QTest::newRow("pdf, folder is a file") << true << "file/report.pdf";
}

void TestReports::failed_write_leaves_nothing()
{
    QFETCH(bool, pdf);
    QFETCH(QString, place);

    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QFile file(directory.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write("kept"), qint64(4));
    file.close();

    QString reason;
    const QString path = directory.filePath(place);
    const bool written = pdf ? Write_Pdf_Report(path, Sample_Report(), &reason)
                             : Write_Html_Report(path, Sample_Report(), &reason);
    QVERIFY(!written);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(
        QDir(directory.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{"file"});
    QCOMPARE(Read(file.fileName()), QByteArray("kept"));
}

void TestReports::record_not_stated()
{
    TGradeReport report = Sample_Report();
    report.record = TGradeRecord();
    const QString html = Html(report);
    QVERIFY(html.contains("<th>Laboratory</th><td>not stated</td>"));
    QVERIFY(html.contains("<th>Operator</th><td>not stated</td>"));
    QVERIFY(!html.contains("<th>Comment</th>"));
    // At the top: the record comes before the inputs.
    QVERIFY(html.indexOf("<th>Report</th>") < html.indexOf("Reference validation file"));
}

void TestReports::fit_definitions_of_the_graded_types_only()
{
    TGradeReport report = Sample_Report();
    report.features = {{"CYL_1",
                        TFeatureType::CYLINDER,
                        TVerdict::PASS,
                        {Grade(TQuantity::SIZE, 0.00001, 0.000005, 0.0001, TVerdict::PASS)},
                        {}}};
    const QString html = Html(report);
    QVERIFY(html.contains(Fit_Definition(TFeatureType::CYLINDER)));
    for (const TFeatureType type : FEATURE_TYPES) {
        if (type != TFeatureType::CYLINDER)
            QVERIFY2(!html.contains(Fit_Definition(type).replace("'", "&#39;")),
                     Feature_Type_Name(type));
    }
}

void TestReports::no_negative_zero_data()
{
    QTest::addColumn<double>("deviation");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tiny negative") << -1e-13 << "0.000000";
    QTest::newRow("rounds to zero") << -4.9e-10 << "0.000000";
    QTest::newRow("rounds away from zero") << -5.1e-10 << "-0.000001";
    QTest::newRow("negative") << -0.00003 << "-0.030000";
}

void TestReports::no_negative_zero()
{
    QFETCH(double, deviation);
    QFETCH(QString, shown);
    TGradeReport report = Sample_Report();
    report.features = {{"SPH_1",
                        TFeatureType::SPHERE,
                        TVerdict::PASS,
                        {Grade(TQuantity::SIZE, deviation, 0, 0.0001, TVerdict::PASS)},
                        {}}};
    report.summary = {};
    Count_Verdict(TVerdict::PASS, report.summary);
    const QString cell = "<td>size</td><td class=\"n\">" + shown + QStringLiteral(" \u00b5m");
    QVERIFY2(Html(report).contains(cell), qPrintable(cell));
    QVERIFY(!Html(report).contains("-0.000000"));
    const QString table = QString::fromUtf8(Grade_Table(report));
    QVERIFY2(table.contains(" " + shown + QStringLiteral(" \u00b5m")), qPrintable(table));
    QVERIFY(!table.contains("-0.000000"));
}

void TestReports::report_identifier_data()
{
    QTest::addColumn<QList<QByteArray>>("other_hashes");
    QTest::addColumn<QDateTime>("other_date");
    QTest::addColumn<bool>("same");

    const QDateTime date(QDate(2024, 3, 15), QTime(14, 30, 5), Qt::UTC);
    QTest::newRow("the same run") << QList<QByteArray>{REFERENCE_SHA256, RESULTS_SHA256} << date
                                  << true;
    QTest::newRow("the same moment, another time zone")
        << QList<QByteArray>{REFERENCE_SHA256, RESULTS_SHA256}
        << QDateTime(QDate(2024, 3, 15), QTime(15, 30, 5), Qt::OffsetFromUTC, 3600) << true;
    QTest::newRow("a second later")
        << QList<QByteArray>{REFERENCE_SHA256, RESULTS_SHA256} << date.addSecs(1) << false;
    QTest::newRow("other results")
        << QList<QByteArray>{REFERENCE_SHA256, REFERENCE_SHA256} << date << false;
    QTest::newRow("inputs the other way round")
        << QList<QByteArray>{RESULTS_SHA256, REFERENCE_SHA256} << date << false;
    QTest::newRow("refit: no results")
        << QList<QByteArray>{REFERENCE_SHA256, QByteArray()} << date << false;
}

void TestReports::report_identifier()
{
    QFETCH(QList<QByteArray>, other_hashes);
    QFETCH(QDateTime, other_date);
    QFETCH(bool, same);
    const QDateTime date(QDate(2024, 3, 15), QTime(14, 30, 5), Qt::UTC);
    const QString id = Report_Identifier({REFERENCE_SHA256, RESULTS_SHA256}, date);
    QVERIFY2(QRegularExpression("^[0-9A-F]{4}(-[0-9A-F]{4}){3}$").match(id).hasMatch(),
             qPrintable(id));
    // The first 16 digits of the SHA-256 of the digests and the date, as documented.
    const QByteArray digest = QCryptographicHash::hash(REFERENCE_SHA256 + "\n" + RESULTS_SHA256 +
                                                           "\n" + "2024-03-15T14:30:05Z",
                                                       QCryptographicHash::Sha256)
                                  .toHex()
                                  .toUpper();
    QCOMPARE(QString(id).remove('-'), QString::fromLatin1(digest.left(16)));
    QCOMPARE(Report_Identifier(other_hashes, other_date) == id, same);
}

namespace {

// A suite of files of 32 features each, of the types in turn, every
// fifth feature failing, one file's results missing.
TSuiteReport Sample_Suite(int files)
{
    TSuiteReport suite;
    suite.suite_path = QStringLiteral("/data/suite");
    suite.results_path = QStringLiteral("/data/results");
    suite.manifest_path = QStringLiteral("/data/suite/suite.json");
    suite.manifest_sha256 = RESULTS_SHA256;
    suite.seed = 7;
    suite.date = QDateTime(QDate(2024, 3, 15), QTime(14, 30, 5), Qt::UTC);
    suite.version = QStringLiteral("1.0");
    suite.report_id = QStringLiteral("0123-4567-89AB-CDEF");
    for (int f = 0; f < files; ++f) {
        const TFeatureType type = FEATURE_TYPES[f % 7];
        TGradeReport file;
        file.reference_path =
            QStringLiteral("/data/suite/%1.dat").arg(QLatin1String(Feature_Type_Name(type)));
        file.reference_sha256 = REFERENCE_SHA256;
        for (int i = 0; i < 32; ++i) {
            const QString label = QStringLiteral("F%1_%2").arg(f).arg(i + 1);
            if (f == 2) {
                Add(file, {label, type, TVerdict::MISSING, {}, "there is no results file"});
                continue;
            }
            const TVerdict verdict = i % 5 == 0 ? TVerdict::FAIL : TVerdict::PASS;
            std::vector<TQuantityGrade> grades;
            for (const TQuantity quantity : Quantities_Of(type))
                grades.push_back(Grade(quantity, i % 5 == 0 ? 0.0003 : 0.00002, 0.000001,
                                       Quantity_Mpe(quantity, suite.mpe), verdict));
            Add(file, {label, type, verdict, grades, {}});
        }
        suite.files.push_back(file);
    }
    Summarise_Suite(suite);
    return suite;
}

} // namespace

void TestReports::suite_record()
{
    const QString html = QString::fromUtf8(Report_Html(Sample_Suite(3)));
    QVERIFY(html.contains("<th>Suite seed</th><td>7</td>"));
    QVERIFY(html.contains("<th>Suite manifest</th><td><span class=\"path\">/data/suite/suite.json"
                          "</span><br><span class=\"hash\">SHA-256 " +
                          QString::fromLatin1(RESULTS_SHA256)));
    QVERIFY(html.contains("<span class=\"id\">0123-4567-89AB-CDEF</span>"));
    // Three types graded: their fits defined, no others.
    QVERIFY(html.contains(Fit_Definition(TFeatureType::CIRCLE).replace("'", "&#39;")));
    QVERIFY(!html.contains(Fit_Definition(TFeatureType::SPHERE)));
}

void TestReports::paginate_keeps_headings_with_what_follows()
{
    // Page height 100: a text of 60, a heading of 10 and a caption of 10
    // kept with a text of 30 that would end at 110.
    const auto text = [](double height, bool heading = false) {
        TPdfBlock block;
        block.height = height;
        block.heading = heading;
        return block;
    };
    const std::vector<TPdfBlock> blocks{text(60), text(10, true), text(10, true), text(30),
                                        text(50)};
    const std::vector<TPdfPage> pages = Paginate(blocks, {}, 100);
    QCOMPARE(pages.size(), std::size_t(2));
    QCOMPARE(pages[0].placements.size(), std::size_t(1));
    QCOMPARE(pages[1].placements.size(), std::size_t(4));
    QCOMPARE(pages[1].placements[0].blocks, std::vector<int>{1});
    QCOMPARE(pages[1].placements[0].top, 0.0);
    QCOMPARE(pages[1].placements[3].top, 50.0);
}

void TestReports::paginate_splits_what_no_page_holds()
{
    TPdfBlock small;
    small.height = 30;
    TPdfBlock tall;
    tall.height = 230;
    const std::vector<TPdfPage> pages = Paginate({small, tall}, {}, 100);
    // The tall block starts a page of its own and goes on over as many as
    // it needs, each showing the next part of it.
    QCOMPARE(pages.size(), std::size_t(4));
    QCOMPARE(pages[0].placements.size(), std::size_t(1));
    const double offsets[] = {0, 100, 200};
    const double heights[] = {100, 100, 30};
    for (int p = 1; p < 4; ++p) {
        QCOMPARE(pages[p].placements.size(), std::size_t(1));
        QCOMPARE(pages[p].placements[0].blocks, std::vector<int>{1});
        QCOMPARE(pages[p].placements[0].top, 0.0);
        QCOMPARE(pages[p].placements[0].offset, offsets[p - 1]);
        QCOMPARE(pages[p].placements[0].height, heights[p - 1]);
    }
}

void TestReports::chart_blocks_are_features()
{
    const std::vector<TChartRow> rows = Chart_Rows(Sample_Suite(3));
    const std::vector<TPdfBlock> blocks = Chart_Blocks(rows);
    // Per file a heading and 32 features.
    QCOMPARE(blocks.size(), std::size_t(3 * 33));
    std::size_t covered = 0;
    for (const TPdfBlock &block : blocks) {
        QCOMPARE(block.first_row, covered);
        covered += block.row_count;
        const TChartRow &first = rows[block.first_row];
        QCOMPARE(block.heading, first.heading);
        if (first.heading)
            QCOMPARE(block.row_count, std::size_t(1));
        for (std::size_t r = block.first_row + 1; r < block.first_row + block.row_count; ++r)
            QCOMPARE(rows[r].feature, first.feature);
    }
    QCOMPARE(covered, rows.size());
}

void TestReports::suite_pdf_layout()
{
    const TSuiteReport suite = Sample_Suite(7);
    const TPdfLayout layout = Pdf_Layout(suite);
    QVERIFY(layout.pages.size() > 5);

    // Where every feature's chart rows went, and every feature's table.
    QMap<int, int> chart_page;
    QMap<int, int> rows_placed;
    QSet<int> parts_placed;
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        const TPdfPage &page = layout.pages[p];
        QVERIFY(!page.placements.empty());
        QCOMPARE(page.footer_left, QString("Tessaline grading report \u00b7 Report "
                                           "0123-4567-89AB-CDEF"));
        QCOMPARE(page.footer_right, QString("page %1 of %2").arg(p + 1).arg(layout.pages.size()));
        double bottom = 0;
        for (const TPdfPlacement &placement : page.placements) {
            QVERIFY(placement.top >= bottom - 1e-9);
            bottom = placement.top + placement.height;
            QVERIFY2(bottom <= layout.body_height + 1e-9, qPrintable(QString::number(p)));
            if (placement.kind == TPdfBlock::TEXT) {
                const int part = layout.blocks[placement.blocks.front()].part;
                QVERIFY2(placement.offset == 0 && !parts_placed.contains(part),
                         "a part of the text split over pages");
                parts_placed.insert(part);
                continue;
            }
            for (std::size_t r = 0; r < placement.rows.size(); ++r) {
                const TChartRow &row = placement.rows[r];
                if (row.continued) {
                    // A file's rows going on from the page before: its name first.
                    QCOMPARE(r, std::size_t(0));
                    QVERIFY(placement.rows.size() > 1);
                    QCOMPARE(row.label,
                             File_Name(suite.files[placement.rows[1].file]) + " (continued)");
                    QVERIFY(p > 0);
                    continue;
                }
                if (row.heading)
                    continue;
                if (chart_page.contains(row.feature))
                    QCOMPARE(chart_page[row.feature], static_cast<int>(p));
                chart_page[row.feature] = static_cast<int>(p);
                ++rows_placed[row.feature];
            }
            // Every piece of a suite's chart begins with the name of its file:
            // the file's own heading or its continuation.
            QVERIFY(placement.rows.front().heading);
        }
        // No heading, caption or file heading ends a page but the last.
        if (p + 1 < layout.pages.size()) {
            const TPdfPlacement &last = page.placements.back();
            if (last.kind == TPdfBlock::TEXT) {
                QVERIFY2(!layout.blocks[last.blocks.front()].heading,
                         qPrintable(layout.parts[layout.blocks[last.blocks.front()].part].html));
            } else {
                QVERIFY(!last.rows.back().heading);
            }
        }
    }
    // Every feature's rows, all on one page; every text part placed once.
    int features = 0;
    for (const TGradeReport &file : suite.files)
        features += static_cast<int>(file.features.size());
    QCOMPARE(chart_page.size(), features);
    for (const TGradeReport &file : suite.files)
        QVERIFY(!file.features.empty());
    for (auto it = rows_placed.begin(); it != rows_placed.end(); ++it) {
        const int feature = it.key();
        int f = feature;
        std::size_t file = 0;
        while (f >= static_cast<int>(suite.files[file].features.size()))
            f -= static_cast<int>(suite.files[file++].features.size());
        const std::size_t expected = std::max<std::size_t>(
            1, suite.files[file].features[static_cast<std::size_t>(f)].quantities.size());
        QCOMPARE(static_cast<std::size_t>(it.value()), expected);
    }
    int text_parts = 0;
    for (const TReportPart &part : layout.parts)
        text_parts += part.kind != TReportPart::CHART;
    QCOMPARE(parts_placed.size(), text_parts);

    // The PDF has the layout's pages.
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath(QStringLiteral("suite.pdf"));
    QString reason;
    QVERIFY2(Write_Pdf_Report(path, suite, &reason), qPrintable(reason));
    const QByteArray pdf = Read(path);
    QCOMPARE(Page_Count(pdf), static_cast<int>(layout.pages.size()));
    int quantities = 0;
    for (const TGradeReport &file : suite.files)
        quantities += Quantity_Count(file);
    QCOMPARE(Pdf_Bars(pdf), quantities);
}

QTEST_MAIN(TestReports)

#include "test_reports.moc"
