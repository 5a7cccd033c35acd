#pragma once

#include <QString>

class QWidget;

// Tells the user that a file command did not do its work, naming the file and
// the system's reason, so that nobody takes a failed command for a done one.
void Show_File_Warning(QWidget *parent, const QString &title, const QString &what_failed,
                       const QString &file_name, const QString &reason);
