#include "generating/portable_math.h"
#include "generating/random_numbers.h"
#include "generating/validation_text.h"

#include <QtTest>

#include <cmath>
#include <random>
#include <set>

class TestGeneratingArithmetic : public QObject
{
    Q_OBJECT

private slots:
    void sine_cosine_data();
    void sine_cosine();
    void sine_cosine_agree_with_the_library();
    void compensated_sum();
    void random_numbers_are_the_standard_engine();
    void random_distributions();
    void reference_position_text_data();
    void reference_position_text();
};

void TestGeneratingArithmetic::sine_cosine_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("sine");
    QTest::addColumn<double>("cosine");
    // The angles are doubles near the exact ones, off by at most 4e-16 rad
    // (some 1e6 for the last), which moves the values by as much.
    QTest::newRow("0") << 0.0 << 0.0 << 1.0;
    QTest::newRow("pi/6") << PI / 6 << 0.5 << std::sqrt(3.0) / 2;
    QTest::newRow("pi/4") << PI / 4 << std::sqrt(0.5) << std::sqrt(0.5);
    QTest::newRow("-pi/3") << -PI / 3 << -std::sqrt(3.0) / 2 << 0.5;
    QTest::newRow("pi/2") << PI / 2 << 1.0 << 0.0;
    QTest::newRow("5 pi/6") << 5 * PI / 6 << 0.5 << -std::sqrt(3.0) / 2;
    QTest::newRow("pi") << PI << 0.0 << -1.0;
    QTest::newRow("-3 pi/2") << -3 * PI / 2 << 1.0 << 0.0;
    QTest::newRow("7 pi/4") << 7 * PI / 4 << -std::sqrt(0.5) << std::sqrt(0.5);
    QTest::newRow("40 pi + pi/6") << 40 * PI + PI / 6 << 0.5 << std::sqrt(3.0) / 2;
}

void TestGeneratingArithmetic::sine_cosine()
{
    QFETCH(double, angle);
    QFETCH(double, sine);
    QFETCH(double, cosine);
    const TSineCosine value = Sine_Cosine(angle);
    const double tolerance = 4e-16 * std::max(1.0, std::abs(angle));
    QVERIFY2(std::abs(value.sine - sine) <= tolerance,
             qPrintable(QString::number(value.sine, 'g', 17)));
    QVERIFY2(std::abs(value.cosine - cosine) <= tolerance,
             qPrintable(QString::number(value.cosine, 'g', 17)));
    QCOMPARE(Cosine(angle), value.cosine);
}

// Away from exact values: within a few units of the last place of libm's,
// and on the unit circle, over the angles the generator uses.
void TestGeneratingArithmetic::sine_cosine_agree_with_the_library()
{
    double worst = 0;
    for (int i = -20000; i <= 20000; ++i) {
        const double angle = i * 0.00314159 + 1e-3 * std::sin(i);
        const TSineCosine value = Sine_Cosine(angle);
        worst = std::max({worst, std::abs(value.sine - std::sin(angle)),
                          std::abs(value.cosine - std::cos(angle)),
                          std::abs(value.sine * value.sine + value.cosine * value.cosine - 1)});
    }
    QVERIFY2(worst <= 5e-16, qPrintable(QString::number(worst)));
}

void TestGeneratingArithmetic::compensated_sum()
{
    TSum sum;
    for (double value : {1e16, 1.0, -1e16})
        sum.Add(value);
    QCOMPARE(sum.Value(), 1.0);
    // A plain sum of 0.1 ten million times is off by about 2e-4.
    TSum tenths;
    for (int i = 0; i < 10000000; ++i)
        tenths.Add(0.1);
    QVERIFY2(std::abs(tenths.Value() - 1e6) <= 1e-9,
             qPrintable(QString::number(tenths.Value(), 'g', 17)));
}

// The C++ standard fixes the 10000th number of a default-seeded
// std::mt19937_64; the uniform numbers are its top 53 bits.
void TestGeneratingArithmetic::random_numbers_are_the_standard_engine()
{
    TRandom random(std::mt19937_64::default_seed);
    double value = 0;
    for (int i = 0; i < 10000; ++i)
        value = random.Uniform();
    QCOMPARE(value, static_cast<double>(9981545732273789042ULL >> 11) / 9007199254740992.0);
}

void TestGeneratingArithmetic::random_distributions()
{
    TRandom random(42);
    std::set<int> seen;
    double low = 1, high = 0;
    for (int i = 0; i < 10000; ++i) {
        const double u = random.Uniform();
        low = std::min(low, u);
        high = std::max(high, u);
        const int index = random.Index(7);
        QVERIFY(index >= 0 && index < 7);
        seen.insert(index);
        const TVec direction = random.Direction();
        QVERIFY(std::abs(Norm(direction) - 1) <= 4e-16);
    }
    QVERIFY(low >= 0 && low < 0.001 && high < 1 && high > 0.999);
    QCOMPARE(seen.size(), size_t(7));
    // Streams of other data sets, types or runs do not coincide.
    std::set<std::uint64_t> seeds;
    for (std::uint64_t seed : {1, 2})
        for (std::uint64_t stream = 0; stream < 5; ++stream)
            for (std::uint64_t index = 1; index <= 40; ++index)
                seeds.insert(Data_Set_Seed(seed, stream, index));
    QCOMPARE(seeds.size(), size_t(400));
}

void TestGeneratingArithmetic::reference_position_text_data()
{
    QTest::addColumn<qint64>("whole");
    QTest::addColumn<qint64>("femto");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << qint64(0) << "0.000000000000000";
    QTest::newRow("below a millimetre, negative")
        << qint64(0) << qint64(-5) << "-0.000000000000005";
    QTest::newRow("as before 9,223 mm") << qint64(12) << qint64(5) << "12.000000000000005";
    QTest::newRow("beyond 9,223 mm, where 1e-15 mm units overflow")
        << qint64(9300) << qint64(123456789012345) << "9300.123456789012345";
    QTest::newRow("almost -100,000 mm")
        << qint64(-99999) << qint64(-999999999999999) << "-99999.999999999999999";
    QTest::newRow("100,000 mm") << qint64(100000) << qint64(0) << "100000.000000000000000";
}

// A reference position is written from whole millimetres and 1e-15 mm, so
// that it keeps 15 decimals up to 100,000 mm from the origin.
void TestGeneratingArithmetic::reference_position_text()
{
    QFETCH(qint64, whole);
    QFETCH(qint64, femto);
    QFETCH(QString, text);
    TDataSet data_set;
    data_set.options = Default_Options(TFeatureType::SPHERE);
    data_set.points = {{0, 0, 0}};
    data_set.position[0] = {whole, femto};
    data_set.position[1] = {-whole, -femto};
    const QList<QByteArray> lines =
        Validation_File_Text(TFeatureType::SPHERE, {}, {data_set}).split('\n');
    QByteArray record;
    for (const QByteArray &line : lines) {
        if (line.startsWith("Sphere "))
            record = line;
    }
    const QList<QByteArray> fields = record.split(' ');
    QCOMPARE(fields.size(), 8);
    QCOMPARE(QString::fromLatin1(fields[3]), text);
    const QString negated = text.startsWith('-')       ? text.mid(1)
                            : whole == 0 && femto == 0 ? text
                                                       : '-' + text;
    QCOMPARE(QString::fromLatin1(fields[4]), negated);
}

QTEST_GUILESS_MAIN(TestGeneratingArithmetic)

#include "test_generating_arithmetic.moc"
