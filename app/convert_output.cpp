#include "app/convert_output.h"

#include "app/save_whole_file.h"

#include <cerrno>

TProgramOutput::TProgramOutput(const QString &path_, FILE *standard_output_)
    : path(path_), standard_output(standard_output_), file(path_)
{
}

QString TProgramOutput::Name() const
{
    return path.isEmpty() ? QStringLiteral("standard output") : path;
}

bool TProgramOutput::Open()
{
    if (path.isEmpty())
        return true;
    if (!file.open(QIODevice::WriteOnly)) {
        Fail(file.errorString());
        return false;
    }
    return true;
}

void TProgramOutput::Write(const QString &piece)
{
    if (failed)
        return;
    // The program is plain ASCII; Latin-1 is what the window exports too.
    bytes = piece.toLatin1();
    if (path.isEmpty()) {
        if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), standard_output) !=
            static_cast<size_t>(bytes.size()))
            Fail(qt_error_string(errno));
        return;
    }
    if (file.write(bytes) != bytes.size())
        Fail(file.errorString());
}

bool TProgramOutput::Commit()
{
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
    if (!path.isEmpty())
        file.cancelWriting();
}

void TProgramOutput::Fail(const QString &reason)
{
    if (!failed)
        error_string = reason;
    failed = true;
}
