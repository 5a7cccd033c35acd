#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Where a program or a report goes, so that no file the user has is ever
// lost:
// - a regular file, or a name that does not exist yet, is replaced whole, and
//   only once every byte is on disk; where no temporary file can be made
//   beside it (a read-only directory, a name with no room left for the
//   temporary suffix) it is written in place instead;
// - what exists and is not a regular file (a device such as /dev/null, a
//   FIFO, a socket, a terminal, /dev/stdout) is written through, as standard
//   output is, and never replaced by a regular file;
// - an empty name is standard output.
// Every failure keeps the system's reason.
class TOutputFile
{
public:
    enum TFifoOpening
    {
        WAIT_FOR_READER,    // as a command-line program does
        FAIL_WITHOUT_READER // as a window must, which may not hang
    };

    explicit TOutputFile(const QString &path, TFifoOpening fifo_opening = WAIT_FOR_READER);
    ~TOutputFile();
    TOutputFile(const TOutputFile &) = delete;
    TOutputFile &operator=(const TOutputFile &) = delete;

    bool Open();
    // After the first failure further writes are dropped and return false.
    bool Write(const char *data, qint64 size);
    bool Write(const QByteArray &bytes) { return Write(bytes.constData(), bytes.size()); }
    // Lets the new content take the place of the old; false, with the
    // reason, when any write failed, and then an existing regular file is
    // left as it was (except where it had to be written in place).
    bool Commit();
    // Throws away what was written, where that is still possible.
    void Cancel();

    QString Name() const;
    QString Error_String() const { return error_string; }

private:
    enum TMode
    {
        CLOSED,
        SAVE_FILE,  // a temporary file beside the target
        IN_PLACE,   // the target itself, truncated
        DESCRIPTOR, // written through
    };

    bool Open_Written_Through();
    bool Fail(const QString &reason);

    const QString path;
    const TFifoOpening fifo_opening;
    TMode mode = CLOSED;
    QSaveFile save_file;
    int descriptor = -1;
    bool own_descriptor = false;
    bool created_in_place = false;
    bool failed = false;
    QString error_string;
};

// Writes every byte to the descriptor, waiting where it would block; a
// reader that has gone is a failure (EPIPE), never a signal that ends the
// process. False with errno set on failure.
bool Write_All(int descriptor, const char *data, qint64 size);
