// Times the window's Open of a validation file, from reading the file to the
// program being painted, offscreen:
//   QT_QPA_PLATFORM=offscreen tessaline-bench-window [--points measured|offset] FILE
// It takes the steps of the Open command after its file dialog, in the same
// order, on a shown main window, then processes events until the text view
// has painted. Prints each step's time and the total in seconds.

#include "app/tessaline.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <cstdio>

namespace {

// Notes when the text view's viewport paints.
class TPaintWatcher : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    TPreferences::TDMISFeatureType type = TPreferences::MEASURED_POINTS;
    if (arguments.size() == 3 && arguments[0] == QLatin1String("--points")) {
        type = arguments[1] == QLatin1String("offset") ? TPreferences::CONSTRUCTED_OFFSET_POINTS
                                                       : TPreferences::MEASURED_POINTS;
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: tessaline-bench-window [--points measured|offset] FILE\n");
        return 2;
    }

    TTessaline window;
    window.preferences.dmis_feature_type = type;
    window.show();
    QPlainTextEdit *view = window.findChild<QPlainTextEdit *>();
    if (!view) {
        std::fprintf(stderr, "the window has no text view\n");
        return 1;
    }
    // Settle the window first: its first show is not part of the Open.
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
    }
    TPaintWatcher watcher;
    view->viewport()->installEventFilter(&watcher);

    QElapsedTimer total;
    total.start();
    QElapsedTimer step;
    step.start();
    auto lap = [&step](const char *name) {
        std::printf("  %-24s %8.3f s\n", name, static_cast<double>(step.nsecsElapsed()) * 1e-9);
        step.restart();
    };

    QByteArray content;
    QString reason;
    if (!Read_Input_File(arguments[0], content, reason, window.maximum_input_size)) {
        std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(arguments[0]), qPrintable(reason));
        return 1;
    }
    lap("read file");
    // Open refuses a program too large for the view before building it.
    if (Measure_Program(content, window.preferences).Exceeds(window.maximum_program_size)) {
        std::fprintf(stderr, "the window would refuse this file as too large to show\n");
        return 1;
    }
    lap("Measure_Program");
    window.Clear_Text();
    lap("Clear_Text");
    window.Create_Header();
    lap("Create_Header");
    window.Process_Validation_File(content);
    lap("Process_Validation_File");
    window.Create_Footer();
    lap("Create_Footer");
    window.Update_Display();
    lap("Update_Display");
    window.Scroll_Text_Top();
    lap("Scroll_Text_Top");
    watcher.painted = false;
    QElapsedTimer timeout;
    timeout.start();
    while (!watcher.painted && timeout.elapsed() < 60000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    lap("events until painted");
    const double seconds = static_cast<double>(total.nsecsElapsed()) * 1e-9;
    if (!watcher.painted) {
        std::fprintf(stderr, "the text view did not paint within 60 s\n");
        return 1;
    }
    if (view->verticalScrollBar()->value() != 0) {
        std::fprintf(stderr, "the view is not at the top of the program\n");
        return 1;
    }
    std::printf("  %-24s %8.3f s  (%d blocks shown)\n", "open to displayed", seconds,
                view->document()->blockCount());
    return 0;
}
