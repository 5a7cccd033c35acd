#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Where one converted program goes, piece by piece: a file, which replaces
// an existing one only once the whole program is on disk, or standard output.
// The pieces are written on a thread of their own, so that the conversion of
// a large scan goes on while the system takes the text it already has.
class TProgramOutput
{
public:
    // An empty path means standard output.
    TProgramOutput(const QString &path, FILE *standard_output);
    ~TProgramOutput();
    TProgramOutput(const TProgramOutput &) = delete;
    TProgramOutput &operator=(const TProgramOutput &) = delete;

    bool Open();
    // After the first failure further pieces are dropped; Commit reports it.
    void Write(const QByteArray &piece);
    bool Commit();
    void Cancel();

    QString Name() const;
    QString Error_String() const { return error_string; }

private:
    void Write_Pieces();
    void Write_Piece(const QByteArray &bytes);
    void Finish_Writing();
    void Fail(const QString &reason);

    // Enough to keep the writer busy without holding much of the program.
    static constexpr size_t MAX_WAITING_PIECES = 4;

    const QString path;
    FILE *const standard_output;
    QSaveFile file;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QByteArray> waiting_pieces;
    // Written pieces come back for reuse: fresh memory for every piece
    // costs more than converting it.
    std::vector<QByteArray> spare_pieces;
    bool finished = false;
    std::thread writer;

    // Set by the writer thread only, read once it has ended.
    bool failed = false;
    QString error_string;
};
