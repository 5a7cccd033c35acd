#include "cli/convert/convert_batch.h"
#include "cli/convert/program_output.h"

#include "conversion/validation_converter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

TConvertBatch::TConvertBatch(const TConvertOptions &options_, FILE *standard_output_,
                             FILE *standard_error_)
    : options(options_), standard_output(standard_output_), standard_error(standard_error_)
{
}

bool TConvertBatch::Run()
{
    bool all_converted = true;
    for (const QString &input : options.inputs) {
        QString output = options.output;
        if (!options.output_dir.isEmpty()) {
            output = QDir(options.output_dir)
                         .filePath(QFileInfo(input).completeBaseName() + QStringLiteral(".dms"));
        }
        if (!Convert_One(input, output)) {
            all_converted = false;
        }
    }
    return all_converted;
}

bool TConvertBatch::Convert_One(const QString &input, const QString &output)
{
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly)) {
        Error(input, "cannot read: " + file.errorString());
        return false;
    }
    // A regular file is mapped rather than copied: a large scan is then read
    // straight from the page cache. Pipes and empty files are read whole.
    if (file.size() > std::numeric_limits<int>::max()) {
        Error(input, QStringLiteral("cannot read: larger than 2 GB"));
        return false;
    }
    QByteArray content;
    if (uchar *mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr) {
        content = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped),
                                          static_cast<int>(file.size()));
    } else {
        content = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            Error(input, "cannot read: " + file.errorString());
            return false;
        }
    }

    TProgramOutput program(output, standard_output);
    if (!program.Open()) {
        Error(program.Name(), "cannot write: " + program.Error_String());
        return false;
    }

    TValidationConverter converter;
    converter.preferences.dmis_feature_type = options.point_type;
    bool validation_file = true;
    converter.diagnostic_handler = [&](const TValidationConverter::TDiagnostic &diagnostic) {
        if (diagnostic.kind == TValidationConverter::TDiagnostic::NOT_A_VALIDATION_FILE) {
            validation_file = false;
            Error(input, diagnostic.message);
            return;
        }
        std::fprintf(standard_error, "%s:%d: warning: %s\n", qPrintable(input),
                     diagnostic.line_number, qPrintable(diagnostic.message));
    };
    // Nothing of the body precedes the header check, so a file that is not a
    // validation file has handed over no piece yet when it is recognised.
    converter.text_sink = [&](const QByteArray &piece) {
        if (validation_file)
            program.Write(piece);
    };
    converter.Convert(content);
    if (!validation_file) {
        program.Cancel();
        return false;
    }
    if (!program.Commit()) {
        Error(program.Name(), "cannot write: " + program.Error_String());
        return false;
    }
    return true;
}

void TConvertBatch::Error(const QString &file, const QString &message)
{
    std::fprintf(standard_error, "%s: error: %s\n", qPrintable(file), qPrintable(message));
}
