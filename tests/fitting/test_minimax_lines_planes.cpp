#include "fitting/minimax_fit.h"
#include "minimax_cases.h"

#include <QtTest>

#include <algorithm>
#include <limits>

Q_DECLARE_METATYPE(TFrame)

namespace {

// Lengths to 1e-13 of the largest coordinate: 1e-9 mm at 10,000 mm, where
// the coordinates themselves are rounded to about 2e-12 mm.
double Length_Tolerance(const TPoints &points)
{
    return 1e-13 * Largest_Coordinate(points);
}

std::vector<int> Sorted(std::vector<int> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

// Points in a zone built with its contacts: the contacts at the given
// places of the list, every other point strictly inside, by a tenth of the
// zone's half width at least.
struct TZoneCase
{
    TPoints points;
    std::vector<int> outer;
    std::vector<int> inner;
};

// A line's zone in the frame's (u, v) plane: direction at angle from u,
// two outer contacts at the ends, an inner one between; points off the plane
// by up to a tenth of the length, which the projection removes.
TZoneCase Line_Zone(const TFrame &frame, double angle, double form, double length, int count)
{
    TNumbers numbers(7);
    const TVector3 along = frame.u * std::cos(angle) + frame.v * std::sin(angle);
    const TVector3 side = frame.n * along;
    const auto at = [&](double t, double offset, double off_plane) {
        return frame.origin + along * t + side * offset + frame.n * off_plane;
    };
    TZoneCase zone;
    for (int i = 0; i < count - 3; ++i)
        zone.points.push_back(
            at(numbers(-length, length), numbers(-0.45, 0.45) * form, numbers(-0.1, 0.1) * length));
    const TVector3 contacts[3] = {at(-length, form / 2, 0.05 * length),
                                  at(length, form / 2, -0.02 * length),
                                  at(0.3 * length, -form / 2, 0)};
    int places[3];
    for (int k = 0; k < 3; ++k)
        places[k] = k + (count - 3) * k / 2;
    for (int k = 0; k < 3; ++k)
        zone.points.insert(zone.points.begin() + places[k], contacts[k]);
    zone.outer = {places[0], places[1]};
    zone.inner = {places[2]};
    return zone;
}

// A plane's zone about the frame's origin, normal n: three on the top round
// the foot of one on the bottom, or two and two crossing.
TZoneCase Plane_Zone(const TFrame &frame, bool crossing, double form, double length, int count)
{
    TNumbers numbers(11);
    TZoneCase zone;
    for (int i = 0; i < count - 4; ++i)
        zone.points.push_back(frame.At(numbers(-length, length), numbers(-length, length),
                                       numbers(-0.45, 0.45) * form));
    const double h = form / 2;
    const double L = length;
    std::vector<TVector3> contacts;
    if (crossing)
        contacts = {frame.At(-L, 0.1 * L, h), frame.At(L, -0.1 * L, h), frame.At(0.1 * L, -L, -h),
                    frame.At(-0.1 * L, L, -h)};
    else
        contacts = {frame.At(-L, -L, h), frame.At(L, -0.8 * L, h), frame.At(-0.2 * L, L, h),
                    frame.At(0.1 * L, 0, -h)};
    int places[4];
    for (int k = 0; k < 4; ++k)
        places[k] = k + (count - 4) * k / 3;
    for (int k = 0; k < 4; ++k)
        zone.points.insert(zone.points.begin() + places[k], contacts[k]);
    if (crossing) {
        zone.outer = {places[0], places[1]};
        zone.inner = {places[2], places[3]};
    } else {
        zone.outer = {places[0], places[1], places[2]};
        zone.inner = {places[3]};
    }
    return zone;
}

// The narrowest strip of the points' projections onto the plane normal to
// normal: one side holds two points, so the pairs give every candidate.
double Brute_Line_Width(const TPoints &points, const TVector3 &normal)
{
    double best = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < points.size(); ++i)
        for (size_t j = i + 1; j < points.size(); ++j) {
            TVector3 side = normal * (points[j] - points[i]);
            if (Length(side) == 0)
                continue;
            side = side / Length(side);
            double low = std::numeric_limits<double>::infinity(), high = -low;
            for (const TVector3 &p : points) {
                low = std::min(low, side ^ p);
                high = std::max(high, side ^ p);
            }
            best = std::min(best, high - low);
        }
    return best;
}

double Range_Along(const TPoints &points, TVector3 n)
{
    n = n / Length(n);
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const TVector3 &p : points) {
        low = std::min(low, n ^ p);
        high = std::max(high, n ^ p);
    }
    return high - low;
}

// The narrowest slab: its normal is that of a face through three points or
// the cross product of two segments between points.
double Brute_Plane_Width(const TPoints &points)
{
    double best = std::numeric_limits<double>::infinity();
    const size_t n = points.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            for (size_t k = 0; k < n; ++k)
                for (size_t l = 0; l < n; ++l) {
                    if (i >= j || k >= l)
                        continue;
                    const TVector3 normal = (points[j] - points[i]) * (points[l] - points[k]);
                    if (Length(normal) > 1e-9)
                        best = std::min(best, Range_Along(points, normal));
                }
    return best;
}

} // namespace

class TestMinimaxLinesPlanes : public QObject
{
    Q_OBJECT

private slots:
    void line_zone_data();
    void line_zone();
    void line_brute_force();
    void plane_zone_data();
    void plane_zone();
    void plane_brute_force();
    void failures();
    void nudged_line_refused();
    void nudged_plane_refused();
};

void TestMinimaxLinesPlanes::line_zone_data()
{
    QTest::addColumn<TFrame>("frame");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("form");
    QTest::addColumn<double>("length");
    QTest::addColumn<int>("count");
    const TFrame flat = Tilted_Frame(TVector3(0, 0, 0), 0, 0);
    const TFrame far =
        Tilted_Frame(TVector3(9876.54321, -8123.4567, 9012.3456), 35 * Degree, 120 * Degree);
    QTest::newRow("least points") << flat << 0.3 << 0.01 << 10.0 << 3;
    QTest::newRow("xy plane") << flat << 2.0 << 0.01 << 10.0 << 200;
    QTest::newRow("0.1 um, far, tilted") << far << 1.0 << 1e-4 << 500.0 << 1000;
    QTest::newRow("1 mm, far, tilted") << far << -2.5 << 1.0 << 100.0 << 1000;
    QTest::newRow("vertical plane")
        << Tilted_Frame(TVector3(100, 200, -300), 90 * Degree, 30 * Degree) << 0.7 << 0.002 << 50.0
        << 500;
}

void TestMinimaxLinesPlanes::line_zone()
{
    QFETCH(TFrame, frame);
    QFETCH(double, angle);
    QFETCH(double, form);
    QFETCH(double, length);
    QFETCH(int, count);
    const TZoneCase zone = Line_Zone(frame, angle, form, length, count);
    const TMinimaxFit fit = Fit_Minimax_Line(zone.points, frame.origin + frame.n * 3.0, frame.n);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    const double tolerance = Length_Tolerance(zone.points);
    QVERIFY2(std::abs(fit.form - form) <= tolerance, qPrintable(QString::number(fit.form - form)));
    const TVector3 along = Signed(frame.u * std::cos(angle) + frame.v * std::sin(angle));
    QVERIFY(Length(fit.direction - along) <= tolerance / length);
    const TVector3 centroid = Centroid(zone.points);
    // The line lies in the plane through the given point, 3 mm above the
    // frame's origin, whatever the points' distances from it.
    const TVector3 nearest =
        frame.origin + frame.n * 3.0 + along * (along ^ (centroid - frame.origin));
    QVERIFY2(Length(fit.position - nearest) <= tolerance,
             qPrintable(QString::number(Length(fit.position - nearest))));
    // The outer side is the one n x direction points to.
    const bool flipped = (along ^ (frame.u * std::cos(angle) + frame.v * std::sin(angle))) < 0;
    QCOMPARE(Sorted(fit.outer_contacts), flipped ? zone.inner : zone.outer);
    QCOMPARE(Sorted(fit.inner_contacts), flipped ? zone.outer : zone.inner);
}

void TestMinimaxLinesPlanes::line_brute_force()
{
    TNumbers numbers(3);
    for (int set = 0; set < 300; ++set) {
        const TFrame frame = Tilted_Frame(TVector3(numbers(-500, 500), numbers(-500, 500), 0),
                                          numbers(0, Pi), numbers(-Pi, Pi));
        TPoints points;
        const int count = 3 + set % 7;
        for (int i = 0; i < count; ++i)
            points.push_back(
                frame.At(numbers(-10, 10), numbers(-10, 10) * (set % 2 ? 1 : 0.1), numbers(-5, 5)));
        const TMinimaxFit fit = Fit_Minimax_Line(points, frame.origin, frame.n);
        QVERIFY2(fit.fitted, fit.failure.c_str());
        const double expected = Brute_Line_Width(points, frame.n);
        QVERIFY2(std::abs(fit.form - expected) <= Length_Tolerance(points),
                 qPrintable(QString("set %1: %2 against %3").arg(set).arg(fit.form).arg(expected)));
    }
}

void TestMinimaxLinesPlanes::plane_zone_data()
{
    QTest::addColumn<TFrame>("frame");
    QTest::addColumn<bool>("crossing");
    QTest::addColumn<double>("form");
    QTest::addColumn<double>("length");
    QTest::addColumn<int>("count");
    const TFrame flat = Tilted_Frame(TVector3(0, 0, 0), 0, 0);
    const TFrame far =
        Tilted_Frame(TVector3(9876.54321, -8123.4567, 9012.3456), 35 * Degree, 120 * Degree);
    const TFrame steep = Tilted_Frame(TVector3(-300, 40, 2000), 80 * Degree, -60 * Degree);
    QTest::newRow("least points, three and one") << flat << false << 0.01 << 10.0 << 4;
    QTest::newRow("least points, two and two") << flat << true << 0.01 << 10.0 << 4;
    QTest::newRow("three and one, far, 0.1 um") << far << false << 1e-4 << 200.0 << 2000;
    QTest::newRow("two and two, far, 0.1 um") << far << true << 1e-4 << 200.0 << 2000;
    QTest::newRow("three and one, steep, 1 mm") << steep << false << 1.0 << 500.0 << 1000;
    QTest::newRow("two and two, steep, 1 mm") << steep << true << 1.0 << 500.0 << 1000;
}

void TestMinimaxLinesPlanes::plane_zone()
{
    QFETCH(TFrame, frame);
    QFETCH(bool, crossing);
    QFETCH(double, form);
    QFETCH(double, length);
    QFETCH(int, count);
    const TZoneCase zone = Plane_Zone(frame, crossing, form, length, count);
    const TMinimaxFit fit = Fit_Minimax_Plane(zone.points);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    const double tolerance = Length_Tolerance(zone.points);
    QVERIFY2(std::abs(fit.form - form) <= tolerance, qPrintable(QString::number(fit.form - form)));
    const TVector3 normal = Signed(frame.n);
    QVERIFY(Length(fit.direction - normal) <= tolerance / length);
    const TVector3 centroid = Centroid(zone.points);
    const TVector3 nearest = centroid - frame.n * (frame.n ^ (centroid - frame.origin));
    QVERIFY(Length(fit.position - nearest) <= tolerance);
    const bool flipped = (normal ^ frame.n) < 0;
    QCOMPARE(Sorted(fit.outer_contacts), flipped ? zone.inner : zone.outer);
    QCOMPARE(Sorted(fit.inner_contacts), flipped ? zone.outer : zone.inner);
}

void TestMinimaxLinesPlanes::plane_brute_force()
{
    TNumbers numbers(5);
    for (int set = 0; set < 200; ++set) {
        const TFrame frame = Tilted_Frame(TVector3(numbers(-500, 500), 0, numbers(-500, 500)),
                                          numbers(0, Pi), numbers(-Pi, Pi));
        TPoints points;
        const int count = 4 + set % 5;
        // Flat, thin or round sets: the narrowest direction varies.
        const double depth = set % 3 == 0 ? 0.01 : set % 3 == 1 ? 1 : 10;
        for (int i = 0; i < count; ++i)
            points.push_back(frame.At(numbers(-10, 10), numbers(-10, 10), numbers(-depth, depth)));
        const TMinimaxFit fit = Fit_Minimax_Plane(points);
        QVERIFY2(fit.fitted, qPrintable(QString("set %1: %2").arg(set).arg(fit.failure.c_str())));
        const double expected = Brute_Plane_Width(points);
        QVERIFY2(std::abs(fit.form - expected) <= Length_Tolerance(points),
                 qPrintable(QString("set %1: %2 against %3").arg(set).arg(fit.form).arg(expected)));
    }
}

void TestMinimaxLinesPlanes::failures()
{
    const TVector3 z(0, 0, 1);
    const TVector3 o(0, 0, 0);
    QCOMPARE(Fit_Minimax_Line({TVector3(0, 0, 0), TVector3(1, 0, 0)}, o, z).failure,
             std::string("too few points: a line's zone needs at least 3"));
    // Points on the plane's normal project onto one point.
    QCOMPARE(
        Fit_Minimax_Line({TVector3(1, 1, 0), TVector3(1, 1, 2), TVector3(1, 1, 5)}, o, z).failure,
        std::string("coincident points"));
    // Parallel edges of the hull, the far one's first vertex beyond the near
    // edge's end: the second vertex is the contact between.
    const TMinimaxFit parallel = Fit_Minimax_Line(
        {TVector3(0, 0, 0), TVector3(2, 0, 0), TVector3(5, 1, 0), TVector3(1, 1, 0)}, o, z);
    QVERIFY2(parallel.fitted, parallel.failure.c_str());
    QCOMPARE(parallel.form, 1.0);
    QCOMPARE(Sorted(parallel.inner_contacts), (std::vector<int>{0, 1}));
    QCOMPARE(parallel.outer_contacts, std::vector<int>{3});
    // Collinear projections: a zone of no width, the middle point between.
    const TMinimaxFit straight =
        Fit_Minimax_Line({TVector3(1, 1, 0), TVector3(3, 1, 2), TVector3(2, 1, 5)}, o, z);
    QVERIFY2(straight.fitted, straight.failure.c_str());
    QCOMPARE(straight.form, 0.0);
    QVERIFY(Length(straight.direction - TVector3(1, 0, 0)) <= 1e-15);
    QVERIFY(Length(straight.position - TVector3(2, 1, 0)) <= 1e-15);
    QCOMPARE(straight.outer_contacts.size() == 1 ? straight.outer_contacts
                                                 : straight.inner_contacts,
             std::vector<int>{2});
    QCOMPARE(Fit_Minimax_Line({TVector3(1, 1, 0), TVector3(2, 1, 2), TVector3(3, 1, 5)}, o,
                              TVector3(0, 0, 0))
                 .failure,
             std::string("the plane's normal has no length"));
    QCOMPARE(Fit_Minimax_Plane({TVector3(0, 0, 0), TVector3(1, 0, 0), TVector3(0, 1, 0)}).failure,
             std::string("too few points: a plane's zone needs at least 4"));
    QCOMPARE(Fit_Minimax_Plane(
                 {TVector3(0, 0, 0), TVector3(1, 1, 1), TVector3(2, 2, 2), TVector3(3, 3, 3)})
                 .failure,
             std::string("collinear points"));
    const TMinimaxFit tetrahedron = Fit_Minimax_Plane(
        {TVector3(0, 0, 0), TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1)});
    QVERIFY2(tetrahedron.fitted, tetrahedron.failure.c_str());
    // A tetrahedron's narrowest slab: between opposite edges, 1/sqrt(2) apart
    // (two and two) against the faces' 1/sqrt(3) (three and one): the face
    // x + y + z = 1 and the opposite vertex.
    QVERIFY(std::abs(tetrahedron.form - 1 / std::sqrt(3.0)) <= 1e-15);
}

void TestMinimaxLinesPlanes::nudged_line_refused()
{
    const TFrame frame = Tilted_Frame(TVector3(1234.5, -678.9, 4321), 20 * Degree, 50 * Degree);
    const TZoneCase zone = Line_Zone(frame, 0.4, 0.001, 50, 300);
    const TMinimaxFit fit = Fit_Minimax_Line(zone.points, frame.origin, frame.n);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QCOMPARE(Minimax_Line_Refusal(zone.points, frame.origin, frame.n, fit), std::string());
    const double nudge = 1e-6; // a thousandth of the form, far above rounding
    const TVector3 side = frame.n * fit.direction;
    std::vector<TMinimaxFit> nudged(6, fit);
    nudged[0].position = fit.position + side * nudge;
    nudged[1].direction = fit.direction + side * (nudge / 50);
    nudged[1].direction = nudged[1].direction / Length(nudged[1].direction);
    nudged[2].form = fit.form - nudge;
    nudged[3].form = fit.form + nudge;
    std::swap(nudged[4].outer_contacts, nudged[4].inner_contacts);
    nudged[5].outer_contacts.pop_back();
    for (size_t k = 0; k < nudged.size(); ++k)
        QVERIFY2(!Minimax_Line_Refusal(zone.points, frame.origin, frame.n, nudged[k]).empty(),
                 qPrintable(QString("nudge %1 accepted").arg(k)));
}

void TestMinimaxLinesPlanes::nudged_plane_refused()
{
    const TFrame frame = Tilted_Frame(TVector3(1234.5, -678.9, 4321), 20 * Degree, 50 * Degree);
    for (bool crossing : {false, true}) {
        const TZoneCase zone = Plane_Zone(frame, crossing, 0.001, 50, 300);
        const TMinimaxFit fit = Fit_Minimax_Plane(zone.points);
        QVERIFY2(fit.fitted, fit.failure.c_str());
        QCOMPARE(Minimax_Plane_Refusal(zone.points, fit), std::string());
        const double nudge = 1e-6;
        std::vector<TMinimaxFit> nudged(6, fit);
        nudged[0].position = fit.position + fit.direction * nudge;
        nudged[1].direction = fit.direction + frame.u * (nudge / 50);
        nudged[1].direction = nudged[1].direction / Length(nudged[1].direction);
        nudged[2].form = fit.form - nudge;
        nudged[3].form = fit.form + nudge;
        std::swap(nudged[4].outer_contacts, nudged[4].inner_contacts);
        nudged[5].outer_contacts.pop_back();
        for (size_t k = 0; k < nudged.size(); ++k)
            QVERIFY2(!Minimax_Plane_Refusal(zone.points, nudged[k]).empty(),
                     qPrintable(QString("nudge %1 accepted").arg(k)));
    }
}

QTEST_APPLESS_MAIN(TestMinimaxLinesPlanes)
#include "test_minimax_lines_planes.moc"
