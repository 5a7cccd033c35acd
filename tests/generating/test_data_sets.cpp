#include "generated_files.h"

#include "generating/data_set.h"
#include "generating/design.h"
#include "generating/manifest.h"
#include "generating/reference_fit.h"
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

// A cylinder, cone or torus: extent is the length (cylinder, cone) or the
// minor diameter (torus), turn the apex angle (cone) or the band (torus).
TDataSetOptions Surface(TFeatureType type, int points, double size, double arc, double extent,
                        double turn, double distance, TOrientation orientation, double form)
{
    TDataSetOptions options = Default_Options(type);
    options.points = points;
    options.size = size;
    options.arc = arc;
    if (Has_Length(type))
        options.length = extent;
    if (Has_Minor(type))
        options.minor = extent;
    if (Has_Angle(type))
        options.angle = turn;
    if (Has_Band(type))
        options.band = turn;
    options.distance = distance;
    options.orientation = orientation;
    options.form = form;
    return options;
}

constexpr auto PLANE = TFeatureType::PLANE;
constexpr auto LINE = TFeatureType::LINE;
constexpr auto CIRCLE = TFeatureType::CIRCLE;
constexpr auto SPHERE = TFeatureType::SPHERE;
constexpr auto CYLINDER = TFeatureType::CYLINDER;
constexpr auto CONE = TFeatureType::CONE;
constexpr auto TORUS = TFeatureType::TORUS;
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

void Add_Surface_Rows()
{
    QTest::addColumn<TDataSetOptions>("options");
    QTest::newRow("cylinder, 1000 mm away, large form")
        << Surface(CYLINDER, 30, 50, 360, 50, 0, 1000, RANDOM, 0.5);
    QTest::newRow("short cylinder on a 30 degree arc")
        << Surface(CYLINDER, 25, 100, 30, 10, 0, 100, RANDOM, 0.01);
    QTest::newRow("long cylinder on a 90 degree arc, tilted")
        << Surface(CYLINDER, 25, 20, 90, 200, 0, 10, TILTED, 0.002);
    QTest::newRow("cylinder of 6 points, axis")
        << Surface(CYLINDER, 6, 10, 180, 10, 0, 0, AXIS, 0.01);
    QTest::newRow("cone of 30 degrees, 10000 mm away")
        << Surface(CONE, 30, 50, 360, 50, 30, 10000, RANDOM, 0.05);
    QTest::newRow("narrow long cone on a 30 degree arc")
        << Surface(CONE, 40, 50, 30, 500, 1, 100, RANDOM, 0.005);
    QTest::newRow("wide short cone, axis") << Surface(CONE, 25, 100, 180, 10, 120, 0, AXIS, 0.1);
    QTest::newRow("cone of 7 points") << Surface(CONE, 7, 20, 360, 20, 60, 100, TILTED, 0.01);
    QTest::newRow("torus, 1000 mm away")
        << Surface(TORUS, 40, 100, 360, 25, 360, 1000, RANDOM, 0.1);
    QTest::newRow("bearing race: 90 degree arc, 60 degree band")
        << Surface(TORUS, 40, 200, 90, 20, 60, 100, TILTED, 0.02);
    QTest::newRow("fat torus, axis") << Surface(TORUS, 25, 20, 360, 10, 360, 0, AXIS, 0.1);
    QTest::newRow("torus of 8 points") << Surface(TORUS, 8, 50, 360, 10, 360, 10, RANDOM, 0.01);
    QTest::newRow("cylinder 100,000 mm away")
        << Surface(CYLINDER, 25, 50, 360, 50, 0, 100000, RANDOM, 0.05);
    QTest::newRow("torus 100,000 mm away, tilted")
        << Surface(TORUS, 25, 100, 360, 30, 360, 100000, TILTED, 0.05);
}

// The design as a fit, for measuring the points against it.
TFit Design_Fit(const TDesignedPoints &designed)
{
    TFit design;
    design.fitted = true;
    design.position = designed.position;
    design.direction = designed.direction;
    design.diameter = designed.diameter;
    design.apex_angle = designed.apex_angle;
    design.minor_diameter = designed.minor_diameter;
    return design;
}

QString Step_Text(const TStep &step)
{
    return QStringLiteral("step %1 mm, %2 rad, %3 mm, %4 rad, %5 mm")
        .arg(step.position)
        .arg(step.angle)
        .arg(step.diameter)
        .arg(step.apex_angle)
        .arg(step.minor_diameter);
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
    void surface_design_is_the_least_squares_fit_data() { Add_Surface_Rows(); }
    void surface_design_is_the_least_squares_fit();
    void written_surface_is_what_the_manifest_says_data() { Add_Surface_Rows(); }
    void written_surface_is_what_the_manifest_says();
    void library_finds_the_design_data() { Add_Surface_Rows(); }
    void library_finds_the_design();
    void reference_from_off_the_design_data() { Add_Surface_Rows(); }
    void reference_from_off_the_design();
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
    // Without the library's fit every data set is rejected; what is written
    // is measured all the same.
    if (Library_Fits(options.type)) {
        QVERIFY2(data_sets[0].failure.isEmpty() && data_sets[1].failure.isEmpty(),
                 qPrintable(data_sets[0].failure + data_sets[1].failure));
    }
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
        case CYLINDER:
        case CONE:
        case TORUS:
            QFAIL("measured by written_surface_is_what_the_manifest_says");
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

// Before rounding, the design of a cylinder, cone or torus is the
// least-squares element of its points: a Gauss-Newton step from it, with
// derivatives taken numerically, is nil; and the largest deviation is the form.
void TestDataSets::surface_design_is_the_least_squares_fit()
{
    QFETCH(TDataSetOptions, options);
    const TDesignedPoints designed = Designed_Points(options, 11);
    QCOMPARE(static_cast<int>(designed.points.size()), options.points);
    const TFit design = Design_Fit(designed);
    const TStep step = Least_Squares_Step(options.type, design, designed.points);
    QVERIFY2(step.position <= 1e-10 + 1e-14 * options.distance && step.angle <= 1e-10 &&
                 step.diameter <= 1e-10 && step.apex_angle <= 1e-10 && step.minor_diameter <= 1e-10,
             qPrintable(Step_Text(step)));
    double largest = 0;
    for (const TVector3 &p : designed.points)
        largest = std::max(largest, Distance_From(options.type, design, p));
    const double form = options.points == Least_Points(options.type) ? 0 : options.form;
    QVERIFY2(std::abs(largest - form) <= 1e-12 * (options.size + options.distance),
             qPrintable(QString::number(largest - form)));
}

// The fitting library, which knows nothing of the design, finds it from the
// points before rounding.
void TestDataSets::library_finds_the_design()
{
    QFETCH(TDataSetOptions, options);
    if (!Library_Fits(options.type))
        QSKIP("the fitting library has no fit of this type");
    const TDesignedPoints designed = Designed_Points(options, 11);
    const TFit fit = Fit_Feature(options.type, designed.points);
    QVERIFY2(fit.fitted, fit.failure.c_str());
    const TFitDifference apart = Difference(options.type, fit, Design_Fit(designed));
    QVERIFY2(apart.position <= 1e-9 + 1e-14 * options.distance && apart.angle <= 1e-10 &&
                 apart.diameter <= 1e-9 && apart.apex_angle <= 1e-10 &&
                 apart.minor_diameter <= 1e-9,
             qPrintable(QStringLiteral("%1 mm, %2 rad, %3 mm, %4 rad, %5 mm")
                            .arg(apart.position)
                            .arg(apart.angle)
                            .arg(apart.diameter)
                            .arg(apart.apex_angle)
                            .arg(apart.minor_diameter)));
    // A cone's axis points to its wider end.
    if (options.type == CONE)
        QVERIFY((fit.direction ^ designed.direction) > 0);
}

// The generator's own fit, in the portable arithmetic, started off the
// design (shifted, turned, resized) finds the design again from the points
// before rounding.
void TestDataSets::reference_from_off_the_design()
{
    QFETCH(TDataSetOptions, options);
    TRandom random(11);
    TDesign design = Make_Design(options, random);
    const TDesignedPoints designed = Designed_Points(options, 11);
    const double scale = Grid_Scale(options.decimals);
    const TVector3 origin(static_cast<double>(design.position[0]) / scale,
                          static_cast<double>(design.position[1]) / scale,
                          static_cast<double>(design.position[2]) / scale);
    // The points moved across the axis, where the fit starts at the origin.
    const TVec shift = (design.across_1 + design.across_2) * (1e-3 * options.size);
    std::vector<TVec> local;
    for (const TVector3 &p : designed.points) {
        const TVector3 d = p - origin;
        local.push_back(TVec{d.x, d.y, d.z} + shift);
    }
    const TVector3 truth(design.direction.x, design.direction.y, design.direction.z);
    const double true_radius = design.radius;
    design.direction = Unit(design.direction + design.across_2 * 1e-3);
    design.radius *= 1.001;
    design.half_angle *= 1.001;
    design.minor_radius *= 1.001;
    const TReferenceFit fit = Reference_Fit(options.type, local, design);
    QVERIFY(fit.converged);
    const TVec moved = fit.position - shift;
    const double position =
        Length(origin + TVector3(moved.x, moved.y, moved.z) - designed.position);
    QVERIFY2(position <= 1e-10, qPrintable(QString::number(position)));
    const TVector3 direction(fit.direction.x, fit.direction.y, fit.direction.z);
    QVERIFY2(Angle_Up_To_Sign(direction, truth) <= 1e-10,
             qPrintable(QString::number(Angle_Up_To_Sign(direction, truth))));
    QVERIFY2(std::abs(fit.radius - true_radius) <= 1e-10,
             qPrintable(QString::number(fit.radius - true_radius)));
    QVERIFY(std::abs(2 * fit.half_angle - designed.apex_angle) <= 1e-10);
    QVERIFY(std::abs(2 * fit.minor_radius - designed.minor_diameter) <= 1e-10);
    // A cone's direction points to its wider end.
    if (options.type == CONE)
        QVERIFY((direction ^ truth) > 0);
}

// The file as any reader reads it, measured: the stated reference is the
// least-squares element of the written points (a Gauss-Newton step from it
// is below 1e-9), its residuals are what the record and the manifest say,
// and the points span what the manifest's entry asks for.
void TestDataSets::written_surface_is_what_the_manifest_says()
{
    QFETCH(TDataSetOptions, options);
    const std::vector<TDataSet> data_sets = Generate_Data_Sets(options, 2, 5);
    // Without the library's fit every data set is rejected; what is written
    // is measured all the same.
    if (Library_Fits(options.type)) {
        QVERIFY2(data_sets[0].failure.isEmpty() && data_sets[1].failure.isEmpty(),
                 qPrintable(data_sets[0].failure + data_sets[1].failure));
    }
    const QByteArray text = Validation_File_Text(options.type, {"comment"}, data_sets);
    const QJsonArray entries =
        QJsonDocument::fromJson(Manifest_Json("1.0", 5, QJsonObject(), {{"x.dat", &data_sets}}))
            .object()["data_sets"]
            .toArray();
    const std::vector<TReadFeature> features = Read_Features(text);
    QCOMPARE(features.size(), size_t(2));
    QCOMPARE(entries.size(), 2);
    const QString label = QLatin1String(Validation_Type(options.type).label);
    for (int i = 0; i < 2; ++i) {
        const TReadFeature &feature = features[static_cast<size_t>(i)];
        const QJsonObject entry = entries[i].toObject();
        QCOMPARE(entry["label"].toString(), label + QString::number(i + 1));
        QCOMPARE(static_cast<int>(feature.points.size()), options.points);
        const TFit stated = feature.Stated();
        const TStep step = Least_Squares_Step(options.type, stated, feature.points);
        QVERIFY2(step.position <= 1e-9 + 1e-14 * options.distance && step.angle <= 1e-9 &&
                     step.diameter <= 1e-9 && step.apex_angle <= 1e-9 &&
                     step.minor_diameter <= 1e-9,
                 qPrintable(Step_Text(step)));

        // What the design was, within the rounding of the points, which
        // moves the axis and diameter the more the shorter the arc.
        const double rounding =
            std::max(1e-4, 1e-5 / (1 - std::cos(std::min(options.arc, 180.0) * Pi / 360)));
        QVERIFY2(std::abs(Length(stated.position) - entry["distance"].toDouble()) <= rounding,
                 qPrintable(QString::number(Length(stated.position))));
        QVERIFY2(std::abs(stated.diameter - entry["size"].toDouble()) <= rounding,
                 qPrintable(QString::number(stated.diameter - entry["size"].toDouble())));
        const double off_axis = Angle_From_Nearest_Axis(stated.direction);
        const QString orientation = entry["orientation"].toString();
        if (orientation == "axis")
            QVERIFY2(off_axis <= 1e-5, qPrintable(QString::number(off_axis)));
        else if (orientation == "tilted")
            QVERIFY2(std::abs(off_axis - 0.001) <= 1e-5, qPrintable(QString::number(off_axis)));
        else
            QVERIFY2(off_axis > 0.01, qPrintable(QString::number(off_axis)));

        // The span round the axis, and along it or round the tube.
        const TVector3 n = stated.direction / Length(stated.direction);
        TVector3 u = std::abs(n.x) < 0.6 ? TVector3(1, 0, 0) : TVector3(0, 1, 0);
        u = (u - n * (u ^ n)).Normal();
        const TVector3 v = n * u;
        std::vector<double> around, tube;
        double low = HUGE_VAL, high = -HUGE_VAL;
        for (const TVector3 &p : feature.points) {
            const TVector3 d = p - stated.position;
            around.push_back(std::atan2(d ^ v, d ^ u));
            low = std::min(low, d ^ n);
            high = std::max(high, d ^ n);
            tube.push_back(std::atan2(d ^ n, Length(d * n) - stated.diameter / 2));
        }
        const auto Span = [](std::vector<double> angles) {
            std::sort(angles.begin(), angles.end());
            double gap = angles.front() + 2 * Pi - angles.back();
            for (size_t k = 1; k < angles.size(); ++k)
                gap = std::max(gap, angles[k] - angles[k - 1]);
            return (2 * Pi - gap) * 180 / Pi;
        };
        const double arc = entry["arc"].toDouble();
        if (arc < 360)
            QVERIFY2(std::abs(Span(around) - arc) <= 0.01,
                     qPrintable(QString::number(Span(around))));
        if (options.type == TORUS) {
            QVERIFY2(std::abs(stated.minor_diameter - entry["minor"].toDouble()) <= rounding,
                     qPrintable(QString::number(stated.minor_diameter)));
            const double band = entry["band"].toDouble();
            if (band < 360)
                QVERIFY2(std::abs(Span(tube) - band) <= 0.1,
                         qPrintable(QString::number(Span(tube))));
            QVERIFY(!entry.contains("length") && !entry.contains("angle"));
        } else {
            // Deviations along a cone's normal move the points along its
            // axis by up to form sin(half angle).
            QVERIFY2(std::abs(high - low - entry["length"].toDouble()) <=
                         2 * options.form + rounding,
                     qPrintable(QString::number(high - low)));
            QVERIFY(!entry.contains("minor") && !entry.contains("band"));
        }
        if (options.type == CONE) {
            QVERIFY2(std::abs(stated.apex_angle * 180 / Pi - entry["angle"].toDouble()) <= 1e-3,
                     qPrintable(QString::number(stated.apex_angle * 180 / Pi)));
            // Towards the wider end: points further along are further out.
            double moment = 0;
            for (const TVector3 &p : feature.points) {
                const TVector3 d = p - stated.position;
                moment += (d ^ n) * Length(d * n);
            }
            QVERIFY(moment > 0);
        } else {
            QVERIFY(!entry.contains("angle"));
        }

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
        const double form = options.points == Least_Points(options.type) ? 0 : options.form;
        QVERIFY2(std::abs(largest - form) <= 2e-5, qPrintable(QString::number(largest)));
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
    if (!Library_Fits(options.type))
        QSKIP("the fitting library has no fit of this type");
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
