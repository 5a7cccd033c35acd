// Times the conversion library alone, phase by phase, the way a converter
// writes a file: read, convert, encode as Latin-1, write.
//   tessaline-bench-phases [--points measured|offset] INPUT OUTPUT
// Prints each phase's time; the peak memory is the process's own.

#include "conversion/validation_converter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sys/resource.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    TPreferences::TDMISFeatureType type = TPreferences::MEASURED_POINTS;
    if (arguments.size() == 4 && arguments[0] == QLatin1String("--points")) {
        type = arguments[1] == QLatin1String("offset") ? TPreferences::CONSTRUCTED_OFFSET_POINTS
                                                       : TPreferences::MEASURED_POINTS;
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: tessaline-bench-phases [--points measured|offset] INPUT "
                             "OUTPUT\n");
        return 2;
    }

    QElapsedTimer step;
    step.start();
    auto lap = [&step](const char *name) {
        std::printf("  %-24s %8.3f s\n", name, static_cast<double>(step.nsecsElapsed()) * 1e-9);
        step.restart();
    };

    QFile input(arguments[0]);
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(arguments[0]));
        return 1;
    }
    const QByteArray content = input.readAll();
    lap("read");
    TValidationConverter converter;
    converter.preferences.dmis_feature_type = type;
    converter.Convert(content);
    lap("convert");
    const QByteArray bytes = converter.dmis_text.toLatin1();
    lap("encode Latin-1");
    QFile output(arguments[1]);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        output.write(bytes) != bytes.size() || !output.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[1]));
        return 1;
    }
    output.close();
    lap("write");

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("  %-24s %8.0f MB\n", "peak memory", static_cast<double>(usage.ru_maxrss) / 1024);
    return 0;
}
