#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <cstdio>

// Where one converted program goes, piece by piece: a file, which replaces
// an existing one only once the whole program is on disk, or standard output.
class TProgramOutput
{
public:
    // An empty path means standard output.
    TProgramOutput(const QString &path, FILE *standard_output);

    bool Open();
    // After the first failure further pieces are dropped; Commit reports it.
    void Write(const QString &piece);
    bool Commit();
    void Cancel();

    QString Name() const;
    QString Error_String() const { return error_string; }

private:
    void Fail(const QString &reason);

    const QString path;
    FILE *const standard_output;
    QSaveFile file;
    QByteArray bytes;
    bool failed = false;
    QString error_string;
};
