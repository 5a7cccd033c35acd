#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes as the whole new content of file_name, the way TOutputFile
// does: a regular file is replaced only once every byte is on disk, so a
// failed or short write leaves it as it was; what is not a regular file is
// written through. On failure returns false and the system's reason.
bool Save_Whole_File(const QString &file_name, const QByteArray &bytes, QString *reason);
