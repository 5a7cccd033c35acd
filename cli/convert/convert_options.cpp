#include "cli/convert/convert_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

TConvertCommand Parse_Convert_Options(const QStringList &arguments, TConvertOptions &options,
                                      QString &text)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Converts best-fit validation data files (*.dat) into DMIS part programs (*.dms).");
    const QCommandLineOption help_option = parser.addHelpOption();
    const QCommandLineOption version_option = parser.addVersionOption();
    const QCommandLineOption points_option(
        "points",
        "How the points are written: measured (a MEAS/POINT block each, the default) or offset "
        "(constructed offset points, CONST/POINT with MOVEPT).",
        "measured|offset", "measured");
    const QCommandLineOption output_option(QStringList{"o", "output"},
                                           "Write the program to <file> instead of standard "
                                           "output. Only with one input.",
                                           "file");
    const QCommandLineOption output_dir_option(
        "output-dir", "Write each program to <dir>/BASENAME.dms; takes one or more inputs.", "dir");
    const QCommandLineOption output_fits_option(
        "output-fits",
        "Add an OUTPUT/FA(label) statement for every constructed feature before ENDFIL, so that "
        "the inspection software writes its fits to its DMIS output file for tessaline-grade.");
    parser.addOption(points_option);
    parser.addOption(output_fits_option);
    parser.addOption(output_option);
    parser.addOption(output_dir_option);
    parser.addPositionalArgument("inputs", "Validation data files to convert.", "INPUT...");

    if (!parser.parse(arguments)) {
        text = parser.errorText();
        return TConvertCommand::USAGE_ERROR;
    }
    if (parser.isSet(help_option)) {
        text = parser.helpText();
        return TConvertCommand::SHOW_HELP;
    }
    if (parser.isSet(version_option)) {
        text = QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion() +
               '\n';
        return TConvertCommand::SHOW_VERSION;
    }

    const QString points = parser.value(points_option);
    if (points == "measured") {
        options.point_type = TPreferences::MEASURED_POINTS;
    } else if (points == "offset") {
        options.point_type = TPreferences::CONSTRUCTED_OFFSET_POINTS;
    } else {
        text = QString("unknown point type '%1': use measured or offset").arg(points);
        return TConvertCommand::USAGE_ERROR;
    }

    options.output_fits = parser.isSet(output_fits_option);
    options.output = parser.value(output_option);
    options.output_dir = parser.value(output_dir_option);
    options.inputs = parser.positionalArguments();
    if (options.inputs.isEmpty()) {
        text = "no input file";
        return TConvertCommand::USAGE_ERROR;
    }
    if (parser.isSet(output_option) && parser.isSet(output_dir_option)) {
        text = "-o and --output-dir cannot be used together";
        return TConvertCommand::USAGE_ERROR;
    }
    if (parser.isSet(output_option) && options.output.isEmpty()) {
        text = "-o needs a file name";
        return TConvertCommand::USAGE_ERROR;
    }
    if (parser.isSet(output_dir_option) && options.output_dir.isEmpty()) {
        text = "--output-dir needs a directory";
        return TConvertCommand::USAGE_ERROR;
    }
    if (options.output_dir.isEmpty() && options.inputs.size() > 1) {
        text = options.output.isEmpty() ? "several inputs need --output-dir"
                                        : "-o takes one input only; use --output-dir for several";
        return TConvertCommand::USAGE_ERROR;
    }
    return TConvertCommand::CONVERT;
}
