#include "dialog_driver.h"
#include "validation_samples.h"
#include "window_access.h"

#include <QApplication>
#include <QCursor>
#include <QScrollBar>
#include <QtTest>

#include <memory>
#include <thread>

#include <csignal>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

const QByteArray OLD_PROGRAM("an older program that must survive\n");

// Whether the read-only directory of file_name keeps this user from
// making files in it (root ignores permissions).
bool Permissions_Bind(const QString &file_name)
{
    QFile probe(QFileInfo(file_name).absolutePath() + QStringLiteral("/probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return true;
    probe.remove();
    return false;
}

void Unlock(const QString &file_name)
{
    QFile::setPermissions(QFileInfo(file_name).absolutePath(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

int Listen_On(const QString &file_name)
{
    const QByteArray path = QFile::encodeName(file_name);
    sockaddr_un address{};
    if (path.size() >= int(sizeof(address.sun_path)))
        return -1;
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
    const int socket_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket_fd < 0 ||
        ::bind(socket_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0 ||
        ::listen(socket_fd, 1) != 0)
        return -1;
    return socket_fd;
}

QByteArray Accept_And_Read(int listening)
{
    QByteArray received;
    const int connection = ::accept(listening, nullptr, nullptr);
    if (connection < 0)
        return received;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(connection, buffer, sizeof buffer)) > 0)
        received.append(buffer, int(got));
    ::close(connection);
    return received;
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
    void export_without_room_for_a_copy_writes_in_place_data();
    void export_without_room_for_a_copy_writes_in_place();
    void failed_export_is_reported_data();
    void failed_export_is_reported();
    void export_writes_through_what_is_not_a_regular_file_data();
    void export_writes_through_what_is_not_a_regular_file();
    void export_to_a_fifo_nobody_reads_warns_at_once();
    void open_refuses_a_program_too_large_to_show_data();
    void open_refuses_a_program_too_large_to_show();
    void open_refuses_an_input_over_the_size_limit();

private:
    QString Home_File(const QString &relative_name, const QByteArray &content);
    QString Place_Old_Program(const QString &case_name);
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

// Where each export case writes, holding OLD_PROGRAM when the case has a file.
QString TestFileCommands::Place_Old_Program(const QString &case_name)
{
    if (case_name == QLatin1String("read-only")) {
        const QString output = Home_File(QStringLiteral("locked/program.dms"), OLD_PROGRAM);
        QFile::setPermissions(QFileInfo(output).absolutePath(),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        return output;
    }
    if (case_name == QLatin1String("long name"))
        // The longest name the directory allows: no room for a suffix.
        return Home_File(QStringLiteral("long/") + QString(251, QLatin1Char('p')) +
                             QStringLiteral(".dms"),
                         OLD_PROGRAM);
    if (case_name == QLatin1String("size limit"))
        return Home_File(QStringLiteral("limited/program.dms"), OLD_PROGRAM);
    return Home_File(QStringLiteral("plain"), OLD_PROGRAM) + QStringLiteral("/program.dms");
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

void TestFileCommands::export_without_room_for_a_copy_writes_in_place_data()
{
    QTest::addColumn<QString>("case_name");
    QTest::newRow("read-only directory over a writable file") << "read-only";
    QTest::newRow("name at the length limit, no room for the copy's suffix") << "long name";
}

void TestFileCommands::export_without_room_for_a_copy_writes_in_place()
{
    QFETCH(QString, case_name);
    const QString output = Place_Old_Program(case_name);
    QVERIFY(!output.isEmpty());
    if (case_name == QLatin1String("read-only") && !Permissions_Bind(output))
        QSKIP("directory permissions do not stop this user from writing");

    TTessaline window;
    Open(window, Home_File(QStringLiteral("plane.dat"), Large_Plane_File()));
    TDialogDriver driver;
    driver.Choose_File(output);
    driver.Confirm_Overwrite();
    Export_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QVERIFY2(driver.Unexpected().isEmpty() && driver.Messages().isEmpty(),
             qPrintable(Describe(driver)));
    QCOMPARE(Read_File(output), View_Of(window)->toPlainText().toLatin1());
    QCOMPARE(QDir(QFileInfo(output).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(),
             1);
    Unlock(output);
}

void TestFileCommands::failed_export_is_reported_data()
{
    QTest::addColumn<QString>("case_name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("parent is a plain file") << "plain parent"
                                            << "Not a directory";
    QTest::newRow("write cut short by a file size limit") << "size limit"
                                                          << "File too large";
    QTest::newRow("file size limit while writing in place") << "long name"
                                                            << "File too large";
}

void TestFileCommands::failed_export_is_reported()
{
    QFETCH(QString, case_name);
    QFETCH(QString, reason);
    const QString output = Place_Old_Program(case_name);
    QVERIFY(!output.isEmpty());
    const bool exists = QFileInfo::exists(output);

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
        if (case_name != QLatin1String("plain parent")) {
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
    QVERIFY2(warning.text.endsWith(reason), qPrintable(warning.text));

    if (case_name == QLatin1String("size limit")) {
        QCOMPARE(Read_File(output), OLD_PROGRAM);
    } else if (case_name == QLatin1String("long name")) {
        // Written in place: cut where the limit stopped it, never the old
        // text behind the new.
        const QByteArray written = Read_File(output);
        QCOMPARE(written.size(), 2048);
        QVERIFY(program.toLatin1().startsWith(written));
    } else {
        QVERIFY(!QFileInfo::exists(output));
    }
    QCOMPARE(View_Of(window)->toPlainText(), program);
    QVERIFY(Export_Action(window)->isEnabled());
    QCOMPARE(Stored_File_Path(window), QFileInfo(output).path());
}

void TestFileCommands::export_writes_through_what_is_not_a_regular_file_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO with a reader") << "fifo";
    QTest::newRow("listening socket") << "socket";
    QTest::newRow("character device") << "device";
}

void TestFileCommands::export_writes_through_what_is_not_a_regular_file()
{
    QFETCH(QString, kind);
    const QString output = home->Path() + QStringLiteral("/out.dms");
    const QByteArray path = QFile::encodeName(output);
    QByteArray received;
    std::thread reader;
    int listening = -1;
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(mkfifo(path.constData(), 0600), 0);
        reader = std::thread([&] {
            QFile fifo(output);
            if (fifo.open(QIODevice::ReadOnly))
                received = fifo.readAll();
        });
    } else if (kind == QLatin1String("socket")) {
        listening = Listen_On(output);
        QVERIFY(listening >= 0);
        reader = std::thread([&] { received = Accept_And_Read(listening); });
    } else {
        // A node of the kernel's null device of our own, so that a fault
        // replaces it and not /dev/null.
        if (mknod(path.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("making a device node needs root; the FIFO row covers a pipe");
    }

    TTessaline window;
    Open(window, Home_File(QStringLiteral("plane.dat"), Large_Plane_File()));
    TDialogDriver driver;
    driver.Choose_File(output);
    driver.Confirm_Overwrite();
    Export_Action(window)->trigger();
    if (reader.joinable())
        reader.join();
    if (listening >= 0)
        ::close(listening);
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QVERIFY2(driver.Messages().isEmpty(), qPrintable(Describe(driver)));

    struct stat status;
    QCOMPARE(lstat(path.constData(), &status), 0);
    if (kind == QLatin1String("fifo")) {
        QVERIFY(S_ISFIFO(status.st_mode));
    } else if (kind == QLatin1String("socket")) {
        QVERIFY(S_ISSOCK(status.st_mode));
    } else {
        QVERIFY(S_ISCHR(status.st_mode));
        QCOMPARE(status.st_rdev, makedev(1, 3));
    }
    if (kind != QLatin1String("device"))
        QVERIFY(received == View_Of(window)->toPlainText().toLatin1());
}

void TestFileCommands::export_to_a_fifo_nobody_reads_warns_at_once()
{
    const QString output = home->Path() + QStringLiteral("/unread.dms");
    QCOMPARE(mkfifo(QFile::encodeName(output).constData(), 0600), 0);
    TTessaline window;
    Open(window, Home_File(QStringLiteral("plane.dat"), Plane_File()));
    TDialogDriver driver;
    driver.Choose_File(output);
    driver.Confirm_Overwrite();
    driver.Acknowledge_Message();
    Export_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QCOMPARE(driver.Messages().size(), 1);
    QVERIFY2(driver.Messages().first().text.contains(output), qPrintable(Describe(driver)));
    QVERIFY2(driver.Messages().first().text.endsWith(qt_error_string(ENXIO)),
             qPrintable(Describe(driver)));
}

void TestFileCommands::open_refuses_a_program_too_large_to_show_data()
{
    QTest::addColumn<int>("point_type");
    QTest::addColumn<QString>("options");
    QTest::newRow("measured points") << 0 << "";
    QTest::newRow("offset points") << 1 << " --points offset";
}

void TestFileCommands::open_refuses_a_program_too_large_to_show()
{
    QFETCH(int, point_type);
    QFETCH(QString, options);
    TTessaline window;
    window.preferences.dmis_feature_type = static_cast<TPreferences::TDMISFeatureType>(point_type);
    Open(window, Home_File(QStringLiteral("small.dat"), Plane_File()));
    const QString shown = View_Of(window)->toPlainText();

    const QByteArray large = Large_Plane_File();
    const QString large_name = Home_File(QStringLiteral("it's large.dat"), large);
    const int lines = Converted(window, large).count(QLatin1Char('\n'));
    window.maximum_program_size.lines = lines - 1;

    TDialogDriver driver;
    driver.Choose_File(large_name);
    driver.Acknowledge_Message();
    Open_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QCOMPARE(driver.Messages().size(), 1);
    const QString text = driver.Messages().first().text;
    QVERIFY2(text.contains(large_name), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("would have %1 lines").arg(QLocale().toString(lines))),
             qPrintable(text));
    const QString quoted_dms = QString(large_name)
                                   .replace(QStringLiteral("'"), QStringLiteral("'\\''"))
                                   .replace(QStringLiteral(".dat"), QStringLiteral(".dms"));
    const QString quoted_dat =
        QString(large_name).replace(QStringLiteral("'"), QStringLiteral("'\\''"));
    QVERIFY2(text.endsWith(QStringLiteral("tessaline-convert%1 -o '%2' '%3'")
                               .arg(options, quoted_dms, quoted_dat)),
             qPrintable(text));
    QCOMPARE(View_Of(window)->toPlainText(), shown);
    QVERIFY(Export_Action(window)->isEnabled());

    // At the limit it is shown.
    window.maximum_program_size.lines = lines;
    Open(window, large_name);
    QCOMPARE(View_Of(window)->toPlainText(), Converted(window, large));
}

void TestFileCommands::open_refuses_an_input_over_the_size_limit()
{
    TTessaline window;
    const QString banner = View_Of(window)->toPlainText();
    const QByteArray content = Plane_File();
    const QString file_name = Home_File(QStringLiteral("run2/plane.dat"), content);
    window.maximum_input_size = content.size() - 1;

    TDialogDriver driver;
    driver.Choose_File(file_name);
    driver.Acknowledge_Message();
    Open_Action(window)->trigger();
    QVERIFY2(driver.Finished(), qPrintable(Describe(driver)));
    QCOMPARE(driver.Messages().size(), 1);
    const QString text = driver.Messages().first().text;
    QVERIFY2(text.contains(file_name), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("larger than %1 bytes").arg(content.size() - 1)),
             qPrintable(text));
    QCOMPARE(View_Of(window)->toPlainText(), banner);
    QVERIFY(!Export_Action(window)->isEnabled());
    QCOMPARE(Stored_File_Path(window), home->Path() + QStringLiteral("/run2"));
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
