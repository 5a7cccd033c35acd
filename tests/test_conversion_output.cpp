#include "conversion/validation_converter.h"

#include <QLocale>
#include <QtTest>

namespace {

using TFeature = TValidationConverter::TConstructionFeatures;

TFeature Feature(const QString &name, const TVector3 &xyz, const TVector3 &ijk, double diameter,
                 int points, int feature_number = 1)
{
    TFeature feature;
    feature.name = name;
    feature.xyz = xyz;
    feature.ijk = ijk;
    feature.diameter = diameter;
    for (int k = 1; k <= points; ++k) {
        feature.point_names.push_back(QString("PT_%1_%2").arg(feature_number).arg(k));
    }
    return feature;
}

QStringList Lines_Of(const QString &text)
{
    QStringList lines = text.split('\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// ",FA(PT_1_first)" to ",FA(PT_1_last)".
QString References(int first, int last)
{
    QString text;
    for (int k = first; k <= last; ++k) {
        text += QString(",FA(PT_1_%1)").arg(k);
    }
    return text;
}

const QStringList HEADER{"$$ Validation DMIS file",
                         "DMISMN/'validation.dms' 04.0",
                         "FILNAM/'validation.dms'",
                         "$$",
                         "UNITS/MM,ANGDEC",
                         "D(MC_CSY)=DATSET/MCS",
                         "MODE/MAN",
                         "$$",
                         "$$ Increase the display precision to 5 decimal places minimum.",
                         "DECPL/ALL,5"};

} // namespace

class TestConversionOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void worked_example();
    void wrapping_data();
    void wrapping();
    void nominals_data();
    void nominals();
    void empty_list_writes_nothing();
    void records_in_list_order();
    void list_is_not_changed();
    void header_data();
    void header();
    void file_without_header_is_framed_only();
};

void TestConversionOutput::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestConversionOutput::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestConversionOutput::worked_example()
{
    TValidationConverter converter;
    converter.construction_features.push_back(
        Feature("PLN_1", TVector3(10, -2.5, 0), TVector3(0, 0, 1), 0, 13));
    converter.Create_Constructed_Planes();
    QCOMPARE(converter.dmis_text,
             QString("$$\n"
                     "F(PLN_1)=FEAT/PLANE,CART,10.000000,-2.500000,0.000000,0.000000000,0."
                     "000000000,1.000000000\n"
                     "CONST/PLANE,F(PLN_1),BF,FA(PT_1_1),FA(PT_1_2),FA(PT_1_3),FA(PT_1_4),FA(PT_"
                     "1_5)$\n"
                     ",FA(PT_1_6),FA(PT_1_7),FA(PT_1_8),FA(PT_1_9),FA(PT_1_10),FA(PT_1_11),FA("
                     "PT_1_12)$\n"
                     ",FA(PT_1_13)\n"));
}

void TestConversionOutput::wrapping_data()
{
    QTest::addColumn<int>("references");
    QTest::addColumn<QStringList>("statement");

    const QString head = "CONST/PLANE,F(PLN_1),BF";
    QTest::newRow("0") << 0 << QStringList{head};
    QTest::newRow("1") << 1 << QStringList{head + References(1, 1)};
    QTest::newRow("5") << 5 << QStringList{head + References(1, 5)};
    QTest::newRow("6") << 6 << QStringList{head + References(1, 5) + "$", References(6, 6)};
    QTest::newRow("12") << 12 << QStringList{head + References(1, 5) + "$", References(6, 12)};
    QTest::newRow("13") << 13
                        << QStringList{head + References(1, 5) + "$", References(6, 12) + "$",
                                       References(13, 13)};
    QTest::newRow("19") << 19
                        << QStringList{head + References(1, 5) + "$", References(6, 12) + "$",
                                       References(13, 19)};
    QTest::newRow("20") << 20
                        << QStringList{head + References(1, 5) + "$", References(6, 12) + "$",
                                       References(13, 19) + "$", References(20, 20)};
}

void TestConversionOutput::wrapping()
{
    QFETCH(int, references);
    QFETCH(QStringList, statement);
    TValidationConverter converter;
    converter.construction_features.push_back(
        Feature("PLN_1", TVector3(1, 2, 3), TVector3(0, 0, 1), 0, references));
    converter.Create_Constructed_Planes();
    const QStringList lines = Lines_Of(converter.dmis_text);
    QCOMPARE(lines.mid(2), statement);
    const int expected_lines = references <= 5 ? 1 : 1 + (references - 5 + 6) / 7;
    QCOMPARE(lines.size() - 2, expected_lines);
}

void TestConversionOutput::nominals_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("plane ignores the diameter")
        << "plane"
        << QStringList{"$$",
                       "F(F_9)=FEAT/PLANE,CART,1.250000,-0.000001,1000000.000000,0.707106781,-0."
                       "707106781,0.000000000",
                       "CONST/PLANE,F(F_9),BF,FA(PT_9_1),FA(PT_9_2)"};
    QTest::newRow("line ignores the diameter")
        << "line"
        << QStringList{"$$",
                       "F(F_9)=FEAT/LINE,UNBND,CART,1.250000,-0.000001,1000000.000000,0.707106781,"
                       "-0.707106781,0.000000000,0.000000000,0.000000000,1.000000000",
                       "CONST/LINE,F(F_9),BF,FA(PT_9_1),FA(PT_9_2)"};
    QTest::newRow("circle")
        << "circle"
        << QStringList{"$$",
                       "F(F_9)=FEAT/CIRCLE,INNER,CART,1.250000,-0.000001,1000000.000000,0."
                       "707106781,-0.707106781,0.000000000,25.400000",
                       "CONST/CIRCLE,F(F_9),BF,FA(PT_9_1),FA(PT_9_2)"};
    QTest::newRow("sphere ignores the direction")
        << "sphere"
        << QStringList{"$$",
                       "F(F_9)=FEAT/SPHERE,OUTER,CART,1.250000,-0.000001,1000000.000000,25.400000",
                       "CONST/SPHERE,F(F_9),BF,FA(PT_9_1),FA(PT_9_2)"};
}

void TestConversionOutput::nominals()
{
    QFETCH(QString, type);
    QFETCH(QStringList, expected);
    TValidationConverter converter;
    converter.construction_features.push_back(Feature("F_9", TVector3(1.25, -0.0000011, 1e6),
                                                      TVector3(std::sqrt(0.5), -std::sqrt(0.5), 0),
                                                      25.4, 2, 9));
    if (type == "plane") {
        converter.Create_Constructed_Planes();
    } else if (type == "line") {
        converter.Create_Constructed_Lines();
    } else if (type == "circle") {
        converter.Create_Constructed_Circles();
    } else {
        converter.Create_Constructed_Spheres();
    }
    QCOMPARE(Lines_Of(converter.dmis_text), expected);
}

void TestConversionOutput::empty_list_writes_nothing()
{
    TValidationConverter converter;
    converter.Create_Constructed_Planes();
    converter.Create_Constructed_Lines();
    converter.Create_Constructed_Circles();
    converter.Create_Constructed_Spheres();
    QCOMPARE(converter.dmis_text, QString());
}

void TestConversionOutput::records_in_list_order()
{
    TValidationConverter converter;
    converter.construction_features.push_back(
        Feature("SPH_2", TVector3(0, 0, 0), TVector3(), 10, 1, 2));
    converter.construction_features.push_back(
        Feature("SPH_1", TVector3(1, 1, 1), TVector3(), 20, 6, 1));
    converter.Create_Constructed_Spheres();
    const QStringList expected{
        "$$",
        "F(SPH_2)=FEAT/SPHERE,OUTER,CART,0.000000,0.000000,0.000000,10.000000",
        "CONST/SPHERE,F(SPH_2),BF,FA(PT_2_1)",
        "$$",
        "F(SPH_1)=FEAT/SPHERE,OUTER,CART,1.000000,1.000000,1.000000,20.000000",
        "CONST/SPHERE,F(SPH_1),BF" + References(1, 5) + "$",
        References(6, 6)};
    QCOMPARE(Lines_Of(converter.dmis_text), expected);
}

void TestConversionOutput::list_is_not_changed()
{
    TValidationConverter converter;
    converter.construction_features.push_back(
        Feature("CIR_3", TVector3(1, 2, 3), TVector3(0, 0, 1), 5, 8, 3));
    converter.Create_Constructed_Circles();
    QCOMPARE(converter.construction_features.size(), size_t(1));
    QCOMPARE(converter.construction_features[0].name, QString("CIR_3"));
    QCOMPARE(converter.construction_features[0].point_names.size(), size_t(8));
    QCOMPARE(converter.construction_features[0].diameter, 5.0);
}

void TestConversionOutput::header_data()
{
    QTest::addColumn<int>("point_type");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("measured points") << 0 << HEADER;
    QTest::newRow("constructed offset points")
        << 1 << HEADER + QStringList{"$$", "F(PT_ZERO)=FEAT/POINT,0,0,0,0,0,1"};
    QTest::newRow("value 7 from an edited settings file") << 7 << HEADER;
    QTest::newRow("negative value") << -1 << HEADER;
}

void TestConversionOutput::header()
{
    QFETCH(int, point_type);
    QFETCH(QStringList, expected);
    TValidationConverter converter;
    converter.preferences.dmis_feature_type =
        static_cast<TPreferences::TDMISFeatureType>(point_type);
    converter.Create_Header();
    QCOMPARE(Lines_Of(converter.dmis_text), expected);
    converter.Create_Footer();
    QVERIFY(converter.dmis_text.endsWith("\nENDFIL\n"));
}

void TestConversionOutput::file_without_header_is_framed_only()
{
    TValidationConverter converter;
    converter.dmis_text = "left over";
    converter.construction_features.push_back(Feature("PLN_1", {}, {}, 0, 1));
    converter.Convert("Plane 1 1 0 0 0 0 0 1 0\n1 2 3\n");
    QCOMPARE(Lines_Of(converter.dmis_text), HEADER + QStringList{"ENDFIL"});
    QVERIFY(converter.construction_features.empty());
}

QTEST_APPLESS_MAIN(TestConversionOutput)

#include "test_conversion_output.moc"
