#include "grading/grade_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// JSON has no infinity or NaN: a deviation that is not finite is written as
// null, and its verdict says the rest.
QJsonValue Number(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QJsonValue Text_Or_Null(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

} // namespace

QByteArray Grade_Json(const TGradeReport &report)
{
    QJsonObject root;
    root.insert("reference", report.reference_path);
    root.insert("results",
                report.refit ? QJsonValue(QJsonValue::Null) : QJsonValue(report.results_path));
    root.insert("results_format",
                report.refit ? QJsonValue(QJsonValue::Null) : Text_Or_Null(report.results_format));
    root.insert("tested_software", Text_Or_Null(report.tested_software));
    root.insert("mpe", QJsonObject{{"position", report.mpe.position},
                                   {"angle", report.mpe.angle},
                                   {"size", report.mpe.size}});
    QJsonArray features;
    for (const TFeatureGrade &feature : report.features) {
        QJsonObject entry{{"label", feature.label},
                          {"type", Feature_Type_Name(feature.type)},
                          {"verdict", Verdict_Name(feature.verdict)}};
        for (const TQuantityGrade &quantity : feature.quantities)
            entry.insert(Quantity_Name(quantity.quantity),
                         QJsonObject{{"deviation", Number(quantity.deviation)},
                                     {"resolution", Number(quantity.resolution)},
                                     {"mpe", quantity.mpe},
                                     {"verdict", Verdict_Name(quantity.verdict)}});
        features.append(entry);
    }
    root.insert("features", features);
    const TGradeSummary &summary = report.summary;
    root.insert("summary", QJsonObject{{"pass", summary.pass},
                                       {"fail", summary.fail},
                                       {"inconclusive", summary.inconclusive},
                                       {"missing", summary.missing},
                                       {"ambiguous", summary.ambiguous},
                                       {"unfit", summary.unfit}});
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
