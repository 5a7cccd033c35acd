#include "app/file_path.h"

#include <QtTest>

class TestFilePath : public QObject
{
    Q_OBJECT

private slots:
    void chosen_directory_data();
    void chosen_directory();
};

void TestFilePath::chosen_directory_data()
{
    QTest::addColumn<QString>("file_name");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected");

    QTest::newRow("file in a directory") << "/data/run1/plane.dat"
                                         << "/home/user"
                                         << "/data/run1";
    QTest::newRow("file in the root directory") << "/plane.dat"
                                                << "/home/user" << QString();
    QTest::newRow("name without a slash") << "plane.dat"
                                          << "/home/user"
                                          << "/home/user";
    QTest::newRow("name without a slash keeps an empty path")
        << "plane.dat" << QString() << QString();
    QTest::newRow("only the last slash counts")
        << "/data/run1/sub/out.dms" << QString() << "/data/run1/sub";
    QTest::newRow("name without suffix") << "/data/run1/program"
                                         << "/home/user"
                                         << "/data/run1";
}

void TestFilePath::chosen_directory()
{
    QFETCH(QString, file_name);
    QFETCH(QString, current);
    QFETCH(QString, expected);

    QCOMPARE(Chosen_Directory(file_name, current), expected);
}

QTEST_APPLESS_MAIN(TestFilePath)
#include "test_file_path.moc"
