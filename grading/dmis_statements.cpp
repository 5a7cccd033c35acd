#include "grading/dmis_statements.h"

#include <cstring>

namespace {

// The line up to its "$$" comment, and whether it continues on the next.
TField Statement_Part(const TField &line, bool &continues)
{
    const char *end = line.end;
    for (const char *p = line.begin; p != line.end;) {
        const char *dollar =
            static_cast<const char *>(std::memchr(p, '$', static_cast<size_t>(line.end - p)));
        if (!dollar) {
            break;
        }
        if (dollar + 1 != line.end && dollar[1] == '$') {
            end = dollar;
            break;
        }
        p = dollar + 1;
    }
    // Up to the first "$$" there is never a "$" twice in a row, so a "$"
    // last is a single one.
    const char *last = end;
    while (last != line.begin && Is_Blank(last[-1])) {
        --last;
    }
    continues = last != line.begin && last[-1] == '$';
    return TField{line.begin, continues ? last - 1 : end};
}

} // namespace

bool TDmisStatements::Next(TDmisStatement &statement)
{
    TField line;
    int line_number = 0;
    if (!lines_.Next(line, line_number)) {
        return false;
    }
    statement.line_number = line_number;
    bool continues = false;
    const TField first = Statement_Part(line, continues);
    if (!continues) {
        statement.text = first;
        return true;
    }
    joined_.clear();
    joined_.append(first.begin, static_cast<int>(first.end - first.begin));
    // A "$" on the last line continues into nothing.
    while (continues && lines_.Next(line, line_number)) {
        const TField part = Statement_Part(line, continues);
        joined_.append(part.begin, static_cast<int>(part.end - part.begin));
    }
    statement.text = TField{joined_.constData(), joined_.constData() + joined_.size()};
    return true;
}
