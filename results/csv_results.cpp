#include "results/csv_results.h"

#include "results/result_fields.h"

namespace {

enum TColumn
{
    LABEL,
    X,
    Y,
    Z,
    I,
    J,
    K,
    DIAMETER,
    ANGLE,          // a cone's included angle, degrees
    MINOR_DIAMETER, // a torus'
    FORM,           // optional for every type; an empty field states none
    UNIT,           // the row's length unit, mm or inch
    COLUMNS
};

const char *const COLUMN_NAMES[COLUMNS] = {
    "label", "x", "y", "z", "i", "j", "k", "diameter", "angle", "minor_diameter", "form", "unit"};
const char *const COLUMN_KEYWORDS[COLUMNS] = {
    "LABEL", "X", "Y", "Z", "I", "J", "K", "DIAMETER", "ANGLE", "MINOR_DIAMETER", "FORM", "UNIT"};

constexpr double MILLIMETRES_PER_INCH = 25.4;

// The fields of a line one after the other, blanks trimmed. A comma inside
// a field that starts with a double quote, before the closing quote, does
// not end the field.
class TCsvFields
{
public:
    explicit TCsvFields(const TField &line) : next_(line.begin), end_(line.end) {}

    bool Next(TField &field)
    {
        if (done_) {
            return false;
        }
        const char *start = next_;
        while (start != end_ && Is_Blank(*start)) {
            ++start;
        }
        const char *p = start;
        if (p != end_ && *p == '"') {
            // "" inside quotes is a quote, so each quote pair closes and
            // reopens: skip to the quote that no second quote follows.
            ++p;
            for (;;) {
                while (p != end_ && *p != '"') {
                    ++p;
                }
                if (p == end_) {
                    break;
                }
                ++p;
                if (p == end_ || *p != '"') {
                    break;
                }
                ++p;
            }
        }
        while (p != end_ && *p != ',') {
            ++p;
        }
        field = Trim_Blanks(TField{start, p});
        if (p == end_) {
            done_ = true;
        } else {
            next_ = p + 1;
        }
        return true;
    }

private:
    const char *next_;
    const char *end_;
    bool done_ = false;
};

// A field without its double quotes, when it is quoted; "" stands for a quote.
QByteArray Unquoted(const TField &field, bool &quoted)
{
    const qptrdiff size = field.end - field.begin;
    quoted = size >= 2 && field.begin[0] == '"' && field.end[-1] == '"';
    if (!quoted) {
        return QByteArray::fromRawData(field.begin, static_cast<int>(size));
    }
    QByteArray text;
    text.reserve(static_cast<int>(size - 2));
    for (const char *p = field.begin + 1; p != field.end - 1; ++p) {
        text += *p;
        if (*p == '"' && p + 1 != field.end - 1 && p[1] == '"') {
            ++p;
        }
    }
    return text;
}

TField Field_Of(const QByteArray &text)
{
    return TField{text.constData(), text.constData() + text.size()};
}

int Column_Of(const TField &name)
{
    bool quoted = false;
    const QByteArray text = Unquoted(name, quoted);
    for (int column = 0; column < COLUMNS; ++column) {
        if (Is_Keyword(Field_Of(text), COLUMN_KEYWORDS[column])) {
            return column;
        }
    }
    return -1;
}

bool Is_Blank_Line(const TField &line)
{
    return Is_Empty(Trim_Blanks(line));
}

class TCsvReader
{
public:
    TCsvReader(TResultsCollector &collector, double millimetres_per_unit)
        : collector_(collector), millimetres_per_unit_(millimetres_per_unit)
    {
        for (int &index : index_) {
            index = -1;
        }
    }

    void Header(const TField &line, int line_number);
    void Row(const TField &line, int line_number);

private:
    TResultsCollector &collector_;
    const double millimetres_per_unit_; // of the rows without a unit of their own
    int index_[COLUMNS];                // field index of each column, -1 when absent
    int header_fields_ = 0;
};

void TCsvReader::Header(const TField &line, int line_number)
{
    TCsvFields fields(line);
    TField field;
    for (int n = 0; fields.Next(field); ++n) {
        header_fields_ = n + 1;
        const int column = Column_Of(field);
        if (column < 0) {
            collector_.Warn(line_number,
                            QStringLiteral("column %1 %2 is not one of label, x, y, z, i, j, k, "
                                           "diameter, angle, minor_diameter, form, unit and is "
                                           "not read")
                                .arg(n + 1)
                                .arg(Quoted(field)));
        } else if (index_[column] >= 0) {
            collector_.Warn(line_number, QStringLiteral("column %1 \"%2\" repeats column %3 and is "
                                                        "not read")
                                             .arg(n + 1)
                                             .arg(QLatin1String(COLUMN_NAMES[column]))
                                             .arg(index_[column] + 1));
        } else {
            index_[column] = n;
        }
    }
}

void TCsvReader::Row(const TField &line, int line_number)
{
    TField found[COLUMNS] = {};
    TCsvFields fields(line);
    TField field;
    int count = 0;
    for (; fields.Next(field); ++count) {
        for (int column = 0; column < COLUMNS; ++column) {
            if (index_[column] == count) {
                found[column] = field;
            }
        }
    }
    if (index_[LABEL] >= count) {
        collector_.Warn(
            line_number,
            QStringLiteral("row has %1 fields, the header has %2").arg(count).arg(header_fields_));
        return;
    }
    bool quoted = false;
    const QByteArray label = Unquoted(found[LABEL], quoted);
    if (label.isEmpty() && !quoted) {
        collector_.Warn(line_number,
                        QStringLiteral("field %1 \"label\" is empty").arg(index_[LABEL] + 1));
        return;
    }
    const int index = collector_.Match(Field_Of(label), line_number);
    if (index < 0) {
        return;
    }
    TTestedFeature feature;
    feature.line_number = line_number;
    if (count != header_fields_) {
        collector_.Warn(
            line_number,
            QStringLiteral("row has %1 fields, the header has %2").arg(count).arg(header_fields_));
        collector_.Add(index, feature);
        return;
    }

    const TFeatureType type = collector_.Reference(index).type;
    bool needed[COLUMNS] = {false, true, true, true, true, true, true};
    needed[DIAMETER] = type != TFeatureType::PLANE && type != TFeatureType::LINE;
    needed[ANGLE] = type == TFeatureType::CONE;
    needed[MINOR_DIAMETER] = type == TFeatureType::TORUS;
    if (type == TFeatureType::SPHERE) {
        needed[I] = needed[J] = needed[K] = false;
    }
    bool usable = true;
    for (int column = X; column < COLUMNS; ++column) {
        if (needed[column] && index_[column] < 0) {
            collector_.Warn(line_number, QStringLiteral("no column \"%1\", which %2 needs")
                                             .arg(QLatin1String(COLUMN_NAMES[column]),
                                                  QLatin1String(Type_Name(type))));
            usable = false;
        }
    }
    const bool states_form = index_[FORM] >= 0 && !Is_Empty(found[FORM]);
    // The present columns in the order of the row, so that the warnings
    // come in field order.
    int order[COLUMNS];
    int present = 0;
    for (int column = X; column < COLUMNS; ++column) {
        if ((needed[column] || (column == FORM && states_form)) && index_[column] >= 0) {
            int at = present++;
            for (; at > 0 && index_[order[at - 1]] > index_[column]; --at) {
                order[at] = order[at - 1];
            }
            order[at] = column;
        }
    }
    double millimetres = millimetres_per_unit_;
    if (index_[UNIT] >= 0) {
        bool quoted_unit = false;
        const QByteArray unit = Unquoted(found[UNIT], quoted_unit);
        const TField unit_field = Field_Of(unit);
        if (Is_Keyword(unit_field, "MM")) {
            millimetres = 1;
        } else if (Is_Keyword(unit_field, "INCH") || Is_Keyword(unit_field, "IN")) {
            millimetres = MILLIMETRES_PER_INCH;
        } else {
            collector_.Warn(line_number, QStringLiteral("field %1 \"unit\" %2 is neither mm nor "
                                                        "inch; the result cannot be used")
                                             .arg(index_[UNIT] + 1)
                                             .arg(Quoted(found[UNIT])));
            usable = false;
        }
    }
    double values[COLUMNS] = {};
    double resolutions[COLUMNS] = {};
    bool form_read = false;
    for (int n = 0; n < present; ++n) {
        const int column = order[n];
        const TResultNumber number{found[column], index_[column] + 1, COLUMN_NAMES[column],
                                   (column < I || column > K) && column != ANGLE, column == ANGLE};
        const bool read =
            Read_Result_Number(number, column == ANGLE ? RADIANS_PER_DEGREE : millimetres,
                               line_number, collector_, values[column], resolutions[column]);
        // A form that does not read leaves the feature without one, not
        // unusable: its position and size are still the software's.
        if (column == FORM) {
            form_read = read;
        } else {
            usable = read && usable;
        }
    }
    if (usable && needed[ANGLE]) {
        usable = Usable_Cone_Angle(values[ANGLE],
                                   QStringLiteral("field %1 \"angle\"").arg(index_[ANGLE] + 1),
                                   line_number, collector_);
    }
    if (usable) {
        feature.usable = true;
        feature.position = TVector3(values[X], values[Y], values[Z]);
        feature.position_resolution = qMax(resolutions[X], qMax(resolutions[Y], resolutions[Z]));
        if (type != TFeatureType::SPHERE) {
            feature.direction = TVector3(values[I], values[J], values[K]);
            feature.direction_resolution =
                qMax(resolutions[I], qMax(resolutions[J], resolutions[K]));
        }
        if (needed[DIAMETER]) {
            // A cone's at the point given, 0 at its vertex.
            feature.diameter = values[DIAMETER];
            feature.diameter_resolution = resolutions[DIAMETER];
        }
        if (needed[ANGLE]) {
            feature.apex_angle = values[ANGLE];
            feature.apex_angle_resolution = resolutions[ANGLE];
        }
        if (needed[MINOR_DIAMETER]) {
            feature.minor_diameter = values[MINOR_DIAMETER];
            feature.minor_diameter_resolution = resolutions[MINOR_DIAMETER];
        }
        if (form_read) {
            feature.has_form = true;
            feature.form = values[FORM];
            feature.form_resolution = resolutions[FORM];
        }
    }
    collector_.Add(index, feature);
}

} // namespace

bool Is_Csv_Header(const TField &line)
{
    TCsvFields fields(line);
    TField field;
    while (fields.Next(field)) {
        if (Column_Of(field) == LABEL) {
            return true;
        }
    }
    return false;
}

int Read_Csv_Results(const char *begin, const char *end, TCsvUnit unit,
                     TResultsCollector &collector)
{
    int rows = 0;
    TCsvReader reader(collector, unit == TCsvUnit::INCH ? MILLIMETRES_PER_INCH : 1.0);
    TTextLines lines(begin, end);
    TField line;
    int line_number = 0;
    bool header = true;
    while (lines.Next(line, line_number)) {
        if (Is_Blank_Line(line)) {
            continue;
        }
        if (header) {
            reader.Header(line, line_number);
            header = false;
        } else {
            reader.Row(line, line_number);
            ++rows;
        }
    }
    return rows;
}
