#include "cli/convert/program_output.h"

#include <cstring>

TProgramOutput::TProgramOutput(const QString &path) : file(path) {}

TProgramOutput::~TProgramOutput()
{
    Finish_Writing();
}

bool TProgramOutput::Open()
{
    if (!file.Open())
        return false;
    writer = std::thread(&TProgramOutput::Write_Pieces, this);
    return true;
}

void TProgramOutput::Write(const QByteArray &piece)
{
    // A copy for the writer thread, in a buffer that has served before.
    QByteArray bytes;
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!spare_pieces.empty()) {
            bytes = std::move(spare_pieces.back());
            spare_pieces.pop_back();
        }
    }
    bytes.resize(piece.size());
    std::memcpy(bytes.data(), piece.constData(), static_cast<size_t>(piece.size()));

    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return waiting_pieces.size() < MAX_WAITING_PIECES; });
    waiting_pieces.push_back(std::move(bytes));
    changed.notify_all();
}

void TProgramOutput::Write_Pieces()
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
        spare_pieces.push_back(std::move(bytes));
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
    return file.Commit();
}

void TProgramOutput::Cancel()
{
    Finish_Writing();
    file.Cancel();
}
