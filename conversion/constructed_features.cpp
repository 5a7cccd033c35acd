#include "conversion/number_format.h"
#include "conversion/validation_converter.h"

namespace {

// What a nominal holds after its position and, where it has one, its
// direction.
enum TNominalSize
{
    NO_SIZE,
    DIAMETER,
    APEX_ANGLE,
    MAJOR_AND_MINOR_DIAMETER
};

struct TConstructedType
{
    const char *nominal_head; // up to the first value
    bool has_direction;
    TNominalSize size;
    const char *nominal_tail; // after the last value
    const char *construction_head;
};

// The first line of a construction holds the head and 5 references, every
// further line 7: the counter starts at 2 so that both break at 7.
constexpr int FIRST_REFERENCE_COUNT = 2;
constexpr int REFERENCES_LINE_END = 7;

void Append_Fixed(QString &line, double value, int precision)
{
    char buffer[MAX_FIXED_LENGTH];
    line += QLatin1String(buffer, static_cast<int>(Write_Fixed(buffer, value, precision) - buffer));
}

void Append_Fixed(QString &line, const TVector3 &vector, int precision)
{
    Append_Fixed(line, vector.x, precision);
    line += QLatin1Char(',');
    Append_Fixed(line, vector.y, precision);
    line += QLatin1Char(',');
    Append_Fixed(line, vector.z, precision);
}

} // namespace

// Nominal and best-fit construction of every collected feature; each record
// is taken as the given type, whatever it was read as.
static void Create_Constructed(TValidationConverter &converter, const TConstructedType &type)
{
    QString statement;
    for (const TValidationConverter::TConstructionFeatures &feature :
         converter.construction_features) {
        converter.Add_Text(QLatin1String("$$"));

        QString nominal = QStringLiteral("F(");
        nominal += feature.name;
        nominal += QLatin1String(type.nominal_head);
        Append_Fixed(nominal, feature.xyz, 6);
        if (type.has_direction) {
            nominal += QLatin1Char(',');
            Append_Fixed(nominal, feature.ijk, 9);
        }
        switch (type.size) {
        case NO_SIZE:
            break;
        case DIAMETER:
            nominal += QLatin1Char(',');
            Append_Fixed(nominal, feature.diameter, 6);
            break;
        case APEX_ANGLE:
            nominal += QLatin1Char(',');
            Append_Fixed(nominal, feature.apex_angle, 6);
            break;
        case MAJOR_AND_MINOR_DIAMETER:
            nominal += QLatin1Char(',');
            Append_Fixed(nominal, feature.diameter, 6);
            nominal += QLatin1Char(',');
            Append_Fixed(nominal, feature.minor_diameter, 6);
            break;
        }
        nominal += QLatin1String(type.nominal_tail);
        converter.Add_Text(nominal);

        statement.resize(0);
        statement += QLatin1String(type.construction_head);
        statement += feature.name;
        statement += QLatin1String("),BF");
        int counter = FIRST_REFERENCE_COUNT;
        const size_t count = feature.point_names.size();
        for (size_t i = 0; i < count; ++i) {
            statement += QLatin1String(",FA(");
            statement += feature.point_names[i];
            statement += QLatin1Char(')');
            ++counter;
            if (i + 1 == count) {
                break;
            }
            if (counter == REFERENCES_LINE_END) {
                statement += QLatin1Char('$');
                converter.Add_Text(statement);
                statement.resize(0);
                counter = 0;
            }
        }
        converter.Add_Text(statement);
    }
}

void TValidationConverter::Create_Constructed_Planes()
{
    Create_Constructed(*this, {")=FEAT/PLANE,CART,", true, NO_SIZE, "", "CONST/PLANE,F("});
}

void TValidationConverter::Create_Constructed_Lines()
{
    Create_Constructed(*this, {")=FEAT/LINE,UNBND,CART,", true, NO_SIZE,
                               ",0.000000000,0.000000000,1.000000000", "CONST/LINE,F("});
}

void TValidationConverter::Create_Constructed_Circles()
{
    Create_Constructed(*this, {")=FEAT/CIRCLE,INNER,CART,", true, DIAMETER, "", "CONST/CIRCLE,F("});
}

void TValidationConverter::Create_Constructed_Spheres()
{
    Create_Constructed(*this,
                       {")=FEAT/SPHERE,OUTER,CART,", false, DIAMETER, "", "CONST/SPHERE,F("});
}

void TValidationConverter::Create_Constructed_Cylinders()
{
    Create_Constructed(*this, {")=FEAT/CYLNDR,INNER,CART,", true, DIAMETER, "", "CONST/CYLNDR,F("});
}

// The record's position is the cone's apex, where DMIS places a cone.
void TValidationConverter::Create_Constructed_Cones()
{
    Create_Constructed(*this, {")=FEAT/CONE,INNER,CART,", true, APEX_ANGLE, "", "CONST/CONE,F("});
}

void TValidationConverter::Create_Constructed_Tori()
{
    Create_Constructed(
        *this, {")=FEAT/TORUS,INNER,CART,", true, MAJOR_AND_MINOR_DIAMETER, "", "CONST/TORUS,F("});
}
