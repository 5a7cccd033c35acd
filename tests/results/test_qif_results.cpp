#include "expected_results.h"

#include <QFile>

Q_DECLARE_METATYPE(TCriterion)

namespace {

const std::vector<TReferenceLabel> &Reference()
{
    static const std::vector<TReferenceLabel> reference = {
        {QStringLiteral("PLN_1"), TFeatureType::PLANE},
        {QStringLiteral("LIN_2"), TFeatureType::LINE},
        {QStringLiteral("CIR_3"), TFeatureType::CIRCLE},
        {QStringLiteral("SPH_4"), TFeatureType::SPHERE},
        {QStringLiteral("PLN_5"), TFeatureType::PLANE},
        {QStringLiteral("CYL_6"), TFeatureType::CYLINDER},
        {QStringLiteral("CON_7"), TFeatureType::CONE},
        {QStringLiteral("TOR_8"), TFeatureType::TORUS},
        {QStringLiteral("CON_9"), TFeatureType::CONE},
        {QStringLiteral("CON_10"), TFeatureType::CONE},
    };
    return reference;
}

const QByteArray MM = "<FileUnits><PrimaryUnits><LinearUnit><UnitName>mm</UnitName><UnitConversion>"
                      "<Factor>0.001</Factor></UnitConversion></LinearUnit></PrimaryUnits>"
                      "</FileUnits>";

QByteArray Unit(const QByteArray &name, const QByteArray &conversion = QByteArray())
{
    return "<LinearUnit><UnitName>" + name + "</UnitName>" +
           (conversion.isEmpty() ? QByteArray()
                                 : "<UnitConversion>" + conversion + "</UnitConversion>") +
           "</LinearUnit>";
}

QByteArray Units(const QByteArray &primary, const QByteArray &other = QByteArray())
{
    return "<FileUnits><PrimaryUnits>" + primary + "</PrimaryUnits>" +
           (other.isEmpty() ? QByteArray() : "<OtherUnits>" + other + "</OtherUnits>") +
           "</FileUnits>";
}

QByteArray Angular_Unit(const QByteArray &name, const QByteArray &conversion = QByteArray())
{
    return "<AngularUnit><SIUnitName>radian</SIUnitName><UnitName>" + name + "</UnitName>" +
           (conversion.isEmpty() ? QByteArray()
                                 : "<UnitConversion>" + conversion + "</UnitConversion>") +
           "</AngularUnit>";
}

// Millimetres and degrees, as the public samples declare them.
const QByteArray MM_DEGREES =
    "<FileUnits><PrimaryUnits>" + Angular_Unit("degree", "<Factor>0.017453292519943</Factor>") +
    "<LinearUnit><UnitName>mm</UnitName><UnitConversion><Factor>0.001</Factor></UnitConversion>"
    "</LinearUnit></PrimaryUnits></FileUnits>";

// A QIF 3 document: the root on line 1, the units on line 2, the feature
// items on line 3, the results from line 4, each measurement on a line of
// its own from line 5 on.
QByteArray Qif3(const QByteArray &units, const QByteArray &items, const QByteArrayList &measured)
{
    return "<QIFDocument xmlns=\"http://qifstandards.org/xsd/qif3\" versionQIF=\"3.0.0\">\n" +
           units + "\n<Features><FeatureItems>" + items +
           "</FeatureItems></Features>\n<Results><MeasurementResultsSet>"
           "<MeasurementResults id=\"1\"><MeasuredFeatures>\n" +
           measured.join('\n') +
           "\n</MeasuredFeatures></MeasurementResults></MeasurementResultsSet></Results>\n"
           "</QIFDocument>\n";
}

// The same in QIF 2.1, or 2.0 without the MeasurementResultsSet.
QByteArray Qif2(bool set, const QByteArray &units, const QByteArray &items,
                const QByteArrayList &measured)
{
    return "<QIFDocument xmlns=\"http://qifstandards.org/xsd/qif2\" versionQIF=\"2." +
           QByteArray(set ? "1" : "0") + ".0\">\n" + units + "\n<Features><FeatureItems>" + items +
           "</FeatureItems></Features>\n<MeasurementsResults>" +
           (set ? "<MeasurementResultsSet>" : "") +
           "<MeasurementResults id=\"1\"><MeasuredFeatures><FeatureActuals>\n" +
           measured.join('\n') + "\n</FeatureActuals></MeasuredFeatures></MeasurementResults>" +
           (set ? "</MeasurementResultsSet>" : "") + "</MeasurementsResults>\n</QIFDocument>\n";
}

// <TYPEFeatureMeasurement id="9">CHILDREN</...>, or TYPEFeatureActual.
QByteArray Measured(const char *type, const QByteArray &children, bool actual = false)
{
    const QByteArray element = type + QByteArray(actual ? "FeatureActual" : "FeatureMeasurement");
    return "<" + element + " id=\"9\">" + children + "</" + element + ">";
}

QByteArray Value(const char *element, const QByteArray &text,
                 const QByteArray &attributes = QByteArray())
{
    return "<" + QByteArray(element) + attributes + ">" + text + "</" + element + ">";
}

QByteArray Name(const QByteArray &label)
{
    return Value("FeatureName", label);
}

QByteArray Location(const QByteArray &text, const QByteArray &attributes = QByteArray())
{
    return Value("Location", text, attributes);
}

QByteArray Normal(const QByteArray &text, const QByteArray &attributes = QByteArray())
{
    return Value("Normal", text, attributes);
}

QByteArray Diameter(const QByteArray &text, const QByteArray &attributes = QByteArray())
{
    return Value("Diameter", text, attributes);
}

QByteArray Item(const char *type, const QByteArray &id, const QByteArray &label)
{
    return "<" + QByteArray(type) + "FeatureItem id=\"" + id + "\">" +
           (label.isEmpty() ? QByteArray() : Name(label)) + "</" + type + "FeatureItem>";
}

QByteArray Axis(const QByteArray &point, const QByteArray &direction)
{
    return "<Axis>" + Value("AxisPoint", point) + Value("Direction", direction) + "</Axis>";
}

// A cylinder, two cones (from the vertex, from another point with its half
// angle) and a torus, in millimetres and degrees, one a line from line 5.
const QByteArrayList NEW_TYPES = {
    Measured("Cylinder", Name("CYL_6") + Axis("1 2 3", "0 0 -1") + Diameter("25.4")),
    Measured("Cone",
             Name("CON_7") + Axis("0 0 5", "0 0 1") + Diameter("0") + Value("FullAngle", "60")),
    Measured("Cone", Name("CON_9") + Axis("1 2 3.0", "0 -0.6 -0.8") + Diameter("10.00") +
                         Value("HalfAngle", "22.5")),
    Measured("Torus", Name("TOR_8") + Location("1 2 3") + Value("AxisVector", "0 1 0") +
                          Value("MinorDiameter", "8.00") + Value("MajorDiameter", "50.0")),
};

TExpectedFeatures New_Types()
{
    return {Cylinder("CYL_6", 5, {1, 2, 3}, {0, 0, -1}, 25.4, 0, 0, 0.05),
            Cone("CON_7", 6, {0, 0, 5}, {0, 0, 1}, 0, 60, 0, 0, 0, 0),
            Cone("CON_9", 7, {1, 2, 3}, {0, -0.6, -0.8}, 10, 45, 0.05, 0.05, 0.005, 2 * 0.05),
            Torus("TOR_8", 8, {1, 2, 3}, {0, 1, 0}, 50, 8, 0, 0, 0.05, 0.005)};
}

// One measurement of each type, all in millimetres.
const QByteArrayList FOUR = {
    Measured("Plane", Name("PLN_1") + Location("1.5 -2.25 3.125") + Normal("0 0 1")),
    Measured("Line", Value("Direction", "0.6 0.8 0") + Name("LIN_2") + Location("1 2 3")),
    Measured("Circle",
             Name("CIR_3") + Location(" 10.5\t20.25\n0 ") + Normal("0 0 1.0") + Diameter("12.004")),
    Measured("Sphere", Name("SPH_4") + Location("7.64415200000037e-006 -0 2") + Diameter("25")),
};

// FOUR read, from its first line on (the circle's location spans two lines).
TExpectedFeatures Four(int line)
{
    return {Flat("PLN_1", line, {1.5, -2.25, 3.125}, {0, 0, 1}, 0.05, 0),
            Flat("LIN_2", line + 1, {1, 2, 3}, {0.6, 0.8, 0}, 0, 0.05),
            Circle("CIR_3", line + 2, {10.5, 20.25, 0}, {0, 0, 1}, 12.004, 0.05, 0.05, 0.0005),
            Sphere("SPH_4", line + 4, {7.64415200000037e-006, 0, 2}, 25, 5e-21, 0)};
}

QString Of(const char *element, const char *label, const QString &problem)
{
    return QStringLiteral("the %1 of \"%2\": %3").arg(element, label, problem);
}

// A row of reading_data for a document that can be used.
void Row(const char *name, const QByteArray &content, const TExpectedFeatures &features,
         const QStringList &warnings = {}, const QString &format = QStringLiteral("QIF 3.0.0"),
         int qif_results = 0)
{
    QTest::newRow(name) << content << qif_results << format << features << warnings << QString();
}

// A row for a document that cannot be used: failure is "LINE: MESSAGE".
void Failure(const char *name, const QByteArray &content, const QString &failure,
             const QString &format = QStringLiteral("QIF 3"), int qif_results = 0)
{
    QTest::newRow(name) << content << qif_results << format << TExpectedFeatures{} << QStringList()
                        << failure;
}

const QByteArray ROOT3 = "<QIFDocument xmlns=\"http://qifstandards.org/xsd/qif3\">";

// A QIF 3 (or 2.1) document as Qif3() writes it, its measurements from line
// 5 on and its characteristics one a line from the second line after the
// last measurement.
QByteArray With_Characteristics(int version, const QByteArray &units,
                                const QByteArrayList &measured,
                                const QByteArrayList &characteristics)
{
    const bool qif3 = version == 3;
    const QByteArray list = qif3 ? "CharacteristicMeasurements" : "CharacteristicActuals";
    QByteArray document = qif3 ? Qif3(units, "", measured) : Qif2(true, units, "", measured);
    const QByteArray end_features =
        qif3 ? "\n</MeasuredFeatures>" : "\n</FeatureActuals></MeasuredFeatures>";
    const int at = document.indexOf(end_features);
    document.insert(at + end_features.size(), "<MeasuredCharacteristics><" + list + ">\n" +
                                                  characteristics.join('\n') + "\n</" + list +
                                                  "></MeasuredCharacteristics>");
    return document;
}

// A measurement with its id, QIF 3's or, actual, QIF 2's.
QByteArray Measured_As(const char *type, const QByteArray &id, const QByteArray &children,
                       bool actual = false)
{
    const QByteArray element = type + QByteArray(actual ? "FeatureActual" : "FeatureMeasurement");
    return "<" + element + " id=\"" + id + "\">" + children + "</" + element + ">";
}

// <WORDCharacteristicMeasurement> (QIF 2: ...Actual) of the measurements
// ids, with its other children.
QByteArray Characteristic(const char *word, const QByteArrayList &ids, const QByteArray &children,
                          bool actual = false)
{
    const QByteArray element =
        word + QByteArray(actual ? "CharacteristicActual" : "CharacteristicMeasurement");
    const QByteArray list = actual ? "FeatureActualIds" : "FeatureMeasurementIds";
    QByteArray text = "<" + element +
                      " id=\"90\"><Status><CharacteristicStatusEnum>PASS"
                      "</CharacteristicStatusEnum></Status>"
                      "<CharacteristicItemId>80</CharacteristicItemId>";
    if (!ids.isEmpty()) {
        text += "<" + list + " n=\"" + QByteArray::number(ids.size()) + "\"><Id>" +
                ids.join("</Id><Id>") + "</Id></" + list + ">";
    }
    return text + children + "</" + element + ">";
}

QByteArray Algorithm(const QByteArray &name)
{
    return "<SubstituteFeatureAlgorithm><SubstituteFeatureAlgorithmEnum>" + name +
           "</SubstituteFeatureAlgorithmEnum></SubstituteFeatureAlgorithm>";
}

} // namespace

class TestQifResults : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void every_cut_is_an_error();
    void deep_wide_and_long();
    void public_samples_data();
    void public_samples();
    void forms_data();
    void forms();
};

void TestQifResults::reading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("qif_results");
    QTest::addColumn<QString>("format");
    QTest::addColumn<TExpectedFeatures>("features");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("failure"); // "LINE: MESSAGE", empty when none

    const double inch = 25.4;
    const QByteArray plane = Name("PLN_1") + Location("1 2 3") + Normal("0 0 1");
    const QByteArray sphere = Name("SPH_4") + Location("1 2 3") + Diameter("4");

    // Versions and types.
    Row("QIF 3, each type", Qif3(MM, "", FOUR), Four(5));
    QByteArrayList actuals;
    for (const char *type : {"Plane", "Line", "Circle", "Sphere"}) {
        QByteArray children = FOUR[actuals.size()];
        children = children.mid(children.indexOf('>') + 1);
        children.chop(children.size() - children.lastIndexOf('<'));
        actuals << Measured(type, children, true);
    }
    Row("QIF 2.1, each type", Qif2(true, MM, "", actuals), Four(5), {}, "QIF 2.1.0");
    Row("QIF 2.0, no MeasurementResultsSet", Qif2(false, MM, "", actuals), Four(5), {},
        "QIF 2.0.0");
    Row("prefixed, other namespaces and elements skipped, no versionQIF",
        "<?xml version=\"1.0\"?>\n<!-- results -->\n"
        "<q:QIFDocument xmlns:q=\"http://qifstandards.org/xsd/qif3\" xmlns:x=\"urn:other\">\n"
        "<q:Header/><q:Results><q:MeasurementResultsSet><q:MeasurementResults id=\"1\">"
        "<q:MeasuredFeatures>\n<x:PlaneFeatureMeasurement><q:FeatureName>PLN_5</q:FeatureName>"
        "</x:PlaneFeatureMeasurement><q:CylinderFeatureMeasurement id=\"2\">"
        "<q:FeatureName>PLN_5</q:FeatureName></q:CylinderFeatureMeasurement>\n"
        "<q:PlaneFeatureMeasurement id=\"3\"><x:Location>9 9 9</x:Location>"
        "<q:Extra><q:Location>8 8 8</q:Location></q:Extra><q:Normal>0 0 1</q:Normal>"
        "<q:FeatureName>PLN_1</q:FeatureName><q:Location>1 2 3</q:Location>"
        "</q:PlaneFeatureMeasurement>\n</q:MeasuredFeatures></q:MeasurementResults>"
        "</q:MeasurementResultsSet></q:Results></q:QIFDocument>\n",
        {Missing("PLN_5", 5), Flat("PLN_1", 6, {1000, 2000, 3000}, {0, 0, 1}, 0, 0)},
        {W(5, "result for \"PLN_5\" is a CylinderFeatureMeasurement, the reference feature is a "
              "plane"),
         W(6, "the file declares no length unit (FileUnits/PrimaryUnits/LinearUnit): lengths are "
              "read in metres, as QIF defines")},
        "QIF 3");

    // Cylinders, cones and tori.
    Row("QIF 3, cylinder, cones, torus", Qif3(MM_DEGREES, "", NEW_TYPES), New_Types());
    QByteArrayList new_actuals;
    for (const char *type : {"Cylinder", "Cone", "Cone", "Torus"}) {
        QByteArray children = NEW_TYPES[new_actuals.size()];
        children = children.mid(children.indexOf('>') + 1);
        children.chop(children.size() - children.lastIndexOf('<'));
        new_actuals << Measured(type, children, true);
    }
    Row("QIF 2.1, cylinder, cones, torus", Qif2(true, MM_DEGREES, "", new_actuals), New_Types(), {},
        "QIF 2.1.0");
    Row("QIF 2.0, cylinder, cones, torus", Qif2(false, MM_DEGREES, "", new_actuals), New_Types(),
        {}, "QIF 2.0.0");
    Row("cylinder and cone by their feature items",
        Qif3(MM_DEGREES, Item("Cylinder", "7", "CYL_6") + Item("Cone", "8", "CON_7"),
             {Measured("Cylinder",
                       Value("FeatureItemId", "7") + Axis("1 2 3", "0 0 1") + Diameter("25")),
              Measured("Cone", Value("FeatureItemId", "8") + Axis("1 2 3", "0 0 1") +
                                   Diameter("5") + Value("HalfAngle", "45"))}),
        {Cylinder("CYL_6", 5, {1, 2, 3}, {0, 0, 1}, 25, 0, 0, 0),
         Cone("CON_7", 6, {1, 2, 3}, {0, 0, 1}, 5, 90, 0, 0, 0, 0)});
    // Values of other types' elements are not taken: a Location is no
    // cylinder's axis point, a Normal no torus' axis.
    Row("missing children of the new types",
        Qif3(MM_DEGREES, "",
             {Measured("Cylinder",
                       Name("CYL_6") + Location("1 2 3") + Normal("0 0 1") + Diameter("25")),
              Measured("Cone", Name("CON_7") + "<Axis>" + Value("AxisPoint", "1 2 3") + "</Axis>" +
                                   Value("Angle", "30")),
              Measured("Torus", Name("TOR_8") + Location("1 2 3") + Normal("0 0 1") +
                                    Diameter("50") + Value("MinorDiameter", "8")),
              Measured("Cone", Name("CON_9") + Axis("1 2 3", "0 0 1") + Value("FullAngle", "30"))}),
        {Missing("CYL_6", 5), Missing("CON_7", 6), Missing("TOR_8", 7), Missing("CON_9", 8)},
        {W(5, "\"CYL_6\" has no Axis, which a cylinder needs"),
         W(6, "\"CON_7\" has no Axis/Direction, which a cone needs"),
         W(6, "\"CON_7\" has no Diameter, which a cone needs"),
         W(6, "\"CON_7\" has no HalfAngle or FullAngle, which a cone needs"),
         W(7, "\"TOR_8\" has no AxisVector, which a torus needs"),
         W(7, "\"TOR_8\" has no MajorDiameter, which a torus needs"),
         W(8, "\"CON_9\" has no Diameter, which a cone needs")});
    Row("wrong type of the new ones",
        Qif3(MM_DEGREES, "",
             {Measured("Cone", Name("CYL_6") + Axis("1 2 3", "0 0 1") + Diameter("25") +
                                   Value("FullAngle", "30")),
              Measured("Circle",
                       Name("TOR_8") + Location("1 2 3") + Normal("0 0 1") + Diameter("50"))}),
        {Missing("CYL_6", 5), Missing("TOR_8", 6)},
        {W(5, "result for \"CYL_6\" is a ConeFeatureMeasurement, the reference feature is a "
              "cylinder"),
         W(6, "result for \"TOR_8\" is a CircleFeatureMeasurement, the reference feature is a "
              "torus")});
    const QString no_cone = QStringLiteral("the %1 of \"CON_7\": an included angle of %2 degrees "
                                           "is no cone's (above 0, below 180 degrees); the result "
                                           "cannot be used");
    Row("cone angles that cannot be used",
        Qif3(MM_DEGREES, "",
             {Measured("Cone", Name("CON_7") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("FullAngle", "0")),
              Measured("Cone", Name("CON_7") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("FullAngle", "180")),
              Measured("Cone", Name("CON_7") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("HalfAngle", "90")),
              Measured("Cone", Name("CON_7") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("HalfAngle", "-15")),
              Measured("Cone", Name("CON_7") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("FullAngle", "1e999")),
              Measured("Cone", Name("CON_7") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("FullAngle", "NaN"))}),
        {Missing("CON_7", 10)},
        {W(5, no_cone.arg("FullAngle").arg(0)),
         W(6, "label \"CON_7\" was given before on line 5; this later result counts"),
         W(6, no_cone.arg("FullAngle").arg(180)),
         W(7, "label \"CON_7\" was given before on line 6; this later result counts"),
         W(7, no_cone.arg("HalfAngle").arg(180)),
         W(8, "label \"CON_7\" was given before on line 7; this later result counts"),
         W(8, no_cone.arg("HalfAngle").arg(-30)),
         W(9, "label \"CON_7\" was given before on line 8; this later result counts"),
         W(9, Of("FullAngle", "CON_7", "does not read as a number: \"1e999\"")),
         W(10, "label \"CON_7\" was given before on line 9; this later result counts"),
         W(10, Of("FullAngle", "CON_7", "does not read as a number: \"NaN\""))});

    // Angular units.
    const double degree = 3.14159265358979323846 / 180;
    const QByteArray cone = Name("CON_7") + Axis("0 0 0", "0 0 1") + Diameter("0");
    Row("angular unit by a factor of 9 decimals, taken as pi/180",
        Qif3(Units(Unit("mm") + Angular_Unit("deg", "<Factor>0.017453293</Factor>")), "",
             {Measured("Cone", cone + Value("FullAngle", "60.00"))}),
        {Cone("CON_7", 5, {0, 0, 0}, {0, 0, 1}, 0, 60, 0, 0, 0, 0.005)});
    Row("angular unit by another factor: grads",
        Qif3(Units(Unit("mm") + Angular_Unit("grad", "<Factor>0.015707963267949</Factor>")), "",
             {Measured("Cone", cone + Value("FullAngle", "100"))}),
        {Cone("CON_7", 5, {0, 0, 0}, {0, 0, 1}, 0, 0.015707963267949 * 100 / degree, 0, 0, 0, 0)});
    Row("angular unit by name, any case: radian",
        Qif3(Units(Unit("mm") + Angular_Unit(" Radian ")), "",
             {Measured("Cone", cone + Value("HalfAngle", "0.5"))}),
        {Cone("CON_7", 5, {0, 0, 0}, {0, 0, 1}, 0, 1 / degree, 0, 0, 0, 2 * 0.05 / degree)});
    const QString radians = QStringLiteral("the file declares no angular unit "
                                           "(FileUnits/PrimaryUnits/AngularUnit): angles are read "
                                           "in radians, as QIF defines");
    Row("no angular unit: radians, said once",
        Qif3(MM, "",
             {Measured("Cone", cone + Value("FullAngle", "1.0")),
              Measured("Cone", Name("CON_9") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("FullAngle", "60"))}),
        {Cone("CON_7", 5, {0, 0, 0}, {0, 0, 1}, 0, 1 / degree, 0, 0, 0, 0.05 / degree),
         Missing("CON_9", 6)},
        {W(5, radians),
         W(6, Of("FullAngle", "CON_9",
                 QStringLiteral("an included angle of %1 degrees is no cone's (above 0, below 180 "
                                "degrees); the result cannot be used")
                     .arg("3437.75")))});
    // Beyond 1e150 mm or rad the grading's squares would overflow.
    Row("numbers too large to compute with",
        Qif3(MM_DEGREES, "",
             {Measured("Sphere", Name("SPH_4") + Location("1e160 0 0") + Diameter("25")),
              Measured("Cylinder", Name("CYL_6") + Axis("0 0 0", "0 0 1e151") + Diameter("25")),
              Measured("Torus", Name("TOR_8") + Location("1 2 3") + Value("AxisVector", "0 1 0") +
                                    Value("MinorDiameter", "8") + Value("MajorDiameter", "1e300")),
              Measured("Cone", Name("CON_7") + Axis("0 0 5", "0 0 1") + Diameter("0") +
                                   Value("FullAngle", "1e200")),
              Measured("Circle",
                       Name("CIR_3") + Location("-1e150 0 0") + Normal("0 0 1") + Diameter("25"))}),
        {Missing("SPH_4", 5), Missing("CYL_6", 6), Missing("TOR_8", 7), Missing("CON_7", 8),
         Circle("CIR_3", 9, {-1e150, 0, 0}, {0, 0, 1}, 25, 0, 0, 0)},
        {W(5, Of("Location", "SPH_4",
                 "number 1 is too large to compute with (more than 1e150 millimetres)")),
         W(6, Of("Axis/Direction", "CYL_6",
                 "number 3 is too large to compute with (more than 1e150)")),
         W(7,
           Of("MajorDiameter", "TOR_8", "too large to compute with (more than 1e150 millimetres)")),
         W(8, Of("FullAngle", "CON_7", "too large to compute with (more than 1e150 radians)"))});
    Row("angularUnit attribute: declared, primary, undeclared",
        Qif3(Units(Unit("mm") + Angular_Unit("degree"), Angular_Unit("rad")), "",
             {Measured("Cone", cone + Value("FullAngle", "0.5", " angularUnit=\"rad\"")),
              Measured("Cone", Name("CON_9") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("FullAngle", "30", " angularUnit=\"degree\"")),
              Measured("Cone", Name("CON_10") + Axis("0 0 0", "0 0 1") + Diameter("0") +
                                   Value("FullAngle", "30", " angularUnit=\"turn\""))}),
        {Cone("CON_7", 5, {0, 0, 0}, {0, 0, 1}, 0, 0.5 / degree, 0, 0, 0, 0.05 / degree),
         Cone("CON_9", 6, {0, 0, 0}, {0, 0, 1}, 0, 30, 0, 0, 0, 0), Missing("CON_10", 7)},
        {W(7, Of("FullAngle", "CON_10", "its unit \"turn\" is not declared in FileUnits"))});
    Failure("unknown primary angular unit",
            Qif3(Units(Unit("mm") + Angular_Unit("grad")), "", {Measured("Plane", plane)}),
            "2: the angular unit \"grad\" has no UnitConversion Factor and is not one of degree, "
            "degrees, deg, radian, radians, rad; no angle of the file can be read",
            "QIF 3.0.0");
    Failure("angular factor not above 0",
            Qif3(Units(Unit("mm") + Angular_Unit("degree", "<Factor>-0.0175</Factor>")), "",
                 {Measured("Plane", plane)}),
            "2: the Factor \"-0.0175\" of the angular unit \"degree\" is not a number of radians "
            "above 0; no angle of the file can be read",
            "QIF 3.0.0");
    Row("offset moves the axis point, not the diameters",
        Qif3(Units(Unit("cm", "<Factor>0.01</Factor><Offset>1</Offset>") + Angular_Unit("degree")),
             "",
             {Measured("Cylinder", Name("CYL_6") + Axis("1 2 3", "0 0 1") + Diameter("2.5")),
              Measured("Torus", Name("TOR_8") + Location("0 0 0") + Value("AxisVector", "0 0 1") +
                                    Value("MajorDiameter", "5") + Value("MinorDiameter", "1"))}),
        {Cylinder("CYL_6", 5, {20, 30, 40}, {0, 0, 1}, 25, 0, 0, 0.5),
         Torus("TOR_8", 6, {10, 10, 10}, {0, 0, 1}, 50, 10, 0, 0, 0, 0)});

    // Labels.
    Row("label through the feature item, own name first",
        Qif3(MM, Item("Plane", "7", "PLN_1") + Item("Plane", " 8 ", "PLN_9"),
             {Measured("Plane", Value("FeatureItemId", "7") + Location("1 2 3") + Normal("0 0 1")),
              Measured("Plane", Value("FeatureItemId", "8") + Name("PLN_5") + Location("1 2 3") +
                                    Normal("0 0 1"))}),
        {Flat("PLN_1", 5, {1, 2, 3}, {0, 0, 1}, 0, 0),
         Flat("PLN_5", 6, {1, 2, 3}, {0, 0, 1}, 0, 0)});
    Row("no label to match",
        Qif3(MM, Item("Plane", "7", ""),
             {Measured("Plane", Value("FeatureItemId", "7", " xId=\"2\"") + Location("1 2 3")),
              Measured("Plane", Value("FeatureItemId", "99")),
              Measured("Plane", Value("FeatureItemId", "7")),
              Measured("Sphere", Name(" ") + Location("1 2 3"))}),
        {},
        {W(5, "the FeatureItemId \"7\" of the PlaneFeatureMeasurement refers to another document "
              "(xId): it cannot be matched to the reference"),
         W(6, "the FeatureItemId \"99\" of the PlaneFeatureMeasurement is the id of no feature "
              "item: it cannot be matched to the reference"),
         W(7, "feature item \"7\" has no FeatureName: the PlaneFeatureMeasurement cannot be "
              "matched to the reference"),
         W(8, "the SphereFeatureMeasurement has neither a FeatureName nor a FeatureItemId: it "
              "cannot be matched to the reference")});
    // Given twice: the line's fallback below; not in the reference:
    // deep_wide_and_long.
    Row("labels as in DMIS output: case, wrong type",
        Qif3(MM, "",
             {Measured("Plane", Name("pln_1") + Location("4 5 6") + Normal("0 0 1")),
              Measured("Circle", Name("SPH_4"))}),
        {Flat("PLN_1", 5, {4, 5, 6}, {0, 0, 1}, 0, 0), Missing("SPH_4", 6)},
        {W(5, "label \"pln_1\" matches reference label \"PLN_1\" only when case is ignored; taken "
              "as \"PLN_1\""),
         W(6, "result for \"SPH_4\" is a CircleFeatureMeasurement, the reference feature is a "
              "sphere")});

    // Values: never 0 when absent.
    Row("missing children",
        Qif3(MM, "",
             {Measured("Plane", Name("PLN_1") + Location("1 2 3")),
              Measured("Circle", Name("CIR_3") + Location("1 2 3") + Normal("0 0 1")),
              Measured("Sphere", Name("SPH_4") + Diameter("4")), Measured("Line", Name("LIN_2"))}),
        {Missing("PLN_1", 5), Missing("CIR_3", 6), Missing("SPH_4", 7), Missing("LIN_2", 8)},
        {W(5, "\"PLN_1\" has no Normal, which a plane needs"),
         W(6, "\"CIR_3\" has no Diameter, which a circle needs"),
         W(7, "\"SPH_4\" has no Location, which a sphere needs"),
         W(8, "\"LIN_2\" has no Location, which a line needs"),
         W(8, "\"LIN_2\" has no Direction, which a line needs")});
    Row("a line's Normal as its direction, only without a Direction",
        Qif3(MM, "",
             {Measured("Line", Name("LIN_2") + Location("1 2 3") + Normal("0 0.6 0.80")),
              Measured("Line", Name("LIN_2") + Location("1 2 3") + Normal("0 0 1") +
                                   Value("Direction", "1 0 0"))}),
        {Flat("LIN_2", 6, {1, 2, 3}, {1, 0, 0}, 0, 0)},
        {W(5, "\"LIN_2\" has no Direction; its Normal is taken as the direction, where some "
              "writers put it"),
         W(6, "label \"LIN_2\" was given before on line 5; this later result counts")});
    Row("numbers that do not read",
        Qif3(MM, "",
             {Measured("Sphere", Name("SPH_4") + Location("NaN INF 1e999") + Diameter("")),
              Measured("Circle",
                       Name("CIR_3") + Location("1 2") + Normal("0 0 1 0") + Diameter("1,5"))}),
        {Missing("SPH_4", 5), Missing("CIR_3", 6)},
        {W(5, Of("Location", "SPH_4", "number 1 does not read as a number: \"NaN\"")),
         W(5, Of("Location", "SPH_4", "number 2 does not read as a number: \"INF\"")),
         W(5, Of("Location", "SPH_4", "number 3 does not read as a number: \"1e999\"")),
         W(5, Of("Diameter", "SPH_4", "no number")),
         W(6, Of("Location", "CIR_3", "2 numbers, not 3")),
         W(6, Of("Normal", "CIR_3", "4 numbers, not 3")),
         W(6, Of("Diameter", "CIR_3", "does not read as a number: \"1,5\""))});

    // Units.
    Row("unit by factor",
        Qif3(Units(Unit("in", "<Factor>0.0254</Factor>")), "",
             {Measured("Circle",
                       Name("CIR_3") + Location("1.5 0 -2") + Normal("0 0 1") + Diameter("0.50"))}),
        {Circle("CIR_3", 5, {1.5 * inch, 0, -2 * inch}, {0, 0, 1}, 0.5 * inch, 0.05 * inch, 0,
                0.005 * inch)});
    Row("unit by name, any case",
        Qif3(Units(Unit(" MilliMetre ")), "", {Measured("Sphere", sphere)}),
        {Sphere("SPH_4", 5, {1, 2, 3}, 4, 0, 0)});
    // The offset moves locations only: a diameter is a difference of two.
    Row("offset added before the factor, to locations only",
        Qif3(Units(Unit("cm", "<Factor>0.01</Factor><Offset>-1</Offset>")), "",
             {Measured("Sphere", sphere),
              Measured("Circle",
                       Name("CIR_3") + Location("0 1 2") + Normal("0 0 1") + Diameter("2.5"))}),
        {Sphere("SPH_4", 5, {0, 10, 20}, 40, 0, 0),
         Circle("CIR_3", 6, {-10, 0, 10}, {0, 0, 1}, 25, 0, 0, 0.5)});
    const QString metres = QStringLiteral("the file declares no length unit "
                                          "(FileUnits/PrimaryUnits/LinearUnit): lengths are read "
                                          "in metres, as QIF defines");
    Row("no FileUnits: metres, said once",
        Qif3("", "",
             {Measured("Sphere", Name("SPH_4") + Location("0.001 0 0") + Diameter("0.0254")),
              Measured("Plane", Name("PLN_1") + Location("0 0 0.5") + Normal("0 0 1"))}),
        {Sphere("SPH_4", 5, {1, 0, 0}, 25.4, 0.5, 0.05),
         Flat("PLN_1", 6, {0, 0, 500}, {0, 0, 1}, 50, 0)},
        {W(5, metres)});
    Row("FileUnits without a LinearUnit: metres",
        Qif3("<FileUnits><PrimaryUnits/></FileUnits>", "",
             {Measured("Circle", Name("CIR_3") + Location("1 2 3") + Normal("0 0 1") +
                                     Diameter("0.05", " linearUnit=\"mm\"")),
              Measured("Sphere", Name("SPH_4") + Location("1 2 3") + Diameter("4"))}),
        {Missing("CIR_3", 5), Sphere("SPH_4", 6, {1000, 2000, 3000}, 4000, 0, 0)},
        {W(5, metres),
         W(5, Of("Diameter", "CIR_3", "its unit \"mm\" is not declared in FileUnits"))});
    Row("no FileUnits, every length with a declared unit: nothing assumed",
        Qif3("<FileUnits><OtherUnits>" + Unit("mm") + "</OtherUnits></FileUnits>", "",
             {Measured("Sphere", Name("SPH_4") + Location("1 2 3", " linearUnit=\"mm\"") +
                                     Diameter("4", " linearUnit=\"mm\""))}),
        {Sphere("SPH_4", 5, {1, 2, 3}, 4, 0, 0)});
    Row("linearUnit attribute: declared, primary, undeclared",
        Qif3(Units(Unit("mm"), Unit("foot") + Unit("rod")), "",
             {Measured("Sphere", Name("SPH_4") + Location("1 2 3", " linearUnit=\"foot\"") +
                                     Diameter("4", " linearUnit=\"mm\"")),
              Measured("Circle", Name("CIR_3") + Location("1 2 3", " linearUnit=\"yard\"") +
                                     Normal("0 0 1") + Diameter("4", " linearUnit=\"rod\""))}),
        {Sphere("SPH_4", 5, {304.8, 609.6, 914.4}, 4, 0, 0), Missing("CIR_3", 6)},
        {W(6, Of("Location", "CIR_3", "its unit \"yard\" is not declared in FileUnits")),
         W(6, Of("Diameter", "CIR_3",
                 "the length unit \"rod\" has no UnitConversion Factor and is not one of mm, "
                 "millimeter, millimetre, cm, m, meter, metre, in, inch, ft, foot, feet"))});
    Failure("unknown primary unit", Qif3(Units(Unit("furlong")), "", {Measured("Plane", plane)}),
            "2: the length unit \"furlong\" has no UnitConversion Factor and is not one of mm, "
            "millimeter, millimetre, cm, m, meter, metre, in, inch, ft, foot, feet; no length of "
            "the file can be read",
            "QIF 3.0.0");
    Failure("factor not above 0",
            Qif3(Units(Unit("mm", "<Factor>0</Factor>")), "", {Measured("Plane", plane)}),
            "2: the Factor \"0\" of the length unit \"mm\" is not a number of metres above 0; no "
            "length of the file can be read",
            "QIF 3.0.0");

    // Resolution.
    Row("resolution from decimalPlaces and significantFigures, per axis first",
        Qif3(MM, "",
             {Measured("Circle", Name("CIR_3") +
                                     Location("1.23456 20 300.5",
                                              " decimalPlaces=\"3\" zSignificantFigures=\"2\"") +
                                     Normal("0 0 1", " xDecimalPlaces=\"1\"") +
                                     Diameter("0.0012345", " significantFigures=\"+2\"")),
              Measured("Sphere", Name("SPH_4") + Location("1.5 0 0", " decimalPlaces=\"two\"") +
                                     Diameter("0", " significantFigures=\"3\""))}),
        {Circle("CIR_3", 5, {1.23456, 20, 300.5}, {0, 0, 1}, 0.0012345, 5, 0.05, 0.00005),
         Sphere("SPH_4", 6, {1.5, 0, 0}, 0, 0.05, 0)},
        {W(6, Of("Location", "SPH_4",
                 "decimalPlaces \"two\" is not a whole number of 0 or more; the resolution is "
                 "taken from the text"))});

    // Several parts.
    QByteArray two = Qif3(MM, "", {Measured("Plane", plane)});
    two.replace("</MeasurementResults></MeasurementResultsSet>",
                "</MeasurementResults>\n<MeasurementResults id=\"2\"><MeasuredFeatures>\n" +
                    Measured("Plane", Name("PLN_1") + Location("4 5 6") + Normal("0 1 0")) +
                    "\n</MeasuredFeatures></MeasurementResults></MeasurementResultsSet>");
    Row("two MeasurementResults: the first", two, {Flat("PLN_1", 5, {1, 2, 3}, {0, 0, 1}, 0, 0)},
        {W(4, "the file holds 2 MeasurementResults; the first is graded (--qif-results N grades "
              "the N-th)")});
    Row("two MeasurementResults: the second", two, {Flat("PLN_1", 8, {4, 5, 6}, {0, 1, 0}, 0, 0)},
        {}, "QIF 3.0.0", 2);
    Failure("two MeasurementResults: a third", two,
            "0: asked for MeasurementResults 3; the file "
            "holds 2",
            "QIF 3.0.0", 3);

    // Documents that cannot be used.
    Failure("not well-formed", ROOT3 + "\n<Results>\n</Result>\n</QIFDocument>\n",
            "3: not well-formed XML: opening and ending tag mismatch");
    Failure("a carriage return alone ends a line, as in XML",
            ROOT3 + "\r<Results>\r\r</Result>\r</QIFDocument>\r",
            "4: not well-formed XML: opening and ending tag mismatch");
    Failure("the XML reader's message quoting much of the file, cut",
            "<?xml version=\"1.0\" encoding=\"" + QByteArray(300, 'x') + "\"?>\n<QIFDocument/>",
            "1: not well-formed XML: encoding " + QString(191, 'x') + " [...]");
    Failure("a byte that is no UTF-8, found on its line",
            ROOT3 + "\n<Results>\n<FeatureName>\xed</FeatureName>\n</Results>\n</QIFDocument>\n",
            "3: not well-formed XML: encountered incorrectly encoded content");
    Failure("content after the document", Qif3(MM, "", {Measured("Plane", plane)}) + "<x/>\n",
            "8: not well-formed XML: extra content at end of document", "QIF 3.0.0");
    Failure("another namespace", "<QIFDocument xmlns=\"http://qifstandards.org/xsd/qif4\"/>",
            "1: the QIFDocument is in the namespace \"http://qifstandards.org/xsd/qif4\", which is "
            "neither QIF 3 (http://qifstandards.org/xsd/qif3) nor QIF 2 "
            "(http://qifstandards.org/xsd/qif2)");
    Failure("another root", " \n<svg xmlns=\"http://www.w3.org/2000/svg\"/>",
            "2: the root element is \"svg\", not QIFDocument: the file is XML but not QIF");
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE QIFDocument [\n<!ENTITY a \"ha\">\n";
    for (int n = 1; n <= 9; ++n) {
        laughs += "<!ENTITY " + QByteArray(1, char('a' + n)) + " \"" +
                  QByteArray("&" + QByteArray(1, char('a' + n - 1)) + ";").repeated(10) + "\">\n";
    }
    Failure("entities: a billion laughs", laughs + "]>\n" + ROOT3 + "&j;</QIFDocument>\n",
            "13: the document type declaration declares entities (the first is \"a\"), which QIF "
            "documents do not use; they are not expanded and the file is not read");
    Failure("entities: from outside the file",
            "<!DOCTYPE QIFDocument [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + ROOT3 +
                "&x;</QIFDocument>",
            "1: the document type declaration declares entities (the first is \"x\"), which QIF "
            "documents do not use; they are not expanded and the file is not read");
    Failure("entity not declared", ROOT3 + "&x;</QIFDocument>",
            "1: not well-formed XML: entity 'x' not declared");
    Row("a QIF document without results", ROOT3 + "<Product/></QIFDocument>", {},
        {W(1, "no result at all could be read; formats tried: DMIS output (FA(label)=FEAT/... "
              "statements), CSV (a header with a label column, then rows), QIF (measured planes, "
              "lines, circles, spheres, cylinders, cones and tori)")},
        "QIF 3");
}

void TestQifResults::reading()
{
    QFETCH(QByteArray, content);
    QFETCH(int, qif_results);
    QFETCH(QString, format);
    QFETCH(TExpectedFeatures, features);
    QFETCH(QStringList, warnings);
    QFETCH(QString, failure);

    TResultsOptions options;
    options.qif_results = qif_results;
    const TResultsReading reading = Read_Results(content, Reference(), options);
    QVERIFY(reading.format == TResultsFormat::QIF);
    QCOMPARE(Results_Format_Name(reading), format);
    QCOMPARE(reading.failure == TResultsFailure::NONE
                 ? QString()
                 : W(reading.failure_line, reading.failure_message),
             failure);
    QCOMPARE(Warnings(reading), warnings);
    Compare_Features(reading, features);
}

// A document cut anywhere before the end of its root is an error, never a
// reading of what came before the cut.
void TestQifResults::every_cut_is_an_error()
{
    const QByteArray whole = Qif3(MM, "", FOUR);
    const int end = whole.lastIndexOf('>') + 1;
    for (int size = 1; size < end; ++size) {
        const TResultsReading reading = Read_Results(whole.left(size), Reference());
        QVERIFY2(reading.failure == TResultsFailure::UNUSABLE, qPrintable(QString::number(size)));
    }
    QVERIFY(Read_Results(whole.left(end), Reference()).failure == TResultsFailure::NONE);
}

void TestQifResults::deep_wide_and_long()
{
    const QByteArray plane = Measured("Plane", Name("PLN_1") + Location("1 2 3") + Normal("0 0 1"));
    const QByteArrayList cases[] = {
        // 100,000 levels of elements that are skipped.
        {QByteArray("<x>").repeated(100000) + QByteArray("</x>").repeated(100000), plane},
        // An element with 10 million children.
        {"<x>" + QByteArray("<y/>").repeated(10000000) + "</x>", plane},
        // A 50 MB attribute, and a 50 MB label.
        {"<x a=\"" + QByteArray(50000000, 'a') + "\"/>", plane,
         Measured("Sphere", Name(QByteArray(50000000, 'S')))},
    };
    for (const QByteArrayList &measured : cases) {
        const TResultsReading reading = Read_Results(Qif3(MM, "", measured), Reference());
        QVERIFY(reading.failure == TResultsFailure::NONE);
        Compare_Features(reading, {Flat("PLN_1", 6, {1, 2, 3}, {0, 0, 1}, 0, 0)});
        QCOMPARE(Warnings(reading), measured.size() < 3
                                        ? QStringList()
                                        : QStringList{W(7, "label \"" + QString(40, 'S') +
                                                               "...\" is not in "
                                                               "the reference")});
    }
    // 100,000 levels that never close: cut short.
    const TResultsReading open =
        Read_Results(Qif3(MM, "", {QByteArray("<x>").repeated(100000)}), Reference());
    QVERIFY(open.failure == TResultsFailure::UNUSABLE);
}

void TestQifResults::public_samples_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::addColumn<TExpectedFeatures>("features");
    // Values as the samples write them, in millimetres.
    QTest::newRow("QIF 3, synthetic")
        << "testPython30.qif"
        << "QIF 3.0.0"
        << TExpectedFeatures{
               With_Form(Flat("DAT_A", 361, {0, 0, 0}, {0, 0, 1}, 0.05, 0.05), 0.023, 0.0005),
               Circle("CIRC1", 382, {90.015, 49.973, -1}, {0, 0, 1}, 6.2, 0.05, 0.05, 0.05)};
    QTest::newRow("QIF 3, a datum plane's flatness")
        << "WIDGET_QIF_RESULTS.QIF"
        << "QIF 3.0.0"
        << TExpectedFeatures{
               With_Form(Flat("DATUM_A", 1275, {-29.763, -0.065, -42.578}, {0, -1, 0}, 0.0005, 0),
                         0.088, 0.0005)};
    QTest::newRow("QIF 2.1, circles by their feature items")
        << "QIF21_Results_Sample.QIF"
        << "QIF 2.1.0"
        << TExpectedFeatures{Circle("HOLE1", 759, {2434.01, 801.52505599193, 889.98},
                                    {0.0558150216639719, -0.907624351305543, -0.41605615038579},
                                    9.499476, 0.005, 5e-15, 5e-7)};
}

void TestQifResults::public_samples()
{
    QFETCH(QString, name);
    QFETCH(QString, format);
    QFETCH(TExpectedFeatures, features);
    QFile file(QStringLiteral(TESSALINE_QIF_SAMPLES "/") + name);
    QVERIFY2(file.open(QIODevice::ReadOnly),
             qPrintable("the public QIF samples are not at " TESSALINE_QIF_SAMPLES));
    std::vector<TReferenceLabel> reference;
    for (const TExpected &feature : features) {
        reference.push_back(
            {feature.label, feature.diameter > 0 ? TFeatureType::CIRCLE : TFeatureType::PLANE});
    }
    const TResultsReading reading = Read_Results(file.readAll(), reference);
    QCOMPARE(Results_Format_Name(reading), format);
    QVERIFY(reading.failure == TResultsFailure::NONE);
    Compare_Features(reading, features);
}

void TestQifResults::forms_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<TCriterion>("criterion");
    QTest::addColumn<TExpectedFeatures>("features");
    QTest::addColumn<QStringList>("warnings");

    const QByteArray plane = Name("PLN_1") + Location("1 2 3") + Normal("0 0 1");
    const TExpected plane_read = Flat("PLN_1", 5, {1, 2, 3}, {0, 0, 1}, 0, 0);
    const QByteArrayList five = {
        Measured_As("Plane", "11", plane),
        Measured_As("Line", "12", Name("LIN_2") + Location("1 2 3") + Value("Direction", "1 0 0")),
        Measured_As("Circle", "13",
                    Name("CIR_3") + Location("1 2 3") + Normal("0 0 1") + Diameter("4")),
        Measured_As("Sphere", "14", Name("SPH_4") + Location("1 2 3") + Diameter("4")),
        Measured_As("Cylinder", "15", Name("CYL_6") + Axis("1 2 3", "0 0 1") + Diameter("4")),
    };
    const auto forms = [](bool actual) {
        return QByteArrayList{
            Characteristic("Flatness", {"11"}, Value("Value", "0.003170"), actual),
            Characteristic("Straightness", {" 12 "}, Value("Value", "0.1"), actual),
            Characteristic("Circularity", {"13"}, Value("Value", "0.00125", " decimalPlaces=\"3\""),
                           actual),
            Characteristic("Sphericity", {"14"}, Value("Value", "2.0e-4"), actual),
            Characteristic("Cylindricity", {"15"}, Value("Value", "0"), actual),
        };
    };
    const TExpectedFeatures five_read = {
        With_Form(plane_read, 0.00317, 5e-7),
        With_Form(Flat("LIN_2", 6, {1, 2, 3}, {1, 0, 0}, 0, 0), 0.1, 0.05),
        With_Form(Circle("CIR_3", 7, {1, 2, 3}, {0, 0, 1}, 4, 0, 0, 0), 0.00125, 0.0005),
        With_Form(Sphere("SPH_4", 8, {1, 2, 3}, 4, 0, 0), 2e-4, 5e-6),
        With_Form(Cylinder("CYL_6", 9, {1, 2, 3}, {0, 0, 1}, 4, 0, 0, 0), 0, 0)};
    QTest::newRow("QIF 3, each type's form")
        << With_Characteristics(3, MM, five, forms(false)) << TCriterion::LEAST_SQUARES << five_read
        << QStringList();
    QByteArrayList five_actual;
    for (const QByteArray &measured : five) {
        QByteArray actual = measured;
        actual.replace("FeatureMeasurement", "FeatureActual");
        five_actual << actual;
    }
    QTest::newRow("QIF 2.1, each type's form")
        << With_Characteristics(2, MM, five_actual, forms(true)) << TCriterion::LEAST_SQUARES
        << five_read << QStringList();

    const double inch = 25.4;
    QTest::newRow("inch, the file's unit and a value's own")
        << With_Characteristics(3, Units(Unit("in", "<Factor>0.0254</Factor>"), Unit("mm")),
                                {Measured_As("Plane", "11", plane), five[2]},
                                {Characteristic("Flatness", {"11"}, Value("Value", "0.0001")),
                                 Characteristic("Circularity", {"13"},
                                                Value("Value", "0.0020", " linearUnit=\"mm\""))})
        << TCriterion::MINIMUM_ZONE
        << TExpectedFeatures{With_Form(
                                 Flat("PLN_1", 5, {inch, 2 * inch, 3 * inch}, {0, 0, 1}, 0, 0),
                                 0.0001 * inch, 0.00005 * inch),
                             With_Form(Circle("CIR_3", 6, {inch, 2 * inch, 3 * inch}, {0, 0, 1},
                                              4 * inch, 0, 0, 0),
                                       0.002, 0.00005)}
        << QStringList();

    // The characteristics are on lines 9 to 16.
    QTest::newRow("forms that belong to no one feature, or are not read")
        << With_Characteristics(
               3, MM,
               {Measured_As("Plane", "11", plane), five[2],
                Measured_As("Plane", "16", Name("XYZ_9") + Location("0 0 0") + Normal("0 0 1"))},
               {Characteristic("Flatness", {}, Value("Value", "0.1")),
                Characteristic("Flatness", {"11", "16"}, Value("Value", "0.1")),
                Characteristic("Flatness", {"99"}, Value("Value", "0.1")),
                Characteristic("Flatness", {"16"}, Value("Value", "0.1")),
                Characteristic("Flatness", {"13"}, Value("Value", "0.1")),
                Characteristic("Circularity", {"13"}, ""),
                Characteristic("Circularity", {"13"}, Value("Value", "round")),
                Characteristic("Perpendicularity", {"11"}, Value("Value", "0.1"))})
        << TCriterion::LEAST_SQUARES
        << TExpectedFeatures{plane_read, Circle("CIR_3", 6, {1, 2, 3}, {0, 0, 1}, 4, 0, 0, 0)}
        << QStringList{
               W(7, "label \"XYZ_9\" is not in the reference"),
               W(9, "the FlatnessCharacteristicMeasurement has no FeatureMeasurementIds: its form "
                    "belongs to no feature and is not read"),
               W(10, "the FlatnessCharacteristicMeasurement is of 2 features together: it is no "
                     "one feature's form and is not read"),
               W(11, "the FlatnessCharacteristicMeasurement is of FeatureMeasurementIds \"99\", "
                     "which is no measured feature of these results: it is not read"),
               W(13, "the FlatnessCharacteristicMeasurement of \"CIR_3\" is not the form of a "
                     "circle (CircularityCharacteristicMeasurement): it is not read"),
               W(14, "the CircularityCharacteristicMeasurement of \"CIR_3\" has no Value: no "
                     "form is read"),
               W(15, Of("Value", "CIR_3", "does not read as a number: \"round\""))};
    QTest::newRow("ids as numbers")
        << With_Characteristics(3, MM, {Measured_As("Plane", " 011 ", plane)},
                                {Characteristic("Flatness", {"x11"}, Value("Value", "0.1")),
                                 Characteristic("Flatness", {"11"}, Value("Value", "0.2"))})
        << TCriterion::LEAST_SQUARES << TExpectedFeatures{With_Form(plane_read, 0.2, 0.05)}
        << QStringList{W(7, "the FlatnessCharacteristicMeasurement is of FeatureMeasurementIds "
                            "\"x11\", which is no measured feature of these results: it is not "
                            "read")};
    QTest::newRow("no form for a feature that cannot be used")
        << With_Characteristics(3, MM,
                                {Measured_As("Plane", "11", Name("PLN_1") + Location("1 2 3"))},
                                {Characteristic("Flatness", {"11"}, Value("Value", "0.1"))})
        << TCriterion::LEAST_SQUARES << TExpectedFeatures{Missing("PLN_1", 5)}
        << QStringList{W(5, "\"PLN_1\" has no Normal, which a plane needs")};

    // Another fit than the file's, of the measurement or of its form, is
    // said once for the feature, its form and values read all the same;
    // DEFAULT, UNDEFINED and words name none. The characteristics are on
    // lines 11 to 14.
    QTest::newRow("substitute feature algorithms")
        << With_Characteristics(
               3, MM,
               {Measured_As("Plane", "11", plane + Algorithm("LEASTSQUARES")),
                Measured_As("Circle", "13",
                            Name("CIR_3") + Location("1 2 3") + Normal("0 0 1") + Diameter("4") +
                                Algorithm(" MINMAX ")),
                Measured_As("Sphere", "14",
                            Name("SPH_4") + Location("1 2 3") + Diameter("4") +
                                Algorithm("DEFAULT")),
                Measured_As("Line", "12",
                            Name("LIN_2") + Location("1 2 3") + Value("Direction", "1 0 0") +
                                "<SubstituteFeatureAlgorithm><OtherSubstituteFeatureAlgorithm>"
                                "chebyshev</OtherSubstituteFeatureAlgorithm>"
                                "</SubstituteFeatureAlgorithm>"),
                Measured_As("Cylinder", "15",
                            Name("CYL_6") + Axis("1 2 3", "0 0 1") + Diameter("4") +
                                Algorithm("MAXINSCRIBED"))},
               {Characteristic("Flatness", {"11"},
                               Value("Value", "0.004") + Algorithm("LEASTSQUARES")),
                Characteristic("Flatness", {"11"}, Value("Value", "0.005")),
                Characteristic("Circularity", {"13"},
                               Algorithm("LEASTSQUARES") + Value("Value", "0.002")),
                Characteristic("Circularity", {"13"},
                               Algorithm("LEASTSQUARES") + Value("Value", "0.003"))})
        << TCriterion::MINIMUM_ZONE
        << TExpectedFeatures{With_Form(plane_read, 0.005, 0.0005),
                             With_Form(Circle("CIR_3", 6, {1, 2, 3}, {0, 0, 1}, 4, 0, 0, 0), 0.003,
                                       0.0005),
                             Sphere("SPH_4", 7, {1, 2, 3}, 4, 0, 0),
                             Flat("LIN_2", 8, {1, 2, 3}, {1, 0, 0}, 0, 0),
                             Cylinder("CYL_6", 9, {1, 2, 3}, {0, 0, 1}, 4, 0, 0, 0)}
        << QStringList{
               W(5, "the fit of \"PLN_1\" is LEASTSQUARES, not the file's minimum zone; it is "
                    "graded all the same"),
               W(9, "the fit of \"CYL_6\" is MAXINSCRIBED, not the file's minimum zone; it is "
                    "graded all the same"),
               W(13, "the fit of \"CIR_3\" is LEASTSQUARES, not the file's minimum zone; it is "
                     "graded all the same")};
    QTest::newRow("a minimax fit in a least-squares file")
        << With_Characteristics(3, MM,
                                {Measured_As("Circle", "13",
                                             Name("CIR_3") + Location("1 2 3") + Normal("0 0 1") +
                                                 Diameter("4") + Algorithm("MINCIRCUMSCRIBED")),
                                 Measured_As("Plane", "11", plane + Algorithm("LEASTSQUARES"))},
                                {})
        << TCriterion::LEAST_SQUARES
        << TExpectedFeatures{Circle("CIR_3", 5, {1, 2, 3}, {0, 0, 1}, 4, 0, 0, 0),
                             Flat("PLN_1", 6, {1, 2, 3}, {0, 0, 1}, 0, 0)}
        << QStringList{
               W(5, "the fit of \"CIR_3\" is MINCIRCUMSCRIBED, not the file's least squares; it is "
                    "graded all the same")};
}

void TestQifResults::forms()
{
    QFETCH(QByteArray, content);
    QFETCH(TCriterion, criterion);
    QFETCH(TExpectedFeatures, features);
    QFETCH(QStringList, warnings);

    TResultsOptions options;
    options.criterion = criterion;
    const TResultsReading reading = Read_Results(content, Reference(), options);
    QVERIFY2(reading.failure == TResultsFailure::NONE, qPrintable(reading.failure_message));
    QCOMPARE(Warnings(reading), warnings);
    Compare_Features(reading, features);
}

QTEST_GUILESS_MAIN(TestQifResults)
#include "test_qif_results.moc"
