// tessaline-convert's output of one program, whose writer thread must not
// allocate: memory that runs out there could be reported to no one.

#include "cli/convert/program_output.h"

#include "program_run.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace {

// While set, operator new fails on every thread but the one that set it.
std::atomic<bool> others_may_not_allocate{false};
std::thread::id allowed_thread;

} // namespace

void *operator new(std::size_t size)
{
    if (others_may_not_allocate && std::this_thread::get_id() != allowed_thread)
        throw std::bad_alloc();
    if (void *memory = std::malloc(size > 0 ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void *memory) noexcept
{
    std::free(memory);
}

void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

class TestProgramOutput : public QObject
{
    Q_OBJECT

private slots:
    void writer_thread_allocates_nothing();
};

// Pieces large and small, more than the writer can hold waiting, reach the
// file in order while only the caller's thread may allocate.
void TestProgramOutput::writer_thread_allocates_nothing()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath("program.dms");
    QByteArray expected;
    {
        TProgramOutput output(path);
        allowed_thread = std::this_thread::get_id();
        others_may_not_allocate = true;
        QVERIFY(output.Open());
        for (int i = 0; i < 40; ++i) {
            const QByteArray piece(i % 3 == 0 ? 100 : 1 << 20, static_cast<char>('a' + i % 26));
            output.Write(piece);
            expected += piece;
        }
        const bool committed = output.Commit();
        others_may_not_allocate = false;
        QVERIFY(committed);
    }
    QCOMPARE(Read_File(path), expected);
}

QTEST_GUILESS_MAIN(TestProgramOutput)

#include "test_program_output.moc"
