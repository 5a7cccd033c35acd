#include "options/command_line_number.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

// Sign, digits with at most one point among or after them, and an exponent;
// ASCII digits only, which \d is not.
const QRegularExpression &Decimal_Pattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE]([+-]?[0-9]+))?$"));
    return pattern;
}

// Digits in groups of three between commas, as some locales write large
// numbers: "1,000", "12,345.5".
const QRegularExpression &Grouped_Pattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?[1-9][0-9]{0,2}(?:,[0-9]{3})+(?:\\.[0-9]+)?$"));
    return pattern;
}

// Whether the mantissa times ten to the exponent is a whole number, and
// whether it is zero.
struct TWholeness
{
    bool whole;
    bool zero;
};

TWholeness Wholeness(const QString &mantissa, const QString &exponent_text)
{
    const int point = mantissa.indexOf(QLatin1Char('.'));
    QString digits = mantissa;
    int fraction = 0;
    if (point >= 0) {
        digits.remove(point, 1);
        fraction = mantissa.size() - point - 1;
    }
    int zeros = 0;
    while (zeros < digits.size() && digits.at(digits.size() - 1 - zeros) == QLatin1Char('0'))
        ++zeros;
    if (zeros == digits.size())
        return {true, true};
    // An exponent of more digits than this is beyond any double anyway.
    bool ok = false;
    qint64 exponent = exponent_text.isEmpty() ? 0 : exponent_text.toLongLong(&ok);
    if (!exponent_text.isEmpty() && !ok)
        exponent = exponent_text.startsWith(QLatin1Char('-')) ? -1000000 : 1000000;
    return {exponent - fraction + zeros >= 0, false};
}

// How to write a text that a comma keeps from reading, or empty: "0.001"
// for "0,001", "1.000 or 1000" for the "1,000" that means either.
QString Comma_Hint(const QString &text, bool whole)
{
    const bool grouped = Grouped_Pattern().match(text).hasMatch();
    QString without_commas = text;
    without_commas.remove(QLatin1Char(','));
    if (whole)
        return grouped && !text.contains(QLatin1Char('.')) ? without_commas : QString();
    QString with_point = text;
    with_point.replace(QLatin1Char(','), QLatin1Char('.'));
    const bool decimal_comma = text.count(QLatin1Char(',')) == 1 &&
                               !text.contains(QLatin1Char('.')) &&
                               Decimal_Pattern().match(with_point).hasMatch();
    if (decimal_comma && grouped)
        return with_point + QStringLiteral(" or ") + without_commas;
    if (decimal_comma)
        return with_point;
    return grouped ? without_commas : QString();
}

QString Not_A_Number(const QString &option, const QString &text, bool whole)
{
    QString problem =
        QStringLiteral("--%1: '%2' is not a %3")
            .arg(option, text, whole ? QStringLiteral("whole number") : QStringLiteral("number"));
    const QString hint = Comma_Hint(text.trimmed(), whole);
    if (!hint.isEmpty())
        problem += QStringLiteral(" (write %1)").arg(hint);
    return problem;
}

} // namespace

QString Read_Number_Option(const QString &option, const QString &text, double &value)
{
    const QString trimmed = text.trimmed();
    if (!Decimal_Pattern().match(trimmed).hasMatch())
        return Not_A_Number(option, text, false);
    bool ok = false;
    const double read = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(read))
        return QStringLiteral("--%1: '%2' is beyond the range of numbers (1e-308 to 1e308)")
            .arg(option, text);
    value = read;
    return {};
}

QString Read_Whole_Number_Option(const QString &option, const QString &text, qint64 &value)
{
    const QString trimmed = text.trimmed();
    const QRegularExpressionMatch match = Decimal_Pattern().match(trimmed);
    const TWholeness wholeness = match.hasMatch() ? Wholeness(match.captured(1), match.captured(2))
                                                  : TWholeness{false, false};
    if (!wholeness.whole)
        return Not_A_Number(option, text, true);
    if (wholeness.zero) {
        value = 0;
        return {};
    }
    bool ok = false;
    const double read = QLocale::c().toDouble(trimmed, &ok);
    // 2^63, the first double beyond qint64: below it the conversion is exact
    // up to 2^53 and, above, monotonic.
    const double beyond = 9223372036854775808.0;
    if (!ok || !(std::fabs(read) < beyond))
        value = trimmed.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                                     : std::numeric_limits<qint64>::max();
    else
        value = static_cast<qint64>(read);
    return {};
}

QString Range_Problem(const QString &option, const QString &range)
{
    return QStringLiteral("--%1: %2").arg(option, range);
}
