#include "validation/cone_apex.h"

#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(TVector3)
Q_DECLARE_METATYPE(TConeApexStatus)

class TestConeApex : public QObject
{
    Q_OBJECT

private slots:
    void apex_data();
    void apex();
    void unit_direction_data();
    void unit_direction();
};

void TestConeApex::apex_data()
{
    QTest::addColumn<TVector3>("point");
    QTest::addColumn<TVector3>("direction");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("diameter");
    QTest::addColumn<TConeApexStatus>("status");
    QTest::addColumn<TVector3>("apex");

    const TVector3 z(0, 0, 1);
    const TVector3 origin(0, 0, 0);
    const double root3 = std::sqrt(3.0);
    // tan(45) = 1, tan(30) = 1/sqrt(3), tan(60) = sqrt(3).
    QTest::newRow("90 degrees") << TVector3(0, 0, 10) << z << 90.0 << 20.0 << TConeApexStatus::FOUND
                                << origin;
    QTest::newRow("60 degrees") << TVector3(1, 2, 3) << z << 60.0 << 2.0 << TConeApexStatus::FOUND
                                << TVector3(1, 2, 3 - root3);
    QTest::newRow("120 degrees") << TVector3(1, 2, 3) << z << 120.0 << 6.0 << TConeApexStatus::FOUND
                                 << TVector3(1, 2, 3 - root3);
    QTest::newRow("direction of any length, tilted")
        << TVector3(13, 24, 5) << TVector3(3, 4, 0) << 90.0 << 10.0 << TConeApexStatus::FOUND
        << TVector3(10, 20, 5);
    QTest::newRow("direction against the axis")
        << TVector3(0, 0, 0) << TVector3(0, 0, -0.5) << 90.0 << 8.0 << TConeApexStatus::FOUND
        << TVector3(0, 0, 4);
    QTest::newRow("diameter 0: the point is the apex")
        << TVector3(7, 8, 9) << z << 30.0 << 0.0 << TConeApexStatus::FOUND << TVector3(7, 8, 9);
    QTest::newRow("tiny direction components")
        << TVector3(13, 24, 5) << TVector3(3e-310, 4e-310, 0) << 90.0 << 10.0
        << TConeApexStatus::FOUND << TVector3(10, 20, 5);
    QTest::newRow("huge direction components")
        << TVector3(13, 24, 5) << TVector3(3e307, 4e307, 0) << 90.0 << 10.0
        << TConeApexStatus::FOUND << TVector3(10, 20, 5);
    // For tiny angles tan(A/2) is A/2 to far below a double's precision.
    QTest::newRow("narrow cone, apex far away")
        << origin << z << 1e-6 << 10.0 << TConeApexStatus::FOUND
        << TVector3(0, 0, -1.8e9 / 3.14159265358979323846);

    for (double angle : {0.0, 180.0, -5.0, 200.0, -0.0}) {
        QTest::newRow(qPrintable(QString("angle %1").arg(angle)))
            << origin << z << angle << 10.0 << TConeApexStatus::ANGLE_OUT_OF_RANGE << origin;
    }
    // Angles the program's 6 decimals write as 0 or 180 degrees.
    for (double angle : {1e-7, WRITTEN_AS_ZERO_ANGLE, WRITTEN_AS_180_ANGLE, 179.9999999}) {
        QTest::newRow(qPrintable(QString("angle %1, written as a limit").arg(angle, 0, 'g', 17)))
            << origin << z << angle << 10.0 << TConeApexStatus::ANGLE_WRITTEN_AS_LIMIT << origin;
    }
    // Half that angle is 2.5e-7 degrees short of a right angle: the apex
    // lies tan(2.5e-7 degrees) times the radius behind the point.
    QTest::newRow("largest angle written")
        << TVector3(0, 0, 1) << z << std::nextafter(WRITTEN_AS_180_ANGLE, 0.0) << 2.0
        << TConeApexStatus::FOUND << TVector3(0, 0, 1 - std::tan(2.5e-7 * M_PI / 180));
    QTest::newRow("smallest angle written")
        << origin << z << std::nextafter(WRITTEN_AS_ZERO_ANGLE, 1.0) << 10.0
        << TConeApexStatus::FOUND << TVector3(0, 0, -5 / std::tan(2.5e-7 * M_PI / 180));
    QTest::newRow("zero direction")
        << origin << TVector3(0, 0, 0) << 30.0 << 10.0 << TConeApexStatus::ZERO_DIRECTION << origin;
    QTest::newRow("distance beyond the range")
        << origin << z << 1.0 << 1e308 << TConeApexStatus::NOT_FINITE << origin;
    QTest::newRow("apex beyond the range")
        << TVector3(0, 0, -1.7e308) << z << 1.0 << 2e306 << TConeApexStatus::NOT_FINITE << origin;
}

void TestConeApex::apex()
{
    QFETCH(TVector3, point);
    QFETCH(TVector3, direction);
    QFETCH(double, angle);
    QFETCH(double, diameter);
    QFETCH(TConeApexStatus, status);
    QFETCH(TVector3, apex);

    const TVector3 untouched(-1, -2, -3);
    TVector3 found = untouched;
    QCOMPARE(Cone_Apex(point, direction, angle, diameter, found), status);
    if (status != TConeApexStatus::FOUND) {
        QCOMPARE(found.x, untouched.x);
        QCOMPARE(found.z, untouched.z);
        return;
    }
    const double scale = std::fabs(apex.x) + std::fabs(apex.y) + std::fabs(apex.z) + 1;
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(std::fabs(found(i) - apex(i)) <= 1e-13 * scale,
                 qPrintable(QString("component %1: %2 instead of %3")
                                .arg(i)
                                .arg(found(i), 0, 'g', 17)
                                .arg(apex(i), 0, 'g', 17)));
    }
}

void TestConeApex::unit_direction_data()
{
    QTest::addColumn<TVector3>("direction");
    QTest::addColumn<bool>("found");
    QTest::addColumn<TVector3>("unit");

    const double smallest = std::numeric_limits<double>::denorm_min();
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("plain") << TVector3(0, 3, -4) << true << TVector3(0, 0.6, -0.8);
    QTest::newRow("smallest number") << TVector3(0, -smallest, 0) << true << TVector3(0, -1, 0);
    QTest::newRow("largest number")
        << TVector3(std::numeric_limits<double>::max(), 0, 0) << true << TVector3(1, 0, 0);
    QTest::newRow("squares would overflow")
        << TVector3(2e200, 2e200, 1e200) << true << TVector3(2 / 3.0, 2 / 3.0, 1 / 3.0);
    QTest::newRow("zero") << TVector3(0, 0, 0) << false << TVector3();
    QTest::newRow("infinite") << TVector3(infinity, 0, 0) << false << TVector3();
}

void TestConeApex::unit_direction()
{
    QFETCH(TVector3, direction);
    QFETCH(bool, found);
    QFETCH(TVector3, unit);
    TVector3 result;
    QCOMPARE(Unit_Direction(direction, result), found);
    if (found) {
        for (int i = 0; i < 3; ++i) {
            QVERIFY(std::fabs(result(i) - unit(i)) <= 1e-15);
        }
    }
}

QTEST_APPLESS_MAIN(TestConeApex)

#include "test_cone_apex.moc"
