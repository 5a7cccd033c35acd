#include "generating/data_set_options.h"

#include <QtTest>

Q_DECLARE_METATYPE(TFeatureType)

namespace {

TDataSetOptions Cone(double size, double angle, double length)
{
    TDataSetOptions options = Default_Options(TFeatureType::CONE);
    options.size = size;
    options.angle = angle;
    options.length = length;
    return options;
}

} // namespace

class TestDataSetOptions : public QObject
{
    Q_OBJECT

private slots:
    void longest_cone_length_data();
    void longest_cone_length();
    void defaults_fit_the_options_given_data();
    void defaults_fit_the_options_given();
    void bounds_in_messages_data();
    void bounds_in_messages();
};

// The longest length keeps the narrow end's diameter a tenth of the size:
// 0.9 size / tan(A / 2), rounded down to 6 digits; the next 6-digit length
// is refused.
void TestDataSetOptions::longest_cone_length_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("longest");
    QTest::addColumn<double>("next");
    // tan 45 = 1; tan 30 = 1 / sqrt(3), 45 sqrt(3) = 77.94228...
    QTest::newRow("90 degrees") << 90.0 << 45.0 << 45.0001;
    QTest::newRow("60 degrees") << 60.0 << 77.9422 << 77.9423;
    // tan 60 = sqrt(3), 45 / sqrt(3) = 25.98076...
    QTest::newRow("120 degrees") << 120.0 << 25.9807 << 25.9808;
}

void TestDataSetOptions::longest_cone_length()
{
    QFETCH(double, angle);
    QFETCH(double, longest);
    QFETCH(double, next);
    QCOMPARE(Longest_Cone_Length(Cone(50, angle, 1)), longest);
    QCOMPARE(Options_Problem(Cone(50, angle, longest)), QString());
    QVERIFY(Options_Problem(Cone(50, angle, next)).startsWith("--length: "));
}

void TestDataSetOptions::defaults_fit_the_options_given_data()
{
    QTest::addColumn<TFeatureType>("type");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("angle");
    QTest::addColumn<bool>("length_given");
    QTest::addColumn<bool>("form_given");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("form");
    QTest::addColumn<QString>("problem");

    const TFeatureType cone = TFeatureType::CONE;
    QTest::newRow("cone whose size is too long for its angle")
        << cone << 50.0 << 90.0 << false << false << 45.0 << 0.001 << "";
    QTest::newRow("cone whose size is long enough")
        << cone << 50.0 << 30.0 << false << false << 50.0 << 0.001 << "";
    QTest::newRow("length given is kept, and named")
        << cone << 50.0 << 90.0 << true << false << 50.0 << 0.001
        << "--length: the cone's diameter at the narrow end of its points must stay at least a "
           "tenth of the size; at most 45 mm";
    // Narrow end 0.01 - 0.009 = 0.001 across, a quarter of it 0.00025.
    QTest::newRow("small cone: a shorter length, less form")
        << cone << 0.01 << 90.0 << false << false << 0.009 << 0.00025 << "";
    QTest::newRow("an angle that is none is left to be named")
        << cone << 50.0 << 200.0 << false << false << 50.0 << 0.001
        << "--angle: more than 0 and less than 180 degrees";
    QTest::newRow("small plane: a quarter of its size")
        << TFeatureType::PLANE << 0.002 << 30.0 << false << false << 0.002 << 0.0005 << "";
    QTest::newRow("form given is kept, and named")
        << TFeatureType::PLANE << 0.002 << 30.0 << false << true << 0.002 << 0.001
        << "--form: from 0 to a quarter of the size (0.0005 mm)";
    // The default minor diameter a quarter of the size, 0.0025, a quarter
    // of that.
    QTest::newRow("small torus: a quarter of its tube")
        << TFeatureType::TORUS << 0.01 << 30.0 << false << false << 0.01 << 0.000625 << "";
}

void TestDataSetOptions::defaults_fit_the_options_given()
{
    QFETCH(TFeatureType, type);
    QFETCH(double, size);
    QFETCH(double, angle);
    QFETCH(bool, length_given);
    QFETCH(bool, form_given);
    QFETCH(double, length);
    QFETCH(double, form);
    QFETCH(QString, problem);
    TDataSetOptions options = Default_Options(type);
    options.size = size;
    options.length = size;
    options.minor = size / 4;
    options.angle = angle;
    Fit_Defaults(options, !length_given, !form_given);
    QCOMPARE(options.length, length);
    QCOMPARE(options.form, form);
    QCOMPARE(Options_Problem(options), problem);
}

// Bounds a person can type back: never the 17 digits of a computed one.
void TestDataSetOptions::bounds_in_messages_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("minor");
    QTest::addColumn<double>("form");
    QTest::addColumn<QString>("problem");
    QTest::newRow("form of a tube a third of 1 across")
        << 2.0 << 1.0 / 3 << 1.0
        << "--form: from 0 to a quarter of the minor diameter "
           "(0.0833333 mm)";
    QTest::newRow("tube as wide as the size, a third of 10")
        << 10.0 / 3 << 10.0 / 3 << 0.0
        << "--minor: more than 0 and less than the size (3.33333 mm)";
}

void TestDataSetOptions::bounds_in_messages()
{
    QFETCH(double, size);
    QFETCH(double, minor);
    QFETCH(double, form);
    QFETCH(QString, problem);
    TDataSetOptions options = Default_Options(TFeatureType::TORUS);
    options.size = size;
    options.minor = minor;
    options.form = form;
    QCOMPARE(Options_Problem(options), problem);
}

QTEST_GUILESS_MAIN(TestDataSetOptions)

#include "test_data_set_options.moc"
