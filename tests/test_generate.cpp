// tessaline-generate, driven as a user drives it.

#include "program_run.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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
    void suite_over_another_suite_data();
    void suite_over_another_suite();
    void suite_is_the_one_the_manual_page_lists();
    void numbers_with_exponents_read_as_plain_ones();
    void defaults_fit_the_options_given_data();
    void defaults_fit_the_options_given();
    void failures_leave_what_is_there_data();
    void failures_leave_what_is_there();
};

void TestGenerate::usage_errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    const QStringList out{"-o", "x.dat"};
    QTest::newRow("nothing") << QStringList{} << "give --type";
    QTest::newRow("unknown option") << QStringList{"--fast"} << "Unknown option 'fast'";
    QTest::newRow("unknown type") << QStringList{"--type", "cube"} + out << "unknown type 'cube'";
    QTest::newRow("no output") << QStringList{"--type", "plane"} << "give -o";
    QTest::newRow("force without a suite")
        << QStringList{"--type", "plane", "--force"} + out << "--force goes with --suite";
    QTest::newRow("arc of a plane") << QStringList{"--type", "plane", "--arc", "90"} + out
                                    << "--arc applies to a circle, sphere, cylinder, cone or "
                                       "torus, not a plane";
    QTest::newRow("aspect of a circle") << QStringList{"--type", "circle", "--aspect", "2"} + out
                                        << "--aspect applies to a plane, not a circle";
    QTest::newRow("arc over 360") << QStringList{"--type", "circle", "--arc", "361"} + out
                                  << "--arc: more than 0 and at most 360";
    QTest::newRow("cap over 180") << QStringList{"--type", "sphere", "--arc", "190"} + out
                                  << "at most 180 degrees for a sphere";
    QTest::newRow("too few points") << QStringList{"--type", "sphere", "--points", "3"} + out
                                    << "--points: a sphere needs at least 4";
    QTest::newRow("7 decimals") << QStringList{"--type", "line", "--decimals", "7"} + out
                                << "--decimals: from 0 to 6";
    QTest::newRow("negative size")
        << QStringList{"--type", "line", "--size", "-5"} + out << "--size";
    QTest::newRow("size not a number")
        << QStringList{"--type", "line", "--size", "5mm"} + out << "--size: '5mm' is not a number";
    QTest::newRow("aspect below 1")
        << QStringList{"--type", "plane", "--aspect", "0.5"} + out << "--aspect: from 1";
    QTest::newRow("form over a quarter of the size")
        << QStringList{"--type", "plane", "--size", "10", "--form", "3"} + out << "--form";
    QTest::newRow("unknown orientation")
        << QStringList{"--type", "line", "--orientation", "up"} + out << "unknown orientation 'up'";
    QTest::newRow("count of 0") << QStringList{"--type", "line", "--count", "0"} + out << "--count";
    QTest::newRow("seed not a number") << QStringList{"--type", "line", "--seed", "x"} + out
                                       << "--seed: 'x' is not a whole number";
    QTest::newRow("suite with points")
        << QStringList{"--suite", "d", "--points", "5"}
        << "--suite takes --seed as its only other option, not --points";
    QTest::newRow("output and manifest the same")
        << QStringList{"--type", "line", "-o", "a.dat", "--manifest", "./a.dat"} << "the same file";
    QTest::newRow("length of a circle") << QStringList{"--type", "circle", "--length", "9"} + out
                                        << "--length applies to a cylinder or a cone, not a circle";
    QTest::newRow("apex angle of a cylinder")
        << QStringList{"--type", "cylinder", "--angle", "9"} + out
        << "--angle applies to a cone, not a cylinder";
    QTest::newRow("minor diameter of a cone") << QStringList{"--type", "cone", "--minor", "9"} + out
                                              << "--minor applies to a torus, not a cone";
    QTest::newRow("band of a cylinder") << QStringList{"--type", "cylinder", "--band", "9"} + out
                                        << "--band applies to a torus, not a cylinder";
    QTest::newRow("apex angle of 180") << QStringList{"--type", "cone", "--angle", "180"} + out
                                       << "--angle: more than 0 and less than 180 degrees";
    QTest::newRow("cone past its apex")
        << QStringList{"--type", "cone", "--angle", "90", "--size", "10", "--length", "10"} + out
        << "--length: the cone's diameter at the narrow end";
    QTest::newRow("tube reaching the axis")
        << QStringList{"--type", "torus", "--size", "10", "--minor", "10"} + out
        << "--minor: more than 0 and less than the size (10 mm)";
    QTest::newRow("band over 360") << QStringList{"--type", "torus", "--band", "400"} + out
                                   << "--band: more than 0 and at most 360";
    QTest::newRow("form over a quarter of the tube")
        << QStringList{"--type", "torus", "--size", "40", "--minor", "4", "--form", "2"} + out
        << "--form: from 0 to a quarter of the minor diameter (1 mm)";
    QTest::newRow("length over 10000")
        << QStringList{"--type", "cylinder", "--length", "10001"} + out
        << "--length: more than 0 and at most 10000";
    QTest::newRow("too few points for a torus")
        << QStringList{"--type", "torus", "--points", "6"} + out
        << "--points: a torus needs at least 7";
    QTest::newRow("distance over 100000")
        << QStringList{"--type", "cone", "--distance", "100001"} + out
        << "--distance: from 0 to 100000 mm";
    QTest::newRow("positional argument")
        << QStringList{"--type", "line", "extra"} + out << "unexpected argument 'extra'";
    // "." is the decimal point and nothing else: 1,000 mm is not 1000 mm.
    QTest::newRow("decimal comma in the size")
        << QStringList{"--type", "circle", "--size", "1,000", "--form", "0,002"} + out
        << "tessaline-generate: error: --size: '1,000' is not a number (write 1.000 or 1000)";
    QTest::newRow("decimal comma in the form")
        << QStringList{"--type", "circle", "--form", "0,002"} + out
        << "tessaline-generate: error: --form: '0,002' is not a number (write 0.002)";
    QTest::newRow("digit groups in the count")
        << QStringList{"--type", "line", "--count", "1,000"} + out
        << "tessaline-generate: error: --count: '1,000' is not a whole number (write 1000)";
    QTest::newRow("points beyond any") << QStringList{"--type", "line", "--points", "1e30"} + out
                                       << "tessaline-generate: error: --points: at most 10000000";
    QTest::newRow("seed beyond a JSON number")
        << QStringList{"--type", "line", "--seed", "9007199254740992"} + out
        << "tessaline-generate: error: --seed: from 0 to 9007199254740991";
    // The bound as a person writes it, which the option then takes.
    QTest::newRow("cone longer than its angle allows")
        << QStringList{"--type", "cone", "--angle", "90", "--length", "50"} + out
        << "tessaline-generate: error: --length: the cone's diameter at the narrow end of its "
           "points must stay at least a tenth of the size; at most 45 mm";
    QTest::newRow("form larger than the narrow end allows")
        << QStringList{"--type", "cone", "--angle", "90", "--length", "44.9", "--form", "2"} + out
        << "tessaline-generate: error: --form: from 0 to a quarter of the narrow end's diameter "
           "(1.275 mm)";
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
    for (const char *option :
         {"--type", "--count", "--points", "--size", "--aspect", "--arc", "--length", "--angle",
          "--minor", "--band", "--distance", "--orientation", "--form", "--decimals", "--seed",
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

// The file and the manifest are the fixed-seed ones; the manifest names the
// file without its directory.
void TestGenerate::file_and_manifest()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath("plane-seed7.dat");
    const QString manifest = directory.filePath("plane.json");
    const TProgramRun result =
        Run(GOLDEN[0].arguments + QStringList{"-o", output, "--manifest", manifest});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(Read_File(output), Read_File(EXPECTED + "/plane-seed7.dat"));
    QCOMPARE(Read_File(manifest), Read_File(EXPECTED + "/plane-seed7.json"));
    // The manifest alone on standard output.
    const TProgramRun to_standard_output =
        Run(GOLDEN[0].arguments + QStringList{"-o", output, "--manifest", "-"});
    QCOMPARE(to_standard_output.exit_code, 0);
    QCOMPARE(to_standard_output.output, Read_File(manifest));
}

// What the suite holds is test_suite's; here, that the program writes it
// into a directory it makes, the same bytes again over what is there, and
// others for another seed.
void TestGenerate::suite_into_a_new_directory()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString suite = directory.filePath("new/suite");
    TProgramRun result = Run({"--suite", suite});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    const QStringList files{"circle-maximum-inscribed.dat",
                            "circle-minimum-circumscribed.dat",
                            "circle-minimum-zone.dat",
                            "circle.dat",
                            "cone.dat",
                            "cylinder-maximum-inscribed.dat",
                            "cylinder-minimum-circumscribed.dat",
                            "cylinder-minimum-zone.dat",
                            "cylinder.dat",
                            "line-minimum-zone.dat",
                            "line.dat",
                            "plane-minimum-zone.dat",
                            "plane.dat",
                            "sphere-maximum-inscribed.dat",
                            "sphere-minimum-circumscribed.dat",
                            "sphere-minimum-zone.dat",
                            "sphere.dat",
                            "suite.json",
                            "torus.dat"};
    QCOMPARE(QDir(suite).entryList(QDir::Files, QDir::Name), files);
    // The four files of the first suite keep their data sets byte for byte
    // (their comments name the version): SHA-256 of their lines that are
    // not comments, as Tessaline 1.0 wrote them.
    const struct
    {
        const char *file;
        const char *sha256;
    } kept[] = {
        {"plane.dat", "0a032778d8a39a5d53d96cc3120903f4eaba8a890fe37595869cb0d5182b7def"},
        {"line.dat", "472b41e10f67a71fb5da95a699d250f55dd71b6dca123254991757aeab29981a"},
        {"circle.dat", "4e6411bd8aa7121927131ce00b5ff56beaae9f30992571bf740d34aef70b4df3"},
        {"sphere.dat", "62cda9d3ecf4848c2621e3cf174cf9001259685b525427a885213add91bdaf43"},
    };
    for (const auto &file : kept) {
        QList<QByteArray> lines = Read_File(suite + "/" + file.file).split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        QByteArray data;
        for (const QByteArray &line : lines) {
            if (!line.startsWith('#'))
                data.append(line).append('\n');
        }
        QCOMPARE(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex(),
                 QByteArray(file.sha256));
    }
    const QJsonObject json = QJsonDocument::fromJson(Read_File(suite + "/suite.json")).object();
    QCOMPARE(json["seed"].toInt(), 1);
    QCOMPARE(json["options"].toObject()["suite"].toBool(), true);

    const QString again = directory.filePath("again");
    QCOMPARE(Run({"--suite", again}).exit_code, 0);
    QCOMPARE(Run({"--seed", "1", "--suite", again}).exit_code, 0);
    const QString other = directory.filePath("other");
    QCOMPARE(Run({"--suite", other, "--seed", "2"}).exit_code, 0);
    for (const QString &file : files) {
        QCOMPARE(Read_File(again + "/" + file), Read_File(suite + "/" + file));
        QVERIFY(Read_File(other + "/" + file) != Read_File(suite + "/" + file));
    }
}

void TestGenerate::suite_over_another_suite_data()
{
    QTest::addColumn<QString>("there"); // "seed N", "no manifest", "no seed"
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("refusal"); // empty when it is written
    QTest::newRow("another seed") << "seed 3" << QStringList{"--seed", "2"}
                                  << "holds the suite of seed 3, not the suite of seed 2";
    QTest::newRow("another seed, forced")
        << "seed 3" << QStringList{"--seed", "2", "--force"} << QString();
    QTest::newRow("the same seed again") << "seed 2" << QStringList{"--seed", "2"} << QString();
    QTest::newRow("suite files without a manifest")
        << "no manifest" << QStringList{} << "holds plane.dat, circle.dat but no suite.json";
    QTest::newRow("a manifest without a seed")
        << "no seed" << QStringList{} << "holds a suite.json that states no seed";
}

void TestGenerate::suite_over_another_suite()
{
    QFETCH(QString, there);
    QFETCH(QStringList, arguments);
    QFETCH(QString, refusal);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString suite = directory.filePath("suite");
    if (there.startsWith("seed "))
        QCOMPARE(Run({"--suite", suite, "--seed", there.mid(5)}).exit_code, 0);
    else
        QVERIFY(QDir().mkpath(suite));
    if (there == "no manifest") {
        QVERIFY(Write_File(suite + "/plane.dat", "mine"));
        QVERIFY(Write_File(suite + "/circle.dat", "mine"));
    }
    if (there == "no seed")
        QVERIFY(Write_File(suite + "/suite.json", "{}"));
    QMap<QString, QByteArray> before;
    for (const QString &name : QDir(suite).entryList(QDir::Files))
        before[name] = Read_File(suite + "/" + name);

    const TProgramRun result = Run(QStringList{"--suite", suite} + arguments);
    if (refusal.isEmpty()) {
        QCOMPARE(result.errors, QStringList());
        QCOMPARE(result.exit_code, 0);
        const QJsonObject json = QJsonDocument::fromJson(Read_File(suite + "/suite.json")).object();
        QCOMPARE(json["seed"].toInt(), arguments.at(1).toInt());
        return;
    }
    // Refused, naming what it found, and nothing there is touched.
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors.size(), 1);
    QVERIFY2(result.errors[0].startsWith(suite + ": error: " + refusal),
             qPrintable(result.errors[0]));
    QVERIFY2(result.errors[0].contains("--force"), qPrintable(result.errors[0]));
    QCOMPARE(QDir(suite).entryList(QDir::Files), QStringList(before.keys()));
    for (auto it = before.begin(); it != before.end(); ++it)
        QCOMPARE(Read_File(suite + "/" + it.key()), it.value());
}

namespace {

// The lines of tessaline-generate(1).
QStringList Manual_Page()
{
    return QString::fromUtf8(Read_File(TESSALINE_GENERATE_MAN_PAGE)).split('\n');
}

// The files the manual page's --suite says it writes: ".IR DIR /plane.dat,".
QStringList Files_The_Manual_Page_Lists()
{
    const QStringList page = Manual_Page();
    int at = page.indexOf(".BI \\-\\-suite \" DIR\"");
    QStringList files;
    const QRegularExpression file("^\\.IR DIR /([a-z-]+\\.[a-z]+)");
    for (++at; at > 0 && at < page.size() && !page[at].startsWith(".TP"); ++at) {
        const QRegularExpressionMatch match = file.match(page[at]);
        if (match.hasMatch())
            files << match.captured(1);
    }
    return files;
}

} // namespace

// tessaline-generate --help and its manual page name the files --suite
// writes, and the manual page lists, label by label, the data sets in them
// as the comment before each record describes it.
void TestGenerate::suite_is_the_one_the_manual_page_lists()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const TProgramRun result = Run({"--suite", directory.path()});
    QCOMPARE(result.exit_code, 0);
    QStringList written = QDir(directory.path()).entryList(QDir::Files, QDir::Name);

    QStringList listed = Files_The_Manual_Page_Lists();
    listed.sort();
    QCOMPARE(listed, written);
    const QString help = QString::fromUtf8(Run({"--help"}).output).simplified();
    const QRegularExpression suite_help("--suite <DIR> +Write the fixed suite: DIR/([^;]*);");
    const QRegularExpressionMatch match = suite_help.match(help);
    QVERIFY2(match.hasMatch(), qPrintable(help));
    QStringList in_help = match.captured(1).split(QRegularExpression(", | and "));
    in_help.sort();
    QCOMPARE(in_help, written);

    // "# CYL_3: 25 points, ...; a note" before each record of each file.
    QStringList data_sets;
    const QRegularExpression comment("^# ((PLN|LN|CIR|SPH|CYL|CON|TOR)_[0-9]+): ([^;]*)");
    for (const char *file : {"plane", "line", "circle", "sphere", "cylinder", "cone", "torus"}) {
        for (const QString &line :
             QString::fromUtf8(Read_File(directory.filePath(QString(file) + ".dat"))).split('\n')) {
            const QRegularExpressionMatch data_set = comment.match(line);
            if (data_set.hasMatch())
                data_sets << data_set.captured(1) + ": " + data_set.captured(3);
        }
    }
    QStringList on_the_page;
    const QStringList page = Manual_Page();
    const QRegularExpression label("^\\.B ((PLN|LN|CIR|SPH|CYL|CON|TOR)_[0-9]+)$");
    for (int i = 0; i + 1 < page.size(); ++i) {
        const QRegularExpressionMatch data_set = label.match(page[i]);
        if (data_set.hasMatch())
            on_the_page << data_set.captured(1) + ": " + page[i + 1];
    }
    QVERIFY(data_sets.size() >= 7 * 30);
    QCOMPARE(on_the_page, data_sets);
}

// 4e1 is 40 and 7.0 a whole number: the golden circles again.
void TestGenerate::numbers_with_exponents_read_as_plain_ones()
{
    const TProgramRun result =
        Run({"--type",     "circle", "--count", "2e0",        "--points", "9.0",    "--size",
             "4e1",        "--arc",  "1.2E2",   "--distance", "1e+3",     "--form", "2e-3",
             "--decimals", "6",      "--seed",  "7.",         "-o",       "-"});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    QCOMPARE(result.output, Read_File(EXPECTED + "/circle-seed7.dat"));
}

// Where a cone's length or the form is not given, its default fits the
// options given, and the file says which it took.
void TestGenerate::defaults_fit_the_options_given_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("options");
    QTest::newRow("cone of 90 degrees")
        << QStringList{"--type", "cone", "--angle", "90"}
        << "--type cone --count 1 --points 25 --size 50 --arc 360 --length 45 --angle 90 "
           "--distance 0 --orientation random --form 0.001 --decimals 5";
    QTest::newRow("small sphere")
        << QStringList{"--type", "sphere", "--size", "0.002", "--decimals", "6"}
        << "--type sphere --count 1 --points 25 --size 0.002 --arc 180 --distance 0 "
           "--orientation random --form 0.0005 --decimals 6";
}

void TestGenerate::defaults_fit_the_options_given()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, options);
    const TProgramRun result = Run(arguments + QStringList{"-o", "-"});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 0);
    const QString first_line = QString::fromUtf8(result.output.left(result.output.indexOf('\n')));
    QVERIFY2(first_line.endsWith(": " + options), qPrintable(first_line));
}

// Exit status 1 with the reason, and the file "x" that was there keeps its
// bytes. The output machinery is files/' and tested with tessaline-convert;
// one write that fails shows the generator uses it.
void TestGenerate::failures_leave_what_is_there_data()
{
    QTest::addColumn<QStringList>("arguments"); // %1: the directory
    QTest::addColumn<bool>("small_files");
    QTest::addColumn<QString>("error");
    QTest::newRow("rejected data set, nor a manifest written")
        << QStringList{"--type", "circle", "--count", "2",    "--arc",      "10",
                       "--form", "5",      "-o",      "%1/x", "--manifest", "%1/m.json"}
        << false
        << "tessaline-generate: error: data set 1 (circle, 25 points, diameter 50 mm, arc 10 "
           "degrees, distance 0 mm, orientation random, form 5 mm, 5 decimals, seed 1) is "
           "rejected: Gauss-Newton steps from the design do not converge on the points as "
           "written: the design is not their least-squares circle (a form deviation too large "
           "for a 10 degree arc?)";
    QTest::newRow("failed write") << QStringList{"--type", "plane", "-o", "%1/x"} << true
                                  << "%1/x: error: cannot write: File too large";
    QTest::newRow("suite directory under a file")
        << QStringList{"--suite", "%1/x/suite"} << false
        << "%1/x/suite: error: cannot create the directory: Not a directory";
}

void TestGenerate::failures_leave_what_is_there()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, small_files);
    QFETCH(QString, error);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QVERIFY(Write_File(directory.filePath("x"), "previous"));
    arguments.replaceInStrings("%1", directory.path());
    const TProgramRun result = small_files ? Run(arguments, TSmallFileProcess()) : Run(arguments);
    QCOMPARE(result.exit_code, 1);
    QVERIFY(!result.errors.isEmpty());
    QCOMPARE(result.errors[0], error.replace("%1", directory.path()));
    QCOMPARE(Read_File(directory.filePath("x")), QByteArray("previous"));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{"x"});
}

QTEST_GUILESS_MAIN(TestGenerate)

#include "test_generate.moc"
