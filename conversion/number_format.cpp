#include "conversion/number_format.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Below this magnitude one unit in the last place of a double is smaller
// than 10^-precision, so the shortest text that reads back as the value,
// once it has no more decimals than asked for, is also the correctly
// rounded one and only needs zeros appended.
double Exact_Shortest_Limit(int precision)
{
    // 2^(53 - ceil(precision * log2(10))): precision 6 -> 2^33, 9 -> 2^23.
    static const double limits[10] = {0x1p53, 0x1p49, 0x1p46, 0x1p43, 0x1p39,
                                      0x1p36, 0x1p33, 0x1p29, 0x1p26, 0x1p23};
    return limits[precision];
}

char *Write_Zero(char *out, int precision)
{
    *out++ = '0';
    if (precision > 0) {
        *out++ = '.';
        std::memset(out, '0', static_cast<size_t>(precision));
        out += precision;
    }
    return out;
}

// A tie has exactly precision + 1 decimals, the last one a 5: write them
// all, drop the 5 and round the magnitude up.
char *Write_Tie_Away_From_Zero(char *out, char *limit, double value, int precision)
{
    char *end = std::to_chars(out, limit, value, std::chars_format::fixed, precision + 1).ptr;
    --end;
    if (precision == 0) {
        --end; // the decimal point
    }
    char *digit = end - 1;
    char *const first = out + (*out == '-' ? 1 : 0);
    for (;; --digit) {
        if (*digit == '.') {
            continue;
        }
        if (*digit != '9') {
            ++*digit;
            return end;
        }
        *digit = '0';
        if (digit == first) {
            // 9.95 -> 10.0: one more integer digit.
            std::memmove(first + 1, first, static_cast<size_t>(end - first));
            *first = '1';
            return end + 1;
        }
    }
}

// Most values: value * 10^precision is below 2^43, so its rounding error is
// under 2^-11, and unless its fraction lies within 2^-9 of one half the
// nearest integer is the correctly rounded result. Returns null for the
// rest (ties, near-ties, results that round to zero, large values), which
// take the exact road.
char *Write_Scaled(char *out, double value, int precision)
{
    static const double powers[10] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scaled = value * powers[precision];
    if (!(std::fabs(scaled) < 0x1p43)) {
        return nullptr;
    }
    const double nearest = std::nearbyint(scaled);
    if (std::fabs(scaled - nearest) > 0.5 - 0x1p-9 || nearest == 0) {
        return nullptr;
    }
    if (nearest < 0) {
        *out++ = '-';
    }
    unsigned long long n = static_cast<unsigned long long>(std::fabs(nearest));
    char digits[24];
    int length = 0;
    while (n) {
        digits[length++] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    while (length <= precision) {
        digits[length++] = '0';
    }
    for (int i = length - 1; i >= precision; --i) {
        *out++ = digits[i];
    }
    if (precision > 0) {
        *out++ = '.';
        for (int i = precision - 1; i >= 0; --i) {
            *out++ = digits[i];
        }
    }
    return out;
}

} // namespace

char *Write_Fixed(char *out, double value, int precision)
{
    assert(precision >= 0 && precision <= 9);
    char *const limit = out + MAX_FIXED_LENGTH;

    // Never read from a file; written as Qt writes them should a caller
    // ever pass one.
    if (!std::isfinite(value)) {
        const char *text = std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
        const size_t length = std::strlen(text);
        std::memcpy(out, text, length);
        return out + length;
    }

    // Also catches -0.0, which Qt writes without a sign.
    if (value == 0) {
        return Write_Zero(out, precision);
    }

    if (char *end = Write_Scaled(out, value, precision)) {
        return end;
    }

    if (std::fabs(value) < Exact_Shortest_Limit(precision)) {
        const std::to_chars_result shortest =
            std::to_chars(out, limit, value, std::chars_format::fixed);
        const char *point = static_cast<const char *>(
            std::memchr(out, '.', static_cast<size_t>(shortest.ptr - out)));
        const int decimals = point ? static_cast<int>(shortest.ptr - point - 1) : 0;
        if (decimals <= precision) {
            char *end = shortest.ptr;
            if (!point && precision > 0) {
                *end++ = '.';
            }
            std::memset(end, '0', static_cast<size_t>(precision - decimals));
            return end + (precision - decimals);
        }
    }

    // The value is exactly half way between two results when
    // value * 10^precision has the fraction .5, that is when
    // value * 2^(precision + 1) is an odd integer. std::to_chars rounds such
    // ties to even while Qt rounds them away from zero.
    const double scaled = std::ldexp(value, precision + 1);
    if (std::fabs(scaled) < 0x1p53 && scaled == std::trunc(scaled) && std::fmod(scaled, 2.0) != 0) {
        return Write_Tie_Away_From_Zero(out, limit, value, precision);
    }
    return std::to_chars(out, limit, value, std::chars_format::fixed, precision).ptr;
}

char *Write_Integer(char *out, qint32 value)
{
    return std::to_chars(out, out + 12, value).ptr;
}
