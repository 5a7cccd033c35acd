#include "grading/feature_comparison.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(TVerdict)
Q_DECLARE_METATYPE(TVector3)
Q_DECLARE_METATYPE(TFeatureType)
Q_DECLARE_METATYPE(TFitValues)

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

double Quantity_Of(const TFeatureGrade &grade, TQuantity quantity)
{
    for (const TQuantityGrade &graded : grade.quantities)
        if (graded.quantity == quantity)
            return graded.deviation;
    return NAN;
}

const TMpe LOOSE = {1.0, 1.0, 1.0};

const double CONE_ANGLE = M_PI / 3; // 60 degrees included
const double CONE_SLOPE = 2 * std::tan(CONE_ANGLE / 2);

// Points of a surface of revolution about the z axis: at z = -2, 0 and 2,
// twelve round, at radius(z).
template <typename TRadius> std::vector<TVector3> Round_Points(TRadius radius)
{
    std::vector<TVector3> points;
    for (int z = -2; z <= 2; z += 2)
        for (int k = 0; k < 12; ++k) {
            const double t = k * M_PI / 6;
            points.emplace_back(radius(z) * std::cos(t), radius(z) * std::sin(t), double(z));
        }
    return points;
}

// The reference cone: on the z axis, wider towards +z, 20 across at the
// origin, 60 degrees included.
TFitValues Reference_Cone()
{
    TFitValues cone = Fit({0, 0, 0}, {0, 0, 1}, 20);
    cone.apex_angle = CONE_ANGLE;
    return cone;
}

// A cone on the reference cone's axis stated at height z with the axis'
// sign given.
TFitValues Cone_At(double z, double sign, double apex_angle = CONE_ANGLE, double diameter = 20)
{
    TFitValues cone = Fit({0, 0, z}, {0, 0, sign}, diameter + 2 * z * std::tan(apex_angle / 2));
    cone.apex_angle = apex_angle;
    return cone;
}

TFitValues Torus(const TVector3 &centre, const TVector3 &axis, double major, double minor)
{
    TFitValues torus = Fit(centre, axis, major);
    torus.minor_diameter = minor;
    return torus;
}

// Each quantity's deviation, or NaN where the grade has none.
struct TDeviations
{
    double position, angle, size, apex_angle, minor_size;
};

void Compare_Deviations(const TFeatureGrade &grade, const TDeviations &expected, double tolerance)
{
    const std::pair<TQuantity, double> quantities[] = {
        {TQuantity::POSITION, expected.position},
        {TQuantity::ANGLE, expected.angle},
        {TQuantity::SIZE, expected.size},
        {TQuantity::APEX_ANGLE, expected.apex_angle},
        {TQuantity::MINOR_SIZE, expected.minor_size}};
    for (const auto &quantity : quantities) {
        const double deviation = Quantity_Of(grade, quantity.first);
        if (std::isnan(quantity.second)) {
            QVERIFY2(std::isnan(deviation), Quantity_Name(quantity.first));
            continue;
        }
        QVERIFY2(std::fabs(deviation - quantity.second) <= tolerance,
                 qPrintable(QStringLiteral("%1: %2, expected %3")
                                .arg(Quantity_Name(quantity.first))
                                .arg(deviation, 0, 'g', 17)
                                .arg(quantity.second, 0, 'g', 17)));
    }
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
    void cylinder_data();
    void cylinder();
    void cone_data();
    void cone();
    void torus_data();
    void torus();
    void cone_uncertainty_from_the_lever_arms();
    void unusable_apex_angle_is_never_a_pass_data();
    void unusable_apex_angle_is_never_a_pass();
    void reference_parts_attached_by_quantity_data();
    void reference_parts_attached_by_quantity();
    void unknown_reference_part_is_inconclusive_data();
    void unknown_reference_part_is_inconclusive();
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
    // What is not finite proves nothing within the MPE, nor leaves it open.
    QTest::newRow("deviation not a number fails") << double(NAN) << 0.0 << 1.0 << TVerdict::FAIL;
    QTest::newRow("infinite deviation fails") << double(INFINITY) << 0.0 << 1.0 << TVerdict::FAIL;
    QTest::newRow("infinite uncertainty fails")
        << 0.25 << double(INFINITY) << 1.0 << TVerdict::FAIL;
    QTest::newRow("uncertainty not a number fails") << 0.25 << double(NAN) << 1.0 << TVerdict::FAIL;
    QTest::newRow("both infinite fail")
        << double(-INFINITY) << double(INFINITY) << 1.0 << TVerdict::FAIL;
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

void TestFeatureComparison::cylinder_data()
{
    QTest::addColumn<TFitValues>("tested");
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("size");
    const double theta = 3e-5;
    QTest::newRow("the same cylinder") << Fit({0, 0, 0}, {0, 0, 1}, 20) << 0.0 << 0.0 << 0.0;
    QTest::newRow("another point of the axis, reversed")
        << Fit({0, 0, 7}, {0, 0, -2}, 20) << 0.0 << 0.0 << 0.0;
    QTest::newRow("shifted across by a 3-4-5 step")
        << Fit({0.003, 0.004, 1}, {0, 0, 1}, 20) << 0.005 << 0.0 << 0.0;
    // Turned about the origin: the axis is sin(theta) off per unit of z,
    // and the points reach z = +-2.
    QTest::newRow("tilted about its point")
        << Fit({0, 0, 0}, {std::sin(theta), 0, std::cos(theta)}, 20) << 2 * std::sin(theta) << theta
        << 0.0;
    QTest::newRow("tilted, reversed") << Fit({0, 0, 0}, {0, -std::sin(theta), -std::cos(theta)}, 20)
                                      << 2 * std::sin(theta) << theta << 0.0;
    QTest::newRow("smaller") << Fit({0, 0, 0}, {0, 0, 1}, 19.998) << 0.0 << 0.0 << -0.002;
}

void TestFeatureComparison::cylinder()
{
    QFETCH(TFitValues, tested);
    QFETCH(double, position);
    QFETCH(double, angle);
    QFETCH(double, size);
    const TFeatureGrade grade =
        Grade_Feature("CYL_1", TFeatureType::CYLINDER, Fit({0, 0, 0}, {0, 0, 1}, 20), tested,
                      Round_Points([](double) { return 10.0; }), LOOSE);
    Compare_Deviations(grade, {position, angle, size, NAN, NAN}, 1e-13);
    QCOMPARE(grade.verdict, TVerdict::PASS);
}

void TestFeatureComparison::cone_data()
{
    QTest::addColumn<TFitValues>("tested");
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("apex_angle");
    QTest::addColumn<double>("size");
    const double vertex = -20 / CONE_SLOPE; // where the reference cone's diameter is 0
    const double theta = 3e-5;
    const double wider = CONE_ANGLE + 1e-4;
    // The same cone, whichever point or end it is stated from and whichever
    // the axis' sign.
    QTest::newRow("at the reference point") << Cone_At(0, 1) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("at its vertex") << Cone_At(vertex, 1) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("at its vertex, reversed") << Cone_At(vertex, -1) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("beyond the points, reversed") << Cone_At(5, -1) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("between vertex and point") << Cone_At(-4, 1) << 0.0 << 0.0 << 0.0 << 0.0;
    TFitValues shifted = Cone_At(0, 1);
    shifted.position = TVector3(0.003, -0.004, 0);
    QTest::newRow("shifted across") << shifted << 0.005 << 0.0 << 0.0 << 0.0;
    TFitValues tilted = Cone_At(0, -1);
    tilted.direction = TVector3(-std::sin(theta), 0, -std::cos(theta));
    QTest::newRow("tilted about the reference point, reversed")
        << tilted << 2 * std::sin(theta) << theta << 0.0 << 0.0;
    QTest::newRow("wider, stated at the reference point")
        << Cone_At(0, 1, wider) << 0.0 << 0.0 << 1e-4 << 0.0;
    // The same vertex, wider: at the reference point, |vertex| above it,
    // the tested cone is 2 |vertex| tan(wider / 2) across.
    TFitValues wider_from_vertex = Cone_At(vertex, -1);
    wider_from_vertex.apex_angle = wider;
    QTest::newRow("wider, stated from the same vertex, reversed")
        << wider_from_vertex << 0.0 << 0.0 << 1e-4 << -2 * vertex * std::tan(wider / 2) - 20;
    QTest::newRow("narrower") << Cone_At(0, 1, CONE_ANGLE - 2e-4) << 0.0 << 0.0 << -2e-4 << 0.0;
    // Its vertex 0.002 / slope lower than the reference's: 0.002 wider at
    // the reference point.
    TFitValues larger = Fit({0, 0, vertex - 0.002 / CONE_SLOPE}, {0, 0, 1}, 0);
    larger.apex_angle = CONE_ANGLE;
    QTest::newRow("larger, stated at its vertex") << larger << 0.0 << 0.0 << 0.0 << 0.002;
    QTest::newRow("smaller, stated above the points")
        << Cone_At(6, -1, CONE_ANGLE, 19.997) << 0.0 << 0.0 << 0.0 << -0.003;
}

void TestFeatureComparison::cone()
{
    QFETCH(TFitValues, tested);
    QFETCH(double, position);
    QFETCH(double, angle);
    QFETCH(double, apex_angle);
    QFETCH(double, size);
    const TFeatureGrade grade =
        Grade_Feature("CON_1", TFeatureType::CONE, Reference_Cone(), tested,
                      Round_Points([](double z) { return 10 + z * CONE_SLOPE / 2; }), LOOSE);
    Compare_Deviations(grade, {position, angle, size, apex_angle, NAN}, 1e-12);
    QCOMPARE(grade.verdict, TVerdict::PASS);
}

void TestFeatureComparison::torus_data()
{
    QTest::addColumn<TFitValues>("tested");
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("minor_size");
    const double theta = 2e-5;
    QTest::newRow("the same torus")
        << Torus({1, 2, 3}, {0, 0, 1}, 50, 10) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("centre off by a 3-4-5 step")
        << Torus({1, 2.003, 3.004}, {0, 0, 1}, 50, 10) << 0.005 << 0.0 << 0.0 << 0.0;
    QTest::newRow("tilted, reversed")
        << Torus({1, 2, 3}, {0, std::sin(theta), -std::cos(theta)}, 50, 10) << 0.0 << theta << 0.0
        << 0.0;
    QTest::newRow("larger") << Torus({1, 2, 3}, {0, 0, 1}, 50.002, 10) << 0.0 << 0.0 << 0.002
                            << 0.0;
    QTest::newRow("thinner tube") << Torus({1, 2, 3}, {0, 0, 1}, 50, 9.999) << 0.0 << 0.0 << 0.0
                                  << -0.001;
}

void TestFeatureComparison::torus()
{
    QFETCH(TFitValues, tested);
    QFETCH(double, position);
    QFETCH(double, angle);
    QFETCH(double, size);
    QFETCH(double, minor_size);
    const TFeatureGrade grade = Grade_Feature(
        "TOR_1", TFeatureType::TORUS, Torus({1, 2, 3}, {0, 0, 1}, 50, 10), tested, {}, LOOSE);
    Compare_Deviations(grade, {position, angle, size, NAN, minor_size}, 1e-13);
    QCOMPARE(grade.verdict, TVerdict::PASS);
}

void TestFeatureComparison::cone_uncertainty_from_the_lever_arms()
{
    // A right-angled cone (tan 45 degrees = 1, cos^2 = 1/2) stated from its
    // vertex, 10 below the reference point: the diameter there is 2 s.
    TFitValues reference = Fit({0, 0, 0}, {0, 0, 1}, 20);
    reference.apex_angle = M_PI / 2;
    TFitValues tested = Fit({0, 0, -10}, {0, 0, 1}, 0);
    tested.apex_angle = M_PI / 2;
    tested.position_resolution = 1e-5;
    tested.direction_resolution = 1e-6;
    tested.diameter_resolution = 5e-6;
    tested.apex_angle_resolution = 2e-6;
    const TFeatureGrade grade = Grade_Feature("CON_1", TFeatureType::CONE, reference, tested,
                                              Round_Points([](double z) { return 10 + z; }), LOOSE);
    const double root_3 = std::sqrt(3.0);
    // r_D + 2 (sqrt(3) r_xyz + sqrt(3) r_ijk |x_r - x_t|) + r_A |s| / cos^2(A / 2)
    const double expected = 5e-6 + 2 * (root_3 * 1e-5 + root_3 * 1e-6 * 10) + 2e-6 * 10 * 2;
    bool found = false;
    for (const TQuantityGrade &quantity : grade.quantities) {
        if (quantity.quantity == TQuantity::SIZE) {
            found = true;
            QVERIFY(std::fabs(quantity.deviation) < 1e-12);
            QVERIFY2(std::fabs(quantity.resolution - expected) < 1e-15,
                     qPrintable(QString::number(quantity.resolution, 'g', 17)));
        }
        if (quantity.quantity == TQuantity::APEX_ANGLE)
            QCOMPARE(quantity.resolution, 2e-6);
        // The tested axis turns about the vertex, 12 from the farthest
        // point's projection (the reference point is 2 from it).
        if (quantity.quantity == TQuantity::POSITION)
            QVERIFY(std::fabs(quantity.resolution - (root_3 * 1e-5 + root_3 * 1e-6 * 12)) < 1e-15);
    }
    QVERIFY(found);
}

void TestFeatureComparison::unusable_apex_angle_is_never_a_pass_data()
{
    QTest::addColumn<double>("apex_angle");
    QTest::addColumn<bool>("tested");
    QTest::newRow("tested 0") << 0.0 << true;
    QTest::newRow("tested 180 degrees") << M_PI << true;
    QTest::newRow("tested negative") << -CONE_ANGLE << true;
    QTest::newRow("tested beyond 180 degrees") << 4.0 << true;
    QTest::newRow("tested NaN") << double(NAN) << true;
    QTest::newRow("tested infinite") << double(INFINITY) << true;
    QTest::newRow("reference 0") << 0.0 << false;
}

void TestFeatureComparison::unusable_apex_angle_is_never_a_pass()
{
    QFETCH(double, apex_angle);
    QFETCH(bool, tested);
    TFitValues reference = Reference_Cone();
    TFitValues result = Cone_At(0, 1);
    (tested ? result : reference).apex_angle = apex_angle;
    const TFeatureGrade grade =
        Grade_Feature("CON_1", TFeatureType::CONE, reference, result,
                      Round_Points([](double z) { return 10 + z * CONE_SLOPE / 2; }), LOOSE);
    QCOMPARE(grade.verdict, TVerdict::UNFIT);
    QVERIFY(grade.quantities.empty());
    QVERIFY2(grade.note.contains(tested ? "tested apex angle" : "reference apex angle"),
             qPrintable(grade.note));
}

void TestFeatureComparison::reference_parts_attached_by_quantity_data()
{
    QTest::addColumn<TFeatureType>("type");
    for (const TFeatureType type : FEATURE_TYPES)
        QTest::newRow(Feature_Type_Name(type)) << type;
}

void TestFeatureComparison::reference_parts_attached_by_quantity()
{
    // Every quantity has its own value in both parts, for all five
    // quantities whether the type has them or not: a grade that took them
    // by place (in the order of the enumeration, or of the type's grades)
    // would give a sphere's size the angle's, a cone's apex angle the
    // size's.
    QFETCH(TFeatureType, type);
    const auto rounding_of = [](TQuantity quantity) { return (int(quantity) + 1) * 1e-9; };
    const auto definition_of = [](TQuantity quantity) { return (int(quantity) + 1) * 1e-8; };
    TReferenceUncertainty uncertainty;
    for (const TQuantity quantity : {TQuantity::MINOR_SIZE, TQuantity::APEX_ANGLE, TQuantity::SIZE,
                                     TQuantity::ANGLE, TQuantity::POSITION}) {
        uncertainty.rounding[quantity] = rounding_of(quantity);
        uncertainty.definition[quantity] = definition_of(quantity);
    }
    TFitValues values = Cone_At(0, 1);
    values.minor_diameter = 3;
    const TFeatureGrade grade =
        Grade_Feature("F", type, values, values, Grid(), LOOSE, uncertainty);
    QCOMPARE(grade.quantities.size(), Quantities_Of(type).size());
    for (const TQuantityGrade &quantity : grade.quantities) {
        QCOMPARE(quantity.reference_rounding, rounding_of(quantity.quantity));
        QCOMPARE(quantity.reference_definition, definition_of(quantity.quantity));
    }
}

void TestFeatureComparison::unknown_reference_part_is_inconclusive_data()
{
    QTest::addColumn<double>("shift");
    QTest::addColumn<bool>("in_definition");
    QTest::newRow("rounding unknown, no deviation") << 0.0 << false;
    QTest::newRow("rounding unknown, far beyond the MPE") << 0.5 << false;
    QTest::newRow("definition unknown, no deviation") << 0.0 << true;
    QTest::newRow("definition unknown, far beyond the MPE") << 0.5 << true;
}

void TestFeatureComparison::unknown_reference_part_is_inconclusive()
{
    QFETCH(double, shift);
    QFETCH(bool, in_definition);
    // Only the position's part is unknown: the angle and size are graded
    // as always.
    TReferenceUncertainty uncertainty;
    (in_definition ? uncertainty.definition : uncertainty.rounding)[TQuantity::POSITION] = NAN;
    const TFeatureGrade grade =
        Grade_Feature("CIR_1", TFeatureType::CIRCLE, Fit({0, 0, 0}, {0, 0, 1}, 20),
                      Fit({shift, 0, 0}, {0, 0, 1}, 20), {}, TMpe(), uncertainty);
    QCOMPARE(grade.quantities.size(), size_t(3));
    QCOMPARE(grade.quantities[0].quantity, TQuantity::POSITION);
    QCOMPARE(grade.quantities[0].verdict, TVerdict::INCONCLUSIVE);
    QVERIFY(!grade.quantities[0].Uncertainty_Known());
    QCOMPARE(grade.quantities[1].verdict, TVerdict::PASS);
    QCOMPARE(grade.quantities[2].verdict, TVerdict::PASS);
    QCOMPARE(grade.verdict, TVerdict::INCONCLUSIVE);
}

QTEST_GUILESS_MAIN(TestFeatureComparison)
#include "test_feature_comparison.moc"
