#include "conversion/validation_converter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

namespace {

const QString CONVERTER = QStringLiteral(TESSALINE_CONVERT);
const QString EXAMPLES = QStringLiteral(TESSALINE_EXAMPLES);
const QString EXPECTED = QStringLiteral(TESSALINE_TEST_DATA) + "/converter";

struct TResult
{
    int exit_code = -1;
    QByteArray output;
    QStringList errors;
};

// A converter whose files may not grow beyond a few bytes: every write of
// a program fails, even for root.
class TSmallFileProcess : public QProcess
{
protected:
    void setupChildProcess() override
    {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
};

TResult Run(const QStringList &arguments, QProcess &&process = QProcess())
{
    process.start(CONVERTER, arguments);
    TResult result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return result;
    }
    result.exit_code = process.exitCode();
    result.output = process.readAllStandardOutput();
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    result.errors = errors.split('\n', Qt::SkipEmptyParts);
    return result;
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "(cannot read " + path.toLocal8Bit() + ")";
    }
    return file.readAll();
}

bool Write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// What the window exports for the same file and point type.
QByteArray Window_Program(const QString &input, TPreferences::TDMISFeatureType type)
{
    TValidationConverter converter;
    converter.preferences.dmis_feature_type = type;
    converter.Convert(Read(input));
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
    void not_a_validation_file();
    void usage_errors_data();
    void usage_errors();
    void help_and_version();
    void unreadable_input_does_not_stop_the_others();
    void failed_write_leaves_existing_file_intact();
    void unwritable_directory_leaves_existing_file_intact();
};

void TestConverter::examples_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("points");
    QTest::addColumn<int>("type");
    for (const char *name : {"plane", "line", "circle", "sphere"}) {
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
    const TResult result = Run(arguments);
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, Read(EXPECTED + "/" + name + "-" + points + ".dms"));
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
    QVERIFY(Write(output, "an older, longer program that must be replaced completely\n"));
    const TResult result = Run({"-o", output, "--points", "offset", EXAMPLES + "/circle.dat"});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(Read(output), Read(EXPECTED + "/circle-offset.dms"));
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
    QVERIFY(Write(input, content));

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

    const TResult to_file = Run({input, "-o", output});
    QCOMPARE(to_file.exit_code, 0);
    QVERIFY(Read(output) == whole);
    const TResult to_stdout = Run({input});
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

    const TResult result =
        Run({"--output-dir", out, EXAMPLES + "/plane.dat", EXAMPLES + "/sphere.dat", copy});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.errors, QStringList{});
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(QDir(out).entryList(QDir::Files),
             (QStringList{"line.v2.dms", "plane.dms", "sphere.dms"}));
    QCOMPARE(Read(out + "/plane.dms"), Read(EXPECTED + "/plane-measured.dms"));
    QCOMPARE(Read(out + "/sphere.dms"), Read(EXPECTED + "/sphere-measured.dms"));
    QCOMPARE(Read(out + "/line.v2.dms"), Read(EXPECTED + "/line-measured.dms"));
}

void TestConverter::diagnostics()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("malformed.dat");
    QVERIFY(Write(input, MALFORMED));

    const TResult result = Run({input});
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
    const QStringList expected{"3 surplus line:",  "4 plane record", "7 point line",
                               "8 blank line",     "5 plane 1",      "9 plane 2",
                               "10 surplus line:", "12 field 3",     "11 plane 3"};
    QCOMPARE(located, expected);
    QVERIFY(result.errors[4].contains("1 of 3 points"));
    QVERIFY(result.errors[8].contains("1 of 2 points"));
    QVERIFY(result.errors[8].contains("end of the file"));
}

void TestConverter::not_a_validation_file()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString input = directory.filePath("notes.dat");
    QVERIFY(Write(input, "# comment\nPlane 1 1 0 0 0 0 0 1 0\n1 2 3\n"));
    const QString output = directory.filePath("notes.dms");
    QVERIFY(Write(output, "kept"));

    TResult result = Run({"-o", output, input});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 1);
    QVERIFY2(result.errors[0].startsWith(input + ": error: not a validation file"),
             qPrintable(result.errors[0]));
    QCOMPARE(Read(output), QByteArray("kept"));

    result = Run({input});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.output, QByteArray());

    const QString empty = directory.filePath("empty.dat");
    QVERIFY(Write(empty, ""));
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
    const TResult result = Run(arguments);
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QVERIFY(!result.errors.isEmpty());
    QVERIFY2(result.errors.join('\n').contains(reason), qPrintable(result.errors.join('\n')));
}

void TestConverter::help_and_version()
{
    TResult result = Run({"--help"});
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
    const TResult result =
        Run({"--output-dir", directory.path(), missing, EXAMPLES + "/circle.dat"});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors,
             QStringList{missing + ": error: cannot read: No such file or directory"});
    QCOMPARE(Read(directory.filePath("circle.dms")), Read(EXPECTED + "/circle-measured.dms"));
    QVERIFY(!QFile::exists(directory.filePath("missing.dms")));
}

void TestConverter::failed_write_leaves_existing_file_intact()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath("plane.dms");
    QVERIFY(Write(output, "previous program"));

    const TResult result = Run({"-o", output, EXAMPLES + "/plane.dat"}, TSmallFileProcess());
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 1);
    QVERIFY2(result.errors[0].startsWith(output + ": error: cannot write: "),
             qPrintable(result.errors[0]));
    QCOMPARE(Read(output), QByteArray("previous program"));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{"plane.dms"});
}

void TestConverter::unwritable_directory_leaves_existing_file_intact()
{
    if (geteuid() == 0) {
        QSKIP("permissions do not bind root; the file size limit case covers the failure");
    }
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath("plane.dms");
    QVERIFY(Write(output, "previous program"));
    QVERIFY(QFile::setPermissions(directory.path(), QFile::ReadOwner | QFile::ExeOwner));

    const TResult result = Run({"-o", output, EXAMPLES + "/plane.dat"});
    QFile::setPermissions(directory.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 1);
    QVERIFY2(result.errors[0].startsWith(output + ": error: cannot write: "),
             qPrintable(result.errors[0]));
    QCOMPARE(Read(output), QByteArray("previous program"));
}

QTEST_GUILESS_MAIN(TestConverter)

#include "test_converter.moc"
