#include "grading/grade_json.h"

#include "grading/suite_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// JSON has no infinity or NaN: a deviation that is not finite is written as
// null, and its verdict says the rest; so is a part of the reference's
// uncertainty that is unknown (NaN), and the uncertainty it belongs to.
QJsonValue Number(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QJsonValue Text_Or_Null(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonObject Mpe_Object(const TMpe &mpe)
{
    return QJsonObject{
        {"position", mpe.position}, {"angle", mpe.angle}, {"size", mpe.size}, {"form", mpe.form}};
}

// Where each MPE comes from: "default" or "command line".
QJsonObject Mpe_Origin(const TMpe &mpe)
{
    const auto origin = [](bool given) {
        return given ? QStringLiteral("command line") : QStringLiteral("default");
    };
    return QJsonObject{{"position", origin(mpe.position_given)},
                       {"angle", origin(mpe.angle_given)},
                       {"size", origin(mpe.size_given)},
                       {"form", origin(mpe.form_given)}};
}

QJsonValue Hash_Or_Null(const QByteArray &sha256)
{
    return sha256.isEmpty() ? QJsonValue(QJsonValue::Null)
                            : QJsonValue(QString::fromLatin1(sha256));
}

// What every JSON of a run begins with: which run, when, by what, for whom.
void Insert_Record(QJsonObject &root, const QString &report_id, const QDateTime &date,
                   const QString &version, const TGradeRecord &record)
{
    root.insert("report_id", report_id);
    // With its offset from UTC, so that the date names one moment.
    root.insert("date",
                date.isValid()
                    ? QJsonValue(date.toOffsetFromUtc(date.offsetFromUtc()).toString(Qt::ISODate))
                    : QJsonValue(QJsonValue::Null));
    root.insert("tessaline_version", version);
    root.insert("lab", Text_Or_Null(record.lab));
    root.insert("operator", Text_Or_Null(record.operator_name));
    root.insert("comment", Text_Or_Null(record.comment));
}

QJsonObject Standards()
{
    return QJsonObject{{"test", Test_Standard()}, {"decision_rule", Decision_Standard()}};
}

QJsonObject Counts(const TGradeSummary &summary)
{
    return QJsonObject{{"pass", summary.pass},
                       {"fail", summary.fail},
                       {"inconclusive", summary.inconclusive},
                       {"missing", summary.missing},
                       {"ambiguous", summary.ambiguous},
                       {"unfit", summary.unfit}};
}

QJsonArray Features(const TGradeReport &report)
{
    QJsonArray features;
    for (const TFeatureGrade &feature : report.features) {
        QJsonObject entry{{"label", feature.label},
                          {"type", Feature_Type_Name(feature.type)},
                          {"verdict", Verdict_Name(feature.verdict)}};
        for (const TQuantityGrade &quantity : feature.quantities)
            entry.insert(
                Quantity_Key(quantity.quantity),
                QJsonObject{{"deviation", Number(quantity.deviation)},
                            {"resolution", Number(quantity.resolution)},
                            {"reference_rounding", Number(quantity.reference_rounding)},
                            {"reference_definition", Number(quantity.reference_definition)},
                            {"uncertainty", Number(quantity.Uncertainty())},
                            {"mpe", quantity.mpe},
                            {"verdict", Verdict_Name(quantity.verdict)}});
        features.append(entry);
    }
    return features;
}

} // namespace

QByteArray Grade_Json(const TGradeReport &report)
{
    QJsonObject root;
    Insert_Record(root, report.report_id, report.date, report.version, report.record);
    root.insert("reference", report.reference_path);
    root.insert("reference_sha256", Hash_Or_Null(report.reference_sha256));
    root.insert("results",
                report.refit ? QJsonValue(QJsonValue::Null) : QJsonValue(report.results_path));
    root.insert("results_sha256",
                report.refit ? QJsonValue(QJsonValue::Null) : Hash_Or_Null(report.results_sha256));
    root.insert("results_format",
                report.refit ? QJsonValue(QJsonValue::Null) : Text_Or_Null(report.results_format));
    root.insert("criterion", QLatin1String(Criterion_Name(report.criterion)));
    root.insert("tested_software", Text_Or_Null(report.tested_software));
    root.insert("mpe", Mpe_Object(report.mpe));
    root.insert("mpe_origin", Mpe_Origin(report.mpe));
    root.insert("standards", Standards());
    root.insert("features", Features(report));
    root.insert("summary", Counts(report.summary));
    root.insert("overall", QLatin1String(Overall_Name(Overall_Result(report.summary))));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray Suite_Json(const TSuiteReport &suite)
{
    QJsonObject root;
    Insert_Record(root, suite.report_id, suite.date, suite.version, suite.record);
    root.insert("suite", suite.suite_path);
    root.insert("suite_manifest", Text_Or_Null(suite.manifest_path));
    root.insert("suite_manifest_sha256", Hash_Or_Null(suite.manifest_sha256));
    root.insert("suite_seed",
                suite.seed >= 0 ? QJsonValue(suite.seed) : QJsonValue(QJsonValue::Null));
    root.insert("results",
                suite.refit ? QJsonValue(QJsonValue::Null) : QJsonValue(suite.results_path));
    root.insert("refit", suite.refit);
    root.insert("tested_software", Text_Or_Null(suite.tested_software));
    root.insert("mpe", Mpe_Object(suite.mpe));
    root.insert("mpe_origin", Mpe_Origin(suite.mpe));
    root.insert("standards", Standards());
    QJsonArray files;
    for (const TGradeReport &file : suite.files)
        files.append(QJsonObject{{"reference", file.reference_path},
                                 {"reference_sha256", Hash_Or_Null(file.reference_sha256)},
                                 {"results", Text_Or_Null(file.results_path)},
                                 {"results_sha256", Hash_Or_Null(file.results_sha256)},
                                 {"results_format", Text_Or_Null(file.results_format)},
                                 {"criterion", QLatin1String(Criterion_Name(file.criterion))},
                                 {"features", Features(file)},
                                 {"summary", Counts(file.summary)}});
    root.insert("files", files);
    QJsonArray by_type;
    for (const TQuantitySummary &summary : suite.by_type) {
        const bool graded = summary.graded > 0;
        QJsonObject entry{{"type", Feature_Type_Name(summary.type)},
                          {"criterion", Criterion_Name(summary.criterion)},
                          {"quantity", Quantity_Key(summary.quantity)},
                          {"data_sets", summary.data_sets},
                          {"graded", summary.graded},
                          {"rms", graded ? Number(summary.rms) : QJsonValue()},
                          {"largest", graded ? Number(summary.largest) : QJsonValue()},
                          {"largest_share", graded ? Number(summary.largest_share) : QJsonValue()}};
        const QJsonObject verdicts = Counts(summary.verdicts);
        for (auto it = verdicts.begin(); it != verdicts.end(); ++it)
            entry.insert(it.key(), it.value());
        by_type.append(entry);
    }
    root.insert("summary_by_type", by_type);
    root.insert("summary", Counts(suite.summary));
    root.insert("overall", QLatin1String(Overall_Name(Overall_Result(suite.summary))));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
