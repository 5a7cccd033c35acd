// Replays every input fuzz_results ever found a fault with
// (fuzz/regressions-results) and its seed corpus (fuzz/corpus-results) and
// checks on each the same properties as the fuzz target, then the same on
// seeded random bytes and mutations of the corpus.

#include "fuzz/results_invariants.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <functional>
#include <limits>
#include <random>

using namespace tessaline_results_invariants;

namespace {

QStringList Input_Paths()
{
    QStringList paths;
    for (const char *folder : {"regressions-results", "corpus-results"}) {
        const QDir dir(QStringLiteral(TESSALINE_FUZZ_DIR "/") + QLatin1String(folder));
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
            if (name != QLatin1String("README.md")) {
                paths << dir.filePath(name);
            }
        }
    }
    return paths;
}

QByteArray Read_File(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TTestedFeature Usable(const char *label, int line)
{
    TTestedFeature feature;
    feature.label = QString::fromLatin1(label);
    feature.line_number = line;
    feature.usable = true;
    feature.direction = TVector3(0, 0, 1);
    return feature;
}

} // namespace

class TestResultsRegressions : public QObject
{
    Q_OBJECT

private slots:
    void Replay_data();
    void Replay();
    void Corpus_Reads_Results();
    void Random_Bytes();
    void Mutated_Corpus();
    void Checks_Catch_Broken_Readings();
};

void TestResultsRegressions::Replay_data()
{
    QTest::addColumn<QString>("path");
    const QStringList paths = Input_Paths();
    for (const QString &path : paths) {
        QTest::newRow(qPrintable(QFileInfo(path).dir().dirName() + QLatin1Char('/') +
                                 QFileInfo(path).fileName()))
            << path;
    }
    // Both folders are part of the repository: few inputs means the test
    // looks in the wrong place.
    QVERIFY2(paths.size() >= 5, "fewer than 5 inputs under fuzz/corpus-results");
}

void TestResultsRegressions::Replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const std::string result = Check_Content(file.readAll());
    QVERIFY2(result.empty(), result.c_str());
}

// The seeds are worth fuzzing from only when they read as results.
void TestResultsRegressions::Corpus_Reads_Results()
{
    const QByteArray dmo =
        Read_File(QStringLiteral(TESSALINE_FUZZ_DIR "/corpus-results/all_types.dmo"));
    const TResultsReading dmis = Read_Results(dmo, Reference());
    QVERIFY(dmis.format == TResultsFormat::DMIS_OUTPUT);
    QCOMPARE(static_cast<int>(dmis.features.size()), 4);
    QVERIFY(dmis.warnings.empty());
    const QByteArray csv =
        Read_File(QStringLiteral(TESSALINE_FUZZ_DIR "/corpus-results/all_types.csv"));
    const TResultsReading rows = Read_Results(csv, Reference());
    QVERIFY(rows.format == TResultsFormat::CSV);
    QCOMPARE(static_cast<int>(rows.features.size()), 5);
    QVERIFY(rows.warnings.empty());
    const struct
    {
        const char *name;
        TResultsFormat format;
        int usable;
    } documents[] = {{"qif3_all_types.qif", TResultsFormat::QIF, 4},
                     {"qif21_all_types.qif", TResultsFormat::QIF, 4},
                     {"qif20_all_types.qif", TResultsFormat::QIF, 3},
                     {"new_types.dmo", TResultsFormat::DMIS_OUTPUT, 3},
                     {"new_types.csv", TResultsFormat::CSV, 3},
                     {"qif3_new_types.qif", TResultsFormat::QIF, 3},
                     {"qif21_new_types.qif", TResultsFormat::QIF, 3},
                     {"qif20_new_types.qif", TResultsFormat::QIF, 2}};
    for (const auto &document : documents) {
        const TResultsReading reading = Read_Results(
            Read_File(QStringLiteral(TESSALINE_FUZZ_DIR "/corpus-results/") + document.name),
            Reference());
        QVERIFY2(reading.format == document.format, document.name);
        int usable = 0;
        for (const TTestedFeature &feature : reading.features) {
            usable += feature.usable ? 1 : 0;
        }
        QVERIFY2(usable == document.usable, document.name);
    }
    // The form seeds state forms, some of which read.
    const struct
    {
        const char *name;
        int forms;
    } forms[] = {{"forms.dmo", 4}, {"forms.csv", 2}, {"qif3_forms.qif", 2}};
    for (const auto &document : forms) {
        const TResultsReading reading = Read_Results(
            Read_File(QStringLiteral(TESSALINE_FUZZ_DIR "/corpus-results/") + document.name),
            Reference());
        int stated = 0;
        for (const TTestedFeature &feature : reading.features) {
            stated += feature.has_form ? 1 : 0;
        }
        QVERIFY2(stated == document.forms, document.name);
    }
}

void TestResultsRegressions::Random_Bytes()
{
    std::mt19937 random(20240101);
    for (int n = 0; n < 2000; ++n) {
        QByteArray content(static_cast<int>(random() % 600), '\0');
        for (char &c : content) {
            c = static_cast<char>(random());
        }
        const std::string result = Check_Content(content);
        QVERIFY2(result.empty(), (result + " in input " + std::to_string(n)).c_str());
    }
}

// Cuts, splices and repeats of the corpus keep the structure that random
// bytes never reach.
void TestResultsRegressions::Mutated_Corpus()
{
    std::vector<QByteArray> inputs;
    for (const QString &path : Input_Paths()) {
        inputs.push_back(Read_File(path));
    }
    QVERIFY(!inputs.empty());
    static const char *const pieces[] = {"$",  "$$", "\n",     "\r\n", ",",          "\"",
                                         ".",  "e9", "UNITS/", "FA(",  ")=",         "label,",
                                         "</", "/>", "<",      ">",    "<Location>", "&a;"};
    std::mt19937 random(7);
    for (int n = 0; n < 3000; ++n) {
        QByteArray content = inputs[random() % inputs.size()];
        for (int edit = static_cast<int>(random() % 6); edit > 0; --edit) {
            const int at = content.isEmpty() ? 0 : static_cast<int>(random() % content.size());
            switch (random() % 4) {
            case 0:
                content.insert(at, pieces[random() % (sizeof pieces / sizeof *pieces)]);
                break;
            case 1:
                content.remove(at, static_cast<int>(random() % 8));
                break;
            case 2:
                content.insert(
                    at, inputs[random() % inputs.size()].left(static_cast<int>(random() % 80)));
                break;
            default:
                if (at < content.size()) {
                    content[at] = static_cast<char>(random());
                }
            }
        }
        const std::string result = Check_Content(content);
        QVERIFY2(result.empty(), (result + " in input " + std::to_string(n)).c_str());
    }
}

// The checks themselves must fail on readings that break the rules.
void TestResultsRegressions::Checks_Catch_Broken_Readings()
{
    const QByteArray content = "a\nb\nc\n";
    TResultsReading good;
    good.features = {Usable("PLN_1", 1), Usable("Lin_2", 3)};
    good.warnings = {{1, QStringLiteral("label \"x\" is not in the reference")},
                     {2, QStringLiteral("field 3 \"x\" is empty")}};
    QCOMPARE(QString::fromStdString(Check_Reading(content, Reference(), good)), QString());

    auto broken = [&](const std::function<void(TResultsReading &)> &change) {
        TResultsReading reading = good;
        change(reading);
        return !Check_Reading(content, Reference(), reading).empty();
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QVERIFY(broken([](TResultsReading &r) { r.features[1].label = QStringLiteral("lin_2"); }));
    QVERIFY(broken([](TResultsReading &r) { r.features[1].label = QStringLiteral("PLN_1"); }));
    QVERIFY(broken([](TResultsReading &r) { r.features[1].line_number = 5; }));
    QVERIFY(broken([](TResultsReading &r) { r.features[1].line_number = 1; }));
    QVERIFY(broken([](TResultsReading &r) { r.features[0].line_number = 0; }));
    QVERIFY(broken([&](TResultsReading &r) { r.features[0].position.y = inf; }));
    QVERIFY(broken([&](TResultsReading &r) { r.features[0].direction.z = nan; }));
    QVERIFY(broken([&](TResultsReading &r) { r.features[0].position_resolution = nan; }));
    QVERIFY(broken([](TResultsReading &r) { r.features[0].direction_resolution = -1; }));
    QVERIFY(broken([](TResultsReading &r) { r.features[0].diameter = 3; })); // a plane
    QVERIFY(broken([](TResultsReading &r) { r.features[0].apex_angle = 1; }));
    QVERIFY(broken([](TResultsReading &r) { r.features[1].minor_diameter_resolution = 0.5; }));
    // A cone's included angle strictly between 0 and pi, a torus' minor
    // diameter finite.
    const auto cone = [](double angle) {
        return [angle](TResultsReading &r) {
            r.features[1].label = QStringLiteral("Con_8");
            r.features[1].apex_angle = angle;
            r.features[1].diameter = 4;
        };
    };
    QVERIFY(!broken(cone(1)));
    QVERIFY(broken(cone(0)));
    QVERIFY(broken(cone(3.14159265358979323846)));
    QVERIFY(broken(cone(-0.5)));
    QVERIFY(broken(cone(nan)));
    QVERIFY(broken([&](TResultsReading &r) {
        r.features[1].label = QStringLiteral("TOR_9");
        r.features[1].minor_diameter = inf;
    }));
    QVERIFY(broken([](TResultsReading &r) {
        r.features[0].usable = false;
        r.features[0].direction = TVector3();
        r.features[0].apex_angle_resolution = 0.1; // passed on from a result that cannot be used
    }));
    QVERIFY(broken([](TResultsReading &r) {
        r.features[0].usable = false; // something of an unusable result passed on
    }));
    // A form is finite, with a resolution, and only where one is stated.
    QVERIFY(!broken([](TResultsReading &r) {
        r.features[0].has_form = true;
        r.features[0].form = 0.003;
        r.features[0].form_resolution = 0.0005;
    }));
    QVERIFY(broken([&](TResultsReading &r) {
        r.features[0].has_form = true;
        r.features[0].form = nan;
    }));
    QVERIFY(broken([](TResultsReading &r) { r.features[0].form = 0.003; }));
    QVERIFY(broken([](TResultsReading &r) {
        r.features[0].usable = false;
        r.features[0].direction = TVector3();
        r.features[0].has_form = true;
    }));
    QVERIFY(broken([](TResultsReading &r) { std::swap(r.warnings[0], r.warnings[1]); }));
    QVERIFY(broken([](TResultsReading &r) { r.warnings[1].line_number = 5; }));
    QVERIFY(broken([](TResultsReading &r) { r.warnings[1].message = QString(500, 'a'); }));
    QVERIFY(broken([](TResultsReading &r) { r.warnings[1].message = QStringLiteral("Field"); }));
    QVERIFY(broken([](TResultsReading &r) { r.warnings[1].message = QStringLiteral("a\nb"); }));
    // A failure leaves nothing to grade and says why in the house style.
    const auto failed = [](TResultsReading &r) {
        r.format = TResultsFormat::QIF;
        r.failure = TResultsFailure::UNUSABLE;
        r.failure_line = 2;
        r.failure_message = QStringLiteral("not well-formed XML: premature end of document");
        r.features.clear();
        r.warnings.clear();
    };
    QVERIFY(!broken(failed));
    const auto broken_failure = [&](const std::function<void(TResultsReading &)> &change) {
        return broken([&](TResultsReading &r) {
            failed(r);
            change(r);
        });
    };
    QVERIFY(broken_failure([](TResultsReading &r) {
        r.warnings = {{1, QStringLiteral("label \"x\" is not in the reference")}};
    }));
    QVERIFY(broken_failure([](TResultsReading &r) { r.failure_line = 9; }));
    QVERIFY(broken_failure([](TResultsReading &r) {
        r.failure_message = QStringLiteral("Premature end of document.");
    }));
    QVERIFY(broken_failure([](TResultsReading &r) { r.format = TResultsFormat::CSV; }));
    // QIF measurements may share a line (statements and rows may not: above).
    QVERIFY(!broken([](TResultsReading &r) {
        r.format = TResultsFormat::QIF;
        r.features[1].line_number = 1;
    }));
    // Still good with an infinite resolution, which says a value is unknown.
    QVERIFY(!broken([&](TResultsReading &r) { r.features[1].direction_resolution = inf; }));
}

QTEST_GUILESS_MAIN(TestResultsRegressions)
#include "test_results_regressions.moc"
