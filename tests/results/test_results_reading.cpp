#include "expected_results.h"
#include "results/results_reading.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const double INF = std::numeric_limits<double>::infinity();

const char *const NO_RESULT =
    "no result at all could be read; formats tried: DMIS output (FA(label)=FEAT/... statements), "
    "CSV (a header with a label column, then rows), QIF (measured planes, lines, circles, "
    "spheres, cylinders, cones and tori)";

const std::vector<TReferenceLabel> &Reference()
{
    static const std::vector<TReferenceLabel> reference = {
        {QStringLiteral("PLN_1"), TFeatureType::PLANE},
        {QStringLiteral("LIN_2"), TFeatureType::LINE},
        {QStringLiteral("CIR_3"), TFeatureType::CIRCLE},
        {QStringLiteral("SPH_4"), TFeatureType::SPHERE},
        {QStringLiteral("two_6"), TFeatureType::PLANE},
        {QStringLiteral("TWO_6"), TFeatureType::PLANE},
        {QString::fromUtf8("Ünï_8"), TFeatureType::PLANE},
        {QStringLiteral("SPH,9"), TFeatureType::SPHERE},
        {QStringLiteral("Esfera_10_DIAM"), TFeatureType::SPHERE},
        {QString::fromUtf8("C\xc3\xadrculo_13"), TFeatureType::CIRCLE},
        {QStringLiteral("CYL_14"), TFeatureType::CYLINDER},
        {QStringLiteral("CON_15"), TFeatureType::CONE},
        {QStringLiteral("TOR_16"), TFeatureType::TORUS},
    };
    return reference;
}

QByteArray Plane_Statement(const QByteArray &label, const QByteArray &x)
{
    return "FA(" + label + ")=FEAT/PLANE,CART," + x + ",2,3,0,0,1\n";
}

} // namespace

class TestResultsReading : public QObject
{
    Q_OBJECT

private slots:
    void dmis_data();
    void dmis();
    void dmis_forms_data();
    void dmis_forms();
    void csv_data();
    void csv();
    void csv_forms_data();
    void csv_forms();
    void detection_data();
    void detection();

    void million_continuation_lines();
    void long_fields();
    void many_warnings();

private:
    void Add_Columns();
    void Compare();
};

void TestResultsReading::Add_Columns()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<TExpectedFeatures>("features");
    QTest::addColumn<QStringList>("warnings");
}

void TestResultsReading::Compare()
{
    QFETCH(QByteArray, content);
    QFETCH(TExpectedFeatures, features);
    QFETCH(QStringList, warnings);

    const TResultsReading reading = Read_Results(content, Reference());
    QCOMPARE(Warnings(reading), warnings);
    Compare_Features(reading, features);
}

void TestResultsReading::dmis_data()
{
    Add_Columns();
    const double inch = 25.4;

    // Statement forms.
    QTest::newRow("plane")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1.5,-2.25,3.125,0.000000000,0.000000000,"
                      "1.000000000\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1.5, -2.25, 3.125}, {0, 0, 1}, 0.05, 5e-10)}
        << QStringList();
    QTest::newRow("whole program, other statements skipped")
        << QByteArray("DMISMN/'Tessaline results',05.0\n"
                      "FILNAM/'part',05.0\n"
                      "UNITS/MM,ANGDEC\n"
                      "DATE=2024/01/02\n"
                      "TIME=10:11:12\n"
                      "F(PLN_1)=FEAT/PLANE,CART,0,0,0,0,0,1\n"
                      "TA(FLAT_1)=TOL/FLAT,0.01\n"
                      "OUTPUT/FA(PLN_1),TA(FLAT_1)\n"
                      "FA(PLN_1)=FEAT/PLANE,CART,0.0012,2.5,-3.,0.0,0.6,0.8\n"
                      "T(FLAT_1)=TOL/FLAT,0.01\n"
                      "GOTO/1,2,3\n"
                      "ENDFIL\n")
        << TExpectedFeatures{Flat("PLN_1", 9, {0.0012, 2.5, -3}, {0, 0.6, 0.8}, 0.5, 0.05)}
        << QStringList{W(7, "form tolerance \"FLAT_1\" follows no feature actual; it is not read")};
    QTest::newRow("line, UNBND") << QByteArray("FA(LIN_2)=FEAT/LINE,UNBND,CART,1,2,3,0.6,0.8,0\n")
                                 << TExpectedFeatures{Flat("LIN_2", 1, {1, 2, 3}, {0.6, 0.8, 0}, 0,
                                                           0.05)}
                                 << QStringList();
    QTest::newRow("line, UNBND missing")
        << QByteArray("FA(LIN_2)=FEAT/LINE,CART,1.25,2,3,0,0,1.0\n")
        << TExpectedFeatures{Flat("LIN_2", 1, {1.25, 2, 3}, {0, 0, 1}, 0.005, 0.05)}
        << QStringList();
    QTest::newRow("line, last vector ignored")
        << QByteArray("FA(LIN_2)=FEAT/LINE,UNBND,CART,1,2,3,0,1.,0,0.5,0.5,0.7071\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,4\n"
                      "FA(LIN_2)=FEAT/LINE,CART,1,2,3,0,1,0,abc,,x\n")
        << TExpectedFeatures{Circle("CIR_3", 2, {0, 0, 0}, {0, 0, 1}, 4, 0, 0, 0),
                             Flat("LIN_2", 3, {1, 2, 3}, {0, 1, 0}, 0, 0)}
        << QStringList{W(3, "label \"LIN_2\" was given before on line 1; this later result "
                            "counts")};
    // Direction from the first to the second point; 2 r / distance with the
    // coarsest of the six coordinates, 0.05 over 5.
    QTest::newRow("line, BND")
        << QByteArray("FA(LIN_2)=FEAT/LINE,BND,CART,1.0,2.0,3.0,4.0,6.0,3.0\n")
        << TExpectedFeatures{Flat("LIN_2", 1, {1, 2, 3}, {3, 4, 0}, 0.05, 2 * 0.05 / 5)}
        << QStringList();
    // The first point is exact, the second point's coarsest is 10.00:
    // 2 * 0.005 / 10.
    QTest::newRow("line, BND, second point coarser, last vector")
        << QByteArray("FA(LIN_2)=FEAT/LINE,BND,CART,0,0,0,0.000,10.00,0,0.6,0.8,0\n")
        << TExpectedFeatures{Flat("LIN_2", 1, {0, 0, 0}, {0, 10, 0}, 0, 2 * 0.005 / 10)}
        << QStringList();
    QTest::newRow("line, BND, equal points give no direction")
        << QByteArray("FA(LIN_2)=FEAT/LINE,BND,CART,1,1,1,1,1,1\n")
        << TExpectedFeatures{Flat("LIN_2", 1, {1, 1, 1}, {0, 0, 0}, 0, INF)} << QStringList();
    // 5 inches apart, each known to 0.05 inch.
    QTest::newRow("line, BND, inch")
        << QByteArray("UNITS/INCH\nFA(LIN_2)=FEAT/LINE,BND,CART,1.0,0,0,1.0,3.0,4.0\n")
        << TExpectedFeatures{Flat("LIN_2", 2, {inch, 0, 0}, {0, 3 * inch, 4 * inch}, 0.05 * inch,
                                  2 * (0.05 * inch) / (5 * inch))}
        << QStringList();
    QTest::newRow("line, BND, wrong count")
        << QByteArray("FA(LIN_2)=FEAT/LINE,BND,CART,1,2,3,4,5,6,7\n")
        << TExpectedFeatures{Missing("LIN_2", 1)}
        << QStringList{W(1, "result for \"LIN_2\" does not read as "
                            "FEAT/LINE,[UNBND,]CART,x,y,z,i,j,k[,i2,j2,k2] nor "
                            "FEAT/LINE,BND,CART,x1,y1,z1,x2,y2,z2[,i2,j2,k2]")};
    QTest::newRow("line, BND, field names")
        << QByteArray("FA(LIN_2)=FEAT/LINE,BND,CART,1,2,3,,5,q\n")
        << TExpectedFeatures{Missing("LIN_2", 1)}
        << QStringList{W(1, "field 7 \"x2\" is empty"),
                       W(1, "field 9 \"z2\" does not read as a number: \"q\"")};
    QTest::newRow("circle, INNER")
        << QByteArray("FA(CIR_3)=FEAT/CIRCLE,INNER,CART,10.5,20.25,0,0,0,1,12.004\n")
        << TExpectedFeatures{Circle("CIR_3", 1, {10.5, 20.25, 0}, {0, 0, 1}, 12.004, 0.05, 0,
                                    0.0005)}
        << QStringList();
    QTest::newRow("circle, outer, lower case")
        << QByteArray("fa(CIR_3)=feat/circle,outer,cart,-1,-2,-3,0.0,1.0,0.0,8.0\n")
        << TExpectedFeatures{Circle("CIR_3", 1, {-1, -2, -3}, {0, 1, 0}, 8, 0, 0.05, 0.05)}
        << QStringList();
    QTest::newRow("circle, INNER or OUTER missing")
        << QByteArray("\nFA(CIR_3)=FEAT/CIRCLE,CART,10,20,0,0,0,1,12\n")
        << TExpectedFeatures{Missing("CIR_3", 2)}
        << QStringList{W(2, "result for \"CIR_3\" does not read as "
                            "FEAT/CIRCLE,INNER|OUTER,CART,x,y,z,i,j,k,diameter")};
    QTest::newRow("sphere, OUTER")
        << QByteArray("FA(SPH_4)=FEAT/SPHERE,OUTER,CART,1.,2.,3.,25.40\n")
        << TExpectedFeatures{Sphere("SPH_4", 1, {1, 2, 3}, 25.4, 0.5, 0.005)} << QStringList();
    QTest::newRow("sphere, INNER")
        << QByteArray("FA(SPH_4)=FEAT/SPHERE,INNER,CART,1,2,3,25.4\n")
        << TExpectedFeatures{Sphere("SPH_4", 1, {1, 2, 3}, 25.4, 0, 0.05)} << QStringList();
    QTest::newRow("sphere, INNER or OUTER left out")
        << QByteArray("FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,2.5e1\n")
        << TExpectedFeatures{Sphere("SPH_4", 1, {1, 2, 3}, 25, 0, 0.5)} << QStringList();
    QTest::newRow("sphere, wrong count")
        << QByteArray("FA(SPH_4)=FEAT/SPHERE,OUTER,CART,1,2,3\n")
        << TExpectedFeatures{Missing("SPH_4", 1)}
        << QStringList{W(1, "result for \"SPH_4\" does not read as "
                            "FEAT/SPHERE,[INNER|OUTER,]CART,x,y,z,diameter")};

    // Cylinders, cones and tori.
    const double degrees_per_radian = 180 / 3.14159265358979323846;
    QTest::newRow("cylinder, INNER")
        << QByteArray("FA(CYL_14)=FEAT/CYLNDR,INNER,CART,1,2,3,0,0,1,25.40\n")
        << TExpectedFeatures{Cylinder("CYL_14", 1, {1, 2, 3}, {0, 0, 1}, 25.4, 0, 0, 0.005)}
        << QStringList();
    QTest::newRow("cylinder, OUTER, axis negative, its length ignored")
        << QByteArray("FA(CYL_14)=FEAT/CYLNDR,OUTER,CART,1.5,2,3,0,0,-1.0,10,4x\n")
        << TExpectedFeatures{Cylinder("CYL_14", 1, {1.5, 2, 3}, {0, 0, -1}, 10, 0.05, 0.05, 0)}
        << QStringList();
    QTest::newRow("cylinder, inch")
        << QByteArray("UNITS/INCH,ANGDEC\nFA(CYL_14)=FEAT/CYLNDR,INNER,CART,1,0,0,0,1,0,0.50\n")
        << TExpectedFeatures{Cylinder("CYL_14", 2, {inch, 0, 0}, {0, 1, 0}, 0.5 * inch, 0, 0,
                                      0.005 * inch)}
        << QStringList();
    QTest::newRow("cylinder, INNER or OUTER missing, or a field too many")
        << QByteArray("FA(CYL_14)=FEAT/CYLNDR,CART,1,2,3,0,0,1,25\n"
                      "FA(CYL_14)=FEAT/CYLNDR,INNER,CART,1,2,3,0,0,1,25,40,1\n")
        << TExpectedFeatures{Missing("CYL_14", 2)}
        << QStringList{W(1, "result for \"CYL_14\" does not read as "
                            "FEAT/CYLNDR,INNER|OUTER,CART,x,y,z,i,j,k,diameter[,length]"),
                       W(2, "label \"CYL_14\" was given before on line 1; this later result "
                            "counts"),
                       W(2, "result for \"CYL_14\" does not read as "
                            "FEAT/CYLNDR,INNER|OUTER,CART,x,y,z,i,j,k,diameter[,length]")};
    QTest::newRow("cone from its vertex, degrees by default")
        << QByteArray("FA(CON_15)=FEAT/CONE,INNER,CART,0,0,5,0,0,1,60.0\n")
        << TExpectedFeatures{Cone("CON_15", 1, {0, 0, 5}, {0, 0, 1}, 0, 60, 0, 0, 0, 0.05)}
        << QStringList();
    QTest::newRow("cone, axis negative, ANGRAD")
        << QByteArray("UNITS/MM,ANGRAD\nFA(CON_15)=FEAT/CONE,OUTER,CART,1,2,3,0,-0.6,-0.8,"
                      "1.0471975512\n")
        << TExpectedFeatures{Cone("CON_15", 2, {1, 2, 3}, {0, -0.6, -0.8}, 0,
                                  1.0471975512 * degrees_per_radian, 0, 0.05, 0,
                                  5e-11 * degrees_per_radian)}
        << QStringList();
    QTest::newRow("cone, UNITS back to ANGDEC, inch leaves the angle")
        << QByteArray("UNITS/MM,ANGRAD\nUNITS/INCH,ANGDEC\n"
                      "FA(CON_15)=FEAT/CONE,OUTER,CART,1,2,3,0,0,1,90\n")
        << TExpectedFeatures{Cone("CON_15", 3, {inch, 2 * inch, 3 * inch}, {0, 0, 1}, 0, 90, 0, 0,
                                  0, 0)}
        << QStringList();
    QTest::newRow("cone, wrapped, commented, continued")
        << QByteArray("FA(CON_15)=FEAT/CO$\nNE,OUTER,CART,1,2,$$ vertex\n$$ axis next\n"
                      "3,0,-1,0,9$\n0.00\n")
        << TExpectedFeatures{Cone("CON_15", 1, {1, 2, 3}, {0, -1, 0}, 0, 90, 0, 0, 0, 0.005)}
        << QStringList{W(1, "statement broken after a comma with a \"$$\" comment where a \"$\" "
                            "belongs; read as continued on the next line")};
    QTest::newRow("cone, ANGDMS is not read")
        << QByteArray("UNITS/MM,ANGDMS\nFA(CON_15)=FEAT/CONE,INNER,CART,0,0,0,0,0,1,60\n"
                      "FA(CYL_14)=FEAT/CYLNDR,INNER,CART,1,2,3,0,0,1,25\n")
        << TExpectedFeatures{Missing("CON_15", 2),
                             Cylinder("CYL_14", 3, {1, 2, 3}, {0, 0, 1}, 25, 0, 0, 0)}
        << QStringList{W(1, "angular unit \"ANGDMS\" is not read (ANGDEC or ANGRAD); cone angles "
                            "cannot be used until a UNITS statement with a known one"),
                       W(2, "result for \"CON_15\" is in the angular unit \"ANGDMS\", which is "
                            "not read")};
    const QString cone_angle = QStringLiteral(
        "field 10 \"angle\": an included angle of %1 degrees is no cone's (above 0, below 180 "
        "degrees); the result cannot be used");
    for (const char *angle : {"0", "180", "-30", "200.5", "0.0e5"}) {
        QTest::addRow("cone angle %s", angle)
            << QByteArray("FA(CON_15)=FEAT/CONE,INNER,CART,0,0,0,0,0,1," + QByteArray(angle) + "\n")
            << TExpectedFeatures{Missing("CON_15", 1)}
            << QStringList{W(1, cone_angle.arg(QByteArray(angle).toDouble()))};
    }
    QTest::newRow("cone angle 1e999")
        << QByteArray("FA(CON_15)=FEAT/CONE,INNER,CART,0,0,0,0,0,1,1e999\n")
        << TExpectedFeatures{Missing("CON_15", 1)}
        << QStringList{W(1, "field 10 \"angle\" does not read as a number: \"1e999\"")};
    QTest::newRow("cone angle NaN, a diameter as well")
        << QByteArray("FA(CON_15)=FEAT/CONE,INNER,CART,0,0,0,0,0,1,NaN\n"
                      "FA(CON_15)=FEAT/CONE,INNER,CART,0,0,0,0,0,1,60,10\n")
        << TExpectedFeatures{Missing("CON_15", 2)}
        << QStringList{W(1, "field 10 \"angle\" does not read as a number: \"NaN\""),
                       W(2, "label \"CON_15\" was given before on line 1; this later result "
                            "counts"),
                       W(2, "result for \"CON_15\" does not read as "
                            "FEAT/CONE,INNER|OUTER,CART,x,y,z,i,j,k,angle")};
    QTest::newRow("torus") << QByteArray("FA(TOR_16)=FEAT/TORUS,OUTER,CART,1,2,3,0,1,0,50.0,8.00\n")
                           << TExpectedFeatures{Torus("TOR_16", 1, {1, 2, 3}, {0, 1, 0}, 50, 8, 0,
                                                      0, 0.05, 0.005)}
                           << QStringList();
    QTest::newRow("torus, minor diameter missing or not a number")
        << QByteArray("FA(TOR_16)=FEAT/TORUS,OUTER,CART,1,2,3,0,1,0,50\n"
                      "FA(TOR_16)=FEAT/TORUS,OUTER,CART,1,2,3,0,1,0,50,d\n")
        << TExpectedFeatures{Missing("TOR_16", 2)}
        << QStringList{W(1, "result for \"TOR_16\" does not read as "
                            "FEAT/TORUS,INNER|OUTER,CART,x,y,z,i,j,k,major diameter,minor "
                            "diameter"),
                       W(2, "label \"TOR_16\" was given before on line 1; this later result "
                            "counts"),
                       W(2, "field 11 \"minor diameter\" does not read as a number: \"d\"")};
    QTest::newRow("the wrong type of the new ones")
        << QByteArray("FA(CYL_14)=FEAT/CONE,INNER,CART,0,0,0,0,0,1,60\n"
                      "FA(CON_15)=FEAT/CYLNDR,INNER,CART,0,0,0,0,0,1,6\n"
                      "FA(TOR_16)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,6\n")
        << TExpectedFeatures{Missing("CYL_14", 1), Missing("CON_15", 2), Missing("TOR_16", 3)}
        << QStringList{W(1, "result for \"CYL_14\" is FEAT/CONE, the reference feature is a "
                            "cylinder"),
                       W(2, "result for \"CON_15\" is FEAT/CYLNDR, the reference feature is a "
                            "cone"),
                       W(3, "result for \"TOR_16\" is FEAT/CIRCLE, the reference feature is a "
                            "torus")};

    // Continuation and comments.
    QTest::newRow("continuation splits a number")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1.2$\n34,5,6,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1.234, 5, 6}, {0, 0, 1}, 0.0005, 0)}
        << QStringList();
    QTest::newRow("continuation splits keywords")
        << QByteArray("FA(PLN_1)=FE$\nAT/PLA$\nNE,CA$\nRT,1,2,3,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0)} << QStringList();
    QTest::newRow("continuation, start line, blanks and comment after the $")
        << QByteArray("DMISMN/'x',05.0\n"
                      "$$ a comment\n"
                      "FA(PLN_1)=FEAT/PLANE,$\n"
                      "  CART,1,2,3,$   $$ note\n"
                      "  0,0,1\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,x\n")
        << TExpectedFeatures{Flat("PLN_1", 3, {1, 2, 3}, {0, 0, 1}, 0, 0), Missing("SPH_4", 6)}
        << QStringList{W(6, "field 6 \"diameter\" does not read as a number: \"x\"")};
    QTest::newRow("warning on the line where a joined statement starts")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,$\nCART,1,2,$\n3,0,0,y\n")
        << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "field 8 \"k\" does not read as a number: \"y\"")};
    QTest::newRow("continuation on the last line")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1$")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0)} << QStringList();
    QTest::newRow("comments, whole line and trailing")
        << QByteArray("$$ FA(PLN_1)=FEAT/PLANE,CART,9,9,9,0,0,1\n"
                      "FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1 $$ fitted\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,4$$4\n"
                      "   $$ FA(CIR_3)=FEAT/CIRCLE,INNER,CART,1,2,3,0,0,1,4\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {1, 2, 3}, {0, 0, 1}, 0, 0),
                             Sphere("SPH_4", 3, {1, 2, 3}, 4, 0, 0)}
        << QStringList();
    QTest::newRow("CR LF") << QByteArray(
                                  "UNITS/MM\r\nFA(PLN_1)=FEAT/PLANE,CART,1.$\r\n5,2,3,0,0,1\r\n"
                                  "FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,4.0\r\n")
                           << TExpectedFeatures{Flat("PLN_1", 2, {1.5, 2, 3}, {0, 0, 1}, 0.05, 0),
                                                Sphere("SPH_4", 4, {1, 2, 3}, 4, 0, 0.05)}
                           << QStringList();
    QTest::newRow("blanks around commas and signs")
        << QByteArray("  FA( PLN_1 ) = FEAT / PLANE , CART , 1.5 ,\t2 , 3 , 0 , 0 , 1 \n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1.5, 2, 3}, {0, 0, 1}, 0.05, 0)} << QStringList();
    QTest::newRow("blank inside a number")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1. 5,2,3,0,0,1\n")
        << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "field 3 \"x\" does not read as a number: \"1. 5\"")};
    QTest::newRow("lower-case keywords")
        << QByteArray("units/inch\nfa(PLN_1)=feat/plane,cart,1,2,3,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {inch, 2 * inch, 3 * inch}, {0, 0, 1}, 0, 0)}
        << QStringList();
    QTest::newRow("byte-order mark")
        << QByteArray("\xef\xbb\xbf"
                      "FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0)} << QStringList();
    QTest::newRow("not a result: no parenthesis or no =")
        << QByteArray("FA(PLN_1=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "FA(PLN_1)FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "FAX(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n")
        << TExpectedFeatures{} << QStringList{W(1, NO_RESULT)};

    // Units.
    QTest::newRow("INCH: lengths converted, directions not")
        << QByteArray("UNITS/INCH,ANGDEC\nFA(PLN_1)=FEAT/PLANE,CART,1.5,0,-2.25,0.0,0.0,1.0\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {1.5 * inch, 0, -2.25 * inch}, {0, 0, 1}, 0.05 * inch,
                                  0.05)}
        << QStringList();
    QTest::newRow("CM")
        << QByteArray("UNITS/CM,ANGDEC\nFA(CIR_3)=FEAT/CIRCLE,INNER,CART,1.5,2,3,0,0,1,2.50\n")
        << TExpectedFeatures{Circle("CIR_3", 2, {15, 20, 30}, {0, 0, 1}, 25, 0.05 * 10, 0,
                                    0.005 * 10)}
        << QStringList();
    QTest::newRow("M")
        << QByteArray("UNITS/M,ANGDEC\nFA(SPH_4)=FEAT/SPHERE,CART,0.001,0.002,0.003,0.0254\n")
        << TExpectedFeatures{Sphere("SPH_4", 2, {1, 2, 3}, 25.4, 0.0005 * 1000, 0.00005 * 1000)}
        << QStringList();
    QTest::newRow("METER")
        << QByteArray("UNITS/METER\nFA(SPH_4)=FEAT/SPHERE,CART,0.001,0.002,0.003,0.0254\n")
        << TExpectedFeatures{Sphere("SPH_4", 2, {1, 2, 3}, 25.4, 0.0005 * 1000, 0.00005 * 1000)}
        << QStringList();
    QTest::newRow("FEET")
        << QByteArray("UNITS/FEET,ANGDEC\nFA(PLN_1)=FEAT/PLANE,CART,1.0,0,0,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {304.8, 0, 0}, {0, 0, 1}, 0.05 * 304.8, 0)}
        << QStringList();
    QTest::newRow("units change between results")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1.0,0,0,0,0,1\n"
                      "UNITS/INCH\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,0.50\n"
                      "UNITS/MM\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,1,2,3,0,0,1,0.50\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 0, 0}, {0, 0, 1}, 0.05, 0),
                             Sphere("SPH_4", 3, {inch, 2 * inch, 3 * inch}, 0.5 * inch, 0,
                                    0.005 * inch),
                             Circle("CIR_3", 5, {1, 2, 3}, {0, 0, 1}, 0.5, 0, 0, 0.005)}
        << QStringList();
    QTest::newRow("unknown unit, until a known one")
        << QByteArray("UNITS/YARD,ANGDEC\n"
                      "FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,1,2,3,0,0,1,z\n"
                      "UNITS/MM\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,4\n")
        << TExpectedFeatures{Missing("PLN_1", 2), Missing("CIR_3", 3),
                             Sphere("SPH_4", 5, {1, 2, 3}, 4, 0, 0)}
        << QStringList{W(1, "unknown length unit \"YARD\"; results cannot be used until a known "
                            "UNITS statement"),
                       W(2, "result for \"PLN_1\" is in the unknown length unit \"YARD\""),
                       W(3, "field 10 \"diameter\" does not read as a number: \"z\""),
                       W(3, "result for \"CIR_3\" is in the unknown length unit \"YARD\"")};
    QTest::newRow("empty unit")
        << QByteArray("UNITS/\nFA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n")
        << TExpectedFeatures{Missing("PLN_1", 2)}
        << QStringList{W(1, "unknown length unit \"\"; results cannot be used until a known "
                            "UNITS statement"),
                       W(2, "result for \"PLN_1\" is in the unknown length unit \"\"")};
    // Beyond 1e150 the grading's squares would overflow.
    QTest::newRow("beyond a double in millimetres")
        << QByteArray("UNITS/FEET\nFA(SPH_4)=FEAT/SPHERE,CART,1e307,0,0,1\n")
        << TExpectedFeatures{Missing("SPH_4", 2)}
        << QStringList{W(2, "field 3 \"x\" is too large to compute with (more than 1e150 "
                            "millimetres): \"1e307\"")};
    QTest::newRow("too large to compute with, once in millimetres")
        << QByteArray("FA(SPH_4)=FEAT/SPHERE,CART,1e150,0,0,1\n"
                      "UNITS/INCH\nFA(CIR_3)=FEAT/CIRCLE,INNER,CART,0,1e150,0,0,0,1,1\n")
        << TExpectedFeatures{Sphere("SPH_4", 1, {1e150, 0, 0}, 1, 0, 0), Missing("CIR_3", 3)}
        << QStringList{W(3, "field 5 \"y\" is too large to compute with (more than 1e150 "
                            "millimetres): \"1e150\"")};
    QTest::newRow("direction too large to compute with")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,0,0,0,0,0,-1.5e160\n")
        << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "field 8 \"k\" is too large to compute with (more than 1e150): "
                            "\"-1.5e160\"")};
    QTest::newRow("BND points too large to compute with")
        << QByteArray("FA(LIN_2)=FEAT/LINE,BND,CART,-1.7e308,0,0,1.7e308,0,0\n")
        << TExpectedFeatures{Missing("LIN_2", 1)}
        << QStringList{W(1, "field 4 \"x1\" is too large to compute with (more than 1e150 "
                            "millimetres): \"-1.7e308\""),
                       W(1, "field 7 \"x2\" is too large to compute with (more than 1e150 "
                            "millimetres): \"1.7e308\"")};

    // Fields.
    QTest::newRow("non-CART coordinates")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,POL,1,2,3,0,0,1\n"
                      "FA(SPH_4)=FEAT/SPHERE,OUTER,pol,1,2,3,4\n")
        << TExpectedFeatures{Missing("PLN_1", 1), Missing("SPH_4", 2)}
        << QStringList{W(1, "coordinates \"POL\" are not CART"),
                       W(2, "coordinates \"pol\" are not CART")};
    QTest::newRow("empty and non-numeric fields, in field order")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,,abc,3,0,1.2.3,1\n")
        << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "field 3 \"x\" is empty"),
                       W(1, "field 4 \"y\" does not read as a number: \"abc\""),
                       W(1, "field 7 \"j\" does not read as a number: \"1.2.3\"")};
    QTest::newRow("nan, inf, hexadecimal, overflow")
        << QByteArray("FA(SPH_4)=FEAT/SPHERE,CART,nan,inf,0x10,1e999\n")
        << TExpectedFeatures{Missing("SPH_4", 1)}
        << QStringList{W(1, "field 3 \"x\" does not read as a number: \"nan\""),
                       W(1, "field 4 \"y\" does not read as a number: \"inf\""),
                       W(1, "field 5 \"z\" does not read as a number: \"0x10\""),
                       W(1, "field 6 \"diameter\" does not read as a number: \"1e999\"")};
    QTest::newRow("NUL and control characters are not shown")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1") + QByteArray(1, '\0') + ",2\r,3,0,0,1\n"
        << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "field 3 \"x\" does not read as a number: \"1\xef\xbf\xbd\""),
                       W(1, "field 4 \"y\" does not read as a number: \"2\xef\xbf\xbd\"")};
    QTest::newRow("wrong field counts")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,1,2,3,0,0,1,4,5\n"
                      "FA(LIN_2)=FEAT/LINE,CART,1,2,3,0,0,1,0,0\n"
                      "FA(SPH_4)=FEAT/SPHERE\n")
        << TExpectedFeatures{Missing("PLN_1", 1), Missing("CIR_3", 2), Missing("LIN_2", 3),
                             Missing("SPH_4", 4)}
        << QStringList{W(1, "result for \"PLN_1\" does not read as FEAT/PLANE,CART,x,y,z,i,j,k"),
                       W(2, "result for \"CIR_3\" does not read as "
                            "FEAT/CIRCLE,INNER|OUTER,CART,x,y,z,i,j,k,diameter"),
                       W(3, "result for \"LIN_2\" does not read as "
                            "FEAT/LINE,[UNBND,]CART,x,y,z,i,j,k[,i2,j2,k2] nor "
                            "FEAT/LINE,BND,CART,x1,y1,z1,x2,y2,z2[,i2,j2,k2]"),
                       W(4, "result for \"SPH_4\" does not read as "
                            "FEAT/SPHERE,[INNER|OUTER,]CART,x,y,z,diameter")};
    QTest::newRow("number where CART belongs")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,1,2,3,0,0,1,0\n")
        << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "result for \"PLN_1\" does not read as FEAT/PLANE,CART,x,y,z,i,j,k")};
    QTest::newRow("not FEAT")
        << QByteArray("FA(PLN_1)=PLANE,CART,1,2,3,0,0,1\n")
        << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "result for \"PLN_1\" does not read as FEAT/PLANE,CART,x,y,z,i,j,k")};
    QTest::newRow("wrong type for the label")
        << QByteArray("FA(PLN_1)=FEAT/POINT,CART,1,2,3,0,0,1\n"
                      "FA(SPH_4)=FEAT/CIRCLE,INNER,CART,1,2,3,0,0,1,4\n")
        << TExpectedFeatures{Missing("PLN_1", 1), Missing("SPH_4", 2)}
        << QStringList{W(1, "result for \"PLN_1\" is FEAT/POINT, the reference feature is a "
                            "plane"),
                       W(2, "result for \"SPH_4\" is FEAT/CIRCLE, the reference feature is a "
                            "sphere")};

    // Labels.
    QTest::newRow("label twice, the last counts")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,4\n"
                      "FA(PLN_1)=FEAT/PLANE,CART,7,8,9,0,1,0\n")
        << TExpectedFeatures{Sphere("SPH_4", 2, {1, 2, 3}, 4, 0, 0),
                             Flat("PLN_1", 3, {7, 8, 9}, {0, 1, 0}, 0, 0)}
        << QStringList{W(3, "label \"PLN_1\" was given before on line 1; this later result "
                            "counts")};
    QTest::newRow("label three times, the last unusable")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "FA(PLN_1)=FEAT/PLANE,CART,4,5,6,0,0,1\n"
                      "FA(PLN_1)=FEAT/PLANE,CART,,5,6,0,0,1\n")
        << TExpectedFeatures{Missing("PLN_1", 3)}
        << QStringList{W(2, "label \"PLN_1\" was given before on line 1; this later result "
                            "counts"),
                       W(3, "label \"PLN_1\" was given before on line 2; this later result "
                            "counts"),
                       W(3, "field 3 \"x\" is empty")};
    QTest::newRow("label not in the reference")
        << QByteArray("FA(PT_1_1)=FEAT/POINT,CART,1,2,3,0,0,1\n"
                      "FA()=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "F(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n")
        << TExpectedFeatures{}
        << QStringList{W(1, "label \"PT_1_1\" is not in the reference"),
                       W(2, "label \"\" is not in the reference")};
    QTest::newRow("label matching when case is ignored")
        << QByteArray("FA(pln_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "FA(ünï_8)=FEAT/PLANE,CART,1,2,3,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0),
                             Flat("Ünï_8", 2, {1, 2, 3}, {0, 0, 1}, 0, 0)}
        << QStringList{W(1, "label \"pln_1\" matches reference label \"PLN_1\" only when case "
                            "is ignored; taken as \"PLN_1\""),
                       W(2, "label \"ünï_8\" matches reference label \"Ünï_8\" only when case "
                            "is ignored; taken as \"Ünï_8\"")};
    QTest::newRow("label matching two reference labels when case is ignored")
        << QByteArray("FA(Two_6)=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "FA(TWO_6)=FEAT/PLANE,CART,4,5,6,0,0,1\n")
        << TExpectedFeatures{Flat("TWO_6", 2, {4, 5, 6}, {0, 0, 1}, 0, 0)}
        << QStringList{W(1, "label \"Two_6\" is not in the reference; when case is ignored it "
                            "matches \"two_6\" and others")};
    QTest::newRow("same label in other case, given twice")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "FA(Pln_1)=FEAT/PLANE,CART,4,5,6,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {4, 5, 6}, {0, 0, 1}, 0, 0)}
        << QStringList{W(2, "label \"Pln_1\" matches reference label \"PLN_1\" only when case "
                            "is ignored; taken as \"PLN_1\""),
                       W(2, "label \"Pln_1\" was given before on line 1; this later result "
                            "counts")};

    // Quoting in messages: 40 characters, then "...".
    const QByteArray forty(40, 'a');
    QTest::newRow("field of 40 characters quoted whole")
        << Plane_Statement("PLN_1", forty) << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "field 3 \"x\" does not read as a number: \"" + forty + "\"")};
    QTest::newRow("field of 41 characters shortened")
        << Plane_Statement("PLN_1", forty + "b") << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "field 3 \"x\" does not read as a number: \"" + forty + "...\"")};
    QByteArray accents;
    for (int n = 0; n < 40; ++n) {
        accents += "\xc3\xa9";
    }
    QTest::newRow("label of 41 two-byte characters shortened")
        << Plane_Statement(accents + "e", "1") << TExpectedFeatures{}
        << QStringList{W(1, "label \"" + accents + "...\" is not in the reference")};
    QTest::newRow("label of 40 two-byte characters quoted whole")
        << Plane_Statement(accents, "1") << TExpectedFeatures{}
        << QStringList{W(1, "label \"" + accents + "\" is not in the reference")};

    // Resolutions as written.
    QTest::newRow("resolution boundaries")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,12.,1e-3,1.50E+2,1.25e-3,0,.5\n"
                      "UNITS/INCH\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,12.3457,0,0,1.25e-3\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {12, 0.001, 150}, {0.00125, 0, 0.5}, 0.5, 0.05),
                             Sphere("SPH_4", 3, {12.3457 * inch, 0, 0}, 0.00125 * inch,
                                    0.00005 * inch, 0.000005 * inch)}
        << QStringList();

    // As real inspection software writes it: wrapped at a fixed width,
    // continued after commas, with empty parameters.
    const QString comment_join = QStringLiteral(
        "statement broken after a comma with a \"$$\" comment where a \"$\" belongs; read as "
        "continued on the next line");
    QTest::newRow("wrapped inside numbers")
        << QByteArray("FA(CIR_3)=FEAT/CIRCLE,INNER,CART,10,3$\n0,-0$\n.0002,0,0,1,2$\n5.4\n")
        << TExpectedFeatures{Circle("CIR_3", 1, {10, 30, -0.0002}, {0, 0, 1}, 25.4, 0.00005, 0,
                                    0.05)}
        << QStringList();
    QTest::newRow("wrapped inside a label and keywords")
        << QByteArray("F$\nA(Esfera_$\n10_DIAM)=FE$\nAT/SPH$\nERE,OUTER,CA$\nRT,1,2,3,4\n")
        << TExpectedFeatures{Sphere("Esfera_10_DIAM", 1, {1, 2, 3}, 4, 0, 0)} << QStringList();
    QTest::newRow("continuation line beginning with a comma")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3$\n,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0)} << QStringList();
    QTest::newRow("line beginning with a comma after a line without $")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3\n   ,0,0$\n,1\nFA(LIN_2)=FEAT/LINE,$\nCART,"
                      "1,2,3\n,1,0,0\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0),
                             Flat("LIN_2", 4, {1, 2, 3}, {1, 0, 0}, 0, 0)}
        << QStringList();
    QTest::newRow("$$ after a comma where the $ belongs, one warning a statement")
        << QByteArray("FA(CIR_3)=FEAT/CIRCLE,INNER,CART,$$\n"
                      "   74.9658,92.9064,-13.7822,$$ centre\n"
                      "  -0.0050,0.0023,0.9999,$$\n"
                      " 90.0010\n")
        << TExpectedFeatures{Circle("CIR_3", 1, {74.9658, 92.9064, -13.7822},
                                    {-0.005, 0.0023, 0.9999}, 90.001, 0.00005, 0.00005, 0.00005)}
        << QStringList{W(1, comment_join)};
    QTest::newRow("$$ after a comma, then a statement of its own")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,$$\n"
                      "FA(LIN_2)=FEAT/LINE,CART,1,2,3,1,0,$$\n"
                      "OUTPUT/FA(LIN_2)\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,1,2,3,0,0,1,$$\n"
                      "ENDFIL\n")
        << TExpectedFeatures{Missing("PLN_1", 1), Missing("LIN_2", 2), Missing("CIR_3", 4)}
        << QStringList{W(1, "field 8 \"k\" is empty"), W(2, "field 8 \"k\" is empty"),
                       W(4, "field 10 \"diameter\" is empty")};
    QTest::newRow("$$ after a comma inside a label, a bare word continued")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,$$\n2,3,0,0,1\n"
                      "FA(CIR_3)=FEAT/CIRCLE,$$\nINNER,CART,1,2,3,0,0,1,4\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0),
                             Circle("CIR_3", 3, {1, 2, 3}, {0, 0, 1}, 4, 0, 0, 0)}
        << QStringList{W(1, comment_join), W(3, comment_join)};
    // Notes and blank lines between the parts of a broken statement.
    QTest::newRow("$, then a comment-only line, then the rest")
        << QByteArray("FA(CIR_3)=FEAT/CIRCLE,INNER,CART,1,2,3,$\n"
                      "$$ note\n"
                      "0,0,1,25\n")
        << TExpectedFeatures{Circle("CIR_3", 1, {1, 2, 3}, {0, 0, 1}, 25, 0, 0, 0)}
        << QStringList();
    QTest::newRow("$, then blank lines and an indented comment, then the rest")
        << QByteArray("FA(CIR_3)=FEAT/CIRCLE,INNER,CART,1,2,3,$\r\n"
                      "\r\n"
                      "   \t\n"
                      "   $$ centre above\n"
                      "0,0,1,25\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,4\n")
        << TExpectedFeatures{Circle("CIR_3", 1, {1, 2, 3}, {0, 0, 1}, 25, 0, 0, 0),
                             Sphere("SPH_4", 6, {1, 2, 3}, 4, 0, 0)}
        << QStringList();
    QTest::newRow("$$ after a comma, then a comment-only line, then the rest")
        << QByteArray("FA(CIR_3)=FEAT/CIRCLE,INNER,CART,1,2,3,$$ centre\n"
                      "$$ axis next\n"
                      "\n"
                      "0,0,1,$$ axis\n"
                      "25\n")
        << TExpectedFeatures{Circle("CIR_3", 1, {1, 2, 3}, {0, 0, 1}, 25, 0, 0, 0)}
        << QStringList{W(1, comment_join)};
    QTest::newRow("comment-only line, then a line beginning with a comma")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3\n"
                      "$$ direction\n"
                      ",0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0)} << QStringList();
    QTest::newRow("comment-only line between whole statements")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,1,2,3,0,0,1\n"
                      "$$ FA(SPH_4)=FEAT/SPHERE,CART,9,9,9,9\n"
                      "\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,1,2,3,4\n")
        << TExpectedFeatures{Flat("PLN_1", 1, {1, 2, 3}, {0, 0, 1}, 0, 0),
                             Sphere("SPH_4", 4, {1, 2, 3}, 4, 0, 0)}
        << QStringList();
    QTest::newRow("blanks, CR LF, UTF-8 label, -0, integers, a direction of length 0.9999")
        << QByteArray("UNITS/MM,ANGDEC\r\n"
                      "   FA(C\xc3\xadrculo_13)=FEAT/CIRCLE,INNER,CART, 12, -0, 3.50,\t0.0000,"
                      " 0.0141, 0.9998,  8\r\n")
        << TExpectedFeatures{Circle("C\xc3\xadrculo_13", 2, {12, 0, 3.5}, {0, 0.0141, 0.9998}, 8,
                                    0.005, 0.00005, 0)}
        << QStringList();
    QTest::newRow("empty parameters")
        << QByteArray("FA(CIR_3)=FEAT/CIRCLE,INNER,CART,32.5,75.5,-10,,,,15\n")
        << TExpectedFeatures{Missing("CIR_3", 1)}
        << QStringList{W(1, "field 7 \"i\" is empty"), W(1, "field 8 \"j\" is empty"),
                       W(1, "field 9 \"k\" is empty")};
    QTest::newRow("a plane written as FEAT/POINT")
        << QByteArray("FA(PLN_1)=FEAT/POINT,CART,1,2,3,0,0,1\n")
        << TExpectedFeatures{Missing("PLN_1", 1)}
        << QStringList{W(1, "result for \"PLN_1\" is FEAT/POINT, the reference feature is a "
                            "plane")};
}

void TestResultsReading::dmis()
{
    Compare();
    QFETCH(QByteArray, content);
    QVERIFY(Read_Results(content, Reference()).format == TResultsFormat::DMIS_OUTPUT);
}

void TestResultsReading::dmis_forms_data()
{
    Add_Columns();
    const TExpected plane = Flat("PLN_1", 1, {0, 0, 0}, {0, 0, 1}, 0, 0);

    QTest::newRow("flatness by its label")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,0,0,0,0,0,1\n"
                      "TA(FORM_PLN_1)=TOL/FLAT,0.003170,INTOL\n")
        << TExpectedFeatures{With_Form(plane, 0.00317, 5e-7)} << QStringList();
    QTest::newRow("straightness, roundness, cylindricity; any case, OUTOL, blanks")
        << QByteArray("FA(LIN_2)=FEAT/LINE,UNBND,CART,1,2,3,0.6,0.8,0,0,0,1\n"
                      "TA(FORM_LIN_2)=TOL/STRGHT,0.1\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,4\n"
                      "ta ( FORM_CIR_3 ) = tol/cirlty , 1.25e-3 , outol\n"
                      "FA(CYL_14)=FEAT/CYLNDR,OUTER,CART,0,0,0,0,0,1,8\n"
                      "TA(FORM_CYL_14)=TOL/CYLCTY,0\n")
        << TExpectedFeatures{With_Form(Flat("LIN_2", 1, {1, 2, 3}, {0.6, 0.8, 0}, 0, 0.05), 0.1,
                                       0.05),
                             With_Form(Circle("CIR_3", 3, {0, 0, 0}, {0, 0, 1}, 4, 0, 0, 0),
                                       0.00125, 5e-6),
                             With_Form(Cylinder("CYL_14", 5, {0, 0, 0}, {0, 0, 1}, 8, 0, 0, 0), 0,
                                       0)}
        << QStringList();
    QTest::newRow("inch") << QByteArray("UNITS/INCH,ANGDEC\n"
                                        "FA(CIR_3)=FEAT/CIRCLE,OUTER,CART,1,2,3,0,0,1,0.5\n"
                                        "TA(FORM_CIR_3)=TOL/CIRLTY,0.0001\n")
                          << TExpectedFeatures{With_Form(Circle("CIR_3", 2, {25.4, 50.8, 76.2},
                                                                {0, 0, 1}, 12.7, 0, 0, 0.05 * 25.4),
                                                         0.0001 * 25.4, 0.00005 * 25.4)}
                          << QStringList();
    QTest::newRow("other labels belong to the actual just before")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,0,0,0,0,0,1\n"
                      "TA(FLAT_A)=TOL/FLAT,0.002\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,4\n"
                      "TA(FORM_PLN_9)=TOL/CIRLTY,0.01\n")
        << TExpectedFeatures{With_Form(plane, 0.002, 0.0005),
                             With_Form(Circle("CIR_3", 3, {0, 0, 0}, {0, 0, 1}, 4, 0, 0, 0), 0.01,
                                       0.005)}
        << QStringList();
    QTest::newRow("a label of a feature read earlier; the later form counts, continued")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,0,0,0,0,0,1\n"
                      "TA(FORM_PLN_1)=TOL/FLAT,0.5\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,4\n"
                      "TA(Form_PLN_1)=TOL/FLAT,$\n"
                      "0.25\n")
        << TExpectedFeatures{With_Form(plane, 0.25, 0.005),
                             Circle("CIR_3", 3, {0, 0, 0}, {0, 0, 1}, 4, 0, 0, 0)}
        << QStringList();
    QTest::newRow("forms without an actual before them")
        << QByteArray("TA(FLAT_1)=TOL/FLAT,0.01\n"
                      "TA(FORM_PLN_1)=TOL/FLAT,0.01\n"
                      "FA(PLN_1)=FEAT/PLANE,CART,0,0,0,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 3, {0, 0, 0}, {0, 0, 1}, 0, 0)}
        << QStringList{W(1, "form tolerance \"FLAT_1\" follows no feature actual; it is not read"),
                       W(2, "form tolerance \"FORM_PLN_1\" comes before any actual of PLN_1; it "
                            "is not read")};
    QTest::newRow("malformed, not a number, empty")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,0,0,0,0,0,1\n"
                      "TA(FORM_PLN_1)=TOL/FLAT\n"
                      "TA(FORM_PLN_1)=TOL/FLAT,0.1,MAYBE\n"
                      "TA(FORM_PLN_1)=TOL/FLAT,0.1,INTOL,3\n"
                      "TA(FORM_PLN_1)=TOL/FLAT,abc\n"
                      "TA(FORM_PLN_1)=TOL/FLAT,,INTOL\n"
                      "TA(FORM_PLN_1)=TOL/FLAT,1e160\n")
        << TExpectedFeatures{plane}
        << QStringList{W(2, "form tolerance \"FORM_PLN_1\" does not read as "
                            "TA(label)=TOL/FLAT,actual[,INTOL|OUTOL]; it is not read"),
                       W(3, "form tolerance \"FORM_PLN_1\" does not read as "
                            "TA(label)=TOL/FLAT,actual[,INTOL|OUTOL]; it is not read"),
                       W(4, "form tolerance \"FORM_PLN_1\" does not read as "
                            "TA(label)=TOL/FLAT,actual[,INTOL|OUTOL]; it is not read"),
                       W(5, "field 2 \"form\" does not read as a number: \"abc\""),
                       W(6, "field 2 \"form\" is empty"),
                       W(7, "field 2 \"form\" is too large to compute with (more than 1e150 "
                            "millimetres): \"1e160\"")};
    QTest::newRow("the form of another type")
        << QByteArray("FA(CIR_3)=FEAT/CIRCLE,INNER,CART,0,0,0,0,0,1,4\n"
                      "TA(FORM_CIR_3)=TOL/FLAT,0.1\n"
                      "FA(SPH_4)=FEAT/SPHERE,CART,0,0,0,4\n"
                      "TA(RND_4)=TOL/CIRLTY,0.1\n")
        << TExpectedFeatures{Circle("CIR_3", 1, {0, 0, 0}, {0, 0, 1}, 4, 0, 0, 0),
                             Sphere("SPH_4", 3, {0, 0, 0}, 4, 0, 0)}
        << QStringList{W(2, "form tolerance \"FORM_CIR_3\" is TOL/FLAT, not the form of the "
                            "circle CIR_3 (TOL/CIRLTY); it is not read"),
                       W(4, "form tolerance \"RND_4\" is TOL/CIRLTY, not the form of the "
                            "sphere SPH_4; it is not read")};
    QTest::newRow("other tolerances, unknown and unusable actuals say nothing of forms")
        << QByteArray("FA(PLN_1)=FEAT/PLANE,CART,0,0,0,0,0,1\n"
                      "TA(FORM_PLN_1)=TOL/PARLEL,0.1,INTOL\n"
                      "TA(POS_1)=TOL/POS,3D,0.01,INTOL\n"
                      "FA(XYZ_7)=FEAT/PLANE,CART,0,0,0,0,0,1\n"
                      "TA(FLAT_7)=TOL/FLAT,0.1\n"
                      "FA(CIR_3)=FEAT/CIRCLE,INNER,CART,a,0,0,0,0,1,4\n"
                      "TA(FORM_CIR_3)=TOL/CIRLTY,0.1\n")
        << TExpectedFeatures{plane, Missing("CIR_3", 6)}
        << QStringList{W(4, "label \"XYZ_7\" is not in the reference"),
                       W(6, "field 4 \"x\" does not read as a number: \"a\"")};
}

void TestResultsReading::dmis_forms()
{
    Compare();
}

void TestResultsReading::csv_data()
{
    Add_Columns();

    QTest::newRow("cone and cylinder too large to compute with")
        << QByteArray("label,x,y,z,i,j,k,diameter,angle\n"
                      "CON_15,1e160,0,0,0,0,1,0,60\n"
                      "CYL_14,0,0,0,0,0,1,2e150,\n")
        << TExpectedFeatures{Missing("CON_15", 2), Missing("CYL_14", 3)}
        << QStringList{W(2, "field 2 \"x\" is too large to compute with (more than 1e150 "
                            "millimetres): \"1e160\""),
                       W(3, "field 8 \"diameter\" is too large to compute with (more than 1e150 "
                            "millimetres): \"2e150\"")};
    QTest::newRow("all four types, unused columns empty")
        << QByteArray("label,x,y,z,i,j,k,diameter\n"
                      "PLN_1,1.5,2,3,0,0,1,\n"
                      "CIR_3,10,20,30,0,0,1.0,12.50\n"
                      "SPH_4,1,2,3,,,,25.4\n"
                      "LIN_2,0,0,0,0.6,0.8,0,\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {1.5, 2, 3}, {0, 0, 1}, 0.05, 0),
                             Circle("CIR_3", 3, {10, 20, 30}, {0, 0, 1}, 12.5, 0, 0.05, 0.005),
                             Sphere("SPH_4", 4, {1, 2, 3}, 25.4, 0, 0.05),
                             Flat("LIN_2", 5, {0, 0, 0}, {0.6, 0.8, 0}, 0, 0.05)}
        << QStringList();
    QTest::newRow("shuffled columns, any case, quoted label")
        << QByteArray("Diameter, K ,j,I,z,Y,x,LABEL\n"
                      "12.5,1,0,0,3,2,1,\"CIR_3\"\n")
        << TExpectedFeatures{Circle("CIR_3", 2, {1, 2, 3}, {0, 0, 1}, 12.5, 0, 0, 0.05)}
        << QStringList();
    QTest::newRow("unused columns absent")
        << QByteArray("label,x,y,z,diameter\nSPH_4,1,2,3,4.0\n")
        << TExpectedFeatures{Sphere("SPH_4", 2, {1, 2, 3}, 4, 0, 0.05)} << QStringList();
    QTest::newRow("unused column not looked at")
        << QByteArray("label,x,y,z,i,j,k,diameter\nPLN_1,1,2,3,0,0,1,garbage\n"
                      "SPH_4,1,2,3,n,a,n,4\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {1, 2, 3}, {0, 0, 1}, 0, 0),
                             Sphere("SPH_4", 3, {1, 2, 3}, 4, 0, 0)}
        << QStringList();
    QTest::newRow("needed column absent")
        << QByteArray("label,x,y,z,diameter\nPLN_1,1,2,3,4\n")
        << TExpectedFeatures{Missing("PLN_1", 2)}
        << QStringList{W(2, "no column \"i\", which a plane needs"),
                       W(2, "no column \"j\", which a plane needs"),
                       W(2, "no column \"k\", which a plane needs")};
    QTest::newRow("needed field empty")
        << QByteArray("label,x,y,z,i,j,k,diameter\nCIR_3,1,,3,0,0,1,\n")
        << TExpectedFeatures{Missing("CIR_3", 2)}
        << QStringList{W(2, "field 3 \"y\" is empty"), W(2, "field 8 \"diameter\" is empty")};
    QTest::newRow("field order: z before k")
        << QByteArray("diameter,z,label,y,x,i,j,k\n4,a,CIR_3,2,1,0,0,1 mm\n")
        << TExpectedFeatures{Missing("CIR_3", 2)}
        << QStringList{W(2, "field 2 \"z\" does not read as a number: \"a\""),
                       W(2, "field 8 \"k\" does not read as a number: \"1 mm\"")};
    QTest::newRow("quoted number does not read")
        << QByteArray("label,x,y,z,diameter\nSPH_4,\"1.5\",2,3,4\n")
        << TExpectedFeatures{Missing("SPH_4", 2)}
        << QStringList{W(2, "field 2 \"x\" does not read as a number: \"\"1.5\"\"")};
    QTest::newRow("wrong number of fields")
        << QByteArray("label,x,y,z,i,j,k\nPLN_1,1,2,3,0,0\nCIR_3,1,2,3,0,0,1,5\n")
        << TExpectedFeatures{Missing("PLN_1", 2), Missing("CIR_3", 3)}
        << QStringList{W(2, "row has 6 fields, the header has 7"),
                       W(3, "row has 8 fields, the header has 7")};
    QTest::newRow("too few fields to hold the label")
        << QByteArray("x,y,z,i,j,k,label\n1,2,3\n") << TExpectedFeatures{}
        << QStringList{W(2, "row has 3 fields, the header has 7")};
    QTest::newRow("blank lines, CR LF, blanks around fields")
        << QByteArray("\r\n  label , x,y,z,i,j,k\r\n\r\n  PLN_1 , 1.5 ,\t2,3,0,0,1 \r\n   \r\n"
                      "SPH_4,1,2,3,0,0,1\r\n")
        << TExpectedFeatures{Flat("PLN_1", 4, {1.5, 2, 3}, {0, 0, 1}, 0.05, 0), Missing("SPH_4", 6)}
        << QStringList{W(6, "no column \"diameter\", which a sphere needs")};
    QTest::newRow("labels: unknown, case only, twice, empty")
        << QByteArray("label,x,y,z,i,j,k\n"
                      "PT_1,1,2,3,0,0,1\n"
                      "pln_1,1,2,3,0,0,1\n"
                      "\"PLN_1\",4,5,6,0,0,1\n"
                      ",1,2,3,0,0,1\n"
                      "\"\",1,2,3,0,0,1\n")
        << TExpectedFeatures{Flat("PLN_1", 4, {4, 5, 6}, {0, 0, 1}, 0, 0)}
        << QStringList{W(2, "label \"PT_1\" is not in the reference"),
                       W(3, "label \"pln_1\" matches reference label \"PLN_1\" only when case "
                            "is ignored; taken as \"PLN_1\""),
                       W(4, "label \"PLN_1\" was given before on line 3; this later result "
                            "counts"),
                       W(5, "field 1 \"label\" is empty"),
                       W(6, "label \"\" is not in the reference")};
    QTest::newRow("quoted label with a comma and a quote")
        << QByteArray("label,x,y,z,diameter\n\"SPH,9\",1,2,3,4\n\"say \"\"hi\"\"\",1,2,3,4\n")
        << TExpectedFeatures{Sphere("SPH,9", 2, {1, 2, 3}, 4, 0, 0)}
        << QStringList{W(3, "label \"say \"hi\"\" is not in the reference")};
    QTest::newRow("unknown and repeated header columns")
        << QByteArray("label,x,x,y,z,i,j,k,flatness,\nPLN_1,1,9,2,3,0,0,1,0.002,\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {1, 2, 3}, {0, 0, 1}, 0, 0)}
        << QStringList{W(1, "column 3 \"x\" repeats column 2 and is not read"),
                       W(1, "column 9 \"flatness\" is not one of label, x, y, z, i, j, k, "
                            "diameter, angle, minor_diameter, form, unit and is not read"),
                       W(1, "column 10 \"\" is not one of label, x, y, z, i, j, k, diameter, "
                            "angle, minor_diameter, form, unit and is not read")};
    QTest::newRow("upper-case header, byte-order mark")
        << QByteArray("\xef\xbb\xbf"
                      "LABEL,X,Y,Z,DIAMETER\nSPH_4,1.25,2,3,4\n")
        << TExpectedFeatures{Sphere("SPH_4", 2, {1.25, 2, 3}, 4, 0.005, 0)} << QStringList();
    QTest::newRow("millimetres whatever DMIS says")
        << QByteArray("label,x,y,z,diameter\nUNITS/INCH\nSPH_4,1.,2,3,4.00\n")
        << TExpectedFeatures{Sphere("SPH_4", 3, {1, 2, 3}, 4, 0.5, 0.005)}
        << QStringList{W(2, "label \"UNITS/INCH\" is not in the reference")};
    // Cylinders, cones and tori.
    QTest::newRow("cylinder, cone from its vertex, torus")
        << QByteArray("label,x,y,z,i,j,k,diameter,angle,minor_diameter\n"
                      "CYL_14,1,2,3,0,0,1,25.4,,\n"
                      "CON_15,0,0,5.0,0,0,1,0,30,\n"
                      "TOR_16,1,2,3,0,1,0,50.0,,8.00\n")
        << TExpectedFeatures{Cylinder("CYL_14", 2, {1, 2, 3}, {0, 0, 1}, 25.4, 0, 0, 0.05),
                             Cone("CON_15", 3, {0, 0, 5}, {0, 0, 1}, 0, 30, 0.05, 0, 0, 0),
                             Torus("TOR_16", 4, {1, 2, 3}, {0, 1, 0}, 50, 8, 0, 0, 0.05, 0.005)}
        << QStringList();
    QTest::newRow("cone from another point, axis negative, shuffled columns")
        << QByteArray("Angle,label,diameter,x,y,z,i,j,k\n"
                      "45.5,CON_15,10.00,1,2,3,0,0,-1\n")
        << TExpectedFeatures{Cone("CON_15", 2, {1, 2, 3}, {0, 0, -1}, 10, 45.5, 0, 0, 0.005, 0.05)}
        << QStringList();
    QTest::newRow("a file without the new columns: cylinders read, cones and tori missing")
        << QByteArray("label,x,y,z,i,j,k,diameter\n"
                      "CYL_14,1,2,3,0,0,1,25\n"
                      "CON_15,1,2,3,0,0,1,10\n"
                      "TOR_16,1,2,3,0,0,1,50\n")
        << TExpectedFeatures{Cylinder("CYL_14", 2, {1, 2, 3}, {0, 0, 1}, 25, 0, 0, 0),
                             Missing("CON_15", 3), Missing("TOR_16", 4)}
        << QStringList{W(3, "no column \"angle\", which a cone needs"),
                       W(4, "no column \"minor_diameter\", which a torus needs")};
    QTest::newRow("empty or unusable values of the new columns")
        << QByteArray("label,x,y,z,i,j,k,diameter,angle,minor_diameter\n"
                      "CYL_14,1,2,3,0,0,1,,,\n"
                      "CON_15,1,2,3,0,0,1,0,180,\n"
                      "TOR_16,1,2,3,0,0,1,50,,\n")
        << TExpectedFeatures{Missing("CYL_14", 2), Missing("CON_15", 3), Missing("TOR_16", 4)}
        << QStringList{W(2, "field 8 \"diameter\" is empty"),
                       W(3, "field 9 \"angle\": an included angle of 180 degrees is no cone's "
                            "(above 0, below 180 degrees); the result cannot be used"),
                       W(4, "field 10 \"minor_diameter\" is empty")};
    for (const char *angle : {"0", "-1", "1e999", "nan", "inf"}) {
        const QString message =
            QByteArray(angle).toDouble() <= 0
                ? QStringLiteral("field 9 \"angle\": an included angle of %1 degrees is no "
                                 "cone's (above 0, below 180 degrees); the result cannot be used")
                      .arg(angle)
                : QStringLiteral("field 9 \"angle\" does not read as a number: \"%1\"").arg(angle);
        QTest::addRow("cone angle %s", angle)
            << QByteArray("label,x,y,z,i,j,k,diameter,angle\nCON_15,0,0,0,0,0,1,0," +
                          QByteArray(angle) + "\n")
            << TExpectedFeatures{Missing("CON_15", 2)} << QStringList{W(2, message)};
    }
    QTest::newRow("header only") << QByteArray("label,x,y,z,i,j,k,diameter\n")
                                 << TExpectedFeatures{} << QStringList{W(1, NO_RESULT)};
}

void TestResultsReading::csv()
{
    Compare();
    QFETCH(QByteArray, content);
    QVERIFY(Read_Results(content, Reference()).format == TResultsFormat::CSV);
}

void TestResultsReading::csv_forms_data()
{
    Add_Columns();

    QTest::newRow("form column, empty means none")
        << QByteArray("label,x,y,z,i,j,k,diameter,Form\n"
                      "PLN_1,0,0,0,0,0,1,,0.003170\n"
                      "CIR_3,0,0,0,0,0,1,4,\n"
                      "SPH_4,0,0,0,,,,4,1.5e-4\n")
        << TExpectedFeatures{With_Form(Flat("PLN_1", 2, {0, 0, 0}, {0, 0, 1}, 0, 0), 0.00317, 5e-7),
                             Circle("CIR_3", 3, {0, 0, 0}, {0, 0, 1}, 4, 0, 0, 0),
                             With_Form(Sphere("SPH_4", 4, {0, 0, 0}, 4, 0, 0), 1.5e-4, 5e-6)}
        << QStringList();
    QTest::newRow("inch and millimetres by a unit column")
        << QByteArray("FORM,label,x,y,z,i,j,k,unit\n"
                      "0.0001,LIN_2,1,0,0,0,1,0,inch\n"
                      "0.0025,PLN_1,1,0,0,0,0,1,mm\n")
        << TExpectedFeatures{With_Form(Flat("LIN_2", 2, {25.4, 0, 0}, {0, 1, 0}, 0, 0),
                                       0.0001 * 25.4, 0.00005 * 25.4),
                             With_Form(Flat("PLN_1", 3, {1, 0, 0}, {0, 0, 1}, 0, 0), 0.0025,
                                       0.00005)}
        << QStringList();
    QTest::newRow("a form that does not read leaves the feature without one")
        << QByteArray("label,x,y,z,i,j,k,form\n"
                      "PLN_1,0,0,0,0,0,1,flat\n"
                      "LIN_2,0,0,0,1,0,0,1e160\n")
        << TExpectedFeatures{Flat("PLN_1", 2, {0, 0, 0}, {0, 0, 1}, 0, 0),
                             Flat("LIN_2", 3, {0, 0, 0}, {1, 0, 0}, 0, 0)}
        << QStringList{W(2, "field 8 \"form\" does not read as a number: \"flat\""),
                       W(3, "field 8 \"form\" is too large to compute with (more than 1e150 "
                            "millimetres): \"1e160\"")};
}

void TestResultsReading::csv_forms()
{
    Compare();
}

void TestResultsReading::detection_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("is_csv");

    QTest::newRow("header") << QByteArray("label,x,y,z\n") << true;
    QTest::newRow("header with the label last") << QByteArray("x, y, z , Label\n") << true;
    QTest::newRow("header, blank lines before") << QByteArray("\n \r\n\tlabel,x\n") << true;
    QTest::newRow("header after a byte-order mark") << QByteArray("\xef\xbb\xbflabel\n") << true;
    QTest::newRow("quoted header") << QByteArray("\"label\",\"x\"\n") << true;
    QTest::newRow("DMIS") << QByteArray("DMISMN/'x',05.0\nlabel,x,y,z\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("no label column") << QByteArray("x,y,z,labels\nPLN_1,1,2,3\n") << false;
    QTest::newRow("label in a DMIS comment") << QByteArray("$$ label,x\n") << false;
}

void TestResultsReading::detection()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, is_csv);
    QCOMPARE(Read_Results(content, Reference()).format == TResultsFormat::CSV, is_csv);
}

void TestResultsReading::million_continuation_lines()
{
    // Linear reading is what lets this end at all; a quadratic one would
    // run into the test's time-out.
    // x is 1. and a million zeros, one per line.
    QByteArray content = "FA(PLN_1)=FEAT/PLANE,CART,1.$\n";
    const QByteArray zero = "0$\n";
    content.reserve(content.size() + 1000000 * zero.size() + 100);
    for (int n = 0; n < 1000000; ++n) {
        content += zero;
    }
    content += ",2,3,0,0,1\nFA(SPH_4)=FEAT/SPHERE,CART,1,2,3,4\n";
    const TResultsReading reading = Read_Results(content, Reference());
    QCOMPARE(Warnings(reading), QStringList());
    QCOMPARE(static_cast<int>(reading.features.size()), 2);
    QVERIFY(reading.features[0].usable);
    QCOMPARE(reading.features[0].line_number, 1);
    QCOMPARE(reading.features[0].position.x, 1.0);
    // A million decimals: below the smallest double.
    QCOMPARE(reading.features[0].position_resolution, 0.0);
    QCOMPARE(reading.features[1].line_number, 1000003);
}

void TestResultsReading::long_fields()
{
    const int size = 50 * 1000 * 1000;

    const QByteArray garbage = Plane_Statement("PLN_1", QByteArray(size, 'a'));
    TResultsReading reading = Read_Results(garbage, Reference());
    QCOMPARE(Warnings(reading), QStringList{W(1, "field 3 \"x\" does not read as a number: \"" +
                                                     QByteArray(40, 'a') + "...\"")});
    QCOMPARE(static_cast<int>(reading.features.size()), 1);
    QVERIFY(!reading.features[0].usable);

    // 1.555... with fifty million decimals still reads.
    const QByteArray number = Plane_Statement("PLN_1", "1." + QByteArray(size, '5'));
    reading = Read_Results(number, Reference());
    QCOMPARE(Warnings(reading), QStringList());
    QCOMPARE(static_cast<int>(reading.features.size()), 1);
    QVERIFY(reading.features[0].usable);
    QCOMPARE(reading.features[0].position.x, 1.5555555555555556);
    QCOMPARE(reading.features[0].position_resolution, 0.0);

    const QByteArray label = Plane_Statement(QByteArray(size, 'L'), "1");
    reading = Read_Results(label, Reference());
    QCOMPARE(Warnings(reading),
             QStringList{W(1, "label \"" + QByteArray(40, 'L') + "...\" is not in the reference")});

    // A CSV line of fifty million commas.
    const QByteArray commas = "label,x,y,z,diameter\nSPH_4" + QByteArray(size, ',') + "\n";
    reading = Read_Results(commas, Reference());
    QCOMPARE(Warnings(reading), QStringList{W(2, "row has 50000001 fields, the header has 5")});
}

void TestResultsReading::many_warnings()
{
    QByteArray content;
    for (int n = 0; n < 1000000; ++n) {
        content += "FA(P)=\n";
    }
    const TResultsReading reading = Read_Results(content, Reference());
    QCOMPARE(static_cast<int>(reading.warnings.size()), 1000000);
    QCOMPARE(reading.warnings.back().line_number, 1000000);
    QCOMPARE(reading.warnings.back().message,
             QStringLiteral("label \"P\" is not in the reference"));
}

QTEST_GUILESS_MAIN(TestResultsReading)
#include "test_results_reading.moc"
