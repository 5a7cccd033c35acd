#include "core/message_number.h"

#include <QLocale>

#include <cassert>
#include <cmath>

namespace {

// A finite value as its significant digits, without trailing zeros, and
// the power of ten of the first: 0.000366 is "366" and -4.
struct TDecimal
{
    bool negative = false;
    QString digits;
    int exponent = 0;
};

// The decimal of text in 'e' notation, "3.66e-04".
TDecimal Decimal_Of(const QString &text)
{
    TDecimal decimal;
    const int e = text.indexOf(QLatin1Char('e'));
    QString mantissa = text.left(e);
    decimal.negative = mantissa.startsWith(QLatin1Char('-'));
    if (decimal.negative)
        mantissa.remove(0, 1);
    mantissa.remove(QLatin1Char('.'));
    while (mantissa.size() > 1 && mantissa.endsWith(QLatin1Char('0')))
        mantissa.chop(1);
    decimal.digits = mantissa;
    decimal.exponent = text.mid(e + 1).toInt();
    return decimal;
}

double Value_Of(const TDecimal &decimal)
{
    const QString text = (decimal.negative ? QStringLiteral("-") : QString()) + decimal.digits +
                         QStringLiteral("e") +
                         QString::number(decimal.exponent - (decimal.digits.size() - 1));
    return QLocale::c().toDouble(text);
}

// The value to at most digits significant digits, rounded down when down
// is set and to the nearest otherwise; exactly when it takes no more.
TDecimal Rounded(double value, int digits, bool down)
{
    assert(digits >= 1 && digits <= 17);
    const TDecimal shortest =
        Decimal_Of(QString::number(value, 'e', QLocale::FloatingPointShortest));
    if (shortest.digits.size() <= digits)
        return shortest;
    TDecimal rounded = Decimal_Of(QString::number(value, 'e', digits - 1));
    if (!down || Value_Of(rounded) <= value)
        return rounded;
    // One unit in the last digit further down: less of a positive value,
    // more of a negative one.
    QString padded = rounded.digits.leftJustified(digits, QLatin1Char('0'));
    qint64 units = padded.toLongLong();
    const qint64 first = static_cast<qint64>(std::pow(10.0, digits - 1));
    if (!rounded.negative) {
        if (units == first) {
            units = first * 10 - 1;
            --rounded.exponent;
        } else {
            --units;
        }
    } else if (++units == first * 10) {
        units = first;
        ++rounded.exponent;
    }
    rounded.digits = QString::number(units);
    while (rounded.digits.size() > 1 && rounded.digits.endsWith(QLatin1Char('0')))
        rounded.digits.chop(1);
    return rounded;
}

QString Text_Of(const TDecimal &decimal)
{
    const QString &d = decimal.digits;
    const int e = decimal.exponent;
    QString text = decimal.negative ? QStringLiteral("-") : QString();
    if (e < -5 || e >= 6) {
        text += d.left(1);
        if (d.size() > 1)
            text += QLatin1Char('.') + d.mid(1);
        return text + QLatin1Char('e') + QString::number(e);
    }
    if (e < 0)
        return text + QStringLiteral("0.") + QString(-e - 1, QLatin1Char('0')) + d;
    if (d.size() <= e + 1)
        return text + d + QString(e + 1 - d.size(), QLatin1Char('0'));
    return text + d.left(e + 1) + QLatin1Char('.') + d.mid(e + 1);
}

QString Special_Text(double value)
{
    if (std::isnan(value))
        return QStringLiteral("not a number");
    return value > 0 ? QStringLiteral("infinity") : QStringLiteral("-infinity");
}

} // namespace

QString Message_Number(double value, int digits)
{
    if (!std::isfinite(value))
        return Special_Text(value);
    if (value == 0)
        return QStringLiteral("0");
    return Text_Of(Rounded(value, digits, false));
}

QString Upper_Bound_Number(double value, int digits)
{
    if (!std::isfinite(value))
        return Special_Text(value);
    if (value == 0)
        return QStringLiteral("0");
    return Text_Of(Rounded(value, digits, true));
}

double Rounded_Down(double value, int digits)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    return Value_Of(Rounded(value, digits, true));
}
