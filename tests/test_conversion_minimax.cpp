#include "conversion/validation_converter.h"

#include <QtTest>

// The programs of minimax files: the least-squares program with the
// association selected before the first construction, a minimax line's
// plane in its nominal, and the form tolerance of minimum-zone features.

namespace {

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
const QString TAIL = ",0.000000000,0.000000000,1.000000000";

QString Point(const QString &label, const QString &xyz, int point_type)
{
    const QString nominal = "$$\nF(" + label + ")=FEAT/POINT,CART," + xyz + TAIL + "\n";
    if (point_type == 0) {
        return nominal + "MEAS/POINT,F(" + label + "),1\n    PTMEAS/CART," + xyz + TAIL +
               "\nENDMES\n";
    }
    return nominal + "CONST/POINT,F(" + label + "),MOVEPT,F(PT_ZERO)," + xyz + "\n";
}

const char *const POINTS[] = {"1 0 0", "0 1 0", "-1 0 0"};
const char *const POINT_TEXTS[] = {"1.000000,0.000000,0.000000", "0.000000,1.000000,0.000000",
                                   "-1.000000,0.000000,0.000000"};

} // namespace

class TestConversionMinimax : public QObject
{
    Q_OBJECT

private slots:
    void program_of_each_header_data();
    void program_of_each_header();
    void least_points_warning_names_the_criterion();
    void record_fields_are_counted_by_the_minimax_type();
};

void TestConversionMinimax::program_of_each_header_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("nominal");
    QTest::addColumn<QString>("association");
    QTest::addColumn<QString>("form"); // the form tolerance, empty for none

    QTest::newRow("line zone") << "Minimax_Validation:Version=1:Type=Line:Criterion=MinimumZone"
                               << "Line 4 3 0 0.5 0 1 0 0 0 0 1 0.0025"
                               << "$$ Line 0.000000 0.500000 0.000000 1.000000000 0.000000000 "
                                  "0.000000000 0.000000000 0.000000000 1.000000000 0.002500"
                               << "F(LN_4)=FEAT/LINE,UNBND,CART,0.000000,0.500000,0.000000,"
                                  "1.000000000,0.000000000,0.000000000,0.000000000,0.000000000,"
                                  "1.000000000"
                               << "GEOALG/LINE,MINMAX"
                               << "T(FORM_LN_4)=TOL/STRGHT,0.002500";
    QTest::newRow("line in a tilted plane")
        << "Minimax_Validation:Version=1:Type=Line:Criterion=MinimumZone"
        << "line 4 3 0 0.5 0 1 0 0 0 0.6 0.8 1e-7"
        << "$$ Line 0.000000 0.500000 0.000000 1.000000000 0.000000000 0.000000000 0.000000000 "
           "0.600000000 0.800000000 0.000000"
        << "F(LN_4)=FEAT/LINE,UNBND,CART,0.000000,0.500000,0.000000,1.000000000,0.000000000,"
           "0.000000000,0.000000000,0.600000000,0.800000000"
        << "GEOALG/LINE,MINMAX"
        << "T(FORM_LN_4)=TOL/STRGHT,0.000000";
    QTest::newRow("plane zone") << "Minimax_Validation:Version=1:Type=Plane:Criterion=MinimumZone"
                                << "PLANE 4 3 0 0 0 0 0 1 0.003170"
                                << "$$ Plane 0.000000 0.000000 0.000000 0.000000000 0.000000000 "
                                   "1.000000000 0.003170"
                                << "F(PLN_4)=FEAT/PLANE,CART,0.000000,0.000000,0.000000,"
                                   "0.000000000,0.000000000,1.000000000"
                                << "GEOALG/PLANE,MINMAX"
                                << "T(FORM_PLN_4)=TOL/FLAT,0.003170";
    const QString circle_comment = "$$ Circle 0.000000 0.000000 0.000000 0.000000000 0.000000000 "
                                   "1.000000000 2.000000 0.001000";
    const QString circle_nominal = "F(CIR_4)=FEAT/CIRCLE,INNER,CART,0.000000,0.000000,0.000000,"
                                   "0.000000000,0.000000000,1.000000000,2.000000";
    QTest::newRow("circle zone")
        << "Minimax_Validation:Version=1:Type=Circle:Criterion=MinimumZone"
        << "Circle 4 3 0 0 0 0 0 1 2 0.001" << circle_comment << circle_nominal
        << "GEOALG/CIRCLE,MINMAX"
        << "T(FORM_CIR_4)=TOL/CIRLTY,0.001000";
    QTest::newRow("circumscribed circle")
        << "Minimax_Validation:Version=1:Type=Circle:Criterion=MinimumCircumscribed"
        << "Circle 4 3 0 0 0 0 0 1 2 0.001" << circle_comment << circle_nominal
        << "GEOALG/CIRCLE,MINCIR" << "";
    QTest::newRow("inscribed circle")
        << "Minimax_Validation:Version=1:Type=Circle:Criterion=MaximumInscribed"
        << "Circle 4 3 0 0 0 0 0 1 2 0.001" << circle_comment << circle_nominal
        << "GEOALG/CIRCLE,MAXINS" << "";
    // DMIS has no sphericity: the zone is selected, no form is stated.
    QTest::newRow("sphere zone")
        << "Minimax_Validation:Version=1:Type=Sphere:Criterion=MinimumZone"
        << "Sphere 4 3 0 0 0 2 0.001"
        << "$$ Sphere 0.000000 0.000000 0.000000 2.000000 0.001000"
        << "F(SPH_4)=FEAT/SPHERE,OUTER,CART,0.000000,0.000000,0.000000,2.000000"
        << "GEOALG/SPHERE,MINMAX" << "";
    QTest::newRow("inscribed sphere")
        << "Minimax_Validation:Version=1:Type=Sphere:Criterion=MaximumInscribed"
        << "Sphere 4 3 0 0 0 2 0.001"
        << "$$ Sphere 0.000000 0.000000 0.000000 2.000000 0.001000"
        << "F(SPH_4)=FEAT/SPHERE,OUTER,CART,0.000000,0.000000,0.000000,2.000000"
        << "GEOALG/SPHERE,MAXINS" << "";
    const QString cylinder_comment = "$$ Cylinder 0.000000 0.000000 0.000000 0.000000000 "
                                     "0.000000000 1.000000000 2.000000 0.001000";
    const QString cylinder_nominal = "F(CYL_4)=FEAT/CYLNDR,INNER,CART,0.000000,0.000000,0.000000,"
                                     "0.000000000,0.000000000,1.000000000,2.000000";
    QTest::newRow("cylinder zone")
        << "Minimax_Validation:Version=1:Type=Cylinder:Criterion=MinimumZone"
        << "Cylinder 4 3 0 0 0 0 0 1 2 0.001" << cylinder_comment << cylinder_nominal
        << "GEOALG/CYLNDR,MINMAX"
        << "T(FORM_CYL_4)=TOL/CYLCTY,0.001000";
    QTest::newRow("circumscribed cylinder")
        << "Minimax_Validation:Version=1:Type=Cylinder:Criterion=MinimumCircumscribed"
        << "Cylinder 4 3 0 0 0 0 0 1 2 0.001" << cylinder_comment << cylinder_nominal
        << "GEOALG/CYLNDR,MINCIR" << "";
}

void TestConversionMinimax::program_of_each_header()
{
    QFETCH(QString, header);
    QFETCH(QString, record);
    QFETCH(QString, comment);
    QFETCH(QString, nominal);
    QFETCH(QString, association);
    QFETCH(QString, form);

    QString file = header + "\n" + record + "\n";
    for (const char *point : POINTS)
        file += QString(point) + "\n";
    const QString label = nominal.mid(2, nominal.indexOf(')') - 2);
    const QString number = label.mid(label.indexOf('_') + 1);

    for (int point_type = 0; point_type < 2; ++point_type) {
        for (bool output_fits : {false, true}) {
            TValidationConverter converter;
            converter.preferences.dmis_feature_type = point_type == 0
                                                          ? TPreferences::MEASURED_POINTS
                                                          : TPreferences::CONSTRUCTED_OFFSET_POINTS;
            converter.output_fits = output_fits;
            converter.Convert(file.toLatin1());

            QString expected = HEADER_LINES + (point_type == 1 ? OFFSET_ORIGIN : QString());
            expected += "$$\n" + comment + "\n";
            QStringList references;
            for (int i = 0; i < 3; ++i) {
                const QString point_label = QString("PT_%1_%2").arg(number).arg(i + 1);
                expected += Point(point_label, POINT_TEXTS[i], point_type);
                references << "FA(" + point_label + ")";
            }
            expected += association + "\n";
            expected += "$$\n" + nominal + "\n";
            expected += nominal.section('=', 1).section(',', 0, 0).replace("FEAT/", "CONST/") +
                        ",F(" + label + "),BF," + references.join(',') + "\n";
            if (!form.isEmpty())
                expected += form + "\n";
            if (output_fits) {
                expected += "$$\nOUTPUT/FA(" + label + ")" +
                            (form.isEmpty() ? QString() : ",TA(FORM_" + label + ")") + "\n";
            }
            expected += "ENDFIL\n";
            QCOMPARE(converter.dmis_text, expected);
        }
    }
}

void TestConversionMinimax::least_points_warning_names_the_criterion()
{
    TValidationConverter converter;
    QStringList messages;
    converter.diagnostic_handler = [&messages](const TValidationDiagnostic &diagnostic) {
        messages << QString("%1 %2").arg(diagnostic.line_number).arg(diagnostic.message);
    };
    converter.Convert("Minimax_Validation:Version=1:Type=Plane:Criterion=MinimumZone\n"
                      "Plane 1 3 0 0 0 0 0 1 0\n0 0 0\n1 0 0\n0 1 0\n");
    QCOMPARE(messages, QStringList{"2 plane 1 has 3 points, fewer than the 4 a plane's "
                                   "minimum-zone fit needs: the software cannot fit it"});
}

void TestConversionMinimax::record_fields_are_counted_by_the_minimax_type()
{
    // A least-squares line record in a minimax file lacks the plane and F.
    TValidationConverter converter;
    QStringList messages;
    converter.diagnostic_handler = [&messages](const TValidationDiagnostic &diagnostic) {
        messages << diagnostic.message;
    };
    converter.Convert("Minimax_Validation:Version=1:Type=Line:Criterion=MinimumZone\n"
                      "Line 1 3 0 0 0 1 0 0 0\n0 0 0\n1 0 0\n2 0 0\n");
    QVERIFY(messages.contains("line record has 9 fields instead of 12, line ignored"));
    QVERIFY(!converter.dmis_text.contains("GEOALG"));
}

QTEST_GUILESS_MAIN(TestConversionMinimax)
#include "test_conversion_minimax.moc"
