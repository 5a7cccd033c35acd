#include "cli/convert/convert_batch.h"
#include "cli/convert/program_output.h"

#include "conversion/validation_converter.h"
#include "files/input_file.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

#include <map>
#include <new>

TConvertBatch::TConvertBatch(const TConvertOptions &options_, FILE *standard_error_)
    : options(options_), standard_error(standard_error_)
{
}

bool TConvertBatch::Run()
{
    for (const QString &input : options.inputs)
        input_identities.push_back(TFileIdentity::Of_Path(input));

    bool all_converted = true;
    // Output file name in the output directory, and the input that took it.
    std::map<QString, QString> outputs_taken;
    for (const QString &input : options.inputs) {
        QString output = options.output;
        if (!options.output_dir.isEmpty()) {
            const QString name = QFileInfo(input).completeBaseName() + QStringLiteral(".dms");
            output = QDir(options.output_dir).filePath(name);
            const auto taken = outputs_taken.emplace(name, input);
            if (!taken.second) {
                Error(input, QStringLiteral("not converted: its output %1 is the output of %2 "
                                            "as well, which was converted first")
                                 .arg(output, taken.first->second));
                all_converted = false;
                continue;
            }
        }
        if (!Convert_One(input, output))
            all_converted = false;
    }
    return all_converted;
}

QString TConvertBatch::Output_Conflict(const QString &output) const
{
    const TFileIdentity target = output.isEmpty() ? TFileIdentity::Of_Descriptor(STDOUT_FILENO)
                                                  : TFileIdentity::Of_Path(output);
    for (int i = 0; i < options.inputs.size(); ++i) {
        if (target.Same_File(input_identities[static_cast<size_t>(i)]))
            return QStringLiteral("it is the input %1, which is left as it was")
                .arg(options.inputs[i]);
    }
    return {};
}

bool TConvertBatch::Convert_One(const QString &input, const QString &output)
{
    QByteArray content;
    QString reason;
    if (!Read_Input_File(input, content, reason)) {
        Error(input, "cannot read: " + reason);
        return false;
    }
    // The output, unwound with the conversion, is cancelled: an existing
    // file stays as it was.
    try {
        return Convert_Content(input, output, content);
    } catch (const std::bad_alloc &) {
        Error(input, QStringLiteral("not converted: too large to convert in the memory there is"));
        return false;
    }
}

bool TConvertBatch::Convert_Content(const QString &input, const QString &output,
                                    const QByteArray &content)
{
    TProgramOutput program(output);
    const QString conflict = Output_Conflict(output);
    if (!conflict.isEmpty()) {
        Error(program.Name(), "cannot write: " + conflict);
        return false;
    }
    if (!program.Open()) {
        Error(program.Name(), "cannot write: " + program.Error_String());
        return false;
    }

    TValidationConverter converter;
    converter.preferences.dmis_feature_type = options.point_type;
    converter.output_fits = options.output_fits;
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
