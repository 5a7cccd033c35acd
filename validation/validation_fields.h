#pragma once

#include <QtGlobal>

// Fields of a normalised line and how they read as numbers. A field that
// does not read reads as 0; the functions say whether it did read.

struct TField
{
    const char *begin;
    const char *end;
};

// Splits at every blank, keeping empty pieces as QString::split(' ') does,
// so an empty text is one empty field. Stores at most max_fields fields and
// returns how many there are in all.
int Split_Fields(const char *begin, const char *end, TField *fields, int max_fields);

// The first character from p on that is not a decimal digit.
const char *Skip_Digits(const char *p, const char *end);

// Optional sign and decimal digits, within the range of a 32-bit integer.
bool Read_Integer(const TField &field, qint32 &value);

// Optional sign, digits with "." as the decimal point, optional exponent,
// within the range of a double. "nan", "inf", hexadecimal and decimal commas
// do not read, so no program ever carries such a value.
bool Read_Real(const TField &field, double &value);
