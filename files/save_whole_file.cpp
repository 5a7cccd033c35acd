#include "files/save_whole_file.h"

#include <QSaveFile>

#include <cerrno>

namespace {

// Qt leaves some write failures without a reason of its own; errno has one.
QString Reason_Of(const QSaveFile &file, int error_number)
{
    if (file.error() != QFileDevice::NoError &&
        file.errorString() != QLatin1String("Unknown error"))
        return file.errorString();
    return qt_error_string(error_number);
}

} // namespace

bool Save_Whole_File(const QString &file_name, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(file_name);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        *reason = Reason_Of(file, errno);
        file.cancelWriting();
        return false;
    }
    return Commit_Whole_File(file, reason);
}

bool Commit_Whole_File(QSaveFile &file, QString *reason)
{
    // Qt 5's commit() misses a short or failed last write (a full disk, a file
    // size limit) and would put the truncated copy in place of the old file,
    // so the buffer is flushed and checked before the copy may replace it.
    errno = 0;
    if (!file.flush()) {
        *reason = Reason_Of(file, errno);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}
