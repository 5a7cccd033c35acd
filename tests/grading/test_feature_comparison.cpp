#include "grading/feature_comparison.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(TVerdict)
Q_DECLARE_METATYPE(TVector3)
Q_DECLARE_METATYPE(TFeatureType)

namespace {

// A square grid of 11 x 11 points in the plane z = 0, from -10 to 10.
std::vector<TVector3> Grid()
{
    std::vector<TVector3> points;
    for (int i = -5; i <= 5; ++i)
        for (int j = -5; j <= 5; ++j)
            points.emplace_back(2.0 * i, 2.0 * j, 0.0);
    return points;
}

// Points along the x axis from -5 to 5.
std::vector<TVector3> Along_X()
{
    std::vector<TVector3> points;
    for (int i = -5; i <= 5; ++i)
        points.emplace_back(double(i), 0.0, 0.0);
    return points;
}

TFitValues Fit(const TVector3 &position, const TVector3 &direction, double diameter = 0)
{
    TFitValues values;
    values.position = position;
    values.direction = direction;
    values.diameter = diameter;
    return values;
}

const TMpe LOOSE = {1.0, 1.0, 1.0};

double Quantity_Of(const TFeatureGrade &grade, TQuantity quantity)
{
    for (const TQuantityGrade &graded : grade.quantities)
        if (graded.quantity == quantity)
            return graded.deviation;
    return NAN;
}

} // namespace

class TestFeatureComparison : public QObject
{
    Q_OBJECT

private slots:
    void quantity_verdict_at_its_boundaries_data();
    void quantity_verdict_at_its_boundaries();
    void plane_data();
    void plane();
    void line_data();
    void line();
    void circle_and_sphere_data();
    void circle_and_sphere();
    void uncertainty_from_the_written_resolution();
    void feature_verdict_is_the_worst_quantity_data();
    void feature_verdict_is_the_worst_quantity();
    void zero_direction_is_unfit();
};

void TestFeatureComparison::quantity_verdict_at_its_boundaries_data()
{
    QTest::addColumn<double>("deviation");
    QTest::addColumn<double>("resolution");
    QTest::addColumn<double>("mpe");
    QTest::addColumn<TVerdict>("verdict");
    // Binary fractions, so that the sums are exact.
    QTest::newRow("well inside") << 0.25 << 0.125 << 1.0 << TVerdict::PASS;
    QTest::newRow("|d| + e exactly the MPE passes") << 0.5 << 0.25 << 0.75 << TVerdict::PASS;
    QTest::newRow("|d| + e just over the MPE") << 0.5 << 0.25 << 0.7499 << TVerdict::INCONCLUSIVE;
    QTest::newRow("|d| - e exactly the MPE is inconclusive")
        << 0.5 << 0.25 << 0.25 << TVerdict::INCONCLUSIVE;
    QTest::newRow("|d| - e just over the MPE fails") << 0.5 << 0.25 << 0.2499 << TVerdict::FAIL;
    QTest::newRow("negative deviation by its magnitude") << -0.5 << 0.0 << 0.25 << TVerdict::FAIL;
    QTest::newRow("exact value at the MPE") << 0.25 << 0.0 << 0.25 << TVerdict::PASS;
    QTest::newRow("not a number never passes")
        << double(NAN) << 0.0 << 1.0 << TVerdict::INCONCLUSIVE;
    QTest::newRow("infinite deviation fails") << double(INFINITY) << 0.0 << 1.0 << TVerdict::FAIL;
}

void TestFeatureComparison::quantity_verdict_at_its_boundaries()
{
    QFETCH(double, deviation);
    QFETCH(double, resolution);
    QFETCH(double, mpe);
    QFETCH(TVerdict, verdict);
    QCOMPARE(Quantity_Verdict(deviation, resolution, mpe), verdict);
}

void TestFeatureComparison::plane_data()
{
    QTest::addColumn<TVector3>("position");
    QTest::addColumn<TVector3>("normal");
    QTest::addColumn<double>("position_deviation");
    QTest::addColumn<double>("angle");
    const double theta = 1e-4;
    QTest::newRow("the same plane") << TVector3(0, 0, 0) << TVector3(0, 0, 1) << 0.0 << 0.0;
    QTest::newRow("flipped normal") << TVector3(0, 0, 0) << TVector3(0, 0, -1) << 0.0 << 0.0;
    QTest::newRow("another point of the same plane")
        << TVector3(7, -3, 0) << TVector3(0, 0, 2) << 0.0 << 0.0;
    QTest::newRow("shifted along the normal")
        << TVector3(0, 0, 0.003) << TVector3(0, 0, 1) << 0.003 << 0.0;
    // Tilted about the y axis through the centroid: the edge points at
    // x = +-10 move by 10 sin(theta).
    QTest::newRow("tilted about its centroid")
        << TVector3(0, 0, 0) << TVector3(std::sin(theta), 0, std::cos(theta))
        << 10 * std::sin(theta) << theta;
    QTest::newRow("tilted and flipped")
        << TVector3(0, 0, 0) << TVector3(-std::sin(theta), 0, -std::cos(theta))
        << 10 * std::sin(theta) << theta;
}

void TestFeatureComparison::plane()
{
    QFETCH(TVector3, position);
    QFETCH(TVector3, normal);
    QFETCH(double, position_deviation);
    QFETCH(double, angle);
    const TFeatureGrade grade =
        Grade_Feature("PLN_1", TFeatureType::PLANE, Fit({0, 0, 0}, {0, 0, 1}),
                      Fit(position, normal), Grid(), LOOSE);
    QCOMPARE(grade.quantities.size(), size_t(2));
    QCOMPARE(grade.quantities[0].quantity, TQuantity::POSITION);
    QCOMPARE(grade.quantities[1].quantity, TQuantity::ANGLE);
    QVERIFY(std::fabs(grade.quantities[0].deviation - position_deviation) < 1e-15);
    QVERIFY(std::fabs(grade.quantities[1].deviation - angle) < 1e-15);
    QCOMPARE(grade.verdict, TVerdict::PASS);
}

void TestFeatureComparison::line_data()
{
    QTest::addColumn<TVector3>("position");
    QTest::addColumn<TVector3>("direction");
    QTest::addColumn<double>("position_deviation");
    QTest::addColumn<double>("angle");
    const double theta = 2e-5;
    QTest::newRow("the same line") << TVector3(0, 0, 0) << TVector3(1, 0, 0) << 0.0 << 0.0;
    QTest::newRow("another point, reversed")
        << TVector3(3, 0, 0) << TVector3(-4, 0, 0) << 0.0 << 0.0;
    QTest::newRow("shifted across")
        << TVector3(0, 0.003, -0.004) << TVector3(1, 0, 0) << 0.005 << 0.0;
    // Turned about the centroid: the end points at x = +-5 are 5 sin(theta) off.
    QTest::newRow("turned about its centroid")
        << TVector3(0, 0, 0) << TVector3(std::cos(theta), std::sin(theta), 0) << 5 * std::sin(theta)
        << theta;
}

void TestFeatureComparison::line()
{
    QFETCH(TVector3, position);
    QFETCH(TVector3, direction);
    QFETCH(double, position_deviation);
    QFETCH(double, angle);
    const TFeatureGrade grade = Grade_Feature("LN_1", TFeatureType::LINE, Fit({0, 0, 0}, {1, 0, 0}),
                                              Fit(position, direction), Along_X(), LOOSE);
    QCOMPARE(grade.quantities.size(), size_t(2));
    QVERIFY(std::fabs(Quantity_Of(grade, TQuantity::POSITION) - position_deviation) < 1e-15);
    QVERIFY(std::fabs(Quantity_Of(grade, TQuantity::ANGLE) - angle) < 1e-15);
}

void TestFeatureComparison::circle_and_sphere_data()
{
    QTest::addColumn<TFeatureType>("type");
    QTest::addColumn<TVector3>("centre");
    QTest::addColumn<double>("diameter");
    QTest::addColumn<double>("position_deviation");
    QTest::addColumn<double>("size_deviation");
    QTest::newRow("circle, centre off by a 3-4-5 step")
        << TFeatureType::CIRCLE << TVector3(10.003, 20.004, 5) << 25.0 << 0.005 << 0.0;
    QTest::newRow("circle, smaller")
        << TFeatureType::CIRCLE << TVector3(10, 20, 5) << 24.75 << 0.0 << -0.25;
    QTest::newRow("sphere, larger and off")
        << TFeatureType::SPHERE << TVector3(10, 20.006, 5.008) << 25.5 << 0.01 << 0.5;
}

void TestFeatureComparison::circle_and_sphere()
{
    QFETCH(TFeatureType, type);
    QFETCH(TVector3, centre);
    QFETCH(double, diameter);
    QFETCH(double, position_deviation);
    QFETCH(double, size_deviation);
    const TFeatureGrade grade = Grade_Feature("X", type, Fit({10, 20, 5}, {0, 0, 1}, 25),
                                              Fit(centre, {0, 0, 1}, diameter), {}, LOOSE);
    QCOMPARE(grade.quantities.size(), size_t(type == TFeatureType::CIRCLE ? 3 : 2));
    QCOMPARE(grade.quantities.back().quantity, TQuantity::SIZE);
    QVERIFY(std::fabs(Quantity_Of(grade, TQuantity::POSITION) - position_deviation) < 1e-12);
    QVERIFY(std::fabs(Quantity_Of(grade, TQuantity::SIZE) - size_deviation) < 1e-12);
    if (type == TFeatureType::CIRCLE)
        QCOMPARE(Quantity_Of(grade, TQuantity::ANGLE), 0.0);
}

void TestFeatureComparison::uncertainty_from_the_written_resolution()
{
    TFitValues tested = Fit({0, 0, 0}, {0, 0, 1}, 0);
    tested.position_resolution = 0.00005;
    tested.direction_resolution = 0.0000005;
    tested.diameter_resolution = 0.000005;
    const double root_3 = std::sqrt(3.0);
    // The grid's farthest point from the centroid is the corner (10, 10).
    const double radius = std::sqrt(200.0);
    const TFeatureGrade plane = Grade_Feature("PLN_1", TFeatureType::PLANE,
                                              Fit({0, 0, 0}, {0, 0, 1}), tested, Grid(), LOOSE);
    QVERIFY(std::fabs(plane.quantities[1].resolution - root_3 * 0.0000005) < 1e-20);
    QVERIFY(std::fabs(plane.quantities[0].resolution -
                      (root_3 * 0.00005 + root_3 * 0.0000005 * radius)) < 1e-18);
    const TFeatureGrade sphere =
        Grade_Feature("SPH_1", TFeatureType::SPHERE, Fit({0, 0, 0}, {}), tested, {}, LOOSE);
    QVERIFY(std::fabs(sphere.quantities[0].resolution - root_3 * 0.00005) < 1e-18);
    QCOMPARE(sphere.quantities[1].resolution, 0.000005);
}

void TestFeatureComparison::feature_verdict_is_the_worst_quantity_data()
{
    QTest::addColumn<double>("shift");
    QTest::addColumn<double>("diameter");
    QTest::addColumn<TVerdict>("verdict");
    // MPE 0.0001 mm, each value known to 0.00001 mm (e = sqrt(3) 1e-5 for
    // the position).
    QTest::newRow("all pass") << 0.00005 << 25.00005 << TVerdict::PASS;
    QTest::newRow("position inconclusive") << 0.00009 << 25.0 << TVerdict::INCONCLUSIVE;
    QTest::newRow("size fails, position inconclusive") << 0.00009 << 25.0002 << TVerdict::FAIL;
    QTest::newRow("position fails") << 0.0002 << 25.0 << TVerdict::FAIL;
}

void TestFeatureComparison::feature_verdict_is_the_worst_quantity()
{
    QFETCH(double, shift);
    QFETCH(double, diameter);
    QFETCH(TVerdict, verdict);
    TFitValues tested = Fit({shift, 0, 0}, {}, diameter);
    tested.position_resolution = 0.00001;
    tested.diameter_resolution = 0.00001;
    const TFeatureGrade grade =
        Grade_Feature("SPH_1", TFeatureType::SPHERE, Fit({0, 0, 0}, {}, 25), tested, {}, TMpe());
    QCOMPARE(grade.verdict, verdict);
}

void TestFeatureComparison::zero_direction_is_unfit()
{
    for (const TFeatureType type :
         {TFeatureType::PLANE, TFeatureType::LINE, TFeatureType::CIRCLE}) {
        const TFeatureGrade tested = Grade_Feature("F", type, Fit({0, 0, 0}, {0, 0, 1}, 1),
                                                   Fit({0, 0, 0}, {0, 0, 0}, 1), Grid(), TMpe());
        QCOMPARE(tested.verdict, TVerdict::UNFIT);
        QVERIFY(tested.quantities.empty());
        QVERIFY(tested.note.contains("tested"));
        const TFeatureGrade reference = Grade_Feature("F", type, Fit({0, 0, 0}, {0, 0, 0}, 1),
                                                      Fit({0, 0, 0}, {0, 0, 1}, 1), Grid(), TMpe());
        QCOMPARE(reference.verdict, TVerdict::UNFIT);
    }
}

QTEST_GUILESS_MAIN(TestFeatureComparison)
#include "test_feature_comparison.moc"
