#include "dialog_driver.h"
#include "validation_samples.h"
#include "window_access.h"

#include <QApplication>
#include <QCursor>
#include <QScrollBar>
#include <QtTest>

#include <memory>

#include <csignal>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The program a fresh conversion of content gives under the window's type.
QString Converted(const TTessaline &window, const QByteArray &content)
{
    TValidationConverter converter;
    converter.preferences = window.preferences;
    converter.Convert(content);
    return converter.dmis_text;
}

// A socket can be seen but never opened as a file, whoever runs the tests.
bool Make_Socket(const QString &file_name)
{
    const QByteArray path = QFile::encodeName(file_name);
    sockaddr_un address{};
    if (path.size() >= int(sizeof(address.sun_path)))
        return false;
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
    const int socket_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket_fd < 0)
        return false;
    const bool bound =
        ::bind(socket_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0;
    ::close(socket_fd);
    return bound;
}

// What the system says when the file is opened the way the command opens it.
QString Read_Failure_Reason(const QString &file_name)
{
    QFile file(file_name);
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}

// Caps the size of any file this process writes, as a full disk would; a
// write past the cap fails instead of stopping the process.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        previous_handler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previous_handler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

    bool Active() const { return active; }

private:
    rlimit previous{};
    void (*previous_handler)(int);
    bool active = false;
};

// A plane of many points, whose program is several kilobytes long.
QByteArray Large_Plane_File()
{
    QByteArray content = "Best_Fit_Validation:Version=1:Type=Plane\n"
                         "Plane 1 60 0 0 0 0 0 1 0.0\n";
    for (int i = 0; i < 60; ++i)
        content += QByteArray::number(i) + " " + QByteArray::number(i * 2) + " 0\n";
    return content;
}

// The directory the window would store for its file dialogs if closed now.
// QSettings objects on one file in one process see each other's values.
QString Stored_File_Path(TTessaline &window)
{
    window.close();
    QSettings settings(Settings_File_Path(), QSettings::IniFormat);
    return settings.value(QStringLiteral("File_Path"), QStringLiteral("<none>")).toString();
}

QString Describe(const TDialogDriver &driver)
{
    QStringList lines = driver.Unexpected();
    for (const TDialogDriver::TMessageSeen &message : driver.Messages())
        lines << QStringLiteral("message: ") + message.text;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void open_asks_for_a_validation_file();
    void open_shows_the_converted_program_data();
    void open_shows_the_converted_program();
    void open_runs_under_a_wait_cursor();
    void cancelling_open_after_a_load_changes_nothing();
    void unreadable_file_is_reported_and_changes_nothing_else_data();
    void unreadable_file_is_reported_and_changes_nothing_else();
    void same_file_twice_gives_the_same_program();
    void wrong_first_line_still_gives_header_and_footer();
    void file_in_the_root_directory_empties_the_path();

    void export_is_not_reachable_before_an_open();
    void export_writes_the_shown_program();
    void export_onto_a_longer_file_leaves_only_the_program();
    void export_keeps_a_name_without_suffix();
    void export_writes_latin1_with_question_marks();
    void cancelling_export_changes_nothing();
    void failed_export_is_reported_and_keeps_the_old_file_data();
    void failed_export_is_reported_and_keeps_the_old_file();

private:
    QString Home_File(const QString &relative_name, const QByteArray &content);
    void Open(TTessaline &window, const QString &file_name);

    std::unique_ptr<TFreshHome> home;
};

void TestFileCommands::init()
{
    home.reset(new TFreshHome);
    QVERIFY(home->Valid());
}

void TestFileCommands::cleanup()
{
    home.reset();
}

QString TestFileCommands::Home_File(const QString &relative_name, const QByteArray &content)
{
    const QString file_name = home->Path() + QLatin1Char('/') + relative_name;
    if (!QDir().mkpath(QFileInfo(file_name).absolutePath()) || !Write_File(file_name, content))
        return QString();
    return file_name;
}

void TestFileCommands::Open(TTessaline &window, const QString &file_name)
{
    TDialogDriver driver;
    driver.Choose_File(file_name);
    Open_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QVERIFY2(driver.Unexpected().isEmpty() && driver.Messages().isEmpty(),
             qPrintable(Describe(driver)));
}

void TestFileCommands::open_asks_for_a_validation_file()
{
    TTessaline window;
    const QString banner = View_Of(window)->toPlainText();
    TDialogDriver driver;
    driver.Cancel_File_Dialog();
    Open_Action(window)->trigger();
    QVERIFY(driver.Finished());
    QVERIFY(driver.Unexpected().isEmpty());

    const TDialogDriver::TFileDialogSeen seen = driver.File_Dialogs().value(0);
    QCOMPARE(seen.title, QStringLiteral("Open Validation File"));
    QCOMPARE(seen.name_filters, QStringList{QStringLiteral("Validation File (*.dat)")});
    QCOMPARE(seen.directory, home->Path());
    QCOMPARE(seen.options, QFileDialog::Options());
    QCOMPARE(seen.accept_mode, QFileDialog::AcceptOpen);
    QCOMPARE(seen.file_mode, QFileDialog::ExistingFile);

    QCOMPARE(View_Of(window)->toPlainText(), banner);
    QVERIFY(!Export_Action(window)->isEnabled());
    QCOMPARE(Stored_File_Path(window), home->Path());
}

void TestFileCommands::open_shows_the_converted_program_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("point_type");

    QTest::newRow("plane, measured points") << Plane_File() << 0;
    QTest::newRow("plane, offset points") << Plane_File() << 1;
    QTest::newRow("circle with CRLF lines") << Circle_File() << 0;
}

void TestFileCommands::open_shows_the_converted_program()
{
    QFETCH(QByteArray, content);
    QFETCH(int, point_type);

    const QString file_name = Home_File(QStringLiteral("run1/sample.dat"), content);
    QVERIFY(!file_name.isEmpty());
    TTessaline window;
    window.preferences.dmis_feature_type = static_cast<TPreferences::TDMISFeatureType>(point_type);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Open(window, file_name);

    const QString expected = Converted(window, content);
    QVERIFY(expected.startsWith(QStringLiteral("$$ Validation DMIS file\n")));
    QVERIFY(expected.endsWith(QStringLiteral("ENDFIL\n")));
    QCOMPARE(View_Of(window)->toPlainText(), expected);
    QCOMPARE(window.dmis_text, expected);
    QCOMPARE(window.construction_features.size(), size_t(1));
    QVERIFY(Export_Action(window)->isEnabled());
    // Shown from its first line.
    QCOMPARE(View_Of(window)->textCursor().position(), 0);
    QCOMPARE(View_Of(window)->verticalScrollBar()->value(), 0);
    QCOMPARE(Stored_File_Path(window), home->Path() + QStringLiteral("/run1"));
}

void TestFileCommands::open_runs_under_a_wait_cursor()
{
    const QString file_name = Home_File(QStringLiteral("plane.dat"), Plane_File());
    TTessaline window;
    QList<int> shapes;
    connect(View_Of(window), &QPlainTextEdit::textChanged, this, [&shapes] {
        const QCursor *cursor = QApplication::overrideCursor();
        shapes << (cursor ? int(cursor->shape()) : -1);
    });
    Open(window, file_name);
    QVERIFY(!shapes.isEmpty());
    for (int shape : shapes)
        QCOMPARE(shape, int(Qt::WaitCursor));
    QVERIFY(!QApplication::overrideCursor());
}

void TestFileCommands::cancelling_open_after_a_load_changes_nothing()
{
    const QString file_name = Home_File(QStringLiteral("run1/plane.dat"), Plane_File());
    TTessaline window;
    Open(window, file_name);
    const QString program = View_Of(window)->toPlainText();

    TDialogDriver driver;
    driver.Cancel_File_Dialog();
    Open_Action(window)->trigger();
    QVERIFY(driver.Finished());
    QCOMPARE(driver.File_Dialogs().value(0).directory, home->Path() + QStringLiteral("/run1"));

    QCOMPARE(View_Of(window)->toPlainText(), program);
    QCOMPARE(window.dmis_text, program);
    QVERIFY(Export_Action(window)->isEnabled());
    QCOMPARE(Stored_File_Path(window), home->Path() + QStringLiteral("/run1"));
}

void TestFileCommands::unreadable_file_is_reported_and_changes_nothing_else_data()
{
    QTest::addColumn<bool>("socket");
    QTest::addColumn<bool>("load_first");

    QTest::newRow("socket, over the banner") << true << false;
    QTest::newRow("socket, over a program") << true << true;
    QTest::newRow("no read permission, over a program") << false << true;
}

void TestFileCommands::unreadable_file_is_reported_and_changes_nothing_else()
{
    QFETCH(bool, socket);
    QFETCH(bool, load_first);

    const QString locked = home->Path() + QStringLiteral("/locked/validation.dat");
    QVERIFY(QDir().mkpath(QFileInfo(locked).absolutePath()));
    if (socket) {
        QVERIFY(Make_Socket(locked));
    } else {
        QVERIFY(Write_File(locked, Plane_File()));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    }
    const QString reason = Read_Failure_Reason(locked);
    if (reason.isEmpty())
        QSKIP("file permissions do not stop this user from reading");

    TTessaline window;
    if (load_first)
        Open(window, Home_File(QStringLiteral("run1/plane.dat"), Plane_File()));
    const QString view_before = View_Of(window)->toPlainText();
    const QString buffer_before = window.dmis_text;
    const bool export_before = Export_Action(window)->isEnabled();

    TDialogDriver driver;
    driver.Choose_File(locked);
    driver.Acknowledge_Message();
    Open_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(Describe(driver)));

    QCOMPARE(driver.Messages().size(), 1);
    const TDialogDriver::TMessageSeen warning = driver.Messages().first();
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QVERIFY2(warning.text.contains(locked), qPrintable(warning.text));
    QVERIFY2(warning.text.contains(reason), qPrintable(warning.text));

    QCOMPARE(View_Of(window)->toPlainText(), view_before);
    QCOMPARE(window.dmis_text, buffer_before);
    QCOMPARE(Export_Action(window)->isEnabled(), export_before);
    QCOMPARE(Stored_File_Path(window), home->Path() + QStringLiteral("/locked"));
}

void TestFileCommands::same_file_twice_gives_the_same_program()
{
    const QString file_name = Home_File(QStringLiteral("plane.dat"), Plane_File());
    TTessaline window;
    Open(window, file_name);
    const QString first = View_Of(window)->toPlainText();
    Open(window, file_name);
    QCOMPARE(View_Of(window)->toPlainText(), first);
    QCOMPARE(window.dmis_text, first);
    QCOMPARE(window.dmis_text.count(QStringLiteral("ENDFIL")), 1);
    QCOMPARE(window.construction_features.size(), size_t(1));
}

void TestFileCommands::wrong_first_line_still_gives_header_and_footer()
{
    const QString file_name = Home_File(QStringLiteral("wrong.dat"), Not_A_Validation_File());
    TTessaline window;
    Open(window, file_name);

    TValidationConverter frame;
    frame.Create_Header();
    frame.Create_Footer();
    QCOMPARE(View_Of(window)->toPlainText(), frame.dmis_text);
    QVERIFY(window.construction_features.empty());
    QVERIFY(Export_Action(window)->isEnabled());
}

void TestFileCommands::file_in_the_root_directory_empties_the_path()
{
    QString root_file;
    for (const QFileInfo &entry :
         QDir(QStringLiteral("/"))
             .entryInfoList(QDir::Files | QDir::Hidden | QDir::Readable | QDir::NoSymLinks)) {
        if (entry.size() < 1024 * 1024 &&
            !Read_Failure_Reason(entry.filePath()).isNull() == false) {
            root_file = entry.filePath();
            break;
        }
    }
    if (root_file.isEmpty())
        QSKIP("no small readable file in the root directory to choose");

    TTessaline window;
    Open(window, root_file);
    QVERIFY(Export_Action(window)->isEnabled());
    QCOMPARE(Stored_File_Path(window), QString());
}

void TestFileCommands::export_is_not_reachable_before_an_open()
{
    TTessaline window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!Export_Action(window)->isEnabled());

    // Clicked in the open "File" menu, a greyed-out entry starts nothing.
    QMenu *file_menu = window.menuBar()->actions().value(0)->menu();
    QVERIFY(file_menu);
    file_menu->popup(window.mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(file_menu));
    TDialogDriver driver;
    QTest::mouseClick(file_menu, Qt::LeftButton, Qt::NoModifier,
                      file_menu->actionGeometry(Export_Action(window)).center());
    QTest::qWait(50);
    QVERIFY2(driver.File_Dialogs().isEmpty() && driver.Unexpected().isEmpty(),
             qPrintable(Describe(driver)));
    file_menu->close();
}

void TestFileCommands::export_writes_the_shown_program()
{
    TTessaline window;
    Open(window, Home_File(QStringLiteral("run1/plane.dat"), Plane_File()));
    const QString output = home->Path() + QStringLiteral("/out/program.dms");
    QVERIFY(QDir().mkpath(QFileInfo(output).absolutePath()));

    TDialogDriver driver;
    driver.Choose_File(output);
    Export_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QVERIFY2(driver.Unexpected().isEmpty() && driver.Messages().isEmpty(),
             qPrintable(Describe(driver)));

    const TDialogDriver::TFileDialogSeen seen = driver.File_Dialogs().value(0);
    QCOMPARE(seen.title, QStringLiteral("Create DMIS File"));
    QCOMPARE(seen.name_filters, QStringList{QStringLiteral("DMIS (*.dms)")});
    QCOMPARE(seen.directory, home->Path() + QStringLiteral("/run1"));
    QCOMPARE(seen.options, QFileDialog::Options());
    QCOMPARE(seen.accept_mode, QFileDialog::AcceptSave);

    const QByteArray written = Read_File(output);
    QCOMPARE(written, View_Of(window)->toPlainText().toLatin1());
    QVERIFY(written.startsWith("$$ Validation DMIS file\nDMISMN/'validation.dms' 04.0\n"));
    QVERIFY(written.endsWith("\nENDFIL\n"));
    QVERIFY(!written.contains('\r'));
    // Nothing of the temporary copy is left beside the program.
    QCOMPARE(QDir(QFileInfo(output).absolutePath()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("program.dms")});
    QCOMPARE(Stored_File_Path(window), home->Path() + QStringLiteral("/out"));
}

void TestFileCommands::export_onto_a_longer_file_leaves_only_the_program()
{
    TTessaline window;
    Open(window, Home_File(QStringLiteral("plane.dat"), Plane_File()));
    const QString output = Home_File(QStringLiteral("program.dms"), QByteArray(100000, 'x'));

    TDialogDriver driver;
    driver.Choose_File(output);
    driver.Confirm_Overwrite();
    Export_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QVERIFY2(driver.Unexpected().isEmpty() && driver.Messages().isEmpty(),
             qPrintable(Describe(driver)));
    QCOMPARE(Read_File(output), View_Of(window)->toPlainText().toLatin1());
}

void TestFileCommands::export_keeps_a_name_without_suffix()
{
    TTessaline window;
    Open(window, Home_File(QStringLiteral("plane.dat"), Plane_File()));
    const QString output = home->Path() + QStringLiteral("/program");

    TDialogDriver driver;
    driver.Choose_File(output);
    Export_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QVERIFY(QFileInfo(output).isFile());
    QVERIFY(!QFileInfo::exists(output + QStringLiteral(".dms")));
    QCOMPARE(Read_File(output), View_Of(window)->toPlainText().toLatin1());
}

void TestFileCommands::export_writes_latin1_with_question_marks()
{
    TTessaline window;
    Open(window, Home_File(QStringLiteral("plane.dat"), Plane_File()));
    // Text the view may show after the program: outside Latin-1, and inside.
    window.Clear_Text();
    window.Add_Text(QStringLiteral("$$ \u00b5m \u2126 \u00e9"));
    window.Update_Display();
    Open(window, Home_File(QStringLiteral("plane.dat"), Plane_File()));
    window.Add_Text(QStringLiteral("$$ \u00b5m \u2126 \u00e9"));
    window.Update_Display();

    const QString output = home->Path() + QStringLiteral("/program.dms");
    TDialogDriver driver;
    driver.Choose_File(output);
    Export_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    const QByteArray written = Read_File(output);
    QCOMPARE(written, View_Of(window)->toPlainText().toLatin1());
    QVERIFY(written.endsWith("ENDFIL\n$$ \xb5m ? \xe9\n"));
}

void TestFileCommands::cancelling_export_changes_nothing()
{
    TTessaline window;
    Open(window, Home_File(QStringLiteral("run1/plane.dat"), Plane_File()));
    const QString program = View_Of(window)->toPlainText();

    TDialogDriver driver;
    driver.Cancel_File_Dialog();
    Export_Action(window)->trigger();
    QVERIFY(driver.Finished());
    QVERIFY(driver.Unexpected().isEmpty() && driver.Messages().isEmpty());
    QCOMPARE(View_Of(window)->toPlainText(), program);
    QVERIFY(Export_Action(window)->isEnabled());
    QCOMPARE(QDir(home->Path() + QStringLiteral("/run1")).entryList(QDir::Files),
             QStringList{QStringLiteral("plane.dat")});
    QCOMPARE(Stored_File_Path(window), home->Path() + QStringLiteral("/run1"));
}

void TestFileCommands::failed_export_is_reported_and_keeps_the_old_file_data()
{
    QTest::addColumn<QString>("case_name");
    QTest::newRow("read-only directory over an existing file") << "read-only";
    QTest::newRow("existing file whose temporary copy cannot be named") << "long name";
    QTest::newRow("parent is a plain file") << "plain parent";
    QTest::newRow("write cut short by a file size limit") << "size limit";
}

void TestFileCommands::failed_export_is_reported_and_keeps_the_old_file()
{
    QFETCH(QString, case_name);

    const QByteArray old_content("an older program that must survive\n");
    QString output;
    bool exists = true;
    if (case_name == QLatin1String("read-only")) {
        output = Home_File(QStringLiteral("locked/program.dms"), old_content);
        QVERIFY(QFile::setPermissions(QFileInfo(output).absolutePath(),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile probe(QFileInfo(output).absolutePath() + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("directory permissions do not stop this user from writing");
        }
    } else if (case_name == QLatin1String("long name")) {
        // The longest name the directory allows, minus nothing to spare.
        output = Home_File(QStringLiteral("long/") + QString(250, QLatin1Char('p')) +
                               QStringLiteral(".dms"),
                           old_content);
    } else if (case_name == QLatin1String("size limit")) {
        output = Home_File(QStringLiteral("limited/program.dms"), old_content);
    } else {
        const QString plain = Home_File(QStringLiteral("plain"), old_content);
        output = plain + QStringLiteral("/program.dms");
        exists = false;
    }
    QVERIFY(!output.isEmpty());

    TTessaline window;
    Open(window, Home_File(QStringLiteral("plane.dat"), Large_Plane_File()));
    const QString program = View_Of(window)->toPlainText();
    QVERIFY(program.size() > 4096);

    TDialogDriver driver;
    driver.Choose_File(output);
    if (exists)
        driver.Confirm_Overwrite();
    driver.Acknowledge_Message();
    {
        std::unique_ptr<TFileSizeLimit> limit;
        if (case_name == QLatin1String("size limit")) {
            limit.reset(new TFileSizeLimit(2048));
            QVERIFY(limit->Active());
        }
        Export_Action(window)->trigger();
    }
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(Describe(driver)));

    QCOMPARE(driver.Messages().size(), 1);
    const TDialogDriver::TMessageSeen warning = driver.Messages().first();
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QVERIFY2(warning.text.contains(output), qPrintable(warning.text));
    QVERIFY2(warning.text.count(QLatin1Char('\n')) >= 2, qPrintable(warning.text));

    if (exists)
        QCOMPARE(Read_File(output), old_content);
    else
        QVERIFY(!QFileInfo::exists(output));
    QCOMPARE(View_Of(window)->toPlainText(), program);
    QVERIFY(Export_Action(window)->isEnabled());
    QCOMPARE(Stored_File_Path(window), QFileInfo(output).path());

    if (case_name == QLatin1String("read-only"))
        QFile::setPermissions(QFileInfo(output).absolutePath(), QFileDevice::ReadOwner |
                                                                    QFileDevice::WriteOwner |
                                                                    QFileDevice::ExeOwner);
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
