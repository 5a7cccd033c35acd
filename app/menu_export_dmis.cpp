#include "app/file_path.h"
#include "app/file_warning.h"
#include "app/tessaline.h"
#include "files/save_whole_file.h"

#include <QFileDialog>
#include <QPlainTextEdit>
#include <QTextDocument>

void TTessaline::Menu_Export_DMIS()
{
    const QString file_name = QFileDialog::getSaveFileName(
        this, QStringLiteral("Create DMIS File"), file_path, QStringLiteral("DMIS (*.dms)"));
    if (file_name.isEmpty())
        return;

    // What the user sees is what is written, one Latin-1 byte per character.
    QString reason;
    const bool saved =
        Save_Whole_File(file_name, text_edit->document()->toPlainText().toLatin1(), &reason);

    file_path = Chosen_Directory(file_name, file_path);

    if (!saved)
        Show_File_Warning(this, QStringLiteral("Create DMIS File"),
                          QStringLiteral("The DMIS program was not saved to:"), file_name, reason);
}
