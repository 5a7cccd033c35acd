#include "validation/validation_lines.h"

#include <QTextCodec>

#include <cstring>

namespace {

// Encodings in which every byte below 0x80 is the ASCII character on its
// own, never part of a longer sequence, and which carry no shift state: a
// line of such bytes reads the same without decoding, and a line feed
// always ends a character.
bool Is_Line_Safe_Ascii_Superset(int mib)
{
    switch (mib) {
    case 3:    // US-ASCII
    case 106:  // UTF-8
    case 2084: // KOI8-R
    case 2088: // KOI8-U
        return true;
    default:
        // ISO-8859-1 to -10, ISO-8859-13 to -16, windows-1250 to -1258.
        return (mib >= 4 && mib <= 13) || (mib >= 109 && mib <= 112) ||
               (mib >= 2250 && mib <= 2258);
    }
}

// ASCII white space exactly as QChar::isSpace() sees it.
inline bool Is_Ascii_Space(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

TValidationLineReader::TValidationLineReader(const QByteArray &content_) : content(content_)
{
    codec = QTextCodec::codecForUtfText(content, QTextCodec::codecForLocale());
    const int mib = codec->mibEnum();
    if (mib == 106) {
        if (content.startsWith("\xEF\xBB\xBF")) {
            position = 3;
        }
    } else if (!Is_Line_Safe_Ascii_Superset(mib)) {
        QTextCodec::ConverterState state;
        decoded_content = codec->toUnicode(content.constData(), content.size(), &state);
        // The codec drops the byte-order mark itself; a second U+FEFF behind
        // it is a character of the first line.
        decode_whole_content = true;
    }
}

bool TValidationLineReader::Next()
{
    const int size = decode_whole_content ? decoded_content.size() : content.size();
    if (position >= size) {
        return false;
    }
    ++line_number;
    if (decode_whole_content) {
        Next_Text_Line();
        return true;
    }
    return Next_Byte_Line();
}

bool TValidationLineReader::Next_Byte_Line()
{
    const char *const data = content.constData();
    const char *const begin = data + position;
    const char *const content_end = data + content.size();
    const char *const line_feed = static_cast<const char *>(
        std::memchr(begin, '\n', static_cast<size_t>(content_end - begin)));
    const char *const end = line_feed ? line_feed : content_end;
    position = static_cast<int>((line_feed ? line_feed + 1 : content_end) - data);

    bytes.resize(static_cast<size_t>(end - begin));
    char *out = &bytes[0];
    char *const out_begin = out;
    bool blank_pending = false;
    unsigned char all_bits = 0;
    for (const char *p = begin; p != end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        all_bits |= c;
        if (Is_Ascii_Space(c)) {
            blank_pending = out != out_begin;
        } else {
            if (blank_pending) {
                *out++ = ' ';
                blank_pending = false;
            }
            *out++ = static_cast<char>(c);
        }
    }

    if (all_bits < 0x80) {
        bytes.resize(static_cast<size_t>(out - out_begin));
        has_text = false;
        return true;
    }

    // A character beyond ASCII: decode this line alone. The line feed goes
    // along so that a broken sequence before it ends as it would in the
    // whole text; a byte-order mark inside the file stays a character.
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const int length = static_cast<int>((line_feed ? line_feed + 1 : end) - begin);
    QString decoded = codec->toUnicode(begin, length, &state);
    // Bytes after the last line feed that begin a character but never end it
    // decode to nothing, as they do at the end of the whole text: no line.
    if (!line_feed && decoded.isEmpty()) {
        --line_number;
        return false;
    }
    Set_Text(std::move(decoded).simplified());
    return true;
}

void TValidationLineReader::Next_Text_Line()
{
    int line_feed = decoded_content.indexOf(QLatin1Char('\n'), position);
    if (line_feed < 0) {
        line_feed = decoded_content.size();
    }
    QString line = decoded_content.mid(position, line_feed - position);
    position = line_feed + 1;
    Set_Text(std::move(line).simplified());
}

void TValidationLineReader::Set_Text(QString &&normalised)
{
    text = std::move(normalised);
    bytes.resize(static_cast<size_t>(text.size()));
    has_text = false;
    const QChar *chars = text.constData();
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = chars[i].unicode();
        if (c < 0x80) {
            bytes[static_cast<size_t>(i)] = static_cast<char>(c);
        } else {
            bytes[static_cast<size_t>(i)] = static_cast<char>(0x80);
            has_text = true;
        }
    }
}
