#include "options/command_line_number.h"

#include <QtTest>

#include <limits>

class TestCommandLineNumber : public QObject
{
    Q_OBJECT

private slots:
    void number_data();
    void number();
    void whole_number_data();
    void whole_number();
};

// An empty problem: the text reads as value.
void TestCommandLineNumber::number_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("problem");

    QTest::newRow("whole") << "50" << 50.0 << "";
    QTest::newRow("decimal") << "0.001" << 0.001 << "";
    QTest::newRow("point first") << ".5" << 0.5 << "";
    QTest::newRow("point last") << "5." << 5.0 << "";
    QTest::newRow("minus") << "-2" << -2.0 << "";
    QTest::newRow("plus") << "+3" << 3.0 << "";
    QTest::newRow("exponent") << "1e-4" << 1e-4 << "";
    QTest::newRow("exponent with sign and capital") << "2.5E+3" << 2500.0 << "";
    QTest::newRow("blanks around") << " 7\t" << 7.0 << "";
    QTest::newRow("tiny but not zero") << "1e-300" << 1e-300 << "";

    const QString not_a_number = QStringLiteral("--x: '%1' is not a number");
    QTest::newRow("decimal comma")
        << "0,001" << 0.0 << not_a_number.arg("0,001") + " (write 0.001)";
    QTest::newRow("decimal comma with exponent")
        << "2,5e-3" << 0.0 << not_a_number.arg("2,5e-3") + " (write 2.5e-3)";
    QTest::newRow("a comma that may group or be the point")
        << "1,000" << 0.0 << not_a_number.arg("1,000") + " (write 1.000 or 1000)";
    QTest::newRow("digit groups") << "1,000,000" << 0.0
                                  << not_a_number.arg("1,000,000") + " (write 1000000)";
    QTest::newRow("digit groups and a point")
        << "12,345.5" << 0.0 << not_a_number.arg("12,345.5") + " (write 12345.5)";
    QTest::newRow("point groups and a comma") << "1.000,5" << 0.0 << not_a_number.arg("1.000,5");
    QTest::newRow("comma without digits after")
        << "5," << 0.0 << not_a_number.arg("5,") + " (write 5.)";
    QTest::newRow("blank inside") << "1 000" << 0.0 << not_a_number.arg("1 000");
    QTest::newRow("apostrophe groups") << "1'000" << 0.0 << not_a_number.arg("1'000");
    QTest::newRow("underscore") << "1_000" << 0.0 << not_a_number.arg("1_000");
    QTest::newRow("unit") << "5mm" << 0.0 << not_a_number.arg("5mm");
    QTest::newRow("inf") << "inf" << 0.0 << not_a_number.arg("inf");
    QTest::newRow("minus infinity") << "-infinity" << 0.0 << not_a_number.arg("-infinity");
    QTest::newRow("nan") << "nan" << 0.0 << not_a_number.arg("nan");
    QTest::newRow("hexadecimal") << "0x10" << 0.0 << not_a_number.arg("0x10");
    QTest::newRow("hexadecimal float") << "0x1p3" << 0.0 << not_a_number.arg("0x1p3");
    QTest::newRow("empty") << "" << 0.0 << not_a_number.arg("");
    QTest::newRow("point alone") << "." << 0.0 << not_a_number.arg(".");
    QTest::newRow("sign alone") << "-" << 0.0 << not_a_number.arg("-");
    QTest::newRow("two signs") << "--1" << 0.0 << not_a_number.arg("--1");
    QTest::newRow("two points") << "1.2.3" << 0.0 << not_a_number.arg("1.2.3");
    QTest::newRow("exponent without digits") << "1e" << 0.0 << not_a_number.arg("1e");
    QTest::newRow("exponent alone") << "e5" << 0.0 << not_a_number.arg("e5");
    QTest::newRow("fractional exponent") << "1e5.5" << 0.0 << not_a_number.arg("1e5.5");
    QTest::newRow("Arabic-Indic digit")
        << QString(QChar(0x0663)) << 0.0 << not_a_number.arg(QString(QChar(0x0663)));
    QTest::newRow("fullwidth digit")
        << QString(QChar(0xff11)) << 0.0 << not_a_number.arg(QString(QChar(0xff11)));

    const QString beyond = QStringLiteral("--x: '%1' is beyond the range of numbers (1e-308 to "
                                          "1e308)");
    QTest::newRow("too large") << "1e999" << 0.0 << beyond.arg("1e999");
    QTest::newRow("too small") << "1e-999" << 0.0 << beyond.arg("1e-999");
    QTest::newRow("exponent beyond any")
        << "1e99999999999999999999" << 0.0 << beyond.arg("1e99999999999999999999");
}

void TestCommandLineNumber::number()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(QString, problem);
    double read = -12345;
    QCOMPARE(Read_Number_Option(QStringLiteral("x"), text, read), problem);
    if (problem.isEmpty())
        QCOMPARE(read, value);
    else
        QCOMPARE(read, -12345.0); // left as it was
}

void TestCommandLineNumber::whole_number_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("problem");

    const qint64 largest = std::numeric_limits<qint64>::max();
    const qint64 smallest = std::numeric_limits<qint64>::min();
    QTest::newRow("digits") << "25" << qint64(25) << "";
    QTest::newRow("exponent") << "1e6" << qint64(1000000) << "";
    QTest::newRow("zero decimals") << "3.000" << qint64(3) << "";
    QTest::newRow("fraction an exponent makes whole") << "2.50e1" << qint64(25) << "";
    QTest::newRow("negative exponent, still whole") << "10e-1" << qint64(1) << "";
    QTest::newRow("negative") << "-7" << qint64(-7) << "";
    QTest::newRow("zero with any exponent") << "0e-999" << qint64(0) << "";
    QTest::newRow("largest seed") << "9007199254740991" << qint64(9007199254740991) << "";
    QTest::newRow("beyond 64 bits") << "1e30" << largest << "";
    QTest::newRow("beyond 64 bits, negative") << "-1e30" << smallest << "";
    QTest::newRow("beyond a double") << "1e999" << largest << "";

    const QString not_whole = QStringLiteral("--n: '%1' is not a whole number");
    QTest::newRow("fraction") << "2.5" << qint64(0) << not_whole.arg("2.5");
    QTest::newRow("fraction by exponent") << "1e-1" << qint64(0) << not_whole.arg("1e-1");
    QTest::newRow("fraction far down")
        << "9007199254740991.5" << qint64(0) << not_whole.arg("9007199254740991.5");
    QTest::newRow("digit groups") << "1,000" << qint64(0)
                                  << not_whole.arg("1,000") + " (write 1000)";
    QTest::newRow("decimal comma") << "2,5" << qint64(0) << not_whole.arg("2,5");
    QTest::newRow("word") << "x" << qint64(0) << not_whole.arg("x");
    QTest::newRow("inf") << "inf" << qint64(0) << not_whole.arg("inf");
    QTest::newRow("hexadecimal") << "0x10" << qint64(0) << not_whole.arg("0x10");
}

void TestCommandLineNumber::whole_number()
{
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QFETCH(QString, problem);
    qint64 read = -12345;
    QCOMPARE(Read_Whole_Number_Option(QStringLiteral("n"), text, read), problem);
    QCOMPARE(read, problem.isEmpty() ? value : qint64(-12345));
}

QTEST_GUILESS_MAIN(TestCommandLineNumber)

#include "test_command_line_number.moc"
