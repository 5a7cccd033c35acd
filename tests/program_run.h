#pragma once

// Runs a command-line program of Tessaline as a user does, for the tests that
// drive the built programs.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

struct TProgramRun
{
    int exit_code = -1; // -1 when it did not end normally within two minutes
    QByteArray output;
    QStringList errors; // the lines of standard error
};

inline TProgramRun Run_Program(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    TProgramRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exit_code = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors = QString::fromUtf8(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    return run;
}

inline QByteArray Read_File(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool Write_File(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
