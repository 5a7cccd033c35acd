#pragma once

#include <QByteArray>
#include <QString>

// A length unit a QIF document declares in FileUnits (its PrimaryUnits or
// OtherUnits LinearUnit), as written.
struct TQifLinearUnit
{
    int line_number = 0; // of its LinearUnit element
    QString name;        // UnitName, white space collapsed
    bool has_factor = false;
    QByteArray factor; // UnitConversion/Factor: metres per unit
    bool has_offset = false;
    QByteArray offset; // UnitConversion/Offset: added before the factor applies
};

// How a length in the unit becomes millimetres: a location (value + offset)
// * millimetres; a diameter or any other difference of positions value *
// millimetres, the offset cancelling out.
struct TLengthConversion
{
    double millimetres = 1000; // metres, as QIF defines for a file without units
    double offset = 0;
};

// The conversion by the unit's Factor when it has one, else by its name when
// that is one of mm, millimeter, millimetre, cm, m, meter, metre, in, inch,
// ft, foot, feet (any case). False, with the reason, for a factor or offset
// that is not a number (or a factor not above 0) and for an unknown name
// without a factor.
bool Length_Conversion(const TQifLinearUnit &unit, TLengthConversion &conversion, QString &reason);

// Radians per unit of an angular unit a QIF document declares (its
// AngularUnit, held in the same form): by its Factor (radians per unit) when
// it has one, a factor that is pi/180 or 1 to the decimals it is written
// with taken as exactly that; else by its name when that is degree,
// degrees, deg, radian, radians or rad (any case). An Offset is not applied:
// an included angle is a difference of directions. False, with the reason,
// for a factor that is not a number above 0 and for an unknown name
// without a factor.
bool Angle_Conversion(const TQifLinearUnit &unit, double &radians_per_unit, QString &reason);
