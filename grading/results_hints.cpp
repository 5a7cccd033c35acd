#include "grading/results_hints.h"

#include "core/vector_measures.h"

#include <QHash>

#include <cmath>

namespace {

// The factors a length is mistaken by: millimetres read as inches or metres
// and the other way round, the tested length over the reference's.
constexpr double UNIT_FACTORS[] = {1 / 25.4, 25.4, 1 / 1000.0, 1000.0};
constexpr double FACTOR_TOLERANCE = 0.01; // relative

bool Has_Diameter(TFeatureType type)
{
    return type != TFeatureType::PLANE && type != TFeatureType::LINE;
}

// The factors the tested lengths of one feature are off by, tested over
// reference: -1 when they agree with none, 0 when the feature has no length
// that tells (a plane through the origin).
double Feature_Factor(TFeatureType type, const TReferenceFeature &reference,
                      const TTestedFeature &tested)
{
    std::vector<std::pair<double, double>> lengths; // reference, tested
    // A point of a plane or a line need not be the reference's own, but
    // software states the one it was given, the centroid, more often than not.
    if (Length(reference.position) > 1e-3)
        lengths.emplace_back(Length(reference.position), Length(tested.position));
    if (Has_Diameter(type) && reference.diameter > 1e-3)
        lengths.emplace_back(reference.diameter, tested.diameter);
    if (type == TFeatureType::TORUS && reference.minor_diameter > 1e-3)
        lengths.emplace_back(reference.minor_diameter, tested.minor_diameter);
    if (lengths.empty())
        return 0;
    for (const double factor : UNIT_FACTORS) {
        bool all = true;
        for (const auto &length : lengths)
            all = all && std::fabs(length.second / (length.first * factor) - 1) < FACTOR_TOLERANCE;
        if (all)
            return factor;
    }
    return -1;
}

QString Unit_Hint(double factor, const TResultsReading &results)
{
    const bool larger = factor > 1;
    const double times = larger ? factor : 1 / factor;
    const QString what = std::fabs(times - 25.4) < 1
                             ? (larger ? QStringLiteral("are millimetres read as inches")
                                       : QStringLiteral("are inches read as millimetres"))
                             : (larger ? QStringLiteral("are millimetres read as metres")
                                       : QStringLiteral("are metres read as millimetres"));
    QString hint = QStringLiteral("every result's lengths are %1 times %2 than the reference's: "
                                  "they %3?")
                       .arg(QString::number(times, 'g', 4),
                            larger ? QStringLiteral("larger") : QStringLiteral("smaller"), what);
    if (results.format == TResultsFormat::CSV)
        hint += QStringLiteral(" A CSV file states no unit: give --csv-unit inch, or a unit "
                               "column (mm or inch)");
    else
        hint += QStringLiteral(" Check the unit the file declares");
    return hint;
}

} // namespace

QStringList Results_Hints(const TReference &reference, const TResultsReading &results,
                          const TGradeReport &report)
{
    QStringList hints;
    QHash<QString, const TReferenceFeature *> references;
    for (const TReferenceFeature &feature : reference.features)
        references.insert(feature.label, &feature);

    // A unit mistaken: every feature that tells agrees on one factor.
    double common = 0;
    int telling = 0;
    for (const TTestedFeature &tested : results.features) {
        const TReferenceFeature *feature = references.value(tested.label, nullptr);
        if (!tested.usable || !feature)
            continue;
        const double factor = Feature_Factor(reference.type, *feature, tested);
        if (factor == 0)
            continue;
        if (factor < 0 || (common != 0 && factor != common)) {
            common = -1;
            break;
        }
        common = factor;
        ++telling;
    }
    if (telling > 0 && common > 0) {
        hints << Unit_Hint(common, results);
        return hints;
    }

    int graded = 0;
    int far = 0;
    for (const TFeatureGrade &feature : report.features) {
        if (feature.quantities.empty())
            continue;
        ++graded;
        for (const TQuantityGrade &quantity : feature.quantities) {
            if (quantity.quantity == TQuantity::POSITION &&
                !(std::fabs(quantity.deviation) <= FAR_OFF)) {
                ++far;
                break;
            }
        }
    }
    if (far > 0 && 2 * far > graded) {
        hints << QStringLiteral("%1 of %2 features %3 off by more than %4 mm: are these results of "
                                "another data set?")
                     .arg(far)
                     .arg(graded)
                     .arg(far == 1 ? QStringLiteral("is") : QStringLiteral("are"))
                     .arg(FAR_OFF);
    } else if (results.features.empty() && results.unmatched_labels > 0 &&
               !reference.features.empty()) {
        hints << QStringLiteral("none of the %1 labels of the results is in the reference (%2 to "
                                "%3): are these results of another data set?")
                     .arg(results.unmatched_labels)
                     .arg(reference.features.front().label, reference.features.back().label);
    }
    return hints;
}
