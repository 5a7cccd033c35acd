// tessaline-grade with QIF results, and the results it cannot use at all,
// driven as a user drives it.

#include "program_run.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

TProgramRun Grade(const QStringList &arguments)
{
    return Run_Program(QStringLiteral(TESSALINE_GRADE), arguments);
}

// Two circles: CIR_1 about (10, 20, 5) in z = 5, diameter 20; CIR_2 about
// the origin in x = 0, diameter 10.
const QByteArray CIRCLES = "Best_Fit_Validation:Version=1:Type=Circle\n"
                           "Circle 1 4 10 20 5 0 0 1 20 0\n20 20 5\n0 20 5\n10 30 5\n10 10 5\n"
                           "Circle 2 4 0 0 0 1 0 0 10 0\n0 5 0\n0 -5 0\n0 0 5\n0 0 -5\n";

// A QIF 3.0.0 results document, valid against the QIF 3 schemas, with one
// MeasurementResults per part: CIR_1 by its own FeatureName, CIR_2 through
// its feature item. Each part gives CIR_1's location and CIR_2's normal and
// diameter.
QByteArray Qif_Results(const QList<QByteArrayList> &parts)
{
    QByteArray document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<QIFDocument xmlns=\"http://qifstandards.org/xsd/qif3\" versionQIF=\"3.0.0\" "
        "idMax=\"99\">\n"
        "  <QPId>0b6a4f1e-2d3c-4b5a-8f9e-1a2b3c4d5e6f</QPId>\n"
        "  <FileUnits><PrimaryUnits><LinearUnit><SIUnitName>meter</SIUnitName>"
        "<UnitName>mm</UnitName><UnitConversion><Factor>0.001</Factor></UnitConversion>"
        "</LinearUnit></PrimaryUnits></FileUnits>\n"
        "  <Features>\n"
        "    <FeatureDefinitions n=\"1\"><CircleFeatureDefinition id=\"1\">"
        "<InternalExternal>INTERNAL</InternalExternal><Diameter>10</Diameter>"
        "</CircleFeatureDefinition></FeatureDefinitions>\n"
        "    <FeatureNominals n=\"1\"><CircleFeatureNominal id=\"2\">"
        "<FeatureDefinitionId>1</FeatureDefinitionId><Location>0 0 0</Location>"
        "<Normal>1 0 0</Normal></CircleFeatureNominal></FeatureNominals>\n"
        "    <FeatureItems n=\"1\"><CircleFeatureItem id=\"3\"><FeatureNominalId>2"
        "</FeatureNominalId><FeatureName>CIR_2</FeatureName><DeterminationMode><Checked/>"
        "</DeterminationMode></CircleFeatureItem></FeatureItems>\n"
        "  </Features>\n"
        "  <Results>\n"
        "    <MeasurementResultsSet n=\"" +
        QByteArray::number(parts.size()) + "\">\n";
    int id = 10;
    for (const QByteArrayList &part : parts) {
        document += "      <MeasurementResults id=\"" + QByteArray::number(id++) +
                    "\">\n        <MeasuredFeatures n=\"2\">\n";
        document += "          <CircleFeatureMeasurement id=\"" + QByteArray::number(id++) +
                    "\"><FeatureName>CIR_1</FeatureName><Location>" + part[0] +
                    "</Location><Normal>0 0 1</Normal><Diameter>20.0000</Diameter>"
                    "</CircleFeatureMeasurement>\n";
        document += "          <CircleFeatureMeasurement id=\"" + QByteArray::number(id++) +
                    "\"><FeatureItemId>3</FeatureItemId><Location>0 0 0</Location><Normal>" +
                    part[1] + "</Normal><Diameter>" + part[2] +
                    "</Diameter></CircleFeatureMeasurement>\n";
        document += "        </MeasuredFeatures>\n        <InspectionStatus>"
                    "<InspectionStatusEnum>PASS</InspectionStatusEnum></InspectionStatus>\n"
                    "      </MeasurementResults>\n";
    }
    return document + "    </MeasurementResultsSet>\n  </Results>\n</QIFDocument>\n";
}

// CIR_1 shifted by (0.00003, 0.00004, 0): 0.00005 off, a pass; CIR_2 tilted
// by atan(0.00002) and 0.0002 too large: a fail.
const QByteArrayList SHIFTED_AND_TILTED = {"10.00003 20.00004 5", "1 0.00002 0", "10.0002"};
const QByteArrayList EXACT = {"10 20 5", "1 0 0", "10"};
} // namespace

class TestGradeQif : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void whole_loop_with_known_deviations();
    void suite_with_qif_results();
    void usage_errors_data();
    void usage_errors();
    void unusable_and_empty_results();

private:
    std::unique_ptr<QTemporaryDir> directory;
    QString Path(const QString &name) const { return directory->filePath(name); }
};

void TestGradeQif::init()
{
    directory.reset(new QTemporaryDir);
    QVERIFY(directory->isValid());
    QVERIFY(Write_File(Path("circles.dat"), CIRCLES));
    QVERIFY(Write_File(Path("two.qif"), Qif_Results({EXACT, SHIFTED_AND_TILTED})));
}

// The second part, chosen by --qif-results, graded exactly as constructed.
void TestGradeQif::whole_loop_with_known_deviations()
{
    const TProgramRun result = Grade({Path("circles.dat"), Path("two.qif"), "--qif-results", "2",
                                      "--json", "-", "--report", Path("r.html")});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 1);
    const QJsonObject json = QJsonDocument::fromJson(result.output).object();
    QCOMPARE(json["results_format"].toString(), QString("QIF 3.0.0"));
    QVERIFY(Read_File(Path("r.html")).contains("<tr><th>Results format</th><td>QIF 3.0.0</td>"));
    const QJsonArray features = json["features"].toArray();
    QCOMPARE(features.size(), 2);
    const auto quantity = [&](int feature, const char *name) {
        return features[feature].toObject()[name].toObject();
    };
    const auto deviation = [&](int feature, const char *name) {
        return quantity(feature, name)["deviation"].toDouble();
    };
    QCOMPARE(features[0].toObject()["verdict"].toString(), QString("pass"));
    QVERIFY(std::fabs(deviation(0, "position") - 0.00005) < 1e-15);
    QCOMPARE(deviation(0, "angle"), 0.0);
    QCOMPARE(deviation(0, "size"), 0.0);
    QCOMPARE(deviation(1, "position"), 0.0);
    QVERIFY(std::fabs(deviation(1, "angle") - std::atan(0.00002)) < 1e-15);
    QVERIFY(std::fabs(deviation(1, "size") - 0.0002) < 1e-12);
    QCOMPARE(quantity(1, "angle")["verdict"].toString(), QString("fail"));
    QCOMPARE(quantity(1, "size")["verdict"].toString(), QString("fail"));
}

void TestGradeQif::suite_with_qif_results()
{
    // NAME.qif is found after NAME.dmo and NAME.csv; --qif-results picks the
    // part of each QIF file, and a CSV beside it is graded as it is.
    QVERIFY(QDir(Path("")).mkpath("s"));
    QVERIFY(Write_File(Path("s/a.dat"), CIRCLES));
    QVERIFY(Write_File(Path("s/a.qif"), Qif_Results({EXACT, SHIFTED_AND_TILTED})));
    QVERIFY(Write_File(Path("s/b.dat"), CIRCLES));
    QVERIFY(Write_File(Path("s/b.csv"), "label,x,y,z,i,j,k,diameter\nCIR_1,10,20,5,0,0,1,20\n"
                                        "CIR_2,0,0,0,1,0,0,10\n"));
    const TProgramRun result = Grade({"--suite", Path("s"), "--qif-results", "2", "--json", "-"});
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.exit_code, 1);
    const QJsonArray files = QJsonDocument::fromJson(result.output).object()["files"].toArray();
    QCOMPARE(files.size(), 2);
    QCOMPARE(files[0].toObject()["results"].toString(), Path("s/a.qif"));
    QCOMPARE(files[0].toObject()["results_format"].toString(), QString("QIF 3.0.0"));
    QCOMPARE(files[0].toObject()["summary"].toObject()["fail"].toInt(), 1);
    QCOMPARE(files[1].toObject()["results_format"].toString(), QString("CSV"));
    QCOMPARE(files[1].toObject()["summary"].toObject()["pass"].toInt(), 2);
}

void TestGradeQif::usage_errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("beyond the parts") << QStringList{"--qif-results", "3", "circles.dat", "two.qif"}
                                      << "--qif-results 3: %1/two.qif holds 2 MeasurementResults";
    QTest::newRow("zero") << QStringList{"--qif-results", "0", "circles.dat", "two.qif"}
                          << "--qif-results: from 1 to 2147483647";
    QTest::newRow("with --refit") << QStringList{"--qif-results", "1", "--refit", "circles.dat"}
                                  << "--qif-results chooses among the results, which --refit "
                                     "has none of";
    QTest::newRow("not QIF") << QStringList{"--qif-results", "1", "circles.dat", "circles.dat"}
                             << "--qif-results applies to QIF results; %1/circles.dat is DMIS "
                                "output";
}

void TestGradeQif::usage_errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    for (QString &argument : arguments) {
        if (argument.contains('.'))
            argument = Path(argument);
    }
    const TProgramRun result = Grade(arguments);
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(result.errors,
             (QStringList{"tessaline-grade: error: " + reason.replace("%1", directory->path()),
                          "Try 'tessaline-grade --help' for more information."}));
}

// The reader's failures are its own tests; here, that the run stops on one
// with the file's name and line and writes nothing, that results of which
// nothing could be read are not graded silently as all missing, and that a
// file over 2 GB (sparse: it takes no room) is refused before it is read.
void TestGradeQif::unusable_and_empty_results()
{
    QByteArray cut = Qif_Results({EXACT});
    cut.chop(40);
    QVERIFY(Write_File(Path("cut.qif"), cut));
    TProgramRun result = Grade({Path("circles.dat"), Path("cut.qif"), "--json", Path("g.json")});
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(result.errors, QStringList{Path("cut.qif") + ":19: error: not well-formed XML: "
                                                          "premature end of document"});
    QVERIFY(!QFile::exists(Path("g.json")));

    // An empty file; other text is the reader's case.
    QVERIFY(Write_File(Path("none"), QByteArray()));
    result = Grade({Path("circles.dat"), Path("none")});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(
        result.errors,
        (QStringList{Path("none") +
                         ":1: warning: no result at all could be read; formats tried: DMIS output "
                         "(FA(label)=FEAT/... statements), CSV (a header with a label column, "
                         "then rows), QIF (measured planes, lines, circles, spheres, "
                         "cylinders, cones and tori)",
                     Path("circles.dat") +
                         ":2: warning: CIR_1 is graded missing: the results hold nothing for it",
                     Path("circles.dat") +
                         ":7: warning: CIR_2 is graded missing: the results hold nothing for it"}));
    QVERIFY(result.output.endsWith(
        "2 features: 0 pass, 0 fail, 0 inconclusive, 2 missing, 0 ambiguous, 0 unfit\n"));

    QFile huge(Path("huge.qif"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(3) << 30));
    huge.close();
    result = Grade({Path("circles.dat"), Path("huge.qif")});
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.errors,
             QStringList{Path("huge.qif") + ": error: cannot read: larger than 2 GB"});
}

QTEST_GUILESS_MAIN(TestGradeQif)
#include "test_grade_qif.moc"
