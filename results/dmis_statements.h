#pragma once

#include "results/results_text.h"

#include <QByteArray>

// A DMIS output file as statements: "$$" comments removed, and lines joined
// into one statement by exact concatenation, even where that splits a
// number, a label or a keyword:
// - a line whose last non-blank character is a "$" continues on the next,
//   without the "$";
// - a line that begins with a comma continues the statement before it;
// - a line whose text before its "$$" comment ends with a comma continues on
//   the next, as real writers put "$$" where the "$" belongs, unless the next
//   line begins a statement of its own (LABEL(...)=, WORD/ or a word alone).
// Blank and comment-only lines after a line are passed over: the line after
// them continues the statement or not as it would right after that line.
struct TDmisStatement
{
    int line_number;   // where the statement starts
    TField text;       // valid until the next call of Next()
    bool comment_join; // joined after a comma and a "$$" comment at least once
};

class TDmisStatements
{
public:
    TDmisStatements(const char *begin, const char *end) : lines_(begin, end) {}

    bool Next(TDmisStatement &statement);

private:
    bool Next_Line(TField &line, int &line_number);
    void Put_Back(const TField &line, int line_number);

    TTextLines lines_;
    // A line read ahead that turned out to start a statement of its own.
    bool have_put_back_ = false;
    TField put_back_ = {nullptr, nullptr};
    int put_back_number_ = 0;
    // The statement so far when it spans several lines; a one-line
    // statement is not copied.
    QByteArray joined_;
};
