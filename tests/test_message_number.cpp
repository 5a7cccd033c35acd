#include "core/message_number.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestMessageNumber : public QObject
{
    Q_OBJECT

private slots:
    void written_data();
    void written();
    void bounds_as_written_stay_within_data();
    void bounds_as_written_stay_within();
};

void TestMessageNumber::written_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("nearest");
    QTest::addColumn<QString>("upper_bound");

    // Values that read back exactly in few digits are written as typed.
    QTest::newRow("whole") << 45.0 << 6 << "45"
                           << "45";
    QTest::newRow("small") << 0.000366 << 6 << "0.000366"
                           << "0.000366";
    QTest::newRow("hundred thousand") << 100000.0 << 6 << "100000"
                                      << "100000";
    QTest::newRow("a million") << 1e6 << 6 << "1e6"
                               << "1e6";
    QTest::newRow("tiny") << 1e-7 << 6 << "1e-7"
                          << "1e-7";
    QTest::newRow("fixed down to 1e-5") << 0.00001 << 6 << "0.00001"
                                        << "0.00001";
    QTest::newRow("exponent below") << 2.5e-9 << 6 << "2.5e-9"
                                    << "2.5e-9";
    QTest::newRow("large") << 1e20 << 6 << "1e20"
                           << "1e20";
    QTest::newRow("zero") << 0.0 << 6 << "0"
                          << "0";
    QTest::newRow("negative zero") << -0.0 << 6 << "0"
                                   << "0";
    // Computed values: rounded, a bound towards its inside.
    QTest::newRow("one bit above 45") << 45.00000000000001 << 6 << "45"
                                      << "45";
    QTest::newRow("one bit below 45") << 44.99999999999999 << 6 << "45"
                                      << "44.9999";
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << 6 << "0.3"
                               << "0.3";
    QTest::newRow("a third of 50") << 50.0 / 3 << 6 << "16.6667"
                                   << "16.6666";
    QTest::newRow("quarter of 1.464...") << 0.00036602540378443865 << 6 << "0.000366025"
                                         << "0.000366025";
    QTest::newRow("rounds up to the next power") << 999999.7 << 6 << "1e6"
                                                 << "999999";
    QTest::newRow("just below a power") << 0.09999999999 << 6 << "0.1"
                                        << "0.0999999";
    QTest::newRow("nine digits") << 123456789.0 << 6 << "1.23457e8"
                                 << "1.23456e8";
    QTest::newRow("negative, nearest up") << -1.2345649 << 6 << "-1.23456"
                                          << "-1.23457";
    QTest::newRow("negative power") << -0.99999999 << 6 << "-1"
                                    << "-1";
    QTest::newRow("three digits") << 0.0123456 << 3 << "0.0123"
                                  << "0.0123";
    QTest::newRow("three digits, exponent") << 1.23456e-9 << 3 << "1.23e-9"
                                            << "1.23e-9";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 6 << "infinity"
                              << "infinity";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 6 << "not a number"
                                  << "not a number";
}

void TestMessageNumber::written()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QString, nearest);
    QFETCH(QString, upper_bound);
    QCOMPARE(Message_Number(value, digits), nearest);
    QCOMPARE(Upper_Bound_Number(value, digits), upper_bound);
}

// Every bound as written reads back as no more than the bound, within a
// unit of its last digit, and Rounded_Down is the number written; over the
// doubles next to many decimals of 6 digits, where rounding goes either way.
void TestMessageNumber::bounds_as_written_stay_within_data()
{
    QTest::addColumn<double>("scale");
    for (double scale : {1e-9, 1e-4, 1.0, 1e3, 1e12, -1.0})
        QTest::newRow(qPrintable(QString::number(scale))) << scale;
}

void TestMessageNumber::bounds_as_written_stay_within()
{
    QFETCH(double, scale);
    for (int m = 100000; m < 1000000; m += 997) {
        const double decimal = m * 1e-5 * scale;
        for (double value : {std::nextafter(decimal, -INFINITY), decimal,
                             std::nextafter(decimal, INFINITY), decimal * (1 + 1e-7)}) {
            const QString text = Upper_Bound_Number(value);
            bool ok = false;
            const double written = text.toDouble(&ok);
            QVERIFY2(ok && written <= value, qPrintable(text));
            QVERIFY2(value - written <= 1.000001e-5 * std::fabs(value), qPrintable(text));
            QCOMPARE(Rounded_Down(value), written);
            const double nearest = Message_Number(value).toDouble();
            QVERIFY(std::fabs(nearest - value) <= 0.500001e-5 * std::fabs(value));
        }
    }
}

QTEST_GUILESS_MAIN(TestMessageNumber)

#include "test_message_number.moc"
