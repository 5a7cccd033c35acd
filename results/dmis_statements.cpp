#include "results/dmis_statements.h"

#include <cstring>

namespace {

// How the part of a line before its comment ends.
enum class TEnd
{
    STATEMENT, // ends the statement, unless the next line begins with a comma
    DOLLAR,    // a "$": continued on the next line
    COMMENTED  // a comma, then a "$$" comment: continued unless the next line is a statement
};

// The line up to its "$$" comment, and how it ends.
TField Statement_Part(const TField &line, TEnd &how)
{
    const char *end = line.end;
    bool comment = false;
    for (const char *p = line.begin; p != line.end;) {
        const char *dollar =
            static_cast<const char *>(std::memchr(p, '$', static_cast<size_t>(line.end - p)));
        if (!dollar) {
            break;
        }
        if (dollar + 1 != line.end && dollar[1] == '$') {
            end = dollar;
            comment = true;
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
    how = TEnd::STATEMENT;
    if (last != line.begin && last[-1] == '$') {
        how = TEnd::DOLLAR;
        return TField{line.begin, last - 1};
    }
    if (comment && last != line.begin && last[-1] == ',') {
        how = TEnd::COMMENTED;
    }
    return TField{line.begin, end};
}

bool Is_Letter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool Is_Word_Character(char c)
{
    return Is_Letter(c) || (c >= '0' && c <= '9') || c == '_';
}

const char *Skip_Blanks(const char *p, const char *end)
{
    while (p != end && Is_Blank(*p)) {
        ++p;
    }
    return p;
}

// Whether the line begins a statement: LABEL(...)= as in FA(X)= or
// T(FLAT_1)=, a major word and its slash as in FEAT/ or OUTPUT/, or a major
// word alone as ENDFIL.
bool Begins_Statement(const TField &line)
{
    TEnd how;
    const TField text = Statement_Part(line, how);
    const char *p = Skip_Blanks(text.begin, text.end);
    if (p == text.end || !Is_Letter(*p)) {
        return false;
    }
    while (p != text.end && Is_Word_Character(*p)) {
        ++p;
    }
    p = Skip_Blanks(p, text.end);
    if (p == text.end) {
        return how == TEnd::STATEMENT;
    }
    if (*p == '/') {
        return true;
    }
    if (*p != '(') {
        return false;
    }
    const char *close =
        static_cast<const char *>(std::memchr(p, ')', static_cast<size_t>(text.end - p)));
    if (!close) {
        return false;
    }
    p = Skip_Blanks(close + 1, text.end);
    return p != text.end && *p == '=';
}

bool Begins_With_Comma(const TField &line)
{
    const char *p = Skip_Blanks(line.begin, line.end);
    return p != line.end && *p == ',';
}

} // namespace

bool TDmisStatements::Next_Line(TField &line, int &line_number)
{
    if (have_put_back_) {
        have_put_back_ = false;
        line = put_back_;
        line_number = put_back_number_;
        return true;
    }
    return lines_.Next(line, line_number);
}

void TDmisStatements::Put_Back(const TField &line, int line_number)
{
    have_put_back_ = true;
    put_back_ = line;
    put_back_number_ = line_number;
}

bool TDmisStatements::Next(TDmisStatement &statement)
{
    TField line;
    int line_number = 0;
    if (!Next_Line(line, line_number)) {
        return false;
    }
    statement.line_number = line_number;
    statement.comment_join = false;
    TEnd how;
    const TField first = Statement_Part(line, how);
    bool copied = false;
    for (;;) {
        if (!Next_Line(line, line_number)) {
            // A "$" on the last line continues into nothing.
            break;
        }
        TEnd line_how;
        if (Is_Empty(Trim_Blanks(Statement_Part(line, line_how))) && line_how == TEnd::STATEMENT) {
            // A blank or comment-only line says nothing about the statement:
            // writers put notes between its parts, so it keeps the join state.
            continue;
        }
        const bool joins = how == TEnd::DOLLAR ||
                           (how == TEnd::COMMENTED && !Begins_Statement(line)) ||
                           (how == TEnd::STATEMENT && Begins_With_Comma(line));
        if (!joins) {
            Put_Back(line, line_number);
            break;
        }
        statement.comment_join |= how == TEnd::COMMENTED;
        if (!copied) {
            joined_.clear();
            joined_.append(first.begin, static_cast<int>(first.end - first.begin));
            copied = true;
        }
        const TField part = Statement_Part(line, how);
        joined_.append(part.begin, static_cast<int>(part.end - part.begin));
    }
    statement.text =
        copied ? TField{joined_.constData(), joined_.constData() + joined_.size()} : first;
    return true;
}
