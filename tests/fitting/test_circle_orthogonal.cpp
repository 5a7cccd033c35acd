#include "core/vector_measures.h"
#include "fitting/least_squares_fit.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
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
    void noisy_short_arcs_data();
    void noisy_short_arcs();
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

void TestCircleOrthogonal::noisy_short_arcs_data()
{
    QTest::addColumn<double>("arc");  // degrees
    QTest::addColumn<double>("form"); // mm, each point off by up to half of it both ways
    for (double arc : {5.0, 10.0, 20.0}) {
        for (double form : {0.010, 0.050, 0.200}) {
            QTest::addRow("%g degrees, %g mm", arc, form) << arc << form;
        }
    }
}

// 12 points on an arc of a circle of 25 mm, each off it radially and axially,
// written to 5 decimals, placed and turned at random (a fixed seed). Every
// set must fit, and the fit must be a minimum: the derivatives of the sum of
// squares by the centre, the radius and a turn about the centre, taken in
// long double, vanish to the rounding of the fitted numbers.
void TestCircleOrthogonal::noisy_short_arcs()
{
    QFETCH(double, arc);
    QFETCH(double, form);
    std::mt19937_64 random(static_cast<unsigned long>(arc * 1000 + form * 1e6));
    std::uniform_real_distribution<double> unit(-1, 1);
    std::normal_distribution<double> normal;
    using TLong = long double;
    using TLong3 = std::array<TLong, 3>;
    for (int set = 0; set < 100; ++set) {
        const TVector3 centre(1000 * unit(random), 1000 * unit(random), 1000 * unit(random));
        const TVector3 n = TVector3(normal(random), normal(random), normal(random)).Normal();
        const TVector3 u = (n * TVector3(normal(random), normal(random), normal(random))).Normal();
        const TVector3 v = n * u;
        const double first = Pi * unit(random);
        TPoints points;
        for (int i = 0; i < 12; ++i) {
            const double angle = first + arc * Degree * i / 11;
            const double r = 25 + form / 2 * unit(random);
            const TVector3 p = centre + u * (r * std::cos(angle)) + v * (r * std::sin(angle)) +
                               n * (form / 2 * unit(random));
            points.emplace_back(std::round(p.x * 1e5) / 1e5, std::round(p.y * 1e5) / 1e5,
                                std::round(p.z * 1e5) / 1e5);
        }
        const TFit fit = Fit_Circle_Orthogonal(points);
        QVERIFY2(fit.fitted, qPrintable(QString("set %1: %2").arg(set).arg(fit.failure.c_str())));

        // Each point pulls on the circle with e u + h n (e its radial, h its
        // axial residual, u the unit vector out from the axis): the sums of
        // these, of e, and of their moments about the centre are zero at a
        // minimum.
        const TLong3 c = {fit.position.x, fit.position.y, fit.position.z};
        const TLong3 axis = {fit.direction.x, fit.direction.y, fit.direction.z};
        const TLong radius = fit.diameter / 2;
        TLong3 force = {0, 0, 0}, moment = {0, 0, 0};
        TLong size = 0;
        for (const TVector3 &p : points) {
            const TLong3 w = {p.x - c[0], p.y - c[1], p.z - c[2]};
            const TLong h = w[0] * axis[0] + w[1] * axis[1] + w[2] * axis[2];
            const TLong3 out = {w[0] - h * axis[0], w[1] - h * axis[1], w[2] - h * axis[2]};
            const TLong rho = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
            const TLong e = rho - radius;
            const TLong3 pull = {e * out[0] / rho + h * axis[0], e * out[1] / rho + h * axis[1],
                                 e * out[2] / rho + h * axis[2]};
            size += e;
            for (int k = 0; k < 3; ++k)
                force[k] += pull[k];
            moment[0] += w[1] * pull[2] - w[2] * pull[1];
            moment[1] += w[2] * pull[0] - w[0] * pull[2];
            moment[2] += w[0] * pull[1] - w[1] * pull[0];
        }
        // The fitted numbers are rounded to about 1e-16 of 1000 mm; where
        // the points barely fix the circle, that moves the sums by far more
        // than their own rounding.
        const double tolerance = 1e-9;
        const auto large = [&](const TLong3 &a, double scale) {
            return std::sqrt(double(a[0] * a[0] + a[1] * a[1] + a[2] * a[2])) > tolerance * scale;
        };
        const QString figures =
            QString("set %1: force %2, size %3, moment %4, radius %5")
                .arg(set)
                .arg(std::sqrt(
                    double(force[0] * force[0] + force[1] * force[1] + force[2] * force[2])))
                .arg(double(size))
                .arg(std::sqrt(
                    double(moment[0] * moment[0] + moment[1] * moment[1] + moment[2] * moment[2])))
                .arg(double(radius));
        QVERIFY2(!large(force, 1), qPrintable(figures));
        QVERIFY2(std::abs(double(size)) <= tolerance, qPrintable(figures));
        QVERIFY2(!large(moment, double(radius)), qPrintable(figures));
    }
}

QTEST_GUILESS_MAIN(TestCircleOrthogonal)

#include "test_circle_orthogonal.moc"
