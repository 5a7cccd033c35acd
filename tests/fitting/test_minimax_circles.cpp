#include "fitting/minimax_fit.h"
#include "minimax_cases.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <limits>

Q_DECLARE_METATYPE(TFrame)
Q_DECLARE_METATYPE(TCriterion)

namespace {

using TPlanar = std::array<double, 2>;

double Length_Tolerance(const TPoints &points)
{
    return 1e-13 * Largest_Coordinate(points);
}

std::vector<int> Sorted(std::vector<int> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

double Distance(const TPlanar &a, const TPlanar &b)
{
    return std::hypot(a[0] - b[0], a[1] - b[1]);
}

double Cross(const TPlanar &a, const TPlanar &b, const TPlanar &c)
{
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

bool Circumcentre(const TPlanar &a, const TPlanar &b, const TPlanar &c, TPlanar *centre)
{
    const double d = 2 * Cross(a, b, c);
    if (std::abs(d) < 1e-9)
        return false;
    const double b2 = (b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]);
    const double c2 = (c[0] - a[0]) * (c[0] - a[0]) + (c[1] - a[1]) * (c[1] - a[1]);
    *centre = {a[0] + ((c[1] - a[1]) * b2 - (b[1] - a[1]) * c2) / d,
               a[1] + ((b[0] - a[0]) * c2 - (c[0] - a[0]) * b2) / d};
    return true;
}

// A circle's data set built round its contacts, in the frame's (u, v)
// plane: the contacts at the given angles and radii, every other point at a
// radius from the ranges, off the plane by up to a tenth of the radius.
struct TCircleCase
{
    TPoints points;
    std::vector<int> outer;
    std::vector<int> inner;
};

TCircleCase Circle_Case(const TFrame &frame, double span, const std::vector<double> &angles,
                        const std::vector<double> &radii, int outer_count, double low, double high,
                        int count)
{
    TNumbers numbers(17);
    const auto at = [&](double angle, double radius, double off) {
        return frame.At(radius * std::cos(angle), radius * std::sin(angle), off);
    };
    TCircleCase result;
    const int contacts = static_cast<int>(angles.size());
    for (int i = 0; i < count - contacts; ++i)
        result.points.push_back(
            at(numbers(0, span), numbers(low, high), numbers(-0.1, 0.1) * radii[0]));
    for (int k = 0; k < contacts; ++k) {
        const int place = k + (count - contacts) * k / contacts;
        result.points.insert(result.points.begin() + place,
                             at(angles[k], radii[k], numbers(-0.1, 0.1) * radii[0]));
        (k < outer_count ? result.outer : result.inner).push_back(place);
    }
    return result;
}

// Planar points of a tilted frame far from the origin.
TPoints In_Frame(const TFrame &frame, const std::vector<TPlanar> &planar)
{
    TPoints points;
    for (const TPlanar &p : planar)
        points.push_back(frame.At(p[0], p[1]));
    return points;
}

double Nearest(const std::vector<TPlanar> &points, const TPlanar &c)
{
    double nearest = std::numeric_limits<double>::infinity();
    for (const TPlanar &p : points)
        nearest = std::min(nearest, Distance(p, c));
    return nearest;
}

double Farthest(const std::vector<TPlanar> &points, const TPlanar &c)
{
    double farthest = 0;
    for (const TPlanar &p : points)
        farthest = std::max(farthest, Distance(p, c));
    return farthest;
}

const TFrame Far_Tilted =
    Tilted_Frame(TVector3(-7654.321, 8765.4321, 5432.1), 50 * Degree, -40 * Degree);

} // namespace

class TestMinimaxCircles : public QObject
{
    Q_OBJECT

private slots:
    void constructed_data();
    void constructed();
    void zone_brute_force();
    void circumscribed_brute_force();
    void inscribed_brute_force();
    void failures();
    void nudged_refused_data();
    void nudged_refused();
};

void TestMinimaxCircles::constructed_data()
{
    QTest::addColumn<TFrame>("frame");
    QTest::addColumn<TCriterion>("criterion");
    QTest::addColumn<double>("radius");
    QTest::addColumn<double>("form");
    QTest::addColumn<double>("span");
    QTest::addColumn<int>("count");
    const TFrame flat = Tilted_Frame(TVector3(0, 0, 0), 0, 0);
    const TFrame steep = Tilted_Frame(TVector3(300, -200, 100), 89 * Degree, 10 * Degree);
    const TCriterion zone = TCriterion::MINIMUM_ZONE;
    QTest::newRow("zone, least points") << flat << zone << 10.0 << 0.01 << 2 * Pi << 4;
    QTest::newRow("zone, full, far, 0.1 um")
        << Far_Tilted << zone << 50.0 << 1e-4 << 2 * Pi << 2000;
    QTest::newRow("zone, half, far, 1 mm") << Far_Tilted << zone << 1000.0 << 1.0 << Pi << 2000;
    QTest::newRow("zone, 120 degrees, steep") << steep << zone << 1.0 << 1e-3 << 2 * Pi / 3 << 500;
    // The centre some 60 times the points' extent away from them.
    QTest::newRow("zone, 2 degrees, far centre")
        << flat << zone << 1000.0 << 1e-3 << 2 * Degree << 40;
    const TCriterion out = TCriterion::MINIMUM_CIRCUMSCRIBED;
    QTest::newRow("circumscribed, least points") << flat << out << 10.0 << 0.0 << 0.0 << 2;
    QTest::newRow("circumscribed, two, far") << Far_Tilted << out << 100.0 << 0.0 << 0.0 << 1000;
    QTest::newRow("circumscribed, three, far") << Far_Tilted << out << 100.0 << 0.0 << 1.0 << 1000;
    QTest::newRow("circumscribed, three, steep") << steep << out << 1.0 << 0.0 << 1.0 << 300;
    const TCriterion in = TCriterion::MAXIMUM_INSCRIBED;
    QTest::newRow("inscribed, least points") << flat << in << 10.0 << 0.0 << 0.0 << 3;
    QTest::newRow("inscribed, far") << Far_Tilted << in << 100.0 << 0.0 << 0.0 << 1000;
    QTest::newRow("inscribed, steep") << steep << in << 1.0 << 0.0 << 0.0 << 500;
}

// Zone: span is the arc, four contacts alternating across it; circumscribed:
// span 0 for two opposite contacts, otherwise three; inscribed: three.
void TestMinimaxCircles::constructed()
{
    QFETCH(TFrame, frame);
    QFETCH(TCriterion, criterion);
    QFETCH(double, radius);
    QFETCH(double, form);
    QFETCH(double, span);
    QFETCH(int, count);
    TCircleCase data;
    const double R = radius;
    if (criterion == TCriterion::MINIMUM_ZONE) {
        const double out = R + form / 2, in = R - form / 2;
        const double step = span >= 2 * Pi ? span / 4 : span / 3;
        data = Circle_Case(frame, span, {0, 2 * step, step, 3 * step}, {out, out, in, in}, 2,
                           R - 0.45 * form, R + 0.45 * form, count);
    } else if (criterion == TCriterion::MINIMUM_CIRCUMSCRIBED) {
        if (span == 0)
            data = Circle_Case(frame, 2 * Pi, {0.5, 0.5 + Pi}, {R, R}, 2, 0, 0.95 * R, count);
        else
            data = Circle_Case(frame, 2 * Pi, {0.2, 0.2 + 2.1, 0.2 + 4.3}, {R, R, R}, 3, 0,
                               0.95 * R, count);
    } else {
        data = Circle_Case(frame, 2 * Pi, {1.6, 1.6 + 2.0, 1.6 + 4.2}, {R, R, R}, 0, 1.05 * R,
                           1.3 * R, count);
    }
    const TVector3 plane_point = frame.origin - frame.n * 2.0;
    const TMinimaxFit fit = Fit_Minimax_Circle(data.points, plane_point, frame.n, criterion);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    const double tolerance = Length_Tolerance(data.points);
    const TVector3 centre = plane_point;
    // On a short arc the centre and the radius move by the rounding of the
    // points times the square of radius over chord: held to the 1e-9 mm
    // promised.
    const double centre_tolerance =
        criterion == TCriterion::MINIMUM_ZONE && span < Pi / 2 ? 1e-9 : tolerance;
    QVERIFY2(Length(fit.position - centre) <= centre_tolerance,
             qPrintable(QString::number(Length(fit.position - centre))));
    QVERIFY(Length(fit.direction - Signed(frame.n)) <= 1e-15);
    QVERIFY2(std::abs(fit.diameter - 2 * R) <= centre_tolerance,
             qPrintable(QString::number(fit.diameter - 2 * R)));
    // The range of the distances from the centre, in the plane's coordinates.
    double nearest = std::numeric_limits<double>::infinity(), farthest = 0;
    for (const TVector3 &p : data.points) {
        const double d = std::hypot(frame.u ^ (p - frame.origin), frame.v ^ (p - frame.origin));
        nearest = std::min(nearest, d);
        farthest = std::max(farthest, d);
    }
    const double range = farthest - nearest;
    if (criterion == TCriterion::MINIMUM_ZONE)
        QVERIFY2(std::abs(fit.form - form) <= tolerance,
                 qPrintable(QString::number(fit.form - form)));
    else
        QVERIFY(std::abs(fit.form - range) <= tolerance);
    QCOMPARE(Sorted(fit.outer_contacts), data.outer);
    QCOMPARE(Sorted(fit.inner_contacts), data.inner);
}

// The narrowest annulus of a few points: its centre is that of a circle
// through three of them (outer or inner) or on the bisectors of two pairs.
// Where the optimum has two and two contacts the fit must find it; where
// three and one, it may only refuse.
void TestMinimaxCircles::zone_brute_force()
{
    TNumbers numbers(23);
    int fitted = 0;
    for (int set = 0; set < 200; ++set) {
        const int count = 4 + set % 5;
        std::vector<TPlanar> planar;
        for (int i = 0; i < count; ++i) {
            const double angle = numbers(0, 2 * Pi), radius = numbers(9, 11);
            planar.push_back({radius * std::cos(angle), radius * std::sin(angle)});
        }
        double best = std::numeric_limits<double>::infinity();
        bool two_and_two = false;
        const auto consider = [&](const TPlanar &c, bool pairs) {
            const double width = Farthest(planar, c) - Nearest(planar, c);
            if (width < best - 1e-9) {
                best = width;
                two_and_two = pairs;
            }
        };
        for (int a = 0; a < count; ++a)
            for (int b = a + 1; b < count; ++b)
                for (int c = 0; c < count; ++c) {
                    TPlanar centre;
                    if (c > b && Circumcentre(planar[a], planar[b], planar[c], &centre))
                        consider(centre, false);
                    for (int d = c + 1; d < count; ++d) {
                        if (c == a || c == b || d == a || d == b)
                            continue;
                        // (p_b - p_a) . x = (|p_b|^2 - |p_a|^2) / 2, and for c, d.
                        const double m00 = planar[b][0] - planar[a][0];
                        const double m01 = planar[b][1] - planar[a][1];
                        const double m10 = planar[d][0] - planar[c][0];
                        const double m11 = planar[d][1] - planar[c][1];
                        const auto norm2 = [&](int k) {
                            return planar[k][0] * planar[k][0] + planar[k][1] * planar[k][1];
                        };
                        const double r0 = (norm2(b) - norm2(a)) / 2, r1 = (norm2(d) - norm2(c)) / 2;
                        const double det = m00 * m11 - m01 * m10;
                        if (std::abs(det) > 1e-9)
                            consider({(r0 * m11 - m01 * r1) / det, (m00 * r1 - m10 * r0) / det},
                                     true);
                    }
                }
        const TPoints points = In_Frame(Far_Tilted, planar);
        const TMinimaxFit fit =
            Fit_Minimax_Circle(points, Far_Tilted.origin, Far_Tilted.n, TCriterion::MINIMUM_ZONE);
        if (two_and_two)
            QVERIFY2(fit.fitted,
                     qPrintable(QString("set %1: %2").arg(set).arg(fit.failure.c_str())));
        if (fit.fitted) {
            ++fitted;
            QVERIFY2(std::abs(fit.form - best) <= Length_Tolerance(points),
                     qPrintable(QString("set %1: %2 against %3").arg(set).arg(fit.form).arg(best)));
        }
    }
    QVERIFY2(fitted >= 100, qPrintable(QString::number(fitted)));
}

// The smallest circle holding a few points passes through two of them as
// a diameter or through three.
void TestMinimaxCircles::circumscribed_brute_force()
{
    TNumbers numbers(29);
    for (int set = 0; set < 300; ++set) {
        const int count = 2 + set % 8;
        std::vector<TPlanar> planar;
        for (int i = 0; i < count; ++i)
            planar.push_back({numbers(-10, 10), numbers(-10, 10) * (set % 3 ? 1 : 0.01)});
        double best = std::numeric_limits<double>::infinity();
        const auto consider = [&](const TPlanar &c) { best = std::min(best, Farthest(planar, c)); };
        for (int a = 0; a < count; ++a)
            for (int b = a + 1; b < count; ++b) {
                const TPlanar middle{(planar[a][0] + planar[b][0]) / 2,
                                     (planar[a][1] + planar[b][1]) / 2};
                consider(middle);
                for (int c = b + 1; c < count; ++c) {
                    TPlanar centre;
                    if (Circumcentre(planar[a], planar[b], planar[c], &centre))
                        consider(centre);
                }
            }
        const TPoints points = In_Frame(Far_Tilted, planar);
        const TMinimaxFit fit = Fit_Minimax_Circle(points, Far_Tilted.origin, Far_Tilted.n,
                                                   TCriterion::MINIMUM_CIRCUMSCRIBED);
        QVERIFY2(fit.fitted, qPrintable(QString("set %1: %2").arg(set).arg(fit.failure.c_str())));
        QVERIFY2(
            std::abs(fit.diameter - 2 * best) <= Length_Tolerance(points),
            qPrintable(QString("set %1: %2 against %3").arg(set).arg(fit.diameter).arg(2 * best)));
    }
}

// The largest empty circle centred in the hull of a few points: centred where
// three points round it are nearest, or where a bisector of two crosses an
// edge of the hull. The fit must find the first when it wins and refuse when
// the second does.
void TestMinimaxCircles::inscribed_brute_force()
{
    TNumbers numbers(31);
    int fitted = 0;
    for (int set = 0; set < 300; ++set) {
        const int count = 3 + set % 8;
        std::vector<TPlanar> planar;
        for (int i = 0; i < count; ++i)
            planar.push_back({numbers(-10, 10), numbers(-10, 10)});
        double inside = 0, boundary = 0;
        for (int a = 0; a < count; ++a)
            for (int b = 0; b < count; ++b) {
                if (a == b)
                    continue;
                bool edge = true;
                for (int k = 0; k < count; ++k)
                    edge = edge && Cross(planar[a], planar[b], planar[k]) >= 0;
                if (edge) {
                    // Where the bisector of each pair crosses the edge a -> b.
                    for (int i = 0; i < count; ++i)
                        for (int j = i + 1; j < count; ++j) {
                            const double dx = planar[b][0] - planar[a][0];
                            const double dy = planar[b][1] - planar[a][1];
                            const double mx = planar[j][0] - planar[i][0];
                            const double my = planar[j][1] - planar[i][1];
                            const double den = mx * dx + my * dy;
                            if (std::abs(den) < 1e-12)
                                continue;
                            const double mid =
                                (planar[j][0] * planar[j][0] + planar[j][1] * planar[j][1] -
                                 planar[i][0] * planar[i][0] - planar[i][1] * planar[i][1]) /
                                2;
                            const double t = (mid - mx * planar[a][0] - my * planar[a][1]) / den;
                            if (t >= 0 && t <= 1)
                                boundary =
                                    std::max(boundary, Nearest(planar, {planar[a][0] + t * dx,
                                                                        planar[a][1] + t * dy}));
                        }
                }
                for (int c = 0; c < count; ++c) {
                    TPlanar centre;
                    if (a < b && b < c && Circumcentre(planar[a], planar[b], planar[c], &centre)) {
                        const double s = Cross(planar[a], planar[b], planar[c]) > 0 ? 1 : -1;
                        if (s * Cross(planar[a], planar[b], centre) >= 0 &&
                            s * Cross(planar[b], planar[c], centre) >= 0 &&
                            s * Cross(planar[c], planar[a], centre) >= 0)
                            inside = std::max(inside, Nearest(planar, centre));
                    }
                }
            }
        const TPoints points = In_Frame(Far_Tilted, planar);
        const TMinimaxFit fit = Fit_Minimax_Circle(points, Far_Tilted.origin, Far_Tilted.n,
                                                   TCriterion::MAXIMUM_INSCRIBED);
        if (inside > boundary + 1e-6) {
            QVERIFY2(fit.fitted,
                     qPrintable(QString("set %1: %2").arg(set).arg(fit.failure.c_str())));
            ++fitted;
            QVERIFY2(
                std::abs(fit.diameter - 2 * inside) <= Length_Tolerance(points),
                qPrintable(
                    QString("set %1: %2 against %3").arg(set).arg(fit.diameter).arg(2 * inside)));
        } else if (boundary > inside + 1e-6) {
            QVERIFY2(!fit.fitted, qPrintable(QString("set %1 fitted").arg(set)));
        }
    }
    QVERIFY2(fitted >= 50, qPrintable(QString::number(fitted)));
}

void TestMinimaxCircles::failures()
{
    const TVector3 z(0, 0, 1);
    const TVector3 o(0, 0, 0);
    const TPoints three{TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(-1, 0, 0)};
    QCOMPARE(Fit_Minimax_Circle(three, o, z, TCriterion::MINIMUM_ZONE).failure,
             std::string("too few points: a circle's zone needs at least 4"));
    QCOMPARE(Fit_Minimax_Circle({three[0]}, o, z, TCriterion::MINIMUM_CIRCUMSCRIBED).failure,
             std::string("too few points: a circumscribed circle needs at least 2"));
    QCOMPARE(Fit_Minimax_Circle({three[0], three[1]}, o, z, TCriterion::MAXIMUM_INSCRIBED).failure,
             std::string("too few points: an inscribed circle needs at least 3"));
    const TPoints line{TVector3(0, 0, 0), TVector3(1, 1, 0), TVector3(2, 2, 4), TVector3(3, 3, 0)};
    QCOMPARE(Fit_Minimax_Circle(line, o, z, TCriterion::MINIMUM_ZONE).failure,
             std::string("collinear points"));
    QCOMPARE(Fit_Minimax_Circle(line, o, z, TCriterion::MAXIMUM_INSCRIBED).failure,
             std::string("collinear points"));
    // Collinear points still have a smallest circle: the ends as diameter.
    const TMinimaxFit ends = Fit_Minimax_Circle(line, o, z, TCriterion::MINIMUM_CIRCUMSCRIBED);
    QVERIFY2(ends.fitted, ends.failure.c_str());
    QCOMPARE(ends.diameter, 3 * std::sqrt(2.0));
    QCOMPARE(Sorted(ends.outer_contacts), (std::vector<int>{0, 3}));
    QCOMPARE(Fit_Minimax_Circle({TVector3(1, 1, 0), TVector3(1, 1, 5)}, o, z,
                                TCriterion::MINIMUM_CIRCUMSCRIBED)
                 .failure,
             std::string("coincident points"));
}

void TestMinimaxCircles::nudged_refused_data()
{
    QTest::addColumn<TCriterion>("criterion");
    QTest::newRow("zone") << TCriterion::MINIMUM_ZONE;
    QTest::newRow("circumscribed") << TCriterion::MINIMUM_CIRCUMSCRIBED;
    QTest::newRow("inscribed") << TCriterion::MAXIMUM_INSCRIBED;
}

void TestMinimaxCircles::nudged_refused()
{
    QFETCH(TCriterion, criterion);
    const double R = 20, F = 0.002;
    TCircleCase data;
    if (criterion == TCriterion::MINIMUM_ZONE)
        data = Circle_Case(Far_Tilted, 2 * Pi, {0, Pi, Pi / 2, 3 * Pi / 2},
                           {R + F / 2, R + F / 2, R - F / 2, R - F / 2}, 2, R - 0.45 * F,
                           R + 0.45 * F, 400);
    else if (criterion == TCriterion::MINIMUM_CIRCUMSCRIBED)
        data = Circle_Case(Far_Tilted, 2 * Pi, {0.2, 2.3, 4.5}, {R, R, R}, 3, 0, 0.95 * R, 400);
    else
        data =
            Circle_Case(Far_Tilted, 2 * Pi, {1.6, 3.6, 5.8}, {R, R, R}, 0, 1.05 * R, 1.3 * R, 400);
    const TVector3 &o = Far_Tilted.origin;
    const TVector3 &n = Far_Tilted.n;
    const TMinimaxFit fit = Fit_Minimax_Circle(data.points, o, n, criterion);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QCOMPARE(Minimax_Circle_Refusal(data.points, o, n, criterion, fit), std::string());
    const double nudge = 1e-6;
    std::vector<TMinimaxFit> nudged(5, fit);
    nudged[0].position = fit.position + Far_Tilted.u * nudge;
    nudged[1].position = fit.position + Far_Tilted.v * nudge;
    nudged[2].diameter = fit.diameter - nudge;
    nudged[3].diameter = fit.diameter + nudge;
    if (criterion == TCriterion::MINIMUM_ZONE)
        std::swap(nudged[4].outer_contacts[1], nudged[4].inner_contacts[0]);
    else
        std::swap(nudged[4].outer_contacts, nudged[4].inner_contacts);
    for (size_t k = 0; k < nudged.size(); ++k)
        QVERIFY2(!Minimax_Circle_Refusal(data.points, o, n, criterion, nudged[k]).empty(),
                 qPrintable(QString("nudge %1 accepted").arg(k)));
}

QTEST_APPLESS_MAIN(TestMinimaxCircles)
#include "test_minimax_circles.moc"
