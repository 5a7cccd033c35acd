#include "results/number_resolution.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestNumberResolution : public QObject
{
    Q_OBJECT

private slots:
    void resolution_data();
    void resolution();
    void long_fraction();
    void range_data();
    void range();
};

void TestNumberResolution::resolution_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    // Half a unit in the last written place, scaled by the exponent.
    QTest::newRow("four decimals") << QByteArray("12.3457") << 0.00005;
    QTest::newRow("exponent -3") << QByteArray("1.25e-3") << 0.000005;
    QTest::newRow("point last") << QByteArray("12.") << 0.5;
    QTest::newRow("point first") << QByteArray(".5") << 0.05;
    QTest::newRow("exponent +2, capital E") << QByteArray("1.50E+2") << 0.5;
    QTest::newRow("exponent 3 without sign") << QByteArray("1.5e3") << 50.0;
    QTest::newRow("exponent with leading zeros") << QByteArray("1.5e+03") << 50.0;
    QTest::newRow("exponent 0") << QByteArray("2.5e0") << 0.05;
    QTest::newRow("trailing zeros count") << QByteArray("12.30000") << 0.000005;
    QTest::newRow("negative") << QByteArray("-0.001") << 0.0005;
    QTest::newRow("plus sign") << QByteArray("+3.25") << 0.005;
    QTest::newRow("zero with decimals") << QByteArray("0.000000") << 0.0000005;
    QTest::newRow("nine decimals") << QByteArray("0.707106781") << 0.0000000005;
    QTest::newRow("point then exponent") << QByteArray("3.e2") << 50.0;
    QTest::newRow("point first, exponent") << QByteArray("-.25e-1") << 0.0005;

    // Written without a decimal point: exact.
    QTest::newRow("integer") << QByteArray("12") << 0.0;
    QTest::newRow("negative integer") << QByteArray("-7") << 0.0;
    QTest::newRow("integer with exponent") << QByteArray("1e-3") << 0.0;
    QTest::newRow("integer with big exponent") << QByteArray("5E+10") << 0.0;

    // Not a number.
    QTest::newRow("empty") << QByteArray() << 0.0;
    QTest::newRow("point alone") << QByteArray(".") << 0.0;
    QTest::newRow("sign alone") << QByteArray("-") << 0.0;
    QTest::newRow("sign and point") << QByteArray("+.") << 0.0;
    QTest::newRow("two points") << QByteArray("1.2.3") << 0.0;
    QTest::newRow("two signs") << QByteArray("+-1.5") << 0.0;
    QTest::newRow("exponent without digits") << QByteArray("1.5e") << 0.0;
    QTest::newRow("exponent sign only") << QByteArray("1.5e-") << 0.0;
    QTest::newRow("exponent without mantissa") << QByteArray("e5") << 0.0;
    QTest::newRow("decimal comma") << QByteArray("1,5") << 0.0;
    QTest::newRow("blank after") << QByteArray("1.5 ") << 0.0;
    QTest::newRow("blank before") << QByteArray(" 1.5") << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << 0.0;
    QTest::newRow("inf") << QByteArray("inf") << 0.0;
    QTest::newRow("hexadecimal") << QByteArray("0x1.8p3") << 0.0;
    QTest::newRow("letters after") << QByteArray("1.5mm") << 0.0;
    QTest::newRow("NUL inside") << QByteArray("1.5\0"
                                              "5",
                                              4)
                                << 0.0;
}

void TestNumberResolution::resolution()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    // The exact double of the decimal value, as the literal reads.
    const double resolution = Number_Resolution(text);
    QVERIFY2(resolution == expected, qPrintable(QString::number(resolution, 'g', 17)));
}

void TestNumberResolution::long_fraction()
{
    // 300 decimals: 0.5e-300. 400 decimals: below the smallest double.
    QCOMPARE(Number_Resolution("1." + QByteArray(300, '0')), 5e-301);
    QCOMPARE(Number_Resolution("1." + QByteArray(400, '0')), 0.0);
    // The exponent makes up for the decimals.
    QCOMPARE(Number_Resolution("0." + QByteArray(400, '0') + "1e400"), 0.05);
    // A million decimals, read in one pass.
    QCOMPARE(Number_Resolution("1." + QByteArray(1000000, '5')), 0.0);
}

void TestNumberResolution::range_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("largest finite") << QByteArray("1.e308") << 5e307;
    QTest::newRow("beyond a double")
        << QByteArray("0.e400") << std::numeric_limits<double>::infinity();
    QTest::newRow("huge exponent")
        << QByteArray("1.5e99999999999999999999") << std::numeric_limits<double>::infinity();
    QTest::newRow("tiny exponent") << QByteArray("1.5e-99999999999999999999") << 0.0;
    QTest::newRow("subnormal") << QByteArray("1.0e-320") << 5e-322;
    QTest::newRow("smallest subnormal") << QByteArray("1.e-323") << 5e-324;
    QTest::newRow("below a subnormal") << QByteArray("1.e-330") << 0.0;
}

void TestNumberResolution::range()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    const double resolution = Number_Resolution(text);
    QVERIFY2(resolution == expected, qPrintable(QString::number(resolution, 'g', 17)));
}

QTEST_GUILESS_MAIN(TestNumberResolution)
#include "test_number_resolution.moc"
