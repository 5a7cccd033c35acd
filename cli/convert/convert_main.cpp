// tessaline-convert: the window's conversion for scripts and many files.

#include "cli/convert/convert_batch.h"
#include "cli/convert/convert_options.h"
#include "files/freed_memory.h"
#include "files/standard_descriptors.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <new>

int main(int argc, char *argv[])
{
    Guard_Standard_Descriptors();
    Keep_Freed_Memory();
    // A file size limit is a failed write to report, not a reason to die.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("tessaline-convert");
    QCoreApplication::setApplicationVersion("1.0");

    TConvertOptions options;
    QString text;
    switch (Parse_Convert_Options(QCoreApplication::arguments(), options, text)) {
    case TConvertCommand::SHOW_HELP:
    case TConvertCommand::SHOW_VERSION:
        std::fputs(qPrintable(text), stdout);
        return 0;
    case TConvertCommand::USAGE_ERROR:
        std::fprintf(stderr,
                     "tessaline-convert: error: %s\n"
                     "Try 'tessaline-convert --help' for more information.\n",
                     qPrintable(text));
        return 2;
    case TConvertCommand::CONVERT:
        break;
    }
    // Each input's conversion reports its own; this is the little around it.
    try {
        return TConvertBatch(options).Run() ? 0 : 1;
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "tessaline-convert: error: not enough memory to convert\n");
        return 1;
    }
}
