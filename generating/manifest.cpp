#include "generating/manifest.h"

#include "generating/foot_points.h"
#include "generating/validation_text.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {

double Nine_Decimals(double value)
{
    return static_cast<double>(std::llround(value * 1e9)) / 1e9;
}

double Three_Digits(double value)
{
    if (std::abs(value) < 1e-10)
        return 0;
    return QString::number(value, 'e', 2).toDouble();
}

double Twelve_Decimals(double value)
{
    return static_cast<double>(std::llround(value * 1e12)) / 1e12;
}

} // namespace

QJsonObject Data_Set_Json(const QString &file, const TDataSet &data_set)
{
    const TDataSetOptions &options = data_set.options;
    QJsonObject entry;
    entry["file"] = file;
    entry["label"] = Data_Set_Label(data_set);
    entry["type"] = QLatin1String(Feature_Type_Name(options.type));
    entry["points"] = options.points;
    entry["size"] = options.size;
    entry["aspect"] = Has_Aspect(options.type) ? QJsonValue(options.aspect) : QJsonValue();
    entry["arc"] = Has_Arc(options.type) ? QJsonValue(options.arc) : QJsonValue();
    // Only the types they apply to have them, which leaves the other
    // types' entries as they were.
    if (Has_Length(options.type))
        entry["length"] = options.length;
    if (Has_Angle(options.type))
        entry["angle"] = options.angle;
    if (Has_Minor(options.type))
        entry["minor"] = options.minor;
    if (Has_Band(options.type))
        entry["band"] = options.band;
    entry["distance"] = options.distance;
    entry["orientation"] = QLatin1String(Orientation_Name(options.orientation));
    entry["form"] = options.form;
    entry["decimals"] = options.decimals;
    const bool minimax = options.criterion != TCriterion::LEAST_SQUARES;
    if (minimax) {
        // The form is F, the zone's width, as designed; the record states F
        // of the written points.
        entry["criterion"] = QLatin1String(Criterion_Name(options.criterion));
        entry["skew"] = options.skew;
    } else {
        entry["residual_rms"] = Nine_Decimals(data_set.residual_rms);
        entry["largest_residual"] = Nine_Decimals(data_set.largest_residual);
    }
    if (data_set.has_definition_gap) {
        QJsonObject gap;
        gap["position"] = Three_Digits(data_set.definition_gap.position);
        gap["angle"] = Three_Digits(data_set.definition_gap.angle);
        gap["size"] = Three_Digits(data_set.definition_gap.size);
        entry["definition_gap"] = gap;
    }
    if (options.type == TFeatureType::CIRCLE && !minimax)
        entry["deviations"] =
            Radial_Only(options) ? QStringLiteral("radial") : QStringLiteral("radial and axial");
    if (options.type == TFeatureType::SPHERE)
        entry["cap_axis"] =
            QJsonArray{Twelve_Decimals(data_set.cap_axis.x), Twelve_Decimals(data_set.cap_axis.y),
                       Twelve_Decimals(data_set.cap_axis.z)};
    if (!data_set.note.isEmpty())
        entry["note"] = data_set.note;
    return entry;
}

QByteArray Manifest_Json(const QString &version, std::uint64_t seed, const QJsonObject &options,
                         const std::vector<TManifestFile> &files)
{
    QJsonArray entries;
    for (const TManifestFile &file : files) {
        for (const TDataSet &data_set : *file.data_sets)
            entries.append(Data_Set_Json(file.file, data_set));
    }
    QJsonObject manifest;
    manifest["version"] = version;
    manifest["seed"] = static_cast<double>(seed);
    manifest["options"] = options;
    manifest["data_sets"] = entries;
    return QJsonDocument(manifest).toJson(QJsonDocument::Indented);
}
