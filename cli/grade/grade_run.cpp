#include "cli/grade/grade_run.h"

#include "cli/grade/suite_files.h"
#include "files/file_identity.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/save_whole_file.h"
#include "grading/grade_json.h"
#include "grading/grade_table.h"
#include "grading/grading_run.h"
#include "grading/suite_report.h"
#include "reports/report_html.h"
#include "reports/report_pdf.h"

#include "grading/report_identity.h"
#include "grading/results_hints.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

namespace {

constexpr int ALL_PASS = 0;
constexpr int NOT_ALL_PASS = 1;
constexpr int CANNOT_GRADE = 2;

// What the outputs are made of: one file's grades or a suite's.
struct TOutputs
{
    QByteArray table;
    QByteArray json;
    std::function<bool(const QString &, QString *)> html;
    std::function<bool(const QString &, QString *)> pdf;
};

class TGrading
{
public:
    TGrading(const TGradeOptions &options_, FILE *standard_error_)
        : options(options_), standard_error(standard_error_)
    {
    }
    int Run();

private:
    int Run_Suite();
    // Grades one validation file against its results (none with --refit or
    // when results_path is empty). False, with the error said, when the
    // reference or the results cannot be used.
    bool Grade_File(const QString &validation_path, const QString &results_path,
                    TGradeReport &report);
    bool Read(const QString &path, QByteArray &content);
    // Reads, checks and reports one results file against the reference:
    // the whole of what a run does with it before grading. False when it
    // cannot be graded.
    bool Read_Results_File(const QString &path, const TReference &reference,
                           TResultsReading &reading, TGradeReport &report);
    bool Write_Outputs(const TOutputs &outputs);
    bool Write_To(const QString &path, const QByteArray &bytes);
    bool Is_An_Input(const QString &path);
    void Error(const QString &file, const QString &message)
    {
        std::fprintf(standard_error, "%s: error: %s\n", qPrintable(file), qPrintable(message));
    }
    void Warning(const QString &file, const QString &message)
    {
        std::fprintf(standard_error, "%s: warning: %s\n", qPrintable(file), qPrintable(message));
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
        if (line > 0)
            std::fprintf(standard_error, "%s:%d: warning: %s\n", qPrintable(file), line,
                         qPrintable(message));
        else
            Warning(file, message);
    }
    bool Take_Date(QDateTime &date);
    // Reads DIR/suite.json, when there is one, into the suite's record.
    bool Read_Manifest(TSuiteReport &suite);

    const TGradeOptions &options;
    FILE *const standard_error;
    // Every file the run reads, which no output may replace.
    QStringList inputs;
};

bool TGrading::Read(const QString &path, QByteArray &content)
{
    QString reason;
    if (Read_Input_File(path, content, reason))
        return true;
    Error(path, QStringLiteral("cannot read: ") + reason);
    return false;
}

bool TGrading::Read_Results_File(const QString &path, const TReference &reference,
                                 TResultsReading &reading, TGradeReport &report)
{
    QByteArray results;
    if (!Read(path, results))
        return false;
    report.results_path = QFileInfo(path).absoluteFilePath();
    report.results_sha256 = QCryptographicHash::hash(results, QCryptographicHash::Sha256).toHex();
    TResultsOptions read_options;
    read_options.qif_results = options.qif_results;
    read_options.csv_unit = options.csv_unit;
    read_options.criterion = reference.criterion;
    reading = Read_Results(results, Reference_Labels(reference), read_options);
    report.results_format = Results_Format_Name(reading);
    switch (reading.failure) {
    case TResultsFailure::NONE:
        break;
    case TResultsFailure::UNUSABLE:
        Error(path, reading.failure_line, reading.failure_message);
        return false;
    case TResultsFailure::NO_SUCH_QIF_RESULTS:
        Usage_Error(QStringLiteral("--qif-results %1: %2 holds %3 MeasurementResults")
                        .arg(options.qif_results)
                        .arg(path)
                        .arg(reading.qif_results));
        return false;
    }
    // A suite may mix formats: there the part of each QIF file is chosen.
    if (options.qif_results > 0 && reading.format != TResultsFormat::QIF &&
        options.suite_dir.isEmpty()) {
        Usage_Error(QStringLiteral("--qif-results applies to QIF results; %1 is %2")
                        .arg(path, report.results_format));
        return false;
    }
    for (const TResultsWarning &warning : reading.warnings)
        Warning(path, warning.line_number, warning.message);
    return true;
}

bool TGrading::Is_An_Input(const QString &path)
{
    const TFileIdentity output = TFileIdentity::Of_Path(path);
    for (const QString &input : inputs) {
        if (output.Same_File(TFileIdentity::Of_Path(input))) {
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

bool TGrading::Write_Outputs(const TOutputs &outputs)
{
    bool written = true;
    const bool json_to_standard_output = options.json_file == QLatin1String("-");
    TOutputFile standard_output(QString{});
    standard_output.Open();
    standard_output.Write(json_to_standard_output ? outputs.json : outputs.table);
    if (!standard_output.Commit()) {
        Error(standard_output.Name(),
              QStringLiteral("cannot write: ") + standard_output.Error_String());
        written = false;
    }
    if (!options.json_file.isEmpty() && !json_to_standard_output)
        written &= Write_To(options.json_file, outputs.json);
    if (!options.report_file.isEmpty()) {
        if (Is_An_Input(options.report_file)) {
            written = false;
        } else {
            QString reason;
            const bool saved = options.pdf_report ? outputs.pdf(options.report_file, &reason)
                                                  : outputs.html(options.report_file, &reason);
            if (!saved) {
                Error(options.report_file, QStringLiteral("cannot write: ") + reason);
                written = false;
            }
        }
    }
    return written;
}

bool TGrading::Grade_File(const QString &validation_path, const QString &results_path,
                          TGradeReport &report)
{
    QByteArray validation;
    if (!Read(validation_path, validation))
        return false;
    const TReference reference = Read_Reference(validation);
    for (const TValidationDiagnostic &diagnostic : reference.diagnostics) {
        if (diagnostic.kind == TValidationDiagnostic::NOT_A_VALIDATION_FILE) {
            Error(validation_path, diagnostic.message);
            return false;
        }
        Warning(validation_path, diagnostic.line_number, diagnostic.message);
    }

    report.reference_path = QFileInfo(validation_path).absoluteFilePath();
    report.reference_sha256 =
        QCryptographicHash::hash(validation, QCryptographicHash::Sha256).toHex();
    report.refit = options.refit;
    report.tested_software = options.software;
    report.record = options.record;
    report.mpe = options.mpe;
    report.version = QStringLiteral(TESSALINE_VERSION);

    if (options.refit) {
        Grade_Refit(reference, report);
        return true;
    }
    if (results_path.isEmpty()) {
        Grade_Without_Results(reference, report);
        return true;
    }
    TResultsReading reading;
    if (!Read_Results_File(results_path, reference, reading, report))
        return false;
    Grade_Results(reference, reading, report);
    for (const TGradeWarning &warning : report.warnings)
        Warning(validation_path, warning.line_number, warning.message);
    for (const QString &hint : Results_Hints(reference, reading, report))
        Warning(results_path, hint);
    return true;
}

bool TGrading::Take_Date(QDateTime &date)
{
    QString reason;
    if (Grading_Date(date, reason))
        return true;
    std::fprintf(standard_error, "tessaline-grade: error: %s\n", qPrintable(reason));
    return false;
}

bool TGrading::Read_Manifest(TSuiteReport &suite)
{
    const QString path = QDir(options.suite_dir).filePath(QStringLiteral("suite.json"));
    if (!QFileInfo::exists(path))
        return true;
    QByteArray content;
    if (!Read(path, content))
        return false;
    inputs << path;
    suite.manifest_path = QFileInfo(path).absoluteFilePath();
    suite.manifest_sha256 = QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex();
    const QJsonValue seed = QJsonDocument::fromJson(content).object().value(QStringLiteral("seed"));
    if (seed.isDouble() && seed.toDouble() >= 0)
        suite.seed = seed.toDouble();
    else
        Warning(path, QStringLiteral("states no seed; the report says so"));
    return true;
}

int TGrading::Run()
{
    if (!options.suite_dir.isEmpty())
        return Run_Suite();
    inputs = QStringList{options.validation_file, options.results_file};
    inputs.removeAll(QString());

    TGradeReport report;
    if (!Take_Date(report.date))
        return CANNOT_GRADE;
    if (!Grade_File(options.validation_file, options.results_file, report))
        return CANNOT_GRADE;
    report.report_id =
        Report_Identifier({report.reference_sha256, report.results_sha256}, report.date);
    const TOutputs outputs{Grade_Table(report), Grade_Json(report),
                           [&](const QString &path, QString *reason) {
                               return Write_Html_Report(path, report, reason);
                           },
                           [&](const QString &path, QString *reason) {
                               return Write_Pdf_Report(path, report, reason);
                           }};
    if (!Write_Outputs(outputs))
        return CANNOT_GRADE;
    return report.summary.All_Pass() ? ALL_PASS : NOT_ALL_PASS;
}

int TGrading::Run_Suite()
{
    QString reason;
    std::vector<TSuiteFile> files;
    if (!Find_Suite_Files(options.suite_dir, options.results_dir, files, reason)) {
        Error(options.suite_dir, reason);
        return CANNOT_GRADE;
    }
    // Otherwise a mistyped name grades every feature missing.
    if (!options.results_dir.isEmpty() && !Results_Directory_Usable(options.results_dir, reason)) {
        Error(options.results_dir, reason);
        return CANNOT_GRADE;
    }
    for (const TSuiteFile &file : files) {
        inputs << file.validation_path;
        if (!file.results_path.isEmpty())
            inputs << file.results_path;
    }

    TSuiteReport suite;
    suite.suite_path = QFileInfo(options.suite_dir).absoluteFilePath();
    suite.results_path = options.results_dir.isEmpty()
                             ? QString()
                             : QFileInfo(options.results_dir).absoluteFilePath();
    suite.refit = options.refit;
    suite.tested_software = options.software;
    suite.record = options.record;
    suite.mpe = options.mpe;
    if (!Take_Date(suite.date) || !Read_Manifest(suite))
        return CANNOT_GRADE;
    suite.version = QStringLiteral(TESSALINE_VERSION);
    bool every_file_graded = true;
    for (const TSuiteFile &file : files) {
        if (!options.refit && file.results_path.isEmpty())
            Warning(file.validation_path,
                    QStringLiteral("no results: none of %1 exists; its features count as missing")
                        .arg(file.results_tried.join(QStringLiteral(", "))));
        TGradeReport report;
        report.date = suite.date;
        if (Grade_File(file.validation_path, file.results_path, report))
            suite.files.push_back(std::move(report));
        else
            every_file_graded = false;
    }
    Summarise_Suite(suite);
    QList<QByteArray> hashes{suite.manifest_sha256};
    for (const TGradeReport &file : suite.files)
        hashes << file.reference_sha256 << file.results_sha256;
    suite.report_id = Report_Identifier(hashes, suite.date);
    for (TGradeReport &file : suite.files)
        file.report_id = suite.report_id;

    const TOutputs outputs{Suite_Table(suite), Suite_Json(suite),
                           [&](const QString &path, QString *reason) {
                               return Write_Html_Report(path, suite, reason);
                           },
                           [&](const QString &path, QString *reason) {
                               return Write_Pdf_Report(path, suite, reason);
                           }};
    if (!Write_Outputs(outputs) || !every_file_graded)
        return CANNOT_GRADE;
    return suite.summary.All_Pass() ? ALL_PASS : NOT_ALL_PASS;
}

} // namespace

int Run_Grading(const TGradeOptions &options, FILE *standard_error)
{
    return TGrading(options, standard_error).Run();
}
