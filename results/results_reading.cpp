#include "results/results_reading.h"

#include "results/csv_results.h"
#include "results/dmis_results.h"
#include "results/qif_results.h"
#include "results/results_labels.h"

#include <algorithm>

namespace {

// A CSV file starts with its header; blank lines before it are skipped as
// they are between rows. Anything else is read as DMIS.
bool Starts_With_Csv_Header(const char *begin, const char *end)
{
    TTextLines lines(begin, end);
    TField line;
    int line_number = 0;
    while (lines.Next(line, line_number)) {
        if (!Is_Empty(Trim_Blanks(line))) {
            return Is_Csv_Header(line);
        }
    }
    return false;
}

} // namespace

const QStringList &Results_Suffixes()
{
    static const QStringList suffixes{QStringLiteral("dmo"), QStringLiteral("csv"),
                                      QStringLiteral("qif")};
    return suffixes;
}

TResultsReading Read_Results(const QByteArray &content,
                             const std::vector<TReferenceLabel> &reference,
                             const TResultsOptions &options)
{
    const char *begin = content.constData();
    const char *end = begin + content.size();
    if (end - begin >= 3 && begin[0] == '\xef' && begin[1] == '\xbb' && begin[2] == '\xbf') {
        begin += 3;
    }
    TResultsReading reading;
    reading.format = Starts_With_Markup(begin, end)       ? TResultsFormat::QIF
                     : Starts_With_Csv_Header(begin, end) ? TResultsFormat::CSV
                                                          : TResultsFormat::DMIS_OUTPUT;
    TResultsCollector collector(reference, reading);
    int results = 0;
    switch (reading.format) {
    case TResultsFormat::QIF:
        results = Read_Qif_Results(begin, end, options.qif_results, options.criterion, collector,
                                   reading);
        break;
    case TResultsFormat::CSV:
        results = Read_Csv_Results(begin, end, options.csv_unit, collector);
        break;
    case TResultsFormat::DMIS_OUTPUT:
        results = Read_Dmis_Results(begin, end, collector);
        break;
    }
    collector.Finish();
    if (reading.failure != TResultsFailure::NONE) {
        reading.features.clear();
        reading.warnings.clear();
        return reading;
    }
    // The QIF reader warns as it matches measurements to feature items,
    // which the file may give in any order.
    std::stable_sort(reading.warnings.begin(), reading.warnings.end(),
                     [](const TResultsWarning &a, const TResultsWarning &b) {
                         return a.line_number < b.line_number;
                     });
    if (results == 0) {
        // Otherwise a file of some other kind would grade as all missing
        // without a word.
        reading.warnings.insert(
            reading.warnings.begin(),
            TResultsWarning{1, QStringLiteral("no result at all could be read; formats tried: "
                                              "DMIS output (FA(label)=FEAT/... statements), CSV "
                                              "(a header with a label column, then rows), QIF "
                                              "(measured planes, lines, circles, spheres, "
                                              "cylinders, cones and tori)")});
    }
    return reading;
}

QString Results_Format_Name(const TResultsReading &reading)
{
    switch (reading.format) {
    case TResultsFormat::DMIS_OUTPUT:
        return QStringLiteral("DMIS output");
    case TResultsFormat::CSV:
        return QStringLiteral("CSV");
    case TResultsFormat::QIF:
        return QStringLiteral("QIF ") + reading.qif_version;
    }
    return QString();
}
