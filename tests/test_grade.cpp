#include "program_run.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

const QString GRADER = QStringLiteral(TESSALINE_GRADE);
const QString CONVERTER = QStringLiteral(TESSALINE_CONVERT);
const QString EXAMPLES = QStringLiteral(TESSALINE_EXAMPLES);
const QString NIST = QStringLiteral(TESSALINE_NIST_DIR);

TProgramRun Grade(const QStringList &arguments)
{
    return Run_Program(GRADER, arguments);
}

QJsonObject Json_Of(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

// The last line of the table.
QString Summary_Of(const TProgramRun &result)
{
    const QList<QByteArray> lines = result.output.trimmed().split('\n');
    return QString::fromUtf8(lines.last());
}

// A plane of 11 x 11 points on z = 5, exactly at its centroid (10, 20, 5),
// which the reference states with a normal (0, 0, 1); a second plane on
// x = 1 at (1, 0, 0).
const QByteArray PLANES = [] {
    QByteArray file = "Best_Fit_Validation:Version=1:Type=Plane\nPlane 1 121 10 20 5 0 0 1 0\n";
    for (int i = -5; i <= 5; ++i)
        for (int j = -5; j <= 5; ++j)
            file += QByteArray::number(10 + 2 * i) + " " + QByteArray::number(20 + 2 * j) + " 5\n";
    file += "Plane 2 4 1 0 0 1 0 0 0\n1 1 1\n1 -1 1\n1 1 -1\n1 -1 -1\n";
    return file;
}();

// The tested software's output for PLANES, with the first plane as given.
QByteArray Planes_Output(const QByteArray &first_plane)
{
    return "DMISMN/'validation.dms',04.0\n"
           "UNITS/MM,ANGDEC\n"
           "$$ results of the fits\n"
           "FA(PLN_1)=FEAT/PLANE,CART," +
           first_plane +
           "\n"
           "FA(PLN_2)=FEAT/PLANE,CART,1.0000,5.0000,$\n"
           "    -3.0000,1,0,0\n"
           "ENDFIL\n";
}

// Directions of 3-4-5 triangles and the axes: cos and sin exact in decimals.
const double TRIPLES[][2] = {{1, 0},       {0.8, 0.6},  {0.6, 0.8},  {0, 1},
                             {-0.6, 0.8},  {-0.8, 0.6}, {-1, 0},     {-0.8, -0.6},
                             {-0.6, -0.8}, {0, -1},     {0.6, -0.8}, {0.8, -0.6}};

QByteArray Point_Line(double x, double y, double z)
{
    return QByteArray::number(x, 'g', 15) + ' ' + QByteArray::number(y, 'g', 15) + ' ' +
           QByteArray::number(z, 'g', 15) + '\n';
}

// A validation file of one feature stated by values, with points exactly
// on a surface of revolution about the z axis (written without rounding):
// at each height z, twelve round at radius(z); for a torus the heights and
// radii of its tube's cross-section.
QByteArray Round_File(const char *type, const QByteArray &values,
                      const std::vector<std::pair<double, double>> &heights_and_radii)
{
    QByteArray points;
    int count = 0;
    for (const auto &ring : heights_and_radii)
        for (const auto &turn : TRIPLES) {
            points += Point_Line(ring.second * turn[0], ring.second * turn[1], ring.first);
            ++count;
        }
    return QByteArray("Best_Fit_Validation:Version=1:Type=") + type + '\n' + type + " 1 " +
           QByteArray::number(count) + ' ' + values + '\n' + points;
}

// A cylinder of diameter 10 about the z axis.
QByteArray Cylinder_File(const QByteArray &values)
{
    return Round_File("Cylinder", values, {{-5, 5}, {0, 5}, {5, 5}});
}

// A cone about the z axis, wider towards +z, 10 across at the origin, its
// radius growing by 1 in 2: included angle 2 atan(1/2), vertex at z = -10.
const QByteArray CONE_ANGLE = QByteArray::number(2 * std::atan(0.5) * 180 / M_PI, 'g', 17);
QByteArray Cone_File(const QByteArray &values)
{
    return Round_File("Cone", values, {{-5, 2.5}, {0, 5}, {10, 10}});
}

// A torus about the origin and the z axis, major diameter 20, minor 10: its
// tube's cross-section at 3-4-5 angles.
QByteArray Torus_File(const QByteArray &values)
{
    std::vector<std::pair<double, double>> rings;
    for (const auto &turn : TRIPLES)
        rings.emplace_back(5 * turn[1], 10 + 5 * turn[0]);
    return Round_File("Torus", values, rings);
}

} // namespace

class TestGrade : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void known_deviations_data();
    void known_deviations();
    void table_rows();
    void json_to_standard_output();
    void csv_with_shuffled_columns();
    void unknown_reference_part_warns_and_is_null();
    void missing_extra_and_duplicate_labels();
    void refit_of_the_examples_passes_data();
    void refit_of_the_examples_passes();
    void refit_finds_a_wrong_reference();
    void refit_of_the_new_types_data();
    void refit_of_the_new_types();
    void refit_reproduces_nist_data();
    void refit_reproduces_nist();
    void whole_loop_from_validation_file_to_a_pass();
    void reports_are_written();
    void suite_grades_every_file_in_name_order();
    void suite_refit_and_report();
    void suite_of_the_new_types();
    void suite_that_cannot_be_graded_data();
    void suite_that_cannot_be_graded();
    void usage_errors_data();
    void usage_errors();
    void unusable_inputs_data();
    void unusable_inputs();
    void help_and_version();
    void record_in_json_and_report();
    void source_date_epoch_that_is_no_date();
    void suite_results_that_do_not_exist_data();
    void suite_results_that_do_not_exist();
    void suite_record();
    void results_of_other_data_get_a_hint_data();
    void results_of_other_data_get_a_hint();
    void missing_feature_says_why();

private:
    std::unique_ptr<QTemporaryDir> directory;
    QString Path(const QString &name) const { return directory->filePath(name); }
};

void TestGrade::init()
{
    directory.reset(new QTemporaryDir);
    QVERIFY(directory->isValid());
    QVERIFY(Write_File(Path("planes.dat"), PLANES));
}

void TestGrade::known_deviations_data()
{
    QTest::addColumn<QByteArray>("first_plane");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("exit_code");
    // Default MPEs: 0.0001 mm, 0.000001 rad. Four decimals of position give
    // e = sqrt(3) 0.00005 = 0.0000866 mm.
    QTest::newRow("exact") << QByteArray("10,20,5,0,0,1") << "pass" << 0.0 << 0.0 << 0;
    QTest::newRow("shifted 0.00001, written to 5 decimals")
        << QByteArray("10.00000,20.00000,5.00001,0,0,1") << "pass" << 0.00001 << 0.0 << 0;
    QTest::newRow("shifted 0.0003: fails")
        << QByteArray("10,20,5.0003,0,0,1") << "fail" << 0.0003 << 0.0 << 1;
    QTest::newRow("exact, written to four decimals: e = 0.0000866 still passes")
        << QByteArray("10.0000,20.0000,5.0000,0,0,1") << "pass" << 0.0 << 0.0 << 0;
    QTest::newRow("written too coarsely to tell")
        << QByteArray("10.000,20.000,5.000,0,0,1") << "inconclusive" << 0.0 << 0.0 << 1;
    // Tilted by 0.00001 rad about the y axis through the centroid: the grid's
    // edge at x = +-10 moves by 10 sin(0.00001).
    QTest::newRow("tilted 10 µrad: angle fails")
        << QByteArray("10,20,5,0.00001,0,1") << "fail" << 10 * std::sin(std::atan(0.00001))
        << std::atan(0.00001) << 1;
    QTest::newRow("normal flipped and scaled")
        << QByteArray("10,20,5,0,0,-3") << "pass" << 0.0 << 0.0 << 0;
}

void TestGrade::known_deviations()
{
    QFETCH(QByteArray, first_plane);
    QFETCH(QString, verdict);
    QFETCH(double, position);
    QFETCH(double, angle);
    QFETCH(int, exit_code);
    QVERIFY(Write_File(Path("out.dmo"), Planes_Output(first_plane)));
    const TProgramRun result =
        Grade({Path("planes.dat"), Path("out.dmo"), "--json", Path("g.json")});
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, exit_code);
    const QJsonObject json = Json_Of(Read_File(Path("g.json")));
    const QJsonArray features = json["features"].toArray();
    QCOMPARE(features.size(), 2);
    const QJsonObject first = features[0].toObject();
    QCOMPARE(first["label"].toString(), QString("PLN_1"));
    QCOMPARE(first["type"].toString(), QString("plane"));
    QCOMPARE(first["verdict"].toString(), verdict);
    QVERIFY(std::fabs(first["position"].toObject()["deviation"].toDouble() - position) < 1e-12);
    QVERIFY(std::fabs(first["angle"].toObject()["deviation"].toDouble() - angle) < 1e-15);
    QVERIFY(!first.contains("size"));
    // The second plane, continued over two lines, is exact.
    QCOMPARE(features[1].toObject()["verdict"].toString(), QString("pass"));
}

void TestGrade::table_rows()
{
    QVERIFY(Write_File(Path("out.dmo"), Planes_Output("10,20,5.0003,0,0,1")));
    const TProgramRun result = Grade({Path("planes.dat"), Path("out.dmo")});
    QCOMPARE(result.exit_code, 1);
    const QStringList lines = QString::fromUtf8(result.output).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0].simplified(), QString("label quantity deviation MPE verdict"));
    QCOMPARE(lines[1].simplified(),
             QString::fromUtf8("PLN_1 position 0.300000 µm 0.100000 µm fail"));
    QCOMPARE(lines[2].simplified(),
             QString::fromUtf8("PLN_1 angle 0.000000 µrad 1.000000 µrad pass"));
    QCOMPARE(lines[3].simplified(),
             QString::fromUtf8("PLN_2 position 0.000000 µm 0.100000 µm pass"));
    QCOMPARE(lines[5],
             QString("2 features: 1 pass, 1 fail, 0 inconclusive, 0 missing, 0 ambiguous, "
                     "0 unfit"));
}

void TestGrade::json_to_standard_output()
{
    QVERIFY(Write_File(Path("out.dmo"), Planes_Output("10,20,5,0,0,1")));
    const TProgramRun result = Grade({"--json", "-", "--software", "Probe 7.1", "--position-mpe",
                                      "0.002", Path("planes.dat"), Path("out.dmo")});
    QCOMPARE(result.exit_code, 0);
    const QJsonObject json = Json_Of(result.output);
    QCOMPARE(json["reference"].toString(), Path("planes.dat"));
    QCOMPARE(json["results"].toString(), Path("out.dmo"));
    QCOMPARE(json["results_format"].toString(), QString("DMIS output"));
    QCOMPARE(json["tested_software"].toString(), QString("Probe 7.1"));
    QCOMPARE(json["mpe"].toObject()["position"].toDouble(), 0.002);
    QCOMPARE(json["mpe"].toObject()["angle"].toDouble(), 0.000001);
    QCOMPARE(json["mpe"].toObject()["size"].toDouble(), 0.0001);
    QCOMPARE(json["summary"].toObject()["pass"].toInt(), 2);
    const QJsonObject position = json["features"].toArray()[1].toObject()["position"].toObject();
    QCOMPARE(position["mpe"].toDouble(), 0.002);
    // Four decimals: sqrt(3) 0.00005, and no angle uncertainty.
    QVERIFY(std::fabs(position["resolution"].toDouble() - std::sqrt(3.0) * 0.00005) < 1e-15);
    QCOMPARE(position["verdict"].toString(), QString("pass"));
}

void TestGrade::csv_with_shuffled_columns()
{
    QVERIFY(Write_File(Path("out.csv"), "K,label,z,y,x,j,i\n"
                                        "1,\"PLN_1\",5.0002,20,10,0,0\n"
                                        "0,PLN_2,-3,5,1,0,1\n"));
    const TProgramRun result = Grade({Path("planes.dat"), Path("out.csv"), "--json", "-"});
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 1);
    const QJsonArray features = Json_Of(result.output)["features"].toArray();
    QCOMPARE(features[0].toObject()["verdict"].toString(), QString("fail"));
    QVERIFY(std::fabs(features[0].toObject()["position"].toObject()["deviation"].toDouble() -
                      0.0002) < 1e-12);
    QCOMPARE(features[1].toObject()["verdict"].toString(), QString("pass"));
}

void TestGrade::unknown_reference_part_warns_and_is_null()
{
    // Three points that span a plane as written here, but lie on a line at
    // the program's 6 decimals: the rounding's part of e cannot be
    // computed. The results are exactly the stated plane, yet not a pass.
    QVERIFY(Write_File(Path("flat.dat"), "Best_Fit_Validation:Version=1:Type=Plane\n"
                                         "Plane 1 3 0.5 0 0 0 0 1 0\n"
                                         "0 0 0\n1 0 0\n0.5 0.0000004 0\n"));
    QVERIFY(Write_File(Path("flat.csv"), "label,x,y,z,i,j,k\nPLN_1,0.5,0,0,0,0,1\n"));
    const TProgramRun result = Grade({Path("flat.dat"), Path("flat.csv"), "--json", "-"});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 1);
    QCOMPARE(result.errors[0],
             Path("flat.dat") +
                 ":2: warning: PLN_1: the reference rounding cannot be computed (collinear "
                 "points): its position and angle are graded inconclusive");
    const QJsonObject feature = Json_Of(result.output)["features"].toArray()[0].toObject();
    QCOMPARE(feature["verdict"].toString(), QString("inconclusive"));
    for (const char *name : {"position", "angle"}) {
        const QJsonObject quantity = feature[name].toObject();
        QCOMPARE(quantity["deviation"].toDouble(-1), 0.0);
        QVERIFY(quantity["reference_rounding"].isNull());
        QVERIFY(quantity["uncertainty"].isNull());
        QCOMPARE(quantity["reference_definition"].toDouble(-1), 0.0);
        QCOMPARE(quantity["verdict"].toString(), QString("inconclusive"));
    }
}

void TestGrade::missing_extra_and_duplicate_labels()
{
    // Plane 1 twice in the reference: ambiguous; plane 2 missing; plane 3
    // not in the reference; plane 4 given twice, the last counts.
    QByteArray reference = PLANES;
    reference += "Plane 1 3 0 0 0 0 0 1 0\n0 0 0\n1 0 0\n0 1 0\n";
    reference += "Plane 4 3 0 0 0 0 0 1 0\n0 0 0\n1 0 0\n0 1 0\n";
    QVERIFY(Write_File(Path("dup.dat"), reference));
    QVERIFY(Write_File(Path("out.dmo"), "FA(PLN_1)=FEAT/PLANE,CART,10,20,5,0,0,1\n"
                                        "FA(PLN_3)=FEAT/PLANE,CART,0,0,0,0,0,1\n"
                                        "FA(PLN_4)=FEAT/PLANE,CART,0,0,1,0,0,1\n"
                                        "fa(pln_4)=feat/plane,cart,0,0,0,0,0,1\n"));
    const TProgramRun result = Grade({Path("dup.dat"), Path("out.dmo"), "--json", "-"});
    QCOMPARE(result.exit_code, 1);
    const QJsonObject json = Json_Of(result.output);
    const QJsonArray features = json["features"].toArray();
    QCOMPARE(features.size(), 3);
    QCOMPARE(features[0].toObject()["label"].toString(), QString("PLN_1"));
    QCOMPARE(features[0].toObject()["verdict"].toString(), QString("ambiguous"));
    QVERIFY(!features[0].toObject().contains("position"));
    QCOMPARE(features[1].toObject()["verdict"].toString(), QString("missing"));
    QCOMPARE(features[2].toObject()["label"].toString(), QString("PLN_4"));
    QCOMPARE(features[2].toObject()["verdict"].toString(), QString("pass"));
    const QJsonObject summary = json["summary"].toObject();
    QCOMPARE(summary["ambiguous"].toInt(), 1);
    QCOMPARE(summary["missing"].toInt(), 1);
    QCOMPARE(summary["pass"].toInt(), 1);

    const QString results = Path("out.dmo");
    // PLN_3 is not in the reference; pln_4 matches only when case is
    // ignored, and was given before; PLN_2 is missing, which the last
    // warning says on the reference's line.
    QCOMPARE(result.errors.size(), 4);
    QVERIFY2(result.errors[0].startsWith(results + ":2: warning: "), qPrintable(result.errors[0]));
    QVERIFY2(result.errors[0].contains("PLN_3"), qPrintable(result.errors[0]));
    for (int i = 1; i < 3; ++i)
        QVERIFY2(result.errors[i].startsWith(results + ":4: warning: "),
                 qPrintable(result.errors[i]));
    QCOMPARE(result.errors[3], Path("dup.dat") + ":124: warning: PLN_2 is graded missing: the "
                                                 "results hold nothing for it");
}

void TestGrade::refit_of_the_examples_passes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("features");
    for (const char *name : {"plane", "line", "circle", "sphere"})
        QTest::newRow(name) << name << 2;
}

void TestGrade::refit_of_the_examples_passes()
{
    QFETCH(QString, name);
    QFETCH(int, features);
    const TProgramRun result = Grade({"--refit", EXAMPLES + "/" + name + ".dat", "--json", "-"});
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    const QJsonObject json = Json_Of(result.output);
    QVERIFY(json["results"].isNull() && json["results_format"].isNull());
    QCOMPARE(json["summary"].toObject()["pass"].toInt(), features);
}

void TestGrade::refit_finds_a_wrong_reference()
{
    // The first plane's stated normal is 0.00001 rad off its points' fit,
    // the second is right, and a third of two points cannot be fitted.
    QByteArray content = PLANES;
    content.replace("Plane 1 121 10 20 5 0 0 1 0", "Plane 1 121 10 20 5 0.00001 0 1 0");
    content += "Plane 3 2 0 0 0 0 0 1 0\n0 0 0\n1 1 1\n";
    QVERIFY(Write_File(Path("wrong.dat"), content));
    const TProgramRun result = Grade({"--refit", Path("wrong.dat")});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(
        Summary_Of(result),
        QString("3 features: 1 pass, 1 fail, 0 inconclusive, 0 missing, 0 ambiguous, 1 unfit"));
    QVERIFY(result.output.contains("PLN_3"));
}

void TestGrade::refit_of_the_new_types_data()
{
    // Under --refit the file's stated values are graded against the fit of
    // its points: each quantity named is off by exactly that, the others by
    // nothing. The fit states a cone at the axis point nearest the points'
    // centroid, z = 5/3, where a wider cone stated at z = 0 is wider too.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QVariantMap>("deviations");
    const double tilt = std::atan(0.0001);
    const double wider = 0.01 * M_PI / 180;
    const QByteArray vertex = "0 0 -10 ";
    QTest::newRow("cylinder as stated") << Cylinder_File("0 0 0 0 0 1 10 0") << QVariantMap{};
    QTest::newRow("cylinder, another point, reversed")
        << Cylinder_File("0 0 3 0 0 -1 10 0") << QVariantMap{};
    QTest::newRow("cylinder shifted")
        << Cylinder_File("0.003 0.004 0 0 0 1 10 0") << QVariantMap{{"position", 0.005}};
    QTest::newRow("cylinder tilted")
        << Cylinder_File("0 0 0 0.0001 0 1 10 0")
        << QVariantMap{{"position", 5 * std::sin(tilt)}, {"angle", tilt}};
    QTest::newRow("cylinder larger")
        << Cylinder_File("0 0 0 0 0 1 10.002 0") << QVariantMap{{"size", 0.002}};
    QTest::newRow("cone as stated")
        << Cone_File("0 0 0 0 0 1 " + CONE_ANGLE + " 10 0") << QVariantMap{};
    QTest::newRow("cone from its vertex")
        << Cone_File(vertex + "0 0 1 " + CONE_ANGLE + " 0 0") << QVariantMap{};
    QTest::newRow("cone from its vertex, reversed")
        << Cone_File(vertex + "0 0 -1 " + CONE_ANGLE + " 0 0") << QVariantMap{};
    QTest::newRow("cone from a point above, reversed")
        << Cone_File("0 0 4 0 0 -1 " + CONE_ANGLE + " 14 0") << QVariantMap{};
    QTest::newRow("cone wider")
        << Cone_File("0 0 0 0 0 1 " +
                     QByteArray::number(2 * std::atan(0.5) * 180 / M_PI + 0.01, 'g', 17) + " 10 0")
        << QVariantMap{{"apex_angle", wider},
                       {"size", 5.0 / 3 * (2 * std::tan(std::atan(0.5) + wider / 2) - 1)}};
    QTest::newRow("cone shifted") << Cone_File("0.003 -0.004 0 0 0 1 " + CONE_ANGLE + " 10 0")
                                  << QVariantMap{{"position", 0.005}};
    QTest::newRow("cone smaller") << Cone_File("0 0 0 0 0 1 " + CONE_ANGLE + " 9.997 0")
                                  << QVariantMap{{"size", -0.003}};
    QTest::newRow("torus as stated") << Torus_File("0 0 0 0 0 -1 20 10 0") << QVariantMap{};
    QTest::newRow("torus shifted")
        << Torus_File("0 0.003 0.004 0 0 1 20 10 0") << QVariantMap{{"position", 0.005}};
    QTest::newRow("torus tilted") << Torus_File("0 0 0 0 0.0001 1 20 10 0")
                                  << QVariantMap{{"angle", tilt}};
    QTest::newRow("torus larger") << Torus_File("0 0 0 0 0 1 20.002 10 0")
                                  << QVariantMap{{"size", 0.002}};
    QTest::newRow("torus, thicker tube")
        << Torus_File("0 0 0 0 0 1 20 10.003 0") << QVariantMap{{"minor_size", 0.003}};
}

void TestGrade::refit_of_the_new_types()
{
    QFETCH(QByteArray, content);
    QFETCH(QVariantMap, deviations);
    QVERIFY(Write_File(Path("feature.dat"), content));
    const TProgramRun result = Grade({"--refit", Path("feature.dat"), "--json", "-"});
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, deviations.isEmpty() ? 0 : 1);
    const QJsonObject feature = Json_Of(result.output)["features"].toArray()[0].toObject();
    QCOMPARE(feature["verdict"].toString(), QString(deviations.isEmpty() ? "pass" : "fail"));
    int quantities = 0;
    for (const char *name : {"position", "angle", "size", "apex_angle", "minor_size"}) {
        if (!feature.contains(name))
            continue;
        ++quantities;
        const double deviation = feature[name].toObject()["deviation"].toDouble();
        const double expected = deviations.value(name, 0.0).toDouble();
        QVERIFY2(std::fabs(deviation - expected) < 1e-9,
                 qPrintable(QStringLiteral("%1: %2, expected %3")
                                .arg(name)
                                .arg(deviation, 0, 'g', 17)
                                .arg(expected, 0, 'g', 17)));
    }
    QCOMPARE(quantities, feature["type"].toString() == "cylinder" ? 3 : 4);
}

void TestGrade::refit_reproduces_nist_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("type");
    QTest::newRow("planes") << "plane"
                            << "Plane";
    QTest::newRow("lines") << "line"
                           << "Line";
    QTest::newRow("circles") << "circle3d"
                             << "Circle";
    QTest::newRow("spheres") << "sphere"
                             << "Sphere";
}

void TestGrade::refit_reproduces_nist()
{
    QFETCH(QString, folder);
    QFETCH(QString, type);
    const QDir sets(NIST + "/" + folder);
    QVERIFY2(sets.exists(), qPrintable("NIST's reference pairs are not at " + NIST));

    // One validation file of every set: the certified fit as its reference
    // result, written with all the digits NIST gives, and the set's points.
    QByteArray content = "Best_Fit_Validation:Version=1:Type=" + type.toLatin1() + "\n";
    int number = 0;
    for (const QString &name : sets.entryList({"*.ds"}, QDir::Files, QDir::Name)) {
        const QList<QByteArray> points = Read_File(sets.filePath(name)).simplified().split(' ');
        QList<QByteArray> fit =
            Read_File(sets.filePath(QString(name).replace(".ds", ".fit"))).simplified().split(' ');
        const int count = points[0].toInt();
        QCOMPARE(points.size(), 1 + 3 * count);
        content += type.toLatin1() + " " + QByteArray::number(++number) + " " +
                   QByteArray::number(count) + " " + fit.join(' ') + " 0\n";
        for (int i = 0; i < count; ++i)
            content += points[1 + 3 * i] + " " + points[2 + 3 * i] + " " + points[3 + 3 * i] + "\n";
    }
    QVERIFY(number > 0);
    QVERIFY(Write_File(Path("nist.dat"), content));

    const TProgramRun result = Grade({"--refit", Path("nist.dat"), "--json", "-"});
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    const QJsonArray features = Json_Of(result.output)["features"].toArray();
    QCOMPARE(features.size(), number);
    double largest[3] = {0, 0, 0};
    for (const QJsonValue &value : features) {
        const QJsonObject feature = value.toObject();
        QCOMPARE(feature["verdict"].toString(), QString("pass"));
        int index = 0;
        for (const char *quantity : {"position", "angle", "size"}) {
            if (feature.contains(quantity)) {
                const double deviation =
                    std::fabs(feature[quantity].toObject()["deviation"].toDouble());
                QVERIFY2(deviation <= 1e-9,
                         qPrintable(feature["label"].toString() + " " + quantity + " " +
                                    QString::number(deviation)));
                largest[index] = std::max(largest[index], deviation);
            }
            ++index;
        }
    }
    qInfo("%s: %d sets, largest deviation: position %.3g mm, angle %.3g rad, size %.3g mm",
          qPrintable(folder), number, largest[0], largest[1], largest[2]);
}

void TestGrade::whole_loop_from_validation_file_to_a_pass()
{
    // Convert with the fits asked back, let a "software" answer each
    // OUTPUT/FA with the reference fit, and grade what it wrote.
    const TProgramRun converted =
        Run_Program(CONVERTER, {"--output-fits", EXAMPLES + "/circle.dat"});
    QCOMPARE(converted.exit_code, 0);
    QByteArray output = "DMISMN/'validation.dms',04.0\nUNITS/INCH,ANGDEC\n";
    QStringList asked;
    for (const QByteArray &line : converted.output.split('\n')) {
        if (!line.startsWith("OUTPUT/FA("))
            continue;
        const QByteArray label = line.mid(10, line.size() - 11);
        asked << QString::fromLatin1(label);
        // The nominal statement of the same feature holds the reference.
        const int at = converted.output.indexOf("F(" + label + ")=FEAT/CIRCLE,INNER,CART,");
        QVERIFY(at >= 0);
        const int end = converted.output.indexOf('\n', at);
        QList<QByteArray> values =
            converted.output.mid(at, end - at).split(',').mid(3); // x y z i j k d
        QCOMPARE(values.size(), 7);
        // In inches, as some software writes: lengths / 25.4, to many digits.
        for (int i : {0, 1, 2, 6})
            values[i] = QByteArray::number(values[i].toDouble() / 25.4, 'f', 12);
        output += "FA(" + label + ")=FEAT/CIRCLE,INNER,CART," + values.join(',') + "\n";
    }
    QCOMPARE(asked, (QStringList{"CIR_1", "CIR_2"}));
    output += "ENDFIL\n";
    QVERIFY(Write_File(Path("circle.dmo"), output));
    const TProgramRun result =
        Grade({EXAMPLES + "/circle.dat", Path("circle.dmo"), "--angle-mpe", "0.000005"});
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(
        Summary_Of(result),
        QString("2 features: 2 pass, 0 fail, 0 inconclusive, 0 missing, 0 ambiguous, 0 unfit"));
    QCOMPARE(result.exit_code, 0);

    // CIR_2 lies on a 120 degree arc with some 50 µm of form: there NIST's
    // circle and the full three-dimensional one part by 1.5 µrad, so at the
    // default 1 µrad its angle cannot be told, however exact the software.
    const TProgramRun strict = Grade({EXAMPLES + "/circle.dat", Path("circle.dmo"), "--json", "-"});
    QCOMPARE(strict.exit_code, 1);
    const QJsonArray features = Json_Of(strict.output)["features"].toArray();
    QCOMPARE(features[0].toObject()["verdict"].toString(), QString("pass"));
    const QJsonObject angle = features[1].toObject()["angle"].toObject();
    QCOMPARE(angle["verdict"].toString(), QString("inconclusive"));
    QVERIFY(angle["deviation"].toDouble() < 1e-9);
    QVERIFY(angle["reference_definition"].toDouble() > 1e-6);
    QCOMPARE(angle["reference_rounding"].toDouble(), 0.0);
}

void TestGrade::reports_are_written()
{
    QVERIFY(Write_File(Path("out.dmo"), Planes_Output("10,20,5.0003,0,0,1")));
    for (const QString &name : {QString("report.html"), QString("report.pdf")}) {
        const TProgramRun result = Grade({Path("planes.dat"), Path("out.dmo"), "--report",
                                          Path(name), "--software", "Example 4.2"});
        QCOMPARE(result.exit_code, 1);
        QCOMPARE(result.errors, QStringList{});
        const QByteArray report = Read_File(Path(name));
        if (name.endsWith("html")) {
            QVERIFY(report.contains("PLN_1"));
            QVERIFY(report.contains("Example 4.2"));
            QVERIFY(report.contains("<svg"));
        } else {
            QVERIFY(report.startsWith("%PDF-"));
        }
    }
    // An impossible report is an error, and the run says so.
    const TProgramRun failed =
        Grade({Path("planes.dat"), Path("out.dmo"), "--report", Path("no/such/dir/r.html")});
    QCOMPARE(failed.exit_code, 2);
    QCOMPARE(failed.errors.size(), 1);
    QVERIFY2(failed.errors[0].startsWith(Path("no/such/dir/r.html") + ": error: cannot write: "),
             qPrintable(failed.errors[0]));
    // Never over an input.
    const TProgramRun over_input =
        Grade({Path("planes.dat"), Path("out.dmo"), "--json", Path("out.dmo")});
    QCOMPARE(over_input.exit_code, 2);
    QCOMPARE(Read_File(Path("out.dmo")), Planes_Output("10,20,5.0003,0,0,1"));
}

void TestGrade::suite_grades_every_file_in_name_order()
{
    // b has both kinds of results: the DMIS output is taken, the CSV (which
    // would pass) is not; c has none; the .txt is no validation file.
    QVERIFY(QDir(Path("")).mkpath("s") && QDir(Path("")).mkpath("r"));
    for (const char *name : {"s/c.dat", "s/b.dat", "s/a.dat"})
        QVERIFY(Write_File(Path(name), PLANES));
    QVERIFY(Write_File(Path("s/notes.txt"), "not graded"));
    QVERIFY(
        Write_File(Path("r/a.csv"), "label,x,y,z,i,j,k\nPLN_1,10,20,5,0,0,1\nPLN_2,1,0,0,1,0,0\n"));
    QVERIFY(Write_File(Path("r/b.dmo"), Planes_Output("10,20,5.0003,0,0,1")));
    QVERIFY(Write_File(Path("r/b.csv"), Read_File(Path("r/a.csv"))));

    const TProgramRun json_run = Grade({"--suite", Path("s"), Path("r"), "--json", "-"});
    QCOMPARE(json_run.exit_code, 1);
    QCOMPARE(json_run.errors.size(), 1);
    QVERIFY2(json_run.errors[0].startsWith(Path("s/c.dat") + ": warning: no results: "),
             qPrintable(json_run.errors[0]));
    QVERIFY2(json_run.errors[0].contains(Path("r/c.dmo")) &&
                 json_run.errors[0].contains(Path("r/c.csv")),
             qPrintable(json_run.errors[0]));
    const QJsonObject json = Json_Of(json_run.output);
    const QJsonArray files = json["files"].toArray();
    QCOMPARE(files.size(), 3);
    QCOMPARE(files[0].toObject()["reference"].toString(), Path("s/a.dat"));
    QCOMPARE(files[0].toObject()["results"].toString(), Path("r/a.csv"));
    QCOMPARE(files[1].toObject()["results"].toString(), Path("r/b.dmo"));
    QVERIFY(files[2].toObject()["results"].isNull());
    QCOMPARE(files[1].toObject()["features"].toArray()[0].toObject()["verdict"].toString(),
             QString("fail"));
    QCOMPARE(files[2].toObject()["summary"].toObject()["missing"].toInt(), 2);

    // Position: one deviation of 0.0003 mm and three of 0 among 6 data sets;
    // the verdict counts as in the table below.
    const QJsonArray by_type = json["summary_by_type"].toArray();
    QCOMPARE(by_type.size(), 2);
    const QJsonObject position = by_type[0].toObject();
    QCOMPARE(position["type"].toString(), QString("plane"));
    QCOMPARE(position["quantity"].toString(), QString("position"));
    QCOMPARE(position["data_sets"].toInt(), 6);
    QCOMPARE(position["graded"].toInt(), 4);
    QVERIFY(std::fabs(position["largest"].toDouble() - 0.0003) < 1e-12);
    QVERIFY(std::fabs(position["rms"].toDouble() - 0.00015) < 1e-12);
    QVERIFY(std::fabs(position["largest_share"].toDouble() - 3) < 1e-8);
    QCOMPARE(position["fail"].toInt(), 1);
    QCOMPARE(by_type[1].toObject()["quantity"].toString(), QString("angle"));
    QCOMPARE(by_type[1].toObject()["pass"].toInt(), 4);

    // The table: the file first on every row, a summary line per file, the
    // summary per type, and the total.
    const TProgramRun table = Grade({"--suite", Path("s"), Path("r")});
    QCOMPARE(table.exit_code, 1);
    const QStringList lines = QString::fromUtf8(table.output).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines[0].simplified(), QString("file label quantity deviation MPE verdict"));
    QCOMPARE(lines[5].simplified(),
             QString::fromUtf8("b.dat PLN_1 position 0.300000 µm 0.100000 µm fail"));
    QCOMPARE(lines[9].simplified(), QString("c.dat PLN_1 - - - missing"));
    QCOMPARE(lines[12], QString("b.dat: 2 features: 1 pass, 1 fail, 0 inconclusive, 0 missing, "
                                "0 ambiguous, 0 unfit"));
    QCOMPARE(lines[15].simplified(),
             QString::fromUtf8("plane position 6 0.150000 µm 0.300000 µm 300.0 % 3 1 0 2 0 0"));
    QCOMPARE(lines.last(), QString("3 files, 6 features: 3 pass, 1 fail, 0 inconclusive, "
                                   "2 missing, 0 ambiguous, 0 unfit"));
}

void TestGrade::suite_refit_and_report()
{
    QVERIFY(QDir(Path("")).mkpath("s"));
    for (const char *name : {"s/one.dat", "s/two.dat"})
        QVERIFY(Write_File(Path(name), PLANES));
    const TProgramRun refit = Grade({"--refit", "--suite", Path("s"), "--report", Path("r.html")});
    QCOMPARE(refit.errors, QStringList{});
    QCOMPARE(refit.exit_code, 0);
    QCOMPARE(Summary_Of(refit), QString("2 files, 4 features: 4 pass, 0 fail, 0 inconclusive, "
                                        "0 missing, 0 ambiguous, 0 unfit"));
    const QByteArray html = Read_File(Path("r.html"));
    QVERIFY(html.contains("Summary by feature type"));
    QVERIFY(html.contains("<h2>one.dat</h2>") && html.contains("<h2>two.dat</h2>"));
    QCOMPARE(html.count("<rect class=\"heading\""), 2);
}

void TestGrade::suite_of_the_new_types()
{
    // Found by name like the others, summarised in the order of the types.
    QVERIFY(QDir(Path("")).mkpath("s"));
    QVERIFY(Write_File(Path("s/torus.dat"), Torus_File("0 0 0 0 0 1 20 10.003 0")));
    QVERIFY(Write_File(Path("s/cone.dat"), Cone_File("0 0 -10 0 0 -1 " + CONE_ANGLE + " 0 0")));
    QVERIFY(Write_File(Path("s/cylinder.dat"), Cylinder_File("0 0 0 0 0 1 10 0")));
    QVERIFY(Write_File(Path("s/plane.dat"), PLANES));
    const TProgramRun run = Grade({"--refit", "--suite", Path("s"), "--json", "-"});
    QCOMPARE(run.errors, QStringList{});
    QCOMPARE(run.exit_code, 1);
    const QJsonObject json = Json_Of(run.output);
    QStringList files;
    for (const QJsonValue &file : json["files"].toArray())
        files << QFileInfo(file.toObject()["reference"].toString()).fileName();
    QCOMPARE(files, (QStringList{"cone.dat", "cylinder.dat", "plane.dat", "torus.dat"}));
    QStringList rows;
    for (const QJsonValue &row : json["summary_by_type"].toArray())
        rows << row.toObject()["type"].toString() + ' ' + row.toObject()["quantity"].toString() +
                    ' ' + QString::number(row.toObject()["fail"].toInt());
    QCOMPARE(rows,
             (QStringList{"plane position 0", "plane angle 0", "cylinder position 0",
                          "cylinder angle 0", "cylinder size 0", "cone position 0", "cone angle 0",
                          "cone apex_angle 0", "cone size 0", "torus position 0", "torus angle 0",
                          "torus size 0", "torus minor_size 1"}));
    QCOMPARE(json["summary"].toObject()["pass"].toInt(), 4);
    QCOMPARE(json["summary"].toObject()["fail"].toInt(), 1);

    const QString table = QString::fromUtf8(Grade({"--refit", "--suite", Path("s")}).output);
    const QString simplified = table.simplified();
    QVERIFY2(simplified.contains("cone.dat CON_1 apex angle "), qPrintable(table));
    QVERIFY2(simplified.contains("torus minor size 1 "), qPrintable(table));
}

void TestGrade::suite_that_cannot_be_graded_data()
{
    QTest::addColumn<QString>("suite");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("table_lines");
    QTest::newRow("no such directory")
        << "none"
        << "none: error: cannot read: No such file or directory" << 0;
    QTest::newRow("no validation file") << "empty"
                                        << "empty: error: holds no validation file" << 0;
    // The other file is still graded and reported: 4 rows under the
    // header, its summary line, 2 rows under the type header, the total.
    QTest::newRow("one file not a validation file")
        << "mixed"
        << "mixed/bad.dat: error: not a validation file" << 10;
}

void TestGrade::suite_that_cannot_be_graded()
{
    QFETCH(QString, suite);
    QFETCH(QString, error);
    QFETCH(int, table_lines);
    QVERIFY(QDir(Path("")).mkpath("empty") && QDir(Path("")).mkpath("mixed"));
    QVERIFY(Write_File(Path("mixed/bad.dat"), "Plane 1 1 0 0 0 0 0 1 0\n"));
    QVERIFY(Write_File(Path("mixed/good.dat"), PLANES));
    const TProgramRun result = Grade({"--refit", "--suite", Path(suite)});
    QCOMPARE(result.exit_code, 2);
    QVERIFY2(result.errors.size() == 1 && result.errors[0].startsWith(Path(error)),
             qPrintable(result.errors.join('\n')));
    QCOMPARE(QString::fromUtf8(result.output).split('\n', Qt::SkipEmptyParts).size(), table_lines);
}

void TestGrade::usage_errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing") << QStringList{} << "validation file";
    QTest::newRow("results missing") << QStringList{"a.dat"} << "results";
    QTest::newRow("refit with results") << QStringList{"--refit", "a.dat", "b.dmo"} << "--refit";
    QTest::newRow("report of another kind")
        << QStringList{"--report", "r.txt", "a.dat", "b.dmo"} << "r.txt";
    QTest::newRow("MPE not a number")
        << QStringList{"--position-mpe", "0,1", "a.dat", "b.dmo"} << "position-mpe";
    QTest::newRow("negative MPE") << QStringList{"--angle-mpe", "-1", "a.dat", "b.dmo"}
                                  << "angle-mpe";
    QTest::newRow("unknown option") << QStringList{"--fast", "a.dat", "b.dmo"} << "fast";
    QTest::newRow("suite with two results directories")
        << QStringList{"--suite", "d", "r", "q"} << "--suite";
    QTest::newRow("suite refit with results")
        << QStringList{"--refit", "--suite", "d", "r"} << "--refit";
}

void TestGrade::usage_errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const TProgramRun result = Grade(arguments);
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QVERIFY2(result.errors.join('\n').contains(reason), qPrintable(result.errors.join('\n')));
}

void TestGrade::unusable_inputs_data()
{
    QTest::addColumn<QString>("case_name");
    QTest::newRow("validation file missing") << "missing";
    QTest::newRow("not a validation file") << "not validation";
    QTest::newRow("results missing") << "no results";
}

void TestGrade::unusable_inputs()
{
    QFETCH(QString, case_name);
    QVERIFY(Write_File(Path("out.dmo"), Planes_Output("10,20,5,0,0,1")));
    QVERIFY(Write_File(Path("notes.dat"), "Plane 1 1 0 0 0 0 0 1 0\n"));
    QStringList arguments{Path("planes.dat"), Path("out.dmo")};
    QString culprit;
    if (case_name == "missing")
        arguments[0] = culprit = Path("none.dat");
    else if (case_name == "not validation")
        arguments[0] = culprit = Path("notes.dat");
    else
        arguments[1] = culprit = Path("none.dmo");
    const TProgramRun result = Grade(arguments);
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(result.errors.size(), 1);
    QVERIFY2(result.errors[0].startsWith(culprit + ": error: "), qPrintable(result.errors[0]));
}

void TestGrade::help_and_version()
{
    TProgramRun result = Grade({"--help"});
    QCOMPARE(result.exit_code, 0);
    for (const char *option :
         {"--refit", "--position-mpe", "--angle-mpe", "--size-mpe", "--software", "--json",
          "--report", "NIST", "--suite", "--qif-results"})
        QVERIFY2(result.output.contains(option), option);
    result = Grade({"--version"});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, QByteArray("tessaline-grade 1.0\n"));
}

namespace {

// A grader whose clock reads 2023-11-14T22:13:20Z.
TProgramRun Grade_At_A_Fixed_Time(const QStringList &arguments,
                                  const QByteArray &epoch = "1700000000")
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SOURCE_DATE_EPOCH", QString::fromLatin1(epoch));
    process.setProcessEnvironment(environment);
    return Run_Program(GRADER, arguments, std::move(process));
}

QByteArray Sha256_Of(const QString &path)
{
    return QCryptographicHash::hash(Read_File(path), QCryptographicHash::Sha256).toHex();
}

// The identifier as documented: the first 16 digits of the SHA-256 of the
// inputs' digests, each with a line feed, and the date in UTC.
QString Expected_Id(const QList<QByteArray> &digests, const QByteArray &date)
{
    QByteArray text;
    for (const QByteArray &digest : digests)
        text += digest + '\n';
    const QByteArray hash =
        QCryptographicHash::hash(text + date, QCryptographicHash::Sha256).toHex().toUpper();
    return QString::fromLatin1(hash.mid(0, 4) + '-' + hash.mid(4, 4) + '-' + hash.mid(8, 4) + '-' +
                               hash.mid(12, 4));
}

} // namespace

void TestGrade::record_in_json_and_report()
{
    QVERIFY(Write_File(Path("out.dmo"), Planes_Output("10,20,5.0003,0,0,1")));
    const QStringList inputs{Path("planes.dat"), Path("out.dmo"), "--position-mpe", "0.002"};
    const QStringList record{"--lab",     "Lab <3>",   "--operator",
                             "A. Tester", "--comment", "yearly check"};
    const TProgramRun result = Grade_At_A_Fixed_Time(
        inputs + record + QStringList{"--json", Path("g.json"), "--report", Path("r.html")});
    QCOMPARE(result.exit_code, 0);
    const QJsonObject json = Json_Of(Read_File(Path("g.json")));
    const QString id = Expected_Id({Sha256_Of(Path("planes.dat")), Sha256_Of(Path("out.dmo"))},
                                   "2023-11-14T22:13:20Z");
    QCOMPARE(json["report_id"].toString(), id);
    QCOMPARE(json["date"].toString(), QString("2023-11-14T22:13:20Z"));
    QCOMPARE(json["tessaline_version"].toString(), QString("1.0"));
    QCOMPARE(json["lab"].toString(), QString("Lab <3>"));
    QCOMPARE(json["operator"].toString(), QString("A. Tester"));
    QCOMPARE(json["comment"].toString(), QString("yearly check"));
    QCOMPARE(json["reference_sha256"].toString(), QString(Sha256_Of(Path("planes.dat"))));
    QCOMPARE(json["results_sha256"].toString(), QString(Sha256_Of(Path("out.dmo"))));
    QCOMPARE(json["mpe_origin"].toObject()["position"].toString(), QString("command line"));
    QCOMPARE(json["mpe_origin"].toObject()["angle"].toString(), QString("default"));
    QCOMPARE(json["standards"].toObject()["test"].toString(), QString("ISO 10360-6"));
    QCOMPARE(json["standards"].toObject()["decision_rule"].toString(), QString("ISO 14253-1"));
    QCOMPARE(json["overall"].toString(), QString("PASS"));

    const QByteArray html = Read_File(Path("r.html"));
    for (const QByteArray &expected :
         {"<span class=\"id\">" + id.toLatin1() + "</span>",
          "<p class=\"footer\">Report " + id.toLatin1(), QByteArray("Lab &lt;3&gt;"),
          QByteArray("<th>Operator</th><td>A. Tester</td>"),
          QByteArray("<th>Comment</th><td>yearly check</td>"),
          QByteArray("2023-11-14 22:13:20 (UTC+00:00)"),
          // The path as an absolute one, beside its digest.
          Path("planes.dat").toUtf8() + "</span><br><span class=\"hash\">SHA-256 " +
              Sha256_Of(Path("planes.dat")),
          QByteArray("given on the command line"), QByteArray("ISO 14253-1 (decision rule)")})
        QVERIFY2(html.contains(expected), expected.constData());

    // The same inputs at the same time: the same identifier, in the PDF's title too.
    const TProgramRun again =
        Grade_At_A_Fixed_Time(inputs + QStringList{"--json", "-", "--report", Path("r.pdf")});
    QCOMPARE(again.exit_code, 0);
    const QJsonObject bare = Json_Of(again.output);
    QCOMPARE(bare["report_id"].toString(), id);
    QVERIFY(bare["lab"].isNull() && bare["operator"].isNull() && bare["comment"].isNull());
    QVERIFY(Read_File(Path("r.pdf")).startsWith("%PDF-"));
    // A second later: another identifier.
    const TProgramRun later =
        Grade_At_A_Fixed_Time(inputs + QStringList{"--json", "-"}, "1700000001");
    QVERIFY(Json_Of(later.output)["report_id"].toString() != id);
    // Relative names are written as absolute paths.
    QProcess process;
    process.setWorkingDirectory(directory->path());
    const TProgramRun relative =
        Run_Program(GRADER, {"planes.dat", "out.dmo", "--json", "-"}, std::move(process));
    QCOMPARE(Json_Of(relative.output)["reference"].toString(), Path("planes.dat"));
    QCOMPARE(Json_Of(relative.output)["results"].toString(), Path("out.dmo"));
}

void TestGrade::source_date_epoch_that_is_no_date()
{
    QVERIFY(Write_File(Path("out.dmo"), Planes_Output("10,20,5,0,0,1")));
    for (const QByteArray &epoch : {QByteArray("yesterday"), QByteArray("-5"), QByteArray("1e9")}) {
        const TProgramRun result = Grade_At_A_Fixed_Time(
            {Path("planes.dat"), Path("out.dmo"), "--json", Path("g.json")}, epoch);
        QCOMPARE(result.exit_code, 2);
        QCOMPARE(result.output, QByteArray());
        QCOMPARE(result.errors.size(), 1);
        QVERIFY2(result.errors[0].contains("SOURCE_DATE_EPOCH") && result.errors[0].contains(epoch),
                 qPrintable(result.errors[0]));
        QVERIFY(!QFileInfo::exists(Path("g.json")));
    }
}

void TestGrade::suite_results_that_do_not_exist_data()
{
    QTest::addColumn<QString>("results");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such directory") << "results"
                                       << "no such results directory";
    QTest::newRow("a file") << "s/a.dat"
                            << "is not one";
}

void TestGrade::suite_results_that_do_not_exist()
{
    QFETCH(QString, results);
    QFETCH(QString, reason);
    QVERIFY(QDir(Path("")).mkpath("s"));
    QVERIFY(Write_File(Path("s/a.dat"), PLANES));
    const TProgramRun result = Grade(
        {"--suite", Path("s"), Path(results), "--report", Path("r.html"), "--json", Path("j")});
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(result.errors.size(), 1);
    QVERIFY2(result.errors[0].startsWith(Path(results) + ": error: ") &&
                 result.errors[0].contains(reason),
             qPrintable(result.errors[0]));
    QVERIFY(!QFileInfo::exists(Path("r.html")) && !QFileInfo::exists(Path("j")));
}

void TestGrade::suite_record()
{
    QVERIFY(QDir(Path("")).mkpath("s"));
    QVERIFY(Write_File(Path("s/plane.dat"), PLANES));
    QVERIFY(Write_File(Path("s/suite.json"), "{\"seed\": 42, \"version\": \"1.0\"}\n"));
    const TProgramRun result = Grade_At_A_Fixed_Time(
        {"--refit", "--suite", Path("s"), "--json", "-", "--report", Path("r.html")});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    const QJsonObject json = Json_Of(result.output);
    QCOMPARE(json["suite_seed"].toDouble(), 42.0);
    QCOMPARE(json["suite_manifest"].toString(), Path("s/suite.json"));
    QCOMPARE(json["suite_manifest_sha256"].toString(), QString(Sha256_Of(Path("s/suite.json"))));
    const QString id =
        Expected_Id({Sha256_Of(Path("s/suite.json")), Sha256_Of(Path("s/plane.dat")), QByteArray()},
                    "2023-11-14T22:13:20Z");
    QCOMPARE(json["report_id"].toString(), id);
    QCOMPARE(json["files"].toArray()[0].toObject()["reference_sha256"].toString(),
             QString(Sha256_Of(Path("s/plane.dat"))));
    const QByteArray html = Read_File(Path("r.html"));
    QVERIFY(html.contains("<th>Suite seed</th><td>42</td>"));
    QVERIFY(html.contains("SHA-256 " + Sha256_Of(Path("s/suite.json"))));
    QVERIFY(html.contains(id.toLatin1()));
}

void TestGrade::results_of_other_data_get_a_hint_data()
{
    // PLANES: PLN_1 through (10, 20, 5) normal z, PLN_2 through (1, 0, 0)
    // normal x.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("results");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("hint");    // the last warning; empty for none
    QTest::addColumn<QString>("verdict"); // of PLN_1

    const auto inch = [](double mm) { return QByteArray::number(mm / 25.4, 'g', 17); };
    const QByteArray in_inches = "label,x,y,z,i,j,k\nPLN_1," + inch(10) + ',' + inch(20) + ',' +
                                 inch(5) + ",0,0,1\nPLN_2," + inch(1) + ",0,0,1,0,0\n";
    QTest::newRow("another data set")
        << "out.dmo"
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,10,20,9,0,0.6,0.8\n"
                      "FA(PLN_2)=FEAT/PLANE,CART,4,0,0,1,0,0\n")
        << QStringList{}
        << "warning: 2 of 2 features are off by more than 1 mm: are these results of another "
           "data set?"
        << "fail";
    QTest::newRow("labels that match none")
        << "out.dmo"
        << QByteArray("FA(PLN_7)=FEAT/PLANE,CART,10,20,5,0,0,1\n"
                      "FA(PLN_8)=FEAT/PLANE,CART,1,0,0,1,0,0\n")
        << QStringList{}
        << "warning: none of the 2 labels of the results is in the reference (PLN_1 to PLN_2): "
           "are these results of another data set?"
        << "missing";
    QTest::newRow("labels of another style")
        << "out.dmo"
        << QByteArray("FA(PLN1)=FEAT/PLANE,CART,10,20,5,0,0,1\n"
                      "FA(PLN2)=FEAT/PLANE,CART,1,0,0,1,0,0\n")
        << QStringList{}
        << ":1: warning: 2 labels such as \"PLN1\" are not in the reference, which writes its "
           "labels as PLN_1 (the type's three letters, \"_\" and the feature number): rename "
           "them so to have them graded"
        << "missing";
    QTest::newRow("labels of the type's whole name")
        << "out.csv" << QByteArray("label,x,y,z,i,j,k\nPLANE_1,10,20,5,0,0,1\n") << QStringList{}
        << ":2: warning: label \"PLANE_1\" is not in the reference, which writes its labels as "
           "PLN_1"
        << "missing";
    QTest::newRow("CSV in inches")
        << "out.csv" << in_inches << QStringList{}
        << "warning: every result's lengths are 25.4 times smaller than the reference's: they "
           "are inches read as millimetres? A CSV file states no unit: give --csv-unit inch, or "
           "a unit column (mm or inch)"
        << "fail";
    QTest::newRow("CSV in inches, said so")
        << "out.csv" << in_inches << QStringList{"--csv-unit", "inch"} << QString() << "pass";
    QTest::newRow("CSV with a unit column")
        << "out.csv"
        << QByteArray("label,x,y,z,i,j,k,unit\nPLN_1," + inch(10) + ',' + inch(20) + ',' + inch(5) +
                      ",0,0,1,inch\nPLN_2,1,0,0,1,0,0,mm\n")
        << QStringList{} << QString() << "pass";
    QTest::newRow("CSV in metres")
        << "out.csv" << QByteArray("label,x,y,z,i,j,k\nPLN_1,0.01,0.02,0.005,0,0,1\n")
        << QStringList{}
        << "warning: every result's lengths are 1000 times smaller than the reference's: they "
           "are metres read as millimetres?"
        << "fail";
}

void TestGrade::results_of_other_data_get_a_hint()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, results);
    QFETCH(QStringList, options);
    QFETCH(QString, hint);
    QFETCH(QString, verdict);
    QVERIFY(Write_File(Path(name), results));
    const TProgramRun result =
        Grade(QStringList{Path("planes.dat"), Path(name), "--json", "-"} + options);
    QCOMPARE(Json_Of(result.output)["features"].toArray()[0].toObject()["verdict"].toString(),
             verdict);
    if (hint.isEmpty()) {
        QCOMPARE(result.errors, QStringList());
        return;
    }
    // Said once, about the results file.
    int said = 0;
    for (const QString &error : result.errors)
        said += error.startsWith(Path(name)) && error.contains(hint);
    QVERIFY2(said == 1, qPrintable(result.errors.join('\n')));
    // No warning per label written in another style.
    if (QString(QTest::currentDataTag()).startsWith("labels of"))
        for (const QString &error : result.errors)
            QVERIFY2(!error.endsWith("is not in the reference"), qPrintable(error));
}

void TestGrade::missing_feature_says_why()
{
    const TProgramRun result = Grade({EXAMPLES + "/circle.dat", EXAMPLES + "/circle-results.csv"});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors, QStringList{EXAMPLES + "/circle.dat:20: warning: CIR_2 is graded "
                                                   "missing: the results hold nothing for it"});
    // A result that cannot be used: the reader's warning, then why it is missing.
    QVERIFY(Write_File(Path("out.csv"), "label,x,y,z,i,j,k\nPLN_1,10,20,x,0,0,1\n"
                                        "PLN_2,1,0,0,1,0,0\n"));
    const TProgramRun unusable = Grade({Path("planes.dat"), Path("out.csv")});
    QCOMPARE(unusable.errors.size(), 2);
    QVERIFY2(unusable.errors[0].startsWith(Path("out.csv") + ":2: warning: field 4 \"z\""),
             qPrintable(unusable.errors[0]));
    QCOMPARE(unusable.errors[1], Path("planes.dat") + ":2: warning: PLN_1 is graded missing: its "
                                                      "result on line 2 of the results cannot be "
                                                      "used");
}

QTEST_GUILESS_MAIN(TestGrade)
#include "test_grade.moc"
