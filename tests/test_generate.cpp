// tessaline-generate, driven as a user drives it.

#include "program_run.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <thread>

namespace {

const QString GENERATE = QStringLiteral(TESSALINE_GENERATE);
const QString EXPECTED = QStringLiteral(TESSALINE_TEST_DATA) + "/generate";

TProgramRun Run(const QStringList &arguments, QProcess &&process = QProcess())
{
    return Run_Program(GENERATE, arguments, std::move(process));
}

// The small files whose bytes must never change with the same seed and options.
const struct
{
    const char *name;
    QStringList arguments;
} GOLDEN[] = {
    {"plane",
     {"--type", "plane", "--count", "2", "--points", "6", "--size", "20", "--aspect", "2",
      "--distance", "100", "--orientation", "tilted", "--form", "0.01", "--seed", "7"}},
    {"line",
     {"--type", "line", "--count", "2", "--points", "5", "--size", "30", "--distance", "10",
      "--orientation", "axis", "--form", "0.005", "--decimals", "4", "--seed", "7"}},
    {"circle",
     {"--type", "circle", "--count", "2", "--points", "9", "--size", "40", "--arc", "120",
      "--distance", "1000", "--form", "0.002", "--decimals", "6", "--seed", "7"}},
    {"sphere",
     {"--type", "sphere", "--count", "2", "--points", "7", "--size", "25", "--arc", "60", "--form",
      "0.01", "--seed", "7"}},
};

} // namespace

class TestGenerate : public QObject
{
    Q_OBJECT

private slots:
    void usage_errors_data();
    void usage_errors();
    void help_and_version();
    void same_seed_same_bytes_data();
    void same_seed_same_bytes();
    void file_and_manifest();
    void suite_into_a_new_directory();
    void rejected_data_set_writes_nothing();
    void failed_write_leaves_existing_file_intact();
    void output_that_is_not_a_regular_file_is_written_through();
    void closed_standard_output_is_reported();
    void suite_directory_that_cannot_be_made();
};

void TestGenerate::usage_errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    const QStringList out{"-o", "x.dat"};
    QTest::newRow("nothing") << QStringList{} << "give --type";
    QTest::newRow("unknown option") << QStringList{"--fast"} << "Unknown option 'fast'";
    QTest::newRow("unknown type") << QStringList{"--type", "cone"} + out << "unknown type 'cone'";
    QTest::newRow("no output") << QStringList{"--type", "plane"} << "give -o";
    QTest::newRow("arc of a plane") << QStringList{"--type", "plane", "--arc", "90"} + out
                                    << "--arc applies to a circle or a sphere, not a plane";
    QTest::newRow("aspect of a circle") << QStringList{"--type", "circle", "--aspect", "2"} + out
                                        << "--aspect applies to a plane, not a circle";
    QTest::newRow("arc over 360") << QStringList{"--type", "circle", "--arc", "361"} + out
                                  << "--arc: more than 0 and at most 360";
    QTest::newRow("cap over 180") << QStringList{"--type", "sphere", "--arc", "190"} + out
                                  << "at most 180 degrees for a sphere";
    QTest::newRow("arc of 0") << QStringList{"--type", "circle", "--arc", "0"} + out << "--arc";
    QTest::newRow("too few points") << QStringList{"--type", "sphere", "--points", "3"} + out
                                    << "--points: a sphere needs at least 4";
    QTest::newRow("7 decimals") << QStringList{"--type", "line", "--decimals", "7"} + out
                                << "--decimals: from 0 to 6";
    QTest::newRow("negative size")
        << QStringList{"--type", "line", "--size", "-5"} + out << "--size";
    QTest::newRow("size not a number") << QStringList{"--type", "line", "--size", "5mm"} + out
                                       << "--size needs a number, not '5mm'";
    QTest::newRow("aspect below 1")
        << QStringList{"--type", "plane", "--aspect", "0.5"} + out << "--aspect: from 1";
    QTest::newRow("form over a quarter of the size")
        << QStringList{"--type", "plane", "--size", "10", "--form", "3"} + out << "--form";
    QTest::newRow("unknown orientation")
        << QStringList{"--type", "line", "--orientation", "up"} + out << "unknown orientation 'up'";
    QTest::newRow("count of 0") << QStringList{"--type", "line", "--count", "0"} + out << "--count";
    QTest::newRow("seed not a number")
        << QStringList{"--type", "line", "--seed", "x"} + out << "--seed needs a whole number";
    QTest::newRow("suite with points")
        << QStringList{"--suite", "d", "--points", "5"}
        << "--suite takes --seed as its only other option, not --points";
    QTest::newRow("output and manifest the same")
        << QStringList{"--type", "line", "-o", "a.dat", "--manifest", "./a.dat"} << "the same file";
    QTest::newRow("positional argument")
        << QStringList{"--type", "line", "extra"} + out << "unexpected argument 'extra'";
}

// One line on standard error says which option is wrong; nothing is written.
void TestGenerate::usage_errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QProcess process;
    process.setWorkingDirectory(directory.path());
    const TProgramRun result = Run(arguments, std::move(process));
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(result.errors.size(), 1);
    QVERIFY2(result.errors[0].startsWith("tessaline-generate: error: ") &&
                 result.errors[0].contains(reason),
             qPrintable(result.errors[0]));
    QCOMPARE(QDir(directory.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}

void TestGenerate::help_and_version()
{
    TProgramRun result = Run({"--help"});
    QCOMPARE(result.exit_code, 0);
    for (const char *option : {"--type", "--count", "--points", "--size", "--aspect", "--arc",
                               "--distance", "--orientation", "--form", "--decimals", "--seed",
                               "--manifest", "-o, --output", "--suite"})
        QVERIFY2(result.output.contains(option), option);
    result = Run({"--version"});
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, QByteArray("tessaline-generate " TESSALINE_VERSION "\n"));
}

void TestGenerate::same_seed_same_bytes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    for (const auto &golden : GOLDEN)
        QTest::newRow(golden.name)
            << golden.arguments << EXPECTED + "/" + golden.name + "-seed7.dat";
}

// Byte for byte the file written when the data set was made: the written
// coordinates and references come from arithmetic that is the same
// everywhere. The other seed gives other points.
void TestGenerate::same_seed_same_bytes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const TProgramRun result = Run(arguments + QStringList{"-o", "-"});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, Read_File(expected));
    QStringList other_seed = arguments;
    other_seed.last() = "8";
    const TProgramRun other = Run(other_seed + QStringList{"-o", "-"});
    QCOMPARE(other.exit_code, 0);
    QVERIFY(other.output != result.output);
}

void TestGenerate::file_and_manifest()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    // The manifest names the file without its directory.
    const QString output = directory.filePath("plane-seed7.dat");
    const QString manifest = directory.filePath("plane.json");
    const TProgramRun result =
        Run(GOLDEN[0].arguments + QStringList{"-o", output, "--manifest", manifest});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(Read_File(output), Read_File(EXPECTED + "/plane-seed7.dat"));
    QCOMPARE(Read_File(manifest), Read_File(EXPECTED + "/plane-seed7.json"));

    const QJsonObject json = QJsonDocument::fromJson(Read_File(manifest)).object();
    QCOMPARE(json["version"].toString(), QString(TESSALINE_VERSION));
    QCOMPARE(json["seed"].toInt(), 7);
    QCOMPARE(json["options"].toObject()["aspect"].toDouble(), 2.0);
    const QJsonArray entries = json["data_sets"].toArray();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[1].toObject()["label"].toString(), QString("PLN_2"));
    QCOMPARE(entries[1].toObject()["file"].toString(), QString("plane-seed7.dat"));

    // The manifest alone on standard output.
    const TProgramRun to_standard_output =
        Run(GOLDEN[0].arguments + QStringList{"-o", output, "--manifest", "-"});
    QCOMPARE(to_standard_output.exit_code, 0);
    QCOMPARE(to_standard_output.output, Read_File(manifest));
}

void TestGenerate::suite_into_a_new_directory()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString suite = directory.filePath("new/suite");
    TProgramRun result = Run({"--suite", suite});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    const QStringList files{"circle.dat", "line.dat", "plane.dat", "sphere.dat", "suite.json"};
    QCOMPARE(QDir(suite).entryList(QDir::Files, QDir::Name), files);

    const QJsonObject json = QJsonDocument::fromJson(Read_File(suite + "/suite.json")).object();
    QCOMPARE(json["seed"].toInt(), 1);
    QCOMPARE(json["options"].toObject()["suite"].toBool(), true);
    QMap<QString, int> per_file;
    for (const QJsonValue &entry : json["data_sets"].toArray())
        ++per_file[entry.toObject()["file"].toString()];
    for (const char *type : {"plane", "line", "circle", "sphere"}) {
        const QString name = QString(type) + ".dat";
        QVERIFY2(per_file[name] >= 30, qPrintable(name));
        QCOMPARE(
            Read_File(suite + "/" + name)
                .count("\n" + QByteArray(type).left(1).toUpper() + QByteArray(type).mid(1) + " "),
            per_file[name]);
    }

    // Again, over what is there: the same bytes; another seed, others.
    result = Run({"--seed", "1", "--suite", suite});
    QCOMPARE(result.exit_code, 0);
    const QString other = directory.filePath("other");
    QCOMPARE(Run({"--suite", other, "--seed", "2"}).exit_code, 0);
    const QString again = directory.filePath("again");
    QCOMPARE(Run({"--suite", again}).exit_code, 0);
    for (const QString &file : files) {
        QCOMPARE(Read_File(again + "/" + file), Read_File(suite + "/" + file));
        QVERIFY(Read_File(other + "/" + file) != Read_File(suite + "/" + file));
    }
}

void TestGenerate::rejected_data_set_writes_nothing()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath("arc.dat");
    QVERIFY(Write_File(output, "previous"));
    const TProgramRun result =
        Run({"--type", "circle", "--count", "2", "--arc", "10", "--form", "5", "-o", output,
             "--manifest", directory.filePath("arc.json")});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 2);
    QVERIFY2(
        result.errors[0].startsWith("tessaline-generate: error: data set 1 (circle, 25 points, "
                                    "diameter 50 mm, arc 10 degrees,") &&
            result.errors[0].contains("form 5 mm") &&
            result.errors[0].contains("too large for a 10 degree arc"),
        qPrintable(result.errors[0]));
    QCOMPARE(Read_File(output), QByteArray("previous"));
    QVERIFY(!QFile::exists(directory.filePath("arc.json")));
}

void TestGenerate::failed_write_leaves_existing_file_intact()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath("plane.dat");
    QVERIFY(Write_File(output, "previous"));
    const TProgramRun result = Run({"--type", "plane", "-o", output}, TSmallFileProcess());
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors, QStringList{output + ": error: cannot write: File too large"});
    QCOMPARE(Read_File(output), QByteArray("previous"));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{"plane.dat"});
}

void TestGenerate::output_that_is_not_a_regular_file_is_written_through()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString fifo = directory.filePath("fifo");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        QFile file(fifo);
        if (file.open(QIODevice::ReadOnly))
            received = file.readAll();
    });
    const TProgramRun result = Run(GOLDEN[1].arguments + QStringList{"-o", fifo});
    reader.join();
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(received, Read_File(EXPECTED + "/line-seed7.dat"));
    struct stat status;
    QCOMPARE(lstat(QFile::encodeName(fifo).constData(), &status), 0);
    QVERIFY(S_ISFIFO(status.st_mode));
}

void TestGenerate::closed_standard_output_is_reported()
{
    const TProgramRun result = Run({"--type", "line", "-o", "-"}, TClosedOutputProcess());
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors,
             QStringList{"standard output: error: cannot write: Bad file descriptor"});
}

void TestGenerate::suite_directory_that_cannot_be_made()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString file = directory.filePath("file");
    QVERIFY(Write_File(file, "not a directory"));
    const TProgramRun result = Run({"--suite", file + "/suite"});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors,
             QStringList{file + "/suite: error: cannot create the directory: Not a directory"});
    QCOMPARE(Read_File(file), QByteArray("not a directory"));
}

QTEST_GUILESS_MAIN(TestGenerate)

#include "test_generate.moc"
