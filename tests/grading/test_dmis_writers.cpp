// DMIS output as real inspection software writes it: wrapped at a fixed
// width, continued after commas, with empty parameters.

#include "expected_results.h"

namespace {

const std::vector<TReferenceLabel> &Reference()
{
    static const std::vector<TReferenceLabel> reference = {
        {QStringLiteral("PLN_1"), TFeatureType::PLANE},
        {QStringLiteral("LIN_2"), TFeatureType::LINE},
        {QStringLiteral("CIR_3"), TFeatureType::CIRCLE},
        {QStringLiteral("Esfera_10_DIAM"), TFeatureType::SPHERE},
        {QString::fromUtf8("C\xc3\xadrculo_13"), TFeatureType::CIRCLE},
    };
    return reference;
}

const QString COMMENT_JOIN = QStringLiteral("statement broken after a comma with a \"$$\" comment "
                                            "where a \"$\" belongs; read as continued on the next "
                                            "line");

} // namespace

class TestDmisWriters : public QObject
{
    Q_OBJECT

private slots:
    void writers_data();
    void writers();
};

void TestDmisWriters::writers_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<TExpectedFeatures>("features");
    QTest::addColumn<QStringList>("warnings");

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
        << QStringList{W(1, COMMENT_JOIN)};
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
        << QStringList{W(1, COMMENT_JOIN), W(3, COMMENT_JOIN)};
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

void TestDmisWriters::writers()
{
    QFETCH(QByteArray, content);
    QFETCH(TExpectedFeatures, features);
    QFETCH(QStringList, warnings);
    const TResultsReading reading = Read_Results(content, Reference());
    QVERIFY(reading.format == TResultsFormat::DMIS_OUTPUT);
    QCOMPARE(Warnings(reading), warnings);
    Compare_Features(reading, features);
}

QTEST_GUILESS_MAIN(TestDmisWriters)
#include "test_dmis_writers.moc"
