#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes as the whole new content of file_name, replacing the file only
// once every byte is on disk: a failed or short write leaves an existing file
// exactly as it was. On failure returns false and the system's reason.
bool Save_Whole_File(const QString &file_name, const QByteArray &bytes, QString *reason);
