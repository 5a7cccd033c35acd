#include "conversion/validation_converter.h"
#include "grading/grade_json.h"
#include "grading/grade_table.h"
#include "grading/grading_run.h"
#include "grading/suite_report.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

QByteArray Example(const QString &name)
{
    QFile file(QStringLiteral(TESSALINE_EXAMPLES) + "/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray IRREGULAR = "# the grader must see what the converter constructs\n"
                             "Best_Fit_Validation:Version=1:Type=Circle\n"
                             "1 2 3\n"
                             "Circle -3 3 0 0 0 0 0 1 10 0\n"
                             "5 0 0\n"
                             "0 5 0\n"
                             "1 2\n"
                             "-5 0 0\n"
                             "Circle 4 2 1 1 1 0 0 1 2 0\n"
                             "1 2 3\n"
                             "Circle 5 3 0 0 0 0 0 1 4.5 0\n"
                             "2.25 0 0\n"
                             "0 2.25 0\n"
                             "-2.25 0 0\n"
                             "Circle -3 3 0 0 0 0 0 1 10 0\n"
                             "5 0 0\n"
                             "0 5 0\n"
                             "0 -5 0\n";

} // namespace

class TestGradingRun : public QObject
{
    Q_OBJECT

private slots:
    void reference_is_what_the_converter_constructs_data();
    void reference_is_what_the_converter_constructs();
    void resolutions_of_the_stated_values();
    void results_are_matched_by_label();
    void refit_grades_the_stated_values();
    void table_of_every_verdict();
    void stated_values_of_the_new_types_data();
    void stated_values_of_the_new_types();
    void new_quantities_by_name_in_table_and_json();
    void suite_summary_by_type_and_quantity();
};

void TestGradingRun::reference_is_what_the_converter_constructs_data()
{
    QTest::addColumn<QByteArray>("content");
    for (const char *name : {"plane.dat", "line.dat", "circle.dat", "sphere.dat"})
        QTest::newRow(name) << Example(name);
    QTest::newRow("irregular file") << IRREGULAR;
}

void TestGradingRun::reference_is_what_the_converter_constructs()
{
    QFETCH(QByteArray, content);
    QVERIFY(!content.isEmpty());
    TValidationConverter converter;
    converter.Convert(content);
    const TReference reference = Read_Reference(content);
    QVERIFY(reference.is_validation_file);
    QCOMPARE(reference.features.size(), converter.construction_features.size());
    for (size_t i = 0; i < reference.features.size(); ++i) {
        const TReferenceFeature &feature = reference.features[i];
        const auto &constructed = converter.construction_features[i];
        QCOMPARE(feature.label, constructed.name);
        QCOMPARE(feature.points.size(), constructed.point_names.size());
        QCOMPARE(feature.position.x, constructed.xyz.x);
        QCOMPARE(feature.position.z, constructed.xyz.z);
        QCOMPARE(feature.diameter, constructed.diameter);
        if (reference.type != TFeatureType::SPHERE)
            QCOMPARE(feature.direction.z, constructed.ijk.z);
    }
}

void TestGradingRun::resolutions_of_the_stated_values()
{
    const TReference reference = Read_Reference("Best_Fit_Validation:Version=1:Type=Circle\n"
                                                "Circle 1 3 1.5 2.25 3 0 0 1.000 25.4000 0\n"
                                                "1 2 3\n4 5 6\n7 8 9\n");
    QCOMPARE(reference.features.size(), size_t(1));
    const TReferenceFeature &feature = reference.features[0];
    QCOMPARE(feature.position_resolution, 0.05);
    QCOMPARE(feature.direction_resolution, 0.0005);
    QCOMPARE(feature.diameter_resolution, 0.00005);
    QCOMPARE(feature.points[2].y, 8.0);
}

void TestGradingRun::results_are_matched_by_label()
{
    const TReference reference = Read_Reference(IRREGULAR);
    // CIR_-3 twice: once ambiguous; CIR_5 given; CIR_4 never completed.
    const std::vector<TReferenceLabel> labels = Reference_Labels(reference);
    QCOMPARE(labels.size(), size_t(2));
    QCOMPARE(labels[0].label, QString("CIR_-3"));
    QCOMPARE(labels[1].label, QString("CIR_5"));
    const TResultsReading results =
        Read_Results("FA(CIR_5)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,4.50000\n"
                     "FA(CIR_-3)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,10\n",
                     labels);
    TGradeReport report;
    Grade_Results(reference, results, report);
    QCOMPARE(report.features.size(), size_t(2));
    QCOMPARE(report.features[0].verdict, TVerdict::AMBIGUOUS);
    QVERIFY(report.features[0].note.contains("lines 4, 15"));
    QCOMPARE(report.features[1].verdict, TVerdict::PASS);
    QCOMPARE(report.summary.pass, 1);
    QCOMPARE(report.summary.ambiguous, 1);
    QVERIFY(!report.summary.All_Pass());
}

void TestGradingRun::refit_grades_the_stated_values()
{
    // Points on exact circles: of radius 2.25 about the origin, and of
    // radius 5 about (1, 1, 1) stated with a diameter 0.001 too large.
    const TReference reference = Read_Reference("Best_Fit_Validation:Version=1:Type=Circle\n"
                                                "Circle 1 4 0 0 0 0 0 1 4.500000 0\n"
                                                "2.25 0 0\n0 2.25 0\n-2.25 0 0\n0 -2.25 0\n"
                                                "Circle 2 3 1 1 1 0 0 -1 10.001 0\n"
                                                "6 1 1\n1 6 1\n-4 1 1\n"
                                                "Circle 3 2 0 0 0 0 0 1 1 0\n0 0 0\n1 1 0\n");
    TGradeReport report;
    Grade_Refit(reference, report);
    QCOMPARE(report.features.size(), size_t(3));
    QCOMPARE(report.features[0].verdict, TVerdict::PASS);
    QCOMPARE(report.features[1].verdict, TVerdict::FAIL);
    const TQuantityGrade &size = report.features[1].quantities[2];
    QCOMPARE(size.quantity, TQuantity::SIZE);
    QVERIFY(std::fabs(size.deviation - 0.001) < 1e-12);
    QCOMPARE(size.resolution, 0.0005);
    QCOMPARE(report.features[2].verdict, TVerdict::UNFIT);
    QVERIFY(report.features[2].note.contains("too few points"));
}

void TestGradingRun::table_of_every_verdict()
{
    TGradeReport report;
    report.features.push_back({"SPH_1",
                               TFeatureType::SPHERE,
                               TVerdict::FAIL,
                               {{TQuantity::POSITION, 0.0000125, 0, 0.0001, TVerdict::PASS},
                                {TQuantity::SIZE, -2e12, 0, 0.0001, TVerdict::FAIL}},
                               {}});
    report.features.push_back({"SPH_22", TFeatureType::SPHERE, TVerdict::MISSING, {}, "none"});
    report.summary.fail = 1;
    report.summary.missing = 1;
    const QStringList lines =
        QString::fromUtf8(Grade_Table(report)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[1].simplified(),
             QString::fromUtf8("SPH_1 position 0.012500 µm 0.100000 µm pass"));
    QCOMPARE(lines[2].simplified(),
             QString::fromUtf8("SPH_1 size -2.000000e+15 µm 0.100000 µm fail"));
    QCOMPARE(lines[3].simplified(), QString("SPH_22 - - - missing"));
    QCOMPARE(lines[4], QString("2 features: 0 pass, 1 fail, 0 inconclusive, 1 missing, "
                               "0 ambiguous, 0 unfit"));
    // The columns line up.
    QCOMPARE(lines[1].indexOf("position"), lines[0].indexOf("quantity"));
    QCOMPARE(lines[1].indexOf(" pass"), lines[2].indexOf(" fail"));
}

void TestGradingRun::stated_values_of_the_new_types_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<double>("diameter");
    QTest::addColumn<double>("diameter_resolution");
    QTest::addColumn<double>("apex_angle");
    QTest::addColumn<double>("apex_angle_resolution");
    QTest::addColumn<double>("minor_diameter");
    QTest::addColumn<double>("minor_diameter_resolution");
    const QByteArray points = "1 2 3\n4 5 6\n7 8 9\n";
    QTest::newRow("cylinder") << "Best_Fit_Validation:Version=1:Type=Cylinder\n"
                                 "Cylinder 1 3 1 2 3 0 0 1 25.40 0\n" +
                                     points
                              << 25.4 << 0.005 << 0.0 << 0.0 << 0.0 << 0.0;
    // The file states degrees; the grader works in radians.
    QTest::newRow("cone") << "Best_Fit_Validation:Version=1:Type=Cone\n"
                             "Cone 1 3 1 2 3 0 0 1 90.0 12.000 0\n" +
                                 points
                          << 12.0 << 0.0005 << M_PI / 2 << 0.05 * M_PI / 180 << 0.0 << 0.0;
    QTest::newRow("torus") << "Best_Fit_Validation:Version=1:Type=Torus\n"
                              "Torus 1 3 1 2 3 0 0 1 50.0 7.25 0\n" +
                                  points
                           << 50.0 << 0.05 << 0.0 << 0.0 << 7.25 << 0.005;
}

void TestGradingRun::stated_values_of_the_new_types()
{
    QFETCH(QByteArray, content);
    QFETCH(double, diameter);
    QFETCH(double, diameter_resolution);
    QFETCH(double, apex_angle);
    QFETCH(double, apex_angle_resolution);
    QFETCH(double, minor_diameter);
    QFETCH(double, minor_diameter_resolution);
    const TReference reference = Read_Reference(content);
    QCOMPARE(reference.features.size(), size_t(1));
    const TReferenceFeature &feature = reference.features[0];
    QCOMPARE(feature.position.y, 2.0);
    QCOMPARE(feature.direction.z, 1.0);
    QCOMPARE(feature.diameter, diameter);
    QCOMPARE(feature.diameter_resolution, diameter_resolution);
    QVERIFY(std::fabs(feature.apex_angle - apex_angle) < 1e-15);
    QVERIFY(std::fabs(feature.apex_angle_resolution - apex_angle_resolution) < 1e-18);
    QCOMPARE(feature.minor_diameter, minor_diameter);
    QCOMPARE(feature.minor_diameter_resolution, minor_diameter_resolution);
    QCOMPARE(feature.points.size(), size_t(3));
}

void TestGradingRun::new_quantities_by_name_in_table_and_json()
{
    TGradeReport report;
    TQuantityGrade apex{TQuantity::APEX_ANGLE, 2e-6, 0, 1e-6, TVerdict::INCONCLUSIVE};
    apex.reference_rounding = NAN;
    report.features.push_back({"CON_1", TFeatureType::CONE, TVerdict::INCONCLUSIVE, {apex}, {}});
    report.features.push_back({"TOR_1",
                               TFeatureType::TORUS,
                               TVerdict::FAIL,
                               {{TQuantity::MINOR_SIZE, -0.0003, 0, 0.0001, TVerdict::FAIL}},
                               {}});
    report.summary.inconclusive = 1;
    report.summary.fail = 1;
    const QStringList lines =
        QString::fromUtf8(Grade_Table(report)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[1].simplified(),
             QString::fromUtf8("CON_1 apex angle 2.000000 µrad 1.000000 µrad inconclusive"));
    QCOMPARE(lines[2].simplified(),
             QString::fromUtf8("TOR_1 minor size -0.300000 µm 0.100000 µm fail"));

    const QJsonArray features = QJsonDocument::fromJson(Grade_Json(report))["features"].toArray();
    QCOMPARE(features.size(), 2);
    const QJsonObject cone = features[0].toObject()["apex_angle"].toObject();
    QCOMPARE(cone["deviation"].toDouble(), 2e-6);
    QCOMPARE(cone["verdict"].toString(), QString("inconclusive"));
    // Unknown, not 0: the part and the uncertainty it belongs to.
    QVERIFY(cone["reference_rounding"].isNull());
    QVERIFY(cone["uncertainty"].isNull());
    QCOMPARE(cone["reference_definition"].toDouble(-1), 0.0);
    const QJsonObject torus = features[1].toObject()["minor_size"].toObject();
    QCOMPARE(torus["deviation"].toDouble(), -0.0003);
    QCOMPARE(torus["uncertainty"].toDouble(-1), 0.0);
}

void TestGradingRun::suite_summary_by_type_and_quantity()
{
    // A torus before a plane, and a cone whose grades come in another order
    // than its type's: the summary follows FEATURE_TYPES and takes each
    // quantity from its own grade.
    TGradeReport file;
    file.features.push_back({"TOR_1",
                             TFeatureType::TORUS,
                             TVerdict::PASS,
                             {{TQuantity::POSITION, 1e-5, 0, 1e-4, TVerdict::PASS},
                              {TQuantity::ANGLE, 1e-7, 0, 1e-6, TVerdict::PASS},
                              {TQuantity::SIZE, 2e-5, 0, 1e-4, TVerdict::PASS},
                              {TQuantity::MINOR_SIZE, -3e-5, 0, 1e-4, TVerdict::PASS}},
                             {}});
    file.features.push_back({"CON_1",
                             TFeatureType::CONE,
                             TVerdict::FAIL,
                             {{TQuantity::SIZE, 4e-5, 0, 1e-4, TVerdict::PASS},
                              {TQuantity::APEX_ANGLE, -5e-6, 0, 1e-6, TVerdict::FAIL},
                              {TQuantity::ANGLE, 2e-7, 0, 1e-6, TVerdict::PASS},
                              {TQuantity::POSITION, 6e-5, 0, 1e-4, TVerdict::PASS}},
                             {}});
    file.features.push_back({"PLN_1", TFeatureType::PLANE, TVerdict::MISSING, {}, "none"});
    TSuiteReport suite;
    suite.files.push_back(file);
    Summarise_Suite(suite);

    QStringList rows;
    for (const TQuantitySummary &summary : suite.by_type)
        rows << QStringLiteral("%1 %2 %3 %4")
                    .arg(Feature_Type_Name(summary.type), Quantity_Name(summary.quantity))
                    .arg(summary.largest)
                    .arg(summary.graded);
    QCOMPARE(rows,
             (QStringList{"plane position 0 0", "plane angle 0 0", "cone position 6e-05 1",
                          "cone angle 2e-07 1", "cone apex angle 5e-06 1", "cone size 4e-05 1",
                          "torus position 1e-05 1", "torus angle 1e-07 1", "torus size 2e-05 1",
                          "torus minor size 3e-05 1"}));
    const TQuantitySummary &apex = suite.by_type[4];
    QCOMPARE(apex.verdicts.fail, 1);
    QCOMPARE(apex.largest_share, 5e-6 / suite.mpe.angle);
    const TQuantitySummary &minor = suite.by_type[9];
    QCOMPARE(minor.largest_share, 3e-5 / suite.mpe.size);
}

QTEST_GUILESS_MAIN(TestGradingRun)
#include "test_grading_run.moc"
