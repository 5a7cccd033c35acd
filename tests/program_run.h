#pragma once

// Runs a command-line program of Tessaline as a user does, for the tests that
// drive the built programs, and the files they read and write.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

struct TProgramRun
{
    // -1 when it did not end normally within twenty minutes: a whole suite
    // takes minutes under the sanitizers on a busy machine.
    int exit_code = -1;
    QByteArray output;
    QStringList errors; // the lines of standard error
};

// process may be one of the restricted kinds below.
inline TProgramRun Run_Program(const QString &program, const QStringList &arguments,
                               QProcess &&process = QProcess())
{
    process.start(program, arguments);
    TProgramRun run;
    if (!process.waitForFinished(20 * 60 * 1000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exit_code = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors =
        QString::fromLocal8Bit(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    return run;
}

// A program whose files may not grow beyond a few bytes: every write of an
// output fails, even for root.
class TSmallFileProcess : public QProcess
{
protected:
    void setupChildProcess() override
    {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
};

// A program started with its standard output closed.
class TClosedOutputProcess : public QProcess
{
protected:
    void setupChildProcess() override { ::close(STDOUT_FILENO); }
};

// The file's bytes, or a text that says it cannot be read, which no
// expected content equals.
inline QByteArray Read_File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(cannot read " + path.toLocal8Bit() + ")";
    return file.readAll();
}

inline bool Write_File(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
