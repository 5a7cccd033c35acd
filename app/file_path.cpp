#include "app/file_path.h"

QString Chosen_Directory(const QString &file_name, const QString &current)
{
    const int slash = file_name.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return current;
    return file_name.left(slash);
}
