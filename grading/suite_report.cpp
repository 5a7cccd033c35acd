#include "grading/suite_report.h"

#include <QFileInfo>

#include <cmath>

QString File_Name(const TGradeReport &report)
{
    return QFileInfo(report.reference_path).fileName();
}

void Summarise_Suite(TSuiteReport &suite)
{
    suite.summary = TGradeSummary();
    suite.by_type.clear();
    for (const TFeatureType type : FEATURE_TYPES) {
        for (const TCriterion criterion : CRITERIA) {
            for (const TQuantity quantity : Quantities_Of(type, criterion)) {
                TQuantitySummary summary;
                summary.type = type;
                summary.criterion = criterion;
                summary.quantity = quantity;
                double squares = 0;
                for (const TGradeReport &file : suite.files) {
                    for (const TFeatureGrade &feature : file.features) {
                        if (feature.type != type || feature.criterion != criterion)
                            continue;
                        ++summary.data_sets;
                        TVerdict verdict = feature.verdict;
                        for (const TQuantityGrade &grade : feature.quantities) {
                            if (grade.quantity != quantity)
                                continue;
                            verdict = grade.verdict;
                            const double magnitude = std::fabs(grade.deviation);
                            ++summary.graded;
                            squares += magnitude * magnitude;
                            if (!(magnitude <= summary.largest))
                                summary.largest = magnitude;
                        }
                        Count_Verdict(verdict, summary.verdicts);
                    }
                }
                if (summary.data_sets == 0)
                    continue;
                if (summary.graded > 0)
                    summary.rms = std::sqrt(squares / summary.graded);
                summary.largest_share =
                    Mpe_Share(summary.largest, Quantity_Mpe(quantity, suite.mpe));
                suite.by_type.push_back(summary);
            }
        }
    }
    for (const TGradeReport &file : suite.files)
        for (const TFeatureGrade &feature : file.features)
            Count_Verdict(feature.verdict, suite.summary);
}
