#include "cli/generate/generate_run.h"

#include "files/input_file.h"
#include "files/output_file.h"
#include "generating/manifest.h"
#include "generating/minimax_options.h"
#include "generating/suite.h"
#include "generating/validation_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

#include <cerrno>
#include <iterator>

namespace {

constexpr int WRITTEN = 0;
constexpr int NOT_WRITTEN = 1;

const QString VERSION = QStringLiteral(TESSALINE_VERSION);

class TGeneration
{
public:
    TGeneration(const TGenerateOptions &options_, FILE *standard_error_)
        : options(options_), standard_error(standard_error_)
    {
    }
    int Run();

private:
    int One_File();
    int Suite();
    bool Write(const QString &path, const QByteArray &bytes);
    bool Make_Directory(const QString &path);
    // Whether the suite may be written into its directory: not over a suite
    // of another seed, nor over suite files no suite.json describes, unless
    // --force is given.
    bool May_Write_Suite();
    void Error(const QString &where, const QString &message)
    {
        std::fprintf(standard_error, "%s: error: %s\n", qPrintable(where), qPrintable(message));
    }

    const TGenerateOptions &options;
    FILE *const standard_error;
};

bool TGeneration::Write(const QString &path, const QByteArray &bytes)
{
    TOutputFile file(path == QLatin1String("-") ? QString() : path);
    if (file.Open()) {
        // Committed even after a failed write, which it then reports.
        file.Write(bytes);
        if (file.Commit())
            return true;
    }
    Error(file.Name(), QStringLiteral("cannot write: ") + file.Error_String());
    return false;
}

bool TGeneration::Make_Directory(const QString &path)
{
    if (QFileInfo(path).isDir() || QDir().mkpath(path))
        return true;
    // QDir keeps the system's reason to itself; asking again gives it.
    const int error_number = ::mkdir(QFile::encodeName(path).constData(), 0777) == 0 ? 0 : errno;
    if (error_number == 0)
        return true;
    Error(path, QStringLiteral("cannot create the directory: ") + qt_error_string(error_number));
    return false;
}

int TGeneration::One_File()
{
    const std::vector<TDataSet> data_sets =
        Generate_Data_Sets(options.data_set, options.count, options.seed);
    bool rejected = false;
    for (const TDataSet &data_set : data_sets) {
        if (data_set.failure.isEmpty())
            continue;
        Error(QStringLiteral("tessaline-generate"),
              QStringLiteral("data set %1 (%2, %3, seed %4) is rejected: %5")
                  .arg(data_set.number)
                  .arg(Criterion_Element_Name(data_set.options.type, data_set.options.criterion),
                       Describe(data_set.options))
                  .arg(options.seed)
                  .arg(data_set.failure));
        rejected = true;
    }
    if (rejected)
        return NOT_WRITTEN;

    const TFeatureType type = options.data_set.type;
    const TCriterion criterion = options.data_set.criterion;
    const QByteArray text = Validation_File_Text(
        type, File_Comments(type, VERSION, options.seed, Options_Text(options), criterion),
        data_sets, criterion);
    bool written = Write(options.output, text);
    if (!options.manifest.isEmpty()) {
        const QString file = options.output == QLatin1String("-")
                                 ? options.output
                                 : QFileInfo(options.output).fileName();
        written &=
            Write(options.manifest, Manifest_Json(VERSION, options.seed, Options_Json(options),
                                                  {{file, &data_sets}}));
    }
    return written ? WRITTEN : NOT_WRITTEN;
}

bool TGeneration::May_Write_Suite()
{
    if (options.force || !QFileInfo(options.suite_dir).isDir())
        return true;
    const QDir directory(options.suite_dir);
    const QString manifest = directory.filePath(QStringLiteral("suite.json"));
    if (QFileInfo::exists(manifest)) {
        QByteArray content;
        QString reason;
        if (!Read_Input_File(manifest, content, reason)) {
            Error(manifest, QStringLiteral("cannot read: ") + reason +
                                QStringLiteral("; give --force to replace the suite"));
            return false;
        }
        const QJsonValue seed =
            QJsonDocument::fromJson(content).object().value(QStringLiteral("seed"));
        if (seed.isDouble() && seed.toDouble() == static_cast<double>(options.seed))
            return true; // the same suite again
        const QString found = seed.isDouble() ? QStringLiteral("the suite of seed %1")
                                                    .arg(QString::number(seed.toDouble(), 'f', 0))
                                              : QStringLiteral("a suite.json that states no seed");
        Error(options.suite_dir,
              QStringLiteral("holds %1, not %2: results graded against the one would fail "
                             "against the other; give --force to replace it, or another "
                             "directory")
                  .arg(found, QStringLiteral("the suite of seed %1").arg(options.seed)));
        return false;
    }
    QStringList present;
    for (const TSuiteFile &file : Suite_Files())
        if (QFileInfo::exists(directory.filePath(Suite_File_Name(file))))
            present << Suite_File_Name(file);
    if (present.isEmpty())
        return true;
    Error(options.suite_dir,
          QStringLiteral("holds %1 but no suite.json, so no seed to compare: give --force to "
                         "replace them, or another directory")
              .arg(present.join(QStringLiteral(", "))));
    return false;
}

int TGeneration::Suite()
{
    const std::vector<TSuiteFile> &suite_files = Suite_Files();
    std::vector<std::vector<TDataSet>> data_sets(suite_files.size());
    for (size_t i = 0; i < suite_files.size(); ++i) {
        data_sets[i] = Generate_Suite(suite_files[i], options.seed);
        const QString problem = Suite_Problem(data_sets[i]);
        if (!problem.isEmpty()) {
            Error(QStringLiteral("tessaline-generate"),
                  QStringLiteral("the suite of seed %1 cannot be written: %2")
                      .arg(options.seed)
                      .arg(problem));
            return NOT_WRITTEN;
        }
    }
    if (!May_Write_Suite() || !Make_Directory(options.suite_dir))
        return NOT_WRITTEN;

    const QDir directory(options.suite_dir);
    bool written = true;
    std::vector<TManifestFile> files;
    for (size_t i = 0; i < suite_files.size(); ++i) {
        const TSuiteFile &file = suite_files[i];
        const QString name = Suite_File_Name(file);
        const QByteArray text = Validation_File_Text(
            file.type,
            File_Comments(file.type, VERSION, options.seed,
                          QStringLiteral("--suite, the fixed suite of Tessaline %1").arg(VERSION),
                          file.criterion),
            data_sets[i], file.criterion);
        written &= Write(directory.filePath(name), text);
        files.push_back({name, &data_sets[i]});
    }
    QJsonObject suite_options;
    suite_options["suite"] = true;
    written &= Write(directory.filePath(QStringLiteral("suite.json")),
                     Manifest_Json(VERSION, options.seed, suite_options, files));
    return written ? WRITTEN : NOT_WRITTEN;
}

int TGeneration::Run()
{
    return options.suite_dir.isEmpty() ? One_File() : Suite();
}

} // namespace

int Run_Generation(const TGenerateOptions &options, FILE *standard_error)
{
    return TGeneration(options, standard_error).Run();
}
