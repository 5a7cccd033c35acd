#pragma once

#include "conversion/program_size.h"
#include "conversion/validation_converter.h"
#include "files/input_file.h"

#include <QMainWindow>
#include <QString>

class QAction;
class QCloseEvent;
class QPlainTextEdit;
class QSettings;
class TPreferencesDialog;

// The main window: shows the generated DMIS program and owns the state the
// commands work on. The conversion itself lives in the widget-free base.
class TTessaline : public QMainWindow, public TValidationConverter
{
    Q_OBJECT

public:
    explicit TTessaline(const QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~TTessaline() override = default;

    void Clear_Text();
    void Update_Display();
    void Scroll_Text_Top();

    // The largest validation file Open reads, and the largest program it
    // shows: about 1.3 GB of memory at most, where the view grows by some
    // 400 bytes a line and 4.4 bytes a character. Larger ones are refused
    // with a warning that points to tessaline-convert. Lowered by tests.
    qint64 maximum_input_size = MAX_INPUT_SIZE;
    TProgramSize maximum_program_size = {2000000, 120000000};

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void Menu_Open();
    void Menu_Export_DMIS();
    void Menu_Preferences();

private:
    void Open_Settings();
    void Read_Settings();
    void Display_Program_Information();
    void Connect_Actions();
    QString Program_Too_Large(const QString &file_name, const QByteArray &content) const;

    QAction *export_dmis_action;
    QAction *open_action;
    QAction *quit_action;
    QAction *preferences_action;
    QPlainTextEdit *text_edit;
    TPreferencesDialog *preferences_dialog;
    QSettings *settings;
    QString settings_directory;
    QString file_path;
};
