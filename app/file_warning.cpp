#include "app/file_warning.h"

#include <QDir>
#include <QMessageBox>

void Show_File_Warning(QWidget *parent, const QString &title, const QString &what_failed,
                       const QString &file_name, const QString &reason)
{
    QMessageBox::warning(parent, title,
                         QStringLiteral("%1\n\n%2\n\n%3")
                             .arg(what_failed, QDir::toNativeSeparators(file_name), reason));
}
