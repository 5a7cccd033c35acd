#include "validation/validation_lines.h"

#include <algorithm>
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

// UTF-16 and UTF-32, which decode piece by piece exactly as whole when every
// piece holds whole code units.
int Code_Unit_Size(int mib)
{
    switch (mib) {
    case 1013: // UTF-16BE
    case 1014: // UTF-16LE
    case 1015: // UTF-16
        return 2;
    case 1017: // UTF-32
    case 1018: // UTF-32BE
    case 1019: // UTF-32LE
        return 4;
    default:
        return 0;
    }
}

// ASCII white space exactly as QChar::isSpace() sees it.
inline bool Is_Ascii_Space(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr char WIDE_CHARACTER = static_cast<char>(0x80);

} // namespace

TValidationLineReader::TValidationLineReader(const QByteArray &content_, int decode_piece_size_)
    : content(content_), decode_piece_size(std::max(1, decode_piece_size_))
{
    codec = QTextCodec::codecForUtfText(content, QTextCodec::codecForLocale());
    const int mib = codec->mibEnum();
    if (mib == 106) {
        if (content.startsWith("\xEF\xBB\xBF")) {
            position = 3;
        }
    } else if (!Is_Line_Safe_Ascii_Superset(mib)) {
        // The state carries the decoding from piece to piece; the codec drops
        // the byte-order mark itself, and a second U+FEFF behind it is a
        // character of the first line. Pieces of whole code units decode as
        // the whole does; for other encodings (Shift_JIS, GB18030, ...) no
        // piece boundary is known to be safe, so they decode in one piece.
        decode_whole_content = true;
        const int unit = Code_Unit_Size(mib);
        content_piece_size =
            unit ? std::max(unit, decode_piece_size / unit * unit) : std::max(content.size(), 1);
    }
}

QString TValidationLineReader::Text(int start, int length) const
{
    start = std::clamp(start, 0, Size());
    length = std::clamp(length, 0, Size() - start);
    int wide_index =
        static_cast<int>(std::count(bytes.begin(), bytes.begin() + start, WIDE_CHARACTER));
    QString text;
    text.reserve(length);
    for (int i = start; i < start + length; ++i) {
        const char c = bytes[static_cast<size_t>(i)];
        text += c == WIDE_CHARACTER ? wide_characters[wide_index++] : QLatin1Char(c);
    }
    return text;
}

bool TValidationLineReader::Next()
{
    Begin_Line();
    ++line_number;
    const bool read = decode_whole_content ? Next_Decoded_Line() : Next_Byte_Line();
    if (!read) {
        --line_number;
    }
    return read;
}

void TValidationLineReader::Begin_Line()
{
    bytes.clear();
    wide_characters.clear();
    blank_pending = false;
    decoded_length = 0;
    had_carriage_return = false;
    ended_by_line_feed = false;
}

bool TValidationLineReader::Next_Byte_Line()
{
    if (position >= content.size()) {
        return false;
    }
    const char *const data = content.constData();
    const char *const begin = data + position;
    const char *const content_end = data + content.size();
    const char *const line_feed = static_cast<const char *>(
        std::memchr(begin, '\n', static_cast<size_t>(content_end - begin)));
    const char *const end = line_feed ? line_feed : content_end;
    position = static_cast<int>((line_feed ? line_feed + 1 : content_end) - data);
    ended_by_line_feed = line_feed != nullptr;

    bytes.resize(static_cast<size_t>(end - begin));
    char *out = &bytes[0];
    char *const out_begin = out;
    bool blank = false;
    unsigned char all_bits = 0;
    for (const char *p = begin; p != end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        all_bits |= c;
        if (Is_Ascii_Space(c)) {
            blank = out != out_begin;
            had_carriage_return |= c == '\r';
        } else {
            if (blank) {
                *out++ = ' ';
                blank = false;
            }
            *out++ = static_cast<char>(c);
        }
    }

    if (all_bits < 0x80) {
        bytes.resize(static_cast<size_t>(out - out_begin));
        return true;
    }

    // A character beyond ASCII: decode this line alone, piece by piece. The
    // line feed goes along so that a broken sequence before it ends as it
    // would in the whole text; a byte-order mark inside the file stays a
    // character.
    Begin_Line();
    ended_by_line_feed = line_feed != nullptr;
    bytes.reserve(static_cast<size_t>(end - begin));
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const char *const decode_end = line_feed ? line_feed + 1 : end;
    for (const char *piece = begin; piece < decode_end;) {
        // A piece ends just after an ASCII byte, where no character is
        // half decoded, not even a broken one: so pieces decode exactly as
        // the whole line would.
        const char *piece_end = piece + std::min<qint64>(decode_piece_size, decode_end - piece);
        while (piece_end < decode_end && static_cast<unsigned char>(piece_end[-1]) >= 0x80) {
            ++piece_end;
        }
        const QString decoded =
            codec->toUnicode(piece, static_cast<int>(piece_end - piece), &state);
        Append_Normalised(decoded.constData(), decoded.size());
        piece = piece_end;
    }
    // Bytes after the last line feed that begin a character but never end it
    // decode to nothing, as they do at the end of the whole text: no line.
    return line_feed || decoded_length > 0;
}

bool TValidationLineReader::Decode_Next_Piece()
{
    if (position >= content.size()) {
        return false;
    }
    const int length = std::min(content_piece_size, content.size() - position);
    decoded_piece = codec->toUnicode(content.constData() + position, length, &content_state);
    decoded_position = 0;
    position += length;
    return true;
}

bool TValidationLineReader::Next_Decoded_Line()
{
    while (decoded_position == decoded_piece.size()) {
        if (!Decode_Next_Piece()) {
            return false;
        }
    }
    for (;;) {
        const QChar *const chars = decoded_piece.constData();
        const int size = decoded_piece.size();
        int line_feed = decoded_piece.indexOf(QLatin1Char('\n'), decoded_position);
        const int end = line_feed < 0 ? size : line_feed;
        Append_Normalised(chars + decoded_position, end - decoded_position);
        if (line_feed >= 0) {
            decoded_position = line_feed + 1;
            ended_by_line_feed = true;
            return true;
        }
        decoded_position = size;
        if (!Decode_Next_Piece()) {
            return true;
        }
    }
}

void TValidationLineReader::Append_Normalised(const QChar *chars, int count)
{
    decoded_length += count;
    for (int i = 0; i < count; ++i) {
        const QChar c = chars[i];
        if (c.isSpace()) {
            blank_pending = !bytes.empty();
            had_carriage_return |= c == QLatin1Char('\r');
            continue;
        }
        if (blank_pending) {
            bytes += ' ';
            blank_pending = false;
        }
        if (c.unicode() < 0x80) {
            bytes += static_cast<char>(c.unicode());
        } else {
            bytes += WIDE_CHARACTER;
            wide_characters += c;
        }
    }
}
