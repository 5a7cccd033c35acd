#include "dialog_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>

namespace {

// Long enough for a slow machine to close a dialog that was answered.
constexpr qint64 stuck_dialog_ms = 10000;

// Runs after the current timer event: answering a dialog can open another
// modal one (the overwrite question), which must not run inside the poll.
void Later(QObject *receiver, const char *method)
{
    QMetaObject::invokeMethod(receiver, method, Qt::QueuedConnection);
}

QString Describe(QWidget *widget)
{
    return QStringLiteral("%1 \"%2\"")
        .arg(QString::fromLatin1(widget->metaObject()->className()), widget->windowTitle());
}

void Dismiss(QWidget *widget)
{
    if (QMessageBox *box = qobject_cast<QMessageBox *>(widget)) {
        if (QAbstractButton *button =
                box->escapeButton() ? box->escapeButton() : box->buttons().value(0))
            Later(button, "click");
    } else if (QDialog *dialog = qobject_cast<QDialog *>(widget)) {
        Later(dialog, "reject");
    } else {
        Later(widget, "close");
    }
}

} // namespace

TDialogDriver *TDialogDriver::newest = nullptr;

TDialogDriver::TDialogDriver(QObject *parent) : QObject(parent), older(newest)
{
    newest = this;
    connect(&poll_timer, &QTimer::timeout, this, &TDialogDriver::Poll);
    poll_timer.start(10);
}

TDialogDriver::~TDialogDriver()
{
    newest = older;
}

void TDialogDriver::Choose_File(const QString &file_name)
{
    Then([this, file_name](QWidget *widget) {
        if (!Record_File_Dialog(widget))
            return false;
        QFileDialog *dialog = static_cast<QFileDialog *>(widget);
        // Typed as the user types it: selectFile leaves the name field alone
        // while it has the focus, and the list may not know the file yet.
        if (QLineEdit *name_edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name_edit->setText(file_name);
        else
            dialog->selectFile(file_name);
        Later(dialog, "accept");
        return true;
    });
}

void TDialogDriver::Cancel_File_Dialog()
{
    Then([this](QWidget *widget) {
        if (!Record_File_Dialog(widget))
            return false;
        Later(widget, "reject");
        return true;
    });
}

void TDialogDriver::Confirm_Overwrite()
{
    Then([](QWidget *widget) {
        QMessageBox *box = qobject_cast<QMessageBox *>(widget);
        if (!box || !box->button(QMessageBox::Yes))
            return false;
        Later(box->button(QMessageBox::Yes), "click");
        return true;
    });
}

void TDialogDriver::Acknowledge_Message()
{
    Then([this](QWidget *widget) {
        QMessageBox *box = Record_Message(widget);
        if (!box || !box->button(QMessageBox::Ok))
            return false;
        Later(box->button(QMessageBox::Ok), "click");
        return true;
    });
}

void TDialogDriver::Then(const TStep &step)
{
    steps.push_back(step);
}

void TDialogDriver::Poll()
{
    // Only the newest driver answers, so a test may keep an older one alive.
    if (newest != this)
        return;
    QWidget *widget = QApplication::activeModalWidget();
    if (!widget || !widget->isVisible())
        return;
    // An answered dialog stays answered until it is hidden: the file dialog
    // is active again while its overwrite question closes, before it accepts.
    if (answered.contains(widget)) {
        if (last_answer.elapsed() > stuck_dialog_ms) {
            unexpected << QStringLiteral("still open after its answer: ") + Describe(widget);
            Dismiss(widget);
            last_answer.restart();
        }
        return;
    }

    answered << widget;
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this](QObject *gone) { answered.removeAll(gone); });
    last_answer.start();
    if (!steps.empty() && steps.front()(widget)) {
        steps.pop_front();
        return;
    }
    QString description = Describe(widget);
    if (QMessageBox *box = qobject_cast<QMessageBox *>(widget))
        description += QStringLiteral(": ") + box->text();
    unexpected << description;
    Dismiss(widget);
}

bool TDialogDriver::eventFilter(QObject *watched, QEvent *event)
{
    // A dialog shown again (the preferences dialog is kept) is a new question.
    if (event->type() == QEvent::Hide && answered.removeAll(watched) > 0)
        watched->removeEventFilter(this);
    return QObject::eventFilter(watched, event);
}

bool TDialogDriver::Record_File_Dialog(QWidget *widget)
{
    QFileDialog *dialog = qobject_cast<QFileDialog *>(widget);
    if (!dialog)
        return false;
    file_dialogs << TFileDialogSeen{dialog->windowTitle(), dialog->directory().absolutePath(),
                                    dialog->nameFilters(), dialog->options(),
                                    dialog->acceptMode(),  dialog->fileMode()};
    return true;
}

QMessageBox *TDialogDriver::Record_Message(QWidget *widget)
{
    QMessageBox *box = qobject_cast<QMessageBox *>(widget);
    if (box)
        messages << TMessageSeen{box->windowTitle(), box->text(), box->icon()};
    return box;
}
