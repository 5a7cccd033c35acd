#pragma once

#include "conversion/preferences.h"

#include <QString>
#include <QStringList>

// What the command line of tessaline-convert asks for.
struct TConvertOptions
{
    TPreferences::TDMISFeatureType point_type = TPreferences::MEASURED_POINTS;
    bool output_fits = false; // --output-fits: ask for the fits back
    QString output;           // -o: one output file; empty for standard output
    QString output_dir;       // --output-dir: one file per input in this directory
    QStringList inputs;
};

enum class TConvertCommand
{
    CONVERT,
    SHOW_HELP,
    SHOW_VERSION,
    USAGE_ERROR
};

// Reads the arguments (the program name first). On SHOW_HELP and
// SHOW_VERSION, text holds what to print; on USAGE_ERROR the reason.
TConvertCommand Parse_Convert_Options(const QStringList &arguments, TConvertOptions &options,
                                      QString &text);
