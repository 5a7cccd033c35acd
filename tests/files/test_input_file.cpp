#include "files/input_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <thread>

namespace {

bool Write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Feeds a FIFO from a thread, as a generator piping into the program would.
class TFifoFeeder
{
public:
    TFifoFeeder(const QString &path, qint64 bytes)
    {
        feeder = std::thread([path, bytes] {
            QFile fifo(path);
            if (!fifo.open(QIODevice::WriteOnly))
                return;
            const QByteArray piece(4096, '7');
            for (qint64 left = bytes; left > 0; left -= piece.size())
                if (fifo.write(piece.constData(), std::min<qint64>(left, piece.size())) < 0)
                    return;
        });
    }
    ~TFifoFeeder() { feeder.join(); }
    TFifoFeeder(const TFifoFeeder &) = delete;
    TFifoFeeder &operator=(const TFifoFeeder &) = delete;

private:
    std::thread feeder;
};

} // namespace

class TestInputFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void regular_file_is_read_whole_data();
    void regular_file_is_read_whole();
    void regular_file_over_the_limit();
    void pipe_is_read_to_its_end_within_the_limit_data();
    void pipe_is_read_to_its_end_within_the_limit();
    void kernel_file_that_says_it_is_empty_is_read();
    void file_changed_while_it_is_read_data();
    void file_changed_while_it_is_read();
    void unreadable_inputs_give_the_system_reason_data();
    void unreadable_inputs_give_the_system_reason();
};

void TestInputFile::initTestCase()
{
    // A feeder whose reader went away gets a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
}

void TestInputFile::regular_file_is_read_whole_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("x");
    QTest::newRow("text with NUL and CR") << QByteArray("a\0b\r\nc", 6);
    QTest::newRow("larger than one piece") << QByteArray((16 << 20) + 3, 'q');
}

void TestInputFile::regular_file_is_read_whole()
{
    QFETCH(QByteArray, content);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath("in.dat");
    QVERIFY(Write(path, content));
    QByteArray read = "stale";
    QString reason;
    QVERIFY2(Read_Input_File(path, read, reason), qPrintable(reason));
    QVERIFY(read == content);
}

void TestInputFile::regular_file_over_the_limit()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath("in.dat");
    QVERIFY(Write(path, QByteArray(101, 'a')));
    QByteArray read;
    QString reason;
    QVERIFY(!Read_Input_File(path, read, reason, 100));
    QCOMPARE(reason, QStringLiteral("larger than 100 bytes"));
    QVERIFY(read.isEmpty());
    QVERIFY(Read_Input_File(path, read, reason, 101));
    QCOMPARE(read.size(), 101);
    QCOMPARE(Size_Limit_Text(MAX_INPUT_SIZE), QStringLiteral("2 GB"));
}

void TestInputFile::pipe_is_read_to_its_end_within_the_limit_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("fits");
    QTest::newRow("well within") << qint64(10000) << qint64(20000) << true;
    QTest::newRow("exactly the limit") << qint64(20000) << qint64(20000) << true;
    QTest::newRow("one byte over") << qint64(20001) << qint64(20000) << false;
    QTest::newRow("far over, never cut silently") << qint64(1 << 22) << qint64(20000) << false;
}

void TestInputFile::pipe_is_read_to_its_end_within_the_limit()
{
    QFETCH(qint64, bytes);
    QFETCH(qint64, limit);
    QFETCH(bool, fits);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath("generator");
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QByteArray read;
    QString reason;
    bool ok;
    {
        TFifoFeeder feeder(path, bytes);
        // What is not read makes the feeder's writes fail once the reader
        // has closed, and it ends.
        ok = Read_Input_File(path, read, reason, limit);
    }
    QCOMPARE(ok, fits);
    if (fits) {
        QCOMPARE(read, QByteArray(int(bytes), '7'));
    } else {
        QCOMPARE(reason, QStringLiteral("larger than %1 bytes").arg(limit));
        QVERIFY(read.isEmpty());
    }
}

void TestInputFile::kernel_file_that_says_it_is_empty_is_read()
{
    QByteArray read;
    QString reason;
    QVERIFY2(Read_Input_File(QStringLiteral("/proc/self/status"), read, reason),
             qPrintable(reason));
    QVERIFY(read.contains("Name:"));
}

void TestInputFile::file_changed_while_it_is_read_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("cut short") << "truncate";
    QTest::newRow("grown") << "append";
    QTest::newRow("rewritten at the same size") << "rewrite";
}

void TestInputFile::file_changed_while_it_is_read()
{
    QFETCH(QString, change);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath("in.dat");
    const QByteArray content((16 << 20) + 100, 'z');
    QVERIFY(Write(path, content));
    const QByteArray name = QFile::encodeName(path);
    bool changed = false;
    QByteArray read;
    QString reason;
    const bool ok = Read_Input_File(path, read, reason, MAX_INPUT_SIZE, [&] {
        if (changed)
            return;
        changed = true;
        if (change == "truncate") {
            QVERIFY(truncate(name.constData(), 1000) == 0);
        } else {
            QFile file(path);
            QVERIFY(file.open(change == "append" ? QIODevice::Append : QIODevice::ReadWrite));
            // A new time stamp, which a file system may keep to the second.
            QTest::qWait(10);
            file.write("more");
        }
    });
    QVERIFY(changed);
    QVERIFY(!ok);
    QCOMPARE(reason, QStringLiteral("the file changed while it was being read"));
    QVERIFY(read.isEmpty());
}

void TestInputFile::unreadable_inputs_give_the_system_reason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing.dat"
                             << "No such file or directory";
    QTest::newRow("directory") << "."
                               << "Is a directory";
}

void TestInputFile::unreadable_inputs_give_the_system_reason()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QByteArray read;
    QString given;
    QVERIFY(!Read_Input_File(directory.filePath(name), read, given));
    QCOMPARE(given, reason);
}

QTEST_GUILESS_MAIN(TestInputFile)
#include "test_input_file.moc"
