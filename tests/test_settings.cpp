#include "app/window_geometry.h"
#include "dialog_driver.h"
#include "window_access.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include <memory>

namespace {

QRect Available_Screen_Area()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// The directory the Open dialog starts in, which is where file_path points.
QString Open_Dialog_Directory(TTessaline &window)
{
    TDialogDriver driver;
    driver.Cancel_File_Dialog();
    Open_Action(window)->trigger();
    if (!driver.Finished() || driver.File_Dialogs().size() != 1)
        return QStringLiteral("<no dialog>");
    return driver.File_Dialogs().first().directory;
}

void Store_Settings(const QString &file_name, const QVariantMap &values)
{
    QSettings settings(file_name, QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
}

struct TStoredWindow
{
    QPoint position;
    QSize size;
};

// Closes the window as the user does and returns what it left on disk. The
// settings object writes at the latest when the window is destroyed.
QVariantMap Close_And_Read(std::unique_ptr<TTessaline> window, const QString &file_name,
                           TStoredWindow *at_close)
{
    window->show();
    if (at_close)
        *at_close = {window->pos(), window->size()};
    window->close();
    window.reset();

    QSettings settings(file_name, QSettings::IniFormat);
    QVariantMap values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void first_start_creates_the_directory_and_uses_defaults();
    void round_trip_of_all_four_keys();
    void stored_geometry_is_checked_against_the_primary_screen_data();
    void stored_geometry_is_checked_against_the_primary_screen();
    void stored_feature_type_is_kept_as_it_is_data();
    void stored_feature_type_is_kept_as_it_is();
    void values_of_the_wrong_type_fall_back();
    void plain_file_named_like_the_directory_moves_settings_home();
    void close_event_is_accepted();

private:
    std::unique_ptr<TFreshHome> home;
};

void TestSettings::init()
{
    home.reset(new TFreshHome);
    QVERIFY(home->Valid());
}

void TestSettings::cleanup()
{
    home.reset();
}

void TestSettings::first_start_creates_the_directory_and_uses_defaults()
{
    QVERIFY(!QFileInfo::exists(home->Path() + QStringLiteral("/.tessaline")));

    std::unique_ptr<TTessaline> window(new TTessaline);
    QVERIFY(QFileInfo(home->Path() + QStringLiteral("/.tessaline")).isDir());
    QVERIFY(!QFileInfo::exists(Settings_File_Path()));

    // The default geometry passes the same screen check as a stored one.
    const QRect expected =
        Checked_Geometry(QPoint(30, 30), QSize(800, 600), Available_Screen_Area());
    QCOMPARE(window->pos(), expected.topLeft());
    QCOMPARE(window->size(), expected.size());
    QCOMPARE(window->preferences.dmis_feature_type, TPreferences::MEASURED_POINTS);
    QCOMPARE(Open_Dialog_Directory(*window), home->Path());

    TStoredWindow at_close;
    const QVariantMap stored = Close_And_Read(std::move(window), Settings_File_Path(), &at_close);
    QCOMPARE(stored.keys(), (QStringList{"DMIS_Feature_Type", "File_Path", "Mainwindow_Position",
                                         "Mainwindow_Size"}));
    QCOMPARE(stored.value("File_Path").toString(), home->Path());
    QCOMPARE(stored.value("DMIS_Feature_Type").toInt(), 0);
    QCOMPARE(stored.value("Mainwindow_Position").toPoint(), at_close.position);
    QCOMPARE(stored.value("Mainwindow_Size").toSize(), at_close.size);

    // Stored in QSettings' own notation for each type.
    const QByteArray text = Read_File(Settings_File_Path());
    QVERIFY2(text.contains("Mainwindow_Position=@Point("), text.constData());
    QVERIFY2(text.contains("Mainwindow_Size=@Size("), text.constData());
    QVERIFY2(text.contains("[General]"), text.constData());
}

void TestSettings::round_trip_of_all_four_keys()
{
    const QString start_directory = home->Path() + QStringLiteral("/runs");
    QVERIFY(QDir().mkpath(start_directory));
    QVERIFY(QDir().mkpath(home->Path() + QStringLiteral("/.tessaline")));
    Store_Settings(Settings_File_Path(), {{"File_Path", start_directory},
                                          {"Mainwindow_Position", QPoint(10, 20)},
                                          {"Mainwindow_Size", QSize(600, 550)},
                                          {"DMIS_Feature_Type", 1}});
    if (!Available_Screen_Area().contains(QRect(10, 20, 600, 550)))
        QSKIP("the primary screen is smaller than the stored window");

    std::unique_ptr<TTessaline> window(new TTessaline);
    QCOMPARE(window->pos(), QPoint(10, 20));
    QCOMPARE(window->size(), QSize(600, 550));
    QCOMPARE(window->preferences.dmis_feature_type, TPreferences::CONSTRUCTED_OFFSET_POINTS);
    QCOMPARE(Open_Dialog_Directory(*window), start_directory);

    TStoredWindow at_close;
    const QVariantMap stored = Close_And_Read(std::move(window), Settings_File_Path(), &at_close);
    QCOMPARE(stored.value("File_Path").toString(), start_directory);
    QCOMPARE(stored.value("DMIS_Feature_Type").toInt(), 1);
    QCOMPARE(stored.value("Mainwindow_Position").toPoint(), at_close.position);
    QCOMPARE(stored.value("Mainwindow_Size").toSize(), QSize(600, 550));
}

void TestSettings::stored_geometry_is_checked_against_the_primary_screen_data()
{
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected");

    // Placed relative to the screen the tests run on, whatever its size.
    const QRect screen = Available_Screen_Area();
    const QRect fallback(30, 30, 800, 600);
    QTest::newRow("on the screen") << screen.topLeft() + QPoint(2, 3) << QSize(520, 510)
                                   << QRect(screen.topLeft() + QPoint(2, 3), QSize(520, 510));
    QTest::newRow("hanging over the left edge")
        << screen.topLeft() - QPoint(200, 0) << QSize(701, 510)
        << QRect(screen.topLeft(), QSize(501, 510));
    QTest::newRow("exactly 500 visible columns")
        << screen.topLeft() - QPoint(200, 0) << QSize(700, 510) << fallback;
    QTest::newRow("exactly 500 visible rows")
        << screen.topLeft() - QPoint(0, 200) << QSize(510, 700) << fallback;
    QTest::newRow("beside the screen")
        << screen.topRight() + QPoint(1, 0) << QSize(1280, 1024) << fallback;
}

void TestSettings::stored_geometry_is_checked_against_the_primary_screen()
{
    QFETCH(QPoint, position);
    QFETCH(QSize, size);
    QFETCH(QRect, expected);
    if (Available_Screen_Area().width() < 521 || Available_Screen_Area().height() < 521)
        QSKIP("the primary screen is too small for these cases");

    QVERIFY(QDir().mkpath(home->Path() + QStringLiteral("/.tessaline")));
    Store_Settings(Settings_File_Path(),
                   {{"Mainwindow_Position", position}, {"Mainwindow_Size", size}});
    TTessaline window;
    QCOMPARE(window.pos(), expected.topLeft());
    QCOMPARE(window.size(), expected.size());
}

void TestSettings::stored_feature_type_is_kept_as_it_is_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");

    QTest::newRow("measured points") << QVariant(0) << 0;
    QTest::newRow("constructed offset points") << QVariant(1) << 1;
    QTest::newRow("value 7 from an edited file") << QVariant(7) << 7;
    QTest::newRow("not a number") << QVariant(QStringLiteral("offset")) << 0;
}

void TestSettings::stored_feature_type_is_kept_as_it_is()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);

    QVERIFY(QDir().mkpath(home->Path() + QStringLiteral("/.tessaline")));
    Store_Settings(Settings_File_Path(), {{"DMIS_Feature_Type", stored}});
    std::unique_ptr<TTessaline> window(new TTessaline);
    QCOMPARE(static_cast<int>(window->preferences.dmis_feature_type), expected);

    // Written back as held, since the preferences dialog was not used.
    const QVariantMap written = Close_And_Read(std::move(window), Settings_File_Path(), nullptr);
    QCOMPARE(written.value("DMIS_Feature_Type").toInt(), expected);
}

void TestSettings::values_of_the_wrong_type_fall_back()
{
    QVERIFY(QDir().mkpath(home->Path() + QStringLiteral("/.tessaline")));
    QVERIFY(Write_File(Settings_File_Path(), "[General]\n"
                                             "Mainwindow_Position=left\n"
                                             "Mainwindow_Size=large\n"
                                             "DMIS_Feature_Type=offset\n"));
    TTessaline window;
    // An unreadable size is -1 x -1, which fails the screen check.
    QCOMPARE(window.pos(), QPoint(30, 30));
    QCOMPARE(window.size(), QSize(800, 600));
    QCOMPARE(window.preferences.dmis_feature_type, TPreferences::MEASURED_POINTS);
}

void TestSettings::plain_file_named_like_the_directory_moves_settings_home()
{
    const QString plain_file = home->Path() + QStringLiteral("/.tessaline");
    QVERIFY(Write_File(plain_file, "not a directory\n"));
    const QString home_settings = home->Path() + QStringLiteral("/tessaline_settings.ini");
    Store_Settings(home_settings, {{"DMIS_Feature_Type", 1}});

    std::unique_ptr<TTessaline> window(new TTessaline);
    QVERIFY(QFileInfo(plain_file).isFile());
    QCOMPARE(Read_File(plain_file), QByteArray("not a directory\n"));
    QCOMPARE(window->preferences.dmis_feature_type, TPreferences::CONSTRUCTED_OFFSET_POINTS);

    const QVariantMap written = Close_And_Read(std::move(window), home_settings, nullptr);
    QCOMPARE(written.size(), 4);
    QCOMPARE(written.value("DMIS_Feature_Type").toInt(), 1);
    QCOMPARE(written.value("File_Path").toString(), home->Path());
}

void TestSettings::close_event_is_accepted()
{
    TTessaline window;
    window.show();
    QCloseEvent event;
    event.ignore();
    QApplication::sendEvent(&window, &event);
    QVERIFY(event.isAccepted());
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
