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
    // "CYLNDR": the element as GEOALG names it.
    const char *element;
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

// "MINMAX": the association GEOALG selects for a minimax criterion; null for
// least squares, the software's default.
const char *Association(const TValidationType *file_type)
{
    if (!file_type) {
        return nullptr;
    }
    switch (file_type->criterion) {
    case TCriterion::LEAST_SQUARES:
        break;
    case TCriterion::MINIMUM_ZONE:
        return "MINMAX";
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        return "MINCIR";
    case TCriterion::MAXIMUM_INSCRIBED:
        return "MAXINS";
    }
    return nullptr;
}

} // namespace

const char *TValidationConverter::Form_Tolerance() const
{
    if (!file_type || file_type->criterion != TCriterion::MINIMUM_ZONE) {
        return nullptr;
    }
    switch (file_type->type) {
    case TFeatureType::LINE:
        return "TOL/STRGHT";
    case TFeatureType::PLANE:
        return "TOL/FLAT";
    case TFeatureType::CIRCLE:
        return "TOL/CIRLTY";
    case TFeatureType::CYLINDER:
        return "TOL/CYLCTY";
    default:
        return nullptr;
    }
}

// Nominal and best-fit construction of every collected feature; each record
// is taken as the given type, whatever it was read as.
static void Create_Constructed(TValidationConverter &converter, const TConstructedType &type)
{
    const char *association = Association(converter.file_type);
    if (association && !converter.construction_features.empty()) {
        converter.Add_Text(QStringLiteral("GEOALG/%1,%2")
                               .arg(QLatin1String(type.element), QLatin1String(association)));
    }
    const char *form_tolerance = converter.Form_Tolerance();
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
        if (converter.file_type && converter.file_type->plane_normal_field) {
            nominal += QLatin1Char(',');
            Append_Fixed(nominal, feature.plane_normal, 9);
        } else {
            nominal += QLatin1String(type.nominal_tail);
        }
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

        if (form_tolerance) {
            statement = QStringLiteral("T(FORM_");
            statement += feature.name;
            statement += QLatin1String(")=");
            statement += QLatin1String(form_tolerance);
            statement += QLatin1Char(',');
            Append_Fixed(statement, feature.form, 6);
            converter.Add_Text(statement);
        }
    }
}

void TValidationConverter::Create_Constructed_Planes()
{
    Create_Constructed(*this, {")=FEAT/PLANE,CART,", true, NO_SIZE, "", "CONST/PLANE,F(", "PLANE"});
}

void TValidationConverter::Create_Constructed_Lines()
{
    Create_Constructed(*this, {")=FEAT/LINE,UNBND,CART,", true, NO_SIZE,
                               ",0.000000000,0.000000000,1.000000000", "CONST/LINE,F(", "LINE"});
}

void TValidationConverter::Create_Constructed_Circles()
{
    Create_Constructed(
        *this, {")=FEAT/CIRCLE,INNER,CART,", true, DIAMETER, "", "CONST/CIRCLE,F(", "CIRCLE"});
}

void TValidationConverter::Create_Constructed_Spheres()
{
    Create_Constructed(
        *this, {")=FEAT/SPHERE,OUTER,CART,", false, DIAMETER, "", "CONST/SPHERE,F(", "SPHERE"});
}

void TValidationConverter::Create_Constructed_Cylinders()
{
    Create_Constructed(
        *this, {")=FEAT/CYLNDR,INNER,CART,", true, DIAMETER, "", "CONST/CYLNDR,F(", "CYLNDR"});
}

// The record's position is the cone's apex, where DMIS places a cone.
void TValidationConverter::Create_Constructed_Cones()
{
    Create_Constructed(*this,
                       {")=FEAT/CONE,INNER,CART,", true, APEX_ANGLE, "", "CONST/CONE,F(", "CONE"});
}

void TValidationConverter::Create_Constructed_Tori()
{
    Create_Constructed(*this, {")=FEAT/TORUS,INNER,CART,", true, MAJOR_AND_MINOR_DIAMETER, "",
                               "CONST/TORUS,F(", "TORUS"});
}
