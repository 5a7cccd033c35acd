#pragma once

#include "cli/convert/convert_options.h"
#include "files/file_identity.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <vector>

// Converts the inputs of one tessaline-convert run, one after the other,
// reporting on standard error; a failed input does not stop the others.
class TConvertBatch
{
public:
    explicit TConvertBatch(const TConvertOptions &options, FILE *standard_error = stderr);

    // True when every input was converted and written; warnings do not count.
    bool Run();

private:
    bool Convert_One(const QString &input, const QString &output);
    bool Convert_Content(const QString &input, const QString &output, const QByteArray &content);
    // Why output must not be written, or empty when it may.
    QString Output_Conflict(const QString &output) const;
    void Error(const QString &file, const QString &message);

    const TConvertOptions options;
    FILE *const standard_error;
    // Taken before anything is written, so that no output of this run can
    // replace one of its inputs.
    std::vector<TFileIdentity> input_identities;
};
