#include "conversion/number_format.h"
#include "validation/cone_apex.h"
#include "validation/validation_fields.h"

#include <QLocale>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <random>

namespace {

QByteArray Fixed(double value, int precision)
{
    char buffer[MAX_FIXED_LENGTH];
    return QByteArray(buffer, static_cast<int>(Write_Fixed(buffer, value, precision) - buffer));
}

// What the window's number formatting facility writes.
QByteArray Qt_Fixed(double value, int precision)
{
    return QString("%1").arg(value, 0, 'f', precision).toLatin1();
}

TField Field(const QByteArray &text)
{
    return TField{text.constData(), text.constData() + text.size()};
}

} // namespace

class TestConversionNumbers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void fixed_data();
    void fixed();
    void fixed_matches_qt_data();
    void fixed_matches_qt();
    void fixed_matches_qt_random_bits();
    void fixed_matches_qt_random_measurements();
    void integer_data();
    void integer();

    void split_fields_data();
    void split_fields();
    void read_integer_data();
    void read_integer();
    void read_real_data();
    void read_real();
};

void TestConversionNumbers::initTestCase()
{
    // A locale with a decimal comma and a group separator must change
    // nothing in the program text.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(QString("%L1").arg(1234.5, 0, 'f', 1), QString("1.234,5"));
}

void TestConversionNumbers::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestConversionNumbers::fixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("25.4") << 25.4 << 6 << QByteArray("25.400000");
    QTest::newRow("1 direction") << 1.0 << 9 << QByteArray("1.000000000");
    QTest::newRow("negative") << -2.5 << 6 << QByteArray("-2.500000");
    QTest::newRow("zero") << 0.0 << 6 << QByteArray("0.000000");
    QTest::newRow("negative zero") << -0.0 << 9 << QByteArray("0.000000000");
    QTest::newRow("tiny negative keeps sign") << -1e-9 << 6 << QByteArray("-0.000000");
    QTest::newRow("tie rounds up") << 0.0078125 << 6 << QByteArray("0.007813");
    QTest::newRow("negative tie rounds down") << -0.0078125 << 6 << QByteArray("-0.007813");
    QTest::newRow("tie at 9") << 0.0009765625 << 9 << QByteArray("0.000976563");
    QTest::newRow("tie carries") << 9.5 << 0 << QByteArray("10");
    QTest::newRow("negative tie carries") << -99.5 << 0 << QByteArray("-100");
    QTest::newRow("half") << 0.5 << 0 << QByteArray("1");
    QTest::newRow("rounds up to one")
        << 0.99999999953433871269226074 << 9 << QByteArray("1.000000000");
    QTest::newRow("large tie") << 48328036310191.2109375 << 6
                               << QByteArray("48328036310191.210938");
    QTest::newRow("beyond shortest") << 123456789.1 << 9 << QByteArray("123456789.099999994");
    QTest::newRow("no exponent") << 1e22 << 6 << QByteArray("10000000000000000000000.000000");
    QTest::newRow("no grouping") << 1234567.0 << 6 << QByteArray("1234567.000000");
    QTest::newRow("0.1") << 0.1 << 9 << QByteArray("0.100000000");
    // A cone's apex angle beyond these is none (cone_apex.h).
    QTest::newRow("apex angle written as 0")
        << WRITTEN_AS_ZERO_ANGLE << APEX_ANGLE_DECIMALS << QByteArray("0.000000");
    QTest::newRow("smallest apex angle written") << std::nextafter(WRITTEN_AS_ZERO_ANGLE, 1.0)
                                                 << APEX_ANGLE_DECIMALS << QByteArray("0.000001");
    QTest::newRow("apex angle written as 180")
        << WRITTEN_AS_180_ANGLE << APEX_ANGLE_DECIMALS << QByteArray("180.000000");
    QTest::newRow("largest apex angle written") << std::nextafter(WRITTEN_AS_180_ANGLE, 0.0)
                                                << APEX_ANGLE_DECIMALS << QByteArray("179.999999");
    QTest::newRow("third") << 1.0 / 3 << 6 << QByteArray("0.333333");
    QTest::newRow("two thirds") << 2.0 / 3 << 9 << QByteArray("0.666666667");
}

void TestConversionNumbers::fixed()
{
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QByteArray, expected);
    QCOMPARE(Fixed(value, precision), expected);
    QCOMPARE(Qt_Fixed(value, precision), expected);
}

void TestConversionNumbers::fixed_matches_qt_data()
{
    QTest::addColumn<double>("value");

    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -1.0,
                             0.5,
                             -0.5,
                             0.0000005,
                             -0.0000005,
                             0.0000015,
                             0.0000025,
                             0.0000000005,
                             -0.0000000005,
                             0.0000000015,
                             1.0000005,
                             2.0000025,
                             9.9999995,
                             99.9999999995,
                             0.125,
                             0.375,
                             1e-7,
                             -1e-7,
                             4.9e-324,
                             -4.9e-324,
                             2.2250738585072014e-308,
                             1e-300,
                             1e15,
                             123456789012345678.0,
                             1e300,
                             -1e300,
                             1.7976931348623157e308,
                             -1.7976931348623157e308,
                             std::ldexp(1.0, 33) - 0.5,
                             std::ldexp(1.0, 23) + 0.25,
                             std::ldexp(1.0, 52) + 1,
                             std::ldexp(1.0, 53),
                             std::ldexp(3.0, -8),
                             std::ldexp(5.0, -10),
                             std::ldexp(-7.0, -11)};
    for (double value : values) {
        QTest::newRow(QByteArray::number(value, 'g', 17).constData()) << value;
    }
}

void TestConversionNumbers::fixed_matches_qt()
{
    QFETCH(double, value);
    for (int precision = 0; precision <= 9; ++precision) {
        QCOMPARE(Fixed(value, precision), Qt_Fixed(value, precision));
    }
}

void TestConversionNumbers::fixed_matches_qt_random_bits()
{
    std::mt19937_64 random(20240601);
    int compared = 0;
    while (compared < 100000) {
        const quint64 bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        // Keep most of them in the range where rounding happens; the
        // huge ones are slow to print in full.
        if (compared % 4 != 0) {
            int exponent = 0;
            value = std::ldexp(std::frexp(value, &exponent), static_cast<int>(random() % 120) - 60);
        }
        const int precision = compared % 2 ? 6 : 9;
        const QByteArray mine = Fixed(value, precision);
        const QByteArray qt = Qt_Fixed(value, precision);
        if (mine != qt) {
            QFAIL(qPrintable(QString("%1 at %2: %3 instead of %4")
                                 .arg(value, 0, 'g', 17)
                                 .arg(precision)
                                 .arg(QString::fromLatin1(mine), QString::fromLatin1(qt))));
        }
        ++compared;
    }
}

void TestConversionNumbers::fixed_matches_qt_random_measurements()
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<qint64> digits(-99999999999LL, 99999999999LL);
    std::uniform_int_distribution<int> decimals(0, 10);
    for (int i = 0; i < 200000; ++i) {
        // Values as a measuring program writes them: a few decimals.
        const double value = digits(random) / std::pow(10.0, decimals(random));
        for (int precision : {6, 9}) {
            const QByteArray mine = Fixed(value, precision);
            const QByteArray qt = Qt_Fixed(value, precision);
            if (mine != qt) {
                QFAIL(qPrintable(QString("%1 at %2: %3 instead of %4")
                                     .arg(value, 0, 'g', 17)
                                     .arg(precision)
                                     .arg(QString::fromLatin1(mine), QString::fromLatin1(qt))));
            }
        }
    }
}

void TestConversionNumbers::integer_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("0") << 0;
    QTest::newRow("7") << 7;
    QTest::newRow("-3") << -3;
    QTest::newRow("max") << std::numeric_limits<int>::max();
    QTest::newRow("min") << std::numeric_limits<int>::min();
    QTest::newRow("thousands") << 1234567;
}

void TestConversionNumbers::integer()
{
    QFETCH(int, value);
    char buffer[12];
    const QByteArray text(buffer, static_cast<int>(Write_Integer(buffer, value) - buffer));
    QCOMPARE(text, QString("%1").arg(value).toLatin1());
    QCOMPARE(text, QByteArray::number(value));
}

void TestConversionNumbers::split_fields_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty is one empty field") << QByteArray("") << QStringList{""};
    QTest::newRow("one") << QByteArray("12") << QStringList{"12"};
    QTest::newRow("three") << QByteArray("1 2.5 -3") << QStringList{"1", "2.5", "-3"};
    QTest::newRow("leading blank") << QByteArray(" 1 2") << QStringList{"", "1", "2"};
    QTest::newRow("more than stored") << QByteArray("a b c d e") << QStringList{"a", "b", "c"};
}

void TestConversionNumbers::split_fields()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    TField fields[3];
    const int count = Split_Fields(text.constData(), text.constData() + text.size(), fields, 3);
    QCOMPARE(count, text.count(' ') + 1);
    QStringList stored;
    for (int i = 0; i < std::min(count, 3); ++i) {
        stored << QString::fromLatin1(fields[i].begin, int(fields[i].end - fields[i].begin));
    }
    QCOMPARE(stored, expected);
}

void TestConversionNumbers::read_integer_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<int>("expected");

    QTest::newRow("plain") << QByteArray("42") << true << 42;
    QTest::newRow("plus") << QByteArray("+42") << true << 42;
    QTest::newRow("minus") << QByteArray("-3") << true << -3;
    QTest::newRow("leading zeros") << QByteArray("007") << true << 7;
    QTest::newRow("max") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("min") << QByteArray("-2147483648") << true << int(-2147483648LL);
    QTest::newRow("overflow") << QByteArray("2147483648") << false << 0;
    QTest::newRow("huge") << QByteArray("99999999999999999999") << false << 0;
    QTest::newRow("decimal point") << QByteArray("2.0") << false << 0;
    QTest::newRow("exponent") << QByteArray("1e3") << false << 0;
    QTest::newRow("word") << QByteArray("x") << false << 0;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("sign alone") << QByteArray("-") << false << 0;
    QTest::newRow("two signs") << QByteArray("+-1") << false << 0;
    QTest::newRow("minus plus") << QByteArray("-+1") << false << 0;
    QTest::newRow("hex") << QByteArray("0x10") << false << 0;
    QTest::newRow("trailing text") << QByteArray("12a") << false << 0;
}

void TestConversionNumbers::read_integer()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, reads);
    QFETCH(int, expected);
    qint32 value = 99;
    QCOMPARE(Read_Integer(Field(text), value), reads);
    QCOMPARE(value, expected);
}

void TestConversionNumbers::read_real_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<double>("expected");

    QTest::newRow("integer") << QByteArray("12") << true << 12.0;
    QTest::newRow("decimal") << QByteArray("25.4") << true << 25.4;
    QTest::newRow("plus") << QByteArray("+0.5") << true << 0.5;
    QTest::newRow("minus") << QByteArray("-2.5") << true << -2.5;
    QTest::newRow("no integer digits") << QByteArray(".5") << true << 0.5;
    QTest::newRow("no fraction digits") << QByteArray("5.") << true << 5.0;
    QTest::newRow("exponent") << QByteArray("1.5e3") << true << 1500.0;
    QTest::newRow("capital exponent") << QByteArray("-2E-2") << true << -0.02;
    QTest::newRow("exponent plus") << QByteArray("1e+2") << true << 100.0;
    QTest::newRow("largest") << QByteArray("1.7976931348623157e308") << true
                             << 1.7976931348623157e308;
    QTest::newRow("subnormal") << QByteArray("4.9e-324") << true << 4.9e-324;
    QTest::newRow("overflow") << QByteArray("1e309") << false << 0.0;
    QTest::newRow("negative overflow") << QByteArray("-1e400") << false << 0.0;
    QTest::newRow("underflow") << QByteArray("1e-400") << false << 0.0;
    QTest::newRow("comma") << QByteArray("1,5") << false << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << false << 0.0;
    QTest::newRow("inf") << QByteArray("inf") << false << 0.0;
    QTest::newRow("minus infinity") << QByteArray("-infinity") << false << 0.0;
    QTest::newRow("hex") << QByteArray("0x1p3") << false << 0.0;
    QTest::newRow("empty") << QByteArray("") << false << 0.0;
    QTest::newRow("point alone") << QByteArray(".") << false << 0.0;
    QTest::newRow("sign alone") << QByteArray("+") << false << 0.0;
    QTest::newRow("two signs") << QByteArray("+-1") << false << 0.0;
    QTest::newRow("exponent without digits") << QByteArray("1e") << false << 0.0;
    QTest::newRow("exponent without mantissa") << QByteArray("e5") << false << 0.0;
    QTest::newRow("two points") << QByteArray("1.2.3") << false << 0.0;
    QTest::newRow("grouping") << QByteArray("1'000") << false << 0.0;
    QTest::newRow("placeholder of a non-ASCII character") << QByteArray("1\x80") << false << 0.0;
}

void TestConversionNumbers::read_real()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, reads);
    QFETCH(double, expected);
    double value = 99;
    QCOMPARE(Read_Real(Field(text), value), reads);
    QCOMPARE(value, expected);
    QVERIFY(!std::signbit(value) || expected < 0);
}

QTEST_APPLESS_MAIN(TestConversionNumbers)

#include "test_conversion_numbers.moc"
