#include "grading/grade_table.h"

#include "grading/suite_report.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// Six decimals of a micrometre is a nanometre; values too large for that
// are written with an exponent rather than hundreds of digits, and those
// beyond every number say so.
QString Number_Text(double value)
{
    if (std::isnan(value))
        return QStringLiteral("undefined");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("too large") : QStringLiteral("-too large");
    if (std::fabs(value) < 1e9)
        return Fixed_Text(value, 6);
    return QString::number(value, 'e', 6);
}

// Rows of cells in columns as wide as their widest cell, two blanks apart;
// the columns flagged in right_aligned are padded on the left. The last
// column is not padded.
QString Aligned(const std::vector<QStringList> &rows, const std::vector<bool> &right_aligned)
{
    std::vector<int> widths;
    for (const QStringList &row : rows) {
        widths.resize(std::max(widths.size(), static_cast<size_t>(row.size())), 0);
        for (int c = 0; c < row.size(); ++c)
            widths[static_cast<size_t>(c)] =
                std::max(widths[static_cast<size_t>(c)], row[c].size());
    }
    QString text;
    for (const QStringList &row : rows) {
        for (int c = 0; c < row.size(); ++c) {
            const size_t column = static_cast<size_t>(c);
            if (c > 0)
                text += QStringLiteral("  ");
            if (c == row.size() - 1)
                text += row[c];
            else if (column < right_aligned.size() && right_aligned[column])
                text += row[c].rightJustified(widths[column], QLatin1Char(' '));
            else
                text += row[c].leftJustified(widths[column], QLatin1Char(' '));
        }
        text += QLatin1Char('\n');
    }
    return text;
}

// The rows of one file's grades, each after the cells of first.
void Add_Grade_Rows(const TGradeReport &report, const QStringList &first,
                    std::vector<QStringList> &rows)
{
    for (const TFeatureGrade &feature : report.features) {
        if (feature.quantities.empty())
            rows.push_back(
                first + QStringList{feature.label, "-", "-", "-", Verdict_Name(feature.verdict)});
        for (const TQuantityGrade &quantity : feature.quantities)
            rows.push_back(first + QStringList{feature.label, Quantity_Name(quantity.quantity),
                                               Micro_Text(quantity.quantity, quantity.deviation),
                                               Micro_Text(quantity.quantity, quantity.mpe),
                                               Verdict_Name(quantity.verdict)});
    }
}

QString Counts_Text(const TGradeSummary &summary)
{
    return QStringLiteral("%1 features: %2 pass, %3 fail, %4 inconclusive, %5 missing, %6 "
                          "ambiguous, %7 unfit")
        .arg(summary.Features())
        .arg(summary.pass)
        .arg(summary.fail)
        .arg(summary.inconclusive)
        .arg(summary.missing)
        .arg(summary.ambiguous)
        .arg(summary.unfit);
}

// A share of a zero MPE, or of a deviation too large, is infinite.
QString Share_Percent(double share)
{
    return std::isfinite(share) ? QString::number(share * 100, 'f', 1) + QStringLiteral(" %")
                                : QStringLiteral("\u221e %");
}

} // namespace

QString Micro_Text(TQuantity quantity, double value)
{
    if (!std::isfinite(value))
        return Number_Text(value);
    return Number_Text(value * (Is_Angle(quantity) ? 1e6 : 1e3)) +
           (Is_Angle(quantity) ? QStringLiteral(" \u00b5rad") : QStringLiteral(" \u00b5m"));
}

QByteArray Grade_Table(const TGradeReport &report)
{
    std::vector<QStringList> rows{{"label", "quantity", "deviation", "MPE", "verdict"}};
    Add_Grade_Rows(report, {}, rows);
    return (Aligned(rows, {false, false, true, true}) + Counts_Text(report.summary) + '\n')
        .toUtf8();
}

QByteArray Suite_Table(const TSuiteReport &suite)
{
    std::vector<QStringList> rows{{"file", "label", "quantity", "deviation", "MPE", "verdict"}};
    for (const TGradeReport &file : suite.files)
        Add_Grade_Rows(file, {File_Name(file)}, rows);
    QString table = Aligned(rows, {false, false, false, true, true});
    for (const TGradeReport &file : suite.files)
        table += File_Name(file) + QStringLiteral(": ") + Counts_Text(file.summary) + '\n';

    std::vector<QStringList> types{{"type", "quantity", "data sets", "RMS", "largest",
                                    "largest/MPE", "pass", "fail", "inconclusive", "missing",
                                    "ambiguous", "unfit"}};
    for (const TQuantitySummary &summary : suite.by_type) {
        const bool graded = summary.graded > 0;
        const TGradeSummary &v = summary.verdicts;
        types.push_back(
            {Type_Name(summary.type, summary.criterion), Quantity_Name(summary.quantity),
             QString::number(summary.data_sets),
             graded ? Micro_Text(summary.quantity, summary.rms) : QStringLiteral("-"),
             graded ? Micro_Text(summary.quantity, summary.largest) : QStringLiteral("-"),
             graded ? Share_Percent(summary.largest_share) : QStringLiteral("-"),
             QString::number(v.pass), QString::number(v.fail), QString::number(v.inconclusive),
             QString::number(v.missing), QString::number(v.ambiguous), QString::number(v.unfit)});
    }
    if (types.size() > 1)
        table += '\n' + Aligned(types, {false, false, true, true, true, true, true, true, true,
                                        true, true, true});
    table +=
        QStringLiteral("%1 files, %2\n").arg(suite.files.size()).arg(Counts_Text(suite.summary));
    return table.toUtf8();
}
