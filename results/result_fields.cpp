#include "results/result_fields.h"

#include "core/message_number.h"
#include "results/number_resolution.h"

#include <cmath>

bool Computable(double value)
{
    return std::fabs(value) <= LARGEST_RESULT_NUMBER;
}

QString Too_Large(const char *unit)
{
    return QStringLiteral("too large to compute with (more than %1%2)")
        .arg(Message_Number(LARGEST_RESULT_NUMBER), QLatin1String(unit));
}

bool Read_Result_Number(const TResultNumber &number, double factor, int line_number,
                        TResultsCollector &collector, double &value, double &resolution)
{
    value = 0;
    resolution = 0;
    const QString which =
        QStringLiteral("field %1 \"%2\"").arg(number.field_number).arg(QLatin1String(number.name));
    if (Is_Empty(number.field)) {
        collector.Warn(line_number, which + QLatin1String(" is empty"));
        return false;
    }
    double read = 0;
    if (!Read_Real(number.field, read)) {
        collector.Warn(line_number, which + QLatin1String(" does not read as a number: ") +
                                        Quoted(number.field));
        return false;
    }
    const double scale = number.length || number.angle ? factor : 1.0;
    read *= scale;
    if (!Computable(read)) {
        const char *unit = number.angle ? " radians" : number.length ? " millimetres" : "";
        collector.Warn(line_number, which + QStringLiteral(" is ") + Too_Large(unit) +
                                        QStringLiteral(": ") + Quoted(number.field));
        return false;
    }
    value = read;
    resolution = Number_Resolution(number.field.begin, number.field.end) * scale;
    return true;
}

bool Usable_Cone_Angle(double radians, const QString &which, int line_number,
                       TResultsCollector &collector)
{
    const double pi = 180 * RADIANS_PER_DEGREE;
    if (radians > 0 && radians < pi) {
        return true;
    }
    collector.Warn(line_number, which + QStringLiteral(": an included angle of %1 degrees is no "
                                                       "cone's (above 0, below 180 degrees); the "
                                                       "result cannot be used")
                                            .arg(Message_Number(radians / RADIANS_PER_DEGREE)));
    return false;
}

const char *Type_Name(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
        return "a plane";
    case TFeatureType::LINE:
        return "a line";
    case TFeatureType::CIRCLE:
        return "a circle";
    case TFeatureType::SPHERE:
        return "a sphere";
    case TFeatureType::CYLINDER:
        return "a cylinder";
    case TFeatureType::CONE:
        return "a cone";
    case TFeatureType::TORUS:
        return "a torus";
    }
    return "a feature";
}
