#include "validation/validation_fields.h"

#include <charconv>
#include <cstring>

namespace {

inline bool Is_Digit(char c)
{
    return c >= '0' && c <= '9';
}

// Plain decimals of at most 15 digits and no exponent, the usual field: the
// digits and the power of ten are both exact doubles, so one division is
// correctly rounded. False for anything else, which takes the full road.
bool Read_Short_Decimal(const TField &field, double &value)
{
    static const double powers[16] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char *p = field.begin;
    const bool negative = p != field.end && *p == '-';
    if (p != field.end && (*p == '-' || *p == '+')) {
        ++p;
    }
    unsigned long long mantissa = 0;
    int digits = 0;
    int decimals = 0;
    while (p != field.end && Is_Digit(*p) && digits < 16) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
        ++digits;
    }
    if (p != field.end && *p == '.') {
        ++p;
        while (p != field.end && Is_Digit(*p) && digits < 16) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
            ++digits;
            ++decimals;
        }
    }
    if (p != field.end || digits == 0 || digits > 15) {
        return false;
    }
    const double magnitude = static_cast<double>(mantissa) / powers[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

const char *Skip_Digits(const char *p, const char *end)
{
    while (p != end && Is_Digit(*p)) {
        ++p;
    }
    return p;
}

int Split_Fields(const char *begin, const char *end, TField *fields, int max_fields)
{
    int count = 0;
    const char *start = begin;
    for (;;) {
        const char *blank =
            static_cast<const char *>(std::memchr(start, ' ', static_cast<size_t>(end - start)));
        const char *field_end = blank ? blank : end;
        if (count < max_fields) {
            fields[count] = TField{start, field_end};
        }
        ++count;
        if (!blank) {
            return count;
        }
        start = blank + 1;
    }
}

bool Read_Integer(const TField &field, qint32 &value)
{
    value = 0;
    const char *p = field.begin;
    // std::from_chars takes a "-" but no "+".
    if (p != field.end && *p == '+') {
        ++p;
        if (p != field.end && *p == '-') {
            return false;
        }
    }
    const char *digits = p != field.end && *p == '-' ? p + 1 : p;
    if (digits == field.end || Skip_Digits(digits, field.end) != field.end) {
        return false;
    }
    qint32 result = 0;
    const std::from_chars_result read = std::from_chars(p, field.end, result);
    if (read.ec != std::errc() || read.ptr != field.end) {
        return false;
    }
    value = result;
    return true;
}

bool Read_Real(const TField &field, double &value)
{
    if (Read_Short_Decimal(field, value)) {
        return true;
    }
    value = 0;
    const char *number = field.begin;
    if (number != field.end && *number == '+') {
        ++number;
    }
    // Check the grammar first: std::from_chars would also take "nan",
    // "inf" and "infinity".
    const char *p =
        number != field.end && *number == '-' && number == field.begin ? number + 1 : number;
    const char *integer_end = Skip_Digits(p, field.end);
    int digits = static_cast<int>(integer_end - p);
    p = integer_end;
    if (p != field.end && *p == '.') {
        const char *fraction_end = Skip_Digits(p + 1, field.end);
        digits += static_cast<int>(fraction_end - p - 1);
        p = fraction_end;
    }
    if (digits == 0) {
        return false;
    }
    if (p != field.end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p != field.end && (*p == '+' || *p == '-')) {
            ++p;
        }
        const char *exponent_end = Skip_Digits(p, field.end);
        if (exponent_end == p) {
            return false;
        }
        p = exponent_end;
    }
    if (p != field.end) {
        return false;
    }
    double result = 0;
    const std::from_chars_result read = std::from_chars(number, field.end, result);
    // Beyond the range of a double, in either direction.
    if (read.ec != std::errc() || read.ptr != field.end) {
        return false;
    }
    value = result;
    return true;
}
