#pragma once

#include <QByteArray>
#include <QString>

#include <string>

class QTextCodec;

// Reads a validation file line by line: decodes it (the locale's encoding, or
// UTF-8, UTF-16 or UTF-32 when a byte-order mark says so), splits it at line
// feeds and normalises every line as QString::simplified() would.
//
// Each line is handed out as bytes in which every character beyond ASCII
// stands as the one byte 0x80, so that byte positions count characters, no
// such character is taken for part of a number or a header, and pure ASCII
// lines, by far the common case, never have to be decoded into a QString.
class TValidationLineReader
{
public:
    explicit TValidationLineReader(const QByteArray &content);

    // Moves to the next line; false at the end of the content. A line feed
    // at the very end does not start a further, empty line.
    bool Next();

    const char *Data() const { return bytes.data(); }
    int Size() const { return static_cast<int>(bytes.size()); }
    // 1-based, counted in line feeds of the file.
    int Line_Number() const { return line_number; }
    // The normalised line as text when it holds a character beyond ASCII,
    // otherwise null: then Data() alone is the line.
    const QString *Text() const { return has_text ? &text : nullptr; }

private:
    bool Next_Byte_Line();
    void Next_Text_Line();
    void Set_Text(QString &&normalised);

    const QByteArray content;
    QTextCodec *codec = nullptr;
    // Set when the encoding cannot be read line by line from the bytes.
    bool decode_whole_content = false;
    QString decoded_content;
    int position = 0;

    std::string bytes;
    QString text;
    bool has_text = false;
    int line_number = 0;
};
