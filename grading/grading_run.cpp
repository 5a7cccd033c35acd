#include "grading/grading_run.h"

#include "fitting/feature_fit.h"
#include "grading/feature_comparison.h"
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

TFitValues File_Values(const TReferenceFeature &feature)
{
    return {feature.position,
            feature.direction,
            feature.diameter,
            feature.position_resolution,
            feature.direction_resolution,
            feature.diameter_resolution};
}

TFeatureGrade Ungraded(const TLabelGroup &group, TFeatureType type, TVerdict verdict,
                       const QString &note)
{
    return {group.label, type, verdict, {}, note};
}

void Count(TGradeReport &report)
{
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

    report.features.clear();
    for (const TLabelGroup &group : Group_By_Label(reference)) {
        const TTestedFeature *result = tested.value(group.label, nullptr);
        if (group.features.size() > 1) {
            report.features.push_back(
                Ungraded(group, reference.type, TVerdict::AMBIGUOUS, Ambiguity_Note(group)));
        } else if (!result) {
            report.features.push_back(Ungraded(group, reference.type, TVerdict::MISSING,
                                               QStringLiteral("the results hold nothing for it")));
        } else if (!result->usable) {
            report.features.push_back(Ungraded(
                group, reference.type, TVerdict::MISSING,
                QStringLiteral("its result on line %1 cannot be used").arg(result->line_number)));
        } else {
            const TReferenceFeature &feature = *group.features.front();
            const TFitValues values{result->position,
                                    result->direction,
                                    result->diameter,
                                    result->position_resolution,
                                    result->direction_resolution,
                                    result->diameter_resolution};
            report.features.push_back(Grade_Feature(
                group.label, reference.type, File_Values(feature), values, feature.points,
                report.mpe, Reference_Uncertainty(reference.type, feature.points)));
        }
    }
    Count(report);
}

void Grade_Without_Results(const TReference &reference, TGradeReport &report)
{
    Grade_Results(reference, TResultsReading(), report);
    for (TFeatureGrade &feature : report.features)
        if (feature.verdict == TVerdict::MISSING)
            feature.note = QStringLiteral("there is no results file");
}

void Grade_Refit(const TReference &reference, TGradeReport &report)
{
    report.features.clear();
    for (const TLabelGroup &group : Group_By_Label(reference)) {
        if (group.features.size() > 1) {
            report.features.push_back(
                Ungraded(group, reference.type, TVerdict::AMBIGUOUS, Ambiguity_Note(group)));
            continue;
        }
        const TReferenceFeature &feature = *group.features.front();
        const TFit fit = Fit_Feature(reference.type, feature.points);
        if (!fit.fitted) {
            report.features.push_back(Ungraded(group, reference.type, TVerdict::UNFIT,
                                               QString::fromStdString(fit.failure)));
            continue;
        }
        TFitValues fitted;
        fitted.position = fit.position;
        fitted.direction = fit.direction;
        fitted.diameter = fit.diameter;
        // No software under test fits other points or by another
        // definition here: Tessaline's fit is the reference, as it states.
        report.features.push_back(Grade_Feature(group.label, reference.type, fitted,
                                                File_Values(feature), feature.points, report.mpe));
    }
    Count(report);
}
