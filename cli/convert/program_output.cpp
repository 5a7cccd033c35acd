#include "cli/convert/program_output.h"

#include <cstring>
#include <system_error>

TProgramOutput::TProgramOutput(const QString &path) : file(path) {}

TProgramOutput::~TProgramOutput()
{
    Finish_Writing();
}

bool TProgramOutput::Open()
{
    if (!file.Open())
        return false;
    // Here, on the caller's thread, so that the writer never needs to grow it.
    spare_pieces.reserve(MAX_PIECES);
    try {
        writer = std::thread(&TProgramOutput::Write_Pieces, this);
    } catch (const std::system_error &) {
        // No room for the thread's stack: the caller writes each piece.
    }
    return true;
}

void TProgramOutput::Write(const QByteArray &piece)
{
    if (!writer.joinable()) {
        file.Write(piece);
        return;
    }
    // A copy for the writer thread, in a buffer that has served before.
    QByteArray bytes;
    {
        std::unique_lock<std::mutex> lock(mutex);
        Throw_Writer_Exception();
        if (!spare_pieces.empty()) {
            bytes = std::move(spare_pieces.back());
            spare_pieces.pop_back();
        }
    }
    bytes.resize(piece.size());
    std::memcpy(bytes.data(), piece.constData(), static_cast<size_t>(piece.size()));

    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return waiting_pieces.size() < MAX_WAITING_PIECES; });
    Throw_Writer_Exception();
    waiting_pieces.push_back(std::move(bytes));
    changed.notify_all();
}

void TProgramOutput::Write_Pieces()
{
    try {
        Take_Pieces();
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex);
        writer_exception = std::current_exception();
        // Nothing more is written; the caller must not wait for room.
        waiting_pieces.clear();
        finished = true;
        changed.notify_all();
    }
}

void TProgramOutput::Take_Pieces()
{
    for (;;) {
        QByteArray bytes;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [this] { return finished || !waiting_pieces.empty(); });
            if (waiting_pieces.empty())
                return;
            bytes = std::move(waiting_pieces.front());
            waiting_pieces.pop_front();
            changed.notify_all();
        }
        // After a failure the rest is dropped; the file keeps the reason.
        file.Write(bytes);
        std::lock_guard<std::mutex> lock(mutex);
        // Within the room reserved in Open: no allocation.
        spare_pieces.push_back(std::move(bytes));
    }
}

void TProgramOutput::Throw_Writer_Exception()
{
    if (writer_exception) {
        std::exception_ptr exception = writer_exception;
        writer_exception = nullptr;
        std::rethrow_exception(exception);
    }
}

void TProgramOutput::Finish_Writing()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
    }
    changed.notify_all();
    if (writer.joinable())
        writer.join();
}

bool TProgramOutput::Commit()
{
    Finish_Writing();
    {
        std::lock_guard<std::mutex> lock(mutex);
        Throw_Writer_Exception();
    }
    return file.Commit();
}

void TProgramOutput::Cancel()
{
    Finish_Writing();
    file.Cancel();
}
