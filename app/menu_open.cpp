#include "app/file_path.h"
#include "app/file_warning.h"
#include "app/tessaline.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>

#include <new>

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

// A file name as a shell reads it back, whatever it holds.
QString Shell_Quoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

const QString OPEN_TITLE = QStringLiteral("Open Validation File");

} // namespace

void TTessaline::Menu_Open()
{
    const QString file_name = QFileDialog::getOpenFileName(
        this, OPEN_TITLE, file_path, QStringLiteral("Validation File (*.dat)"));
    if (file_name.isEmpty())
        return;

    // Read as raw bytes: the conversion owns every decision about line ends.
    QByteArray content;
    QString reason;
    const bool read = Read_Input_File(file_name, content, reason, maximum_input_size);

    // Even a file that could not be read marks the directory the user went to.
    file_path = Chosen_Directory(file_name, file_path);

    if (!read) {
        Show_File_Warning(this, OPEN_TITLE,
                          QStringLiteral("The validation file could not be read:"), file_name,
                          reason);
        return;
    }

    QString too_large;
    {
        TWaitCursor wait_cursor;
        too_large = Program_Too_Large(file_name, content);
        if (too_large.isEmpty()) {
            try {
                Clear_Text();
                Create_Header();
                Process_Validation_File(content);
                Create_Footer();
                Update_Display();
                Scroll_Text_Top();
                export_dmis_action->setEnabled(true);
            } catch (const std::bad_alloc &) {
                // What was built is given back; nothing half shown is exported.
                Clear_Text();
                too_large = QStringLiteral("There is not enough memory for it.");
            }
        }
    }
    if (!too_large.isEmpty())
        Show_File_Warning(this, OPEN_TITLE,
                          QStringLiteral("The DMIS program of this file is too large to show:"),
                          file_name, too_large);
}

// Why the program of content is too large for the view, found before any
// text is built, with the command that converts it instead; empty when it fits.
QString TTessaline::Program_Too_Large(const QString &file_name, const QByteArray &content) const
{
    const TProgramSize size = Measure_Program(content, preferences);
    if (!size.Exceeds(maximum_program_size))
        return {};

    const QLocale locale;
    QString command = QStringLiteral("tessaline-convert");
    if (preferences.dmis_feature_type == TPreferences::CONSTRUCTED_OFFSET_POINTS)
        command += QStringLiteral(" --points offset");
    const QFileInfo input(file_name);
    command +=
        QStringLiteral(" -o ") +
        Shell_Quoted(input.dir().filePath(input.completeBaseName() + QStringLiteral(".dms"))) +
        QLatin1Char(' ') + Shell_Quoted(file_name);
    return QStringLiteral("It would have %1 lines and %2 characters; this window shows at most "
                          "%3 lines and %4 characters. Convert it on the command line instead:"
                          "\n\n%5")
        .arg(locale.toString(size.lines), locale.toString(size.characters),
             locale.toString(maximum_program_size.lines),
             locale.toString(maximum_program_size.characters), command);
}
