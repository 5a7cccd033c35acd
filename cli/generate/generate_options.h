#pragma once

#include "generating/data_set_options.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>

// What the command line of tessaline-generate asks for.
struct TGenerateOptions
{
    QString suite_dir;  // --suite: the whole suite into this directory
    bool force = false; // --force: over a suite of another seed
    TDataSetOptions data_set;
    int count = 1;
    std::uint64_t seed = 1;
    QString output;   // -o; "-" for standard output
    QString manifest; // --manifest; empty for none, "-" for standard output
};

enum class TGenerateCommand
{
    GENERATE,
    SHOW_HELP,
    SHOW_VERSION,
    USAGE_ERROR
};

// Reads the arguments (the program name first). On SHOW_HELP and
// SHOW_VERSION, text holds what to print; on USAGE_ERROR the reason, one line.
TGenerateCommand Parse_Generate_Options(const QStringList &arguments, TGenerateOptions &options,
                                        QString &text);

// The options that make the data sets, every one written out, defaults
// included: "--type circle --count 1 --points 25 ...", for the file's comments.
QString Options_Text(const TGenerateOptions &options);
// The same as the manifest's "options".
QJsonObject Options_Json(const TGenerateOptions &options);

// The largest seed: the manifest's JSON number holds it exactly.
constexpr std::uint64_t MAX_SEED = (std::uint64_t(1) << 53) - 1;
// The most data sets in one file, and points in all of them.
constexpr int MAX_COUNT = 100000;
constexpr qint64 MAX_TOTAL_POINTS = 10000000;
