// tessaline-generate: validation files whose least-squares fits are known
// exactly, one type at a time or as Tessaline's fixed suite.

#include "cli/generate/generate_options.h"
#include "cli/generate/generate_run.h"
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
    QCoreApplication::setApplicationName("tessaline-generate");
    QCoreApplication::setApplicationVersion(TESSALINE_VERSION);

    TGenerateOptions options;
    QString text;
    switch (Parse_Generate_Options(QCoreApplication::arguments(), options, text)) {
    case TGenerateCommand::SHOW_HELP:
    case TGenerateCommand::SHOW_VERSION:
        std::fputs(qPrintable(text), stdout);
        return 0;
    case TGenerateCommand::USAGE_ERROR:
        // One line that says which option is wrong and why.
        std::fprintf(stderr, "tessaline-generate: error: %s\n", qPrintable(text));
        return 2;
    case TGenerateCommand::GENERATE:
        break;
    }
    try {
        return Run_Generation(options);
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "tessaline-generate: error: not enough memory to generate the data "
                             "sets\n");
        return 1;
    }
}
