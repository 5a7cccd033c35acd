#include "cli/grade/suite_files.h"

#include "results/results_reading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

bool Find_Suite_Files(const QString &suite_dir, const QString &results_dir,
                      std::vector<TSuiteFile> &files, QString &reason)
{
    // The system's own reason when the directory cannot be listed.
    DIR *stream = opendir(QFile::encodeName(suite_dir).constData());
    if (!stream) {
        reason = QStringLiteral("cannot read: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    closedir(stream);
    const QDir dir(suite_dir);
    // Byte order of the names, the same on every machine, not the locale's.
    QStringList names = dir.entryList(QStringList{QStringLiteral("*.dat")},
                                      QDir::Files | QDir::CaseSensitive, QDir::NoSort);
    std::sort(names.begin(), names.end());
    if (names.isEmpty()) {
        reason = QStringLiteral("holds no validation file (*.dat)");
        return false;
    }
    const QDir results(results_dir);
    for (const QString &name : names) {
        TSuiteFile file;
        file.validation_path = dir.filePath(name);
        if (!results_dir.isEmpty()) {
            const QString base = name.chopped(4);
            for (const QString &suffix : Results_Suffixes()) {
                const QString path = results.filePath(base + QLatin1Char('.') + suffix);
                file.results_tried << path;
                if (file.results_path.isEmpty() && QFileInfo::exists(path))
                    file.results_path = path;
            }
        }
        files.push_back(file);
    }
    return true;
}

bool Results_Directory_Usable(const QString &results_dir, QString &reason)
{
    const QFileInfo info(results_dir);
    if (!info.exists()) {
        reason = QStringLiteral("no such results directory");
        return false;
    }
    if (!info.isDir()) {
        reason = QStringLiteral("the results of a suite are a directory, and this is not one");
        return false;
    }
    DIR *stream = opendir(QFile::encodeName(results_dir).constData());
    if (!stream) {
        reason = QStringLiteral("cannot read: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    closedir(stream);
    return true;
}
