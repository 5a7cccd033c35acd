#include "app/file_path.h"
#include "app/file_warning.h"
#include "app/tessaline.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>

namespace {

// Shows the wait cursor for as long as it lives, however the scope is left.
class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

} // namespace

void TTessaline::Menu_Open()
{
    const QString file_name =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open Validation File"), file_path,
                                     QStringLiteral("Validation File (*.dat)"));
    if (file_name.isEmpty())
        return;

    // Read as raw bytes: the conversion owns every decision about line ends.
    QFile file(file_name);
    QByteArray content;
    bool read = file.open(QIODevice::ReadOnly);
    if (read) {
        content = file.readAll();
        read = file.error() == QFileDevice::NoError;
    }
    // Closing clears the error, so the reason is taken first.
    const QString reason = file.errorString();
    file.close();

    if (read) {
        TWaitCursor wait_cursor;
        Clear_Text();
        Create_Header();
        Process_Validation_File(content);
        Create_Footer();
        Update_Display();
        Scroll_Text_Top();
        export_dmis_action->setEnabled(true);
    }

    // Even a file that could not be read marks the directory the user went to.
    file_path = Chosen_Directory(file_name, file_path);

    if (!read)
        Show_File_Warning(this, QStringLiteral("Open Validation File"),
                          QStringLiteral("The validation file could not be read:"), file_name,
                          reason);
}
