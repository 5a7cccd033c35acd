#pragma once

#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

// Answers the modal dialogs a command opens, one scripted step per dialog,
// so that tests drive the real slots and the real file dialogs. Whatever
// dialog comes that no step expects is recorded and dismissed, and a dialog
// that does not go away is dismissed after a while, so a test never hangs.
class TDialogDriver : public QObject
{
    Q_OBJECT

public:
    // What a file dialog looked like when it was answered.
    struct TFileDialogSeen
    {
        QString title;
        QString directory;
        QStringList name_filters;
        QFileDialog::Options options;
        QFileDialog::AcceptMode accept_mode;
        QFileDialog::FileMode file_mode;
    };

    // What a message box said when it was acknowledged.
    struct TMessageSeen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };

    // A step gets the active modal widget and returns whether it answered it.
    using TStep = std::function<bool(QWidget *)>;

    explicit TDialogDriver(QObject *parent = nullptr);
    ~TDialogDriver() override;
    TDialogDriver(const TDialogDriver &) = delete;
    TDialogDriver &operator=(const TDialogDriver &) = delete;

    void Choose_File(const QString &file_name);
    void Cancel_File_Dialog();
    void Confirm_Overwrite();
    void Acknowledge_Message();
    void Then(const TStep &step);

    bool Finished() const { return steps.empty(); }
    const QList<TFileDialogSeen> &File_Dialogs() const { return file_dialogs; }
    const QList<TMessageSeen> &Messages() const { return messages; }
    const QStringList &Unexpected() const { return unexpected; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Poll();
    bool Record_File_Dialog(QWidget *widget);
    QMessageBox *Record_Message(QWidget *widget);

    static TDialogDriver *newest;
    TDialogDriver *older;
    std::deque<TStep> steps;
    QTimer poll_timer;
    QList<QObject *> answered;
    QElapsedTimer last_answer;
    QList<TFileDialogSeen> file_dialogs;
    QList<TMessageSeen> messages;
    QStringList unexpected;
};
