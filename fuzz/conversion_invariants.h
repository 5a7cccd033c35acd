#pragma once

// Properties that every program text must have, whatever bytes it was made
// from, and comparisons of the fast number and line handling with Qt's own.
// Shared by the fuzz target and the regression test that replays its
// findings. Every check returns an empty string when it holds, otherwise a
// description of the first violation.

#include "conversion/number_format.h"
#include "conversion/preferences.h"
#include "conversion/validation_converter.h"
#include "validation/validation_fields.h"
#include "validation/validation_lines.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTextCodec>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tessaline_invariants {

// A cursor over one program line with the pieces the grammar is made of.
class TCursor
{
public:
    explicit TCursor(const std::string &line) : text(line) {}

    bool At_End() const { return position == text.size(); }
    bool Literal(const char *literal)
    {
        const size_t length = std::strlen(literal);
        if (text.compare(position, length, literal) != 0) {
            return false;
        }
        position += length;
        return true;
    }
    // -?(0|[1-9][0-9]*) with no "-0".
    bool Integer(std::string *out = nullptr)
    {
        const size_t start = position;
        const bool negative = Literal("-");
        const size_t digits = position;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
            ++position;
        }
        const size_t length = position - digits;
        if (length == 0 || (length > 1 && text[digits] == '0') ||
            (negative && length == 1 && text[digits] == '0')) {
            return false;
        }
        if (out) {
            *out = text.substr(start, position - start);
        }
        return true;
    }
    // -?(0|[1-9][0-9]*)\.[0-9]{decimals}
    bool Fixed(int decimals, std::string *out = nullptr)
    {
        const size_t start = position;
        Literal("-");
        const size_t digits = position;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
            ++position;
        }
        const size_t length = position - digits;
        if (length == 0 || (length > 1 && text[digits] == '0') || !Literal(".")) {
            return false;
        }
        for (int i = 0; i < decimals; ++i) {
            if (position == text.size() || text[position] < '0' || text[position] > '9') {
                return false;
            }
            ++position;
        }
        if (position < text.size() && text[position] >= '0' && text[position] <= '9') {
            return false;
        }
        if (out) {
            *out = text.substr(start, position - start);
        }
        return true;
    }
    // "%d,%d,%d" with the given decimals, separated by sep.
    bool Fixed_List(const std::vector<int> &decimals, const char *separator,
                    std::string *out = nullptr)
    {
        const size_t start = position;
        for (size_t i = 0; i < decimals.size(); ++i) {
            if ((i > 0 && !Literal(separator)) || !Fixed(decimals[i])) {
                return false;
            }
        }
        if (out) {
            *out = text.substr(start, position - start);
        }
        return true;
    }
    // "PT_f_k", returned with f and k.
    bool Point_Label(std::string &label, std::string &feature, std::string &number)
    {
        const size_t start = position;
        if (!Literal("PT_") || !Integer(&feature) || !Literal("_") || !Integer(&number)) {
            return false;
        }
        label = text.substr(start, position - start);
        return true;
    }

private:
    const std::string &text;
    size_t position = 0;
};

struct TFeatureGrammar
{
    const char *comment;     // "$$ Plane "
    std::vector<int> values; // decimals of the comment's numbers
    const char *label;       // "PLN_"
    const char *nominal;     // ")=FEAT/PLANE,CART,"
    std::vector<int> nominal_values;
    const char *nominal_tail;
    const char *construction; // "CONST/PLANE,F("
};

inline const std::vector<TFeatureGrammar> &Feature_Grammars()
{
    static const std::vector<TFeatureGrammar> grammars = {
        {"$$ Plane ",
         {6, 6, 6, 9, 9, 9, 6},
         "PLN_",
         ")=FEAT/PLANE,CART,",
         {6, 6, 6, 9, 9, 9},
         "",
         "CONST/PLANE,F("},
        {"$$ Line ",
         {6, 6, 6, 9, 9, 9, 6},
         "LN_",
         ")=FEAT/LINE,UNBND,CART,",
         {6, 6, 6, 9, 9, 9},
         ",0.000000000,0.000000000,1.000000000",
         "CONST/LINE,F("},
        {"$$ Circle ",
         {6, 6, 6, 9, 9, 9, 6, 6},
         "CIR_",
         ")=FEAT/CIRCLE,INNER,CART,",
         {6, 6, 6, 9, 9, 9, 6},
         "",
         "CONST/CIRCLE,F("},
        {"$$ Sphere ",
         {6, 6, 6, 6, 6},
         "SPH_",
         ")=FEAT/SPHERE,OUTER,CART,",
         {6, 6, 6, 6},
         "",
         "CONST/SPHERE,F("},
        {"$$ Cylinder ",
         {6, 6, 6, 9, 9, 9, 6, 6},
         "CYL_",
         ")=FEAT/CYLNDR,INNER,CART,",
         {6, 6, 6, 9, 9, 9, 6},
         "",
         "CONST/CYLNDR,F("},
        // A cone's nominal stands at its apex and ends with the apex angle.
        {"$$ Cone ",
         {6, 6, 6, 9, 9, 9, 6, 6, 6},
         "CON_",
         ")=FEAT/CONE,INNER,CART,",
         {6, 6, 6, 9, 9, 9, 6},
         "",
         "CONST/CONE,F("},
        {"$$ Torus ",
         {6, 6, 6, 9, 9, 9, 6, 6, 6},
         "TOR_",
         ")=FEAT/TORUS,INNER,CART,",
         {6, 6, 6, 9, 9, 9, 6, 6},
         "",
         "CONST/TORUS,F("},
    };
    return grammars;
}

inline std::vector<std::string> Header_Lines(qint32 dmis_feature_type)
{
    std::vector<std::string> lines = {
        "$$ Validation DMIS file",
        "DMISMN/'validation.dms' 04.0",
        "FILNAM/'validation.dms'",
        "$$",
        "UNITS/MM,ANGDEC",
        "D(MC_CSY)=DATSET/MCS",
        "MODE/MAN",
        "$$",
        "$$ Increase the display precision to 5 decimal places minimum.",
        "DECPL/ALL,5",
    };
    if (dmis_feature_type == TPreferences::CONSTRUCTED_OFFSET_POINTS) {
        lines.push_back("$$");
        lines.push_back("F(PT_ZERO)=FEAT/POINT,0,0,0,0,0,1");
    }
    return lines;
}

inline std::string Where(size_t line_index, const std::string &line)
{
    return " (program line " + std::to_string(line_index + 1) + ": \"" + line.substr(0, 200) +
           "\")";
}

// The whole program text made by one conversion: header, body, footer.
// feature_count is the size of construction_features after the conversion.
inline std::string Check_Program(const QString &program, qint32 dmis_feature_type,
                                 size_t feature_count)
{
    for (const QChar c : program) {
        if (c.unicode() == 0 || c.unicode() >= 0x80 || c == QLatin1Char('\r')) {
            return "program holds a character that no line of it may hold: U+" +
                   QString::number(c.unicode(), 16).toStdString();
        }
    }
    const std::string text = program.toStdString();
    if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos ||
        text.find("NAN") != std::string::npos || text.find("INF") != std::string::npos) {
        return "program holds nan or inf";
    }
    const std::string footer = "ENDFIL\n";
    if (text.size() < footer.size() ||
        text.compare(text.size() - footer.size(), footer.size(), footer) != 0) {
        return "program does not end with ENDFIL and one line feed";
    }
    if (text.find("ENDFIL") != text.size() - footer.size()) {
        return "ENDFIL stands elsewhere than at the very end";
    }

    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t feed = text.find('\n', start);
        lines.push_back(text.substr(start, feed - start));
        start = feed + 1;
    }

    const std::vector<std::string> header = Header_Lines(dmis_feature_type);
    if (lines.size() < header.size() + 1) {
        return "program is shorter than header and footer";
    }
    for (size_t i = 0; i < header.size(); ++i) {
        if (lines[i] != header[i]) {
            return "header line " + std::to_string(i + 1) + " is \"" + lines[i] +
                   "\" instead of \"" + header[i] + "\"";
        }
    }

    const TFeatureGrammar *grammar = nullptr;
    std::set<std::string> defined_points;
    // Per line, only for the line that follows a point nominal.
    std::string last_label;
    std::string last_coordinates;
    enum
    {
        ANY,
        AFTER_NOMINAL,
        AFTER_MEAS,
        AFTER_PTMEAS
    } point_state = ANY;
    bool in_constructions = false;
    size_t constructions = 0;

    // The construction statement being read, if any.
    bool in_statement = false;
    std::string statement_feature;
    long long statement_references = 0;
    bool statement_first_line = false;
    std::string pending_nominal; // the name a construction must follow

    const size_t body_end = lines.size() - 1;
    for (size_t i = header.size(); i < body_end; ++i) {
        const std::string &line = lines[i];
        TCursor cursor(line);
        const std::string where = Where(i, line);

        if (point_state == AFTER_NOMINAL && dmis_feature_type == TPreferences::MEASURED_POINTS) {
            if (line != "MEAS/POINT,F(" + last_label + "),1") {
                return "point nominal not followed by its MEAS/POINT" + where;
            }
            point_state = AFTER_MEAS;
            continue;
        }
        if (point_state == AFTER_NOMINAL &&
            dmis_feature_type == TPreferences::CONSTRUCTED_OFFSET_POINTS) {
            if (line != "CONST/POINT,F(" + last_label + "),MOVEPT,F(PT_ZERO)," + last_coordinates) {
                return "point nominal not followed by its offset construction" + where;
            }
            point_state = ANY;
            continue;
        }
        if (point_state == AFTER_MEAS) {
            if (line !=
                "    PTMEAS/CART," + last_coordinates + ",0.000000000,0.000000000,1.000000000") {
                return "MEAS/POINT not followed by the point's PTMEAS" + where;
            }
            point_state = AFTER_PTMEAS;
            continue;
        }
        if (point_state == AFTER_PTMEAS) {
            if (line != "ENDMES") {
                return "PTMEAS not followed by ENDMES" + where;
            }
            point_state = ANY;
            continue;
        }
        point_state = ANY;

        if (in_statement) {
            if (cursor.Literal(",")) {
                // A continuation line of the statement being read.
                TCursor references(line);
                long long count = 0;
                std::string label, feature, number;
                while (references.Literal(",FA(")) {
                    if (!references.Point_Label(label, feature, number) ||
                        !references.Literal(")")) {
                        return "malformed point reference" + where;
                    }
                    if (!defined_points.count(label)) {
                        return "reference to " + label + ", which no earlier line defined" + where;
                    }
                    ++statement_references;
                    if (feature != statement_feature ||
                        number != std::to_string(statement_references)) {
                        return "reference " + label + " out of order in the construction of " +
                               "feature " + statement_feature + where;
                    }
                    ++count;
                }
                const bool continued = references.Literal("$");
                if (!references.At_End()) {
                    return "unexpected text in a construction line" + where;
                }
                if (count == 0 || count > 7 || (continued && count != 7)) {
                    return "continuation line holds " + std::to_string(count) + " references" +
                           (continued ? " and a $" : "") + where;
                }
                in_statement = continued;
                continue;
            }
            return "construction statement ends with a $ line" + Where(i - 1, lines[i - 1]);
        }

        if (line == "$$") {
            pending_nominal.clear();
            continue;
        }
        if (line == "$$  ERR:  Number of data points greater than defined in feature.") {
            if (in_constructions) {
                return "ERR comment among the constructions" + where;
            }
            continue;
        }

        // Feature comment.
        bool matched = false;
        for (const TFeatureGrammar &candidate : Feature_Grammars()) {
            TCursor comment(line);
            if (comment.Literal(candidate.comment)) {
                if (grammar && grammar != &candidate) {
                    return "feature comments of two types" + where;
                }
                grammar = &candidate;
                if (in_constructions) {
                    return "feature comment among the constructions" + where;
                }
                if (!comment.Fixed_List(candidate.values, " ") || !comment.At_End()) {
                    return "malformed feature comment" + where;
                }
                matched = true;
                break;
            }
        }
        if (matched) {
            continue;
        }

        // Point nominal.
        if (cursor.Literal("F(PT_")) {
            TCursor nominal(line);
            std::string label, feature, number;
            if (!nominal.Literal("F(") || !nominal.Point_Label(label, feature, number) ||
                !nominal.Literal(")=FEAT/POINT,CART,") ||
                !nominal.Fixed_List({6, 6, 6}, ",", &last_coordinates) ||
                !nominal.Literal(",0.000000000,0.000000000,1.000000000") || !nominal.At_End()) {
                return "malformed point nominal" + where;
            }
            if (in_constructions) {
                return "point nominal among the constructions" + where;
            }
            if (!grammar) {
                return "point nominal before any feature comment" + where;
            }
            defined_points.insert(label);
            last_label = label;
            point_state = AFTER_NOMINAL;
            continue;
        }

        // Feature nominal, then its construction head.
        if (grammar) {
            TCursor nominal(line);
            std::string number;
            if (nominal.Literal("F(") && nominal.Literal(grammar->label)) {
                if (!nominal.Integer(&number) || !nominal.Literal(grammar->nominal) ||
                    !nominal.Fixed_List(grammar->nominal_values, ",") ||
                    !nominal.Literal(grammar->nominal_tail) || !nominal.At_End()) {
                    return "malformed feature nominal" + where;
                }
                if (i == 0 || lines[i - 1] != "$$") {
                    return "feature nominal without its $$ line" + where;
                }
                in_constructions = true;
                pending_nominal = number;
                continue;
            }
            TCursor head(line);
            if (head.Literal(grammar->construction)) {
                if (!head.Literal(grammar->label) || !head.Integer(&number) ||
                    !head.Literal("),BF")) {
                    return "malformed construction head" + where;
                }
                if (pending_nominal.empty() || number != pending_nominal) {
                    return "construction without its nominal" + where;
                }
                pending_nominal.clear();
                ++constructions;
                long long count = 0;
                std::string label, feature, point;
                while (head.Literal(",FA(")) {
                    if (!head.Point_Label(label, feature, point) || !head.Literal(")")) {
                        return "malformed point reference" + where;
                    }
                    if (!defined_points.count(label)) {
                        return "reference to " + label + ", which no earlier line defined" + where;
                    }
                    ++count;
                    if (feature != number || point != std::to_string(count)) {
                        return "reference " + label + " out of order in the construction of " +
                               "feature " + number + where;
                    }
                }
                const bool continued = head.Literal("$");
                if (!head.At_End()) {
                    return "unexpected text in a construction head" + where;
                }
                if (count > 5 || (continued && count != 5) || (count == 0 && continued)) {
                    return "construction head holds " + std::to_string(count) + " references" +
                           (continued ? " and a $" : "") + where;
                }
                if (count == 0) {
                    return "construction of a feature without points" + where;
                }
                in_statement = continued;
                statement_feature = number;
                statement_references = count;
                statement_first_line = true;
                continue;
            }
        }

        return "line of no known kind" + where;
    }
    (void)statement_first_line;

    if (in_statement) {
        return "program ends inside a construction statement";
    }
    if (point_state != ANY && (dmis_feature_type == TPreferences::MEASURED_POINTS ||
                               dmis_feature_type == TPreferences::CONSTRUCTED_OFFSET_POINTS)) {
        return "program ends inside a point's statements";
    }
    if (!pending_nominal.empty()) {
        return "feature nominal without its construction";
    }
    if (constructions != feature_count) {
        return std::to_string(constructions) + " construction statements for " +
               std::to_string(feature_count) + " collected features";
    }
    return {};
}

// Write_Fixed must give exactly the text of QString::arg(value, 0, 'f', p).
inline std::string Check_Fixed(double value, int precision)
{
    char buffer[MAX_FIXED_LENGTH];
    const char *end = Write_Fixed(buffer, value, precision);
    const QString fast = QString::fromLatin1(buffer, static_cast<int>(end - buffer));
    const QString qt = QStringLiteral("%1").arg(value, 0, 'f', precision);
    if (fast != qt) {
        char exact[64];
        std::snprintf(exact, sizeof exact, "%a", value);
        return "Write_Fixed(" + std::string(exact) + ", " + std::to_string(precision) + ") is \"" +
               fast.toStdString() + "\", Qt writes \"" + qt.toStdString() + "\"";
    }
    return {};
}

// The number fields of a line must read as the C library reads them, and a
// field that reads must be one the documented grammar allows.
inline std::string Check_Field(const char *begin, const char *end)
{
    const std::string field(begin, end);
    double value = -1;
    const bool read = Read_Real(TField{begin, end}, value);

    // The grammar: [+-]? digits [. digits] [eE [+-] digits], at least one
    // digit in the mantissa.
    size_t p = 0;
    if (p < field.size() && (field[p] == '+' || field[p] == '-')) {
        ++p;
    }
    size_t digits = 0;
    while (p < field.size() && std::isdigit(static_cast<unsigned char>(field[p]))) {
        ++p;
        ++digits;
    }
    if (p < field.size() && field[p] == '.') {
        ++p;
        while (p < field.size() && std::isdigit(static_cast<unsigned char>(field[p]))) {
            ++p;
            ++digits;
        }
    }
    bool grammatical = digits > 0;
    if (grammatical && p < field.size() && (field[p] == 'e' || field[p] == 'E')) {
        ++p;
        if (p < field.size() && (field[p] == '+' || field[p] == '-')) {
            ++p;
        }
        const size_t exponent = p;
        while (p < field.size() && std::isdigit(static_cast<unsigned char>(field[p]))) {
            ++p;
        }
        grammatical = p > exponent;
    }
    grammatical = grammatical && p == field.size();

    if (!read) {
        if (value != 0 || std::signbit(value)) {
            return "field \"" + field + "\" does not read but its value is not 0";
        }
        if (grammatical) {
            // Only a value beyond the range of a double may fail.
            errno = 0;
            const double c_value = std::strtod(field.c_str(), nullptr);
            if (errno != ERANGE && std::isfinite(c_value)) {
                return "field \"" + field + "\" is a number but does not read";
            }
        }
        return {};
    }
    if (!grammatical) {
        return "field \"" + field + "\" reads as a number but is none";
    }
    if (!std::isfinite(value)) {
        return "field \"" + field + "\" reads as a value that is not finite";
    }
    errno = 0;
    const double c_value = std::strtod(field.c_str(), nullptr);
    if (c_value != value) {
        return "field \"" + field + "\" reads as " + std::to_string(value) +
               ", the C library reads " + std::to_string(c_value);
    }
    const bool ok_qt = [&] {
        bool ok = false;
        const double qt = QLocale::c().toDouble(QString::fromStdString(field), &ok);
        return ok && qt == value;
    }();
    if (!ok_qt && std::fabs(value) >= 1e-300) {
        return "field \"" + field + "\" reads as " + std::to_string(value) +
               ", which Qt's C locale does not confirm";
    }
    qint32 integer = -1;
    if (Read_Integer(TField{begin, end}, integer)) {
        bool ok = false;
        const int qt = QString::fromStdString(field).toInt(&ok, 10);
        if (!ok || qt != integer) {
            return "integer field \"" + field + "\" reads as " + std::to_string(integer) +
                   " but Qt reads " + (ok ? std::to_string(qt) : std::string("nothing"));
        }
    } else if (integer != 0) {
        return "integer field \"" + field + "\" does not read but its value is not 0";
    }
    return {};
}

// The line reader against the straightforward road: decode the whole
// content, split it at line feeds, simplify every line.
inline std::string Check_Line_Reader(const QByteArray &content, int decode_piece_size)
{
    QTextCodec *codec = QTextCodec::codecForUtfText(content, QTextCodec::codecForLocale());
    QTextCodec::ConverterState state;
    const QString decoded = codec->toUnicode(content.constData(), content.size(), &state);
    QStringList expected = decoded.split(QLatin1Char('\n'));
    if (decoded.isEmpty() || decoded.endsWith(QLatin1Char('\n'))) {
        expected.removeLast();
    }

    TValidationLineReader reader(content, decode_piece_size);
    int index = 0;
    while (reader.Next()) {
        if (index >= expected.size()) {
            return "line reader hands out more lines than the content has (" +
                   std::to_string(expected.size()) + ")";
        }
        const QString line = expected[index].simplified();
        ++index;
        if (reader.Line_Number() != index) {
            return "line " + std::to_string(index) + " is numbered " +
                   std::to_string(reader.Line_Number());
        }
        std::string bytes;
        bool beyond_ascii = false;
        for (const QChar c : line) {
            if (c.unicode() < 0x80) {
                bytes += static_cast<char>(c.unicode());
            } else {
                bytes += static_cast<char>(0x80);
                beyond_ascii = true;
            }
        }
        const std::string got(reader.Data(), static_cast<size_t>(reader.Size()));
        if (got != bytes) {
            return "line " + std::to_string(index) + " reads as \"" + got + "\" instead of \"" +
                   bytes + "\"";
        }
        if (beyond_ascii != reader.Has_Wide_Characters()) {
            return "line " + std::to_string(index) +
                   " has its text when it should not, or not "
                   "when it should";
        }
        if (reader.Text() != line) {
            return "text of line " + std::to_string(index) + " differs from the decoded line";
        }
    }
    if (index != expected.size()) {
        return "line reader hands out " + std::to_string(index) + " lines instead of " +
               std::to_string(expected.size());
    }
    return {};
}

// Everything the fuzz target checks on one input. The first byte chooses
// the conversion: bits 0-1 the point output type (measured, offset,
// measured, or the out-of-range value 2 an edited settings file may hold),
// bits 2-4 the locale's text encoding. The other bytes are the file.
inline std::string Check_Input(const uint8_t *data, size_t size)
{
    static const char *const locale_codecs[8] = {"UTF-8",   "ISO-8859-1",  "windows-1252",
                                                 "KOI8-R",  "ISO-8859-15", "Shift_JIS",
                                                 "GB18030", "EUC-JP"};
    static const qint32 feature_types[4] = {TPreferences::MEASURED_POINTS,
                                            TPreferences::CONSTRUCTED_OFFSET_POINTS,
                                            TPreferences::MEASURED_POINTS, 2};
    if (size < 1) {
        return {};
    }
    const uint8_t selector = data[0];
    const QByteArray content(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));

    QTextCodec *codec = QTextCodec::codecForName(locale_codecs[(selector >> 2) & 7]);
    if (!codec) {
        return std::string("Qt has no codec ") + locale_codecs[(selector >> 2) & 7];
    }
    QTextCodec *const previous_codec = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(codec);
    struct TRestore
    {
        QTextCodec *codec;
        ~TRestore() { QTextCodec::setCodecForLocale(codec); }
    } restore{previous_codec};

    TValidationConverter converter;
    converter.preferences.dmis_feature_type =
        static_cast<TPreferences::TDMISFeatureType>(feature_types[selector & 3]);
    converter.Convert(content);
    std::string result = Check_Program(converter.dmis_text, converter.preferences.dmis_feature_type,
                                       converter.construction_features.size());
    if (!result.empty()) {
        return result;
    }

    // A second conversion on the same object starts from nothing, and
    // reporting irregularities never changes the program.
    const QString first = converter.dmis_text;
    converter.Convert(content);
    if (converter.dmis_text != first) {
        return "a second conversion of the same content gives another program";
    }
    converter.diagnostic_handler = [](const TValidationConverter::TDiagnostic &diagnostic) {
        (void)diagnostic;
    };
    converter.Convert(content);
    if (converter.dmis_text != first) {
        return "installing a diagnostic handler changes the program";
    }

    // A sink takes the same program in pieces, and leaves no text behind.
    converter.diagnostic_handler = nullptr;
    QByteArray pieces;
    int piece_count = 0;
    converter.text_sink = [&pieces, &piece_count](const QByteArray &piece) {
        pieces += piece;
        ++piece_count;
    };
    converter.Convert(content);
    if (pieces != first.toLatin1() || !converter.dmis_text.isEmpty() || piece_count < 1) {
        return "the pieces handed to a text sink are not the program";
    }

    // Pieces of every small size put the decoding's piece boundaries inside
    // characters and line ends.
    for (const int decode_piece_size : {TValidationLineReader::DECODE_PIECE_SIZE, 1, 2, 3, 5}) {
        result = Check_Line_Reader(content, decode_piece_size);
        if (!result.empty()) {
            return "with decoding pieces of " + std::to_string(decode_piece_size) +
                   " bytes: " + result;
        }
    }

    constexpr int max_fields = 64;
    TField fields[max_fields];
    TValidationLineReader reader(content);
    while (reader.Next()) {
        const int count =
            Split_Fields(reader.Data(), reader.Data() + reader.Size(), fields, max_fields);
        for (int i = 0; i < count && i < max_fields; ++i) {
            result = Check_Field(fields[i].begin, fields[i].end);
            if (!result.empty()) {
                return result;
            }
        }
    }

    // Doubles straight from the bytes, and values on or near the rounding
    // ties of each precision, which the fast formatting treats apart.
    for (size_t offset = 1; offset + 8 <= size && offset < 1 + 8 * 64; offset += 8) {
        uint64_t bits;
        std::memcpy(&bits, data + offset, sizeof bits);
        double raw;
        std::memcpy(&raw, &bits, sizeof raw);
        const int chosen = static_cast<int>(bits % 10);
        const double tie = std::ldexp(static_cast<double>(static_cast<int32_t>(bits >> 16)),
                                      -static_cast<int>((bits >> 8) % 48));
        const double decimal =
            static_cast<double>(static_cast<int64_t>(bits) % 1000000000000LL) * 1e-7;
        for (const double value : {raw, tie, -tie, decimal}) {
            for (const int precision : {6, 9, chosen}) {
                result = Check_Fixed(value, precision);
                if (!result.empty()) {
                    return result;
                }
            }
        }
    }
    return {};
}

} // namespace tessaline_invariants
