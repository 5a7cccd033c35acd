#pragma once

#include <QByteArray>

// What a number under test is known to: half a unit in its last written
// decimal place, scaled by its exponent ("12.3457" gives 0.00005,
// "1.25e-3" gives 0.000005). A number written without a decimal point is
// taken as exact and gives 0. The text is one field as written, without
// surrounding blanks; a text that is not a number gives 0 as well.
double Number_Resolution(const char *begin, const char *end);
inline double Number_Resolution(const QByteArray &text)
{
    return Number_Resolution(text.constData(), text.constData() + text.size());
}

// What a number is known to when a format states it rather than its text
// (QIF's decimalPlaces and significantFigures). Half a unit in the given
// decimal place: 3 gives 0.0005.
double Decimal_Places_Resolution(long long places);

// Half a unit in the last of the given significant figures of the number as
// written: "12.3457" with 3 figures gives 0.05, "0.00120" with 2 gives
// 0.00005. -1 for a text that is not a number as Number_Resolution reads it,
// and for zero, which has no significant figures.
double Significant_Figures_Resolution(const char *begin, const char *end, long long figures);
