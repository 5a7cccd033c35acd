#include "results/qif_units.h"

#include "results/number_resolution.h"
#include "results/results_text.h"

#include <cmath>

namespace {

TField Field_Of(const QByteArray &text)
{
    return TField{text.constData(), text.constData() + text.size()};
}

// The number of the text times 10^shift, rounded once from the decimal
// value (metres to millimetres exactly: "0.0254" gives 25.4, not the
// product of two roundings).
bool Read_Shifted(const QByteArray &text, int shift, double &value)
{
    if (!Read_Real(Field_Of(text), value)) {
        return false;
    }
    int at = text.indexOf('e');
    if (at < 0) {
        at = text.indexOf('E');
    }
    // The exponent read as a double is exact for any exponent that leaves
    // the number within a double's range.
    double exponent = 0;
    if (at >= 0 && !Read_Real(Field_Of(text.mid(at + 1)), exponent)) {
        return false;
    }
    const QByteArray shifted =
        (at < 0 ? text : text.left(at)) + "e" + QByteArray::number(exponent + shift, 'f', 0);
    return Read_Real(Field_Of(shifted), value);
}

const struct
{
    const char *name;
    double millimetres;
} KNOWN_UNITS[] = {{"mm", 1},      {"millimeter", 1}, {"millimetre", 1}, {"cm", 10},
                   {"m", 1000},    {"meter", 1000},   {"metre", 1000},   {"in", 25.4},
                   {"inch", 25.4}, {"ft", 304.8},     {"foot", 304.8},   {"feet", 304.8}};

} // namespace

bool Length_Conversion(const TQifLinearUnit &unit, TLengthConversion &conversion, QString &reason)
{
    conversion = TLengthConversion();
    const QString quoted_name = Quoted(unit.name);
    if (unit.has_offset) {
        const QByteArray offset = unit.offset.trimmed();
        if (!Read_Real(Field_Of(offset), conversion.offset)) {
            reason = QStringLiteral("the Offset %1 of the length unit %2 is not a number")
                         .arg(Quoted(Field_Of(offset)), quoted_name);
            return false;
        }
    }
    if (unit.has_factor) {
        const QByteArray factor = unit.factor.trimmed();
        double millimetres = 0;
        if (!Read_Shifted(factor, 3, millimetres) || !(millimetres > 0) ||
            !std::isfinite(millimetres)) {
            reason = QStringLiteral("the Factor %1 of the length unit %2 is not a number of "
                                    "metres above 0")
                         .arg(Quoted(Field_Of(factor)), quoted_name);
            return false;
        }
        conversion.millimetres = millimetres;
        return true;
    }
    for (const auto &known : KNOWN_UNITS) {
        if (unit.name.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0) {
            conversion.millimetres = known.millimetres;
            return true;
        }
    }
    reason = QStringLiteral("the length unit %1 has no UnitConversion Factor and is not one of mm, "
                            "millimeter, millimetre, cm, m, meter, metre, in, inch, ft, foot, feet")
                 .arg(quoted_name);
    return false;
}

bool Angle_Conversion(const TQifLinearUnit &unit, double &radians_per_unit, QString &reason)
{
    const double radians_per_degree = 3.14159265358979323846 / 180;
    const QString quoted_name = Quoted(unit.name);
    if (unit.has_factor) {
        const QByteArray factor = unit.factor.trimmed();
        const TField field = Field_Of(factor);
        double value = 0;
        if (!Read_Real(field, value) || !(value > 0) || !std::isfinite(value)) {
            reason = QStringLiteral("the Factor %1 of the angular unit %2 is not a number of "
                                    "radians above 0")
                         .arg(Quoted(field), quoted_name);
            return false;
        }
        // Writers give pi/180 to 9 or 15 decimals; it stands for pi/180
        // itself, not for an angle a few parts in 10^9 off.
        const double known = Number_Resolution(field.begin, field.end);
        radians_per_unit = std::fabs(value - radians_per_degree) <= known ? radians_per_degree
                           : std::fabs(value - 1) <= known                ? 1.0
                                                                          : value;
        return true;
    }
    static const struct
    {
        const char *name;
        double radians;
    } known_units[] = {{"degree", radians_per_degree},
                       {"degrees", radians_per_degree},
                       {"deg", radians_per_degree},
                       {"radian", 1},
                       {"radians", 1},
                       {"rad", 1}};
    for (const auto &known : known_units) {
        if (unit.name.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0) {
            radians_per_unit = known.radians;
            return true;
        }
    }
    reason = QStringLiteral("the angular unit %1 has no UnitConversion Factor and is not one of "
                            "degree, degrees, deg, radian, radians, rad")
                 .arg(quoted_name);
    return false;
}
