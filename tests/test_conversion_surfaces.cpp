#include "conversion/validation_converter.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(TVector3)

// The programs of cylinder, cone and torus files: read by the rules of the
// other types, with a cone placed at its apex.

namespace {

using TDiagnostic = TValidationConverter::TDiagnostic;

const QString ERR = "$$  ERR:  Number of data points greater than defined in feature.";
const QString CYLINDER_HEADER = "Best_Fit_Validation:Version=1:Type=Cylinder";
const QString CONE_HEADER = "Best_Fit_Validation:Version=1:Type=Cone";
const QString TORUS_HEADER = "Best_Fit_Validation:Version=1:Type=Torus";

const QString HEADER_LINES = "$$ Validation DMIS file\n"
                             "DMISMN/'validation.dms' 04.0\n"
                             "FILNAM/'validation.dms'\n"
                             "$$\n"
                             "UNITS/MM,ANGDEC\n"
                             "D(MC_CSY)=DATSET/MCS\n"
                             "MODE/MAN\n"
                             "$$\n"
                             "$$ Increase the display precision to 5 decimal places minimum.\n"
                             "DECPL/ALL,5\n";
const QString OFFSET_ORIGIN = "$$\nF(PT_ZERO)=FEAT/POINT,0,0,0,0,0,1\n";

// The lines of one point in either point output type.
QString Point(const QString &label, const QString &xyz, int point_type)
{
    const QString nominal =
        "$$\nF(" + label + ")=FEAT/POINT,CART," + xyz + ",0.000000000,0.000000000,1.000000000\n";
    if (point_type == 0) {
        return nominal + "MEAS/POINT,F(" + label + "),1\n    PTMEAS/CART," + xyz +
               ",0.000000000,0.000000000,1.000000000\nENDMES\n";
    }
    return nominal + "CONST/POINT,F(" + label + "),MOVEPT,F(PT_ZERO)," + xyz + "\n";
}

QByteArray File(const QStringList &lines)
{
    return (lines.join('\n') + '\n').toUtf8();
}

QStringList Lines_Of(const QString &text)
{
    QStringList lines = text.split('\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

struct TRun
{
    QStringList body;
    QStringList records;     // "CON_5:PT_5_1,PT_5_2"
    QStringList diagnostics; // "LINE kind"
};

TRun Process(const QByteArray &content)
{
    TValidationConverter converter;
    TRun run;
    converter.diagnostic_handler = [&run](const TDiagnostic &diagnostic) {
        // Most records here have fewer points than a fit needs; that warning
        // has its own test.
        if (diagnostic.kind == TDiagnostic::FEATURE_TOO_FEW_POINTS)
            return;
        run.diagnostics << QString("%1 %2").arg(diagnostic.line_number).arg(diagnostic.kind);
    };
    converter.Process_Validation_File(content);
    run.body = Lines_Of(converter.dmis_text);
    for (const auto &feature : converter.construction_features) {
        QStringList names;
        for (const QString &name : feature.point_names) {
            names << name;
        }
        run.records << feature.name + ":" + names.join(',');
    }
    return run;
}

QString Diagnostic(int line, TDiagnostic::TKind kind)
{
    return QString("%1 %2").arg(line).arg(kind);
}

struct TExample
{
    const char *name;
    QStringList input;
    QString comment;
    QStringList points; // label and coordinates, alternately
    QString construction;
    QString label;
};

const TExample EXAMPLES[] = {
    {"cylinder",
     {CYLINDER_HEADER, "Cylinder 3 2 10 20 30 0 0 1 25.4 0.0012", "22.7 20 30", "10 32.7 35"},
     "$$ Cylinder 10.000000 20.000000 30.000000 0.000000000 0.000000000 1.000000000 25.400000 "
     "0.001200",
     {"PT_3_1", "22.700000,20.000000,30.000000", "PT_3_2", "10.000000,32.700000,35.000000"},
     "F(CYL_3)=FEAT/CYLNDR,INNER,CART,10.000000,20.000000,30.000000,0.000000000,0.000000000,"
     "1.000000000,25.400000\n"
     "CONST/CYLNDR,F(CYL_3),BF,FA(PT_3_1),FA(PT_3_2)\n",
     "CYL_3"},
    // Axis (0.6, 0.8, 0), 90 degrees, diameter 10: the apex lies 5 behind
    // the point.
    {"cone",
     {CONE_HEADER, "Cone 5 2 13 24 5 3 4 0 90 10 0.003", "13 24 10", "16 28 10"},
     "$$ Cone 13.000000 24.000000 5.000000 3.000000000 4.000000000 0.000000000 90.000000 "
     "10.000000 0.003000",
     {"PT_5_1", "13.000000,24.000000,10.000000", "PT_5_2", "16.000000,28.000000,10.000000"},
     "F(CON_5)=FEAT/CONE,INNER,CART,10.000000,20.000000,5.000000,3.000000000,4.000000000,"
     "0.000000000,90.000000\n"
     "CONST/CONE,F(CON_5),BF,FA(PT_5_1),FA(PT_5_2)\n",
     "CON_5"},
    {"torus",
     {TORUS_HEADER, "Torus 2 3 1 2 3 0 1 0 100 20 0.0005", "51 2 3", "1 2 63", "-49 2 3"},
     "$$ Torus 1.000000 2.000000 3.000000 0.000000000 1.000000000 0.000000000 100.000000 "
     "20.000000 0.000500",
     {"PT_2_1", "51.000000,2.000000,3.000000", "PT_2_2", "1.000000,2.000000,63.000000", "PT_2_3",
      "-49.000000,2.000000,3.000000"},
     "F(TOR_2)=FEAT/TORUS,INNER,CART,1.000000,2.000000,3.000000,0.000000000,1.000000000,"
     "0.000000000,100.000000,20.000000\n"
     "CONST/TORUS,F(TOR_2),BF,FA(PT_2_1),FA(PT_2_2),FA(PT_2_3)\n",
     "TOR_2"},
};

} // namespace

class TestConversionSurfaces : public QObject
{
    Q_OBJECT

private slots:
    void worked_example_data();
    void worked_example();
    void records_data();
    void records();
    void headers_data();
    void headers();
    void reading_data();
    void reading();
    void cone_without_apex_data();
    void cone_without_apex();
    void far_apex();
    void long_construction_wraps_as_the_others();
};

void TestConversionSurfaces::worked_example_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("point_type");
    QTest::addColumn<bool>("output_fits");
    QTest::addColumn<QString>("expected");

    for (const TExample &example : EXAMPLES) {
        for (int point_type : {0, 1}) {
            for (bool output_fits : {false, true}) {
                QString expected = HEADER_LINES + (point_type ? OFFSET_ORIGIN : QString()) +
                                   "$$\n" + example.comment + "\n";
                for (int i = 0; i < example.points.size(); i += 2) {
                    expected += Point(example.points[i], example.points[i + 1], point_type);
                }
                expected += "$$\n" + example.construction;
                if (output_fits) {
                    expected += "$$\nOUTPUT/FA(" + example.label + ")\n";
                }
                expected += "ENDFIL\n";
                QTest::newRow(qPrintable(QString("%1, %2%3")
                                             .arg(example.name)
                                             .arg(point_type ? "offset" : "measured")
                                             .arg(output_fits ? ", fit outputs" : "")))
                    << File(example.input) << point_type << output_fits << expected;
            }
        }
    }
}

void TestConversionSurfaces::worked_example()
{
    QFETCH(QByteArray, input);
    QFETCH(int, point_type);
    QFETCH(bool, output_fits);
    QFETCH(QString, expected);
    TValidationConverter converter;
    converter.preferences.dmis_feature_type =
        static_cast<TPreferences::TDMISFeatureType>(point_type);
    converter.output_fits = output_fits;
    converter.Convert(input);
    QCOMPARE(converter.dmis_text, expected);
}

void TestConversionSurfaces::records_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("name");
    QTest::addColumn<TVector3>("xyz");
    QTest::addColumn<TVector3>("ijk");
    QTest::addColumn<double>("diameter");
    QTest::addColumn<double>("apex_angle");
    QTest::addColumn<double>("minor_diameter");

    QTest::newRow("cylinder") << File(EXAMPLES[0].input) << "CYL_3" << TVector3(10, 20, 30)
                              << TVector3(0, 0, 1) << 25.4 << 0.0 << 0.0;
    QTest::newRow("cone at its apex, direction as read")
        << File(EXAMPLES[1].input) << "CON_5" << TVector3(10, 20, 5) << TVector3(3, 4, 0) << 10.0
        << 90.0 << 0.0;
    QTest::newRow("torus") << File(EXAMPLES[2].input) << "TOR_2" << TVector3(1, 2, 3)
                           << TVector3(0, 1, 0) << 100.0 << 0.0 << 20.0;
}

void TestConversionSurfaces::records()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, name);
    QFETCH(TVector3, xyz);
    QFETCH(TVector3, ijk);
    QFETCH(double, diameter);
    QFETCH(double, apex_angle);
    QFETCH(double, minor_diameter);
    TValidationConverter converter;
    converter.Process_Validation_File(input);
    QCOMPARE(converter.construction_features.size(), size_t(1));
    const auto &feature = converter.construction_features.front();
    QCOMPARE(feature.name, name);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(std::fabs(feature.xyz(i) - xyz(i)) < 1e-12);
        QCOMPARE(feature.ijk(i), ijk(i));
    }
    QCOMPARE(feature.diameter, diameter);
    QCOMPARE(feature.apex_angle, apex_angle);
    QCOMPARE(feature.minor_diameter, minor_diameter);
}

// The header rules of the other types: case matters in the header, text
// behind it is ignored, and comments may come first.
void TestConversionSurfaces::headers_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("records");

    const QString cylinder = "Cylinder 1 1 0 0 0 0 0 1 10 0";
    const QString cone = "Cone 1 1 0 0 0 0 0 1 30 10 0";
    const QString torus = "Torus 1 1 0 0 0 0 0 1 40 10 0";
    QTest::newRow("cylinder") << File({CYLINDER_HEADER, cylinder, "5 0 0"})
                              << QStringList{"CYL_1:PT_1_1"};
    QTest::newRow("cone") << File({CONE_HEADER, cone, "5 0 0"}) << QStringList{"CON_1:PT_1_1"};
    QTest::newRow("torus") << File({TORUS_HEADER, torus, "25 0 0"}) << QStringList{"TOR_1:PT_1_1"};
    QTest::newRow("comments first, text behind the header")
        << File({"# bore", "  # probed", CONE_HEADER + " exported 2026-12-08", cone, "5 0 0"})
        << QStringList{"CON_1:PT_1_1"};
    QTest::newRow("keyword in capitals, colon for the blank")
        << File({TORUS_HEADER, "TORUS:1 1 0 0 0 0 0 1 40 10 0", "25 0 0"})
        << QStringList{"TOR_1:PT_1_1"};
    QTest::newRow("type word in lower case")
        << File({"Best_Fit_Validation:Version=1:Type=cylinder", cylinder, "5 0 0"})
        << QStringList{};
    QTest::newRow("another version")
        << File({"Best_Fit_Validation:Version=2:Type=Torus", torus, "25 0 0"}) << QStringList{};
    QTest::newRow("blank line before the header")
        << File({"", CONE_HEADER, cone, "5 0 0"}) << QStringList{};
    // "Cone 1 2 3" has four fields: no point.
    QTest::newRow("a cylinder file reads another type's keyword as a point line")
        << File({CYLINDER_HEADER, "Cylinder 1 2 0 0 0 0 0 1 10 0", "Cone 1 2 3", "Torus 1 2",
                 "5 0 0", "0 5 0"})
        << QStringList{"CYL_1:PT_1_1,PT_1_2"};
}

void TestConversionSurfaces::headers()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, records);
    QCOMPARE(Process(content).records, records);
}

// Field counts, surplus points, blanks, comments and non-numbers, as for the
// other types.
void TestConversionSurfaces::reading_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("errors");
    QTest::addColumn<QStringList>("diagnostics");

    QTest::newRow("cylinder with a field too many is ignored")
        << QStringList{CYLINDER_HEADER, "Cylinder 1 1 0 0 0 0 0 1 10 0", "5 0 0",
                       "Cylinder 2 1 0 0 0 0 0 1 10 0 0", "5 0 0"}
        << QStringList{"CYL_1:PT_1_1"} << 1
        << QStringList{Diagnostic(4, TDiagnostic::FEATURE_FIELD_COUNT),
                       Diagnostic(5, TDiagnostic::SURPLUS_LINE)};
    QTest::newRow("cone with a field too few is ignored")
        << QStringList{CONE_HEADER, "Cone 1 1 0 0 0 0 0 1 30 10"} << QStringList{} << 0
        << QStringList{Diagnostic(2, TDiagnostic::FEATURE_FIELD_COUNT)};
    QTest::newRow("torus with a plural keyword is ignored")
        << QStringList{TORUS_HEADER, "Toruses 1 1 0 0 0 0 0 1 40 10 0", "25 0 0"} << QStringList{}
        << 1
        << QStringList{Diagnostic(2, TDiagnostic::FEATURE_FIELD_COUNT),
                       Diagnostic(3, TDiagnostic::SURPLUS_LINE)};
    QTest::newRow("surplus point, blank and comment inside a cone")
        << QStringList{CONE_HEADER, "cone 4 2 0 0 0 0 0 1 30 10 0",
                       "5 0 0",     "",
                       "# probe 2", "1 2",
                       "0 5 0",     "1 1 1"}
        << QStringList{"CON_4:PT_4_1,PT_4_2"} << 1
        << QStringList{Diagnostic(4, TDiagnostic::POINT_FIELD_COUNT),
                       Diagnostic(6, TDiagnostic::POINT_FIELD_COUNT),
                       Diagnostic(8, TDiagnostic::SURPLUS_LINE)};
    QTest::newRow("non-numbers read as 0")
        << QStringList{TORUS_HEADER, "Torus x 1 0 0 0 0 0 1 40 ten 0", "25 0 0"}
        << QStringList{"TOR_0:PT_0_1"} << 0
        << QStringList{Diagnostic(2, TDiagnostic::NOT_A_NUMBER),
                       Diagnostic(2, TDiagnostic::NOT_A_NUMBER)};
    QTest::newRow("cylinder abandoned by the next record")
        << QStringList{CYLINDER_HEADER, "Cylinder 1 2 0 0 0 0 0 1 10 0", "5 0 0",
                       "Cylinder 2 1 0 0 0 0 0 1 10 0", "5 0 0"}
        << QStringList{"CYL_2:PT_2_1"} << 0
        << QStringList{Diagnostic(2, TDiagnostic::FEATURE_ABANDONED)};
}

void TestConversionSurfaces::reading()
{
    QFETCH(QStringList, input);
    QFETCH(QStringList, records);
    QFETCH(int, errors);
    QFETCH(QStringList, diagnostics);
    const TRun run = Process(File(input));
    QCOMPARE(run.records, records);
    QCOMPARE(run.body.count(ERR), errors);
    QCOMPARE(run.diagnostics, diagnostics);
}

// A cone without an apex is ignored as a whole, like a record with a wrong
// field count: it opens nothing and abandons nothing.
void TestConversionSurfaces::cone_without_apex_data()
{
    QTest::addColumn<QString>("record");

    QTest::newRow("angle 0") << "Cone 2 1 0 0 0 0 0 1 0 10 0";
    QTest::newRow("angle 180") << "Cone 2 1 0 0 0 0 0 1 180 10 0";
    QTest::newRow("angle -5") << "Cone 2 1 0 0 0 0 0 1 -5 10 0";
    QTest::newRow("angle 200") << "Cone 2 1 0 0 0 0 0 1 200 10 0";
    QTest::newRow("angle not a number") << "Cone 2 1 0 0 0 0 0 1 30deg 10 0";
    QTest::newRow("zero direction") << "Cone 2 1 0 0 0 0 0 0 30 10 0";
    QTest::newRow("direction not numbers") << "Cone 2 1 0 0 0 i j k 30 10 0";
    QTest::newRow("angle written as 0.000000") << "Cone 2 1 0 0 0 0 0 1 0.0000001 10 0";
    QTest::newRow("angle written as 180.000000") << "Cone 2 1 0 0 0 0 0 1 179.9999996 10 0";
    QTest::newRow("apex beyond the range of numbers") << "Cone 2 1 0 0 0 0 0 1 0.000001 1e305 0";
    QTest::newRow("apex beyond the range, large position")
        << "Cone 2 1 0 0 -1.7e308 0 0 1 1 2e306 0";
}

void TestConversionSurfaces::cone_without_apex()
{
    QFETCH(QString, record);

    // Alone: the point after it is a surplus line.
    TRun run = Process(File({CONE_HEADER, record, "5 0 0"}));
    QCOMPARE(run.body, (QStringList{ERR}));
    QCOMPARE(run.records, QStringList{});
    QCOMPARE(run.diagnostics, (QStringList{Diagnostic(2, TDiagnostic::CONE_WITHOUT_APEX),
                                           Diagnostic(3, TDiagnostic::SURPLUS_LINE)}));

    // Inside an open cone: that cone takes the next point and is complete.
    run =
        Process(File({CONE_HEADER, "Cone 1 2 0 0 10 0 0 1 90 20 0", "10 0 10", record, "0 10 10"}));
    QCOMPARE(run.records, QStringList{"CON_1:PT_1_1,PT_1_2"});
    QCOMPARE(run.diagnostics, QStringList{Diagnostic(4, TDiagnostic::CONE_WITHOUT_APEX)});
    for (const QString &line : run.body) {
        QVERIFY2(!line.contains("inf") && !line.contains("nan"), qPrintable(line));
    }
}

// Apex angle 1e-6 degrees and diameter 10: the apex lies 5 / tan(5e-7
// degrees) = 1.8e9 / pi mm behind the point; far, but a number.
void TestConversionSurfaces::far_apex()
{
    const TRun run = Process(File({CONE_HEADER, "Cone 1 1 0 0 0 0 0 1 0.000001 10 0", "5 0 0"}));
    QCOMPARE(run.diagnostics, QStringList{});
    QCOMPARE(run.records, QStringList{"CON_1:PT_1_1"});
    const QString nominal = run.body.at(run.body.size() - 2);
    const QString head = "F(CON_1)=FEAT/CONE,INNER,CART,0.000000,0.000000,-";
    const QString tail = ",0.000000000,0.000000000,1.000000000,0.000001";
    QVERIFY2(nominal.startsWith(head) && nominal.endsWith(tail), qPrintable(nominal));
    const QString z = nominal.mid(head.size(), nominal.size() - head.size() - tail.size());
    QVERIFY2(QRegularExpression("^\\d+\\.\\d{6}$").match(z).hasMatch(), qPrintable(z));
    QVERIFY(std::fabs(z.toDouble() - 1.8e9 / 3.14159265358979323846) <= 2e-6);
}

void TestConversionSurfaces::long_construction_wraps_as_the_others()
{
    QStringList input{CYLINDER_HEADER, "Cylinder 1 13 0 0 0 0 0 1 10 0"};
    for (int i = 0; i < 13; ++i) {
        input << "5 0 0";
    }
    const TRun run = Process(File(input));
    QCOMPARE(run.body.mid(run.body.size() - 3),
             (QStringList{"CONST/CYLNDR,F(CYL_1),BF,FA(PT_1_1),FA(PT_1_2),FA(PT_1_3),FA(PT_1_4),"
                          "FA(PT_1_5)$",
                          ",FA(PT_1_6),FA(PT_1_7),FA(PT_1_8),FA(PT_1_9),FA(PT_1_10),FA(PT_1_11),"
                          "FA(PT_1_12)$",
                          ",FA(PT_1_13)"}));
}

QTEST_APPLESS_MAIN(TestConversionSurfaces)

#include "test_conversion_surfaces.moc"
