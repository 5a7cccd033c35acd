#include "core/vector3.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include <sys/resource.h>

#include <cstring>

namespace {

// Each of these breaks one precondition; the child process that runs it
// must die on the assertion.
int Violate(const char *name)
{
    // The aborts are expected: no core files.
    const rlimit no_core = {0, 0};
    setrlimit(RLIMIT_CORE, &no_core);

    TVector3 v(1, 2, 3);
    const TVector3 constant(1, 2, 3);
    double sink = 0;
    if (std::strcmp(name, "const_index_3") == 0) {
        sink = constant(3);
    } else if (std::strcmp(name, "const_index_minus_1") == 0) {
        sink = constant(-1);
    } else if (std::strcmp(name, "index_3") == 0) {
        v(3) = 1;
    } else if (std::strcmp(name, "index_minus_1") == 0) {
        sink = v(-1);
    } else if (std::strcmp(name, "normal_zero") == 0) {
        TVector3().Normal();
    } else if (std::strcmp(name, "normal_nan") == 0) {
        TVector3(std::nan(""), 0, 0).Normal();
    } else if (std::strcmp(name, "divide_assign_zero") == 0) {
        v /= 0.0;
    } else if (std::strcmp(name, "divide_negative") == 0) {
        v = v / -2.0;
    } else if (std::strcmp(name, "divide_epsilon") == 0) {
        v /= std::numeric_limits<double>::epsilon();
    } else if (std::strcmp(name, "divide_nan") == 0) {
        v = v / std::nan("");
    } else {
        return 3;
    }
    std::printf("survived %f %f\n", sink, v.x);
    return 0;
}

void Compare(const TVector3 &actual, const TVector3 &expected)
{
    QCOMPARE(actual.x, expected.x);
    QCOMPARE(actual.y, expected.y);
    QCOMPARE(actual.z, expected.z);
}

} // namespace

Q_DECLARE_METATYPE(TVector3)

class TestVector3 : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void component_access();
    void normal();
    void operators_data();
    void operators();
    void dot_product();
    void operands_unchanged();
    void assertion_diagnostics_data();
    void assertion_diagnostics();
};

void TestVector3::construction()
{
    Compare(TVector3(), TVector3(0, 0, 0));
    const TVector3 a(1.5, -2, 3e10);
    QCOMPARE(a.x, 1.5);
    QCOMPARE(a.y, -2.0);
    QCOMPARE(a.z, 3e10);
    const TVector3 copy(a);
    Compare(copy, a);
    TVector3 assigned;
    assigned = a;
    Compare(assigned, a);
}

void TestVector3::component_access()
{
    TVector3 v(4, 5, 6);
    const TVector3 &constant = v;
    QCOMPARE(constant(0), 4.0);
    QCOMPARE(constant(1), 5.0);
    QCOMPARE(constant(2), 6.0);
    v(1) = -7;
    Compare(v, TVector3(4, -7, 6));
    v(0) += 1;
    v(2) *= 2;
    Compare(v, TVector3(5, -7, 12));
}

void TestVector3::normal()
{
    TVector3 v(3, 4, 0);
    TVector3 &result = v.Normal();
    QCOMPARE(&result, &v);
    Compare(v, TVector3(0.6, 0.8, 0));

    TVector3 w(0, 0, -2.5);
    Compare(w.Normal(), TVector3(0, 0, -1));
}

void TestVector3::operators_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<TVector3>("a");
    QTest::addColumn<TVector3>("b");
    QTest::addColumn<double>("d");
    QTest::addColumn<TVector3>("expected");

    const TVector3 none;
    QTest::newRow("x cross y") << "a*b" << TVector3(1, 0, 0) << TVector3(0, 1, 0) << 0.0
                               << TVector3(0, 0, 1);
    QTest::newRow("y cross x") << "a*b" << TVector3(0, 1, 0) << TVector3(1, 0, 0) << 0.0
                               << TVector3(0, 0, -1);
    QTest::newRow("general cross")
        << "a*b" << TVector3(1, 2, 3) << TVector3(4, 5, 6) << 0.0 << TVector3(-3, 6, -3);
    QTest::newRow("cross assign") << "a*=b" << TVector3(2, 3, 4) << TVector3(5, 6, 7) << 0.0
                                  << TVector3(-3, 6, -3);
    QTest::newRow("sum") << "a+b" << TVector3(1, 2, 3) << TVector3(10, 20, 30) << 0.0
                         << TVector3(11, 22, 33);
    QTest::newRow("difference") << "a-b" << TVector3(1, 2, 3) << TVector3(10, 20, 30) << 0.0
                                << TVector3(-9, -18, -27);
    QTest::newRow("vector plus scalar")
        << "a+d" << TVector3(1, 2, 3) << none << 1.0 << TVector3(2, 3, 4);
    QTest::newRow("scalar plus vector")
        << "d+a" << TVector3(1, 2, 3) << none << 1.0 << TVector3(2, 3, 4);
    QTest::newRow("vector minus scalar")
        << "a-d" << TVector3(1, 2, 3) << none << 0.5 << TVector3(0.5, 1.5, 2.5);
    QTest::newRow("vector times scalar")
        << "a*d" << TVector3(1, -2, 3) << none << 3.0 << TVector3(3, -6, 9);
    QTest::newRow("scalar times vector")
        << "d*a" << TVector3(1, -2, 3) << none << -2.0 << TVector3(-2, 4, -6);
    QTest::newRow("divide") << "a/d" << TVector3(2, 4, 6) << none << 2.0 << TVector3(1, 2, 3);
    QTest::newRow("divide assign")
        << "a/=d" << TVector3(3, 6, 9) << none << 3.0 << TVector3(1, 2, 3);
    QTest::newRow("divide by a small positive")
        << "a/d" << TVector3(1, 0, -1) << none << 1e-15 << TVector3(1e15, 0, -1e15);
}

void TestVector3::operators()
{
    QFETCH(QString, expression);
    QFETCH(TVector3, a);
    QFETCH(TVector3, b);
    QFETCH(double, d);
    QFETCH(TVector3, expected);

    TVector3 result;
    if (expression == "a*b") {
        result = a * b;
    } else if (expression == "a*=b") {
        TVector3 &self = (a *= b);
        QCOMPARE(&self, &a);
        result = a;
    } else if (expression == "a+b") {
        result = a + b;
    } else if (expression == "a-b") {
        result = a - b;
    } else if (expression == "a+d") {
        result = a + d;
    } else if (expression == "d+a") {
        result = d + a;
    } else if (expression == "a-d") {
        result = a - d;
    } else if (expression == "a*d") {
        result = a * d;
    } else if (expression == "d*a") {
        result = d * a;
    } else if (expression == "a/d") {
        result = a / d;
    } else if (expression == "a/=d") {
        TVector3 &self = (a /= d);
        QCOMPARE(&self, &a);
        result = a;
    } else {
        QFAIL("unknown expression");
    }
    Compare(result, expected);
}

void TestVector3::dot_product()
{
    QCOMPARE(TVector3(1, 2, 3) ^ TVector3(4, 5, 6), 32.0);
    QCOMPARE(TVector3(1, 0, 0) ^ TVector3(0, 1, 0), 0.0);
    QCOMPARE(TVector3(-1, 2, 0.5) ^ TVector3(-1, 2, 0.5), 5.25);
}

void TestVector3::operands_unchanged()
{
    const TVector3 a(1, 2, 3);
    const TVector3 b(4, 5, 6);
    const double d = 2;
    (void)(a + b);
    (void)(a * b);
    (void)(a / d);
    (void)(d * a);
    (void)(a ^ b);
    Compare(a, TVector3(1, 2, 3));
    Compare(b, TVector3(4, 5, 6));
    QCOMPARE(d, 2.0);
}

void TestVector3::assertion_diagnostics_data()
{
    QTest::addColumn<QString>("violation");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("file");

    const QString index_false = "false";
    const QString normal = "Length > std::numeric_limits<double>::epsilon()";
    const QString divisor = "d > std::numeric_limits<double>::epsilon()";
    const QString const_access = "double TVector3::operator()(int) const";
    const QString access = "double& TVector3::operator()(int)";
    const QString normal_function = "TVector3& TVector3::Normal()";
    const QString divide_function = "TVector3& TVector3::operator/=(const double&)";

    QTest::newRow("read component 3")
        << "const_index_3" << index_false << const_access << "vector3.cpp";
    QTest::newRow("read component -1")
        << "const_index_minus_1" << index_false << const_access << "vector3.cpp";
    QTest::newRow("write component 3") << "index_3" << index_false << access << "vector3.cpp";
    QTest::newRow("writable component -1")
        << "index_minus_1" << index_false << access << "vector3.cpp";
    QTest::newRow("normal of zero") << "normal_zero" << normal << normal_function << "vector3.cpp";
    QTest::newRow("normal of nan") << "normal_nan" << normal << normal_function << "vector3.cpp";
    QTest::newRow("divide assign by 0")
        << "divide_assign_zero" << divisor << divide_function << "vector3.h";
    QTest::newRow("divide by -2") << "divide_negative" << divisor << divide_function << "vector3.h";
    QTest::newRow("divide by epsilon")
        << "divide_epsilon" << divisor << divide_function << "vector3.h";
    QTest::newRow("divide by nan") << "divide_nan" << divisor << divide_function << "vector3.h";
}

void TestVector3::assertion_diagnostics()
{
    QFETCH(QString, violation);
    QFETCH(QString, expression);
    QFETCH(QString, function);
    QFETCH(QString, file);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--violate", violation});
    QVERIFY(child.waitForFinished(30000));
    const QString error = QString::fromLocal8Bit(child.readAllStandardError());
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
    QVERIFY2(!output.contains("survived"), qPrintable(output));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY2(error.contains("Assertion `" + expression + "' failed"), qPrintable(error));
    QVERIFY2(error.contains(function), qPrintable(error));
    QVERIFY2(error.contains("core/" + file + ":"), qPrintable(error));
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--violate") == 0) {
        return Violate(argv[2]);
    }
    QCoreApplication application(argc, argv);
    TestVector3 test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_vector3.moc"
