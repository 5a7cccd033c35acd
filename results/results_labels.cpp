#include "results/results_labels.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// A label cut into its letters and its feature number: "PLN_7" and "pln-7"
// give ("pln", "7"), "PLANE 12" ("plane", "12"), "CIR_-3" ("cir", "-3").
// False for a label that is not letters, separators and a number.
bool Label_Parts(const QString &label, QString &letters, QString &number)
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Za-z]+)[ _.\\-]*?(-?[0-9]+)$"));
    const QRegularExpressionMatch match = pattern.match(label.trimmed());
    if (!match.hasMatch())
        return false;
    letters = match.captured(1).toCaseFolded();
    number = match.captured(2);
    // "007" is feature 7.
    const bool negative = number.startsWith(QLatin1Char('-'));
    QString digits = negative ? number.mid(1) : number;
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    number = negative ? QLatin1Char('-') + digits : digits;
    return true;
}

} // namespace

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
            unmatched_.emplace_back(text, line_number);
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

int TResultsCollector::Add(int index, TTestedFeature feature)
{
    int &given = given_[static_cast<size_t>(index)];
    if (given >= 0) {
        replaced_[static_cast<size_t>(given)] = true;
    }
    feature.label = Reference(index).label;
    given = static_cast<int>(reading_.features.size());
    reading_.features.push_back(std::move(feature));
    replaced_.push_back(false);
    return given;
}

void TResultsCollector::Warn(int line_number, const QString &message)
{
    reading_.warnings.push_back(TResultsWarning{line_number, message});
}

void TResultsCollector::Warn_Unmatched()
{
    // Reference labels by feature number, with their letters.
    QHash<QString, int> by_number;
    for (size_t i = 0; i < reference_.size(); ++i) {
        QString letters, number;
        if (Label_Parts(reference_[i].label, letters, number))
            by_number.insert(number, static_cast<int>(i));
    }
    std::vector<std::pair<QString, int>> other_style;
    int example = -1; // the reference label the first of them stands for
    for (const auto &unmatched : unmatched_) {
        QString letters, number;
        int index = -1;
        if (Label_Parts(unmatched.first, letters, number)) {
            // "CIR-3" may be feature 3 or feature -3 written with a hyphen.
            index = by_number.value(number, -1);
            if (index < 0 && number.startsWith(QLatin1Char('-')))
                index = by_number.value(number.mid(1), -1);
            if (index >= 0) {
                QString reference_letters, reference_number;
                Label_Parts(Reference(index).label, reference_letters, reference_number);
                // The same type, abbreviated otherwise: its name's first letter
                // and some of the others in order ("pln", "plane", not "pt").
                const QString name = QString::fromLatin1(Feature_Type_Name(Reference(index).type));
                int at = 0;
                for (const QChar c : letters)
                    at = at < 0 ? at : name.indexOf(c, at) < 0 ? -1 : name.indexOf(c, at) + 1;
                if (reference_letters.at(0) != letters.at(0) || letters.at(0) != name.at(0) ||
                    at < 0)
                    index = -1;
            }
        }
        if (index >= 0) {
            if (example < 0)
                example = index;
            other_style.push_back(unmatched);
        } else {
            ++reading_.unmatched_labels;
            Warn(unmatched.second,
                 QStringLiteral("label %1 is not in the reference").arg(Quoted(unmatched.first)));
        }
    }
    if (other_style.empty())
        return;
    const QString first = Quoted(other_style.front().first);
    const QString reference = Reference(example).label;
    const QString which =
        other_style.size() == 1
            ? QStringLiteral("label %1 is").arg(first)
            : QStringLiteral("%1 labels such as %2 are").arg(other_style.size()).arg(first);
    Warn(other_style.front().second,
         QStringLiteral("%1 not in the reference, which writes its labels as %2 (the type's "
                        "three letters, \"_\" and the feature number): rename them so to have "
                        "them graded")
             .arg(which, reference));
}

void TResultsCollector::Finish()
{
    Warn_Unmatched();
    unmatched_.clear();
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
