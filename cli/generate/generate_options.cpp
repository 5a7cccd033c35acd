#include "cli/generate/generate_options.h"

#include "core/message_number.h"
#include "generating/suite.h"
#include "options/command_line_number.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <algorithm>
#include <climits>

namespace {

// "DIR/plane.dat, line.dat, ... and suite.json": the files --suite writes.
QString Suite_Files_Text()
{
    QStringList names;
    for (const TSuiteFile &file : Suite_Files())
        names << Suite_File_Name(file);
    return QStringLiteral("DIR/") + names.join(QStringLiteral(", ")) +
           QStringLiteral(" and suite.json");
}

} // namespace

TGenerateCommand Parse_Generate_Options(const QStringList &arguments, TGenerateOptions &options,
                                        QString &text)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes validation files (*.dat) whose least-squares fits are known exactly: each "
        "feature's points are built about a designed plane, line, circle, sphere, cylinder, "
        "cone or torus so that it is their least-squares fit, and the file states the "
        "least-squares fit of the points as written. With --suite, writes Tessaline's fixed "
        "suite of all seven types.\n\nNumbers are written with \".\" as the decimal point "
        "and may have an exponent (0.001, 1e-3); lengths are in mm, angles in degrees.\n\n"
        "Exit status: 0 when everything was written, 1 when a data set was rejected or a "
        "file could not be written, 2 for a usage error."));
    const QCommandLineOption help_option = parser.addHelpOption();
    const QCommandLineOption version_option = parser.addVersionOption();
    // The choices go in the description, which keeps the option column
    // narrow enough for the suite's file names to wrap whole.
    const QCommandLineOption type_option(
        "type", "The feature type: plane, line, circle, sphere, cylinder, cone or torus.", "TYPE");
    const QCommandLineOption count_option(
        "count",
        QStringLiteral("Data sets in the file, 1 to %1 (default 1); at most %2 points in all.")
            .arg(MAX_COUNT)
            .arg(MAX_TOTAL_POINTS),
        "N");
    const QCommandLineOption points_option(
        "points",
        QStringLiteral("Points of each data set, from the least that determines the type (plane "
                       "3, line 2, circle 3, sphere 4, cylinder 5, cone 6, torus 7) to %1 "
                       "(default 25).")
            .arg(MAX_POINTS),
        "N");
    const QCommandLineOption size_option(
        "size",
        QStringLiteral("Diameter (a cone's at the middle of its points, a torus' major one), the "
                       "plane patch's long side or the line segment's length, more than 0 and up "
                       "to %1 (default 50).")
            .arg(Message_Number(MAX_SIZE)),
        "MM");
    const QCommandLineOption aspect_option(
        "aspect",
        QStringLiteral("Plane: the patch's long side over its short side, 1 to %1 (default 1).")
            .arg(Message_Number(MAX_ASPECT)),
        "R");
    const QCommandLineOption arc_option(
        "arc",
        "Circle, cylinder, cone, torus: span round the axis, up to 360 (the default); sphere: "
        "half-angle of the cap, up to 180 (the default; 90 is a hemisphere).",
        "DEG");
    const QCommandLineOption length_option(
        "length",
        QStringLiteral("Cylinder, cone: span of the points along the axis, up to %1 (default: "
                       "the size, for a cone at most the longest that keeps the diameter at the "
                       "narrow end of its points a tenth of the size).")
            .arg(Message_Number(MAX_LENGTH)),
        "MM");
    const QCommandLineOption angle_option(
        "angle", "Cone: the included apex angle, between 0 and 180 (default 30).", "DEG");
    const QCommandLineOption minor_option(
        "minor", "Torus: the tube's diameter, less than the size (default a quarter of it).", "MM");
    const QCommandLineOption band_option(
        "band",
        "Torus: span of the tube angle, centred on the outer equator, up to 360 (the default).",
        "DEG");
    const QCommandLineOption distance_option(
        "distance",
        QStringLiteral("Distance of the design position from the origin, 0 to %1 (default 0).")
            .arg(Message_Number(MAX_DISTANCE)),
        "MM");
    const QCommandLineOption orientation_option(
        "orientation",
        "Of the normal, direction, axis or cap: along a coordinate axis, 0.001 rad off one, or "
        "uniform over the directions (the default).",
        "axis|tilted|random");
    const QCommandLineOption form_option(
        "form",
        "The largest deviation of a point from the design, up to a quarter of the size, of a "
        "torus' minor diameter or of a cone's diameter at the narrow end (default 0.001, or that "
        "quarter where it is less).",
        "MM");
    const QCommandLineOption criterion_option(
        "criterion",
        "Build the data sets for a minimax fit instead of least squares: lines and planes "
        "minimum-zone, circles, spheres and cylinders any of the three. --form is then the "
        "zone's width F (circumscribed or inscribed: the range of the points' distances from "
        "the centre or axis). CRITERION: minimum-zone, minimum-circumscribed or "
        "maximum-inscribed.",
        "CRITERION");
    const QCommandLineOption decimals_option(
        "decimals",
        QStringLiteral("Decimals of the written coordinates, 0 to %1 (default 5).")
            .arg(MAX_DECIMALS),
        "D");
    const QCommandLineOption seed_option(
        "seed", QStringLiteral("Seed of the random numbers, 0 to %1 (default 1).").arg(MAX_SEED),
        "N");
    const QCommandLineOption manifest_option(
        "manifest",
        "Write the data sets' parameters and residuals as JSON to FILE; - for standard output.",
        "FILE.json");
    const QCommandLineOption output_option(QStringList{"o", "output"},
                                           "The validation file to write; - for standard output.",
                                           "FILE.dat");
    const QCommandLineOption suite_option(
        "suite",
        QStringLiteral("Write the fixed suite: %1; DIR is created if missing. Takes --seed and "
                       "--force alone. A directory that holds a suite of another seed is left as "
                       "it is.")
            .arg(Suite_Files_Text()),
        "DIR");
    const QCommandLineOption force_option(
        "force", "With --suite: replace a suite of another seed, or suite files without a "
                 "suite.json, in DIR.");
    const QList<QCommandLineOption> data_set_options = {
        type_option,     count_option,       points_option, size_option,     aspect_option,
        arc_option,      length_option,      angle_option,  minor_option,    band_option,
        distance_option, orientation_option, form_option,   decimals_option, manifest_option,
        output_option,   criterion_option};
    for (const QCommandLineOption &option : data_set_options)
        parser.addOption(option);
    parser.addOption(seed_option);
    parser.addOption(suite_option);
    parser.addOption(force_option);

    if (!parser.parse(arguments)) {
        text = parser.errorText();
        return TGenerateCommand::USAGE_ERROR;
    }
    if (parser.isSet(help_option)) {
        text = parser.helpText();
        return TGenerateCommand::SHOW_HELP;
    }
    if (parser.isSet(version_option)) {
        text = QStringLiteral("tessaline-generate ") + QStringLiteral(TESSALINE_VERSION) + '\n';
        return TGenerateCommand::SHOW_VERSION;
    }
    if (!parser.positionalArguments().isEmpty()) {
        text = QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
        return TGenerateCommand::USAGE_ERROR;
    }

    qint64 integer = 0;
    if (parser.isSet(seed_option)) {
        text = Read_Whole_Number_Option(QStringLiteral("seed"), parser.value(seed_option), integer);
        if (!text.isEmpty())
            return TGenerateCommand::USAGE_ERROR;
        if (integer < 0 || integer > static_cast<qint64>(MAX_SEED)) {
            text =
                Range_Problem(QStringLiteral("seed"), QStringLiteral("from 0 to %1").arg(MAX_SEED));
            return TGenerateCommand::USAGE_ERROR;
        }
        options.seed = static_cast<std::uint64_t>(integer);
    }

    if (parser.isSet(suite_option)) {
        for (const QCommandLineOption &option : data_set_options) {
            if (parser.isSet(option)) {
                text = QStringLiteral("--suite takes --seed as its only other option, not --%1")
                           .arg(option.names().last());
                return TGenerateCommand::USAGE_ERROR;
            }
        }
        options.suite_dir = parser.value(suite_option);
        options.force = parser.isSet(force_option);
        if (options.suite_dir.isEmpty()) {
            text = QStringLiteral("--suite needs a directory");
            return TGenerateCommand::USAGE_ERROR;
        }
        return TGenerateCommand::GENERATE;
    }

    if (parser.isSet(force_option)) {
        text = QStringLiteral("--force goes with --suite, whose files it lets replace");
        return TGenerateCommand::USAGE_ERROR;
    }
    if (!parser.isSet(type_option)) {
        text = QStringLiteral(
            "give --type plane|line|circle|sphere|cylinder|cone|torus, or --suite DIR");
        return TGenerateCommand::USAGE_ERROR;
    }
    TFeatureType type = TFeatureType::PLANE;
    if (!Type_From_Name(parser.value(type_option), type)) {
        text = QStringLiteral("unknown type '%1': use plane, line, circle, sphere, cylinder, "
                              "cone or torus")
                   .arg(parser.value(type_option));
        return TGenerateCommand::USAGE_ERROR;
    }
    TDataSetOptions &data_set = options.data_set;
    data_set = Default_Options(type);
    if (parser.isSet(criterion_option)) {
        const QByteArray name = parser.value(criterion_option).toUtf8();
        if (!Criterion_Of_Name(name.constData(), &data_set.criterion) ||
            data_set.criterion == TCriterion::LEAST_SQUARES) {
            text = QStringLiteral("unknown criterion '%1': use minimum-zone, "
                                  "minimum-circumscribed or maximum-inscribed")
                       .arg(parser.value(criterion_option));
            return TGenerateCommand::USAGE_ERROR;
        }
    }
    const QString type_name = QLatin1String(Feature_Type_Name(type));
    if (parser.isSet(aspect_option) && !Has_Aspect(type)) {
        text = QStringLiteral("--aspect applies to a plane, not a %1").arg(type_name);
        return TGenerateCommand::USAGE_ERROR;
    }
    const struct
    {
        const QCommandLineOption &option;
        bool (*applies)(TFeatureType);
        const char *to;
    } shapes[] = {{arc_option, Has_Arc, "a circle, sphere, cylinder, cone or torus"},
                  {length_option, Has_Length, "a cylinder or a cone"},
                  {angle_option, Has_Angle, "a cone"},
                  {minor_option, Has_Minor, "a torus"},
                  {band_option, Has_Band, "a torus"}};
    for (const auto &shape : shapes) {
        if (parser.isSet(shape.option) && !shape.applies(type)) {
            text = QStringLiteral("--%1 applies to %2, not a %3")
                       .arg(shape.option.names().first(), QLatin1String(shape.to), type_name);
            return TGenerateCommand::USAGE_ERROR;
        }
    }

    const struct
    {
        const QCommandLineOption &option;
        int &value;
    } integers[] = {{count_option, options.count},
                    {points_option, data_set.points},
                    {decimals_option, data_set.decimals}};
    for (const auto &entry : integers) {
        if (!parser.isSet(entry.option))
            continue;
        text = Read_Whole_Number_Option(entry.option.names().first(), parser.value(entry.option),
                                        integer);
        if (!text.isEmpty())
            return TGenerateCommand::USAGE_ERROR;
        // Beyond an int the ranges below refuse it all the same.
        entry.value = static_cast<int>(std::clamp<qint64>(integer, INT_MIN, INT_MAX));
    }
    const struct
    {
        const QCommandLineOption &option;
        double &value;
    } reals[] = {{size_option, data_set.size},   {aspect_option, data_set.aspect},
                 {arc_option, data_set.arc},     {length_option, data_set.length},
                 {angle_option, data_set.angle}, {minor_option, data_set.minor},
                 {band_option, data_set.band},   {distance_option, data_set.distance},
                 {form_option, data_set.form}};
    for (const auto &entry : reals) {
        if (!parser.isSet(entry.option))
            continue;
        text = Read_Number_Option(entry.option.names().first(), parser.value(entry.option),
                                  entry.value);
        if (!text.isEmpty())
            return TGenerateCommand::USAGE_ERROR;
    }
    // Unless given, a length is the size and a minor diameter a quarter of
    // it; a cone's length and a form then fit what the others allow.
    if (!parser.isSet(length_option))
        data_set.length = data_set.size;
    if (!parser.isSet(minor_option))
        data_set.minor = data_set.size / 4;
    Fit_Defaults(data_set, !parser.isSet(length_option), !parser.isSet(form_option));
    if (parser.isSet(orientation_option) &&
        !Orientation_From_Name(parser.value(orientation_option), data_set.orientation)) {
        text = QStringLiteral("unknown orientation '%1': use axis, tilted or random")
                   .arg(parser.value(orientation_option));
        return TGenerateCommand::USAGE_ERROR;
    }

    if (options.count < 1 || options.count > MAX_COUNT) {
        text =
            Range_Problem(QStringLiteral("count"), QStringLiteral("from 1 to %1").arg(MAX_COUNT));
        return TGenerateCommand::USAGE_ERROR;
    }
    text = Options_Problem(data_set);
    if (!text.isEmpty())
        return TGenerateCommand::USAGE_ERROR;
    if (static_cast<qint64>(options.count) * data_set.points > MAX_TOTAL_POINTS) {
        text = QStringLiteral("--count times --points: at most %1 points in all")
                   .arg(MAX_TOTAL_POINTS);
        return TGenerateCommand::USAGE_ERROR;
    }

    options.output = parser.value(output_option);
    if (options.output.isEmpty()) {
        text = QStringLiteral("give -o FILE.dat, or -o - for standard output");
        return TGenerateCommand::USAGE_ERROR;
    }
    options.manifest = parser.value(manifest_option);
    if (parser.isSet(manifest_option) && options.manifest.isEmpty()) {
        text = QStringLiteral("--manifest needs a file name, or - for standard output");
        return TGenerateCommand::USAGE_ERROR;
    }
    const bool same_file =
        options.manifest == options.output ||
        (options.manifest != QLatin1String("-") && options.output != QLatin1String("-") &&
         QFileInfo(options.manifest).absoluteFilePath() ==
             QFileInfo(options.output).absoluteFilePath());
    if (!options.manifest.isEmpty() && same_file) {
        text = QStringLiteral("-o and --manifest name the same file");
        return TGenerateCommand::USAGE_ERROR;
    }
    return TGenerateCommand::GENERATE;
}

QString Options_Text(const TGenerateOptions &options)
{
    const TDataSetOptions &data_set = options.data_set;
    QString text = QStringLiteral("--type %1 --count %2 --points %3 --size %4")
                       .arg(QLatin1String(Feature_Type_Name(data_set.type)))
                       .arg(options.count)
                       .arg(data_set.points)
                       .arg(Number_Text(data_set.size));
    if (Has_Aspect(data_set.type))
        text += QStringLiteral(" --aspect ") + Number_Text(data_set.aspect);
    if (Has_Arc(data_set.type))
        text += QStringLiteral(" --arc ") + Number_Text(data_set.arc);
    if (Has_Length(data_set.type))
        text += QStringLiteral(" --length ") + Number_Text(data_set.length);
    if (Has_Angle(data_set.type))
        text += QStringLiteral(" --angle ") + Number_Text(data_set.angle);
    if (Has_Minor(data_set.type))
        text += QStringLiteral(" --minor ") + Number_Text(data_set.minor);
    if (Has_Band(data_set.type))
        text += QStringLiteral(" --band ") + Number_Text(data_set.band);
    if (data_set.criterion != TCriterion::LEAST_SQUARES)
        text += QStringLiteral(" --criterion ") + QLatin1String(Criterion_Name(data_set.criterion));
    text +=
        QStringLiteral(" --distance %1 --orientation %2 --form %3 --decimals %4")
            .arg(Number_Text(data_set.distance),
                 QLatin1String(Orientation_Name(data_set.orientation)), Number_Text(data_set.form))
            .arg(data_set.decimals);
    return text;
}

QJsonObject Options_Json(const TGenerateOptions &options)
{
    const TDataSetOptions &data_set = options.data_set;
    QJsonObject json;
    json["type"] = QLatin1String(Feature_Type_Name(data_set.type));
    json["count"] = options.count;
    json["points"] = data_set.points;
    json["size"] = data_set.size;
    if (Has_Aspect(data_set.type))
        json["aspect"] = data_set.aspect;
    if (Has_Arc(data_set.type))
        json["arc"] = data_set.arc;
    if (Has_Length(data_set.type))
        json["length"] = data_set.length;
    if (Has_Angle(data_set.type))
        json["angle"] = data_set.angle;
    if (Has_Minor(data_set.type))
        json["minor"] = data_set.minor;
    if (Has_Band(data_set.type))
        json["band"] = data_set.band;
    json["distance"] = data_set.distance;
    json["orientation"] = QLatin1String(Orientation_Name(data_set.orientation));
    json["form"] = data_set.form;
    json["decimals"] = data_set.decimals;
    if (data_set.criterion != TCriterion::LEAST_SQUARES)
        json["criterion"] = QLatin1String(Criterion_Name(data_set.criterion));
    return json;
}
