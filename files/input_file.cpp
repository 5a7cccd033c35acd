#include "files/input_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace {

constexpr qint64 PIECE_SIZE = 16 << 20;

// Closes the descriptor however the reading ends.
class TDescriptor
{
public:
    explicit TDescriptor(int descriptor_) : descriptor(descriptor_) {}
    ~TDescriptor()
    {
        if (descriptor >= 0)
            close(descriptor);
    }
    TDescriptor(const TDescriptor &) = delete;
    TDescriptor &operator=(const TDescriptor &) = delete;
    int Get() const { return descriptor; }

private:
    const int descriptor;
};

// Reads up to size bytes; fewer only at the end of the input. -1 on error.
qint64 Read_Piece(int descriptor, char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = read(descriptor, data + done, static_cast<size_t>(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

bool Same_Version(const struct stat &before, const struct stat &after)
{
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec &&
           before.st_ctim.tv_sec == after.st_ctim.tv_sec &&
           before.st_ctim.tv_nsec == after.st_ctim.tv_nsec;
}

QString Too_Large(qint64 max_size)
{
    return QStringLiteral("larger than %1").arg(Size_Limit_Text(max_size));
}

const QString CHANGED = QStringLiteral("the file changed while it was being read");

} // namespace

QString Size_Limit_Text(qint64 max_size)
{
    if (max_size == MAX_INPUT_SIZE)
        return QStringLiteral("2 GB");
    return QStringLiteral("%1 bytes").arg(max_size);
}

bool Read_Input_File(const QString &path, QByteArray &content, QString &reason, qint64 max_size,
                     const std::function<void()> &between_pieces)
{
    content.clear();
    const TDescriptor file(open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        reason = qt_error_string(errno);
        return false;
    }
    struct stat before;
    if (fstat(file.Get(), &before) != 0) {
        reason = qt_error_string(errno);
        return false;
    }
    if (S_ISDIR(before.st_mode)) {
        reason = qt_error_string(EISDIR);
        return false;
    }
    // A regular file says how much it holds, except the kernel's own files,
    // which say 0: those, pipes and devices are read until they end.
    const bool sized = S_ISREG(before.st_mode) && before.st_size > 0;
    if (sized && before.st_size > max_size) {
        reason = Too_Large(max_size);
        return false;
    }

    try {
        if (sized)
            content.reserve(static_cast<int>(before.st_size + 1));
        qint64 size = 0;
        for (;;) {
            // One byte beyond what a sized file holds shows that it grew.
            const qint64 room = sized ? std::min(PIECE_SIZE, before.st_size + 1 - size)
                                      : std::min(PIECE_SIZE, max_size + 1 - size);
            if (room <= 0)
                break;
            content.resize(static_cast<int>(size + room));
            const qint64 got = Read_Piece(file.Get(), content.data() + size, room);
            if (got < 0) {
                reason = qt_error_string(errno);
                content.clear();
                return false;
            }
            size += got;
            content.resize(static_cast<int>(size));
            if (between_pieces)
                between_pieces();
            if (got < room)
                break;
        }
        if (size > max_size && !sized) {
            reason = Too_Large(max_size);
            content.clear();
            return false;
        }
    } catch (const std::bad_alloc &) {
        content.clear();
        reason = QStringLiteral("not enough memory to read it");
        return false;
    }

    if (sized) {
        struct stat after;
        if (fstat(file.Get(), &after) != 0 || !Same_Version(before, after) ||
            content.size() != before.st_size) {
            content.clear();
            reason = CHANGED;
            return false;
        }
    }
    return true;
}
