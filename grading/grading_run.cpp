#include "grading/grading_run.h"

#include "fitting/feature_fit.h"
#include "grading/feature_comparison.h"
#include "grading/minimax_grading.h"
#include "grading/reference_uncertainty.h"

#include <QHash>

namespace {

// The reference features of each label, labels in order of appearance.
struct TLabelGroup
{
    QString label;
    std::vector<const TReferenceFeature *> features;
};

std::vector<TLabelGroup> Group_By_Label(const TReference &reference)
{
    std::vector<TLabelGroup> groups;
    QHash<QString, size_t> index;
    for (const TReferenceFeature &feature : reference.features) {
        const auto found = index.constFind(feature.label);
        if (found == index.constEnd()) {
            index.insert(feature.label, groups.size());
            groups.push_back({feature.label, {&feature}});
        } else {
            groups[*found].features.push_back(&feature);
        }
    }
    return groups;
}

// The file's own stated result, as a start for the fits iterated from
// several.
TFit Stated_Fit(const TReferenceFeature &feature)
{
    TFit fit;
    fit.fitted = true;
    fit.position = feature.position;
    fit.direction = feature.direction;
    fit.diameter = feature.diameter;
    fit.apex_angle = feature.apex_angle;
    fit.minor_diameter = feature.minor_diameter;
    return fit;
}

bool Takes_A_Start(TFeatureType type)
{
    return type == TFeatureType::CYLINDER || type == TFeatureType::CONE ||
           type == TFeatureType::TORUS;
}

TFeatureGrade Ungraded(const TLabelGroup &group, TFeatureType type, TVerdict verdict,
                       const QString &note)
{
    return {group.label, type, verdict, {}, note};
}

void Count(TGradeReport &report)
{
    for (TFeatureGrade &feature : report.features)
        feature.criterion = report.criterion;
    report.summary = TGradeSummary();
    for (const TFeatureGrade &feature : report.features)
        Count_Verdict(feature.verdict, report.summary);
}

QString Ambiguity_Note(const TLabelGroup &group)
{
    QStringList lines;
    for (const TReferenceFeature *feature : group.features)
        lines << QString::number(feature->line_number);
    return QStringLiteral("%1 features of the validation file have this label (lines %2)")
        .arg(group.features.size())
        .arg(lines.join(QStringLiteral(", ")));
}

// Says which of the feature's quantities are inconclusive for a part of the
// reference's own uncertainty that could not be computed.
void Warn_Unknown_Parts(const TReferenceFeature &feature, const TReferenceUncertainty &uncertainty,
                        const TFeatureGrade &grade, TGradeReport &report)
{
    if (uncertainty.unknown.isEmpty())
        return;
    QStringList names;
    for (const TQuantityGrade &quantity : grade.quantities)
        if (!quantity.Uncertainty_Known())
            names << QLatin1String(Quantity_Name(quantity.quantity));
    if (names.isEmpty())
        return; // nothing was graded with it
    const QString last = names.takeLast();
    const QString quantities =
        names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    for (const QString &why : uncertainty.unknown)
        report.warnings.push_back(
            {feature.line_number,
             QStringLiteral("%1: %2: its %3 %4 graded inconclusive")
                 .arg(feature.label, why, quantities,
                      names.isEmpty() ? QStringLiteral("is") : QStringLiteral("are"))});
}

} // namespace

std::vector<TReferenceLabel> Reference_Labels(const TReference &reference)
{
    std::vector<TReferenceLabel> labels;
    for (const TLabelGroup &group : Group_By_Label(reference))
        labels.push_back({group.label, reference.type});
    return labels;
}

void Grade_Results(const TReference &reference, const TResultsReading &results,
                   TGradeReport &report)
{
    QHash<QString, const TTestedFeature *> tested;
    for (const TTestedFeature &feature : results.features)
        tested.insert(feature.label, &feature);

    report.criterion = reference.criterion;
    report.features.clear();
    report.warnings.clear();
    for (const TLabelGroup &group : Group_By_Label(reference)) {
        const TTestedFeature *result = tested.value(group.label, nullptr);
        if (group.features.size() > 1) {
            report.features.push_back(
                Ungraded(group, reference.type, TVerdict::AMBIGUOUS, Ambiguity_Note(group)));
        } else if (!result || !result->usable) {
            const QString why =
                result ? QStringLiteral("its result on line %1 of the results cannot be used")
                             .arg(result->line_number)
                       : QStringLiteral("the results hold nothing for it");
            report.features.push_back(Ungraded(group, reference.type, TVerdict::MISSING, why));
            // Said for every missing feature, even where the results' own
            // warnings already name the line.
            report.warnings.push_back(
                {group.features.front()->line_number,
                 QStringLiteral("%1 is graded missing: %2").arg(group.label, why)});
        } else if (reference.criterion != TCriterion::LEAST_SQUARES) {
            report.features.push_back(Grade_Minimax_Result(reference, *group.features.front(),
                                                           *result, results.format, report));
        } else {
            const TReferenceFeature &feature = *group.features.front();
            const TReferenceUncertainty uncertainty =
                Reference_Uncertainty(reference.type, feature.points);
            report.features.push_back(Grade_Feature(
                group.label, reference.type, Values_And_Resolutions_Of(feature),
                Values_And_Resolutions_Of(*result), feature.points, report.mpe, uncertainty));
            Warn_Unknown_Parts(feature, uncertainty, report.features.back(), report);
        }
    }
    Count(report);
}

void Grade_Without_Results(const TReference &reference, TGradeReport &report)
{
    Grade_Results(reference, TResultsReading(), report);
    // The run says once, for the whole file, that there are no results.
    report.warnings.clear();
    for (TFeatureGrade &feature : report.features)
        if (feature.verdict == TVerdict::MISSING)
            feature.note = QStringLiteral("there is no results file");
}

void Grade_Refit(const TReference &reference, TGradeReport &report)
{
    report.criterion = reference.criterion;
    report.features.clear();
    for (const TLabelGroup &group : Group_By_Label(reference)) {
        if (group.features.size() > 1) {
            report.features.push_back(
                Ungraded(group, reference.type, TVerdict::AMBIGUOUS, Ambiguity_Note(group)));
            continue;
        }
        const TReferenceFeature &feature = *group.features.front();
        if (reference.criterion != TCriterion::LEAST_SQUARES) {
            report.features.push_back(Grade_Minimax_Refit(reference, feature, report));
            continue;
        }
        const TFit stated = Stated_Fit(feature);
        const TFit fit = Fit_Feature(reference.type, feature.points,
                                     Takes_A_Start(reference.type) ? &stated : nullptr);
        if (!fit.fitted) {
            report.features.push_back(Ungraded(group, reference.type, TVerdict::UNFIT,
                                               QString::fromStdString(fit.failure)));
            continue;
        }
        // No software under test fits other points or by another
        // definition here: Tessaline's fit is the reference, as it states.
        report.features.push_back(Grade_Feature(group.label, reference.type, Values_Of(fit),
                                                Values_And_Resolutions_Of(feature), feature.points,
                                                report.mpe));
    }
    Count(report);
}
