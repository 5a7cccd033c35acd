#pragma once

#include "app/tessaline.h"

#include <QAction>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

// Small ways into a window that only its widgets expose.

inline QPlainTextEdit *View_Of(TTessaline &window)
{
    return window.findChild<QPlainTextEdit *>();
}

inline QAction *Action_Of(TTessaline &window, const QString &menu_title, const QString &text)
{
    for (QAction *menu_action : window.menuBar()->actions()) {
        if (menu_action->text() != menu_title || !menu_action->menu())
            continue;
        for (QAction *action : menu_action->menu()->actions())
            if (action->text() == text)
                return action;
    }
    return nullptr;
}

inline QAction *Open_Action(TTessaline &window)
{
    return Action_Of(window, QStringLiteral("File"), QStringLiteral("Open"));
}

inline QAction *Export_Action(TTessaline &window)
{
    return Action_Of(window, QStringLiteral("File"), QStringLiteral("Export DMIS"));
}

inline QAction *Preferences_Action(TTessaline &window)
{
    return Action_Of(window, QStringLiteral("Edit"), QStringLiteral("Preferences"));
}

inline QString Settings_File_Path()
{
    return QDir::homePath() + QStringLiteral("/.tessaline/tessaline_settings.ini");
}

inline bool Write_File(const QString &file_name, const QByteArray &content)
{
    QFile file(file_name);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

inline QByteArray Read_File(const QString &file_name)
{
    QFile file(file_name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Gives each test a home directory of its own, empty at the start, so no
// test sees the settings another one left, and none touches a real home.
class TFreshHome
{
public:
    TFreshHome() : previous(qgetenv("HOME")), directory(new QTemporaryDir)
    {
        qputenv("HOME", QFile::encodeName(directory->path()));
    }
    ~TFreshHome() { qputenv("HOME", previous); }
    TFreshHome(const TFreshHome &) = delete;
    TFreshHome &operator=(const TFreshHome &) = delete;

    QString Path() const { return directory->path(); }
    bool Valid() const { return directory->isValid(); }

private:
    QByteArray previous;
    std::unique_ptr<QTemporaryDir> directory;
};
