#pragma once

#include <QString>
#include <QtGlobal>

// How Tessaline's programs read a number given on the command line, one rule
// for every numeric option: a plain decimal number with "." as its decimal
// point and an optional exponent ("50", "0.001", ".5", "-2", "1e-4",
// "2.5E+3"), blanks around it ignored. Whatever the locale, nothing else
// reads: not a decimal comma ("0,001" must not become 1, nor 1000 µm an
// MPE), digit groups, blanks inside, "inf", "nan", hexadecimal or the digits
// of other scripts.

// Reads the value given to --option (named without its dashes). Empty when
// it reads; otherwise the usage error, naming the option and the text, with
// the way to write it where a comma stands for the point:
// "--size-mpe: '0,001' is not a number (write 0.001)". A number beyond the
// range of a double ("1e999", "1e-999") does not read either.
QString Read_Number_Option(const QString &option, const QString &text, double &value);

// The same for a whole number ("25", "1e6", "3.0" read; "2.5" does not).
// Whole numbers up to 2^53 read exactly; larger ones as the nearest double,
// and those beyond the range of qint64 as its nearer end: beyond the range of
// every option all the same.
QString Read_Whole_Number_Option(const QString &option, const QString &text, qint64 &value);

// The usage error of a value out of its range, in the same style:
// "--seed: from 0 to 9007199254740991".
QString Range_Problem(const QString &option, const QString &range);
