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
