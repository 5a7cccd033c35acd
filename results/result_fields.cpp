#include "results/result_fields.h"

#include "results/number_resolution.h"

#include <cmath>

bool Read_Result_Number(const TResultNumber &number, double millimetres_per_unit, int line_number,
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
    const double factor = number.length ? millimetres_per_unit : 1.0;
    read *= factor;
    if (!std::isfinite(read)) {
        collector.Warn(line_number, which +
                                        QLatin1String(" is beyond the range of a number in "
                                                      "millimetres: ") +
                                        Quoted(number.field));
        return false;
    }
    value = read;
    resolution = Number_Resolution(number.field.begin, number.field.end) * factor;
    return true;
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
    }
    return "a feature";
}
