// Times the number reading and writing of the conversion against candidate
// fast paths, on every field of a validation file, and checks that each
// candidate gives exactly the same result:
//   tessaline-bench-numbers FILE.dat
// The candidates are proposals for conversion/: not used by the program.

#include "conversion/number_format.h"
#include "conversion/validation_fields.h"

#include <QFile>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Fixed-point text by scaling to an integer. When value * 10^precision is
// below 2^43 its rounding error is under 2^-11, so unless the fraction lies
// within 2^-9 of one half the nearest integer is the correctly rounded
// result; ties, near-ties, zero (whose sign Qt drops) and large values take
// the exact road.
char *Candidate_Fixed(char *out, double value, int precision)
{
    static const double powers[10] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scaled = value * powers[precision];
    if (!(std::fabs(scaled) < 0x1p43)) {
        return Write_Fixed(out, value, precision);
    }
    const double nearest = std::nearbyint(scaled);
    if (std::fabs(scaled - nearest) > 0.5 - 0x1p-9 || nearest == 0) {
        return Write_Fixed(out, value, precision);
    }
    unsigned long long n = static_cast<unsigned long long>(std::fabs(nearest));
    if (nearest < 0) {
        *out++ = '-';
    }
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

// Decimal fields of at most 15 significant digits and no exponent: the
// mantissa and the power of ten are both exact doubles, so one division is
// correctly rounded. Everything else takes the exact road.
bool Candidate_Real(const TField &field, double &value)
{
    static const double powers[16] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char *p = field.begin;
    bool negative = false;
    if (p != field.end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    unsigned long long mantissa = 0;
    int digits = 0;
    int decimals = 0;
    while (p != field.end && *p >= '0' && *p <= '9' && digits < 16) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
        ++digits;
    }
    if (p != field.end && *p == '.') {
        ++p;
        while (p != field.end && *p >= '0' && *p <= '9' && digits < 16) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
            ++digits;
            ++decimals;
        }
    }
    if (p != field.end || digits == 0 || digits > 15 || (negative && field.begin[0] == '+')) {
        return Read_Real(field, value);
    }
    const double magnitude = static_cast<double>(mantissa) / powers[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaline-bench-numbers FILE.dat\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray content = file.readAll();

    // Every blank-separated field of every line that is not a comment.
    std::vector<TField> fields;
    const char *data = content.constData();
    const char *const end = data + content.size();
    while (data < end) {
        const char *line_end = static_cast<const char *>(std::memchr(data, '\n', end - data));
        if (!line_end) {
            line_end = end;
        }
        if (*data != '#') {
            const char *start = data;
            for (const char *p = data; p <= line_end; ++p) {
                if (p == line_end || *p == ' ') {
                    if (p > start) {
                        fields.push_back(TField{start, p});
                    }
                    start = p + 1;
                }
            }
        }
        data = line_end + 1;
    }

    std::vector<double> values(fields.size());
    std::vector<double> candidates(fields.size());
    auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < fields.size(); ++i) {
        Read_Real(fields[i], values[i]);
    }
    const double read_now = Seconds(start);
    start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < fields.size(); ++i) {
        Candidate_Real(fields[i], candidates[i]);
    }
    const double read_candidate = Seconds(start);
    size_t read_differences = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        read_differences += std::memcmp(&values[i], &candidates[i], sizeof(double)) != 0;
    }

    char now[MAX_FIXED_LENGTH];
    char candidate[MAX_FIXED_LENGTH];
    size_t characters = 0;
    start = std::chrono::steady_clock::now();
    for (const double value : values) {
        characters += static_cast<size_t>(Write_Fixed(now, value, 6) - now);
    }
    const double write_now = Seconds(start);
    start = std::chrono::steady_clock::now();
    for (const double value : values) {
        characters -= static_cast<size_t>(Candidate_Fixed(candidate, value, 6) - candidate);
    }
    const double write_candidate = Seconds(start);

    // Same text for the file's values and for a sweep through the ties.
    size_t write_differences = characters != 0;
    size_t compared = 0;
    auto compare = [&](double value, int precision) {
        const char *a = Write_Fixed(now, value, precision);
        const char *b = Candidate_Fixed(candidate, value, precision);
        write_differences += a - now != b - candidate || std::memcmp(now, candidate, a - now) != 0;
        ++compared;
    };
    for (const double value : values) {
        compare(value, 6);
        compare(value, 9);
    }
    for (long long i = -5000000; i <= 5000000; ++i) {
        compare(static_cast<double>(i) * 0.5e-6, 6);
        compare(static_cast<double>(i) * 0.5e-9, 9);
        compare(static_cast<double>(i) * 1e-7 * 3.7, 6);
    }

    std::printf("%zu fields\n", fields.size());
    std::printf("  read:  Read_Real   %7.3f s, candidate %7.3f s, %zu differences\n", read_now,
                read_candidate, read_differences);
    std::printf("  write: Write_Fixed %7.3f s, candidate %7.3f s (precision 6), "
                "%zu differences in %zu comparisons\n",
                write_now, write_candidate, write_differences, compared);
    return read_differences || write_differences ? 1 : 0;
}
