#include "dialog_driver.h"
#include "window_access.h"

#include <QProcess>
#include <QtTest>

#include <memory>

// Every example converted through the window's Open and Export commands
// gives exactly the bytes the command-line converter writes for it.
class TestExamplesInWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window_export_equals_converter_output_data();
    void window_export_equals_converter_output();

private:
    std::unique_ptr<TFreshHome> home;
};

void TestExamplesInWindow::init()
{
    home.reset(new TFreshHome);
    QVERIFY(home->Valid());
}

void TestExamplesInWindow::cleanup()
{
    home.reset();
}

void TestExamplesInWindow::window_export_equals_converter_output_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("points");

    const QFileInfoList examples =
        QDir(QStringLiteral(TESSALINE_EXAMPLES))
            .entryInfoList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    QVERIFY2(!examples.isEmpty(), "no example validation files found");
    for (const QFileInfo &example : examples) {
        for (const QString &points : {QStringLiteral("measured"), QStringLiteral("offset")}) {
            const QByteArray row = (example.fileName() + QLatin1Char(' ') + points).toUtf8();
            QTest::newRow(row.constData()) << example.absoluteFilePath() << points;
        }
    }
}

void TestExamplesInWindow::window_export_equals_converter_output()
{
    QFETCH(QString, example);
    QFETCH(QString, points);

    const QString converted = home->Path() + QStringLiteral("/converted.dms");
    QProcess converter;
    converter.start(QStringLiteral(TESSALINE_CONVERT),
                    {QStringLiteral("--points"), points, QStringLiteral("-o"), converted, example});
    QVERIFY(converter.waitForFinished(60000));
    QVERIFY2(converter.exitStatus() == QProcess::NormalExit && converter.exitCode() == 0,
             converter.readAllStandardError().constData());

    TTessaline window;
    window.preferences.dmis_feature_type = points == QLatin1String("offset")
                                               ? TPreferences::CONSTRUCTED_OFFSET_POINTS
                                               : TPreferences::MEASURED_POINTS;
    const QString exported = home->Path() + QStringLiteral("/exported.dms");
    TDialogDriver driver;
    driver.Choose_File(example);
    Open_Action(window)->trigger();
    driver.Choose_File(exported);
    Export_Action(window)->trigger();
    QVERIFY(driver.Finished());
    QVERIFY2(driver.Unexpected().isEmpty() && driver.Messages().isEmpty(),
             qPrintable(driver.Unexpected().join(QLatin1Char('\n'))));

    const QByteArray from_window = Read_File(exported);
    QVERIFY(from_window.endsWith("\nENDFIL\n"));
    QVERIFY(from_window.contains(points == QLatin1String("offset") ? "MOVEPT" : "MEAS/POINT"));
    QCOMPARE(from_window, Read_File(converted));
}

QTEST_MAIN(TestExamplesInWindow)
#include "test_examples_in_window.moc"
