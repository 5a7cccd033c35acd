#pragma once

#include <QString>

#include <sys/types.h>

// Which file a name or a descriptor stands for, by device and inode, so that
// two names for one file (a symbolic link, a hard link, /dev/stdout) are
// known to be one.
struct TFileIdentity
{
    bool exists = false;
    bool regular = false; // a regular file, after following symbolic links
    dev_t device = 0;
    ino_t inode = 0;

    static TFileIdentity Of_Path(const QString &path);
    static TFileIdentity Of_Descriptor(int descriptor);

    bool Same_File(const TFileIdentity &other) const
    {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};
