#include "cli/convert/program_output.h"

#include "files/save_whole_file.h"

#include <cerrno>
#include <cstring>

TProgramOutput::TProgramOutput(const QString &path_, FILE *standard_output_)
    : path(path_), standard_output(standard_output_), file(path_)
{
}

TProgramOutput::~TProgramOutput()
{
    Finish_Writing();
}

QString TProgramOutput::Name() const
{
    return path.isEmpty() ? QStringLiteral("standard output") : path;
}

bool TProgramOutput::Open()
{
    if (!path.isEmpty() && !file.open(QIODevice::WriteOnly)) {
        Fail(file.errorString());
        return false;
    }
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
        Write_Piece(bytes);
        std::lock_guard<std::mutex> lock(mutex);
        spare_pieces.push_back(std::move(bytes));
    }
}

void TProgramOutput::Write_Piece(const QByteArray &bytes)
{
    if (failed)
        return;
    if (path.isEmpty()) {
        if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), standard_output) !=
            static_cast<size_t>(bytes.size()))
            Fail(qt_error_string(errno));
        return;
    }
    if (file.write(bytes) != bytes.size())
        Fail(file.errorString());
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
    if (path.isEmpty()) {
        if (!failed && std::fflush(standard_output) != 0)
            Fail(qt_error_string(errno));
        return !failed;
    }
    if (failed) {
        file.cancelWriting();
        return false;
    }
    return Commit_Whole_File(file, &error_string);
}

void TProgramOutput::Cancel()
{
    Finish_Writing();
    if (!path.isEmpty())
        file.cancelWriting();
}

void TProgramOutput::Fail(const QString &reason)
{
    if (!failed)
        error_string = reason;
    failed = true;
}
