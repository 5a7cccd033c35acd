#include "results/qif_values.h"

#include "results/number_resolution.h"
#include "results/results_text.h"

#include <QXmlStreamReader>

namespace {

inline bool Is_Xml_Space(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

const long long NOT_GIVEN = -1;

// An xs:nonNegativeInteger attribute; NOT_GIVEN when absent or, with a
// problem said, when it is no such number. Large values are cut where they
// say nothing more.
long long Count_Attribute(const QXmlStreamAttributes &attributes, const char *name,
                          TQifValue &value)
{
    const QLatin1String key(name);
    if (!attributes.hasAttribute(key)) {
        return NOT_GIVEN;
    }
    const QString text = attributes.value(key).toString().trimmed();
    int at = text.startsWith(QLatin1Char('+')) ? 1 : 0;
    long long number = 0;
    for (; at < text.size() && text.at(at).isDigit() && text.at(at).unicode() < 128; ++at) {
        number = qMin(number * 10 + (text.at(at).unicode() - '0'), 1000000000000LL);
    }
    if (text.isEmpty() || at != text.size() || text == QLatin1String("+")) {
        value.problems << QStringLiteral("%1 %2 is not a whole number of 0 or more; the resolution "
                                         "is taken from the text")
                              .arg(key, Quoted(text));
        return NOT_GIVEN;
    }
    return number;
}

struct TResolutionRule
{
    long long places = NOT_GIVEN;
    long long figures = NOT_GIVEN;
};

} // namespace

void Read_Qif_Value(QXmlStreamReader &reader, int count, TQifValue &value,
                    const char *unit_attribute)
{
    value = TQifValue();
    value.present = true;
    value.line_number = static_cast<int>(reader.lineNumber());
    const QXmlStreamAttributes attributes = reader.attributes();
    const QLatin1String unit(unit_attribute);
    value.has_unit = attributes.hasAttribute(unit);
    if (value.has_unit) {
        value.unit = attributes.value(unit).toString().simplified();
    }
    // Each component's own rule comes before the element's.
    TResolutionRule rules[3];
    if (!attributes.isEmpty()) {
        const TResolutionRule whole{Count_Attribute(attributes, "decimalPlaces", value),
                                    Count_Attribute(attributes, "significantFigures", value)};
        static const char *const axes[3][2] = {{"xDecimalPlaces", "xSignificantFigures"},
                                               {"yDecimalPlaces", "ySignificantFigures"},
                                               {"zDecimalPlaces", "zSignificantFigures"}};
        for (int n = 0; n < 3; ++n) {
            rules[n] = whole;
            if (count == 3) {
                const long long places = Count_Attribute(attributes, axes[n][0], value);
                const long long figures = Count_Attribute(attributes, axes[n][1], value);
                if (places != NOT_GIVEN || figures != NOT_GIVEN) {
                    rules[n] = TResolutionRule{places, figures};
                }
            }
        }
    }

    // Numbers are ASCII: a short text is narrowed on the stack, anything
    // else is taken as UTF-8 so that a warning quotes it as written.
    const QString read = reader.readElementText(QXmlStreamReader::SkipChildElements);
    char narrow[256];
    QByteArray wide;
    const char *p = narrow;
    const char *end = narrow;
    if (read.size() <= static_cast<int>(sizeof narrow)) {
        char *to = narrow;
        for (const QChar c : read) {
            if (c.unicode() >= 128) {
                break;
            }
            *to++ = static_cast<char>(c.unicode());
        }
        end = to;
    }
    if (end - narrow != read.size()) {
        wide = read.toUtf8();
        p = wide.constData();
        end = p + wide.size();
    }
    TField fields[3];
    int found = 0;
    for (;;) {
        while (p != end && Is_Xml_Space(*p)) {
            ++p;
        }
        if (p == end) {
            break;
        }
        const char *start = p;
        while (p != end && !Is_Xml_Space(*p)) {
            ++p;
        }
        if (found < count) {
            fields[found] = TField{start, p};
        }
        ++found;
    }
    if (found != count) {
        value.problems << (found == 0 ? QStringLiteral("no number")
                                      : QStringLiteral("%1 numbers, not %2").arg(found).arg(count));
        return;
    }
    bool usable = true;
    for (int n = 0; n < count; ++n) {
        if (!Read_Real(fields[n], value.numbers[n])) {
            value.problems
                << (count == 1
                        ? QStringLiteral("does not read as a number: %1").arg(Quoted(fields[n]))
                        : QStringLiteral("number %1 does not read as a number: %2")
                              .arg(n + 1)
                              .arg(Quoted(fields[n])));
            value.numbers[n] = 0;
            usable = false;
            continue;
        }
        double resolution = -1;
        if (rules[n].places != NOT_GIVEN) {
            resolution = Decimal_Places_Resolution(rules[n].places);
        } else if (rules[n].figures != NOT_GIVEN) {
            resolution =
                Significant_Figures_Resolution(fields[n].begin, fields[n].end, rules[n].figures);
        }
        // Zero has no significant figures: what its text says stands.
        value.resolutions[n] =
            resolution >= 0 ? resolution : Number_Resolution(fields[n].begin, fields[n].end);
    }
    value.usable = usable;
}
