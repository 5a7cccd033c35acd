// Writes a large QIF 3.0.0 results file for the benchmarks:
//   tessaline-bench-generate-qif FEATURES OUTPUT [cylinders] [forms]
// Measured planes, lines, circles and spheres in turn, labelled PLN_n,
// LIN_n, CIR_n and SPH_n (n from 1), or with "cylinders" measured cylinders
// only, labelled CYL_n: every other one by its own FeatureName,
// the others through a feature item with its nominal, as exporters write
// them, numbers with twelve decimals. With "forms", each measurement has its
// form characteristic as well (flatness, straightness, circularity,
// sphericity, cylindricity). The file is valid against the QIF 3 schemas.
// The same arguments always give the same bytes.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A small linear congruential generator: fast and reproducible.
class TRandom
{
public:
    double Next() // [-1, 1)
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) * 0x1p-52 - 1;
    }

private:
    uint64_t state = 0x9E3779B97F4A7C15ULL;
};

const char *const TYPES[5] = {"Plane", "Line", "Circle", "Sphere", "Cylinder"};
const char *const FORMS[5] = {"Flatness", "Straightness", "Circularity", "Sphericity",
                              "Cylindricity"};
const char *const PREFIXES[5] = {"PLN", "LIN", "CIR", "SPH", "CYL"};
const int CYLINDER = 4;

// Ids: definitions 1 to 5, the results 6, then per feature n (from 0) its nominal
// 10 + 3n, its item 11 + 3n and its measurement 12 + 3n.
long Nominal_Id(long n)
{
    return 10 + 3 * n;
}

// With forms, the characteristic definitions, nominals and items of the five
// forms follow the features' ids: definition of form f Forms_Id + f, its
// nominal + 5, its item + 10; the measurement of feature n's form
// Forms_Id + 15 + n.
long Forms_Id(long features)
{
    return Nominal_Id(features);
}

// The standard's, the last id.
long Standard_Id(long features)
{
    return Forms_Id(features) + 15 + features;
}

void Characteristics(FILE *file, long features)
{
    const long base = Forms_Id(features);
    static const char *const parts[3] = {"Definition", "Nominal", "Item"};
    std::fprintf(file, "  <Characteristics>\n    <FormalStandardId>%ld</FormalStandardId>\n",
                 Standard_Id(features));
    for (int part = 0; part < 3; ++part) {
        std::fprintf(file, "    <Characteristic%ss n=\"5\">\n", parts[part]);
        for (int f = 0; f < 5; ++f) {
            std::fprintf(file, "      <%sCharacteristic%s id=\"%ld\">", FORMS[f], parts[part],
                         base + 5 * part + f);
            if (part == 0)
                // A line's straightness lies between two lines, not in a
                // cylinder round it.
                std::fprintf(file, "<ToleranceValue>0.01</ToleranceValue>%s",
                             f == 1 ? "<ZoneShape><NonDiametricalZone/></ZoneShape>" : "");
            else if (part == 1)
                std::fprintf(file, "<CharacteristicDefinitionId>%ld</CharacteristicDefinitionId>",
                             base + f);
            else
                std::fprintf(file, "<CharacteristicNominalId>%ld</CharacteristicNominalId>",
                             base + 5 + f);
            std::fprintf(file, "</%sCharacteristic%s>\n", FORMS[f], parts[part]);
        }
        std::fprintf(file, "    </Characteristic%ss>\n", parts[part]);
    }
    std::fprintf(file, "  </Characteristics>\n");
}

bool By_Item(long n)
{
    return n % 2 == 1;
}

void Point(FILE *file, const char *element, double x, double y, double z)
{
    std::fprintf(file, "<%s>%.12f %.12f %.12f</%s>", element, x, y, z, element);
}

// A cylinder's axis: its point and direction, on lines of their own.
void Axis(FILE *file, const char *indent, double x, double y, double z, double i, double j,
          double k)
{
    std::fprintf(file, "<Axis>\n%s  ", indent);
    Point(file, "AxisPoint", x, y, z);
    std::fprintf(file, "\n%s  ", indent);
    Point(file, "Direction", i, j, k);
    std::fprintf(file, "\n%s</Axis>", indent);
}

} // namespace

int main(int argc, char **argv)
{
    bool cylinders = false;
    bool forms = false;
    bool known = argc >= 3;
    for (int a = 3; a < argc; ++a) {
        bool &flag = std::strcmp(argv[a], "cylinders") == 0 ? cylinders : forms;
        known = known && !flag &&
                (std::strcmp(argv[a], "cylinders") == 0 || std::strcmp(argv[a], "forms") == 0);
        flag = true;
    }
    if (!known || std::atol(argv[1]) <= 0) {
        std::fprintf(stderr,
                     "usage: tessaline-bench-generate-qif FEATURES OUTPUT [cylinders] [forms]\n");
        return 2;
    }
    // The type of feature n.
    const auto type_of = [cylinders](long n) { return cylinders ? CYLINDER : int(n % 4); };
    const long features = std::atol(argv[1]);
    FILE *file = std::fopen(argv[2], "w");
    if (!file) {
        std::perror(argv[2]);
        return 1;
    }
    const long items = features / 2;
    // The standard the form characteristics are evaluated by.
    char standard[400] = "";
    std::snprintf(standard, sizeof standard,
                  "  <StandardsDefinitions n=\"1\">\n    <Standard id=\"%ld\"><Organization>"
                  "<StandardsOrganizationEnum>ISO</StandardsOrganizationEnum></Organization>"
                  "<Designator>1101</Designator></Standard>\n  </StandardsDefinitions>\n",
                  Standard_Id(features));
    std::fprintf(file,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<QIFDocument xmlns=\"http://qifstandards.org/xsd/qif3\" versionQIF=\"3.0.0\" "
                 "idMax=\"%ld\">\n"
                 "  <QPId>3f1c2b7a-9e4d-4c1b-8a6f-0d2e5b7c9a14</QPId>\n"
                 "%s"
                 "  <FileUnits>\n    <PrimaryUnits>\n      <LinearUnit>\n"
                 "        <SIUnitName>meter</SIUnitName>\n        <UnitName>mm</UnitName>\n"
                 "        <UnitConversion><Factor>0.001</Factor></UnitConversion>\n"
                 "      </LinearUnit>\n    </PrimaryUnits>\n  </FileUnits>\n  <Features>\n"
                 "    <FeatureDefinitions n=\"5\">\n"
                 "      <PlaneFeatureDefinition id=\"1\"/>\n"
                 "      <LineFeatureDefinition id=\"2\"/>\n"
                 "      <CircleFeatureDefinition id=\"3\"><InternalExternal>INTERNAL"
                 "</InternalExternal><Diameter>10</Diameter></CircleFeatureDefinition>\n"
                 "      <SphereFeatureDefinition id=\"4\"><InternalExternal>EXTERNAL"
                 "</InternalExternal><Diameter>20</Diameter></SphereFeatureDefinition>\n"
                 "      <CylinderFeatureDefinition id=\"5\"><InternalExternal>INTERNAL"
                 "</InternalExternal><Diameter>30</Diameter></CylinderFeatureDefinition>\n"
                 "    </FeatureDefinitions>\n",
                 forms ? Standard_Id(features) : Nominal_Id(features) + 3, forms ? standard : "");

    TRandom random;
    const int sections = 2;
    const char *const section_names[sections] = {"FeatureNominals", "FeatureItems"};
    for (int section = 0; section < sections && items > 0; ++section) {
        std::fprintf(file, "    <%s n=\"%ld\">\n", section_names[section], items);
        for (long n = 1; n < features; n += 2) {
            const int type = type_of(n);
            const long id = Nominal_Id(n);
            if (section == 0) {
                std::fprintf(file,
                             "      <%sFeatureNominal id=\"%ld\">\n"
                             "        <FeatureDefinitionId>%d</FeatureDefinitionId>\n"
                             "        ",
                             TYPES[type], id, type + 1);
                if (type == CYLINDER) {
                    Axis(file, "        ", 10.0 * n, 20, 30, 0, 0, 1);
                } else {
                    Point(file, "Location", 10.0 * n, 20, 30);
                }
                std::fprintf(file, "\n        ");
                if (type != 3 && type != CYLINDER)
                    Point(file, type == 1 ? "Direction" : "Normal", 0, 0, 1);
                std::fprintf(file, "\n      </%sFeatureNominal>\n", TYPES[type]);
            } else {
                std::fprintf(file,
                             "      <%sFeatureItem id=\"%ld\">\n"
                             "        <FeatureNominalId>%ld</FeatureNominalId>\n"
                             "        <FeatureName>%s_%ld</FeatureName>\n"
                             "        <DeterminationMode><Checked/></DeterminationMode>\n"
                             "      </%sFeatureItem>\n",
                             TYPES[type], id + 1, id, PREFIXES[type], n + 1, TYPES[type]);
            }
        }
        std::fprintf(file, "    </%s>\n", section_names[section]);
    }

    std::fprintf(file, "  </Features>\n");
    if (forms)
        Characteristics(file, features);
    std::fprintf(file,
                 "  <Results>\n    <MeasurementResultsSet n=\"1\">\n"
                 "      <MeasurementResults id=\"6\">\n        <MeasuredFeatures n=\"%ld\">\n",
                 features);
    for (long n = 0; n < features; ++n) {
        const int type = type_of(n);
        std::fprintf(file, "          <%sFeatureMeasurement id=\"%ld\">\n            ", TYPES[type],
                     Nominal_Id(n) + 2);
        if (By_Item(n))
            std::fprintf(file, "<FeatureItemId>%ld</FeatureItemId>", Nominal_Id(n) + 1);
        else
            std::fprintf(file, "<FeatureName>%s_%ld</FeatureName>", PREFIXES[type], n + 1);
        std::fprintf(file, "\n            ");
        if (type == CYLINDER) {
            // An axis a few microradians off z, then the diameter.
            const double x = 10.0 * n + random.Next() * 0.001;
            const double y = 20 + random.Next() * 0.001;
            const double z = 30 + random.Next() * 0.001;
            const double i = random.Next() * 1e-5;
            const double j = random.Next() * 1e-5;
            Axis(file, "            ", x, y, z, i, j, 1 - (i * i + j * j) / 2);
            std::fprintf(file, "\n            <Diameter>%.12f</Diameter>",
                         30 + random.Next() * 0.001);
            std::fprintf(file, "\n          </%sFeatureMeasurement>\n", TYPES[type]);
            continue;
        }
        Point(file, "Location", 10.0 * n + random.Next() * 0.001, 20 + random.Next() * 0.001,
              30 + random.Next() * 0.001);
        if (type != 3) {
            // A unit vector a few microradians off the z axis.
            const double i = random.Next() * 1e-5;
            const double j = random.Next() * 1e-5;
            std::fprintf(file, "\n            ");
            Point(file, type == 1 ? "Direction" : "Normal", i, j, 1 - (i * i + j * j) / 2);
        }
        if (type >= 2)
            std::fprintf(file, "\n            <Diameter>%.12f</Diameter>",
                         (type == 2 ? 10 : 20) + random.Next() * 0.001);
        std::fprintf(file, "\n          </%sFeatureMeasurement>\n", TYPES[type]);
    }
    std::fprintf(file, "        </MeasuredFeatures>\n");
    if (forms) {
        std::fprintf(file,
                     "        <MeasuredCharacteristics>\n"
                     "          <CharacteristicMeasurements n=\"%ld\">\n",
                     features);
        for (long n = 0; n < features; ++n) {
            const int type = type_of(n);
            std::fprintf(file,
                         "            <%sCharacteristicMeasurement id=\"%ld\">\n"
                         "              <Status><CharacteristicStatusEnum>PASS"
                         "</CharacteristicStatusEnum></Status>\n"
                         "              <CharacteristicItemId>%ld</CharacteristicItemId>\n"
                         "              <FeatureMeasurementIds n=\"1\"><Id>%ld</Id>"
                         "</FeatureMeasurementIds>\n"
                         "              <Value>%.12f</Value>\n"
                         "            </%sCharacteristicMeasurement>\n",
                         FORMS[type], Forms_Id(features) + 15 + n, Forms_Id(features) + 10 + type,
                         Nominal_Id(n) + 2, 0.002 + 0.001 * random.Next(), FORMS[type]);
        }
        std::fprintf(file, "          </CharacteristicMeasurements>\n"
                           "        </MeasuredCharacteristics>\n");
    }
    std::fprintf(file,
                 "        <InspectionStatus><InspectionStatusEnum>"
                 "PASS</InspectionStatusEnum></InspectionStatus>\n      </MeasurementResults>\n"
                 "    </MeasurementResultsSet>\n  </Results>\n</QIFDocument>\n");
    if (std::fclose(file) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
