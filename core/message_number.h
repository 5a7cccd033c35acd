#pragma once

#include <QString>

// Numbers in the messages of Tessaline's programs, written as a person
// writes them: "45 mm", "0.000366 mm", "1e-7 degrees", never the 17 digits
// of "45.00000000000001".

// As briefly as the value reads back when that takes at most digits
// significant digits ("45", "0.001"), else rounded to that many ("16.6667");
// in fixed notation from 1e-5 to below 1e6, otherwise with an exponent
// ("2.5e-9", "1e20"). Digits from 1 to 17.
QString Message_Number(double value, int digits = 6);

// The same for a bound the value may reach but not pass ("at most 1.24999
// mm"): rounded down where it is rounded, so that the bound as written is
// within the true one.
QString Upper_Bound_Number(double value, int digits = 6);

// The value rounded down to digits significant digits, the number
// Upper_Bound_Number writes.
double Rounded_Down(double value, int digits = 6);
