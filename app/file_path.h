#pragma once

#include <QString>

// The directory the file dialogs start in after file_name was chosen: the
// name up to its last "/", which is empty for a file in the root directory.
// A name without any "/" leaves the current directory as it was.
QString Chosen_Directory(const QString &file_name, const QString &current);
