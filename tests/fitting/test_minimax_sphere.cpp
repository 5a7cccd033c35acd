#include "fitting/minimax_fit.h"
#include "minimax_construction.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

Q_DECLARE_METATYPE(TPoints)
Q_DECLARE_METATYPE(std::string)

namespace {

// The designed sphere: its contacts exactly in an optimal configuration,
// the other points strictly inside the zone by 5 % of its width or more.
struct TDesign
{
    TPoints points;
    TVector3 centre;
    double diameter = 0;
    double form = 0;
    std::vector<int> outer;
    std::vector<int> inner;
};

const double Radius = 40;
const int Filling = 400;

// Minimum zone: two outer contacts opposite along n, three inner ones 120
// degrees apart round it: each side's unit vectors sum to zero, and the five
// bounds are independent, a strict optimum.
TDesign Zone_Design(double distance, double width)
{
    const TFrame frame = Tilted_Frame(distance);
    TDesign design;
    design.centre = frame.origin;
    design.diameter = 2 * Radius;
    design.form = width;
    std::uint64_t state = 17;
    for (const TVector3 &d : Sphere_Directions(frame, Filling)) {
        design.points.push_back(frame.origin +
                                d * (Radius + 0.45 * width * (2 * Fraction(state) - 1)));
    }
    for (double sign : {1.0, -1.0}) {
        design.outer.push_back(static_cast<int>(design.points.size()));
        design.points.push_back(frame.At(0, 0, sign * (Radius + width / 2)));
    }
    for (int i = 0; i < 3; ++i) {
        const double turn = 2 * Pi * i / 3 + 0.3;
        design.inner.push_back(static_cast<int>(design.points.size()));
        design.points.push_back(frame.At(std::cos(turn) * (Radius - width / 2),
                                         std::sin(turn) * (Radius - width / 2), 0));
    }
    return design;
}

// The vertices of a regular tetrahedron round the centre: the centre inside
// their hull, four independent contacts.
std::vector<TVector3> Tetrahedron(const TFrame &frame)
{
    const double s = 1 / std::sqrt(3.0);
    return {frame.Along(s, s, s), frame.Along(s, -s, -s), frame.Along(-s, s, -s),
            frame.Along(-s, -s, s)};
}

// Circumscribed: the tetrahedron's vertices on the sphere, the rest inside.
// Inscribed: on it, the rest outside.
TDesign Round_Design(double distance, double width, bool circumscribed)
{
    const TFrame frame = Tilted_Frame(distance);
    TDesign design;
    design.centre = frame.origin;
    design.diameter = 2 * Radius;
    const double sign = circumscribed ? -1 : 1;
    std::uint64_t state = 5;
    double farthest = 0;
    for (const TVector3 &d : Sphere_Directions(frame, Filling)) {
        const double depth = width * (0.05 + 0.95 * Fraction(state));
        design.points.push_back(frame.origin + d * (Radius + sign * depth));
        farthest = std::max(farthest, depth);
    }
    for (const TVector3 &d : Tetrahedron(frame)) {
        (circumscribed ? design.outer : design.inner)
            .push_back(static_cast<int>(design.points.size()));
        design.points.push_back(frame.origin + d * Radius);
    }
    design.form = farthest;
    return design;
}

std::vector<int> Sorted(std::vector<int> indices)
{
    std::sort(indices.begin(), indices.end());
    return indices;
}

// The smallest sphere of the points by enumeration: every sphere through 2,
// 3 or 4 of them with the others on or inside it.
double Enumerated_Radius(const TPoints &points, TVector3 &centre)
{
    const int n = static_cast<int>(points.size());
    double best = HUGE_VAL;
    const auto consider = [&](const TVector3 &c) {
        double r = 0;
        for (const TVector3 &p : points)
            r = std::max(r, Distance(p, c));
        if (r < best) {
            best = r;
            centre = c;
        }
    };
    for (int a = 0; a < n; ++a) {
        for (int b = a + 1; b < n; ++b) {
            consider((points[a] + points[b]) / 2);
            for (int c = b + 1; c < n; ++c) {
                // The circumcentre of a, b, c in their plane.
                const TVector3 e = points[b] - points[a];
                const TVector3 f = points[c] - points[a];
                const TVector3 g = e * f;
                if ((g ^ g) < 1e-12) {
                    continue; // collinear: no circle
                }
                const TVector3 o = (g * e * (f ^ f) + f * g * (e ^ e)) * (1 / (2 * (g ^ g)));
                consider(points[a] + o);
                for (int d = c + 1; d < n; ++d) {
                    // The circumcentre of the tetrahedron.
                    const TVector3 h = points[d] - points[a];
                    const double volume = 2 * (e ^ (f * h));
                    if (std::abs(volume) < 1e-9) {
                        continue; // coplanar: no sphere
                    }
                    const TVector3 q =
                        ((f * h) * (e ^ e) + (h * e) * (f ^ f) + (e * f) * (h ^ h)) * (1 / volume);
                    consider(points[a] + q);
                }
            }
        }
    }
    return best;
}

} // namespace

class TestMinimaxSphere : public QObject
{
    Q_OBJECT

private slots:
    void Designed_data();
    void Designed();
    void Enclosing_Enumerated_data();
    void Enclosing_Enumerated();
    void Nudged_Rejected_data();
    void Nudged_Rejected();
    void Exact_Points_data();
    void Exact_Points();
    void Refused_data();
    void Refused();
};

void TestMinimaxSphere::Designed_data()
{
    Add_Designed_Rows({1e-4, 0.01, 1.0});
}

void TestMinimaxSphere::Designed()
{
    QFETCH(TCriterion, criterion);
    QFETCH(double, distance);
    QFETCH(double, width);
    const TDesign design =
        criterion == TCriterion::MINIMUM_ZONE
            ? Zone_Design(distance, width)
            : Round_Design(distance, width, criterion == TCriterion::MINIMUM_CIRCUMSCRIBED);
    const TMinimaxFit fit = Fit_Minimax_Sphere(design.points, criterion);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QVERIFY2(Distance(fit.position, design.centre) < 1e-9,
             qPrintable(QString::number(Distance(fit.position, design.centre))));
    QVERIFY(std::abs(fit.diameter - design.diameter) < 1e-9);
    QVERIFY(std::abs(fit.form - design.form) < 1e-9);
    QCOMPARE(Sorted(fit.outer_contacts), design.outer);
    QCOMPARE(Sorted(fit.inner_contacts), design.inner);
    QVERIFY(fit.direction.x == 0 && fit.direction.y == 0 && fit.direction.z == 0);
    QCOMPARE(Minimax_Sphere_Certificate(design.points, criterion, fit), std::string());
}

void TestMinimaxSphere::Enclosing_Enumerated_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("seed");
    for (int count : {2, 3, 5, 8}) {
        for (int seed = 1; seed <= 6; ++seed) {
            QTest::addRow("%d points, set %d", count, seed) << count << seed;
        }
    }
}

// Small sets in a flat box far from the origin, where two, three and four
// contacts all occur.
void TestMinimaxSphere::Enclosing_Enumerated()
{
    QFETCH(int, count);
    QFETCH(int, seed);
    std::uint64_t state = static_cast<std::uint64_t>(seed) * 7919;
    TPoints points;
    for (int i = 0; i < count; ++i) {
        points.emplace_back(1000 + 30 * Fraction(state), -2000 + 20 * Fraction(state),
                            500 + 10 * Fraction(state));
    }
    TVector3 centre;
    const double radius = Enumerated_Radius(points, centre);
    const TMinimaxFit fit = Fit_Minimax_Sphere(points, TCriterion::MINIMUM_CIRCUMSCRIBED);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QVERIFY(std::abs(fit.diameter - 2 * radius) < 1e-9);
    QVERIFY(Distance(fit.position, centre) < 1e-8);
    QVERIFY(fit.outer_contacts.size() >= 2);
    QVERIFY(fit.inner_contacts.empty());
}

void TestMinimaxSphere::Nudged_Rejected_data()
{
    QTest::addColumn<TCriterion>("criterion");
    QTest::addColumn<double>("nudge");
    for (double nudge : {1e-6, 1e-3}) {
        QTest::addRow("zone, %g mm", nudge) << TCriterion::MINIMUM_ZONE << nudge;
        QTest::addRow("circumscribed, %g mm", nudge) << TCriterion::MINIMUM_CIRCUMSCRIBED << nudge;
        QTest::addRow("inscribed, %g mm", nudge) << TCriterion::MAXIMUM_INSCRIBED << nudge;
    }
}

// The centre moved, its diameter, form and contacts those of the moved
// centre: only the optimality conditions can tell.
void TestMinimaxSphere::Nudged_Rejected()
{
    QFETCH(TCriterion, criterion);
    QFETCH(double, nudge);
    const TDesign design =
        criterion == TCriterion::MINIMUM_ZONE
            ? Zone_Design(1000, 0.01)
            : Round_Design(1000, 0.01, criterion == TCriterion::MINIMUM_CIRCUMSCRIBED);
    TMinimaxFit fit = Fit_Minimax_Sphere(design.points, criterion);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    fit.position = fit.position + Unit_Along(TVector3(1, 2, -2)) * nudge;
    double outer = 0;
    double inner = HUGE_VAL;
    for (const TVector3 &p : design.points) {
        outer = std::max(outer, Distance(p, fit.position));
        inner = std::min(inner, Distance(p, fit.position));
    }
    fit.form = outer - inner;
    fit.diameter = criterion == TCriterion::MINIMUM_ZONE            ? outer + inner
                   : criterion == TCriterion::MINIMUM_CIRCUMSCRIBED ? 2 * outer
                                                                    : 2 * inner;
    fit.outer_contacts.clear();
    fit.inner_contacts.clear();
    const std::string reason = Minimax_Sphere_Certificate(design.points, criterion, fit);
    QVERIFY2(reason.rfind("not stationary", 0) == 0, reason.c_str());
}

void TestMinimaxSphere::Exact_Points_data()
{
    QTest::addColumn<TCriterion>("criterion");
    QTest::newRow("zone") << TCriterion::MINIMUM_ZONE;
    QTest::newRow("circumscribed") << TCriterion::MINIMUM_CIRCUMSCRIBED;
    QTest::newRow("inscribed") << TCriterion::MAXIMUM_INSCRIBED;
}

// Every point on the surface: every one a contact, on both boundaries of a
// zone of no width.
void TestMinimaxSphere::Exact_Points()
{
    QFETCH(TCriterion, criterion);
    const TFrame frame = Tilted_Frame(1000);
    TPoints points;
    for (const TVector3 &d : Sphere_Directions(frame, 500)) {
        points.push_back(frame.origin + d * Radius);
    }
    const TMinimaxFit fit = Fit_Minimax_Sphere(points, criterion);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QVERIFY(Distance(fit.position, frame.origin) < 1e-9);
    QVERIFY(std::abs(fit.diameter - 2 * Radius) < 1e-9);
    QVERIFY(fit.form < 1e-9);
}

void TestMinimaxSphere::Refused_data()
{
    QTest::addColumn<TPoints>("points");
    QTest::addColumn<TCriterion>("criterion");
    QTest::addColumn<std::string>("failure");
    const TFrame frame = Tilted_Frame(100);
    TPoints hemisphere;
    for (const TVector3 &d : Sphere_Directions(frame, 400)) {
        if ((d ^ frame.n) >= 0) {
            hemisphere.push_back(frame.origin + d * Radius);
        }
    }
    TPoints flat;
    for (int i = 0; i < 20; ++i) {
        flat.push_back(frame.At(i % 5, i / 5, 0));
    }
    TPoints non_finite = flat;
    non_finite[7].y = std::nan("");
    // The largest empty sphere of a hemisphere's points grows towards its
    // open side until its centre meets the hull's flat face: not the free
    // optimum the conditions certify.
    QTest::newRow("zone, 4 points")
        << TPoints(flat.begin(), flat.begin() + 4) << TCriterion::MINIMUM_ZONE
        << std::string("too few points: a sphere needs at least 5");
    QTest::newRow("circumscribed, 1 points")
        << TPoints(flat.begin(), flat.begin() + 1) << TCriterion::MINIMUM_CIRCUMSCRIBED
        << std::string("too few points: a sphere needs at least 2");
    QTest::newRow("inscribed, 3 points")
        << TPoints(flat.begin(), flat.begin() + 3) << TCriterion::MAXIMUM_INSCRIBED
        << std::string("too few points: a sphere needs at least 4");
    QTest::newRow("inscribed, hemisphere")
        << hemisphere << TCriterion::MAXIMUM_INSCRIBED << std::string("not certified");
    QTest::newRow("zone, coplanar")
        << flat << TCriterion::MINIMUM_ZONE << std::string("coplanar points");
    QTest::newRow("inscribed, coplanar")
        << flat << TCriterion::MAXIMUM_INSCRIBED << std::string("coplanar points");
    QTest::newRow("circumscribed, non-finite")
        << non_finite << TCriterion::MINIMUM_CIRCUMSCRIBED << std::string("non-finite coordinates");
    QTest::newRow("least squares")
        << hemisphere << TCriterion::LEAST_SQUARES << std::string("least squares is no minimax");
}

void TestMinimaxSphere::Refused()
{
    QFETCH(TPoints, points);
    QFETCH(TCriterion, criterion);
    QFETCH(std::string, failure);
    const TMinimaxFit fit = Fit_Minimax_Sphere(points, criterion);
    QVERIFY(!fit.fitted);
    QVERIFY2(fit.failure.rfind(failure, 0) == 0, fit.failure.c_str());
}

QTEST_APPLESS_MAIN(TestMinimaxSphere)
#include "test_minimax_sphere.moc"
