#include "core/vector_measures.h"
#include "fitting/least_squares_fit.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

using TPoints = std::vector<TVector3>;

Q_DECLARE_METATYPE(TVector3)
Q_DECLARE_METATYPE(TPoints)

namespace {

const double Pi = std::acos(-1.0);
const double Degree = Pi / 180;

// Every expected answer below is exact in real arithmetic; what remains is the
// rounding of the generated coordinates (about 1e-13 mm at 1000 mm) and of
// the fit. Lengths are held to 1e-12 of the largest coordinate (1e-12 mm
// near the origin, 1e-9 mm at 1000 mm, still far below the 1e-5 mm of
// measured data), directions to 1e-12 rad.
const double Relative = 1e-12;
const double Angle_Tolerance = 1e-12;

double Distance(const TVector3 &a, const TVector3 &b)
{
    return Length(a - b);
}

double Largest_Coordinate(const TPoints &points)
{
    double largest = 1;
    for (const TVector3 &p : points) {
        largest = std::max({largest, std::abs(p.x), std::abs(p.y), std::abs(p.z)});
    }
    return largest;
}

// An orthonormal frame: n tilted from z by "tilt" towards the azimuth, u and
// v turned about n by "spin".
struct TFrame
{
    TVector3 origin;
    TVector3 u;
    TVector3 v;
    TVector3 n;

    TVector3 At(double a, double b, double c = 0) const { return origin + u * a + v * b + n * c; }
};

TFrame Tilted_Frame(const TVector3 &origin, double tilt, double azimuth, double spin)
{
    const TVector3 n(std::sin(tilt) * std::cos(azimuth), std::sin(tilt) * std::sin(azimuth),
                     std::cos(tilt));
    const TVector3 u0(std::cos(tilt) * std::cos(azimuth), std::cos(tilt) * std::sin(azimuth),
                      -std::sin(tilt));
    const TVector3 v0 = n * u0;
    const TVector3 u = u0 * std::cos(spin) + v0 * std::sin(spin);
    return TFrame{origin, u, n * u, n};
}

const TVector3 Far(987.65432, -812.34567, 901.23456);

const TFrame Tilted_Far = Tilted_Frame(Far, 35 * Degree, 120 * Degree, 20 * Degree);

// Points at the angles [first, first + span) or, for a full turn, spread evenly.
TPoints Circle_Points(const TFrame &frame, double radius, int count, double first, double span)
{
    TPoints points;
    const bool full = span >= 2 * Pi;
    for (int i = 0; i < count; ++i) {
        const double angle = first + span * i / (full ? count : count - 1);
        points.push_back(frame.At(radius * std::cos(angle), radius * std::sin(angle)));
    }
    return points;
}

// Points on a sphere about the frame's origin at the given polar angles from
// its n axis, "around" of them evenly on each ring, a pole point optional.
TPoints Sphere_Points(const TFrame &frame, double radius, const std::vector<double> &polar,
                      int around, bool pole)
{
    TPoints points;
    if (pole) {
        points.push_back(frame.At(0, 0, radius));
    }
    for (size_t ring = 0; ring < polar.size(); ++ring) {
        for (int i = 0; i < around; ++i) {
            // Rings turned against each other, so that no two share a meridian.
            const double azimuth = 2 * Pi * (i + 0.5 * ring) / around;
            const double s = std::sin(polar[ring]);
            points.push_back(frame.At(radius * s * std::cos(azimuth),
                                      radius * s * std::sin(azimuth),
                                      radius * std::cos(polar[ring])));
        }
    }
    return points;
}

// Nearly even points on a whole sphere (a golden-angle spiral).
TPoints Spiral_Sphere(const TFrame &frame, double radius, int count)
{
    TPoints points;
    const double golden = Pi * (3 - std::sqrt(5.0));
    for (int i = 0; i < count; ++i) {
        const double c = 1 - (2 * i + 1.0) / count;
        const double s = std::sqrt(1 - c * c);
        const double azimuth = golden * i;
        points.push_back(
            frame.At(radius * s * std::cos(azimuth), radius * s * std::sin(azimuth), radius * c));
    }
    return points;
}

void Check_Unit_And_Sign(const TVector3 &direction)
{
    QVERIFY2(std::abs(Length(direction) - 1) <= 4 * std::numeric_limits<double>::epsilon(),
             qPrintable(QString::number(Length(direction) - 1, 'g', 17)));
    const double largest =
        std::max({std::abs(direction.x), std::abs(direction.y), std::abs(direction.z)});
    const double first_largest = std::abs(direction.x) == largest   ? direction.x
                                 : std::abs(direction.y) == largest ? direction.y
                                                                    : direction.z;
    QVERIFY2(first_largest > 0, "the component of largest magnitude is not positive");
}

void Check_Fit(const TFit &fit, const TPoints &points, const TVector3 &position,
               const TVector3 &direction, double diameter)
{
    QVERIFY2(fit.fitted, qPrintable(QString::fromStdString(fit.failure)));
    QVERIFY(fit.failure.empty());
    const double length_tolerance = Relative * Largest_Coordinate(points);
    const double position_error = Distance(fit.position, position);
    QVERIFY2(position_error <= length_tolerance,
             qPrintable(QString("position off by %1 mm").arg(position_error, 0, 'g', 3)));
    const double diameter_error = std::abs(fit.diameter - diameter);
    QVERIFY2(diameter_error <= length_tolerance,
             qPrintable(QString("diameter off by %1 mm").arg(diameter_error, 0, 'g', 3)));
    if (Length(direction) == 0) {
        QCOMPARE(Length(fit.direction), 0.0);
        return;
    }
    Check_Unit_And_Sign(fit.direction);
    const double angle = Angle_Up_To_Sign(fit.direction, direction);
    QVERIFY2(angle <= Angle_Tolerance,
             qPrintable(QString("direction off by %1 rad").arg(angle, 0, 'g', 3)));
}

void Add_Columns()
{
    QTest::addColumn<TPoints>("points");
    QTest::addColumn<TVector3>("position");
    QTest::addColumn<TVector3>("direction");
    QTest::addColumn<double>("diameter");
}

void Add_Failure_Columns()
{
    QTest::addColumn<TPoints>("points");
    QTest::addColumn<QString>("failure");
}

void Check_Failure(const TFit &fit, const QString &failure)
{
    QVERIFY(!fit.fitted);
    QCOMPARE(QString::fromStdString(fit.failure), failure);
}

const double Nan = std::numeric_limits<double>::quiet_NaN();
const double Infinity = std::numeric_limits<double>::infinity();

} // namespace

class TestFitting : public QObject
{
    Q_OBJECT

private slots:
    void plane_data();
    void plane();
    void plane_failure_data();
    void plane_failure();
    void line_data();
    void line();
    void line_failure_data();
    void line_failure();
    void circle_data();
    void circle();
    void circle_failure_data();
    void circle_failure();
    void sphere_data();
    void sphere();
    void sphere_failure_data();
    void sphere_failure();
    void sphere_through_four_points_on_a_small_cap();
    void circle_on_a_short_arc_written_to_6_decimals();
    void direction_sign_is_fixed();
};

void TestFitting::plane_data()
{
    Add_Columns();

    TPoints grid;
    for (int i = -5; i <= 5; ++i) {
        for (int j = -4; j <= 4; ++j) {
            grid.push_back(Tilted_Far.At(7.5 * i, 5.25 * j));
        }
    }
    QTest::newRow("tilted grid 1000 mm away") << grid << Far << Tilted_Far.n << 0.0;

    // Pairs at +d and -d about the plane, d varying: the cross terms cancel
    // pair by pair, so the middle plane is the least-squares one exactly.
    TPoints pairs;
    const double in_plane[][3] = {{-20, -12, 0.3}, {15, -9, 0.05}, {-4, 18, 0.2},    {23, 14, 0.01},
                                  {0, -3, 0.12},   {-17, 6, 0.4},  {9.5, 2.25, 0.08}};
    TVector3 sum;
    for (const auto &p : in_plane) {
        pairs.push_back(Tilted_Far.At(p[0], p[1], p[2]));
        pairs.push_back(Tilted_Far.At(p[0], p[1], -p[2]));
        sum = sum + Tilted_Far.At(p[0], p[1]);
    }
    QTest::newRow("symmetric scatter about a plane") << pairs << sum / 7.0 << Tilted_Far.n << 0.0;

    TPoints horizontal;
    for (double x : {-2.0, -1.0, 0.5, 3.0}) {
        for (double y : {-1.5, 1.5}) {
            horizontal.push_back(TVector3(x, y, 0));
        }
    }
    QTest::newRow("plane z = 0") << horizontal << TVector3(0.125, 0, 0) << TVector3(0, 0, 1) << 0.0;

    // 400 mm long, 0.2 mm wide, 0.001 mm flat: the eigenvectors of the 3 x 3
    // covariance, which squares the condition number, are off by about 3e-11
    // rad here.
    const TFrame strip_frame = Tilted_Frame(TVector3(150, 80, -60), 10 * Degree, 40 * Degree, 0);
    TPoints strip;
    for (int i = -20; i <= 20; ++i) {
        for (int side : {-1, 1}) {
            strip.push_back(strip_frame.At(10.0 * i, 0.1 * side, 0.001 * ((i % 3) - 1)));
            strip.push_back(strip_frame.At(10.0 * i, 0.1 * side, -0.001 * ((i % 3) - 1)));
        }
    }
    QTest::newRow("long thin strip") << strip << strip_frame.origin << strip_frame.n << 0.0;

    TPoints three = {Tilted_Far.At(-6, -3), Tilted_Far.At(6, -3), Tilted_Far.At(0, 6)};
    QTest::newRow("three points") << three << Far << Tilted_Far.n << 0.0;

    TPoints many;
    for (int i = 0; i < 1000; ++i) {
        const double a = 40 * std::cos(0.37 * i) * (1 + i % 7);
        const double b = 25 * std::sin(0.61 * i) * (1 + i % 5);
        many.push_back(Tilted_Far.At(a, b, 0.002 * (i % 2 == 0 ? 1 : -1)));
        many.push_back(Tilted_Far.At(a, b, -0.002 * (i % 2 == 0 ? 1 : -1)));
    }
    TVector3 many_sum;
    for (const TVector3 &p : many) {
        many_sum = many_sum + (p - Far);
    }
    QTest::newRow("2000 points 1000 mm away")
        << many << Far + many_sum / 2000.0 << Tilted_Far.n << 0.0;
}

void TestFitting::plane()
{
    QFETCH(TPoints, points);
    QFETCH(TVector3, position);
    QFETCH(TVector3, direction);
    QFETCH(double, diameter);
    const TFit fit = Fit_Plane(points);
    Check_Fit(fit, points, position, direction, diameter);
    QCOMPARE(fit.iterations, 0);
}

void TestFitting::plane_failure_data()
{
    Add_Failure_Columns();
    QTest::newRow("none") << TPoints() << "too few points: a plane needs at least 3";
    QTest::newRow("two") << TPoints{Far, Far + TVector3(1, 2, 3)}
                         << "too few points: a plane needs at least 3";
    QTest::newRow("coincident") << TPoints(5, Far) << "coincident points";
    QTest::newRow("coincident at the origin") << TPoints(4, TVector3()) << "coincident points";
    TPoints collinear;
    for (int i = -3; i <= 4; ++i) {
        collinear.push_back(Tilted_Far.At(12.5 * i, 0, 0));
    }
    QTest::newRow("collinear 1000 mm away") << collinear << "collinear points";
    QTest::newRow("nan") << TPoints{Far, TVector3(1, Nan, 0), TVector3(0, 0, 1)}
                         << "non-finite coordinates";
    QTest::newRow("infinity") << TPoints{Far, TVector3(1, 0, 0), TVector3(0, -Infinity, 1)}
                              << "non-finite coordinates";
    QTest::newRow("too large") << TPoints{TVector3(1e308, 0, 0), TVector3(1e308, 1, 0),
                                          TVector3(1e308, 0, 1)}
                               << "coordinates too large";
}

void TestFitting::plane_failure()
{
    QFETCH(TPoints, points);
    QFETCH(QString, failure);
    Check_Failure(Fit_Plane(points), failure);
}

void TestFitting::line_data()
{
    Add_Columns();
    const TVector3 direction = Tilted_Far.u;

    TPoints exact;
    for (int i = -6; i <= 6; ++i) {
        exact.push_back(Far + direction * (8.75 * i));
    }
    QTest::newRow("exact line 1000 mm away") << exact << Far << direction << 0.0;

    // Pairs at +e w and -e w across the line, w turning about it.
    TPoints scatter;
    for (int i = -6; i <= 6; ++i) {
        const double turn = 0.9 * i;
        const TVector3 w = Tilted_Far.v * std::cos(turn) + Tilted_Far.n * std::sin(turn);
        const double e = 0.01 * (1 + std::abs(i) % 4);
        scatter.push_back(Far + direction * (8.75 * i) + w * e);
        scatter.push_back(Far + direction * (8.75 * i) - w * e);
    }
    QTest::newRow("symmetric scatter about a line") << scatter << Far << direction << 0.0;

    QTest::newRow("two points") << TPoints{TVector3(1, 2, 3), TVector3(1, 2, 7)}
                                << TVector3(1, 2, 5) << TVector3(0, 0, 1) << 0.0;

    TPoints many;
    for (int i = 0; i < 1000; ++i) {
        const double t = 0.25 * i - 125;
        const double e = 0.003 * (1 + i % 3);
        const TVector3 w = i % 4 < 2 ? Tilted_Far.v : Tilted_Far.n;
        many.push_back(Far + direction * t + w * e);
        many.push_back(Far + direction * t - w * e);
    }
    QTest::newRow("2000 points 1000 mm away")
        << many << Far + direction * -0.125 << direction << 0.0;
}

void TestFitting::line()
{
    QFETCH(TPoints, points);
    QFETCH(TVector3, position);
    QFETCH(TVector3, direction);
    QFETCH(double, diameter);
    const TFit fit = Fit_Line(points);
    Check_Fit(fit, points, position, direction, diameter);
}

void TestFitting::line_failure_data()
{
    Add_Failure_Columns();
    QTest::newRow("none") << TPoints() << "too few points: a line needs at least 2";
    QTest::newRow("one") << TPoints{Far} << "too few points: a line needs at least 2";
    QTest::newRow("coincident") << TPoints(3, Far) << "coincident points";
    QTest::newRow("nan") << TPoints{Far, TVector3(Nan, 0, 0)} << "non-finite coordinates";
}

void TestFitting::line_failure()
{
    QFETCH(TPoints, points);
    QFETCH(QString, failure);
    Check_Failure(Fit_Line(points), failure);
}

void TestFitting::circle_data()
{
    Add_Columns();
    const double radius = 24.5;

    QTest::newRow("full circle") << Circle_Points(Tilted_Far, radius, 12, 0.3, 2 * Pi) << Far
                                 << Tilted_Far.n << 2 * radius;
    QTest::newRow("90 degree arc of 5 points")
        << Circle_Points(Tilted_Far, radius, 5, 1.1, 90 * Degree) << Far << Tilted_Far.n
        << 2 * radius;
    QTest::newRow("30 degree arc of 7 points")
        << Circle_Points(Tilted_Far, radius, 7, -2.0, 30 * Degree) << Far << Tilted_Far.n
        << 2 * radius;
    QTest::newRow("three points") << TPoints{Tilted_Far.At(radius, 0), Tilted_Far.At(0, radius),
                                             Tilted_Far.At(-radius * 0.6, -radius * 0.8)}
                                  << Far << Tilted_Far.n << 2 * radius;

    // Radii alternating r + e and r - e, and heights +h and -h, at 12 even
    // angles: sum (-1)^k = 0 and sum (-1)^k (cos, sin)(30 k degrees) = 0 make
    // the middle plane and the circle of radius r about the centre stationary.
    TPoints scatter;
    for (int k = 0; k < 12; ++k) {
        const double angle = 0.2 + k * 30 * Degree;
        const double sign = k % 2 == 0 ? 1 : -1;
        const double r = radius + 0.05 * sign;
        scatter.push_back(Tilted_Far.At(r * std::cos(angle), r * std::sin(angle), 0.02 * sign));
    }
    QTest::newRow("symmetric radial scatter") << scatter << Far << Tilted_Far.n << 2 * radius;

    const TFrame small = Tilted_Frame(TVector3(0.5, -0.25, 0.125), 80 * Degree, -30 * Degree, 0);
    QTest::newRow("small circle near the origin")
        << Circle_Points(small, 0.75, 8, 0, 2 * Pi) << small.origin << small.n << 1.5;

    QTest::newRow("1000 points 1000 mm away")
        << Circle_Points(Tilted_Far, 180.0, 1000, 0.1, 2 * Pi) << Far << Tilted_Far.n << 360.0;
}

void TestFitting::circle()
{
    QFETCH(TPoints, points);
    QFETCH(TVector3, position);
    QFETCH(TVector3, direction);
    QFETCH(double, diameter);
    const TFit fit = Fit_Circle(points);
    Check_Fit(fit, points, position, direction, diameter);
    QVERIFY2(fit.iterations >= 0 && fit.iterations <= 100,
             qPrintable(QString::number(fit.iterations)));
}

void TestFitting::circle_failure_data()
{
    Add_Failure_Columns();
    QTest::newRow("two") << TPoints{Far, Far + TVector3(1, 0, 0)}
                         << "too few points: a circle needs at least 3";
    QTest::newRow("coincident") << TPoints(6, Far) << "coincident points";
    TPoints collinear;
    for (int i = 0; i < 6; ++i) {
        collinear.push_back(Tilted_Far.At(3.0 * i, -1.5 * i));
    }
    QTest::newRow("collinear") << collinear << "collinear points";
    QTest::newRow("nan") << TPoints{Far, TVector3(1, 0, 0), TVector3(0, 0, Nan)}
                         << "non-finite coordinates";
}

void TestFitting::circle_failure()
{
    QFETCH(TPoints, points);
    QFETCH(QString, failure);
    Check_Failure(Fit_Circle(points), failure);
}

void TestFitting::sphere_data()
{
    Add_Columns();
    const double radius = 37.5;
    const TVector3 none;

    QTest::newRow("full sphere") << Sphere_Points(Tilted_Far, radius,
                                                  {45 * Degree, 90 * Degree, 135 * Degree}, 6, true)
                                 << Far << none << 2 * radius;
    QTest::newRow("hemisphere") << Sphere_Points(Tilted_Far, radius,
                                                 {30 * Degree, 60 * Degree, 90 * Degree}, 5, true)
                                << Far << none << 2 * radius;
    QTest::newRow("cap of 15 degrees")
        << Sphere_Points(Tilted_Far, radius, {7.5 * Degree, 15 * Degree}, 6, true) << Far << none
        << 2 * radius;
    QTest::newRow("cap of 15 degrees, 5 points")
        << Sphere_Points(Tilted_Far, radius, {15 * Degree}, 4, true) << Far << none << 2 * radius;
    QTest::newRow("four points") << TPoints{Tilted_Far.At(radius, 0, 0),
                                            Tilted_Far.At(0, radius, 0),
                                            Tilted_Far.At(0, 0, radius),
                                            Tilted_Far.At(-radius * 0.6, 0, -radius * 0.8)}
                                 << Far << none << 2 * radius;

    // The 8 corners of a cube, radii r + e and r - e by the parity of the
    // corner: sum s = 0 and sum s u = 0 make the sphere of radius r stationary.
    TPoints corners;
    for (int corner = 0; corner < 8; ++corner) {
        const double sx = corner & 1 ? 1 : -1;
        const double sy = corner & 2 ? 1 : -1;
        const double sz = corner & 4 ? 1 : -1;
        const double r = radius + 0.04 * sx * sy * sz;
        const double c = r / std::sqrt(3.0);
        corners.push_back(Tilted_Far.At(c * sx, c * sy, c * sz));
    }
    QTest::newRow("symmetric radial scatter") << corners << Far << none << 2 * radius;

    QTest::newRow("1000 points 1000 mm away")
        << Spiral_Sphere(Tilted_Far, 150.0, 1000) << Far << none << 300.0;
}

void TestFitting::sphere()
{
    QFETCH(TPoints, points);
    QFETCH(TVector3, position);
    QFETCH(TVector3, direction);
    QFETCH(double, diameter);
    const TFit fit = Fit_Sphere(points);
    Check_Fit(fit, points, position, direction, diameter);
    QVERIFY2(fit.iterations >= 0 && fit.iterations <= 100,
             qPrintable(QString::number(fit.iterations)));
}

void TestFitting::sphere_failure_data()
{
    Add_Failure_Columns();
    QTest::newRow("three") << TPoints{Far, Far + TVector3(1, 0, 0), Far + TVector3(0, 1, 0)}
                           << "too few points: a sphere needs at least 4";
    QTest::newRow("coincident") << TPoints(4, Far) << "coincident points";
    TPoints collinear;
    for (int i = 0; i < 5; ++i) {
        collinear.push_back(Tilted_Far.At(0, 0, 2.5 * i));
    }
    QTest::newRow("collinear") << collinear << "collinear points";
    QTest::newRow("points of a circle")
        << Circle_Points(Tilted_Far, 20, 9, 0, 2 * Pi) << "coplanar points";
    QTest::newRow("infinity") << TPoints{Far, TVector3(1, 0, 0), TVector3(0, 1, 0),
                                         TVector3(Infinity, 0, 1)}
                              << "non-finite coordinates";
}

void TestFitting::sphere_failure()
{
    QFETCH(TPoints, points);
    QFETCH(QString, failure);
    Check_Failure(Fit_Sphere(points), failure);
}

// Four points written to 5 decimals on a cap of 20 degrees of a sphere of
// 100 mm, 1000 mm from the origin: so ill-conditioned that rounding alone
// makes steps of 3e-13 mm, which must not keep the iteration going. The
// answer is their circumsphere: with q = p - p0, 2 q_i.c = |q_i|^2 for the
// other three, solved by Cramer's rule in long double.
void TestFitting::sphere_through_four_points_on_a_small_cap()
{
    const TPoints points = {
        TVector3(295.96609, 922.12219, 147.90321), TVector3(296.77314, 938.46459, 144.47473),
        TVector3(297.72683, 918.31691, 132.09354), TVector3(298.51717, 925.53839, 160.67266)};
    const long double p0[3] = {295.96609L, 922.12219L, 147.90321L};
    const long double p[3][3] = {{296.77314L, 938.46459L, 144.47473L},
                                 {297.72683L, 918.31691L, 132.09354L},
                                 {298.51717L, 925.53839L, 160.67266L}};
    long double a[3][3];
    long double b[3];
    for (int i = 0; i < 3; ++i) {
        b[i] = 0;
        for (int j = 0; j < 3; ++j) {
            a[i][j] = 2 * (p[i][j] - p0[j]);
            b[i] += (p[i][j] - p0[j]) * (p[i][j] - p0[j]);
        }
    }
    const auto determinant = [](const long double(&m)[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const long double whole = determinant(a);
    long double centre[3];
    for (int k = 0; k < 3; ++k) {
        long double replaced[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                replaced[i][j] = j == k ? b[i] : a[i][j];
        centre[k] = determinant(replaced) / whole;
    }
    const TVector3 expected(static_cast<double>(p0[0] + centre[0]),
                            static_cast<double>(p0[1] + centre[1]),
                            static_cast<double>(p0[2] + centre[2]));
    const double diameter = static_cast<double>(
        2 * std::sqrt(centre[0] * centre[0] + centre[1] * centre[1] + centre[2] * centre[2]));

    const TFit fit = Fit_Sphere(points);
    Check_Fit(fit, points, expected, TVector3(), diameter);
}

// 25 points of a 10 degree arc of a circle of 50 mm, written to 6 decimals:
// rounding alone makes steps of 6e-14 mm that go back and forth between two
// circles, which must end the iteration. The fit is where the definition's
// first-order conditions hold, taken here in long double: the normal is an
// eigenvector of the points' spread about their centroid, the centre lies
// in that plane, and the distances e from the circle in it have sum e = 0
// and sum e u = 0, u the unit vectors from the centre.
void TestFitting::circle_on_a_short_arc_written_to_6_decimals()
{
    const long long micrometres[][3] = {
        {-1901462, 24720983, 7704007}, {-1685737, 24694332, 7744072}, {-1565230, 24678793, 7765904},
        {-1374620, 24653262, 7799637}, {-1186863, 24626973, 7831905}, {-978735, 24596509, 7866560},
        {-844187, 24576074, 7888341},  {-663824, 24547770, 7916771},  {-462021, 24514861, 7947538},
        {-289702, 24485724, 7972937},  {-95592, 24451758, 8000586},   {72326, 24421396, 8023680},
        {208259, 24396152, 8041814},   {385389, 24362362, 8064692},   {542184, 24331606, 8084232},
        {734054, 24292887, 8107232},   {917275, 24254799, 8128258},   {1081633, 24219705, 8146339},
        {1287155, 24174585, 8167907},  {1456611, 24136346, 8184819},  {1689067, 24082365, 8206733},
        {1856567, 24042369, 8221600},  {1972837, 24014063, 8231463},  {2153709, 23969146, 8246061},
        {2345817, 23920254, 8260570}};
    TPoints points;
    for (const auto &p : micrometres)
        points.emplace_back(p[0] / 1e6, p[1] / 1e6, p[2] / 1e6);
    const TFit fit = Fit_Circle(points);
    QVERIFY2(fit.fitted, fit.failure.c_str());

    using TLong = long double;
    using TLong3 = std::array<TLong, 3>;
    const auto dot = [](const TLong3 &a, const TLong3 &b) {
        return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    };
    const TLong3 n = {fit.direction.x, fit.direction.y, fit.direction.z};
    const TLong3 c = {fit.position.x, fit.position.y, fit.position.z};
    const TLong r = fit.diameter / 2;
    TLong3 mean = {0, 0, 0};
    for (const TVector3 &p : points)
        mean = {mean[0] + p.x, mean[1] + p.y, mean[2] + p.z};
    for (TLong &m : mean)
        m /= TLong(points.size());
    TLong3 spread = {0, 0, 0}, size = {0, 0, 0};
    TLong sum_e = 0;
    for (const TVector3 &p : points) {
        const TLong3 q = {p.x - mean[0], p.y - mean[1], p.z - mean[2]};
        const TLong3 w = {p.x - c[0], p.y - c[1], p.z - c[2]};
        const TLong h = dot(q, n), w_height = dot(w, n);
        const TLong3 out = {w[0] - w_height * n[0], w[1] - w_height * n[1], w[2] - w_height * n[2]};
        const TLong rho = std::sqrt(dot(out, out));
        const TLong e = rho - r;
        sum_e += e;
        for (int i = 0; i < 3; ++i) {
            spread[i] += h * (q[i] - h * n[i]);
            size[i] += e * out[i] / rho;
        }
    }
    const TLong in_plane =
        (c[0] - mean[0]) * n[0] + (c[1] - mean[1]) * n[1] + (c[2] - mean[2]) * n[2];
    // What the rounding of the fitted centre and radius to doubles leaves.
    const double tolerance = 4 * static_cast<double>(points.size()) *
                             std::numeric_limits<double>::epsilon() *
                             (Length(fit.position) + fit.diameter / 2);
    QVERIFY2(std::abs(static_cast<double>(in_plane)) <= 1e-12,
             qPrintable(QString::number(double(in_plane))));
    QVERIFY2(std::abs(static_cast<double>(sum_e)) <= tolerance,
             qPrintable(QString::number(double(sum_e))));
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(std::abs(static_cast<double>(spread[i])) <= tolerance,
                 qPrintable(QString::number(double(spread[i]))));
        QVERIFY2(std::abs(static_cast<double>(size[i])) <= tolerance,
                 qPrintable(QString::number(double(size[i]))));
    }
}

// The sign follows the direction, not the order or the side of the points.
void TestFitting::direction_sign_is_fixed()
{
    // A normal whose largest component is negative, -z here.
    const TFrame frame = Tilted_Frame(TVector3(10, 20, 30), 160 * Degree, 15 * Degree, 0);
    QVERIFY(frame.n.z < -0.9);
    TPoints points = Circle_Points(frame, 12, 9, 0, 2 * Pi);
    TPoints reversed(points.rbegin(), points.rend());
    for (const TFit &fit :
         {Fit_Plane(points), Fit_Plane(reversed), Fit_Circle(points), Fit_Circle(reversed)}) {
        QVERIFY(fit.fitted);
        QVERIFY(Angle_Up_To_Sign(fit.direction, frame.n) <= Angle_Tolerance);
        QVERIFY2(fit.direction.z > 0, qPrintable(QString::number(fit.direction.z)));
    }

    // A line along -x.
    TPoints line;
    for (int i = 0; i < 5; ++i) {
        line.push_back(TVector3(-3.0 * i, 0.5, 2));
    }
    for (const TPoints &set : {line, TPoints(line.rbegin(), line.rend())}) {
        const TFit fit = Fit_Line(set);
        QVERIFY(fit.fitted);
        QCOMPARE(fit.direction.x, 1.0);
        QCOMPARE(fit.direction.y, 0.0);
        QCOMPARE(fit.direction.z, 0.0);
    }
}

QTEST_GUILESS_MAIN(TestFitting)

#include "test_fitting.moc"
