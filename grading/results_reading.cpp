#include "grading/results_reading.h"

#include "grading/csv_results.h"
#include "grading/dmis_results.h"
#include "grading/results_labels.h"

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
    static const QStringList suffixes{QStringLiteral("dmo"), QStringLiteral("csv")};
    return suffixes;
}

TResultsReading Read_Results(const QByteArray &content,
                             const std::vector<TReferenceLabel> &reference)
{
    const char *begin = content.constData();
    const char *end = begin + content.size();
    if (end - begin >= 3 && begin[0] == '\xef' && begin[1] == '\xbb' && begin[2] == '\xbf') {
        begin += 3;
    }
    TResultsReading reading;
    reading.is_csv = Starts_With_Csv_Header(begin, end);
    TResultsCollector collector(reference, reading);
    if (reading.is_csv) {
        Read_Csv_Results(begin, end, collector);
    } else {
        Read_Dmis_Results(begin, end, collector);
    }
    collector.Finish();
    return reading;
}
