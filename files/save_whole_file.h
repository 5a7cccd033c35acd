#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

// Writes bytes as the whole new content of file_name, replacing the file only
// once every byte is on disk: a failed or short write leaves an existing file
// exactly as it was. On failure returns false and the system's reason.
bool Save_Whole_File(const QString &file_name, const QByteArray &bytes, QString *reason);

// Lets an open save file replace its destination when everything written to it
// has reached the disk; otherwise throws the copy away. On failure returns
// false and the system's reason.
bool Commit_Whole_File(QSaveFile &file, QString *reason);
