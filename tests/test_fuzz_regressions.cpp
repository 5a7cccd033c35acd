// Replays every input the fuzzer ever found a fault with (fuzz/regressions)
// and the fuzzer's seed corpus (fuzz/corpus) through the conversion and
// checks on each the same properties as the fuzz target.

#include "fuzz/conversion_invariants.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void Replay_data();
    void Replay();
    void Checks_Catch_Broken_Programs();
};

void TestFuzzRegressions::Replay_data()
{
    QTest::addColumn<QString>("path");
    int count = 0;
    for (const char *folder : {"regressions", "corpus"}) {
        const QDir dir(QStringLiteral(TESSALINE_FUZZ_DIR "/") + QLatin1String(folder));
        const QStringList names = dir.entryList(QDir::Files, QDir::Name);
        for (const QString &name : names) {
            if (name == QLatin1String("README.md")) {
                continue;
            }
            const QString path = dir.filePath(name);
            QTest::newRow(qPrintable(QLatin1String(folder) + QLatin1Char('/') + name)) << path;
            ++count;
        }
    }
    // Both folders are part of the repository: an empty list means the
    // test looks in the wrong place.
    QVERIFY2(count >= 10, "fewer than 10 inputs under fuzz/corpus and fuzz/regressions");
}

void TestFuzzRegressions::Replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray input = file.readAll();
    // The first byte chooses output type and encoding; try every output
    // type with the input's own encoding.
    for (int type = 0; type < 4; ++type) {
        QByteArray variant = input.isEmpty() ? QByteArray(1, '\0') : input;
        variant[0] = static_cast<char>((static_cast<uchar>(variant[0]) & ~3) | type);
        const std::string result = tessaline_invariants::Check_Input(
            reinterpret_cast<const uint8_t *>(variant.constData()),
            static_cast<size_t>(variant.size()));
        QVERIFY2(result.empty(), result.c_str());
    }
}

// The checks themselves must fail on programs that break the rules.
void TestFuzzRegressions::Checks_Catch_Broken_Programs()
{
    using tessaline_invariants::Check_Program;
    QString header;
    for (const std::string &line : tessaline_invariants::Header_Lines(0)) {
        header += QString::fromStdString(line) + QLatin1Char('\n');
    }
    const QString plane = QStringLiteral(
        "$$\n"
        "$$ Plane 0.000000 0.000000 0.000000 0.000000000 0.000000000 1.000000000 0.000000\n");
    QString points;
    for (int k = 1; k <= 6; ++k) {
        points += QStringLiteral("$$\nF(PT_1_%1)=FEAT/POINT,CART,1.000000,2.000000,3.000000,"
                                 "0.000000000,0.000000000,1.000000000\n"
                                 "MEAS/POINT,F(PT_1_%1),1\n"
                                 "    PTMEAS/CART,1.000000,2.000000,3.000000,0.000000000,"
                                 "0.000000000,1.000000000\nENDMES\n")
                      .arg(k);
    }
    const QString nominal = QStringLiteral("$$\nF(PLN_1)=FEAT/PLANE,CART,0.000000,0.000000,"
                                           "0.000000,0.000000000,0.000000000,1.000000000\n");
    const QString construction = QStringLiteral(
        "CONST/PLANE,F(PLN_1),BF,FA(PT_1_1),FA(PT_1_2),FA(PT_1_3),FA(PT_1_4),FA(PT_1_5)$\n"
        ",FA(PT_1_6)\n");
    const QString good = header + plane + points + nominal + construction + "ENDFIL\n";
    QCOMPARE(QString::fromStdString(Check_Program(good, 0, 1)), QString());

    auto broken = [&](const QString &program, size_t features) {
        return !Check_Program(program, 0, features).empty();
    };
    QVERIFY(broken(good, 2));                                     // feature count
    QVERIFY(broken(good + "ENDFIL\n", 1));                        // footer twice
    QVERIFY(broken(QString(good).remove(good.size() - 1, 1), 1)); // no final line feed
    QVERIFY(broken(QString(good).replace("1.000000,2.000000", "1.00000,2.000000"), 1));
    QVERIFY(broken(QString(good).replace("FA(PT_1_6)", "FA(PT_1_7)"), 1));        // undefined
    QVERIFY(broken(QString(good).replace("PT_1_5)$\n,", "PT_1_5),"), 1));         // 6 on line one
    QVERIFY(broken(QString(good).replace(",FA(PT_1_6)\n", ",FA(PT_1_6)$\n"), 1)); // $ last
    QVERIFY(broken(QString(good).replace("3.000000,0.0", "nan,0.0"), 1));
    QVERIFY(broken(QString(good).replace("MODE/MAN", "MODE/AUTO"), 1)); // header
    QVERIFY(!Check_Program(good, 1, 1).empty()); // offset program expects 12 header lines
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "test_fuzz_regressions.moc"
