#include "core/vector_measures.h"
#include "fitting/least_squares_fit.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

using TPoints = std::vector<TVector3>;

Q_DECLARE_METATYPE(TPoints)

namespace {

const double Pi = std::acos(-1.0);
const double Degree = Pi / 180;

// As in test_fitting: the answers are exact in real arithmetic, so lengths
// are held to 1e-12 of the largest coordinate and directions to 1e-12 rad.
const double Relative = 1e-12;
const double Angle_Tolerance = 1e-12;

// A tilted frame 1000 mm from the origin: n the circle's axis, the points'
// angles counted from u towards v.
const TVector3 Origin(987.65432, -812.34567, 901.23456);
const TVector3 N = TVector3(0.3, -0.5, 0.8).Normal();
const TVector3 U = (N * TVector3(1, 0, 0)).Normal();
const TVector3 V = N * U;
const double Radius = 24.5;

TVector3 Radial(double angle)
{
    return U * std::cos(angle) + V * std::sin(angle);
}

// The point at the angle, off the circle by "radial" outwards and "axial" along n.
TVector3 Point(double angle, double radial, double axial)
{
    return Origin + Radial(angle) * (Radius + radial) + N * axial;
}

// Squared distance of a point from a circle in space.
double Squared_Distance(const TVector3 &p, const TFit &circle)
{
    const TVector3 offset = p - circle.position;
    const double height = offset ^ circle.direction;
    const double radial = Length(offset - circle.direction * height) - circle.diameter / 2;
    return radial * radial + height * height;
}

double Cost(const TPoints &points, const TFit &circle)
{
    double cost = 0;
    for (const TVector3 &p : points)
        cost += Squared_Distance(p, circle);
    return cost;
}

void Check_Design(const TFit &fit)
{
    QVERIFY2(fit.fitted, fit.failure.c_str());
    const double tolerance = Relative * 1000;
    QVERIFY2(Length(fit.position - Origin) <= tolerance,
             qPrintable(QString::number(Length(fit.position - Origin), 'g', 3)));
    QVERIFY2(std::abs(fit.diameter - 2 * Radius) <= tolerance,
             qPrintable(QString::number(fit.diameter - 2 * Radius, 'g', 3)));
    QVERIFY2(Angle_Up_To_Sign(fit.direction, N) <= Angle_Tolerance,
             qPrintable(QString::number(Angle_Up_To_Sign(fit.direction, N), 'g', 3)));
    // The library's sign: the component of largest magnitude is positive.
    QVERIFY(fit.direction.z > 0);
}

// Three angles +-angle[i] and weights w with sum w = sum w cos(angle) = 0:
// w is the cross product of (1, 1, 1) and (cos angle[i]), times the scale.
std::vector<double> Balanced(const double (&angle)[3], double scale)
{
    const double c[3] = {std::cos(angle[0]), std::cos(angle[1]), std::cos(angle[2])};
    return {scale * (c[2] - c[1]), scale * (c[0] - c[2]), scale * (c[1] - c[0])};
}

} // namespace

class TestCircleOrthogonal : public QObject
{
    Q_OBJECT

private slots:
    void both_definitions_agree_data();
    void both_definitions_agree();
    void definitions_part_where_points_are_off_both_ways();
    void three_points_on_a_short_arc();
    void failure_of_the_start_is_passed_on();
};

void TestCircleOrthogonal::both_definitions_agree_data()
{
    QTest::addColumn<TPoints>("points");

    TPoints arc;
    for (int k = 0; k < 7; ++k)
        arc.push_back(Point(-2.0 + k * 5 * Degree, 0, 0));
    QTest::newRow("30 degree arc, no deviations") << arc;
    QTest::newRow("three points") << TPoints{Point(0, 0, 0), Point(1.5, 0, 0), Point(4, 0, 0)};

    // Radial deviations a at +-10, 25, 40 degrees and axial ones b at +-5,
    // 20, 35 degrees, never both at one point: sum a = sum a cos = sum a sin
    // = 0 and the same for b make the circle stationary for both fits.
    const double radial_angles[3] = {10 * Degree, 25 * Degree, 40 * Degree};
    const double axial_angles[3] = {5 * Degree, 20 * Degree, 35 * Degree};
    const std::vector<double> a = Balanced(radial_angles, 0.4);
    const std::vector<double> b = Balanced(axial_angles, 0.6);
    TPoints radial_or_axial;
    for (int i = 0; i < 3; ++i)
        for (double side : {-1.0, 1.0}) {
            radial_or_axial.push_back(Point(side * radial_angles[i], a[i], 0));
            radial_or_axial.push_back(Point(side * axial_angles[i], 0, b[i]));
        }
    QTest::newRow("80 degree arc, radial or axial deviations") << radial_or_axial;

    // Both at every point, alternating in sign on 12 even angles: sum a b
    // times the radial direction is zero on a full turn as well.
    TPoints alternating;
    for (int k = 0; k < 12; ++k) {
        const double sign = k % 2 == 0 ? 1 : -1;
        alternating.push_back(Point(0.2 + k * 30 * Degree, 0.05 * sign, 0.02 * sign));
    }
    QTest::newRow("full circle, radial and axial scatter") << alternating;

    TPoints many;
    for (int k = 0; k < 1000; ++k)
        many.push_back(Point(0.1 + k * 2 * Pi / 1000, 0, 0));
    QTest::newRow("1000 points of a full circle, no deviations") << many;
}

void TestCircleOrthogonal::both_definitions_agree()
{
    QFETCH(TPoints, points);
    const TFit orthogonal = Fit_Circle_Orthogonal(points);
    Check_Design(orthogonal);
    Check_Design(Fit_Circle(points));
    QVERIFY(orthogonal.iterations <= 100);
}

// Points off the circle both ways, with sum a = sum a rho = sum b = sum b
// rho = 0 but sum a b rho = g != 0: the full three-dimensional fit is still
// the circle they were built from, while NIST's least-squares plane tilts its
// normal by about -g / S (S the spread of the points along g) towards -g.
void TestCircleOrthogonal::definitions_part_where_points_are_off_both_ways()
{
    const double angles[3] = {10 * Degree, 25 * Degree, 40 * Degree};
    const std::vector<double> a = Balanced(angles, 0.5);
    // Antisymmetric b, with sum b sin = 0.
    const double beta[3] = {0.04 * std::sin(angles[1]), -0.04 * std::sin(angles[0]), 0};
    TPoints points;
    double g = 0; // along v
    for (int i = 0; i < 3; ++i)
        for (double side : {-1.0, 1.0}) {
            points.push_back(Point(side * angles[i], a[i], side * beta[i]));
            g += a[i] * side * beta[i] * side * std::sin(angles[i]);
        }
    QVERIFY(std::abs(g) > 1e-4);
    double spread = 0;
    for (const TVector3 &p : points)
        spread += ((p - Origin) ^ V) * ((p - Origin) ^ V);

    const TFit orthogonal = Fit_Circle_Orthogonal(points);
    Check_Design(orthogonal);

    const TFit nist = Fit_Circle(points);
    QVERIFY(nist.fitted);
    const TVector3 normal = (nist.direction ^ N) > 0 ? nist.direction : nist.direction * -1.0;
    const double tilt = normal ^ V;
    const double expected = -g / spread;
    QVERIFY2(std::abs(tilt - expected) <= 0.02 * std::abs(expected),
             qPrintable(QString("tilt %1, expected %2").arg(tilt).arg(expected)));
    QVERIFY(Cost(points, orthogonal) < Cost(points, nist));
}

// Three points span 10 degrees of a circle of 50 mm, written to 5 decimals:
// so ill-conditioned that rounding alone makes steps of 1e-12 mm, which must
// not keep the iteration going. The answer is their circumcircle, in y = 0.
void TestCircleOrthogonal::three_points_on_a_short_arc()
{
    const TPoints points = {TVector3(21.30030, 0, 13.08806), TVector3(19.86933, 0, 15.17267),
                            TVector3(18.70398, 0, 16.58798)};
    // The circumcentre of a, b, c in the plane, in long double.
    const long double ax = 21.30030L, az = 13.08806L;
    const long double bx = 19.86933L - ax, bz = 15.17267L - az;
    const long double cx = 18.70398L - ax, cz = 16.58798L - az;
    const long double d = 2 * (bx * cz - bz * cx);
    const long double ux = (cz * (bx * bx + bz * bz) - bz * (cx * cx + cz * cz)) / d;
    const long double uz = (bx * (cx * cx + cz * cz) - cx * (bx * bx + bz * bz)) / d;
    const TVector3 centre(static_cast<double>(ax + ux), 0, static_cast<double>(az + uz));
    const double diameter = static_cast<double>(2 * std::sqrt(ux * ux + uz * uz));

    const TFit fit = Fit_Circle_Orthogonal(points);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QVERIFY2(Length(fit.position - centre) <= 1e-9,
             qPrintable(QString::number(Length(fit.position - centre))));
    QVERIFY(std::abs(fit.diameter - diameter) <= 1e-9);
    QVERIFY(Angle_Up_To_Sign(fit.direction, TVector3(0, 1, 0)) <= 1e-12);
}

// The fit starts from NIST's circle; where that fails (Fit_Circle's cases,
// tested in test_fitting), so does this one, with its reason.
void TestCircleOrthogonal::failure_of_the_start_is_passed_on()
{
    const TFit fit = Fit_Circle_Orthogonal({Origin, Origin + U, Origin + U * 2.5, Origin + U * 4});
    QVERIFY(!fit.fitted);
    QCOMPARE(QString::fromStdString(fit.failure), QString("collinear points"));
}

QTEST_GUILESS_MAIN(TestCircleOrthogonal)

#include "test_circle_orthogonal.moc"
