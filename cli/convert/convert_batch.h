#pragma once

#include "cli/convert/convert_options.h"

#include <QString>

#include <cstdio>

// Converts the inputs of one tessaline-convert run, one after the other,
// reporting on standard error; a failed input does not stop the others.
class TConvertBatch
{
public:
    explicit TConvertBatch(const TConvertOptions &options, FILE *standard_output = stdout,
                           FILE *standard_error = stderr);

    // True when every input was converted and written; warnings do not count.
    bool Run();

private:
    bool Convert_One(const QString &input, const QString &output);
    void Error(const QString &file, const QString &message);

    const TConvertOptions options;
    FILE *const standard_output;
    FILE *const standard_error;
};
