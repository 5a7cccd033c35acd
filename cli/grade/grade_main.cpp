// tessaline-grade: grades an inspection software's fits against the
// reference of a validation file, or the file against Tessaline's own fits.

#include "cli/grade/grade_options.h"
#include "cli/grade/grade_run.h"
#include "files/freed_memory.h"
#include "files/standard_descriptors.h"

#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <new>

namespace {

// Qt's own notes about the platform it runs on are no business of a grading
// run's diagnostics; only its critical messages get through.
void Drop_Qt_Notes(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "tessaline-grade: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    Guard_Standard_Descriptors();
    Keep_Freed_Memory();
    // A file size limit is a failed write to report, not a reason to die.
    std::signal(SIGXFSZ, SIG_IGN);
    // The PDF report lays out text, which needs a GUI application, but this
    // program never shows anything: no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Drop_Qt_Notes);
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName("tessaline-grade");
    QCoreApplication::setApplicationVersion(TESSALINE_VERSION);

    TGradeOptions options;
    QString text;
    switch (Parse_Grade_Options(QCoreApplication::arguments(), options, text)) {
    case TGradeCommand::SHOW_HELP:
    case TGradeCommand::SHOW_VERSION:
        std::fputs(qPrintable(text), stdout);
        return 0;
    case TGradeCommand::USAGE_ERROR:
        std::fprintf(stderr,
                     "tessaline-grade: error: %s\n"
                     "Try 'tessaline-grade --help' for more information.\n",
                     qPrintable(text));
        return 2;
    case TGradeCommand::GRADE:
        break;
    }
    try {
        return Run_Grading(options);
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "tessaline-grade: error: not enough memory to grade %s\n",
                     qPrintable(options.validation_file));
        return 2;
    }
}
