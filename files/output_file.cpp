#include "files/output_file.h"

#include "files/file_identity.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace {

// Blocks SIGPIPE for as long as it lives and swallows one raised meanwhile,
// so that a reader that went away is a failed write, not a dead process.
class TPipeSignalBlocked
{
public:
    TPipeSignalBlocked()
    {
        sigemptyset(&pipe_signal);
        sigaddset(&pipe_signal, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        was_pending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_signal, &previous);
    }
    ~TPipeSignalBlocked()
    {
        if (!was_pending) {
            const int saved_errno = errno;
            const timespec no_wait = {0, 0};
            while (sigtimedwait(&pipe_signal, nullptr, &no_wait) == SIGPIPE) {
            }
            errno = saved_errno;
        }
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
    TPipeSignalBlocked(const TPipeSignalBlocked &) = delete;
    TPipeSignalBlocked &operator=(const TPipeSignalBlocked &) = delete;

private:
    sigset_t pipe_signal;
    sigset_t previous;
    bool was_pending = false;
};

// The system's reason, never Qt's "Unknown error" when errno knows better.
QString Reason_Of(const QFileDevice &file, int error_number)
{
    if (file.error() != QFileDevice::NoError &&
        file.errorString() != QLatin1String("Unknown error"))
        return file.errorString();
    if (error_number != 0)
        return qt_error_string(error_number);
    return QStringLiteral("the write did not complete");
}

int Connect_Socket(const QByteArray &name)
{
    sockaddr_un address;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(name.size()) >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    for (const int type : {SOCK_STREAM, SOCK_SEQPACKET, SOCK_DGRAM}) {
        const int socket_descriptor = socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
        if (socket_descriptor < 0)
            return -1;
        if (connect(socket_descriptor, reinterpret_cast<const sockaddr *>(&address),
                    sizeof address) == 0)
            return socket_descriptor;
        const int connect_errno = errno;
        close(socket_descriptor);
        errno = connect_errno;
        // Only a socket of another type is worth another try.
        if (connect_errno != EPROTOTYPE)
            return -1;
    }
    return -1;
}

// The copy that replaces an existing file gets a name of the target's and a
// suffix of seven characters; a name at the file system's length limit
// leaves no room for it, and the failure would only show once the whole
// program was written.
bool No_Room_For_Temporary_Name(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    long name_max = pathconf(QFile::encodeName(info.absolutePath()).constData(), _PC_NAME_MAX);
    if (name_max <= 0)
        name_max = NAME_MAX;
    return QFile::encodeName(info.fileName()).size() + 7 > name_max;
}

} // namespace

bool Write_All(int descriptor, const char *data, qint64 size)
{
    TPipeSignalBlocked pipe_signal_blocked;
    while (size > 0) {
        const ssize_t written = write(descriptor, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd ready = {descriptor, POLLOUT, 0};
                if (poll(&ready, 1, -1) < 0 && errno != EINTR)
                    return false;
                continue;
            }
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

TOutputFile::TOutputFile(const QString &path_, TFifoOpening fifo_opening_)
    : path(path_), fifo_opening(fifo_opening_)
{
}

TOutputFile::~TOutputFile()
{
    Cancel();
}

QString TOutputFile::Name() const
{
    return path.isEmpty() ? QStringLiteral("standard output") : path;
}

bool TOutputFile::Fail(const QString &reason)
{
    if (!failed)
        error_string = reason;
    failed = true;
    return false;
}

bool TOutputFile::Open()
{
    failed = false;
    error_string.clear();
    if (path.isEmpty()) {
        mode = DESCRIPTOR;
        descriptor = STDOUT_FILENO;
        own_descriptor = false;
        return true;
    }

    const QByteArray name = QFile::encodeName(path);
    struct stat link_status;
    const bool exists = lstat(name.constData(), &link_status) == 0;
    const TFileIdentity target = TFileIdentity::Of_Path(path);
    if (exists && !S_ISREG(link_status.st_mode)) {
        // /dev/stdout and the like: the descriptor itself, which keeps its
        // own way of writing (appending to a log, say).
        for (const int standard : {STDOUT_FILENO, STDERR_FILENO}) {
            if (target.Same_File(TFileIdentity::Of_Descriptor(standard))) {
                mode = DESCRIPTOR;
                descriptor = standard;
                own_descriptor = false;
                return true;
            }
        }
        if (target.exists && !target.regular)
            return Open_Written_Through();
    }

    save_file.setFileName(path);
    if (!No_Room_For_Temporary_Name(path) && save_file.open(QIODevice::WriteOnly)) {
        mode = SAVE_FILE;
        return true;
    }
    const QString save_reason = save_file.errorString();

    // No temporary file beside the target: write the target itself, which
    // is only cut to its new length once the whole program is in.
    created_in_place = !exists;
    descriptor = open(name.constData(),
                      O_WRONLY | O_CLOEXEC | O_NOCTTY | (exists ? 0 : O_CREAT | O_EXCL), 0666);
    if (descriptor < 0) {
        const int open_errno = errno;
        return Fail(open_errno != 0 ? qt_error_string(open_errno) : save_reason);
    }
    mode = IN_PLACE;
    own_descriptor = true;
    return true;
}

bool TOutputFile::Open_Written_Through()
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (stat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode))
        return Fail(qt_error_string(EISDIR));
    if (stat(name.constData(), &status) == 0 && S_ISSOCK(status.st_mode)) {
        descriptor = Connect_Socket(name);
    } else {
        const bool wait = fifo_opening == WAIT_FOR_READER;
        do {
            descriptor =
                open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (wait ? 0 : O_NONBLOCK));
        } while (descriptor < 0 && errno == EINTR);
        if (descriptor >= 0 && !wait)
            fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    }
    if (descriptor < 0)
        return Fail(qt_error_string(errno));
    mode = DESCRIPTOR;
    own_descriptor = true;
    return true;
}

bool TOutputFile::Write(const char *data, qint64 size)
{
    if (failed)
        return false;
    switch (mode) {
    case SAVE_FILE: {
        errno = 0;
        if (save_file.write(data, size) != size)
            return Fail(Reason_Of(save_file, errno));
        return true;
    }
    case IN_PLACE:
    case DESCRIPTOR:
        if (!Write_All(descriptor, data, size))
            return Fail(qt_error_string(errno));
        return true;
    case CLOSED:
        break;
    }
    return Fail(QStringLiteral("not open for writing"));
}

bool TOutputFile::Commit()
{
    const TMode committed = mode;
    mode = CLOSED;
    switch (committed) {
    case SAVE_FILE:
        if (failed) {
            save_file.cancelWriting();
            save_file.commit();
            return false;
        }
        // Qt 5's commit() misses a short or failed last write (a full disk,
        // a file size limit) and would put the cut copy in place of the old
        // file, so the buffer is flushed and checked before the copy may
        // replace it.
        errno = 0;
        if (!save_file.flush()) {
            Fail(Reason_Of(save_file, errno));
            save_file.cancelWriting();
            save_file.commit();
            return false;
        }
        errno = 0;
        if (!save_file.commit())
            return Fail(Reason_Of(save_file, errno));
        return true;
    case IN_PLACE: {
        // Cut to what was written, also after a failure: a program that
        // visibly ends too early rather than one that runs on into the old.
        const off_t written = lseek(descriptor, 0, SEEK_CUR);
        if (written < 0 || ftruncate(descriptor, written) != 0)
            Fail(qt_error_string(errno));
        if (close(descriptor) != 0)
            Fail(qt_error_string(errno));
        descriptor = -1;
        return !failed;
    }
    case DESCRIPTOR:
        if (own_descriptor && close(descriptor) != 0)
            Fail(qt_error_string(errno));
        descriptor = -1;
        return !failed;
    case CLOSED:
        break;
    }
    return !failed;
}

void TOutputFile::Cancel()
{
    const TMode cancelled = mode;
    mode = CLOSED;
    switch (cancelled) {
    case SAVE_FILE:
        save_file.cancelWriting();
        save_file.commit();
        break;
    case IN_PLACE:
        close(descriptor);
        descriptor = -1;
        // A file made for a program that never came is not left behind.
        if (created_in_place)
            unlink(QFile::encodeName(path).constData());
        break;
    case DESCRIPTOR:
        if (own_descriptor)
            close(descriptor);
        descriptor = -1;
        break;
    case CLOSED:
        break;
    }
}
