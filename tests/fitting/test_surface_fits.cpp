#include "core/vector_measures.h"
#include "fitting/feature_fit.h"
#include "fitting/least_squares_fit.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using TPoints = std::vector<TVector3>;

Q_DECLARE_METATYPE(TPoints)
Q_DECLARE_METATYPE(TFit)

namespace {

const double Pi = std::acos(-1.0);
const double Degree = Pi / 180;

// The points are exactly on the designed surface up to the rounding of their
// coordinates: lengths are held to 1e-10 of the surface's size plus 1e-14 of
// its distance from the origin, angles to 1e-10 rad.
const double Relative = 1e-10;
const double Angle_Tolerance = 1e-10;

struct TFrame
{
    TVector3 origin;
    TVector3 u;
    TVector3 v;
    TVector3 n;

    TVector3 At(double a, double b, double c) const { return origin + u * a + v * b + n * c; }
};

// n tilted from z by the tilt (35 degrees unless given) towards the
// azimuth, the origin at the distance along a fixed oblique direction.
TFrame Frame(double distance, double azimuth, double tilt = 35 * Degree)
{
    const TVector3 n(std::sin(tilt) * std::cos(azimuth), std::sin(tilt) * std::sin(azimuth),
                     std::cos(tilt));
    const TVector3 u(std::cos(tilt) * std::cos(azimuth), std::cos(tilt) * std::sin(azimuth),
                     -std::sin(tilt));
    return TFrame{TVector3(0.6, -0.8, 0.3) * distance, u, n * u, n};
}

// Angles round the axis: count of them over the arc from first, or evenly
// on a full turn.
double Around(double first, double arc, int i, int count)
{
    return first + (arc >= 360 ? 2 * Pi * i / count : arc * Degree * i / (count - 1));
}

TVector3 Centroid(const TPoints &points)
{
    TVector3 sum;
    for (const TVector3 &p : points)
        sum = sum + p;
    return sum / static_cast<double>(points.size());
}

// The axis point nearest the centroid: the fits' position of a cylinder and a cone.
double Height_Of_Centroid(const TPoints &points, const TFrame &frame)
{
    return (Centroid(points) - frame.origin) ^ frame.n;
}

// A cylinder of the radius about the frame's n axis, rows of points at
// heights over the length (centred on height 0), each row turned a little.
TPoints Cylinder_Points(const TFrame &frame, double radius, double length, double arc, int rows,
                        int around)
{
    TPoints points;
    for (int i = 0; i < rows; ++i) {
        const double height = -length / 2 + length * i / (rows - 1);
        for (int j = 0; j < around; ++j) {
            const double angle = Around(0.3 + 0.07 * i, arc, j, around);
            points.push_back(frame.At(radius * std::cos(angle), radius * std::sin(angle), height));
        }
    }
    return points;
}

// A cone whose radius at height 0 is radius, growing by tan(half_angle) along n.
TPoints Cone_Points(const TFrame &frame, double radius, double half_angle, double length,
                    double arc)
{
    TPoints points;
    const int rows = 5;
    const int around = 12;
    for (int i = 0; i < rows; ++i) {
        const double height = -length / 2 + length * i / (rows - 1);
        const double r = radius + height * std::tan(half_angle);
        for (int j = 0; j < around; ++j) {
            const double angle = Around(0.3 + 0.05 * i, arc, j, around);
            points.push_back(frame.At(r * std::cos(angle), r * std::sin(angle), height));
        }
    }
    return points;
}

// A torus about the frame's origin: the band of tube angles centred on the
// outer equator, the arc round the axis.
TPoints Torus_Points(const TFrame &frame, double major, double minor, double arc, double band)
{
    TPoints points;
    const int rings = 7;
    const int around = 16;
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < around; ++j) {
            const double tube =
                (band >= 360 ? 2 * Pi * i / rings : (-band / 2 + band * i / (rings - 1)) * Degree) +
                0.02 * j;
            const double angle = Around(0.3 + 0.03 * i, arc, j, around);
            const double r = major + minor * std::cos(tube);
            points.push_back(
                frame.At(r * std::cos(angle), r * std::sin(angle), minor * std::sin(tube)));
        }
    }
    return points;
}

// count points of a torus as measuring machines take them: evenly over the
// arc round the axis, the tube's angle stepping by the golden ratio's share
// of the band (or of the whole tube).
TPoints Torus_Lattice(const TFrame &frame, double major, double minor, double arc, double band,
                      int count)
{
    const double golden = 0.61803398874989484820;
    TPoints points;
    for (int k = 0; k < count; ++k) {
        const double share = std::fmod(0.37 + k * golden, 1.0);
        const double tube = (share - 0.5) * band * Degree;
        const double angle = arc * Degree * k / (count - 1);
        const double r = major + minor * std::cos(tube);
        points.push_back(
            frame.At(r * std::cos(angle), r * std::sin(angle), minor * std::sin(tube)));
    }
    return points;
}

TFit Design(const TVector3 &position, const TVector3 &direction, double diameter,
            double apex_angle = 0, double minor_diameter = 0)
{
    TFit fit;
    fit.fitted = true;
    fit.position = position;
    fit.direction = direction;
    fit.diameter = diameter;
    fit.apex_angle = apex_angle;
    fit.minor_diameter = minor_diameter;
    return fit;
}

bool Signed(const TVector3 &d)
{
    const double largest = std::max({std::abs(d.x), std::abs(d.y), std::abs(d.z)});
    const double first = std::abs(d.x) == largest ? d.x : std::abs(d.y) == largest ? d.y : d.z;
    return first > 0;
}

// Compares a fit with its design; directions exactly when signed (a cone's
// towards its wider end), else the library's sign rule besides.
void Check_Design(const TFit &fit, const TFit &design, double distance, bool cone)
{
    QVERIFY2(fit.fitted, fit.failure.c_str());
    const double size = std::max({1.0, design.diameter, design.minor_diameter});
    const double tolerance = Relative * size + 1e-14 * distance;
    const QString figures =
        QString("position %1, direction %2, diameter %3, apex %4, minor %5, %6 iterations")
            .arg(Length(fit.position - design.position), 0, 'g', 3)
            .arg(Angle_Up_To_Sign(fit.direction, design.direction), 0, 'g', 3)
            .arg(fit.diameter - design.diameter, 0, 'g', 3)
            .arg(fit.apex_angle - design.apex_angle, 0, 'g', 3)
            .arg(fit.minor_diameter - design.minor_diameter, 0, 'g', 3)
            .arg(fit.iterations);
    QVERIFY2(Length(fit.position - design.position) <= tolerance, qPrintable(figures));
    QVERIFY2(std::abs(fit.diameter - design.diameter) <= tolerance, qPrintable(figures));
    QVERIFY2(std::abs(fit.minor_diameter - design.minor_diameter) <= tolerance,
             qPrintable(figures));
    QVERIFY2(std::abs(fit.apex_angle - design.apex_angle) <= Angle_Tolerance, qPrintable(figures));
    QVERIFY2(std::abs(Length(fit.direction) - 1) <= 1e-15, qPrintable(figures));
    if (cone) {
        QVERIFY2(Angle_Up_To_Sign(fit.direction, design.direction) <= Angle_Tolerance &&
                     (fit.direction ^ design.direction) > 0,
                 qPrintable(figures));
    } else {
        QVERIFY2(Angle_Up_To_Sign(fit.direction, design.direction) <= Angle_Tolerance,
                 qPrintable(figures));
        QVERIFY(Signed(fit.direction));
    }
}

const double Distances[] = {0, 1000, 10000};

void Add_Design_Columns()
{
    QTest::addColumn<TPoints>("points");
    QTest::addColumn<TFit>("design");
    QTest::addColumn<double>("distance");
}

const double Nan = std::numeric_limits<double>::quiet_NaN();

} // namespace

class TestSurfaceFits : public QObject
{
    Q_OBJECT

private slots:
    void cylinder_data();
    void cylinder();
    void cone_data();
    void cone();
    void torus_data();
    void torus();
    void fat_torus_sector_data();
    void fat_torus_sector();
    void failure_data();
    void failure();
    void a_wrong_start_does_not_win_data();
    void a_wrong_start_does_not_win();
    void a_usable_start_is_tried();
};

void TestSurfaceFits::cylinder_data()
{
    Add_Design_Columns();
    struct
    {
        const char *name;
        double radius, length, arc;
        int rows, around;
    } cases[] = {{"whole, 3 diameters long", 10, 60, 360, 5, 12},
                 {"short: a tenth of its diameter", 50, 10, 360, 3, 16},
                 {"30 degrees round", 20, 40, 30, 6, 8},
                 {"90 degrees round, short", 100, 20, 90, 3, 10}};
    for (double distance : Distances) {
        for (const auto &c : cases) {
            const TFrame frame = Frame(distance, 120 * Degree);
            const TPoints points =
                Cylinder_Points(frame, c.radius, c.length, c.arc, c.rows, c.around);
            const double height = Height_Of_Centroid(points, frame);
            QTest::addRow("%s, %g mm away", c.name, distance)
                << points << Design(frame.origin + frame.n * height, frame.n, 2 * c.radius)
                << distance;
        }
    }
}

void TestSurfaceFits::cylinder()
{
    QFETCH(TPoints, points);
    QFETCH(TFit, design);
    QFETCH(double, distance);
    Check_Design(Fit_Cylinder(points), design, distance, false);
}

void TestSurfaceFits::cone_data()
{
    Add_Design_Columns();
    struct
    {
        const char *name;
        double radius, apex, length, arc;
    } cases[] = {{"30 degrees", 20, 30, 30, 360},
                 {"narrow: 1 degree", 20, 1, 60, 360},
                 {"wide: 170 degrees", 50, 170, 4, 360},
                 {"120 degrees, 90 round", 30, 120, 10, 90},
                 {"5 degrees, 30 round", 20, 5, 40, 30}};
    for (double distance : Distances) {
        for (const auto &c : cases) {
            // A frame whose n has a negative largest component: the cone's
            // direction must still point towards its wider end.
            const TFrame frame = Frame(distance, 200 * Degree);
            const double half = c.apex * Degree / 2;
            TPoints points = Cone_Points(frame, c.radius, half, c.length, c.arc);
            const double height = Height_Of_Centroid(points, frame);
            QTest::addRow("%s, %g mm away", c.name, distance)
                << points
                << Design(frame.origin + frame.n * height, frame.n,
                          2 * (c.radius + height * std::tan(half)), 2 * half)
                << distance;
        }
    }
}

void TestSurfaceFits::cone()
{
    QFETCH(TPoints, points);
    QFETCH(TFit, design);
    QFETCH(double, distance);
    Check_Design(Fit_Cone(points), design, distance, true);
}

void TestSurfaceFits::torus_data()
{
    Add_Design_Columns();
    struct
    {
        const char *name;
        double major, minor, arc, band;
    } cases[] = {{"minor a quarter of major", 40, 10, 360, 360},
                 {"minor a tenth", 50, 5, 360, 360},
                 {"minor a half, 90 round", 30, 15, 90, 360},
                 {"bearing race: band of 60", 40, 8, 360, 60},
                 {"race, 90 round", 40, 8, 90, 60},
                 {"minor a half, band of 60, 90 round", 30, 15, 90, 60}};
    for (double distance : Distances) {
        for (const auto &c : cases) {
            const TFrame frame = Frame(distance, 120 * Degree);
            QTest::addRow("%s, %g mm away", c.name, distance)
                << Torus_Points(frame, c.major, c.minor, c.arc, c.band)
                << Design(frame.origin, frame.n, 2 * c.major, 0, 2 * c.minor) << distance;
        }
    }
}

void TestSurfaceFits::torus()
{
    QFETCH(TPoints, points);
    QFETCH(TFit, design);
    QFETCH(double, distance);
    Check_Design(Fit_Torus(points), design, distance, false);
}

// Fat tori measured over a quarter turn round the axis, with the tube whole
// or a band of 60 degrees: the points' spread shows the axis poorly, and the
// axis along any of its principal directions leads to a wrong minimum. The
// frames turn the sector every way against the points' principal axes.
void TestSurfaceFits::fat_torus_sector_data()
{
    Add_Design_Columns();
    struct
    {
        double major, minor, band;
        int count;
    } cases[] = {{25, 12.5, 360, 25},
                 {25, 12.5, 60, 25},
                 {1, 0.5, 360, 50},
                 {50, 20, 360, 25},
                 {50, 20, 60, 40}};
    const double tilts[] = {10, 55, 80};
    const double azimuths[] = {30, 200};
    for (double distance : Distances) {
        for (const auto &c : cases) {
            for (double tilt : tilts) {
                for (double azimuth : azimuths) {
                    const TFrame frame = Frame(distance, azimuth * Degree, tilt * Degree);
                    QTest::addRow("major %g, minor %g, band %g, %d points, tilt %g, azimuth %g, "
                                  "%g mm away",
                                  c.major, c.minor, c.band, c.count, tilt, azimuth, distance)
                        << Torus_Lattice(frame, c.major, c.minor, 90, c.band, c.count)
                        << Design(frame.origin, frame.n, 2 * c.major, 0, 2 * c.minor) << distance;
                }
            }
        }
    }
}

void TestSurfaceFits::fat_torus_sector()
{
    QFETCH(TPoints, points);
    QFETCH(TFit, design);
    QFETCH(double, distance);
    Check_Design(Fit_Torus(points), design, distance, false);
    Check_Design(Fit_Feature(TFeatureType::TORUS, points), design, distance, false);
}

void TestSurfaceFits::failure_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<TPoints>("points");
    QTest::addColumn<QString>("failure");
    const TFrame frame = Frame(1000, 120 * Degree);
    const int cylinder = int(TFeatureType::CYLINDER);
    const int cone = int(TFeatureType::CONE);
    const int torus = int(TFeatureType::TORUS);
    const TPoints four = {frame.At(10, 0, 0), frame.At(0, 10, 1), frame.At(-10, 0, 2),
                          frame.At(0, -10, 3)};
    QTest::newRow("cylinder of 4")
        << cylinder << four << "too few points: a cylinder needs at least 5";
    TPoints five = four;
    five.push_back(frame.At(7, 7, 4));
    QTest::newRow("cone of 5") << cone << five << "too few points: a cone needs at least 6";
    TPoints six = five;
    six.push_back(frame.At(-7, 7, 5));
    QTest::newRow("torus of 6") << torus << six << "too few points: a torus needs at least 7";
    TPoints circle;
    for (int i = 0; i < 12; ++i)
        circle.push_back(frame.At(20 * std::cos(0.5 * i), 20 * std::sin(0.5 * i), 0));
    QTest::newRow("cylinder on one circle") << cylinder << circle << "coplanar points";
    QTest::newRow("cone on one circle") << cone << circle << "coplanar points";
    QTest::newRow("torus on one circle") << torus << circle << "coplanar points";
    TPoints line;
    for (int i = 0; i < 9; ++i)
        line.push_back(frame.At(0, 0, 2.5 * i));
    QTest::newRow("cone on a line") << cone << line << "collinear points";
    QTest::newRow("torus at one point") << torus << TPoints(8, frame.origin) << "coincident points";
    TPoints broken = six;
    broken.push_back(TVector3(1, Nan, 0));
    QTest::newRow("cylinder with nan") << cylinder << broken << "non-finite coordinates";
    QTest::newRow("cylinder too large")
        << cylinder
        << TPoints{TVector3(1e308, 0, 0), TVector3(1e308, 1, 0), TVector3(1e308, 0, 1),
                   TVector3(-1e308, 1, 1), TVector3(1e308, 2, 1)}
        << "coordinates too large";
}

void TestSurfaceFits::failure()
{
    QFETCH(int, type);
    QFETCH(TPoints, points);
    QFETCH(QString, failure);
    const TFit fit = Fit_Feature(TFeatureType(type), points);
    QVERIFY(!fit.fitted);
    QCOMPARE(QString::fromStdString(fit.failure), failure);
}

// A start far from the answer, as a file's wrong stated result, is one more
// start: the least sum of squares still wins.
void TestSurfaceFits::a_wrong_start_does_not_win_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<TPoints>("points");
    QTest::addColumn<TFit>("design");
    QTest::addColumn<TFit>("start");
    const TFrame frame = Frame(1000, 120 * Degree);
    const TVector3 off = frame.origin + TVector3(3, -2, 1);
    const TVector3 tilted = (frame.n + frame.u * 0.3).Normal();
    TPoints cylinder = Cylinder_Points(frame, 20, 40, 30, 6, 8);
    QTest::newRow("cylinder") << int(TFeatureType::CYLINDER) << cylinder
                              << Design(frame.origin +
                                            frame.n * Height_Of_Centroid(cylinder, frame),
                                        frame.n, 40)
                              << Design(off, tilted, 30);
    TPoints cone = Cone_Points(frame, 20, 15 * Degree, 30, 360);
    const double height = Height_Of_Centroid(cone, frame);
    QTest::newRow("cone") << int(TFeatureType::CONE) << cone
                          << Design(frame.origin + frame.n * height, frame.n,
                                    2 * (20 + height * std::tan(15 * Degree)), 30 * Degree)
                          << Design(off, tilted * -1.0, 30, 60 * Degree);
    QTest::newRow("torus") << int(TFeatureType::TORUS) << Torus_Points(frame, 40, 8, 90, 60)
                           << Design(frame.origin, frame.n, 80, 0, 16)
                           << Design(off, tilted, 70, 0, 30);
}

void TestSurfaceFits::a_wrong_start_does_not_win()
{
    QFETCH(int, type);
    QFETCH(TPoints, points);
    QFETCH(TFit, design);
    QFETCH(TFit, start);
    Check_Design(Fit_Feature(TFeatureType(type), points, &start), design, 1000,
                 TFeatureType(type) == TFeatureType::CONE);
}

// The design itself as the start ends there; a start that is not finite is
// ignored, not iterated into NaN.
void TestSurfaceFits::a_usable_start_is_tried()
{
    const TFrame frame = Frame(1000, 120 * Degree);
    const TPoints points = Torus_Points(frame, 40, 8, 90, 60);
    const TFit design = Design(frame.origin, frame.n, 80, 0, 16);
    Check_Design(Fit_Torus(points, &design), design, 1000, false);
    TFit unusable = design;
    unusable.diameter = Nan;
    Check_Design(Fit_Torus(points, &unusable), design, 1000, false);
    unusable = design;
    unusable.direction = TVector3();
    Check_Design(Fit_Feature(TFeatureType::TORUS, points, &unusable), design, 1000, false);
}

QTEST_GUILESS_MAIN(TestSurfaceFits)

#include "test_surface_fits.moc"
