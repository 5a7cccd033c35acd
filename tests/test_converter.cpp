#include "conversion/validation_converter.h"

#include "program_run.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <thread>

namespace {

const QString CONVERTER = QStringLiteral(TESSALINE_CONVERT);
const QString EXAMPLES = QStringLiteral(TESSALINE_EXAMPLES);
const QString EXPECTED = QStringLiteral(TESSALINE_TEST_DATA) + "/converter";

// A converter that may not map more than this much memory, so that a test
// can run it out of memory without needing much. With a stack limit, the
// stack each thread is given by default, which a thread then cannot have.
class TMemoryLimitProcess : public QProcess
{
public:
    explicit TMemoryLimitProcess(rlim_t bytes_, rlim_t stack_bytes_ = 0)
        : bytes(bytes_), stack_bytes(stack_bytes_)
    {
    }

protected:
    void setupChildProcess() override
    {
        const rlimit limit = {bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
        rlimit stack;
        if (stack_bytes > 0 && getrlimit(RLIMIT_STACK, &stack) == 0) {
            stack.rlim_cur = stack_bytes;
            setrlimit(RLIMIT_STACK, &stack);
        }
    }

private:
    rlim_t bytes;
    rlim_t stack_bytes;
};

// Address space limits mean nothing to a build whose sanitizer reserves
// terabytes of shadow memory.
bool Address_Space_Limits_Work()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

TProgramRun Run(const QStringList &arguments, QProcess &&process = QProcess())
{
    return Run_Program(CONVERTER, arguments, std::move(process));
}

// What the window exports for the same file and point type.
QByteArray Window_Program(const QString &input, TPreferences::TDMISFeatureType type)
{
    TValidationConverter converter;
    converter.preferences.dmis_feature_type = type;
    converter.Convert(Read_File(input));
    return converter.dmis_text.toLatin1();
}

const QByteArray MALFORMED = "# line 1\n"
                             "Best_Fit_Validation:Version=1:Type=Plane\n"
                             "1 2 3\n"
                             "Plane 1 3 0 0 0 0 0 1\n"
                             "Plane 1 3 0 0 0 0 0 1 0\n"
                             "1 2 3\n"
                             "1 2\n"
                             "\n"
                             "Plane 2 0 0 0 0 0 0 1 0\n"
                             "4 5 6\n"
                             "Plane 3 2 0 0 0 0 0 1 0\n"
                             "1 2 abc\n";

} // namespace

class TestConverter : public QObject
{
    Q_OBJECT

private slots:
    void examples_data();
    void examples();
    void output_file();
    void output_dir();
    void large_program_in_pieces();
    void diagnostics();
    void cone_without_apex_is_a_warning();
    void not_a_validation_file();
    void usage_errors_data();
    void usage_errors();
    void help_and_version();
    void unreadable_input_does_not_stop_the_others();
    void failed_write_leaves_existing_file_intact();
    void unwritable_directory_is_written_in_place();
    void output_fits();
    void outputs_that_are_not_regular_files_are_written_through_data();
    void outputs_that_are_not_regular_files_are_written_through();
    void output_through_dev_stdout_appends_to_a_log();
    void output_that_is_an_input_is_refused_data();
    void output_that_is_an_input_is_refused();
    void outputs_that_clash_in_the_output_directory();
    void name_at_the_length_limit_is_written_in_place();
    void closed_standard_output_is_reported();
    void long_field_is_quoted_short_and_fields_in_order();
    void carriage_returns_without_line_feed_are_reported();
    void huge_line_with_one_wide_character_converts();
    void running_out_of_memory_is_reported();
    void program_is_written_where_no_thread_can_start();
};

void TestConverter::examples_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("points");
    QTest::addColumn<int>("type");
    for (const char *name : {"plane", "line", "circle", "sphere", "cylinder", "cone", "torus",
                             "plane-minimum-zone", "circle-maximum-inscribed"}) {
        QTest::newRow(qPrintable(QString("%1 measured").arg(name)))
            << name << "measured" << int(TPreferences::MEASURED_POINTS);
        QTest::newRow(qPrintable(QString("%1 offset").arg(name)))
            << name << "offset" << int(TPreferences::CONSTRUCTED_OFFSET_POINTS);
    }
}

void TestConverter::examples()
{
    QFETCH(QString, name);
    QFETCH(QString, points);
    QFETCH(int, type);
    const QString input = EXAMPLES + "/" + name + ".dat";
    QStringList arguments{input};
    if (points != "measured") {
        arguments = QStringList{"--points", points, input};
    }
    const TProgramRun result = Run(arguments);
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, Read_File(EXPECTED + "/" + name + "-" + points + ".dms"));
    QCOMPARE(result.output,
             Window_Program(input, static_cast<TPreferences::TDMISFeatureType>(type)));
    QVERIFY(result.output.startsWith("$$ Validation DMIS file\nDMISMN/'validation.dms' 04.0\n"));
    QVERIFY(result.output.endsWith("\nENDFIL\n"));
    QVERIFY(!result.output.contains('\r'));
    QVERIFY(!result.output.contains("ERR"));
}

void TestConverter::output_file()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath("circle program.dms");
    QVERIFY(Write_File(output, "an older, longer program that must be replaced completely\n"));
    const TProgramRun result = Run({"-o", output, "--points", "offset", EXAMPLES + "/circle.dat"});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(Read_File(output), Read_File(EXPECTED + "/circle-offset.dms"));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{"circle program.dms"});
}

void TestConverter::large_program_in_pieces()
{
    // Several pieces of program text, so the streamed output must join up.
    QByteArray content = "Best_Fit_Validation:Version=1:Type=Sphere\n";
    for (int feature = 1; feature <= 3; ++feature) {
        content += "Sphere " + QByteArray::number(feature) + " 4000 1 2 3 50 0.001\n";
        for (int point = 0; point < 4000; ++point)
            content += QByteArray::number(point * 0.001, 'f', 3) + " -" +
                       QByteArray::number(point) + ".5 7\n";
    }
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("big.dat");
    const QString output = directory.filePath("big.dms");
    QVERIFY(Write_File(input, content));

    TValidationConverter converter;
    int pieces = 0;
    QByteArray joined;
    converter.text_sink = [&](const QByteArray &piece) {
        ++pieces;
        joined += piece;
    };
    converter.Convert(content);
    QVERIFY(pieces > 2);
    QVERIFY(converter.dmis_text.isEmpty());
    const QByteArray whole = Window_Program(input, TPreferences::MEASURED_POINTS);
    QVERIFY(whole.size() > 2 * TValidationConverter::TEXT_PIECE_SIZE);
    QVERIFY(joined == whole);

    const TProgramRun to_file = Run({input, "-o", output});
    QCOMPARE(to_file.exit_code, 0);
    QVERIFY(Read_File(output) == whole);
    const TProgramRun to_stdout = Run({input});
    QCOMPARE(to_stdout.exit_code, 0);
    QVERIFY(to_stdout.output == whole);
}

void TestConverter::output_dir()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString copy = directory.filePath("line.v2.dat");
    QVERIFY(QFile::copy(EXAMPLES + "/line.dat", copy));
    const QString out = directory.filePath("out");
    QVERIFY(QDir().mkpath(out));

    const TProgramRun result =
        Run({"--output-dir", out, EXAMPLES + "/plane.dat", EXAMPLES + "/sphere.dat", copy});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(QDir(out).entryList(QDir::Files),
             (QStringList{"line.v2.dms", "plane.dms", "sphere.dms"}));
    QCOMPARE(Read_File(out + "/plane.dms"), Read_File(EXPECTED + "/plane-measured.dms"));
    QCOMPARE(Read_File(out + "/sphere.dms"), Read_File(EXPECTED + "/sphere-measured.dms"));
    QCOMPARE(Read_File(out + "/line.v2.dms"), Read_File(EXPECTED + "/line-measured.dms"));
}

void TestConverter::diagnostics()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("malformed.dat");
    QVERIFY(Write_File(input, MALFORMED));

    const TProgramRun result = Run({input});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, Window_Program(input, TPreferences::MEASURED_POINTS));

    QStringList located;
    for (const QString &line : result.errors) {
        QVERIFY2(line.startsWith(input + ":"), qPrintable(line));
        const QString rest = line.mid(input.size() + 1);
        const int colon = rest.indexOf(": warning: ");
        QVERIFY2(colon > 0, qPrintable(line));
        located << rest.left(colon) + " " + rest.mid(colon + 11).section(' ', 0, 1);
    }
    const QStringList expected{
        "3 surplus line:", "4 plane record",   "7 point line", "8 blank line", "5 plane 1",
        "9 plane 2",       "10 surplus line:", "11 plane 3",   "12 field 3",   "11 plane 3"};
    QCOMPARE(located, expected);
    QVERIFY(result.errors[4].contains("1 of 3 points"));
    // Plane 3 asks for 2 points, too few for any plane, and gets 1.
    QVERIFY2(result.errors[7].endsWith("plane 3 has 2 points, fewer than the 3 a plane's "
                                       "least-squares fit needs: the software cannot fit it"),
             qPrintable(result.errors[7]));
    QVERIFY(result.errors[9].contains("1 of 2 points"));
    QVERIFY(result.errors[9].contains("end of the file"));
}

void TestConverter::cone_without_apex_is_a_warning()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("cones.dat");
    QVERIFY(Write_File(input, "Best_Fit_Validation:Version=1:Type=Cone\n"
                              "Cone 1 1 0 0 10 0 0 1 180 20 0\n"
                              "Cone 2 1 0 0 10 0 0 0 90 20 0\n"
                              "Cone 3 1 0 0 10 0 0 1 90 20 0\n"
                              "10 0 10\n"
                              "Cone 4 1 0 0 10 0 0 1 1e-7 20 0\n"
                              "Cone 5 1 0 0 10 0 0 1 179.9999996 20 0\n"));

    const TProgramRun result = Run({"--output-fits", input});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.errors.size(), 5);
    // Converted all the same, with a word.
    QCOMPARE(result.errors[2], input + ":4: warning: cone 3 has 1 point, fewer than the 6 a "
                                       "cone's least-squares fit needs: the software cannot fit "
                                       "it");
    QCOMPARE(result.errors.mid(3),
             (QStringList{input + ":6: warning: cone record has no apex: its apex angle 1e-7 "
                                  "would be written as 0.000000 degrees in the program, line "
                                  "ignored",
                          input + ":7: warning: cone record has no apex: its apex angle "
                                  "179.9999996 would be written as 180.000000 degrees in the "
                                  "program, line ignored"}));
    QVERIFY2(result.errors[0].startsWith(input + ":2: warning: cone record has no apex"),
             qPrintable(result.errors[0]));
    QVERIFY2(result.errors[0].contains("180"), qPrintable(result.errors[0]));
    QVERIFY2(result.errors[1].startsWith(input + ":3: warning: cone record has no apex"),
             qPrintable(result.errors[1]));
    QVERIFY2(result.errors[1].contains("direction is zero"), qPrintable(result.errors[1]));
    for (const char *label : {"CON_1", "CON_2", "CON_4", "CON_5"})
        QVERIFY2(!result.output.contains(label), label);
    QVERIFY(result.output.contains("\nCONST/CONE,F(CON_3),BF,FA(PT_3_1)\n$$\nOUTPUT/FA(CON_3)\n"
                                   "ENDFIL\n"));
}

void TestConverter::not_a_validation_file()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("notes.dat");
    QVERIFY(Write_File(input, "# comment\nPlane 1 1 0 0 0 0 0 1 0\n1 2 3\n"));
    const QString output = directory.filePath("notes.dms");
    QVERIFY(Write_File(output, "kept"));

    TProgramRun result = Run({"-o", output, input});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 1);
    QVERIFY2(result.errors[0].startsWith(input + ": error: not a validation file"),
             qPrintable(result.errors[0]));
    QCOMPARE(Read_File(output), QByteArray("kept"));

    result = Run({input});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.output, QByteArray());

    const QString empty = directory.filePath("empty.dat");
    QVERIFY(Write_File(empty, ""));
    result = Run({"--output-dir", directory.path(), empty});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 1);
    QVERIFY(result.errors[0].startsWith(empty + ": error: not a validation file"));
    QVERIFY(!QFile::exists(directory.filePath("empty.dms")));
}

void TestConverter::usage_errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");

    const QString plane = EXAMPLES + "/plane.dat";
    const QString line = EXAMPLES + "/line.dat";
    QTest::newRow("no input") << QStringList{} << "no input";
    QTest::newRow("unknown option") << QStringList{"--fast", plane} << "fast";
    QTest::newRow("bad point type") << QStringList{"--points", "nominal", plane} << "nominal";
    QTest::newRow("point type missing") << QStringList{plane, "--points"} << "points";
    QTest::newRow("-o with two inputs") << QStringList{"-o", "x.dms", plane, line} << "-o";
    QTest::newRow("-o with --output-dir")
        << QStringList{"-o", "x.dms", "--output-dir", ".", plane} << "together";
    QTest::newRow("two inputs to standard output") << QStringList{plane, line} << "output-dir";
}

void TestConverter::usage_errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const TProgramRun result = Run(arguments);
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QVERIFY(!result.errors.isEmpty());
    QVERIFY2(result.errors.join('\n').contains(reason), qPrintable(result.errors.join('\n')));
}

void TestConverter::help_and_version()
{
    TProgramRun result = Run({"--help"});
    QCOMPARE(result.exit_code, 0);
    QVERIFY(result.output.contains("--points"));
    QVERIFY(result.output.contains("--output-dir"));
    QVERIFY(result.output.contains("-o, --output"));
    result = Run({"--version"});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, QByteArray("tessaline-convert 1.0\n"));
}

void TestConverter::unreadable_input_does_not_stop_the_others()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString missing = directory.filePath("missing.dat");
    const TProgramRun result =
        Run({"--output-dir", directory.path(), missing, EXAMPLES + "/circle.dat"});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors,
             QStringList{missing + ": error: cannot read: No such file or directory"});
    QCOMPARE(Read_File(directory.filePath("circle.dms")),
             Read_File(EXPECTED + "/circle-measured.dms"));
    QVERIFY(!QFile::exists(directory.filePath("missing.dms")));
}

void TestConverter::failed_write_leaves_existing_file_intact()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath("plane.dms");
    QVERIFY(Write_File(output, "previous program"));

    const TProgramRun result = Run({"-o", output, EXAMPLES + "/plane.dat"}, TSmallFileProcess());
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 1);
    QCOMPARE(result.errors[0], output + ": error: cannot write: File too large");
    QCOMPARE(Read_File(output), QByteArray("previous program"));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{"plane.dms"});
}

void TestConverter::unwritable_directory_is_written_in_place()
{
    if (geteuid() == 0) {
        QSKIP("permissions do not bind root; the name-length case covers writing in place");
    }
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath("plane.dms");
    QVERIFY(Write_File(output, "previous program"));
    QVERIFY(QFile::setPermissions(directory.path(), QFile::ReadOwner | QFile::ExeOwner));

    const TProgramRun result = Run({"-o", output, EXAMPLES + "/plane.dat"});
    QFile::setPermissions(directory.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(Read_File(output), Read_File(EXPECTED + "/plane-measured.dms"));
}

void TestConverter::output_fits()
{
    const QByteArray plain = Read_File(EXPECTED + "/circle-measured.dms");
    const TProgramRun result = Run({"--output-fits", EXAMPLES + "/circle.dat"});
    QCOMPARE(result.exit_code, 0);
    QVERIFY(plain.endsWith("\nENDFIL\n"));
    QCOMPARE(result.output,
             plain.left(plain.size() - 7) + "$$\nOUTPUT/FA(CIR_1)\nOUTPUT/FA(CIR_2)\nENDFIL\n");

    // Nothing to ask for when nothing is constructed.
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("header-only.dat");
    QVERIFY(Write_File(
        input, "Best_Fit_Validation:Version=1:Type=Sphere\nSphere 1 2 0 0 0 10 0\n1 2 3\n"));
    const TProgramRun none = Run({"--output-fits", input});
    QCOMPARE(none.exit_code, 0);
    QCOMPARE(none.output, Run({input}).output);
    QVERIFY(!none.output.contains("OUTPUT"));
}

void TestConverter::outputs_that_are_not_regular_files_are_written_through_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("character device") << "device";
}

void TestConverter::outputs_that_are_not_regular_files_are_written_through()
{
    QFETCH(QString, kind);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QString output = directory.filePath("out.dms");
    const QByteArray path = QFile::encodeName(output);
    QByteArray received;
    std::thread reader;
    if (kind == "fifo") {
        QCOMPARE(mkfifo(path.constData(), 0600), 0);
        reader = std::thread([&] {
            QFile fifo(output);
            if (fifo.open(QIODevice::ReadOnly))
                received = fifo.readAll();
        });
    } else if (geteuid() == 0) {
        // The null device under a name of our own: a fault replaces this
        // node, never /dev/null itself.
        QCOMPARE(mknod(path.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    } else {
        output = "/dev/null";
    }

    const TProgramRun result = Run({"-o", output, EXAMPLES + "/sphere.dat"});
    if (reader.joinable())
        reader.join();
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    struct stat status;
    QCOMPARE(lstat(QFile::encodeName(output).constData(), &status), 0);
    if (kind == "fifo") {
        QVERIFY(S_ISFIFO(status.st_mode));
        QCOMPARE(received, Read_File(EXPECTED + "/sphere-measured.dms"));
    } else {
        QVERIFY(S_ISCHR(status.st_mode));
        QCOMPARE(status.st_rdev, makedev(1, 3));
    }
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(),
             kind == "fifo" || output != "/dev/null" ? 1 : 0);
}

void TestConverter::output_through_dev_stdout_appends_to_a_log()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString log = directory.filePath("run.log");
    QVERIFY(Write_File(log, "earlier lines of the log\n"));
    QProcess process;
    process.setStandardOutputFile(log, QIODevice::Append);
    const TProgramRun result =
        Run({"-o", "/dev/stdout", EXAMPLES + "/line.dat"}, std::move(process));
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(Read_File(log),
             "earlier lines of the log\n" + Read_File(EXPECTED + "/line-measured.dms"));
    QVERIFY(QFileInfo(log).isFile());
}

void TestConverter::output_that_is_an_input_is_refused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("the same name") << "same";
    QTest::newRow("a symbolic link to it") << "symlink";
    QTest::newRow("a hard link to it") << "hardlink";
    QTest::newRow("standard output appending to it") << "stdout";
    QTest::newRow("another input of the run") << "other input";
}

void TestConverter::output_that_is_an_input_is_refused()
{
    QFETCH(QString, kind);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("plane.dat");
    QVERIFY(QFile::copy(EXAMPLES + "/plane.dat", input));
    const QByteArray original = Read_File(input);

    TProgramRun result;
    QString output = input;
    if (kind == "symlink") {
        output = directory.filePath("plane.dms");
        QVERIFY(QFile::link(input, output));
    } else if (kind == "hardlink") {
        output = directory.filePath("plane.dms");
        QCOMPARE(
            ::link(QFile::encodeName(input).constData(), QFile::encodeName(output).constData()), 0);
    }
    if (kind == "stdout") {
        QProcess process;
        process.setStandardOutputFile(input, QIODevice::Append);
        result = Run({input}, std::move(process));
        output = "standard output";
    } else if (kind == "other input") {
        // The output of line.dat in the directory is plane.dat's twin.
        const QString line = directory.filePath("line.dat");
        QVERIFY(QFile::copy(EXAMPLES + "/line.dat", line));
        output = directory.filePath("line.dms");
        QCOMPARE(
            ::link(QFile::encodeName(input).constData(), QFile::encodeName(output).constData()), 0);
        result = Run({"--output-dir", directory.path(), line, input});
    } else {
        result = Run({"-o", output, input});
    }
    QCOMPARE(result.exit_code, 1);
    QVERIFY(!result.errors.isEmpty());
    QCOMPARE(result.errors[0], output + ": error: cannot write: it is the input " + input +
                                   ", which is left as it was");
    QCOMPARE(Read_File(input), original);
}

void TestConverter::outputs_that_clash_in_the_output_directory()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QVERIFY(QDir(directory.path()).mkpath("a") && QDir(directory.path()).mkpath("b") &&
            QDir(directory.path()).mkpath("out"));
    const QString first = directory.filePath("a/part.dat");
    const QString second = directory.filePath("b/part.dat");
    const QString third = directory.filePath("a/part.txt");
    QVERIFY(QFile::copy(EXAMPLES + "/plane.dat", first));
    QVERIFY(QFile::copy(EXAMPLES + "/line.dat", second));
    QVERIFY(QFile::copy(EXAMPLES + "/circle.dat", third));
    const QString out = directory.filePath("out");

    const TProgramRun result = Run({"--output-dir", out, first, second, third});
    QCOMPARE(result.exit_code, 1);
    const QString written = out + "/part.dms";
    QCOMPARE(
        result.errors,
        (QStringList{second + ": error: not converted: its output " + written +
                         " is the output of " + first + " as well, which was converted first",
                     third + ": error: not converted: its output " + written +
                         " is the output of " + first + " as well, which was converted first"}));
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{"part.dms"});
    QCOMPARE(Read_File(written), Read_File(EXPECTED + "/plane-measured.dms"));
}

void TestConverter::name_at_the_length_limit_is_written_in_place()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    // No room for the suffix of a temporary copy beside it.
    const QString output = directory.filePath(QString(251, 'n') + ".dms");
    QVERIFY(Write_File(output, "previous program"));
    TProgramRun result = Run({"-o", output, EXAMPLES + "/plane.dat"});
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(Read_File(output), Read_File(EXPECTED + "/plane-measured.dms"));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // A failed write in place is still a failed write.
    result = Run({"-o", output, EXAMPLES + "/plane.dat"}, TSmallFileProcess());
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors, QStringList{output + ": error: cannot write: File too large"});
}

void TestConverter::closed_standard_output_is_reported()
{
    const TProgramRun result = Run({EXAMPLES + "/plane.dat"}, TClosedOutputProcess());
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors,
             QStringList{"standard output: error: cannot write: Bad file descriptor"});
}

void TestConverter::long_field_is_quoted_short_and_fields_in_order()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("fields.dat");
    const QByteArray huge(5 << 20, 'x');
    QVERIFY(Write_File(input, "Best_Fit_Validation:Version=1:Type=Plane\n"
                              "Plane 1 1 0 0 0 0 0 1 0\n"
                              "a " +
                                  huge + " c\n"));
    const TProgramRun result = Run({"-o", directory.filePath("fields.dms"), input});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(
        result.errors,
        (QStringList{input + ":2: warning: plane 1 has 1 point, fewer than the 3 a plane's "
                             "least-squares fit needs: the software cannot fit it",
                     input + ":3: warning: field 1 \"a\" does not read as a number, read as 0",
                     input + ":3: warning: field 2 \"" + QString(40, 'x') +
                         "...\" does not read as a number, read as 0",
                     input + ":3: warning: field 3 \"c\" does not read as a number, read as 0"}));
}

void TestConverter::carriage_returns_without_line_feed_are_reported()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("old-mac.dat");
    QVERIFY(Write_File(input, "Best_Fit_Validation:Version=1:Type=Plane\rPlane 1 1 0 0 0 0 0 1 0\r"
                              "1 2 3\r"));
    const TProgramRun result = Run({input});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.errors, QStringList{input + ":1: warning: the file has carriage returns but no "
                                                "line feed, so it reads as one line"});
    QVERIFY(!result.output.contains("PLN_1"));
    QVERIFY(result.output.endsWith("DECPL/ALL,5\nENDFIL\n"));

    // Carriage returns before line feeds are the usual line ends.
    QVERIFY(Write_File(input,
                       "Best_Fit_Validation:Version=1:Type=Plane\r\nPlane 1 1 0 0 0 0 0 1 0\r\n"
                       "1 2 3\r\n"));
    QCOMPARE(Run({input}).errors,
             QStringList{input + ":2: warning: plane 1 has 1 point, fewer than the 3 a plane's "
                                 "least-squares fit needs: the software cannot fit it"});
}

void TestConverter::huge_line_with_one_wide_character_converts()
{
    if (!Address_Space_Limits_Work())
        QSKIP("a sanitizer's shadow memory defeats an address space limit");
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("wide.dat");
    // 32 MB of digits and one accented letter: held as text it needs some
    // 200 MB, as the reader holds it some 64.
    QVERIFY(Write_File(input, "Best_Fit_Validation:Version=1:Type=Plane\n" +
                                  QByteArray(32 << 20, '1') + "\xc3\xa9 2 3\n"));
    const QString output = directory.filePath("wide.dms");
    const TProgramRun result = Run({"-o", output, input}, TMemoryLimitProcess(150 << 20));
    QCOMPARE(result.errors, QStringList{input + ":2: warning: surplus line: no feature is open, "
                                                "ERR comment written"});
    QCOMPARE(result.exit_code, 0);
    QVERIFY(Read_File(output).contains(
        "DECPL/ALL,5\n$$  ERR:  Number of data points greater than defined in feature.\nENDFIL\n"));
}

// Wherever memory runs out, on whichever thread, the input is reported and
// the output left as it was.
void TestConverter::running_out_of_memory_is_reported()
{
    if (!Address_Space_Limits_Work())
        QSKIP("a sanitizer's shadow memory defeats an address space limit");
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("many.dat");
    // Two million points: the conversion maps some 220 MB, far more than the
    // 150 it may have.
    QByteArray content =
        "Best_Fit_Validation:Version=1:Type=Plane\nPlane 1 2000000 0 0 0 0 0 1 0\n";
    for (int i = 0; i < 2000000; ++i)
        content += "0 0 0\n";
    QVERIFY(Write_File(input, content));
    const QString output = directory.filePath("many.dms");
    QVERIFY(Write_File(output, "previous program"));
    const TProgramRun result = Run({"-o", output, input}, TMemoryLimitProcess(150 << 20));
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors, QStringList{input + ": error: not converted: too large to convert in "
                                                "the memory there is"});
    QCOMPARE(Read_File(output), QByteArray("previous program"));
}

// A thread's stack of 2 GB cannot be had in 1 GB of address space: the
// conversion writes the program itself, all of it.
void TestConverter::program_is_written_where_no_thread_can_start()
{
    if (!Address_Space_Limits_Work())
        QSKIP("a sanitizer's shadow memory defeats an address space limit");
    const rlim_t stack = rlim_t(2) << 30;
    rlimit limit;
    if (getrlimit(RLIMIT_STACK, &limit) != 0 ||
        (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < stack))
        QSKIP("the stack may not be made that large here");
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("points.dat");
    // Some 4 MB of program, in several pieces.
    QByteArray content = "Best_Fit_Validation:Version=1:Type=Plane\nPlane 1 20000 0 0 0 0 0 1 0\n";
    for (int i = 0; i < 20000; ++i)
        content += QByteArray::number(i % 100) + " " + QByteArray::number(i / 100) + " 0\n";
    QVERIFY(Write_File(input, content));
    const QString output = directory.filePath("points.dms");
    const TProgramRun result =
        Run({"-o", output, input}, TMemoryLimitProcess(rlim_t(1) << 30, stack));
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    const QByteArray program = Read_File(output);
    QVERIFY(program.size() > 4 * TValidationConverter::TEXT_PIECE_SIZE);
    QCOMPARE(program, Window_Program(input, TPreferences::MEASURED_POINTS));
}

QTEST_GUILESS_MAIN(TestConverter)

#include "test_converter.moc"
