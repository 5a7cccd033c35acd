#include "app/file_path.h"
#include "app/file_warning.h"
#include "app/tessaline.h"

#include <QFileDialog>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextDocument>

void TTessaline::Menu_Export_DMIS()
{
    const QString file_name = QFileDialog::getSaveFileName(
        this, QStringLiteral("Create DMIS File"), file_path, QStringLiteral("DMIS (*.dms)"));
    if (file_name.isEmpty())
        return;

    // The destination is replaced only once the whole program is on disk, so
    // a failed or short write never leaves an existing file truncated.
    QSaveFile file(file_name);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        file.write(text_edit->document()->toPlainText().toLatin1());
        written = file.commit();
    }

    file_path = Chosen_Directory(file_name, file_path);

    if (!written)
        Show_File_Warning(this, QStringLiteral("Create DMIS File"),
                          QStringLiteral("The DMIS program was not saved to:"), file_name,
                          file.errorString());
}
