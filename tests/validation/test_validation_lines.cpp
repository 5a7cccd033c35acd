#include "validation/validation_lines.h"

#include <QTextCodec>
#include <QtTest>

namespace {

struct TLine
{
    QString text;
    bool wide;
    bool carriage_return;
    bool line_feed;
};

QList<TLine> Lines_Of(const QByteArray &content, int piece_size)
{
    QList<TLine> lines;
    TValidationLineReader reader(content, piece_size);
    while (reader.Next())
        lines << TLine{reader.Text(), reader.Has_Wide_Characters(), reader.Had_Carriage_Return(),
                       reader.Ended_By_Line_Feed()};
    return lines;
}

QStringList Texts_Of(const QList<TLine> &lines)
{
    QStringList texts;
    for (const TLine &line : lines)
        texts << line.text;
    return texts;
}

} // namespace

class TestValidationLines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void every_piece_size_reads_alike_data();
    void every_piece_size_reads_alike();
    void line_ends_and_carriage_returns();
    void long_line_keeps_its_wide_characters_apart();
    void text_of_a_range();

private:
    QTextCodec *previous_codec = nullptr;
};

void TestValidationLines::initTestCase()
{
    previous_codec = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestValidationLines::cleanupTestCase()
{
    QTextCodec::setCodecForLocale(previous_codec);
}

void TestValidationLines::every_piece_size_reads_alike_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines");
    const QString e_acute = QString(QChar(0xe9));
    QTest::newRow("ASCII") << QByteArray("a  b\t c \n\n  d") << QStringList{"a b c", "", "d"};
    QTest::newRow("UTF-8 with a character across pieces")
        << QByteArray("x \xc3\xa9y\n\xe2\x82\xac 1\n")
        << QStringList{"x " + e_acute + "y", QString(QChar(0x20ac)) + " 1"};
    // The decoder's state inside a broken sequence must never meet a piece
    // boundary: Qt then writes another number of replacement characters.
    QTest::newRow("UTF-8 sequence broken by an ASCII byte")
        << QByteArray("\xef\xbbS \xc3\n")
        << QStringList{
               QTextCodec::codecForName("UTF-8")->toUnicode("\xef\xbbS \xc3\n").simplified()};
    QTest::newRow("UTF-8 no-break space is white space")
        << QByteArray("1\xc2\xa0\xc2\xa0 2\n") << QStringList{"1 2"};
    QTest::newRow("UTF-16 little endian with a byte-order mark")
        << QByteArray("\xff\xfe"
                      "a\0 \0\xe9\0\n\0b\0",
                      12)
        << QStringList{"a " + e_acute, "b"};
    QTest::newRow("UTF-16 big endian, a second mark is a character")
        << QByteArray("\xfe\xff\xfe\xff\0z\0\n", 8) << QStringList{QString(QChar(0xfeff)) + "z"};
    QTest::newRow("UTF-16 cut in a character at the end") << QByteArray("\xff\xfe"
                                                                        "a\0\n\0b",
                                                                        7)
                                                          << QStringList{"a"};
}

void TestValidationLines::every_piece_size_reads_alike()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);
    for (const int piece_size : {TValidationLineReader::DECODE_PIECE_SIZE, 1, 2, 3, 7}) {
        QCOMPARE(Texts_Of(Lines_Of(content, piece_size)), lines);
    }
}

void TestValidationLines::line_ends_and_carriage_returns()
{
    const QList<TLine> lines = Lines_Of("one\r\ntwo\rthree\nfour", 4);
    QCOMPARE(Texts_Of(lines), (QStringList{"one", "two three", "four"}));
    QVERIFY(lines[0].carriage_return && lines[0].line_feed);
    QVERIFY(lines[1].carriage_return && lines[1].line_feed);
    QVERIFY(!lines[2].carriage_return && !lines[2].line_feed);

    const QList<TLine> only_returns = Lines_Of("a\rb\rc\r", 2);
    QCOMPARE(only_returns.size(), 1);
    QVERIFY(only_returns[0].carriage_return && !only_returns[0].line_feed);
    QCOMPARE(only_returns[0].text, QStringLiteral("a b c"));
}

void TestValidationLines::long_line_keeps_its_wide_characters_apart()
{
    // Many pieces long, with the one wide character in the middle.
    QByteArray content(1 << 20, '1');
    content.insert(content.size() / 2, "\xc3\xa9");
    content += " 2\nnext\n";
    TValidationLineReader reader(content, 1000);
    QVERIFY(reader.Next());
    QVERIFY(reader.Has_Wide_Characters());
    QCOMPARE(reader.Size(), (1 << 20) + 1 + 2);
    QCOMPARE(reader.Data()[(1 << 20) / 2], char(0x80));
    QCOMPARE(reader.Text((1 << 20) / 2 - 1, 3), QString("1") + QChar(0xe9) + "1");
    QVERIFY(reader.Next());
    QVERIFY(!reader.Has_Wide_Characters());
    QCOMPARE(reader.Text(), QStringLiteral("next"));
    QVERIFY(!reader.Next());
}

void TestValidationLines::text_of_a_range()
{
    TValidationLineReader reader(QByteArray("\xc3\xa9t\xc3\xa9 \xc3\xa0 ok\n"));
    QVERIFY(reader.Next());
    QCOMPARE(reader.Text(0, 3), QString(QChar(0xe9)) + "t" + QChar(0xe9));
    QCOMPARE(reader.Text(4, 1), QString(QChar(0xe0)));
    QCOMPARE(reader.Text(6, 100), QStringLiteral("ok"));
    QCOMPARE(reader.Text(-5, 2), QString(QChar(0xe9)) + "t");
}

QTEST_GUILESS_MAIN(TestValidationLines)
#include "test_validation_lines.moc"
