#include "fitting/feature_fit.h"
#include "grading/grading_run.h"
#include "grading/reference_uncertainty.h"

#include <QtTest>

#include <cmath>

namespace {

// Four points of the plane z = 4e-7 x: at 6 decimals they lie on z = 0,
// which turns the normal by atan(4e-7) and moves the plane by 4e-7 mm where
// the points are.
const QByteArray TILTED_PLANE = "Best_Fit_Validation:Version=1:Type=Plane\n"
                                "Plane 1 4 0 0 0 -0.0000004 0 1 0\n"
                                "1 1 0.0000004\n1 -1 0.0000004\n"
                                "-1 1 -0.0000004\n-1 -1 -0.0000004\n";

// Points at angle a (degrees) of a circle of radius 10 about the origin
// in z = 0, moved radially by dr and along the axis by dz, to 6 decimals.
TVector3 Circle_Point(double a, double dr, double dz)
{
    const double t = a * M_PI / 180;
    const auto six = [](double v) { return std::round(v * 1e6) / 1e6; };
    return TVector3(six((10 + dr) * std::cos(t)), six((10 + dr) * std::sin(t)), six(dz));
}

TFit Failed(const char *why)
{
    TFit fit;
    fit.failure = why;
    return fit;
}

// Twelve points of a full circle, to 6 decimals but for one coordinate.
std::vector<TVector3> Seven_Decimal_Circle()
{
    std::vector<TVector3> points;
    for (int k = 0; k < 12; ++k)
        points.push_back(Circle_Point(30 * k, 0, 0));
    points[0].z = 0.0000004;
    return points;
}

} // namespace

Q_DECLARE_METATYPE(TVerdict)
Q_DECLARE_METATYPE(TFeatureType)

class TestReferenceUncertainty : public QObject
{
    Q_OBJECT

private slots:
    void rounding_of_the_points_data();
    void rounding_of_the_points();
    void definition_of_a_circle();
    void adds_to_the_uncertainty_of_the_grade_data();
    void adds_to_the_uncertainty_of_the_grade();
    void part_that_cannot_be_computed_is_unknown_data();
    void part_that_cannot_be_computed_is_unknown();
};

void TestReferenceUncertainty::rounding_of_the_points_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("angle");
    QTest::newRow("six decimals: none")
        << QByteArray("Best_Fit_Validation:Version=1:Type=Plane\nPlane 1 3 0 0 0 0 0 1 0\n"
                      "1.000001 0 0.000001\n0 1 -0.000002\n-1 -1 0\n")
        << -1.0 << -1.0;
    QTest::newRow("a seventh decimal tilts the plane") << TILTED_PLANE << 4e-7 << std::atan(4e-7);
}

void TestReferenceUncertainty::rounding_of_the_points()
{
    QFETCH(QByteArray, content);
    QFETCH(double, position);
    QFETCH(double, angle);
    const TReference reference = Read_Reference(content);
    QCOMPARE(reference.features.size(), size_t(1));
    const TReferenceUncertainty uncertainty =
        Reference_Uncertainty(TFeatureType::PLANE, reference.features[0].points);
    QVERIFY(uncertainty.definition.empty());
    if (position < 0) {
        QVERIFY(uncertainty.rounding.empty());
        return;
    }
    QCOMPARE(uncertainty.rounding.size(), size_t(2));
    QVERIFY(std::fabs(uncertainty.rounding.at(TQuantity::POSITION) - position) < 1e-15);
    QVERIFY(std::fabs(uncertainty.rounding.at(TQuantity::ANGLE) - angle) < 1e-15);
    QVERIFY(uncertainty.unknown.isEmpty());
}

void TestReferenceUncertainty::definition_of_a_circle()
{
    // All round, each point off one way only: both definitions give the
    // same circle, but for what the rounding to 6 decimals adds.
    std::vector<TVector3> full;
    for (int k = 0; k < 12; ++k)
        full.push_back(Circle_Point(30 * k, k % 2 ? 0.01 : 0, k % 2 ? 0 : (k % 4 ? 0.02 : -0.02)));
    const TReferenceUncertainty agreed = Reference_Uncertainty(TFeatureType::CIRCLE, full);
    QCOMPARE(agreed.definition.size(), size_t(3));
    for (const auto &part : agreed.definition)
        QVERIFY2(part.second < 1e-10, qPrintable(QString::number(part.second)));

    // A 20 degree arc whose points are off both ways: the definitions part.
    std::vector<TVector3> arc;
    const double off[][2] = {
        {0.01, 0.02}, {-0.02, 0.01}, {0.015, -0.02}, {-0.01, -0.015}, {0.02, 0.01}};
    for (int k = 0; k < 5; ++k)
        arc.push_back(Circle_Point(5 * k, off[k][0], off[k][1]));
    const TReferenceUncertainty parted = Reference_Uncertainty(TFeatureType::CIRCLE, arc);
    QCOMPARE(parted.definition.size(), size_t(3));
    const double angle = parted.definition.at(TQuantity::ANGLE);
    QVERIFY2(angle > 1e-6, qPrintable(QString::number(angle)));
}

void TestReferenceUncertainty::adds_to_the_uncertainty_of_the_grade_data()
{
    QTest::addColumn<double>("angle_mpe");
    QTest::addColumn<TVerdict>("verdict");
    // The results repeat the reference: d = 0, e = atan(4e-7) rad.
    QTest::newRow("within the MPE") << 1e-6 << TVerdict::PASS;
    QTest::newRow("beyond the MPE") << 3e-7 << TVerdict::INCONCLUSIVE;
}

void TestReferenceUncertainty::adds_to_the_uncertainty_of_the_grade()
{
    QFETCH(double, angle_mpe);
    QFETCH(TVerdict, verdict);
    const TReference reference = Read_Reference(TILTED_PLANE);
    const TResultsReading results = Read_Results("label,x,y,z,i,j,k\nPLN_1,0,0,0,-0.0000004,0,1\n",
                                                 Reference_Labels(reference));
    TGradeReport report;
    report.mpe.angle = angle_mpe;
    Grade_Results(reference, results, report);
    QCOMPARE(report.features.size(), size_t(1));
    const TQuantityGrade &angle = report.features[0].quantities[1];
    QCOMPARE(angle.quantity, TQuantity::ANGLE);
    QVERIFY(std::fabs(angle.reference_rounding - std::atan(4e-7)) < 1e-15);
    QCOMPARE(angle.reference_definition, 0.0);
    QVERIFY(angle.Uncertainty() >= angle.reference_rounding + angle.resolution);
    QCOMPARE(angle.verdict, verdict);
}

void TestReferenceUncertainty::part_that_cannot_be_computed_is_unknown_data()
{
    QTest::addColumn<bool>("orthogonal_fails");
    QTest::addColumn<bool>("rounded_fit_fails");
    QTest::addColumn<bool>("rounding_unknown");
    QTest::addColumn<bool>("definition_unknown");
    QTest::newRow("three-dimensional circle fit fails") << true << false << false << true;
    QTest::newRow("fit of the rounded points fails") << false << true << true << false;
    QTest::newRow("both") << true << true << true << true;
}

void TestReferenceUncertainty::part_that_cannot_be_computed_is_unknown()
{
    QFETCH(bool, orthogonal_fails);
    QFETCH(bool, rounded_fit_fails);
    QFETCH(bool, rounding_unknown);
    QFETCH(bool, definition_unknown);
    const std::vector<TVector3> points = Seven_Decimal_Circle();
    TUncertaintyFits fits;
    fits.fit = [&](TFeatureType type, const std::vector<TVector3> &fitted) {
        // The points as written are the ones with z rounded to 0.
        if (rounded_fit_fails && fitted[0].z == 0)
            return Failed("no convergence");
        return Fit_Feature(type, fitted);
    };
    fits.circle_orthogonal = [&](const std::vector<TVector3> &fitted) {
        return orthogonal_fails ? Failed("no convergence") : Fit_Circle_Orthogonal(fitted);
    };
    const TReferenceUncertainty uncertainty =
        Reference_Uncertainty(TFeatureType::CIRCLE, points, fits);
    const std::pair<const TUncertaintyPart *, bool> parts[] = {
        {&uncertainty.rounding, rounding_unknown}, {&uncertainty.definition, definition_unknown}};
    for (const auto &part : parts) {
        QCOMPARE(part.first->size(), size_t(3));
        for (const auto &quantity : *part.first) {
            QCOMPARE(std::isnan(quantity.second), part.second);
            if (!part.second)
                QVERIFY(quantity.second < 1e-6);
        }
    }
    QCOMPARE(uncertainty.unknown.size(), int(rounding_unknown) + int(definition_unknown));
    if (rounding_unknown)
        QVERIFY(uncertainty.unknown.first().contains("reference rounding"));
    if (definition_unknown)
        QVERIFY(uncertainty.unknown.last().contains("reference definition"));
    for (const QString &why : uncertainty.unknown)
        QVERIFY2(why.contains("no convergence"), qPrintable(why));
}

QTEST_GUILESS_MAIN(TestReferenceUncertainty)
#include "test_reference_uncertainty.moc"
