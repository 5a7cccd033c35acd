#include "grading/grade_table.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// Six decimals of a micrometre is a nanometre; values too large for that
// are written with an exponent rather than hundreds of digits.
QString Number_Text(double value)
{
    if (std::isfinite(value) && std::fabs(value) < 1e9)
        return QString::number(value, 'f', 6);
    return QString::number(value, 'e', 6);
}

QString Padded_Left(const QString &text, int width)
{
    return text.rightJustified(width, QLatin1Char(' '));
}

QString Padded_Right(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

} // namespace

QString Micro_Text(TQuantity quantity, double value)
{
    return Number_Text(value * (quantity == TQuantity::ANGLE ? 1e6 : 1e3)) +
           (quantity == TQuantity::ANGLE ? QStringLiteral(" \u00b5rad")
                                         : QStringLiteral(" \u00b5m"));
}

QByteArray Grade_Table(const TGradeReport &report)
{
    struct TRow
    {
        QString label, quantity, deviation, mpe, verdict;
    };
    std::vector<TRow> rows{{"label", "quantity", "deviation", "MPE", "verdict"}};
    for (const TFeatureGrade &feature : report.features) {
        if (feature.quantities.empty())
            rows.push_back({feature.label, "-", "-", "-", Verdict_Name(feature.verdict)});
        for (const TQuantityGrade &quantity : feature.quantities)
            rows.push_back({feature.label, Quantity_Name(quantity.quantity),
                            Micro_Text(quantity.quantity, quantity.deviation),
                            Micro_Text(quantity.quantity, quantity.mpe),
                            Verdict_Name(quantity.verdict)});
    }
    int widths[4] = {0, 0, 0, 0};
    for (const TRow &row : rows) {
        widths[0] = std::max(widths[0], row.label.size());
        widths[1] = std::max(widths[1], row.quantity.size());
        widths[2] = std::max(widths[2], row.deviation.size());
        widths[3] = std::max(widths[3], row.mpe.size());
    }
    QString table;
    for (const TRow &row : rows)
        table += Padded_Right(row.label, widths[0]) + "  " + Padded_Right(row.quantity, widths[1]) +
                 "  " + Padded_Left(row.deviation, widths[2]) + "  " +
                 Padded_Left(row.mpe, widths[3]) + "  " + row.verdict + '\n';
    const TGradeSummary &summary = report.summary;
    table += QStringLiteral("%1 features: %2 pass, %3 fail, %4 inconclusive, %5 missing, %6 "
                            "ambiguous, %7 unfit\n")
                 .arg(summary.Features())
                 .arg(summary.pass)
                 .arg(summary.fail)
                 .arg(summary.inconclusive)
                 .arg(summary.missing)
                 .arg(summary.ambiguous)
                 .arg(summary.unfit);
    return table.toUtf8();
}
