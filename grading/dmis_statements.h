#pragma once

#include "grading/results_text.h"

#include <QByteArray>

// A DMIS output file as statements: "$$" comments removed, and a line whose
// last non-blank character is a "$" joined with the next one without the
// "$", even where that splits a number or a keyword.
struct TDmisStatement
{
    int line_number; // where the statement starts
    TField text;     // valid until the next call of Next()
};

class TDmisStatements
{
public:
    TDmisStatements(const char *begin, const char *end) : lines_(begin, end) {}

    bool Next(TDmisStatement &statement);

private:
    TTextLines lines_;
    // The statement so far when it spans several lines; a one-line
    // statement is not copied.
    QByteArray joined_;
};
