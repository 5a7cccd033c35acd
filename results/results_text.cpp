#include "results/results_text.h"

#include <cstring>

namespace {

const int QUOTED_CHARACTERS = 40;

// At most 4 bytes make one character of UTF-8, and a byte that is no UTF-8
// makes one replacement character, so this many bytes give more than 40
// characters whenever the field has more.
const int QUOTED_BYTES = 4 * (QUOTED_CHARACTERS + 1);

} // namespace

TField Trim_Blanks(const TField &field)
{
    const char *begin = field.begin;
    const char *end = field.end;
    while (begin != end && Is_Blank(*begin)) {
        ++begin;
    }
    while (end != begin && Is_Blank(end[-1])) {
        --end;
    }
    return TField{begin, end};
}

bool Is_Keyword(const TField &field, const char *keyword)
{
    const char *p = field.begin;
    for (; *keyword; ++keyword, ++p) {
        if (p == field.end) {
            return false;
        }
        char c = *p;
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != *keyword) {
            return false;
        }
    }
    return p == field.end;
}

bool TTextLines::Next(TField &line, int &line_number)
{
    if (next_ == end_) {
        return false;
    }
    const char *begin = next_;
    const char *feed =
        static_cast<const char *>(std::memchr(begin, '\n', static_cast<size_t>(end_ - begin)));
    const char *line_end = feed ? feed : end_;
    next_ = feed ? feed + 1 : end_;
    if (line_end != begin && line_end[-1] == '\r') {
        --line_end;
    }
    line = TField{begin, line_end};
    line_number = ++line_number_;
    return true;
}

QString Quoted(const QString &text)
{
    QString shown;
    int characters = 0;
    int i = 0;
    for (; i < text.size() && characters < QUOTED_CHARACTERS; ++characters) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            shown += c;
            shown += text.at(i + 1);
            i += 2;
            continue;
        }
        // A line feed, a carriage return or a NUL would break the warning line.
        shown += c.unicode() < 0x20 || c.unicode() == 0x7f ? QChar(QChar::ReplacementCharacter) : c;
        ++i;
    }
    if (i < text.size()) {
        shown += QLatin1String("...");
    }
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString Quoted(const TField &field)
{
    const qptrdiff size = field.end - field.begin;
    if (size <= QUOTED_BYTES) {
        return Quoted(QString::fromUtf8(field.begin, static_cast<int>(size)));
    }
    // Decodes only the start of a long field; the "..." is certain.
    QString start = Quoted(QString::fromUtf8(field.begin, QUOTED_BYTES));
    if (!start.endsWith(QLatin1String("...\""))) {
        start.insert(start.size() - 1, QLatin1String("..."));
    }
    return start;
}
