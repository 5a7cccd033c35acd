#include "conversion/program_size.h"
#include "conversion/validation_converter.h"

#include <QLocale>
#include <QTextCodec>
#include <QtTest>

namespace {

using TDiagnostic = TValidationConverter::TDiagnostic;

const QString ERR = "$$  ERR:  Number of data points greater than defined in feature.";
const QString PLANE_HEADER = "Best_Fit_Validation:Version=1:Type=Plane";
const QString LINE_HEADER = "Best_Fit_Validation:Version=1:Type=Line";
const QString CIRCLE_HEADER = "Best_Fit_Validation:Version=1:Type=Circle";
const QString SPHERE_HEADER = "Best_Fit_Validation:Version=1:Type=Sphere";

// The plane record most cases use, and its comment.
const QString PLANE_1 = "Plane 1 2 10 -2.5 0 0 0 1 0.0015";
const QString PLANE_1_COMMENT =
    "$$ Plane 10.000000 -2.500000 0.000000 0.000000000 0.000000000 1.000000000 0.001500";
const QString PLANE_1_NOMINAL =
    "F(PLN_1)=FEAT/PLANE,CART,10.000000,-2.500000,0.000000,0.000000000,0.000000000,1.000000000";

QStringList Measured(const QString &label, const QString &xyz)
{
    return {"$$",
            "F(" + label + ")=FEAT/POINT,CART," + xyz + ",0.000000000,0.000000000,1.000000000",
            "MEAS/POINT,F(" + label + "),1",
            "    PTMEAS/CART," + xyz + ",0.000000000,0.000000000,1.000000000", "ENDMES"};
}

QStringList Offset(const QString &label, const QString &xyz)
{
    return {"$$",
            "F(" + label + ")=FEAT/POINT,CART," + xyz + ",0.000000000,0.000000000,1.000000000",
            "CONST/POINT,F(" + label + "),MOVEPT,F(PT_ZERO)," + xyz};
}

QStringList Lines_Of(const QString &text)
{
    QStringList lines = text.split('\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// "CIR_7:PT_7_1,PT_7_2", one entry per collected record.
QStringList Records_Of(const TValidationConverter &converter)
{
    QStringList records;
    for (const auto &feature : converter.construction_features) {
        QStringList names;
        for (const QString &name : feature.point_names) {
            names << name;
        }
        records << feature.name + ":" + names.join(',');
    }
    return records;
}

QByteArray File(const QStringList &lines)
{
    return (lines.join('\n') + '\n').toUtf8();
}

struct TRun
{
    QStringList body;
    QStringList records;
    QStringList diagnostics; // "LINE kind"
};

TRun Process(const QByteArray &content, int point_type = 0)
{
    TValidationConverter converter;
    converter.preferences.dmis_feature_type =
        static_cast<TPreferences::TDMISFeatureType>(point_type);
    TRun run;
    converter.diagnostic_handler = [&run](const TDiagnostic &diagnostic) {
        // Most records here have fewer points than a fit needs; that warning
        // has its own test.
        if (diagnostic.kind == TDiagnostic::FEATURE_TOO_FEW_POINTS)
            return;
        run.diagnostics << QString("%1 %2").arg(diagnostic.line_number).arg(diagnostic.kind);
        QVERIFY(!diagnostic.message.isEmpty());
    };
    converter.Process_Validation_File(content);
    run.body = Lines_Of(converter.dmis_text);
    run.records = Records_Of(converter);

    // Reporting never changes the program text.
    TValidationConverter silent;
    silent.preferences = converter.preferences;
    silent.Process_Validation_File(content);
    if (silent.dmis_text != converter.dmis_text) {
        run.body << "(text differs without a diagnostic handler)";
    }
    return run;
}

QString Diagnostic(int line, TDiagnostic::TKind kind)
{
    return QString("%1 %2").arg(line).arg(kind);
}

const QString WORKED_EXAMPLE_INPUT = "Best_Fit_Validation:Version=1:Type=Circle\n"
                                     "Circle 7 2 10 20 0 0 0 1 25.4 0.0021\n"
                                     "35.4 20 0\n"
                                     "10 45.4 0\n";

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

} // namespace

class TestConversionProcessing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void worked_example_data();
    void worked_example();
    void worked_example_record();
    void lines_data();
    void lines();
    void feature_types_data();
    void feature_types();
    void not_a_validation_file_data();
    void not_a_validation_file();
    void decoding_data();
    void decoding();
    void locale_encodings_data();
    void locale_encodings();
    void diagnostics_data();
    void diagnostics();
    void measured_size_is_the_program_size_data();
    void measured_size_is_the_program_size();
    void records_are_independent_copies();
};

void TestConversionProcessing::initTestCase()
{
    // Writes "1.234,5": the program text must not notice.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestConversionProcessing::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestConversionProcessing::init()
{
    // Most cases hold UTF-8; the encoding cases set their own.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestConversionProcessing::worked_example_data()
{
    QTest::addColumn<int>("point_type");
    QTest::addColumn<QString>("expected");

    const QString comment =
        "$$\n"
        "$$ Circle 10.000000 20.000000 0.000000 0.000000000 0.000000000 1.000000000 25.400000 "
        "0.002100\n";
    const QString constructed = "$$\n"
                                "F(CIR_7)=FEAT/CIRCLE,INNER,CART,10.000000,20.000000,0.000000,"
                                "0.000000000,0.000000000,1.000000000,25.400000\n"
                                "CONST/CIRCLE,F(CIR_7),BF,FA(PT_7_1),FA(PT_7_2)\n"
                                "ENDFIL\n";
    QTest::newRow("measured points")
        << 0
        << HEADER_LINES + comment +
               "$$\n"
               "F(PT_7_1)=FEAT/POINT,CART,35.400000,20.000000,0.000000,0.000000000,0.000000000,"
               "1.000000000\n"
               "MEAS/POINT,F(PT_7_1),1\n"
               "    PTMEAS/CART,35.400000,20.000000,0.000000,0.000000000,0.000000000,1.000000000\n"
               "ENDMES\n"
               "$$\n"
               "F(PT_7_2)=FEAT/POINT,CART,10.000000,45.400000,0.000000,0.000000000,0.000000000,"
               "1.000000000\n"
               "MEAS/POINT,F(PT_7_2),1\n"
               "    PTMEAS/CART,10.000000,45.400000,0.000000,0.000000000,0.000000000,1.000000000\n"
               "ENDMES\n" +
               constructed;
    QTest::newRow("constructed offset points")
        << 1
        << HEADER_LINES + "$$\nF(PT_ZERO)=FEAT/POINT,0,0,0,0,0,1\n" + comment +
               "$$\n"
               "F(PT_7_1)=FEAT/POINT,CART,35.400000,20.000000,0.000000,0.000000000,0.000000000,"
               "1.000000000\n"
               "CONST/POINT,F(PT_7_1),MOVEPT,F(PT_ZERO),35.400000,20.000000,0.000000\n"
               "$$\n"
               "F(PT_7_2)=FEAT/POINT,CART,10.000000,45.400000,0.000000,0.000000000,0.000000000,"
               "1.000000000\n"
               "CONST/POINT,F(PT_7_2),MOVEPT,F(PT_ZERO),10.000000,45.400000,0.000000\n" +
               constructed;
}

void TestConversionProcessing::worked_example()
{
    QFETCH(int, point_type);
    QFETCH(QString, expected);
    TValidationConverter converter;
    converter.preferences.dmis_feature_type =
        static_cast<TPreferences::TDMISFeatureType>(point_type);
    converter.Convert(WORKED_EXAMPLE_INPUT.toUtf8());
    QCOMPARE(converter.dmis_text, expected);
}

void TestConversionProcessing::worked_example_record()
{
    TValidationConverter converter;
    converter.Process_Validation_File(WORKED_EXAMPLE_INPUT.toUtf8());
    QCOMPARE(converter.construction_features.size(), size_t(1));
    const auto &feature = converter.construction_features.front();
    QCOMPARE(feature.name, QString("CIR_7"));
    QCOMPARE(feature.xyz.x, 10.0);
    QCOMPARE(feature.xyz.y, 20.0);
    QCOMPARE(feature.xyz.z, 0.0);
    QCOMPARE(feature.ijk.x, 0.0);
    QCOMPARE(feature.ijk.y, 0.0);
    QCOMPARE(feature.ijk.z, 1.0);
    QCOMPARE(feature.diameter, 25.4);
    const std::vector<QString> points{"PT_7_1", "PT_7_2"};
    QCOMPARE(feature.point_names, points);
}

// A plane file: the lines after the header, what is written (construction
// included) and which records are collected.
void TestConversionProcessing::lines_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("point_type");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("records");

    const QString p123 = "1.000000,2.000000,3.000000";
    const QString p456 = "4.000000,5.000000,6.000000";
    const QString p789 = "7.000000,8.000000,9.000000";
    const QStringList head = QStringList{"$$", PLANE_1_COMMENT};
    const QStringList pln1 = {"$$", PLANE_1_NOMINAL,
                              "CONST/PLANE,F(PLN_1),BF,FA(PT_1_1),FA(PT_1_2)"};
    const QStringList complete = head + Measured("PT_1_1", p123) + Measured("PT_1_2", p456);
    const QStringList one_record = {"PLN_1:PT_1_1,PT_1_2"};

    QTest::newRow("complete feature")
        << QStringList{PLANE_1, "1 2 3", "4 5 6"} << 0 << complete + pln1 << one_record;
    QTest::newRow("constructed offset points")
        << QStringList{PLANE_1, "1 2 3", "4 5 6"} << 1
        << head + Offset("PT_1_1", p123) + Offset("PT_1_2", p456) + pln1 << one_record;
    QTest::newRow("preference 7 writes the nominals only")
        << QStringList{PLANE_1, "1 2 3", "4 5 6"} << 7
        << head +
               QStringList{
                   "$$",
                   "F(PT_1_1)=FEAT/POINT,CART," + p123 + ",0.000000000,0.000000000,1.000000000",
                   "$$",
                   "F(PT_1_2)=FEAT/POINT,CART," + p456 + ",0.000000000,0.000000000,1.000000000"} +
               pln1
        << one_record;
    QTest::newRow("surplus point after a complete feature")
        << QStringList{PLANE_1, "1 2 3", "4 5 6", "7 8 9"} << 0
        << complete + QStringList{ERR} + pln1 << one_record;
    QTest::newRow("blank line after a complete feature")
        << QStringList{PLANE_1, "1 2 3", "4 5 6", ""} << 0 << complete + QStringList{ERR} + pln1
        << one_record;
    QTest::newRow("white space line after a complete feature")
        << QStringList{PLANE_1, "1 2 3", "4 5 6", " \t "} << 0 << complete + QStringList{ERR} + pln1
        << one_record;
    QTest::newRow("points before the first feature")
        << QStringList{"1 2 3", "4 5 6"} << 0 << QStringList{ERR, ERR} << QStringList{};
    QTest::newRow("header only") << QStringList{} << 0 << QStringList{} << QStringList{};
    QTest::newRow("skipped lines inside a feature")
        << QStringList{PLANE_1, "",     "1 2", "1 2 3 4", "1 2 3", "some words here and there",
                       "x",     "4 5 6"}
        << 0 << complete + pln1 << one_record;
    QTest::newRow("comments anywhere")
        << QStringList{"# before",      PLANE_1, "# inside", "1 2 3",
                       "   # indented", "#",     "4 5 6",    "# after"}
        << 0 << complete + pln1 << one_record;
    QTest::newRow("point count 0")
        << QStringList{"Plane 1 0 10 -2.5 0 0 0 1 0.0015", "1 2 3", "", "Plane 2 1 0 0 0 0 0 1 0",
                       "7 8 9"}
        << 0
        << head +
               QStringList{ERR, ERR, "$$",
                           "$$ Plane 0.000000 0.000000 0.000000 0.000000000 0.000000000 "
                           "1.000000000 0.000000"} +
               Measured("PT_2_1", p789) +
               QStringList{"$$",
                           "F(PLN_2)=FEAT/PLANE,CART,0.000000,0.000000,0.000000,0.000000000,0."
                           "000000000,1.000000000",
                           "CONST/PLANE,F(PLN_2),BF,FA(PT_2_1)"}
        << QStringList{"PLN_2:PT_2_1"};
    QTest::newRow("negative point count")
        << QStringList{"Plane 1 -2 10 -2.5 0 0 0 1 0.0015", "1 2 3"} << 0 << head + QStringList{ERR}
        << QStringList{};
    QTest::newRow("point count with a decimal point reads 0")
        << QStringList{"Plane 1 2.0 10 -2.5 0 0 0 1 0.0015", "1 2 3"} << 0
        << head + QStringList{ERR} << QStringList{};
    QTest::newRow("abandoned feature")
        << QStringList{"Plane 1 3 10 -2.5 0 0 0 1 0.0015", "1 2 3", "4 5 6",
                       "Plane 2 1 10 -2.5 0 0 0 1 0.0015", "7 8 9"}
        << 0
        << complete + head + Measured("PT_2_1", p789) +
               QStringList{"$$",
                           "F(PLN_2)=FEAT/PLANE,CART,10.000000,-2.500000,0.000000,0.000000000,0."
                           "000000000,1.000000000",
                           "CONST/PLANE,F(PLN_2),BF,FA(PT_2_1)"}
        << QStringList{"PLN_2:PT_2_1"};
    QTest::newRow("unfinished at the end")
        << QStringList{PLANE_1, "1 2 3", "4 5 6", "Plane 2 2 10 -2.5 0 0 0 1 0.0015", "7 8 9"} << 0
        << complete + head + Measured("PT_2_1", p789) + pln1 << one_record;
    QTest::newRow("second header outside a feature")
        << QStringList{PLANE_1, "1 2 3", "4 5 6", PLANE_HEADER} << 0
        << complete + QStringList{ERR} + pln1 << one_record;
    QTest::newRow("second header inside a feature")
        << QStringList{PLANE_1, "1 2 3", PLANE_HEADER, "4 5 6"} << 0 << complete + pln1
        << one_record;
    QTest::newRow("keyword in capitals")
        << QStringList{"PLANE 1 2 10 -2.5 0 0 0 1 0.0015", "1 2 3", "4 5 6"} << 0 << complete + pln1
        << one_record;
    QTest::newRow("colon instead of the blank")
        << QStringList{"pLaNe:1 2 10 -2.5 0 0 0 1 0.0015", "1 2 3", "4 5 6"} << 0 << complete + pln1
        << one_record;
    QTest::newRow("colon and blank is one field too many")
        << QStringList{"Plane: 1 2 10 -2.5 0 0 0 1 0.0015", "1 2 3"} << 0 << QStringList{ERR}
        << QStringList{};
    QTest::newRow("plural is one field too many")
        << QStringList{"Planes 1 2 10 -2.5 0 0 0 1 0.0015", "1 2 3"} << 0 << QStringList{ERR}
        << QStringList{};
    QTest::newRow("number right behind the keyword loses its first digit")
        << QStringList{"Plane12 2 10 -2.5 0 0 0 1 0.0015", "1 2 3", "4 5 6"} << 0
        << head + Measured("PT_2_1", p123) + Measured("PT_2_2", p456) +
               QStringList{"$$",
                           "F(PLN_2)=FEAT/PLANE,CART,10.000000,-2.500000,0.000000,0.000000000,0."
                           "000000000,1.000000000",
                           "CONST/PLANE,F(PLN_2),BF,FA(PT_2_1),FA(PT_2_2)"}
        << QStringList{"PLN_2:PT_2_1,PT_2_2"};
    QTest::newRow("one digit right behind the keyword leaves an empty feature number")
        << QStringList{"Plane1 1 10 -2.5 0 0 0 1 0.0015", "1 2 3"} << 0
        << head + Measured("PT_0_1", p123) +
               QStringList{"$$",
                           "F(PLN_0)=FEAT/PLANE,CART,10.000000,-2.500000,0.000000,0.000000000,0."
                           "000000000,1.000000000",
                           "CONST/PLANE,F(PLN_0),BF,FA(PT_0_1)"}
        << QStringList{"PLN_0:PT_0_1"};
    QTest::newRow("keyword alone")
        << QStringList{"Plane", "1 2 3"} << 0 << QStringList{ERR} << QStringList{};
    QTest::newRow("too few fields inside a feature leave it open")
        << QStringList{PLANE_1, "1 2 3", "Plane 9 1 0 0 0 0 0 1", "4 5 6"} << 0 << complete + pln1
        << one_record;
    QTest::newRow("too many fields inside a feature leave it open")
        << QStringList{PLANE_1, "1 2 3", "Plane 9 1 0 0 0 0 0 1 0 0", "4 5 6"} << 0
        << complete + pln1 << one_record;
    QTest::newRow("tabs and runs of blanks")
        << QStringList{"\tPlane \t1   2\t10 -2.5 0   0 0 1 0.0015  ", "  1\t2 \f 3 ", "4\v5\r6"}
        << 0 << complete + pln1 << one_record;
    QTest::newRow("comma as decimal point reads 0")
        << QStringList{PLANE_1, "1,5 2 3", "4 5 6"} << 0
        << head + Measured("PT_1_1", "0.000000,2.000000,3.000000") + Measured("PT_1_2", p456) + pln1
        << one_record;
    QTest::newRow("words read 0")
        << QStringList{"Plane x 1 a b c d e f g", "nan inf -infinity"} << 0
        << QStringList{"$$",
                       "$$ Plane 0.000000 0.000000 0.000000 0.000000000 0.000000000 0.000000000 "
                       "0.000000"} +
               Measured("PT_0_1", "0.000000,0.000000,0.000000") +
               QStringList{"$$",
                           "F(PLN_0)=FEAT/PLANE,CART,0.000000,0.000000,0.000000,0.000000000,0."
                           "000000000,0.000000000",
                           "CONST/PLANE,F(PLN_0),BF,FA(PT_0_1)"}
        << QStringList{"PLN_0:PT_0_1"};
    QTest::newRow("feature number beyond 32 bits reads 0")
        << QStringList{"Plane 4294967297 1 10 -2.5 0 0 0 1 0.0015", "1 2 3"} << 0
        << head + Measured("PT_0_1", p123) +
               QStringList{"$$",
                           "F(PLN_0)=FEAT/PLANE,CART,10.000000,-2.500000,0.000000,0.000000000,0."
                           "000000000,1.000000000",
                           "CONST/PLANE,F(PLN_0),BF,FA(PT_0_1)"}
        << QStringList{"PLN_0:PT_0_1"};
    QTest::newRow("values beyond a double read 0")
        << QStringList{PLANE_1, "1e999 -1e400 3", "4 5 6"} << 0
        << head + Measured("PT_1_1", "0.000000,0.000000,3.000000") + Measured("PT_1_2", p456) + pln1
        << one_record;
    QTest::newRow("signs, exponents and rounding")
        << QStringList{"Plane +1 1 -0.0000004 1e2 +2.5E-1 -0 0.0000000005 -1 1.0000005", "-0 .5 5."}
        << 0
        << QStringList{"$$", "$$ Plane -0.000000 100.000000 0.250000 0.000000000 0.000000001 "
                             "-1.000000000 1.000001"} +
               Measured("PT_1_1", "0.000000,0.500000,5.000000") +
               QStringList{"$$",
                           "F(PLN_1)=FEAT/PLANE,CART,-0.000000,100.000000,0.250000,0.000000000,0."
                           "000000001,-1.000000000",
                           "CONST/PLANE,F(PLN_1),BF,FA(PT_1_1)"}
        << QStringList{"PLN_1:PT_1_1"};
    QTest::newRow("duplicate feature numbers are kept")
        << QStringList{"Plane 1 1 0 0 0 0 0 1 0", "1 2 3", "Plane 1 1 0 0 0 0 0 1 0", "4 5 6"} << 0
        << QStringList{"$$", "$$ Plane 0.000000 0.000000 0.000000 0.000000000 0.000000000 "
                             "1.000000000 0.000000"} +
               Measured("PT_1_1", p123) +
               QStringList{"$$", "$$ Plane 0.000000 0.000000 0.000000 0.000000000 0.000000000 "
                                 "1.000000000 0.000000"} +
               Measured("PT_1_1", p456) +
               QStringList{"$$",
                           "F(PLN_1)=FEAT/PLANE,CART,0.000000,0.000000,0.000000,0.000000000,0."
                           "000000000,1.000000000",
                           "CONST/PLANE,F(PLN_1),BF,FA(PT_1_1)",
                           "$$",
                           "F(PLN_1)=FEAT/PLANE,CART,0.000000,0.000000,0.000000,0.000000000,0."
                           "000000000,1.000000000",
                           "CONST/PLANE,F(PLN_1),BF,FA(PT_1_1)"}
        << QStringList{"PLN_1:PT_1_1", "PLN_1:PT_1_1"};
    QTest::newRow("non-breaking space separates fields")
        << QStringList{PLANE_1, QString("1") + QChar(0xA0) + "2 3", "4 5\u20036"} << 0
        << complete + pln1 << one_record;
    QTest::newRow("a character beyond ASCII in a number reads 0")
        << QStringList{PLANE_1, "1 2 3\u00B5", "4 5 6"} << 0
        << head + Measured("PT_1_1", "1.000000,2.000000,0.000000") + Measured("PT_1_2", p456) + pln1
        << one_record;
    QTest::newRow("keyword dropping counts characters, not bytes")
        << QStringList{"Plane\u00E9 1 2 10 -2.5 0 0 0 1 0.0015",
                       "Plane\u00E91 2 10 -2.5 0 0 0 1 "
                       "0.0015",
                       "1 2 3", "4 5 6"}
        << 0 << complete + pln1 << one_record;
    QTest::newRow("byte-order mark inside the file is a character")
        << QStringList{QString(QChar(0xFEFF)) + PLANE_1, "1 2 3"} << 0 << QStringList{ERR, ERR}
        << QStringList{};
}

void TestConversionProcessing::lines()
{
    QFETCH(QStringList, input);
    QFETCH(int, point_type);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, records);

    const TRun run = Process(File(QStringList{PLANE_HEADER} + input), point_type);
    QCOMPARE(run.body, expected);
    QCOMPARE(run.records, records);
}

void TestConversionProcessing::feature_types_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("line, negative feature number")
        << QStringList{LINE_HEADER, "line -3 2 1 2 3 0.6 0.8 0 0.0004", "0 0 0", "1 1 1"}
        << QStringList{"$$",
                       "$$ Line 1.000000 2.000000 3.000000 0.600000000 0.800000000 0.000000000 "
                       "0.000400"} +
               Measured("PT_-3_1", "0.000000,0.000000,0.000000") +
               Measured("PT_-3_2", "1.000000,1.000000,1.000000") +
               QStringList{"$$",
                           "F(LN_-3)=FEAT/LINE,UNBND,CART,1.000000,2.000000,3.000000,0.600000000,"
                           "0.800000000,0.000000000,0.000000000,0.000000000,1.000000000",
                           "CONST/LINE,F(LN_-3),BF,FA(PT_-3_1),FA(PT_-3_2)"}
        << QStringList{"LN_-3:PT_-3_1,PT_-3_2"};
    QTest::newRow("line file reads a plane keyword as a point line")
        << QStringList{LINE_HEADER, "Line 2 1 0 0 0 1 0 0 0", "Plane 1 2 3", "Plane 1 2"}
        << QStringList{"$$",
                       "$$ Line 0.000000 0.000000 0.000000 1.000000000 0.000000000 0.000000000 "
                       "0.000000"} +
               Measured("PT_2_1", "0.000000,1.000000,2.000000") +
               QStringList{"$$",
                           "F(LN_2)=FEAT/LINE,UNBND,CART,0.000000,0.000000,0.000000,1.000000000,"
                           "0.000000000,0.000000000,0.000000000,0.000000000,1.000000000",
                           "CONST/LINE,F(LN_2),BF,FA(PT_2_1)"}
        << QStringList{"LN_2:PT_2_1"};
    QTest::newRow("sphere")
        << QStringList{SPHERE_HEADER, "Sphere 4 1 1.5 -2 3 25.4 0.0007", "1 2 3",
                       "Sphere 5 1 1 1 1 1 1 1"}
        << QStringList{"$$", "$$ Sphere 1.500000 -2.000000 3.000000 25.400000 0.000700"} +
               Measured("PT_4_1", "1.000000,2.000000,3.000000") +
               QStringList{"$$",
                           "F(SPH_4)=FEAT/SPHERE,OUTER,CART,1.500000,-2.000000,3.000000,25.400000",
                           "CONST/SPHERE,F(SPH_4),BF,FA(PT_4_1)"}
        << QStringList{"SPH_4:PT_4_1"};
    QTest::newRow("sphere keyword with a long s")
        << QStringList{SPHERE_HEADER, QString(QChar(0x17F)) + "PHERE 4 1 1.5 -2 3 25.4 0.0007",
                       "1 2 3"}
        << QStringList{"$$", "$$ Sphere 1.500000 -2.000000 3.000000 25.400000 0.000700"} +
               Measured("PT_4_1", "1.000000,2.000000,3.000000") +
               QStringList{"$$",
                           "F(SPH_4)=FEAT/SPHERE,OUTER,CART,1.500000,-2.000000,3.000000,25.400000",
                           "CONST/SPHERE,F(SPH_4),BF,FA(PT_4_1)"}
        << QStringList{"SPH_4:PT_4_1"};
    QTest::newRow("circle with ten fields, header with text behind it")
        << QStringList{CIRCLE_HEADER + " exported 2024-05-01", "Circle 2 1 1 2 3 0 0 1 10 0.5",
                       "Circle 3 1 1 2 3 0 0 1 10", "6 2 3"}
        << QStringList{"$$",
                       "$$ Circle 1.000000 2.000000 3.000000 0.000000000 0.000000000 1.000000000 "
                       "10.000000 0.500000"} +
               Measured("PT_2_1", "6.000000,2.000000,3.000000") +
               QStringList{"$$",
                           "F(CIR_2)=FEAT/CIRCLE,INNER,CART,1.000000,2.000000,3.000000,0."
                           "000000000,0.000000000,1.000000000,10.000000",
                           "CONST/CIRCLE,F(CIR_2),BF,FA(PT_2_1)"}
        << QStringList{"CIR_2:PT_2_1"};
}

void TestConversionProcessing::feature_types()
{
    QFETCH(QStringList, input);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, records);
    const TRun run = Process(File(input));
    QCOMPARE(run.body, expected);
    QCOMPARE(run.records, records);
}

void TestConversionProcessing::not_a_validation_file_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("comments only") << QByteArray("# one\n  # two\n");
    QTest::newRow("blank line before the header") << QByteArray("\n" + PLANE_HEADER.toUtf8());
    QTest::newRow("white space before the header") << QByteArray(" \t\n" + PLANE_HEADER.toUtf8());
    QTest::newRow("type word in lower case")
        << QByteArray("Best_Fit_Validation:Version=1:Type=plane\nPlane 1 1 0 0 0 0 0 1 0\n1 2 3\n");
    QTest::newRow("another version")
        << QByteArray("Best_Fit_Validation:Version=2:Type=Plane\nPlane 1 1 0 0 0 0 0 1 0\n1 2 3\n");
    QTest::newRow("feature record first") << QByteArray("Plane 1 1 0 0 0 0 0 1 0\n");
    QTest::newRow("unknown type") << QByteArray("Best_Fit_Validation:Version=1:Type=Ellipse\n");
    QTest::newRow("UTF-8 byte-order mark only") << QByteArray("\xEF\xBB\xBF");
    // Only the first mark is the file's; a second one is a character of the
    // header line, which then is no header.
    QTest::newRow("two UTF-16 byte-order marks")
        << QByteArray("\xFF\xFE\xFF\xFE", 4) + QTextCodec::codecForName("UTF-16LE")
                                                   ->fromUnicode(PLANE_HEADER)
                                                   .mid(2); // its own mark
}

void TestConversionProcessing::not_a_validation_file()
{
    QFETCH(QByteArray, content);
    const TRun run = Process(content);
    QCOMPARE(run.body, QStringList{});
    QCOMPARE(run.records, QStringList{});
    QCOMPARE(run.diagnostics.size(), 1);
    QVERIFY(
        run.diagnostics.front().endsWith(QString(" %1").arg(TDiagnostic::NOT_A_VALIDATION_FILE)));
}

// The same plane file in other encodings and line ends reads the same.
void TestConversionProcessing::decoding_data()
{
    QTest::addColumn<QByteArray>("content");

    const QString text = PLANE_HEADER + "\n" + PLANE_1 + "\n1 2 3\n4 5 6\n";
    auto encoded_text = [](const char *codec, const QString &text) {
        // Without a mark of the codec's own: the rows add the one they test.
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        return QTextCodec::codecForName(codec)->fromUnicode(text.constData(), text.size(), &state);
    };
    auto encoded = [&text, &encoded_text](const char *codec) { return encoded_text(codec, text); };
    QTest::newRow("line feeds") << text.toUtf8();
    QTest::newRow("no line feed at the end") << text.toUtf8().chopped(1);
    QTest::newRow("carriage return and line feed") << text.toUtf8().replace("\n", "\r\n");
    QTest::newRow("stray carriage returns") << text.toUtf8().replace(" ", "\r");
    QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + text.toUtf8();
    QTest::newRow("UTF-16LE byte-order mark") << encoded("UTF-16LE").prepend("\xFF\xFE");
    QTest::newRow("UTF-16BE byte-order mark") << encoded("UTF-16BE").prepend("\xFE\xFF");
    QTest::newRow("UTF-16 with carriage returns")
        << encoded_text("UTF-16LE", QString(text).replace("\n", "\r\n")).prepend("\xFF\xFE");
    QTest::newRow("UTF-32LE byte-order mark")
        << encoded("UTF-32LE").prepend(QByteArray("\xFF\xFE\x00\x00", 4));
    QTest::newRow("UTF-32BE byte-order mark")
        << encoded("UTF-32BE").prepend(QByteArray("\x00\x00\xFE\xFF", 4));
    // Decoding the whole text leaves such bytes out; they are no further line.
    QTest::newRow("incomplete character after the last line feed") << text.toUtf8() + "\xF4";
    QTest::newRow("Latin-1 comment under a UTF-8 locale") << QByteArray("# Pr\xFC"
                                                                        "fung\n") +
                                                                 text.toUtf8();
}

void TestConversionProcessing::decoding()
{
    QFETCH(QByteArray, content);
    const TRun run = Process(content);
    const TRun plain = Process(File({PLANE_HEADER, PLANE_1, "1 2 3", "4 5 6"}));
    QCOMPARE(plain.records, QStringList{"PLN_1:PT_1_1,PT_1_2"});
    QCOMPARE(run.body, plain.body);
    QCOMPARE(run.records, plain.records);
}

// Files written in the locale's own encoding, including ones that are not
// supersets of ASCII byte by byte.
void TestConversionProcessing::locale_encodings_data()
{
    QTest::addColumn<QByteArray>("locale_codec");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("ISO-8859-1 with a non-breaking space")
        << QByteArray("ISO-8859-1")
        << QByteArray("Best_Fit_Validation:Version=1:Type=Plane\n# \xE9t\xE9\n"
                      "Plane 1 1 10 -2.5 0 0 0 1 0.0015\n1\xA0"
                      "2 3\n");
    QTest::newRow("UTF-16LE without byte-order mark")
        << QByteArray("UTF-16LE")
        << QTextCodec::codecForName("UTF-16LE")
               ->fromUnicode("Best_Fit_Validation:Version=1:Type=Plane\n"
                             "Plane 1 1 10 -2.5 0 0 0 1 0.0015\n1 2 3\n")
               .mid(0);
    QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS")
                               << QTextCodec::codecForName("Shift_JIS")
                                      ->fromUnicode(QString(
                                          "Best_Fit_Validation:Version=1:Type=Plane\n# \u8868\n"
                                          "Plane 1 1 10 -2.5 0 0 0 1 0.0015\n1\u30002 3\n"));
}

void TestConversionProcessing::locale_encodings()
{
    QFETCH(QByteArray, locale_codec);
    QFETCH(QByteArray, content);
    QTextCodec *codec = QTextCodec::codecForName(locale_codec);
    QVERIFY(codec);
    QTextCodec::setCodecForLocale(codec);
    const TRun run = Process(content);
    const QStringList expected =
        QStringList{"$$", PLANE_1_COMMENT} + Measured("PT_1_1", "1.000000,2.000000,3.000000") +
        QStringList{"$$", PLANE_1_NOMINAL, "CONST/PLANE,F(PLN_1),BF,FA(PT_1_1)"};
    QCOMPARE(run.body, expected);
}

void TestConversionProcessing::diagnostics_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("clean file") << WORKED_EXAMPLE_INPUT.toUtf8() << QStringList{};
    QTest::newRow("malformed file")
        << File({"# line 1",                  // 1
                 PLANE_HEADER,                // 2
                 "1 2 3",                     // 3 surplus
                 "Plane 1 3 0 0 0 0 0 1",     // 4 wrong field count
                 "Plane 1 3 0 0 0 0 0 1 0",   // 5 abandoned by line 9
                 "1 2 3",                     // 6
                 "1 2",                       // 7 two fields
                 "",                          // 8 blank inside a feature
                 "Plane 2 0 0 0 0 0 0 1 0",   // 9 no points
                 "4 5 6",                     // 10 surplus
                 "Plane x 2 0 0 0 0 0 1 1,5", // 11 two fields not numbers
                 "1 2 abc",                   // 12 not a number, unfinished
                 "# end"})                    // 13
        << QStringList{Diagnostic(3, TDiagnostic::SURPLUS_LINE),
                       Diagnostic(4, TDiagnostic::FEATURE_FIELD_COUNT),
                       Diagnostic(7, TDiagnostic::POINT_FIELD_COUNT),
                       Diagnostic(8, TDiagnostic::POINT_FIELD_COUNT),
                       Diagnostic(5, TDiagnostic::FEATURE_ABANDONED),
                       Diagnostic(9, TDiagnostic::FEATURE_WITHOUT_POINTS),
                       Diagnostic(10, TDiagnostic::SURPLUS_LINE),
                       Diagnostic(11, TDiagnostic::NOT_A_NUMBER),
                       Diagnostic(11, TDiagnostic::NOT_A_NUMBER),
                       Diagnostic(12, TDiagnostic::NOT_A_NUMBER),
                       Diagnostic(11, TDiagnostic::FEATURE_UNFINISHED)};
    // Qt's encoder writes the byte-order mark itself.
    QTest::newRow("line numbers in UTF-16")
        << QTextCodec::codecForName("UTF-16LE")->fromUnicode(PLANE_HEADER + "\r\n\r\n1 2 3\r\n")
        << QStringList{Diagnostic(2, TDiagnostic::SURPLUS_LINE),
                       Diagnostic(3, TDiagnostic::SURPLUS_LINE)};
    QTest::newRow("not a header after comments")
        << QByteArray("#\n#\nPlane 1 1 0 0 0 0 0 1 0\n")
        << QStringList{Diagnostic(3, TDiagnostic::NOT_A_VALIDATION_FILE)};
    QTest::newRow("carriage returns and no line feed")
        << (PLANE_HEADER + "\r" + PLANE_1 + "\r1 2 3\r").toUtf8()
        << QStringList{Diagnostic(1, TDiagnostic::CARRIAGE_RETURNS_ONLY)};
    QTest::newRow("carriage returns and no line feed, not a header")
        << QByteArray("# comment\rBest_Fit_Validation:Version=1:Type=Plane\r")
        << QStringList{Diagnostic(1, TDiagnostic::CARRIAGE_RETURNS_ONLY),
                       Diagnostic(0, TDiagnostic::NOT_A_VALIDATION_FILE)};
    QTest::newRow("carriage returns before line feeds")
        << (PLANE_HEADER + "\r\n" + PLANE_1 + "\r\n1 2 3\r\n4 5 6\r\n").toUtf8() << QStringList{};
    QTest::newRow("one line without any line end") << PLANE_HEADER.toUtf8() << QStringList{};
}

void TestConversionProcessing::measured_size_is_the_program_size_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("point_type");
    QTest::newRow("worked example, measured") << WORKED_EXAMPLE_INPUT.toUtf8() << 0;
    QTest::newRow("worked example, offset") << WORKED_EXAMPLE_INPUT.toUtf8() << 1;
    QTest::newRow("surplus lines and an edited type")
        << File({PLANE_HEADER, "1 2 3", PLANE_1, "1 2 3", "4 5 6", "7 8 9"}) << 2;
    QTest::newRow("not a validation file") << QByteArray("nothing\n") << 0;
    QTest::newRow("cones, one without an apex")
        << File({"Best_Fit_Validation:Version=1:Type=Cone", "Cone 1 2 0 0 10 0 0 1 90 20 0",
                 "10 0 10", "Cone 2 1 0 0 0 0 0 1 0 10 0", "0 10 10", "1 1 1"})
        << 1;
    QTest::newRow("torus") << File({"Best_Fit_Validation:Version=1:Type=Torus",
                                    "Torus 1 1 0 0 0 0 0 1 40 10 0", "25 0 0"})
                           << 0;
}

void TestConversionProcessing::measured_size_is_the_program_size()
{
    QFETCH(QByteArray, content);
    QFETCH(int, point_type);
    TPreferences preferences;
    preferences.dmis_feature_type = static_cast<TPreferences::TDMISFeatureType>(point_type);
    TValidationConverter converter;
    converter.preferences = preferences;
    converter.Convert(content);
    const TProgramSize size = Measure_Program(content, preferences);
    QCOMPARE(size.lines, qint64(converter.dmis_text.count(QLatin1Char('\n'))));
    QCOMPARE(size.characters, qint64(converter.dmis_text.size()));
}

void TestConversionProcessing::diagnostics()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    const TRun run = Process(content);
    QCOMPARE(run.diagnostics, expected);
    QVERIFY(!run.body.contains("(text differs without a diagnostic handler)"));
}

void TestConversionProcessing::records_are_independent_copies()
{
    TValidationConverter converter;
    converter.Process_Validation_File(File({PLANE_HEADER, "Plane 1 1 1 2 3 0 0 1 0", "1 1 1",
                                            "Plane 2 2 4 5 6 0 1 0 0", "2 2 2", "3 3 3"}));
    QCOMPARE(converter.construction_features.size(), size_t(2));
    const auto &first = converter.construction_features[0];
    const auto &second = converter.construction_features[1];
    QCOMPARE(first.name, QString("PLN_1"));
    QCOMPARE(first.xyz.z, 3.0);
    QCOMPARE(first.ijk.z, 1.0);
    QCOMPARE(first.diameter, 0.0);
    QCOMPARE(first.point_names, std::vector<QString>{"PT_1_1"});
    QCOMPARE(second.name, QString("PLN_2"));
    QCOMPARE(second.xyz.x, 4.0);
    QCOMPARE(second.ijk.y, 1.0);
    const std::vector<QString> second_points{"PT_2_1", "PT_2_2"};
    QCOMPARE(second.point_names, second_points);
}

QTEST_APPLESS_MAIN(TestConversionProcessing)

#include "test_conversion_processing.moc"
