#include "cli/grade/grade_options.h"

#include "options/command_line_number.h"
#include "results/results_reading.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <climits>

namespace {

// "NAME.dmo or NAME.csv", from the one list of results suffixes.
QString Suffix_Choice()
{
    QStringList names;
    for (const QString &suffix : Results_Suffixes())
        names << QStringLiteral("NAME.") + suffix;
    const QString last = names.takeLast();
    return names.isEmpty() ? last
                           : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

} // namespace

TGradeCommand Parse_Grade_Options(const QStringList &arguments, TGradeOptions &options,
                                  QString &text)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Grades an inspection software's best fits against the reference results "
                       "of a validation file (*.dat): RESULTS is the software's DMIS output "
                       "file, a CSV file with the columns label,x,y,z,i,j,k,diameter, or its QIF "
                       "measurement results (QIF 2.0, 2.1 or 3), told apart by content. With "
                       "--refit, grades the file's own results against Tessaline's fits of "
                       "its points instead.\n\n"
                       "With --suite, grades a whole suite of validation files, file by file, "
                       "and summarises it per feature type and quantity; a validation file "
                       "without results counts as missing:\n"
                       "  tessaline-grade [options] --suite DIR [RESULTS_DIR]\n"
                       "  tessaline-grade [options] --refit --suite DIR\n\n") +
        Fit_Definitions() +
        QStringLiteral("\n\nA quantity passes when |deviation| + e <= MPE and fails when "
                       "|deviation| - e > MPE, e being what the resolution of the tested values "
                       "as written allows (ISO 14253-1) plus what the reference leaves open by "
                       "itself: its points rounded to the program's 6 decimals and, for "
                       "circles, NIST's definition against the full three-dimensional fit; "
                       "otherwise it is inconclusive, as it is when a part of e cannot be "
                       "computed. A cone's apex angle is graded against the angle MPE, a "
                       "torus' minor diameter against the size MPE.\n\nExit "
                       "status: 0 when every feature passes, 1 otherwise, 2 for a usage error, "
                       "an input that cannot be used or an output that cannot be written."));
    const QCommandLineOption help_option = parser.addHelpOption();
    const QCommandLineOption version_option = parser.addVersionOption();
    const QCommandLineOption refit_option(
        "refit", "Grade the validation file's stated results against Tessaline's own fits.");
    const QCommandLineOption position_option(
        "position-mpe", "MPE of positions in mm (default 0.0001).", "MM", "0.0001");
    const QCommandLineOption angle_option(
        "angle-mpe", "MPE of directions and apex angles in rad (default 0.000001).", "RAD",
        "0.000001");
    const QCommandLineOption size_option("size-mpe", "MPE of diameters in mm (default 0.0001).",
                                         "MM", "0.0001");
    const QCommandLineOption form_option(
        "form-mpe",
        "MPE of a minimum-zone feature's form (straightness, flatness, roundness, sphericity, "
        "cylindricity) in mm (default 0.0001).",
        "MM", "0.0001");
    const QCommandLineOption suite_option(
        "suite",
        QStringLiteral("Grade every DIR/NAME.dat, in name order, against RESULTS_DIR/%1 (the "
                       "first that exists); RESULTS_DIR is then the only other argument, DIR by "
                       "default.")
            .arg(Suffix_Choice()),
        "DIR");
    const QCommandLineOption qif_results_option(
        "qif-results",
        "Grade the N-th MeasurementResults (one measured part) of a QIF results file; the first "
        "by default.",
        "N");
    const QCommandLineOption software_option(
        "software", "The tested software's name and version, for the reports.", "TEXT");
    const QCommandLineOption lab_option(
        "lab", "The laboratory that grades, printed at the top of the reports.", "TEXT");
    const QCommandLineOption operator_option(
        "operator", "Who grades, printed at the top of the reports.", "TEXT");
    const QCommandLineOption comment_option(
        "comment", "A remark on the run, printed at the top of the reports.", "TEXT");
    const QCommandLineOption csv_unit_option(
        "csv-unit",
        "The length unit of CSV results, mm (the default) or inch; a unit column of the file "
        "takes precedence in its rows.",
        "UNIT");
    const QCommandLineOption json_option(
        "json", "Write the grades as JSON to FILE; - for standard output instead of the table.",
        "FILE");
    const QCommandLineOption report_option(
        "report", "Write a report to FILE, HTML or PDF by its suffix (.html, .pdf).", "FILE");
    for (const QCommandLineOption &option :
         {refit_option, suite_option, position_option, angle_option, size_option, form_option,
          qif_results_option, csv_unit_option, software_option, lab_option, operator_option,
          comment_option, json_option, report_option})
        parser.addOption(option);
    parser.addPositionalArgument("VALIDATION.dat",
                                 "The validation file: the reference (not with --suite).");
    parser.addPositionalArgument(
        "RESULTS",
        "The tested software's results (not with --refit); with --suite, the directory of them.",
        "[RESULTS]");

    if (!parser.parse(arguments)) {
        text = parser.errorText();
        return TGradeCommand::USAGE_ERROR;
    }
    if (parser.isSet(help_option)) {
        text = parser.helpText();
        return TGradeCommand::SHOW_HELP;
    }
    if (parser.isSet(version_option)) {
        text = QStringLiteral("tessaline-grade ") + QStringLiteral(TESSALINE_VERSION) + '\n';
        return TGradeCommand::SHOW_VERSION;
    }

    options.refit = parser.isSet(refit_option);
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(suite_option)) {
        options.suite_dir = parser.value(suite_option);
        if (options.suite_dir.isEmpty()) {
            text = QStringLiteral("--suite needs a directory");
            return TGradeCommand::USAGE_ERROR;
        }
        if (positional.size() > (options.refit ? 0 : 1)) {
            text = options.refit ? QStringLiteral("--refit --suite takes no other argument")
                                 : QStringLiteral("--suite takes the results directory alone");
            return TGradeCommand::USAGE_ERROR;
        }
        if (!options.refit)
            options.results_dir = positional.isEmpty() ? options.suite_dir : positional[0];
    } else {
        const int wanted = options.refit ? 1 : 2;
        if (positional.size() != wanted) {
            text = options.refit ? QStringLiteral("--refit takes the validation file alone")
                                 : QStringLiteral("give the validation file and the results file, "
                                                  "or --refit and the validation file");
            return TGradeCommand::USAGE_ERROR;
        }
        options.validation_file = positional[0];
        if (!options.refit)
            options.results_file = positional[1];
    }

    // An MPE is a length or an angle, not negative.
    const struct
    {
        const QCommandLineOption &option;
        double &value;
        bool &given;
        const char *unit;
    } mpes[] = {{position_option, options.mpe.position, options.mpe.position_given, "mm"},
                {angle_option, options.mpe.angle, options.mpe.angle_given, "rad"},
                {size_option, options.mpe.size, options.mpe.size_given, "mm"},
                {form_option, options.mpe.form, options.mpe.form_given, "mm"}};
    for (const auto &mpe : mpes) {
        mpe.given = parser.isSet(mpe.option);
        const QString name = mpe.option.names().first();
        text = Read_Number_Option(name, parser.value(mpe.option), mpe.value);
        if (!text.isEmpty())
            return TGradeCommand::USAGE_ERROR;
        if (!(mpe.value >= 0)) {
            text = Range_Problem(name, QStringLiteral("0 %1 or more").arg(QLatin1String(mpe.unit)));
            return TGradeCommand::USAGE_ERROR;
        }
    }

    if (parser.isSet(qif_results_option)) {
        const QString name = qif_results_option.names().first();
        qint64 number = 0;
        text = Read_Whole_Number_Option(name, parser.value(qif_results_option), number);
        if (!text.isEmpty())
            return TGradeCommand::USAGE_ERROR;
        if (number < 1 || number > INT_MAX) {
            text = Range_Problem(name, QStringLiteral("from 1 to %1").arg(INT_MAX));
            return TGradeCommand::USAGE_ERROR;
        }
        options.qif_results = static_cast<int>(number);
        if (options.refit) {
            text = QStringLiteral("--qif-results chooses among the results, which --refit has "
                                  "none of");
            return TGradeCommand::USAGE_ERROR;
        }
    }

    if (parser.isSet(csv_unit_option)) {
        const QString unit = parser.value(csv_unit_option);
        if (unit == QLatin1String("mm")) {
            options.csv_unit = TCsvUnit::MILLIMETRE;
        } else if (unit == QLatin1String("inch")) {
            options.csv_unit = TCsvUnit::INCH;
        } else {
            text = QStringLiteral("--csv-unit needs mm or inch, not '%1'").arg(unit);
            return TGradeCommand::USAGE_ERROR;
        }
        if (options.refit) {
            text = QStringLiteral("--csv-unit tells how CSV results are written, which --refit "
                                  "has none of");
            return TGradeCommand::USAGE_ERROR;
        }
    }

    options.software = parser.value(software_option);
    options.record.lab = parser.value(lab_option);
    options.record.operator_name = parser.value(operator_option);
    options.record.comment = parser.value(comment_option);
    options.json_file = parser.value(json_option);
    if (parser.isSet(json_option) && options.json_file.isEmpty()) {
        text = QStringLiteral("--json needs a file name, or - for standard output");
        return TGradeCommand::USAGE_ERROR;
    }
    options.report_file = parser.value(report_option);
    if (parser.isSet(report_option)) {
        const QString suffix = QFileInfo(options.report_file).suffix().toLower();
        if (suffix != QLatin1String("html") && suffix != QLatin1String("pdf")) {
            text = QStringLiteral("--report needs a file ending in .html or .pdf, not '%1'")
                       .arg(options.report_file);
            return TGradeCommand::USAGE_ERROR;
        }
        options.pdf_report = suffix == QLatin1String("pdf");
    }
    if (!options.json_file.isEmpty() && options.json_file != QLatin1String("-") &&
        !options.report_file.isEmpty() &&
        QFileInfo(options.json_file).absoluteFilePath() ==
            QFileInfo(options.report_file).absoluteFilePath()) {
        text = QStringLiteral("--json and --report name the same file");
        return TGradeCommand::USAGE_ERROR;
    }
    return TGradeCommand::GRADE;
}
