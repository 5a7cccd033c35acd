#pragma once

#include "conversion/validation_converter.h"

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
