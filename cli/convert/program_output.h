#pragma once

#include "files/output_file.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Where one converted program goes, piece by piece, through a TOutputFile.
// The pieces are written on a thread of their own, so that the conversion of
// a large scan goes on while the system takes the text it already has; where
// no thread can be started they are written as they come.
//
// The writer thread allocates nothing of its own: memory that ran out there,
// where no caller could hear of it, would end the program. Should anything
// throw on it all the same (the file's buffer, the reason of a failure), the
// exception is thrown again to the caller of the next Write or of Commit.
class TProgramOutput
{
public:
    // An empty path means standard output.
    explicit TProgramOutput(const QString &path);
    ~TProgramOutput();
    TProgramOutput(const TProgramOutput &) = delete;
    TProgramOutput &operator=(const TProgramOutput &) = delete;

    bool Open();
    // After the first failure further pieces are dropped; Commit reports it.
    void Write(const QByteArray &piece);
    bool Commit();
    void Cancel();

    QString Name() const { return file.Name(); }
    QString Error_String() const { return file.Error_String(); }

private:
    void Write_Pieces();
    void Take_Pieces();
    void Finish_Writing();
    void Throw_Writer_Exception();

    // Enough to keep the writer busy without holding much of the program.
    static constexpr size_t MAX_WAITING_PIECES = 4;
    // Every piece there can be: those waiting, the one being written and the
    // one being filled. The spares never need more room than that.
    static constexpr size_t MAX_PIECES = MAX_WAITING_PIECES + 2;

    TOutputFile file;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QByteArray> waiting_pieces;
    // Written pieces come back for reuse: fresh memory for every piece
    // costs more than converting it.
    std::vector<QByteArray> spare_pieces;
    bool finished = false;
    // What the writer thread threw, for the caller.
    std::exception_ptr writer_exception;
    std::thread writer;
};
