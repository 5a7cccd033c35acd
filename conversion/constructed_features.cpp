#include "conversion/number_format.h"
#include "conversion/validation_converter.h"

namespace {

enum TNominalValues
{
    POSITION_AND_DIRECTION,
    POSITION_DIRECTION_AND_DIAMETER,
    POSITION_AND_DIAMETER
};

struct TConstructedType
{
    const char *nominal_head; // up to the first value
    TNominalValues values;
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
        if (type.values != POSITION_AND_DIAMETER) {
            nominal += QLatin1Char(',');
            Append_Fixed(nominal, feature.ijk, 9);
        }
        if (type.values != POSITION_AND_DIRECTION) {
            nominal += QLatin1Char(',');
            Append_Fixed(nominal, feature.diameter, 6);
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
    Create_Constructed(*this, {")=FEAT/PLANE,CART,", POSITION_AND_DIRECTION, "", "CONST/PLANE,F("});
}

void TValidationConverter::Create_Constructed_Lines()
{
    Create_Constructed(*this, {")=FEAT/LINE,UNBND,CART,", POSITION_AND_DIRECTION,
                               ",0.000000000,0.000000000,1.000000000", "CONST/LINE,F("});
}

void TValidationConverter::Create_Constructed_Circles()
{
    Create_Constructed(*this, {")=FEAT/CIRCLE,INNER,CART,", POSITION_DIRECTION_AND_DIAMETER, "",
                               "CONST/CIRCLE,F("});
}

void TValidationConverter::Create_Constructed_Spheres()
{
    Create_Constructed(*this,
                       {")=FEAT/SPHERE,OUTER,CART,", POSITION_AND_DIAMETER, "", "CONST/SPHERE,F("});
}
