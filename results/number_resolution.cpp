#include "results/number_resolution.h"

#include "validation/validation_fields.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

inline bool Is_Digit(char c)
{
    return c >= '0' && c <= '9';
}

// Beyond this an exponent says nothing more: the resolution is 0 or infinite.
const long long EXPONENT_LIMIT = 1000000000000LL;

const int SMALLEST_POWER = -400;
const int LARGEST_POWER = 400;

// The double nearest to 5 * 10^power, read from the text "5e<power>" so
// that it is what the same number written out would read as.
double Read_Half_Unit(int power)
{
    char text[16];
    const int length = std::snprintf(text, sizeof text, "5e%d", power);
    double resolution = 0;
    const std::from_chars_result read = std::from_chars(text, text + length, resolution);
    if (read.ec != std::errc()) {
        return power > 0 ? std::numeric_limits<double>::infinity() : 0;
    }
    return resolution;
}

// Half a unit in the place 10^(power + 1). Every number read asks for one,
// so they are read once.
double Half_Unit(long long power)
{
    if (power > LARGEST_POWER) {
        return std::numeric_limits<double>::infinity();
    }
    if (power < SMALLEST_POWER) {
        return 0;
    }
    static const std::vector<double> half_units = [] {
        std::vector<double> values;
        for (int p = SMALLEST_POWER; p <= LARGEST_POWER; ++p) {
            values.push_back(Read_Half_Unit(p));
        }
        return values;
    }();
    return half_units[static_cast<size_t>(power - SMALLEST_POWER)];
}

// The parts of a number as Number_Resolution reads it.
struct TNumberText
{
    const char *integer;  // first digit before the point
    const char *point;    // the point, or the end of the integer digits
    const char *fraction; // first digit after the point
    const char *fraction_end;
    bool has_point = false;
    long long exponent = 0;
};

bool Split_Number(const char *begin, const char *end, TNumberText &number)
{
    const char *p = begin;
    if (p != end && (*p == '+' || *p == '-')) {
        ++p;
    }
    number.integer = p;
    p = Skip_Digits(p, end);
    number.point = p;
    number.fraction = p;
    number.fraction_end = p;
    if (p != end && *p == '.') {
        number.has_point = true;
        number.fraction = p + 1;
        number.fraction_end = Skip_Digits(p + 1, end);
        p = number.fraction_end;
    }
    if ((number.point - number.integer) + (number.fraction_end - number.fraction) == 0) {
        return false;
    }
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p != end && (*p == '+' || *p == '-')) {
            negative = *p == '-';
            ++p;
        }
        const char *exponent_begin = p;
        for (; p != end && Is_Digit(*p); ++p) {
            if (number.exponent < EXPONENT_LIMIT) {
                number.exponent = number.exponent * 10 + (*p - '0');
            }
        }
        if (p == exponent_begin) {
            return false;
        }
        if (negative) {
            number.exponent = -number.exponent;
        }
    }
    return p == end;
}

} // namespace

double Decimal_Places_Resolution(long long places)
{
    return Half_Unit(-qMin(places, EXPONENT_LIMIT) - 1);
}

double Significant_Figures_Resolution(const char *begin, const char *end, long long figures)
{
    TNumberText number;
    if (!Split_Number(begin, end, number)) {
        return -1;
    }
    // The power of ten of the first digit that is not 0.
    long long first = 0;
    const char *p = number.integer;
    while (p != number.point && *p == '0') {
        ++p;
    }
    if (p != number.point) {
        first = (number.point - p) - 1;
    } else {
        p = number.fraction;
        while (p != number.fraction_end && *p == '0') {
            ++p;
        }
        if (p == number.fraction_end) {
            return -1;
        }
        first = -(p - number.fraction) - 1;
    }
    return Half_Unit(first + number.exponent - qMin(figures, EXPONENT_LIMIT));
}

double Number_Resolution(const char *begin, const char *end)
{
    TNumberText number;
    if (!Split_Number(begin, end, number) || !number.has_point) {
        return 0;
    }
    // Half a unit in the last place, 0.5 * 10^(exponent - decimals).
    return Half_Unit(number.exponent - (number.fraction_end - number.fraction) - 1);
}
