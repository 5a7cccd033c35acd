#pragma once

#include <QByteArray>
#include <QString>
#include <QTextCodec>

#include <string>

// Reads a validation file line by line: decodes it (the locale's encoding, or
// UTF-8, UTF-16 or UTF-32 when a byte-order mark says so), splits it at line
// feeds and normalises every line as QString::simplified() would.
//
// Each line is handed out as bytes in which every character beyond ASCII
// stands as the one byte 0x80, so that byte positions count characters, no
// such character is taken for part of a number or a header, and pure ASCII
// lines, by far the common case, never have to be decoded into a QString.
// The characters beyond ASCII are kept apart, in line order, so that no line
// is ever held as UTF-16 text: a line of a gigabyte with one accented letter
// in it costs a gigabyte, not three.
class TValidationLineReader
{
public:
    // Text is decoded in pieces of about this many bytes; tests make it
    // small to put the piece boundaries everywhere.
    static constexpr int DECODE_PIECE_SIZE = 1 << 16;

    explicit TValidationLineReader(const QByteArray &content,
                                   int decode_piece_size = DECODE_PIECE_SIZE);

    // Moves to the next line; false at the end of the content. A line feed
    // at the very end does not start a further, empty line.
    bool Next();

    const char *Data() const { return bytes.data(); }
    int Size() const { return static_cast<int>(bytes.size()); }
    // 1-based, counted in line feeds of the file.
    int Line_Number() const { return line_number; }
    // Whether the line holds a character beyond ASCII; when it does not,
    // Data() alone is the line.
    bool Has_Wide_Characters() const { return !wide_characters.isEmpty(); }
    // The characters [start, start + length) of the normalised line.
    QString Text(int start, int length) const;
    QString Text() const { return Text(0, Size()); }
    // Whether the line's raw text held a carriage return, and whether a line
    // feed ended it: a file of carriage returns alone reads as one line.
    bool Had_Carriage_Return() const { return had_carriage_return; }
    bool Ended_By_Line_Feed() const { return ended_by_line_feed; }

private:
    bool Next_Byte_Line();
    bool Next_Decoded_Line();
    bool Decode_Next_Piece();
    void Begin_Line();
    void Append_Normalised(const QChar *chars, int count);

    const QByteArray content;
    const int decode_piece_size;
    int content_piece_size = 0;
    QTextCodec *codec = nullptr;
    // Set when the encoding cannot be read line by line from the bytes.
    bool decode_whole_content = false;
    QTextCodec::ConverterState content_state;
    QString decoded_piece;
    int decoded_position = 0;
    int position = 0;

    std::string bytes;
    QString wide_characters;
    bool blank_pending = false;
    qint64 decoded_length = 0;
    bool had_carriage_return = false;
    bool ended_by_line_feed = false;
    int line_number = 0;
};
