// Reads a QIF results file as tessaline-grade does, against the reference
// labels of tessaline-bench-generate-qif, and prints how long the reading
// took and the peak memory of the process:
//   tessaline-bench-qif FILE FEATURES [cylinders] [forms]
// With "forms", every feature must come with its form as well.

#include "files/input_file.h"
#include "results/results_reading.h"

#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The process's peak resident memory in kB, from /proc.
long Peak_Kilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    bool cylinders = false;
    bool forms = false;
    bool known = argc >= 3;
    for (int a = 3; a < argc; ++a) {
        bool &flag = std::strcmp(argv[a], "cylinders") == 0 ? cylinders : forms;
        known = known && !flag &&
                (std::strcmp(argv[a], "cylinders") == 0 || std::strcmp(argv[a], "forms") == 0);
        flag = true;
    }
    if (!known || std::atol(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: tessaline-bench-qif FILE FEATURES [cylinders] [forms]\n");
        return 2;
    }
    const long count = std::atol(argv[2]);
    const char *const prefixes[4] = {"PLN_", "LIN_", "CIR_", "SPH_"};
    const TFeatureType types[4] = {TFeatureType::PLANE, TFeatureType::LINE, TFeatureType::CIRCLE,
                                   TFeatureType::SPHERE};
    std::vector<TReferenceLabel> reference;
    for (long n = 0; n < count; ++n) {
        if (cylinders)
            reference.push_back(
                {QStringLiteral("CYL_") + QString::number(n + 1), TFeatureType::CYLINDER});
        else
            reference.push_back(
                {QLatin1String(prefixes[n % 4]) + QString::number(n + 1), types[n % 4]});
    }

    QElapsedTimer timer;
    timer.start();
    QByteArray content;
    QString reason;
    if (!Read_Input_File(QString::fromLocal8Bit(argv[1]), content, reason)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(reason));
        return 1;
    }
    const qint64 read_ns = timer.nsecsElapsed();
    const TResultsReading reading = Read_Results(content, reference);
    const qint64 total_ns = timer.nsecsElapsed();

    long usable = 0;
    long with_form = 0;
    for (const TTestedFeature &feature : reading.features) {
        usable += feature.usable ? 1 : 0;
        with_form += feature.has_form ? 1 : 0;
    }
    std::printf("%s: %.1f MB, %s, %ld of %ld features usable, %ld with a form, %zu warnings; "
                "file read %.3f s, results read %.3f s, total %.3f s; peak %.0f MB\n",
                argv[1], content.size() / 1e6, qPrintable(Results_Format_Name(reading)), usable,
                count, with_form, reading.warnings.size(), read_ns / 1e9,
                (total_ns - read_ns) / 1e9, total_ns / 1e9, Peak_Kilobytes() / 1024.0);
    return reading.failure == TResultsFailure::NONE && usable == count &&
                   with_form == (forms ? count : 0)
               ? 0
               : 1;
}
