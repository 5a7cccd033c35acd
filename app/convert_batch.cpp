#include "app/convert_batch.h"

#include "conversion/validation_converter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

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
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        Error(input, "cannot read: " + file.errorString());
        return false;
    }
    file.close();

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
    converter.Convert(content);
    if (!validation_file) {
        return false;
    }
    return Write(output, converter.dmis_text.toLatin1());
}

bool TConvertBatch::Write(const QString &output, const QByteArray &program)
{
    if (output.isEmpty()) {
        const size_t written = std::fwrite(program.constData(), 1,
                                           static_cast<size_t>(program.size()), standard_output);
        if (written != static_cast<size_t>(program.size()) || std::fflush(standard_output) != 0) {
            Error("standard output", QStringLiteral("cannot write: ") + qt_error_string(errno));
            return false;
        }
        return true;
    }

    // Written beside the target and renamed over it only when complete, so
    // an existing file is never left truncated.
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        Error(output, "cannot write: " + file.errorString());
        return false;
    }
    // Qt 5's commit() misses a failure of the last buffered write (a full
    // disk, a file size limit) and would rename a truncated file over the
    // old one, so flush and check first.
    if (file.write(program) != program.size() || !file.flush()) {
        const int error_number = errno;
        QString reason = file.errorString();
        if (file.error() == QFileDevice::NoError || reason == QLatin1String("Unknown error")) {
            reason = qt_error_string(error_number);
        }
        file.cancelWriting();
        Error(output, "cannot write: " + reason);
        return false;
    }
    if (!file.commit()) {
        Error(output, "cannot write: " + file.errorString());
        return false;
    }
    return true;
}

void TConvertBatch::Error(const QString &file, const QString &message)
{
    std::fprintf(standard_error, "%s: error: %s\n", qPrintable(file), qPrintable(message));
}
