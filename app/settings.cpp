#include "app/tessaline.h"
#include "app/window_geometry.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {

const QString settings_directory_name = QStringLiteral(".tessaline");
const QString settings_file_name = QStringLiteral("tessaline_settings.ini");

const QString file_path_key = QStringLiteral("File_Path");
const QString position_key = QStringLiteral("Mainwindow_Position");
const QString size_key = QStringLiteral("Mainwindow_Size");
const QString feature_type_key = QStringLiteral("DMIS_Feature_Type");

QRect Available_Screen_Area()
{
    // Without a screen the area stays null, which rules out any stored geometry.
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void TTessaline::Open_Settings()
{
    settings_directory = QDir::homePath();
    file_path = settings_directory;

    // When ".tessaline" cannot be made or entered (a plain file of that name),
    // the settings file simply lives in the home directory itself.
    QDir directory(settings_directory);
    if (!directory.exists(settings_directory_name))
        directory.mkdir(settings_directory_name);
    directory.cd(settings_directory_name);
    settings_directory = directory.absolutePath();

    settings = new QSettings(settings_directory + QLatin1Char('/') + settings_file_name,
                             QSettings::IniFormat, this);
}

void TTessaline::Read_Settings()
{
    file_path = settings->value(file_path_key, file_path).toString();

    const QPoint position = settings->value(position_key, default_window_position).toPoint();
    const QSize size = settings->value(size_key, default_window_size).toSize();
    const QRect geometry = Checked_Geometry(position, size, Available_Screen_Area());
    resize(geometry.size());
    move(geometry.topLeft());

    // Kept as stored, even outside the enumeration: the preferences dialog
    // settles such a value the first time it is used.
    preferences.dmis_feature_type =
        static_cast<TPreferences::TDMISFeatureType>(settings->value(feature_type_key, 0).toInt());
}

void TTessaline::closeEvent(QCloseEvent *event)
{
    settings->setValue(position_key, pos());
    settings->setValue(size_key, size());
    settings->setValue(feature_type_key, static_cast<int>(preferences.dmis_feature_type));
    settings->setValue(file_path_key, file_path);
    event->accept();
}
