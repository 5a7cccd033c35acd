// tessaline-grade with numbers it cannot use: on its command line, where
// "." is the decimal point and nothing else, and in the results, where
// values too large to compute with are refused.

#include "program_run.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString GRADER = QStringLiteral(TESSALINE_GRADE);
const QString EXAMPLES = QStringLiteral(TESSALINE_EXAMPLES);

TProgramRun Grade(const QStringList &arguments)
{
    return Run_Program(GRADER, arguments);
}

// The example spheres and a software's results of them: SPH_2 0.3 µm too
// large, which the default MPE of 0.1 µm fails and one of 1 µm passes.
QStringList Spheres()
{
    return {EXAMPLES + "/sphere.dat", EXAMPLES + "/sphere-results.qif"};
}

} // namespace

class TestGradeNumbers : public QObject
{
    Q_OBJECT

private slots:
    void option_that_is_no_number_data();
    void option_that_is_no_number();
    void numbers_as_options_take_them();
    void results_too_large_to_compute_with();
    void stated_results_too_large_to_compute_with();
};

// Exit status 2 and one line that names the option and the text; a decimal
// comma never reads as a thousands separator.
void TestGradeNumbers::option_that_is_no_number_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("reason");
    QTest::newRow("decimal comma, an MPE 1000 times too large")
        << QStringList{"--size-mpe", "0,001"}
        << "--size-mpe: '0,001' is not a number (write 0.001)";
    QTest::newRow("comma that may group or be the point")
        << QStringList{"--position-mpe", "1,000"}
        << "--position-mpe: '1,000' is not a number (write 1.000 or 1000)";
    QTest::newRow("decimal comma, not a group of three")
        << QStringList{"--position-mpe", "0,0001"}
        << "--position-mpe: '0,0001' is not a number (write 0.0001)";
    QTest::newRow("negative MPE") << QStringList{"--size-mpe", "-0.1"}
                                  << "--size-mpe: 0 mm or more";
    QTest::newRow("QIF results by a decimal comma")
        << QStringList{"--qif-results", "1,0"} << "--qif-results: '1,0' is not a whole number";
    QTest::newRow("QIF results beyond any")
        << QStringList{"--qif-results", "1e10"} << "--qif-results: from 1 to 2147483647";
}

void TestGradeNumbers::option_that_is_no_number()
{
    QFETCH(QStringList, options);
    QFETCH(QString, reason);
    const TProgramRun result = Grade(options + Spheres());
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.output, QByteArray());
    QCOMPARE(result.errors, (QStringList{"tessaline-grade: error: " + reason,
                                         "Try 'tessaline-grade --help' for more information."}));
}

// Exponents and a point without a leading digit are numbers: the defaults
// written otherwise grade as the defaults do, and the MPE the lab meant by
// "0,001" passes the sphere.
void TestGradeNumbers::numbers_as_options_take_them()
{
    const TProgramRun defaults = Grade(Spheres());
    QCOMPARE(defaults.exit_code, 1);
    const TProgramRun written_otherwise =
        Grade(QStringList{"--size-mpe", "1e-4", "--position-mpe", ".0001", "--angle-mpe", "1E-6",
                          "--qif-results", "1e0"} +
              Spheres());
    QCOMPARE(written_otherwise.errors, defaults.errors);
    QCOMPARE(written_otherwise.output, defaults.output);
    QCOMPARE(written_otherwise.exit_code, 1);
    const TProgramRun meant = Grade(QStringList{"--size-mpe", "0.001"} + Spheres());
    QCOMPARE(meant.errors, QStringList());
    QCOMPARE(meant.exit_code, 0);
    QVERIFY(QString::fromUtf8(meant.output)
                .contains(QRegularExpression(
                    "\nSPH_2 +size +0\\.300000 \u00b5m +1\\.000000 \u00b5m +pass\n")));
}

// A cylinder at x = 1e160 would be infinitely far from the reference's
// axis: it is refused as its results are read, with a warning that names
// the field; one at 1e150 can be computed with, and fails.
void TestGradeNumbers::results_too_large_to_compute_with()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString results = directory.filePath("far.csv");
    QVERIFY(Write_File(results, "label,x,y,z,i,j,k,diameter\n"
                                "CYL_1,1e160,0,0,0,0,1,20.000839\n"
                                "CYL_2,1e150,0,0,0,0,1,49.998580\n"));
    const TProgramRun result = Grade({EXAMPLES + "/cylinder.dat", results});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.errors,
             (QStringList{results + ":2: warning: field 2 \"x\" is too large to compute with "
                                    "(more than 1e150 millimetres): \"1e160\"",
                          EXAMPLES + "/cylinder.dat:11: warning: CYL_1 is graded missing: its "
                                     "result on line 2 of the results cannot be used",
                          results + ": warning: 1 of 1 features is off by more than 1 mm: are "
                                    "these results of another data set?"}));
    const QStringList rows = QString::fromUtf8(result.output).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 6);
    QVERIFY2(rows[1].contains(QRegularExpression("^CYL_1 +- +- +- +missing$")),
             qPrintable(rows[1]));
    QVERIFY2(
        rows[2].contains(QRegularExpression("^CYL_2 +position +1\\.0+e\\+153 \xc2\xb5m .* fail$")),
        qPrintable(rows[2]));
    QCOMPARE(rows.last(),
             QStringLiteral("2 features: 0 pass, 1 fail, 0 inconclusive, 1 missing, 0 ambiguous, "
                            "0 unfit"));
}

// The validation file's own values are graded by --refit: a position of
// 1e160 is infinitely far from the fit, which fails, and the table says
// "too large", never "inf".
void TestGradeNumbers::stated_results_too_large_to_compute_with()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString validation = directory.filePath("far.dat");
    QVERIFY(Write_File(validation, "Best_Fit_Validation:Version=1:Type=Sphere\n"
                                   "Sphere 1 4 1e160 0 0 2 0\n"
                                   "1 0 0\n-1 0 0\n0 1 0\n0 0 1\n"));
    const TProgramRun result = Grade({"--refit", validation});
    QCOMPARE(result.exit_code, 1);
    const QStringList rows = QString::fromUtf8(result.output).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 4);
    QVERIFY2(
        rows[1].contains(QRegularExpression("^SPH_1 +position +too large +0\\.100000 \xc2\xb5m "
                                            " fail$")),
        qPrintable(rows[1]));
    QVERIFY(!result.output.contains("inf"));
}

QTEST_GUILESS_MAIN(TestGradeNumbers)

#include "test_grade_numbers.moc"
