#pragma once

#include "validation/validation_fields.h"

#include <QString>

// Byte-level pieces of a results file shared by both readers: lines, blanks,
// ASCII keywords and the quoting of file text in warnings.

// Blanks between fields: space and tab.
inline bool Is_Blank(char c)
{
    return c == ' ' || c == '\t';
}

TField Trim_Blanks(const TField &field);

inline bool Is_Empty(const TField &field)
{
    return field.begin == field.end;
}

// ASCII comparison ignoring case; keywords are ASCII.
bool Is_Keyword(const TField &field, const char *keyword);

// The lines of a text split at LF, each without its line feed and without a
// carriage return just before it.
class TTextLines
{
public:
    TTextLines(const char *begin, const char *end) : next_(begin), end_(end) {}

    // False after the last line. A text that ends with a line feed has no
    // empty line after it.
    bool Next(TField &line, int &line_number);

private:
    const char *next_;
    const char *end_;
    int line_number_ = 0;
};

// A field of the file as a warning quotes it: in double quotes, decoded as
// UTF-8, control characters shown as U+FFFD, cut to its first 40 characters
// followed by "..." when longer, so that no field makes a long warning.
QString Quoted(const TField &field);
QString Quoted(const QString &text);
