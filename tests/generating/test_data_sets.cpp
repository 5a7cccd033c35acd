#include "generated_files.h"

#include "generating/data_set.h"
#include "generating/manifest.h"
#include "generating/validation_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

Q_DECLARE_METATYPE(TDataSetOptions)

namespace {

const double Pi = std::acos(-1.0);

TDataSetOptions Options(TFeatureType type, int points, double size, double shape, double distance,
                        TOrientation orientation, double form, int decimals = 5)
{
    TDataSetOptions options = Default_Options(type);
    options.points = points;
    options.size = size;
    if (Has_Aspect(type))
        options.aspect = shape;
    if (Has_Arc(type))
        options.arc = shape;
    options.distance = distance;
    options.orientation = orientation;
    options.form = form;
    options.decimals = decimals;
    return options;
}

constexpr auto PLANE = TFeatureType::PLANE;
constexpr auto LINE = TFeatureType::LINE;
constexpr auto CIRCLE = TFeatureType::CIRCLE;
constexpr auto SPHERE = TFeatureType::SPHERE;
constexpr auto AXIS = TOrientation::AXIS;
constexpr auto TILTED = TOrientation::TILTED;
constexpr auto RANDOM = TOrientation::RANDOM;

// The span of the points' angles about the circle's axis: 360 degrees less
// the largest gap between neighbours.
double Span_In_Degrees(const std::vector<TVector3> &points, const TFit &circle)
{
    const TVector3 n = circle.direction;
    TVector3 u = std::abs(n.x) < 0.9 ? TVector3(1, 0, 0) : TVector3(0, 1, 0);
    u = (u - n * (u ^ n)).Normal();
    const TVector3 v = n * u;
    std::vector<double> angles;
    for (const TVector3 &p : points) {
        const TVector3 d = p - circle.position;
        angles.push_back(std::atan2(d ^ v, d ^ u));
    }
    std::sort(angles.begin(), angles.end());
    double largest_gap = angles.front() + 2 * Pi - angles.back();
    for (size_t i = 1; i < angles.size(); ++i)
        largest_gap = std::max(largest_gap, angles[i] - angles[i - 1]);
    return (2 * Pi - largest_gap) * 180 / Pi;
}

void Add_Design_Rows()
{
    QTest::addColumn<TDataSetOptions>("options");
    QTest::newRow("plane, 1000 mm away, large form")
        << Options(PLANE, 25, 50, 1, 1000, RANDOM, 0.5);
    QTest::newRow("plane of aspect 10, tilted") << Options(PLANE, 40, 200, 10, 100, TILTED, 0.02);
    QTest::newRow("plane of 4 points") << Options(PLANE, 4, 10, 1, 10, AXIS, 0.01);
    QTest::newRow("line, 1000 mm away") << Options(LINE, 25, 100, 1, 1000, RANDOM, 1);
    QTest::newRow("line of 3 points, tilted") << Options(LINE, 3, 20, 1, 10, TILTED, 0.01);
    QTest::newRow("full circle, radial and axial")
        << Options(CIRCLE, 30, 50, 360, 1000, RANDOM, 0.5);
    QTest::newRow("90 degree arc, tilted") << Options(CIRCLE, 25, 100, 90, 100, TILTED, 0.01);
    QTest::newRow("10 degree arc") << Options(CIRCLE, 25, 50, 10, 10, RANDOM, 0.005);
    QTest::newRow("axis-aligned 30 degree arc") << Options(CIRCLE, 12, 20, 30, 0, AXIS, 0.002);
    QTest::newRow("circle of 8 points") << Options(CIRCLE, 8, 5, 360, 0, RANDOM, 0.05);
    QTest::newRow("full sphere, 1000 mm away") << Options(SPHERE, 30, 250, 180, 1000, RANDOM, 2.5);
    QTest::newRow("hemisphere, axis") << Options(SPHERE, 25, 50, 90, 100, AXIS, 0.005);
    QTest::newRow("cap of 20 degrees") << Options(SPHERE, 25, 50, 20, 10, TILTED, 0.005);
}

} // namespace

class TestDataSets : public QObject
{
    Q_OBJECT

private slots:
    void design_is_the_least_squares_fit_data() { Add_Design_Rows(); }
    void design_is_the_least_squares_fit();
    void written_data_set_is_what_the_manifest_says_data() { Add_Design_Rows(); }
    void written_data_set_is_what_the_manifest_says();
    void least_points_carry_no_deviation_data();
    void least_points_carry_no_deviation();
    void design_that_is_not_the_minimum_is_rejected_data();
    void design_that_is_not_the_minimum_is_rejected();
};

// Before rounding the points were built so that the design is their
// least-squares element; the fitting library, which knows nothing of the
// design, must find it. Circles: under both definitions.
void TestDataSets::design_is_the_least_squares_fit()
{
    QFETCH(TDataSetOptions, options);
    const TDesignedPoints designed = Designed_Points(options, 11);
    QCOMPARE(static_cast<int>(designed.points.size()), options.points);
    std::vector<TFit> fits{Fit_Feature(options.type, designed.points)};
    if (options.type == CIRCLE)
        fits.push_back(Fit_Circle_Orthogonal(designed.points));
    for (const TFit &fit : fits) {
        QVERIFY2(fit.fitted, fit.failure.c_str());
        const double position = Length(fit.position - designed.position);
        QVERIFY2(position <= 1e-10, qPrintable(QString::number(position)));
        if (options.type != SPHERE) {
            const double angle = Angle_Up_To_Sign(fit.direction, designed.direction);
            QVERIFY2(angle <= 1e-10, qPrintable(QString::number(angle)));
        }
        QVERIFY2(std::abs(fit.diameter - designed.diameter) <= 1e-10,
                 qPrintable(QString::number(fit.diameter - designed.diameter)));
    }
    // The largest deviation is the form: the design's residuals, measured.
    double largest = 0;
    for (const TVector3 &p : designed.points) {
        TFit design;
        design.position = designed.position;
        design.direction = designed.direction;
        design.diameter = designed.diameter;
        largest = std::max(largest, Distance_From(options.type, design, p));
    }
    QVERIFY2(std::abs(largest - options.form) <= 1e-12 * options.size,
             qPrintable(QString::number(largest - options.form)));
}

// The file as any reader reads it, measured, against the manifest's entry.
void TestDataSets::written_data_set_is_what_the_manifest_says()
{
    QFETCH(TDataSetOptions, options);
    const std::vector<TDataSet> data_sets = Generate_Data_Sets(options, 2, 5);
    for (const TDataSet &data_set : data_sets)
        QVERIFY2(data_set.failure.isEmpty(), qPrintable(data_set.failure));
    const QByteArray text = Validation_File_Text(options.type, {"comment"}, data_sets);
    const QJsonArray entries =
        QJsonDocument::fromJson(Manifest_Json("1.0", 5, QJsonObject(), {{"x.dat", &data_sets}}))
            .object()["data_sets"]
            .toArray();
    const std::vector<TReadFeature> features = Read_Features(text);
    QCOMPARE(features.size(), size_t(2));
    QCOMPARE(entries.size(), 2);

    const double rounding = 2 * std::pow(10.0, -options.decimals);
    for (int i = 0; i < 2; ++i) {
        const TReadFeature &feature = features[static_cast<size_t>(i)];
        const QJsonObject entry = entries[i].toObject();
        QCOMPARE(feature.number, i + 1);
        QCOMPARE(static_cast<int>(feature.points.size()), entry["points"].toInt());
        QCOMPARE(entry["points"].toInt(), options.points);

        const TFit stated = feature.Stated();
        const TFit fit = Fit_Feature(options.type, feature.points);
        QVERIFY(fit.fitted);
        // The rounding of the points moves a fitted circle's centre and
        // diameter by more the shorter its arc, as 1 / (1 - cos(arc / 2)).
        const double length_tolerance =
            options.type == CIRCLE ? 1e-5 / (1 - std::cos(options.arc * Pi / 360)) : 1e-4;

        // Distance of the design position from the origin.
        QVERIFY2(std::abs(Length(fit.position) - entry["distance"].toDouble()) <= length_tolerance,
                 qPrintable(QString::number(Length(fit.position))));
        // Orientation of the normal, direction, axis; a sphere's cap axis.
        const TVector3 direction = options.type == SPHERE
                                       ? TVector3(entry["cap_axis"].toArray()[0].toDouble(),
                                                  entry["cap_axis"].toArray()[1].toDouble(),
                                                  entry["cap_axis"].toArray()[2].toDouble())
                                       : fit.direction;
        const double off_axis = Angle_From_Nearest_Axis(direction);
        const QString orientation = entry["orientation"].toString();
        if (orientation == "axis")
            QVERIFY2(off_axis <= 1e-5, qPrintable(QString::number(off_axis)));
        else if (orientation == "tilted")
            QVERIFY2(std::abs(off_axis - 0.001) <= 1e-5, qPrintable(QString::number(off_axis)));
        else
            QVERIFY2(off_axis > 0.01, qPrintable(QString::number(off_axis)));

        // Size, and the arc, cap, patch or segment the points spread over.
        const double size = entry["size"].toDouble();
        switch (options.type) {
        case PLANE: {
            // Uniform over a side s the spread is s / sqrt(12).
            TVector3 u = fit.direction * TVector3(1, 0, 0);
            if (Length(u) < 0.1)
                u = fit.direction * TVector3(0, 1, 0);
            u = u.Normal();
            const TVector3 v = fit.direction * u;
            double uu = 0, uv = 0, vv = 0;
            for (const TVector3 &p : feature.points) {
                const TVector3 d = p - fit.position;
                uu += (d ^ u) * (d ^ u);
                uv += (d ^ u) * (d ^ v);
                vv += (d ^ v) * (d ^ v);
            }
            const double n = static_cast<double>(feature.points.size());
            const double middle = (uu + vv) / 2;
            const double half = std::sqrt((uu - vv) * (uu - vv) / 4 + uv * uv);
            const double long_side = std::sqrt(12 * (middle + half) / n);
            const double short_side = std::sqrt(12 * (middle - half) / n);
            const double aspect = entry["aspect"].toDouble();
            if (options.points >= 25) {
                QVERIFY2(std::abs(long_side / size - 1) <= 0.15,
                         qPrintable(QString::number(long_side)));
                QVERIFY2(std::abs(short_side * aspect / size - 1) <= 0.15,
                         qPrintable(QString::number(short_side)));
            }
            QVERIFY(entry["arc"].isNull());
            break;
        }
        case LINE: {
            double low = HUGE_VAL, high = -HUGE_VAL;
            for (const TVector3 &p : feature.points) {
                low = std::min(low, (p - fit.position) ^ fit.direction);
                high = std::max(high, (p - fit.position) ^ fit.direction);
            }
            QVERIFY2(std::abs(high - low - size) <= 1e-4, qPrintable(QString::number(high - low)));
            QVERIFY(entry["aspect"].isNull() && entry["arc"].isNull());
            break;
        }
        case CIRCLE: {
            QVERIFY2(std::abs(fit.diameter - size) <= length_tolerance,
                     qPrintable(QString::number(fit.diameter)));
            const double span = Span_In_Degrees(feature.points, fit);
            const double arc = entry["arc"].toDouble();
            if (arc < 360)
                QVERIFY2(std::abs(span - arc) <= 1e-3, qPrintable(QString::number(span)));
            else
                QVERIFY2(360 - span <= 1.6 * 360 / options.points,
                         qPrintable(QString::number(span)));
            break;
        }
        case SPHERE: {
            QVERIFY2(std::abs(fit.diameter - size) <= 1e-4,
                     qPrintable(QString::number(fit.diameter)));
            double nearest = HUGE_VAL, farthest = 0;
            for (const TVector3 &p : feature.points) {
                const TVector3 d = p - fit.position;
                const double polar = std::atan2(Length(d * direction), d ^ direction);
                nearest = std::min(nearest, polar);
                farthest = std::max(farthest, polar);
            }
            const double cap = entry["arc"].toDouble() * Pi / 180;
            QVERIFY2(std::abs(farthest - cap) <= 1e-5, qPrintable(QString::number(farthest)));
            // Spread from near the pole: the first point lies within the
            // first of the equal areas.
            QVERIFY2(nearest <= cap * 2 / std::sqrt(options.points),
                     qPrintable(QString::number(nearest)));
            break;
        }
        }

        // Residuals of the written points from the stated reference.
        double squares = 0, largest = 0;
        for (const TVector3 &p : feature.points) {
            const double distance = Distance_From(options.type, stated, p);
            squares += distance * distance;
            largest = std::max(largest, distance);
        }
        const double rms = std::sqrt(squares / static_cast<double>(feature.points.size()));
        QVERIFY2(std::abs(rms - feature.Stated_Rms()) <= 1e-9, qPrintable(QString::number(rms)));
        QVERIFY2(std::abs(rms - entry["residual_rms"].toDouble()) <= 1e-9,
                 qPrintable(QString::number(rms)));
        QVERIFY2(std::abs(largest - entry["largest_residual"].toDouble()) <= 1e-9,
                 qPrintable(QString::number(largest)));
        QVERIFY2(std::abs(largest - entry["form"].toDouble()) <= rounding,
                 qPrintable(QString::number(largest)));
    }
}

void TestDataSets::least_points_carry_no_deviation_data()
{
    QTest::addColumn<TDataSetOptions>("options");
    QTest::newRow("plane of 3") << Options(PLANE, 3, 50, 1, 100, RANDOM, 0.5);
    QTest::newRow("line of 2") << Options(LINE, 2, 50, 1, 100, RANDOM, 0.5);
    QTest::newRow("circle of 3") << Options(CIRCLE, 3, 50, 90, 100, RANDOM, 0.5);
    QTest::newRow("sphere of 4") << Options(SPHERE, 4, 50, 180, 100, RANDOM, 0.5);
}

// The element through the least number of points that determines it passes
// through them: whatever form is asked for, none deviates, and the data
// set says so.
void TestDataSets::least_points_carry_no_deviation()
{
    QFETCH(TDataSetOptions, options);
    const TDataSet data_set = Generate_Data_Set(options, 1, 3);
    QVERIFY2(data_set.failure.isEmpty(), qPrintable(data_set.failure));
    QVERIFY(Data_Set_Json("x.dat", data_set)["note"].toString().contains("determine"));
    const std::vector<TReadFeature> features =
        Read_Features(Validation_File_Text(options.type, {}, {data_set}));
    QCOMPARE(features.size(), size_t(1));
    for (const TVector3 &p : features[0].points)
        QVERIFY(Distance_From(options.type, features[0].Stated(), p) <= 1e-9);
}

void TestDataSets::design_that_is_not_the_minimum_is_rejected_data()
{
    QTest::addColumn<TDataSetOptions>("options");
    QTest::addColumn<QString>("cause");
    QTest::newRow("5 mm form on a 10 degree arc")
        << Options(CIRCLE, 25, 50, 10, 0, RANDOM, 5) << "too large for a 10 degree arc";
    QTest::newRow("10 mm form on a cap of 5 degrees")
        << Options(SPHERE, 25, 50, 5, 0, RANDOM, 10) << "too large for a cap of 5 degrees";
    QTest::newRow("1 mm plane written without decimals")
        << Options(PLANE, 25, 1, 1, 0, RANDOM, 0, 0) << "(collinear points)";
}

void TestDataSets::design_that_is_not_the_minimum_is_rejected()
{
    QFETCH(TDataSetOptions, options);
    QFETCH(QString, cause);
    const TDataSet data_set = Generate_Data_Sets(options, 1, 1)[0];
    QVERIFY2(data_set.failure.contains(cause), qPrintable(data_set.failure));
}

QTEST_GUILESS_MAIN(TestDataSets)

#include "test_data_sets.moc"
