#include "grading/minimax_grading.h"

#include "grading/feature_comparison.h"
#include "grading/least_squares_diagnosis.h"
#include "grading/minimax_reference.h"

#include <cmath>

namespace {

double Part_Of(const TUncertaintyPart &part, TQuantity quantity)
{
    const auto found = part.find(quantity);
    return found == part.end() ? 0 : found->second;
}

// Adds the form to a feature graded on the least-squares quantities.
void Add_Form(TFeatureGrade &grade, double reference_form, double tested_form,
              double tested_resolution, const TMpe &mpe, const TReferenceUncertainty &uncertainty)
{
    if (grade.verdict == TVerdict::UNFIT)
        return;
    TQuantityGrade form{TQuantity::FORM, tested_form - reference_form, tested_resolution, mpe.form,
                        TVerdict::PASS};
    form.reference_rounding = Part_Of(uncertainty.rounding, TQuantity::FORM);
    form.verdict = form.Uncertainty_Known()
                       ? Quantity_Verdict(form.deviation, form.Uncertainty(), form.mpe)
                       : TVerdict::INCONCLUSIVE;
    grade.quantities.push_back(form);
    grade.verdict = Feature_Verdict(grade.quantities);
}

} // namespace

TFeatureGrade Grade_Minimax_Result(const TReference &reference, const TReferenceFeature &feature,
                                   const TTestedFeature &result, TResultsFormat format,
                                   TGradeReport &report)
{
    const TFeatureType type = reference.type;
    const TCriterion criterion = reference.criterion;
    const bool zone = criterion == TCriterion::MINIMUM_ZONE;
    const bool grade_form = zone && (result.has_form || type != TFeatureType::SPHERE ||
                                     format != TResultsFormat::DMIS_OUTPUT);
    if (grade_form && !result.has_form) {
        const QString why = QStringLiteral("its result on line %1 of the results states no form")
                                .arg(result.line_number);
        report.warnings.push_back(
            {feature.line_number,
             QStringLiteral("%1 is graded missing: %2").arg(feature.label, why)});
        return {feature.label, type, TVerdict::MISSING, {}, why, criterion};
    }
    if (zone && !grade_form)
        report.warnings.push_back(
            {feature.line_number,
             QStringLiteral("%1: DMIS output states no sphericity, so its form is not graded")
                 .arg(feature.label)});

    const TReferenceUncertainty uncertainty =
        Minimax_Reference_Uncertainty(type, criterion, feature);
    TFeatureGrade grade =
        Grade_Feature(feature.label, type, Values_And_Resolutions_Of(feature),
                      Values_And_Resolutions_Of(result), feature.points, report.mpe, uncertainty);
    if (grade_form)
        Add_Form(grade, feature.form, result.form, result.form_resolution, report.mpe, uncertainty);
    grade.criterion = criterion;
    for (const QString &why : uncertainty.unknown)
        report.warnings.push_back(
            {feature.line_number,
             QStringLiteral("%1: %2: graded inconclusive").arg(feature.label, why)});
    const QString diagnosis = Least_Squares_Diagnosis(feature, type, criterion, grade,
                                                      result.diameter, result.form, report.mpe);
    if (!diagnosis.isEmpty())
        report.warnings.push_back({feature.line_number, diagnosis});
    return grade;
}

TFeatureGrade Grade_Minimax_Refit(const TReference &reference, const TReferenceFeature &feature,
                                  TGradeReport &report)
{
    const TFeatureType type = reference.type;
    const TCriterion criterion = reference.criterion;
    const TMinimaxFit fit = Fit_Minimax_Feature(type, criterion, feature, feature.points);
    if (!fit.fitted)
        return {feature.label, type, TVerdict::UNFIT, {}, QString::fromStdString(fit.failure),
                criterion};
    // Tessaline's certified fit is the reference here, as the file states.
    TFeatureGrade grade =
        Grade_Feature(feature.label, type, Values_Of_Minimax(fit),
                      Values_And_Resolutions_Of(feature), feature.points, report.mpe);
    if (criterion == TCriterion::MINIMUM_ZONE)
        Add_Form(grade, fit.form, feature.form, feature.form_resolution, report.mpe, {});
    grade.criterion = criterion;
    return grade;
}
