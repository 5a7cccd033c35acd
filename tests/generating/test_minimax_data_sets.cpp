#include "core/vector_measures.h"
#include "generating/data_set.h"
#include "generating/design.h"
#include "generating/minimax_data_set.h"
#include "generating/minimax_options.h"
#include "generating/minimax_suite.h"
#include "generating/suite.h"
#include "generating/validation_text.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(TDataSetOptions)

namespace {

TDataSetOptions Options(TFeatureType type, TCriterion criterion, int points, double size,
                        double shape, double distance, TOrientation orientation, double form,
                        int decimals)
{
    TDataSetOptions options = Default_Options(type);
    options.criterion = criterion;
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

TVector3 Vector(const TVec &v)
{
    return TVector3(v.x, v.y, v.z);
}

constexpr auto MZ = TCriterion::MINIMUM_ZONE;
constexpr auto MCC = TCriterion::MINIMUM_CIRCUMSCRIBED;
constexpr auto MIC = TCriterion::MAXIMUM_INSCRIBED;

} // namespace

class TestMinimaxDataSets : public QObject
{
    Q_OBJECT

private slots:
    void reference_is_the_design_data();
    void reference_is_the_design();
    void options_problems_data();
    void options_problems();
    void file_text();
    void suite_files();
};

void TestMinimaxDataSets::reference_is_the_design_data()
{
    QTest::addColumn<TDataSetOptions>("options");
    const auto R = TOrientation::RANDOM, A = TOrientation::AXIS, T = TOrientation::TILTED;
    const auto LINE = TFeatureType::LINE, PLANE = TFeatureType::PLANE,
               CIRCLE = TFeatureType::CIRCLE;
    QTest::newRow("line, least points") << Options(LINE, MZ, 3, 50, 0, 0, A, 0.01, 5);
    QTest::newRow("line far, 6 decimals") << Options(LINE, MZ, 200, 100, 0, 10000, R, 0.0001, 6);
    QTest::newRow("plane, least points") << Options(PLANE, MZ, 4, 50, 1, 10, T, 0.01, 5);
    QTest::newRow("plane aspect 10") << Options(PLANE, MZ, 500, 500, 10, 1000, R, 0.002, 5);
    QTest::newRow("zone circle 360") << Options(CIRCLE, MZ, 100, 50, 360, 100, R, 0.001, 6);
    QTest::newRow("zone circle 120, least") << Options(CIRCLE, MZ, 4, 20, 120, 0, A, 0.01, 5);
    QTest::newRow("zone circle 180") << Options(CIRCLE, MZ, 50, 1000, 180, 10000, T, 1, 5);
    QTest::newRow("circumscribed 360") << Options(CIRCLE, MCC, 60, 10, 360, 0, R, 0.01, 5);
    QTest::newRow("circumscribed 180, least") << Options(CIRCLE, MCC, 2, 10, 180, 10, A, 0.01, 5);
    QTest::newRow("inscribed 360") << Options(CIRCLE, MIC, 60, 100, 360, 1000, R, 0.0001, 6);
    QTest::newRow("inscribed 200") << Options(CIRCLE, MIC, 30, 5, 200, 10, T, 0.05, 5);
    const auto SPHERE = TFeatureType::SPHERE, CYLINDER = TFeatureType::CYLINDER;
    QTest::newRow("zone sphere") << Options(SPHERE, MZ, 200, 50, 180, 100, R, 0.002, 5);
    QTest::newRow("zone sphere, 60 degree cap") << Options(SPHERE, MZ, 100, 20, 60, 0, A, 0.001, 6);
    QTest::newRow("circumscribed hemisphere") << Options(SPHERE, MCC, 50, 10, 90, 10, T, 0.01, 5);
    QTest::newRow("inscribed sphere") << Options(SPHERE, MIC, 80, 100, 180, 1000, R, 0.005, 5);
    QTest::newRow("zone cylinder") << Options(CYLINDER, MZ, 100, 50, 360, 100, R, 0.002, 5);
    QTest::newRow("zone cylinder 120, short") << [] {
        TDataSetOptions o =
            Options(TFeatureType::CYLINDER, MZ, 60, 40, 120, 0, TOrientation::AXIS, 0.005, 5);
        o.length = 8;
        return o;
    }();
    QTest::newRow("circumscribed cylinder") << Options(CYLINDER, MCC, 60, 20, 360, 10, T, 0.01, 5);
    QTest::newRow("circumscribed cylinder, 200")
        << Options(CYLINDER, MCC, 60, 20, 200, 10, R, 0.01, 5);
    QTest::newRow("inscribed cylinder")
        << Options(CYLINDER, MIC, 60, 100, 360, 1000, R, 0.005, 5);
}

// The points are built so that the design is the optimum; the stated
// reference, the fit of the rounded points, lies within what the rounding
// can move it.
void TestMinimaxDataSets::reference_is_the_design()
{
    QFETCH(TDataSetOptions, options);
    const std::uint64_t seed = 77;
    const TDataSet data_set = Generate_Data_Set(options, 1, seed);
    QVERIFY2(data_set.failure.isEmpty(), qPrintable(data_set.failure));
    QCOMPARE(int(data_set.points.size()), options.points);

    TRandom random(seed);
    const TDesign design = Make_Design(options, random);
    const TMinimaxDesign designed = Minimax_Design_Points(options, design, random);
    const double scale = Grid_Scale(options.decimals);
    const TVector3 origin(design.position[0] / scale, design.position[1] / scale,
                          design.position[2] / scale);
    const double rounding = std::sqrt(3.0) / 2 / scale;
    const TFit stated = Written_Reference(data_set);
    const double form = static_cast<double>(data_set.form) / 1e15;
    QVERIFY2(std::abs(form - designed.form) <= 2 * rounding,
             qPrintable(QStringLiteral("F %1, designed %2").arg(form).arg(designed.form)));

    // The stated element's distance from the design, where the design
    // position lies on it.
    const TVector3 axis = Vector(design.direction);
    const TVector3 offset = stated.position - origin;
    switch (options.type) {
    case TFeatureType::LINE: {
        const TVector3 across = offset - axis * (offset ^ axis);
        QVERIFY2(Length(across) <= 2 * rounding, qPrintable(QString::number(Length(across))));
        const TVector3 normal(data_set.plane_normal[0] / 1e15, data_set.plane_normal[1] / 1e15,
                              data_set.plane_normal[2] / 1e15);
        QVERIFY(std::abs(std::abs(normal ^ Vector(design.across_2)) - 1) < 1e-14);
        break;
    }
    case TFeatureType::PLANE:
        QVERIFY2(std::abs(offset ^ axis) <= 2 * rounding,
                 qPrintable(QString::number(offset ^ axis)));
        break;
    default: {
        // A cylinder's point may lie anywhere along its axis.
        const TVector3 off =
            options.type == TFeatureType::CYLINDER ? offset - axis * (offset ^ axis) : offset;
        QVERIFY2(Length(off) <= 8 * rounding, qPrintable(QString::number(Length(off))));
        QVERIFY2(std::abs(stated.diameter - 2 * design.radius) <= 8 * rounding,
                 qPrintable(QString::number(stated.diameter - 2 * design.radius)));
        break;
    }
    }
    // Directions within what moving the ends by the rounding turns them.
    if (options.type != TFeatureType::SPHERE) {
        const double span = options.type == TFeatureType::CYLINDER ? options.length : options.size;
        QVERIFY(Length(stated.direction * axis) <= 8 * rounding / span);
    }
}

void TestMinimaxDataSets::options_problems_data()
{
    QTest::addColumn<TDataSetOptions>("options");
    QTest::addColumn<QString>("problem");
    const auto R = TOrientation::RANDOM;
    QTest::newRow("circumscribed line")
        << Options(TFeatureType::LINE, MCC, 10, 50, 0, 0, R, 0.01, 5)
        << "--criterion: a line is fitted by the minimum zone only";
    QTest::newRow("zone cone") << Options(TFeatureType::CONE, MZ, 10, 50, 360, 0, R, 0.01, 5)
                               << "--criterion: minimum-zone data sets are generated for lines, "
                                  "planes, circles, spheres and cylinders, not a cone";
    QTest::newRow("no width") << Options(TFeatureType::PLANE, MZ, 10, 50, 1, 0, R, 0, 5)
                              << "--form: more than 0 for a minimum-zone plane";
    QTest::newRow("inscribed on a half circle")
        << Options(TFeatureType::CIRCLE, MIC, 10, 50, 180, 0, R, 0.01, 5)
        << "--arc: a maximum-inscribed circle needs an arc of at least 200 degrees";
    QTest::newRow("circumscribed on 170 degrees")
        << Options(TFeatureType::CIRCLE, MCC, 10, 50, 170, 0, R, 0.01, 5)
        << "--arc: a minimum-circumscribed circle needs an arc of at least 180 degrees";
    QTest::newRow("three points of a plane")
        << Options(TFeatureType::PLANE, MZ, 3, 50, 1, 0, R, 0.01, 5)
        << "--points: a minimum-zone plane needs at least 4";
}

void TestMinimaxDataSets::options_problems()
{
    QFETCH(TDataSetOptions, options);
    QFETCH(QString, problem);
    QCOMPARE(Options_Problem(options), problem);
    QCOMPARE(Generate_Data_Set(options, 1, 1).failure, problem);
}

void TestMinimaxDataSets::file_text()
{
    const TDataSetOptions options =
        Options(TFeatureType::LINE, MZ, 3, 50, 0, 0, TOrientation::AXIS, 0.01, 5);
    const TDataSet data_set = Generate_Data_Set(options, 4, 5);
    QVERIFY2(data_set.failure.isEmpty(), qPrintable(data_set.failure));
    const QByteArray text =
        Validation_File_Text(TFeatureType::LINE, {QStringLiteral("c")}, {data_set}, MZ);
    const QList<QByteArray> lines = text.split('\n');
    QCOMPARE(lines[1], QByteArray("Minimax_Validation:Version=1:Type=Line:Criterion=MinimumZone"));
    QVERIFY(lines[3].startsWith("Line 4 3 "));
    // Number, count, point, direction, plane normal, F.
    QCOMPARE(lines[3].split(' ').size(), 1 + 12);
    QVERIFY(lines[3].endsWith(
        ' ' + QByteArray::number(data_set.form / 1000000000000000) + '.' +
        QByteArray::number(data_set.form % 1000000000000000).rightJustified(15, '0')));
}

void TestMinimaxDataSets::suite_files()
{
    QStringList names;
    for (const TSuiteFile &file : Suite_Files())
        names << Suite_File_Name(file);
    QCOMPARE(names,
             QStringList({"plane.dat", "line.dat", "circle.dat", "sphere.dat", "cylinder.dat",
                          "cone.dat", "torus.dat", "plane-minimum-zone.dat",
                          "line-minimum-zone.dat", "circle-minimum-zone.dat",
                          "circle-minimum-circumscribed.dat", "circle-maximum-inscribed.dat",
                          "sphere-minimum-zone.dat", "sphere-minimum-circumscribed.dat",
                          "sphere-maximum-inscribed.dat", "cylinder-minimum-zone.dat",
                          "cylinder-minimum-circumscribed.dat", "cylinder-maximum-inscribed.dat"}));
    for (const TSuiteFile &file : Suite_Files()) {
        if (file.criterion == TCriterion::LEAST_SQUARES)
            continue;
        const std::vector<TDataSetOptions> list = Minimax_Suite_Options(file.type, file.criterion);
        QVERIFY(list.size() >= 50);
        double least_form = 1, most_form = 0;
        int least_points = 1 << 30, most_points = 0, least_possible = 1 << 30;
        for (const TDataSetOptions &options : list) {
            QVERIFY2(Options_Problem(options).isEmpty(), qPrintable(Options_Problem(options)));
            least_form = std::min(least_form, options.form);
            most_form = std::max(most_form, options.form);
            least_points = std::min(least_points, options.points);
            least_possible = std::min(least_possible, Least_Generated_Points(options));
            most_points = std::max(most_points, options.points);
        }
        QCOMPARE(least_form, 0.0001);
        QCOMPARE(most_form, 1.0);
        // The suite's cylinders hold others besides their contacts.
        QCOMPARE(least_points, file.type == TFeatureType::CYLINDER ? 25 : least_possible);
        QCOMPARE(most_points, 10000);
    }
}

QTEST_APPLESS_MAIN(TestMinimaxDataSets)
#include "test_minimax_data_sets.moc"
