#include "cli/grade/grade_run.h"

#include "files/file_identity.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/save_whole_file.h"
#include "grading/grade_json.h"
#include "grading/grade_table.h"
#include "grading/grading_run.h"
#include "reports/report_html.h"
#include "reports/report_pdf.h"

#include <QCryptographicHash>
#include <QDateTime>

namespace {

constexpr int ALL_PASS = 0;
constexpr int NOT_ALL_PASS = 1;
constexpr int CANNOT_GRADE = 2;

class TGrading
{
public:
    TGrading(const TGradeOptions &options_, FILE *standard_error_)
        : options(options_), standard_error(standard_error_)
    {
    }
    int Run();

private:
    bool Read(const QString &path, QByteArray &content);
    int Read_Results_File(const QString &path, const TReference &reference,
                          TResultsReading &reading, TGradeReport &report);
    bool Write_Outputs(const TGradeReport &report);
    bool Write_To(const QString &path, const QByteArray &bytes);
    bool Is_An_Input(const QString &path);
    void Error(const QString &file, const QString &message)
    {
        std::fprintf(standard_error, "%s: error: %s\n", qPrintable(file), qPrintable(message));
    }
    void Error(const QString &file, int line, const QString &message)
    {
        if (line > 0)
            std::fprintf(standard_error, "%s:%d: error: %s\n", qPrintable(file), line,
                         qPrintable(message));
        else
            Error(file, message);
    }
    void Usage_Error(const QString &message)
    {
        std::fprintf(standard_error,
                     "tessaline-grade: error: %s\n"
                     "Try 'tessaline-grade --help' for more information.\n",
                     qPrintable(message));
    }
    void Warning(const QString &file, int line, const QString &message)
    {
        std::fprintf(standard_error, "%s:%d: warning: %s\n", qPrintable(file), line,
                     qPrintable(message));
    }

    const TGradeOptions &options;
    FILE *const standard_error;
};

bool TGrading::Read(const QString &path, QByteArray &content)
{
    QString reason;
    if (Read_Input_File(path, content, reason))
        return true;
    Error(path, QStringLiteral("cannot read: ") + reason);
    return false;
}

// Reads, checks and reports one results file against the reference; the
// whole of what a run does with it before grading. Returns the exit status
// when it cannot be graded, else -1.
int TGrading::Read_Results_File(const QString &path, const TReference &reference,
                                TResultsReading &reading, TGradeReport &report)
{
    QByteArray results;
    if (!Read(path, results))
        return CANNOT_GRADE;
    report.results_path = path;
    report.results_sha256 = QCryptographicHash::hash(results, QCryptographicHash::Sha256).toHex();
    TResultsOptions read_options;
    read_options.qif_results = options.qif_results;
    reading = Read_Results(results, Reference_Labels(reference), read_options);
    report.results_format = Results_Format_Name(reading);
    switch (reading.failure) {
    case TResultsFailure::NONE:
        break;
    case TResultsFailure::UNUSABLE:
        Error(path, reading.failure_line, reading.failure_message);
        return CANNOT_GRADE;
    case TResultsFailure::NO_SUCH_QIF_RESULTS:
        Usage_Error(QStringLiteral("--qif-results %1: %2 holds %3 MeasurementResults")
                        .arg(options.qif_results)
                        .arg(path)
                        .arg(reading.qif_results));
        return CANNOT_GRADE;
    }
    if (options.qif_results > 0 && reading.format != TResultsFormat::QIF) {
        Usage_Error(QStringLiteral("--qif-results applies to QIF results; %1 is %2")
                        .arg(path, report.results_format));
        return CANNOT_GRADE;
    }
    for (const TResultsWarning &warning : reading.warnings)
        Warning(path, warning.line_number, warning.message);
    return -1;
}

bool TGrading::Is_An_Input(const QString &path)
{
    const TFileIdentity output = TFileIdentity::Of_Path(path);
    for (const QString &input : {options.validation_file, options.results_file}) {
        if (!input.isEmpty() && output.Same_File(TFileIdentity::Of_Path(input))) {
            Error(path, QStringLiteral("cannot write: it is the input %1, which is left as it was")
                            .arg(input));
            return true;
        }
    }
    return false;
}

bool TGrading::Write_To(const QString &path, const QByteArray &bytes)
{
    if (Is_An_Input(path))
        return false;
    QString reason;
    if (Save_Whole_File(path, bytes, &reason))
        return true;
    Error(path, QStringLiteral("cannot write: ") + reason);
    return false;
}

bool TGrading::Write_Outputs(const TGradeReport &report)
{
    bool written = true;
    const bool json_to_standard_output = options.json_file == QLatin1String("-");
    TOutputFile standard_output(QString{});
    standard_output.Open();
    standard_output.Write(json_to_standard_output ? Grade_Json(report) : Grade_Table(report));
    if (!standard_output.Commit()) {
        Error(standard_output.Name(),
              QStringLiteral("cannot write: ") + standard_output.Error_String());
        written = false;
    }
    if (!options.json_file.isEmpty() && !json_to_standard_output)
        written &= Write_To(options.json_file, Grade_Json(report));
    if (!options.report_file.isEmpty()) {
        if (Is_An_Input(options.report_file)) {
            written = false;
        } else {
            QString reason;
            const bool saved = options.pdf_report
                                   ? Write_Pdf_Report(options.report_file, report, &reason)
                                   : Write_Html_Report(options.report_file, report, &reason);
            if (!saved) {
                Error(options.report_file, QStringLiteral("cannot write: ") + reason);
                written = false;
            }
        }
    }
    return written;
}

int TGrading::Run()
{
    QByteArray validation;
    if (!Read(options.validation_file, validation))
        return CANNOT_GRADE;
    const TReference reference = Read_Reference(validation);
    for (const TValidationDiagnostic &diagnostic : reference.diagnostics) {
        if (diagnostic.kind == TValidationDiagnostic::NOT_A_VALIDATION_FILE) {
            Error(options.validation_file, diagnostic.message);
            return CANNOT_GRADE;
        }
        Warning(options.validation_file, diagnostic.line_number, diagnostic.message);
    }

    TGradeReport report;
    report.reference_path = options.validation_file;
    report.reference_sha256 =
        QCryptographicHash::hash(validation, QCryptographicHash::Sha256).toHex();
    report.refit = options.refit;
    report.tested_software = options.software;
    report.mpe = options.mpe;
    report.date = QDateTime::currentDateTime();
    report.version = QStringLiteral(TESSALINE_VERSION);

    if (options.refit) {
        Grade_Refit(reference, report);
    } else {
        TResultsReading reading;
        const int status = Read_Results_File(options.results_file, reference, reading, report);
        if (status >= 0)
            return status;
        Grade_Results(reference, reading, report);
    }

    if (!Write_Outputs(report))
        return CANNOT_GRADE;
    return report.summary.All_Pass() ? ALL_PASS : NOT_ALL_PASS;
}

} // namespace

int Run_Grading(const TGradeOptions &options, FILE *standard_error)
{
    return TGrading(options, standard_error).Run();
}
