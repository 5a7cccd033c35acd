#include "app/window_geometry.h"

#include <QtTest>

class TestWindowGeometry : public QObject
{
    Q_OBJECT

private slots:
    void stored_geometry_is_checked_against_the_screen_data();
    void stored_geometry_is_checked_against_the_screen();
};

void TestWindowGeometry::stored_geometry_is_checked_against_the_screen_data()
{
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");

    const QRect screen(0, 0, 1920, 1040);
    const QRect fallback(30, 30, 800, 600);

    QTest::newRow("wholly on the screen")
        << QPoint(100, 100) << QSize(800, 600) << screen << QRect(100, 100, 800, 600);
    QTest::newRow("partly left of the screen is clipped")
        << QPoint(-200, 0) << QSize(1000, 800) << screen << QRect(0, 0, 800, 800);
    QTest::newRow("500 visible columns are too few")
        << QPoint(1420, 0) << QSize(800, 800) << screen << fallback;
    QTest::newRow("501 visible columns are enough")
        << QPoint(1419, 0) << QSize(800, 800) << screen << QRect(1419, 0, 501, 800);
    QTest::newRow("500 visible rows are too few")
        << QPoint(0, 540) << QSize(1000, 800) << screen << fallback;
    QTest::newRow("501 visible rows are enough")
        << QPoint(0, 539) << QSize(1000, 800) << screen << QRect(0, 539, 1000, 501);
    QTest::newRow("on a monitor beside the screen")
        << QPoint(1920, 0) << QSize(1280, 1024) << screen << fallback;
    QTest::newRow("invalid size read from a wrong type")
        << QPoint(30, 30) << QSize(-1, -1) << screen << fallback;
    QTest::newRow("position read from a wrong type")
        << QPoint(0, 0) << QSize(800, 600) << screen << QRect(0, 0, 800, 600);
    QTest::newRow("default geometry on a small screen is clipped")
        << QPoint(30, 30) << QSize(800, 600) << QRect(0, 0, 800, 600) << QRect(30, 30, 770, 570);
    QTest::newRow("below a top panel")
        << QPoint(30, 0) << QSize(800, 600) << QRect(0, 32, 1920, 1008) << QRect(30, 32, 800, 568);
    QTest::newRow("no screen at all") << QPoint(30, 30) << QSize(800, 600) << QRect() << fallback;
}

void TestWindowGeometry::stored_geometry_is_checked_against_the_screen()
{
    QFETCH(QPoint, position);
    QFETCH(QSize, size);
    QFETCH(QRect, available);
    QFETCH(QRect, expected);

    QCOMPARE(Checked_Geometry(position, size, available), expected);
}

QTEST_APPLESS_MAIN(TestWindowGeometry)
#include "test_window_geometry.moc"
