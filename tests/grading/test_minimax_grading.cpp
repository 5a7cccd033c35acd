#include "fitting/feature_fit.h"
#include "grading/grade_json.h"
#include "grading/grading_run.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

QByteArray Example(const QString &name)
{
    QFile file(QStringLiteral(TESSALINE_EXAMPLES) + "/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The example plate: the middle plane of its zone is z = 15 through
// (60, 40, 15), the flatness 0.003 mm.
TTestedFeature Plate_Result()
{
    TTestedFeature result;
    result.label = QStringLiteral("PLN_1");
    result.line_number = 1;
    result.usable = true;
    result.position = TVector3(60, 40, 15);
    result.direction = TVector3(0, 0, 1);
    result.position_resolution = 5e-7;
    result.direction_resolution = 5e-10;
    result.has_form = true;
    result.form = 0.003;
    result.form_resolution = 5e-7;
    return result;
}

// The example bore: its largest inscribed circle is of diameter 50 about
// (200, 120, -30).
TTestedFeature Bore_Result()
{
    TTestedFeature result;
    result.label = QStringLiteral("CIR_1");
    result.line_number = 1;
    result.usable = true;
    result.position = TVector3(200, 120, -30);
    result.direction = TVector3(0, 0, 1);
    result.diameter = 50;
    result.position_resolution = 5e-7;
    result.direction_resolution = 5e-10;
    result.diameter_resolution = 5e-7;
    return result;
}

TGradeReport Graded(const QByteArray &content, const TTestedFeature &result)
{
    TResultsReading results;
    results.features.push_back(result);
    TGradeReport report;
    Grade_Results(Read_Reference(content), results, report);
    return report;
}

const TQuantityGrade *Quantity(const TFeatureGrade &grade, TQuantity quantity)
{
    for (const TQuantityGrade &q : grade.quantities)
        if (q.quantity == quantity)
            return &q;
    return nullptr;
}

} // namespace

class TestMinimaxGrading : public QObject
{
    Q_OBJECT

private slots:
    void flatness_data();
    void flatness();
    void flatness_not_stated_is_missing();
    void flatness_about_the_least_squares_plane_is_named();
    void inscribed_diameter_data();
    void inscribed_diameter();
    void refit_of_the_examples_passes_data();
    void refit_of_the_examples_passes();
    void json_states_form_and_criterion();
};

void TestMinimaxGrading::flatness_data()
{
    QTest::addColumn<double>("shift");
    QTest::addColumn<double>("form");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<double>("form_deviation");
    QTest::newRow("exact") << 0.0 << 0.003 << int(TVerdict::PASS) << 0.0;
    QTest::newRow("flatness 50 nm over") << 0.0 << 0.00305 << int(TVerdict::PASS) << 0.00005;
    QTest::newRow("flatness 0.2 um over") << 0.0 << 0.0032 << int(TVerdict::FAIL) << 0.0002;
    QTest::newRow("flatness 0.2 um under") << 0.0 << 0.0028 << int(TVerdict::FAIL) << -0.0002;
    QTest::newRow("shifted 0.3 um") << 0.0003 << 0.003 << int(TVerdict::FAIL) << 0.0;
}

void TestMinimaxGrading::flatness()
{
    QFETCH(double, shift);
    QFETCH(double, form);
    QFETCH(int, verdict);
    QFETCH(double, form_deviation);
    TTestedFeature result = Plate_Result();
    result.position.z += shift;
    result.form = form;
    const TGradeReport report = Graded(Example("plane-minimum-zone.dat"), result);
    QCOMPARE(report.criterion, TCriterion::MINIMUM_ZONE);
    QCOMPARE(report.features.size(), size_t(1));
    const TFeatureGrade &grade = report.features[0];
    QCOMPARE(int(grade.verdict), verdict);
    QCOMPARE(grade.criterion, TCriterion::MINIMUM_ZONE);
    const TQuantityGrade *graded_form = Quantity(grade, TQuantity::FORM);
    QVERIFY(graded_form);
    QVERIFY2(std::abs(graded_form->deviation - form_deviation) < 1e-12,
             qPrintable(QString::number(graded_form->deviation)));
    QCOMPARE(graded_form->mpe, 0.0001);
    const TQuantityGrade *position = Quantity(grade, TQuantity::POSITION);
    QVERIFY(position);
    QVERIFY(std::abs(std::abs(position->deviation) - shift) < 1e-12);
}

void TestMinimaxGrading::flatness_not_stated_is_missing()
{
    TTestedFeature result = Plate_Result();
    result.has_form = false;
    const TGradeReport report = Graded(Example("plane-minimum-zone.dat"), result);
    QCOMPARE(report.features[0].verdict, TVerdict::MISSING);
    QCOMPARE(report.features[0].note,
             QString("its result on line 1 of the results states no form"));
    QCOMPARE(report.summary.missing, 1);
}

// Software that reports the range about its least-squares plane as the
// flatness fails, and is told why.
void TestMinimaxGrading::flatness_about_the_least_squares_plane_is_named()
{
    const QByteArray content = Example("plane-minimum-zone.dat");
    const TReference reference = Read_Reference(content);
    const std::vector<TVector3> &points = reference.features[0].points;
    const TFit plane = Fit_Feature(TFeatureType::PLANE, points);
    QVERIFY(plane.fitted);
    double low = 0, high = 0;
    for (const TVector3 &p : points) {
        const double d = (p - plane.position) ^ plane.direction;
        low = std::min(low, d);
        high = std::max(high, d);
    }
    TTestedFeature result = Plate_Result();
    result.form = std::round((high - low) * 1e6) / 1e6;
    QVERIFY(result.form > 0.0031);
    const TGradeReport report = Graded(content, result);
    QCOMPARE(report.features[0].verdict, TVerdict::FAIL);
    const auto named = std::find_if(report.warnings.begin(), report.warnings.end(), [](auto &w) {
        return w.message.startsWith(
            "PLN_1: the form equals the range about the least-squares plane (");
    });
    QVERIFY(named != report.warnings.end());
    QVERIFY2(named->message.endsWith("not the minimum zone (0.003000 mm)"),
             qPrintable(named->message));
}

void TestMinimaxGrading::inscribed_diameter_data()
{
    QTest::addColumn<double>("diameter");
    QTest::addColumn<int>("verdict");
    QTest::newRow("exact") << 50.0 << int(TVerdict::PASS);
    QTest::newRow("50 nm larger") << 50.00005 << int(TVerdict::PASS);
    QTest::newRow("0.2 um larger") << 50.0002 << int(TVerdict::FAIL);
}

void TestMinimaxGrading::inscribed_diameter()
{
    QFETCH(double, diameter);
    QFETCH(int, verdict);
    TTestedFeature result = Bore_Result();
    result.diameter = diameter;
    const TGradeReport report = Graded(Example("circle-maximum-inscribed.dat"), result);
    const TFeatureGrade &grade = report.features[0];
    QCOMPARE(int(grade.verdict), verdict);
    // An inscribed circle's F is not a form: only its size is graded.
    QVERIFY(!Quantity(grade, TQuantity::FORM));
    const TQuantityGrade *size = Quantity(grade, TQuantity::SIZE);
    QVERIFY(size);
    QVERIFY(std::abs(size->deviation - (diameter - 50)) < 1e-12);
}

void TestMinimaxGrading::refit_of_the_examples_passes_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plate") << "plane-minimum-zone.dat";
    QTest::newRow("bore") << "circle-maximum-inscribed.dat";
}

void TestMinimaxGrading::refit_of_the_examples_passes()
{
    QFETCH(QString, name);
    TGradeReport report;
    Grade_Refit(Read_Reference(Example(name)), report);
    QCOMPARE(report.features.size(), size_t(1));
    QVERIFY2(report.features[0].verdict == TVerdict::PASS, qPrintable(report.features[0].note));
}

void TestMinimaxGrading::json_states_form_and_criterion()
{
    TTestedFeature result = Plate_Result();
    result.form = 0.0032;
    TGradeReport report = Graded(Example("plane-minimum-zone.dat"), result);
    const QJsonObject json = QJsonDocument::fromJson(Grade_Json(report)).object();
    QCOMPARE(json["criterion"].toString(), QString("minimum-zone"));
    QCOMPARE(json["mpe"].toObject()["form"].toDouble(), 0.0001);
    const QJsonObject feature = json["features"].toArray()[0].toObject();
    QVERIFY2(QJsonDocument(feature).toJson().contains("\"form\""),
             QJsonDocument(feature).toJson().constData());
}

QTEST_APPLESS_MAIN(TestMinimaxGrading)
#include "test_minimax_grading.moc"
