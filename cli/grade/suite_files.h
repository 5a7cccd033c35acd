#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A validation file of a suite and the results it is graded against.
struct TSuiteFile
{
    QString validation_path; // DIR/NAME.dat
    QString results_path;    // the first of results_tried that exists; empty when none does
    QStringList results_tried;
};

// Every DIR/NAME.dat, in name order, with RESULTS_DIR/NAME.SUFFIX for each
// results suffix in turn; results_dir empty looks for none (--refit).
// False, with the reason, when the directory cannot be read or holds no
// validation file.
bool Find_Suite_Files(const QString &suite_dir, const QString &results_dir,
                      std::vector<TSuiteFile> &files, QString &reason);

// Whether results_dir is a directory that can be listed; false, with the
// reason ("no such directory", "not a directory", the system's), when not.
bool Results_Directory_Usable(const QString &results_dir, QString &reason);
