#pragma once

#include "results/results_reading.h"
#include "results/results_text.h"

#include <QHash>

// Matches the labels of the results with the reference and keeps the last
// result given for each reference feature; both readers report through it.
class TResultsCollector
{
public:
    TResultsCollector(const std::vector<TReferenceLabel> &reference, TResultsReading &reading);

    // The reference feature a label as written stands for, or -1 when the
    // result is to be ignored. Warns about a label that is not in the
    // reference, one that matches only when case is ignored, and one given
    // before. A match must be followed by Add() for the same line.
    int Match(const TField &label, int line_number);

    const TReferenceLabel &Reference(int index) const
    {
        return reference_[static_cast<size_t>(index)];
    }

    // The result for Reference(index), usable or not; it replaces one given
    // earlier. Returns where it is kept until Finish(), for At().
    int Add(int index, TTestedFeature feature);

    // The reference feature a label stands for exactly, or -1; nothing is
    // warned or counted.
    int Find(const QString &label) const { return exact_.value(label, -1); }

    // Where the result last added for Reference(index) is kept, or -1 when
    // none has been added.
    int Latest(int index) const { return given_[static_cast<size_t>(index)]; }

    // A result added, by what Add() returned; valid until Finish().
    TTestedFeature &At(int position) { return reading_.features[static_cast<size_t>(position)]; }

    void Warn(int line_number, const QString &message);

    // Drops the results that later ones replaced, and warns about the labels
    // that are not in the reference: once for those that name a reference
    // feature in another style ("PLN1", "PLANE_1" for PLN_1), one by one for
    // the others.
    void Finish();

private:
    const std::vector<TReferenceLabel> &reference_;
    TResultsReading &reading_;
    QHash<QString, int> exact_;
    // Case-folded label to the reference feature, or -2 - first index when
    // several reference labels fold to it. Made when a label first fails to
    // match exactly: most results match every label exactly.
    QHash<QString, int> folded_;
    bool folded_made_ = false;
    void Make_Folded();
    // Where in reading_.features the result of each reference feature is.
    std::vector<int> given_;
    std::vector<bool> replaced_;
    int longest_label_ = 0;
    // The labels not in the reference, as written, with their lines.
    std::vector<std::pair<QString, int>> unmatched_;
    void Warn_Unmatched();
};
