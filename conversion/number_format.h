#pragma once

#include <QtGlobal>

// Number texts of the DMIS program, written straight into a character buffer
// because a large validation file needs millions of them.

// The decimals of a point's coordinates in the program: what the software
// under test reads, and so what it fits.
constexpr int POINT_DECIMALS = 6;

// Enough room for any finite double in fixed-point notation with up to 9
// decimals: sign, 309 integer digits, the point and the decimals.
constexpr int MAX_FIXED_LENGTH = 330;

// Writes the value in fixed-point notation with the given number of decimals
// (0 to 9) and returns the end of the text. The text is the one Qt's
// QString::arg(value, 0, 'f', precision) gives: "." as the decimal point
// whatever the locale, ties rounded away from zero, no sign for zero.
// Precision 0 to 9.
char *Write_Fixed(char *out, double value, int precision);

// Plain decimal integer with a leading "-" when negative.
char *Write_Integer(char *out, qint32 value);
