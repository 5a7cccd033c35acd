#include "fitting/least_squares_fit.h"
#include "fitting/minimax_fit.h"
#include "minimax_construction.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

Q_DECLARE_METATYPE(TPoints)
Q_DECLARE_METATYPE(std::string)

namespace {

// The designed cylinder about the frame's n through its origin: contacts
// exactly in an optimal configuration, the other points strictly inside
// the zone (circumscribed: inside, inscribed: outside) by 5 % of its width
// or more.
struct TDesign
{
    TPoints points;
    TVector3 point; // on the axis
    TVector3 axis;
    double diameter = 0;
    double form = 0;
    std::vector<int> outer;
    std::vector<int> inner;
};

const double Radius = 25;
const double Length = 50;

// A point at the angle round the axis (degrees) and the height along it.
TVector3 On_Cylinder(const TFrame &frame, double degrees, double height, double radius)
{
    const double turn = degrees * Pi / 180;
    return frame.At(radius * std::cos(turn), radius * std::sin(turn), height);
}

// Filling: 24 angles by 9 heights, at a depth of the zone's given by depth(fraction).
template <typename TDepth> void Fill(const TFrame &frame, TDepth depth, TDesign &design)
{
    std::uint64_t state = 11;
    for (int i = 0; i < 24; ++i) {
        for (int j = 0; j < 9; ++j) {
            design.points.push_back(
                On_Cylinder(frame, 15.0 * i + 7, Length * (j / 8.0 - 0.5), depth(Fraction(state))));
        }
    }
}

// Minimum zone: outer contacts at 0, 120 and 240 degrees at one height,
// inner ones at 60, 180 and 300 degrees at another: each side's radial
// directions balance at one height each, and the six bounds are
// independent, a strict optimum.
// Circumscribed and inscribed: one contact at 90 degrees half way, four at
// 210 and 330 degrees at both ends; multipliers 1/3 and 1/6, five
// independent bounds.
TDesign Cylinder_Design(TCriterion criterion, double distance, double width)
{
    const TFrame frame = Tilted_Frame(distance);
    TDesign design;
    design.point = frame.origin;
    design.axis = frame.n;
    design.diameter = 2 * Radius;
    const double h = 0.4 * Length;
    if (criterion == TCriterion::MINIMUM_ZONE) {
        design.form = width;
        Fill(
            frame, [&](double f) { return Radius + 0.45 * width * (2 * f - 1); }, design);
        for (int i = 0; i < 3; ++i) {
            design.outer.push_back(static_cast<int>(design.points.size()));
            design.points.push_back(On_Cylinder(frame, 120.0 * i, h, Radius + width / 2));
            design.inner.push_back(static_cast<int>(design.points.size()));
            design.points.push_back(On_Cylinder(frame, 120.0 * i + 60, -h, Radius - width / 2));
        }
        return design;
    }
    const bool circumscribed = criterion == TCriterion::MINIMUM_CIRCUMSCRIBED;
    const double sign = circumscribed ? -1 : 1;
    design.form = 0;
    Fill(
        frame,
        [&](double f) {
            const double depth = width * (0.05 + 0.95 * f);
            design.form = std::max(design.form, depth);
            return Radius + sign * depth;
        },
        design);
    std::vector<int> &contacts = circumscribed ? design.outer : design.inner;
    contacts.push_back(static_cast<int>(design.points.size()));
    design.points.push_back(On_Cylinder(frame, 90, 0, Radius));
    for (double height : {h, -h}) {
        for (double degrees : {210.0, 330.0}) {
            contacts.push_back(static_cast<int>(design.points.size()));
            design.points.push_back(On_Cylinder(frame, degrees, height, Radius));
        }
    }
    return design;
}

// Two local optima. The rival axis B (the frame's u) crosses the designed
// axis A (n); both have radius 25. Most points lie exactly on B near where
// the two cylinders meet (their distances from A within 0.45 F of the
// radius), so that the least-squares axis is B; A's eight contacts, at
// 45, 225 (outer) and 135, 315 degrees (inner) at two heights each, lie
// 2 F off B. A's zone is F wide and a strict optimum; B's local one about
// 2 F.
TDesign Two_Optima_Design(double width)
{
    const TFrame frame = Tilted_Frame(1000);
    TDesign design;
    design.point = frame.origin;
    design.axis = frame.n;
    design.diameter = 2 * Radius;
    design.form = width;
    for (int i = 0; i < 200; ++i) {
        for (int j = 0; j < 5; ++j) {
            const double phi = 2 * Pi * (i + 0.5) / 200;
            const double rho = Radius + 0.45 * width * (j / 2.0 - 1);
            const double across = rho * rho - Radius * Radius * std::cos(phi) * std::cos(phi);
            for (double sign : {1.0, -1.0}) {
                if (across >= 0) {
                    design.points.push_back(frame.At(
                        sign * std::sqrt(across), Radius * std::cos(phi), Radius * std::sin(phi)));
                }
            }
        }
    }
    for (bool outer : {true, false}) {
        const double radius = Radius + (outer ? 0.5 : -0.5) * width;
        const double off_b = Radius + (outer ? 2 : -2) * width;
        const double height = std::sqrt(off_b * off_b - radius * radius / 2);
        for (double h : {height, -height}) {
            for (double degrees :
                 outer ? std::vector<double>{45, 225} : std::vector<double>{135, 315}) {
                (outer ? design.outer : design.inner)
                    .push_back(static_cast<int>(design.points.size()));
                design.points.push_back(On_Cylinder(frame, degrees, h, radius));
            }
        }
    }
    return design;
}

std::vector<int> Sorted(std::vector<int> indices)
{
    std::sort(indices.begin(), indices.end());
    return indices;
}

// The angle between two axes, whatever their signs.
double Axis_Angle(const TVector3 &a, const TVector3 &b)
{
    const TVector3 across = Unit_Along(a) * Unit_Along(b);
    return std::asin(std::min(1.0, std::sqrt(across ^ across)));
}

} // namespace

class TestMinimaxCylinder : public QObject
{
    Q_OBJECT

private slots:
    void Designed_data();
    void Designed();
    void Nudged_Rejected_data();
    void Nudged_Rejected();
    void Two_Local_Optima_data();
    void Two_Local_Optima();
    void Exact_Points_data();
    void Exact_Points();
    void Refused_data();
    void Refused();
};

void TestMinimaxCylinder::Designed_data()
{
    Add_Designed_Rows({1e-4, 0.01, 0.5});
}

void TestMinimaxCylinder::Designed()
{
    QFETCH(TCriterion, criterion);
    QFETCH(double, distance);
    QFETCH(double, width);
    const TDesign design = Cylinder_Design(criterion, distance, width);
    const TMinimaxFit fit = Fit_Minimax_Cylinder(design.points, criterion);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QVERIFY2(Axis_Angle(fit.direction, design.axis) < 1e-11,
             qPrintable(QString::number(Axis_Angle(fit.direction, design.axis))));
    QVERIFY(Axis_Distance(fit.position, design.point, design.axis) < 1e-9);
    // The axis point nearest the points' centroid.
    TVector3 centroid;
    for (const TVector3 &p : design.points)
        centroid = centroid + p;
    centroid = centroid / static_cast<double>(design.points.size());
    QVERIFY(std::abs((centroid - fit.position) ^ fit.direction) < 1e-9);
    QVERIFY2(std::abs(fit.diameter - design.diameter) < 1e-9,
             qPrintable(QString::number(fit.diameter - design.diameter)));
    QVERIFY(std::abs(fit.form - design.form) < 1e-9);
    QCOMPARE(Sorted(fit.outer_contacts), Sorted(design.outer));
    QCOMPARE(Sorted(fit.inner_contacts), Sorted(design.inner));
    QVERIFY(std::abs(std::sqrt(fit.direction ^ fit.direction) - 1) < 1e-15);
    QCOMPARE(Minimax_Cylinder_Certificate(design.points, criterion, fit), std::string());
}

void TestMinimaxCylinder::Nudged_Rejected_data()
{
    QTest::addColumn<TCriterion>("criterion");
    QTest::addColumn<double>("shift");
    QTest::addColumn<double>("turn");
    for (TCriterion criterion : {TCriterion::MINIMUM_ZONE, TCriterion::MINIMUM_CIRCUMSCRIBED,
                                 TCriterion::MAXIMUM_INSCRIBED}) {
        const char *name = Criterion_Name(criterion);
        QTest::addRow("%s, shifted 1e-6 mm", name) << criterion << 1e-6 << 0.0;
        QTest::addRow("%s, turned 1e-7 rad", name) << criterion << 0.0 << 1e-7;
    }
}

// The axis moved, its diameter, form and contacts those of the moved axis:
// only the optimality conditions can tell.
void TestMinimaxCylinder::Nudged_Rejected()
{
    QFETCH(TCriterion, criterion);
    QFETCH(double, shift);
    QFETCH(double, turn);
    const TDesign design = Cylinder_Design(criterion, 1000, 0.01);
    TMinimaxFit fit = Fit_Minimax_Cylinder(design.points, criterion);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    const TVector3 across = Unit_Along(fit.direction * TVector3(1, 0.3, -0.2));
    fit.position = fit.position + across * shift;
    fit.direction = Unit_Along(fit.direction + across * turn);
    double outer = 0;
    double inner = HUGE_VAL;
    for (const TVector3 &p : design.points) {
        outer = std::max(outer, Axis_Distance(p, fit.position, fit.direction));
        inner = std::min(inner, Axis_Distance(p, fit.position, fit.direction));
    }
    fit.form = outer - inner;
    fit.diameter = criterion == TCriterion::MINIMUM_ZONE            ? outer + inner
                   : criterion == TCriterion::MINIMUM_CIRCUMSCRIBED ? 2 * outer
                                                                    : 2 * inner;
    fit.outer_contacts.clear();
    fit.inner_contacts.clear();
    const std::string reason = Minimax_Cylinder_Certificate(design.points, criterion, fit);
    QVERIFY2(reason.rfind("not stationary", 0) == 0, reason.c_str());
}

void TestMinimaxCylinder::Two_Local_Optima_data()
{
    QTest::addColumn<double>("width");
    QTest::newRow("F 0.0001") << 1e-4;
    QTest::newRow("F 0.01") << 0.01;
}

void TestMinimaxCylinder::Two_Local_Optima()
{
    QFETCH(double, width);
    const TDesign design = Two_Optima_Design(width);
    const TFrame frame = Tilted_Frame(1000);
    const TFit least = Fit_Cylinder(design.points);
    QVERIFY(least.fitted);
    QVERIFY(Axis_Angle(least.direction, frame.u) < 1e-3);

    // From the least-squares axis alone: the worse optimum, certified.
    TMinimaxFit start;
    start.position = least.position;
    start.direction = least.direction;
    const TMinimaxFit local =
        Refine_Minimax_Cylinder(design.points, TCriterion::MINIMUM_ZONE, start);
    QVERIFY2(local.fitted, local.failure.c_str());
    QVERIFY(Axis_Angle(local.direction, frame.u) < 1e-2);
    QVERIFY(local.form > 1.5 * width);
    QCOMPARE(Minimax_Cylinder_Certificate(design.points, TCriterion::MINIMUM_ZONE, local),
             std::string());

    const TMinimaxFit fit = Fit_Minimax_Cylinder(design.points, TCriterion::MINIMUM_ZONE);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QVERIFY(Axis_Angle(fit.direction, design.axis) < 1e-11);
    QVERIFY(Axis_Distance(fit.position, design.point, design.axis) < 1e-9);
    QVERIFY(std::abs(fit.diameter - design.diameter) < 1e-9);
    QVERIFY(std::abs(fit.form - design.form) < 1e-9);
    QCOMPARE(Sorted(fit.outer_contacts), Sorted(design.outer));
    QCOMPARE(Sorted(fit.inner_contacts), Sorted(design.inner));

    // Given the worse optimum as its start, the search still finds the better.
    const TMinimaxFit started =
        Fit_Minimax_Cylinder(design.points, TCriterion::MINIMUM_ZONE, &local);
    QVERIFY(started.fitted && std::abs(started.form - design.form) < 1e-9);
}

void TestMinimaxCylinder::Exact_Points_data()
{
    QTest::addColumn<TCriterion>("criterion");
    QTest::newRow("zone") << TCriterion::MINIMUM_ZONE;
    QTest::newRow("circumscribed") << TCriterion::MINIMUM_CIRCUMSCRIBED;
    QTest::newRow("inscribed") << TCriterion::MAXIMUM_INSCRIBED;
}

// Every point on the surface: every one a contact, on both boundaries of a
// zone of no width.
void TestMinimaxCylinder::Exact_Points()
{
    QFETCH(TCriterion, criterion);
    const TFrame frame = Tilted_Frame(1000);
    TPoints points;
    for (int i = 0; i < 30; ++i) {
        for (int j = 0; j < 6; ++j) {
            points.push_back(On_Cylinder(frame, 12.0 * i, 10.0 * j, Radius));
        }
    }
    const TMinimaxFit fit = Fit_Minimax_Cylinder(points, criterion);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    QVERIFY(Axis_Angle(fit.direction, frame.n) < 1e-11);
    QVERIFY(Axis_Distance(fit.position, frame.origin, frame.n) < 1e-9);
    QVERIFY(std::abs(fit.diameter - 2 * Radius) < 1e-9);
    QVERIFY(fit.form < 1e-9);
}

void TestMinimaxCylinder::Refused_data()
{
    QTest::addColumn<TPoints>("points");
    QTest::addColumn<TCriterion>("criterion");
    QTest::addColumn<std::string>("failure");
    const TFrame frame = Tilted_Frame(100);
    TPoints half;
    for (int i = 0; i < 19; ++i) {
        for (int j = 0; j < 5; ++j) {
            half.push_back(On_Cylinder(frame, 10.0 * i - 90, 10.0 * j, Radius));
        }
    }
    TPoints flat;
    for (int i = 0; i < 20; ++i) {
        flat.push_back(frame.At(i % 5, i / 5, 0));
    }
    TPoints non_finite = half;
    non_finite[3].z = std::nan("");
    // The largest empty cylinder of half a cylinder's points grows towards
    // its open side until the axis leaves the points' projections.
    QTest::newRow("zone, 5 points")
        << TPoints(flat.begin(), flat.begin() + 5) << TCriterion::MINIMUM_ZONE
        << std::string("too few points: a cylinder needs at least 6");
    QTest::newRow("circumscribed, 4 points")
        << TPoints(flat.begin(), flat.begin() + 4) << TCriterion::MINIMUM_CIRCUMSCRIBED
        << std::string("too few points: a cylinder needs at least 5");
    QTest::newRow("inscribed, 4 points")
        << TPoints(flat.begin(), flat.begin() + 4) << TCriterion::MAXIMUM_INSCRIBED
        << std::string("too few points: a cylinder needs at least 5");
    // 120 degrees: the smallest circle of each section has the chord as
    // its diameter and touches at two points; curvature, not the contacts,
    // makes it a minimum.
    TPoints third;
    for (int i = 0; i <= 12; ++i) {
        for (int j = 0; j < 6; ++j) {
            third.push_back(On_Cylinder(frame, 10.0 * i - 60, 10.0 * j, Radius));
        }
    }
    QTest::newRow("circumscribed, 120 degrees")
        << third << TCriterion::MINIMUM_CIRCUMSCRIBED << std::string("not certified");
    QTest::newRow("inscribed, 180 degrees")
        << half << TCriterion::MAXIMUM_INSCRIBED << std::string("not certified");
    QTest::newRow("zone, coplanar")
        << flat << TCriterion::MINIMUM_ZONE << std::string("coplanar points");
    QTest::newRow("circumscribed, non-finite")
        << non_finite << TCriterion::MINIMUM_CIRCUMSCRIBED << std::string("non-finite coordinates");
    QTest::newRow("least squares")
        << half << TCriterion::LEAST_SQUARES << std::string("least squares is no minimax");
}

void TestMinimaxCylinder::Refused()
{
    QFETCH(TPoints, points);
    QFETCH(TCriterion, criterion);
    QFETCH(std::string, failure);
    const TMinimaxFit fit = Fit_Minimax_Cylinder(points, criterion);
    QVERIFY(!fit.fitted);
    QVERIFY2(fit.failure.rfind(failure, 0) == 0, fit.failure.c_str());
}

QTEST_APPLESS_MAIN(TestMinimaxCylinder)
#include "test_minimax_cylinder.moc"
