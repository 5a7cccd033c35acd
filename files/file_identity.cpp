#include "files/file_identity.h"

#include <QFile>

#include <sys/stat.h>

namespace {

TFileIdentity Identity_Of(const struct stat &status)
{
    TFileIdentity identity;
    identity.exists = true;
    identity.regular = S_ISREG(status.st_mode);
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    return identity;
}

} // namespace

TFileIdentity TFileIdentity::Of_Path(const QString &path)
{
    struct stat status;
    if (path.isEmpty() || stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return Identity_Of(status);
}

TFileIdentity TFileIdentity::Of_Descriptor(int descriptor)
{
    struct stat status;
    if (fstat(descriptor, &status) != 0)
        return {};
    return Identity_Of(status);
}
