#include "grading/number_resolution.h"

#include "validation/validation_fields.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace {

inline bool Is_Digit(char c)
{
    return c >= '0' && c <= '9';
}

// Beyond this an exponent says nothing more: the resolution is 0 or infinite.
const long long EXPONENT_LIMIT = 1000000000000LL;

} // namespace

double Number_Resolution(const char *begin, const char *end)
{
    const char *p = begin;
    if (p != end && (*p == '+' || *p == '-')) {
        ++p;
    }
    const char *integer_end = Skip_Digits(p, end);
    long long digits = integer_end - p;
    p = integer_end;
    bool point = false;
    long long decimals = 0;
    if (p != end && *p == '.') {
        point = true;
        const char *fraction_end = Skip_Digits(p + 1, end);
        decimals = fraction_end - (p + 1);
        digits += decimals;
        p = fraction_end;
    }
    if (digits == 0) {
        return 0;
    }
    long long exponent = 0;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p != end && (*p == '+' || *p == '-')) {
            negative = *p == '-';
            ++p;
        }
        const char *exponent_begin = p;
        for (; p != end && Is_Digit(*p); ++p) {
            if (exponent < EXPONENT_LIMIT) {
                exponent = exponent * 10 + (*p - '0');
            }
        }
        if (p == exponent_begin) {
            return 0;
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    if (p != end || !point) {
        return 0;
    }
    // Half a unit in the last place, 0.5 * 10^(exponent - decimals), read as
    // the text 5e(exponent - decimals - 1) so that it is the double nearest
    // to the decimal value, as the same number written out would read.
    const long long power = exponent - decimals - 1;
    if (power > 400) {
        return std::numeric_limits<double>::infinity();
    }
    if (power < -400) {
        return 0;
    }
    char text[16];
    const int length = std::snprintf(text, sizeof text, "5e%lld", power);
    double resolution = 0;
    const std::from_chars_result read = std::from_chars(text, text + length, resolution);
    if (read.ec != std::errc()) {
        return power > 0 ? std::numeric_limits<double>::infinity() : 0;
    }
    return resolution;
}
