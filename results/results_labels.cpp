#include "results/results_labels.h"

TResultsCollector::TResultsCollector(const std::vector<TReferenceLabel> &reference,
                                     TResultsReading &reading)
    : reference_(reference), reading_(reading), given_(reference.size(), -1)
{
    exact_.reserve(static_cast<int>(reference.size()));
    for (size_t i = 0; i < reference.size(); ++i) {
        const QString &label = reference[i].label;
        exact_.insert(label, static_cast<int>(i));
        // Folding makes a character at most three: what can match is no
        // longer than three times a label.
        longest_label_ = qMax(longest_label_, 3 * label.size());
    }
}

void TResultsCollector::Make_Folded()
{
    folded_made_ = true;
    folded_.reserve(static_cast<int>(reference_.size()));
    for (size_t i = 0; i < reference_.size(); ++i) {
        const QString folded = reference_[i].label.toCaseFolded();
        const int index = static_cast<int>(i);
        const auto found = folded_.find(folded);
        if (found == folded_.end()) {
            folded_.insert(folded, index);
        } else if (*found >= 0) {
            *found = -2 - *found;
        }
    }
}

int TResultsCollector::Match(const TField &label, int line_number)
{
    // A label far longer than any reference label, folded or not, cannot
    // match whatever its bytes decode to (at most 4 bytes make one UTF-16
    // unit, and folding never shortens a text): it is not decoded in full.
    const qint64 size = label.end - label.begin;
    if (size > 4 * static_cast<qint64>(longest_label_) + 4) {
        Warn(line_number, QStringLiteral("label %1 is not in the reference").arg(Quoted(label)));
        return -1;
    }
    const QString text = QString::fromUtf8(label.begin, static_cast<int>(size));
    int index = exact_.value(text, -1);
    if (index < 0) {
        if (!folded_made_) {
            Make_Folded();
        }
        const int folded = folded_.value(text.toCaseFolded(), -1);
        if (folded == -1) {
            Warn(line_number, QStringLiteral("label %1 is not in the reference").arg(Quoted(text)));
            return -1;
        }
        if (folded < -1) {
            // Two reference labels differ in case only; guessing one would
            // grade the wrong feature.
            Warn(line_number, QStringLiteral("label %1 is not in the reference; when case is "
                                             "ignored it matches %2 and others")
                                  .arg(Quoted(text), Quoted(Reference(-2 - folded).label)));
            return -1;
        }
        index = folded;
        Warn(line_number, QStringLiteral("label %1 matches reference label %2 only when case is "
                                         "ignored; taken as %2")
                              .arg(Quoted(text), Quoted(Reference(index).label)));
    }
    const int earlier = given_[static_cast<size_t>(index)];
    if (earlier >= 0) {
        Warn(line_number,
             QStringLiteral("label %1 was given before on line %2; this later result counts")
                 .arg(Quoted(text))
                 .arg(reading_.features[static_cast<size_t>(earlier)].line_number));
    }
    return index;
}

void TResultsCollector::Add(int index, TTestedFeature feature)
{
    int &given = given_[static_cast<size_t>(index)];
    if (given >= 0) {
        replaced_[static_cast<size_t>(given)] = true;
    }
    feature.label = Reference(index).label;
    given = static_cast<int>(reading_.features.size());
    reading_.features.push_back(std::move(feature));
    replaced_.push_back(false);
}

void TResultsCollector::Warn(int line_number, const QString &message)
{
    reading_.warnings.push_back(TResultsWarning{line_number, message});
}

void TResultsCollector::Finish()
{
    std::vector<TTestedFeature> &features = reading_.features;
    size_t kept = 0;
    for (size_t i = 0; i < features.size(); ++i) {
        if (!replaced_[i]) {
            if (kept != i) {
                features[kept] = std::move(features[i]);
            }
            ++kept;
        }
    }
    features.resize(kept);
    replaced_.clear();
}
