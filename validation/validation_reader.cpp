#include "validation/validation_reader.h"

#include "validation/cone_apex.h"
#include "validation/validation_lines.h"

#include <algorithm>
#include <cstring>

namespace {

// In the order of TFeatureType.
const TValidationType VALIDATION_TYPES[] = {
    {TFeatureType::PLANE, "Best_Fit_Validation:Version=1:Type=Plane", "plane", 5, 9, 0, true, 0, 0,
     "PLN_", "plane"},
    {TFeatureType::LINE, "Best_Fit_Validation:Version=1:Type=Line", "line", 4, 9, 0, true, 0, 0,
     "LN_", "line"},
    {TFeatureType::CIRCLE, "Best_Fit_Validation:Version=1:Type=Circle", "circle", 6, 10, 9, true, 0,
     0, "CIR_", "circle"},
    {TFeatureType::SPHERE, "Best_Fit_Validation:Version=1:Type=Sphere", "sphere", 6, 7, 6, false, 0,
     0, "SPH_", "sphere"},
    {TFeatureType::CYLINDER, "Best_Fit_Validation:Version=1:Type=Cylinder", "cylinder", 8, 10, 9,
     true, 0, 0, "CYL_", "cylinder"},
    {TFeatureType::CONE, "Best_Fit_Validation:Version=1:Type=Cone", "cone", 4, 11, 10, true, 9, 0,
     "CON_", "cone"},
    {TFeatureType::TORUS, "Best_Fit_Validation:Version=1:Type=Torus", "torus", 5, 11, 9, true, 0,
     10, "TOR_", "torus"},
};

// Minimax files: the reference and F, the record's trailing value, are of
// the stated criterion.
const TValidationType MINIMAX_VALIDATION_TYPES[] = {
    {TFeatureType::LINE, "Minimax_Validation:Version=1:Type=Line:Criterion=MinimumZone", "line", 4,
     12, 0, true, 0, 0, "LN_", "line", TCriterion::MINIMUM_ZONE, 9, 12},
    {TFeatureType::PLANE, "Minimax_Validation:Version=1:Type=Plane:Criterion=MinimumZone", "plane",
     5, 9, 0, true, 0, 0, "PLN_", "plane", TCriterion::MINIMUM_ZONE, 0, 9},
    {TFeatureType::CIRCLE, "Minimax_Validation:Version=1:Type=Circle:Criterion=MinimumZone",
     "circle", 6, 10, 9, true, 0, 0, "CIR_", "circle", TCriterion::MINIMUM_ZONE, 0, 10},
    {TFeatureType::CIRCLE,
     "Minimax_Validation:Version=1:Type=Circle:Criterion=MinimumCircumscribed", "circle", 6, 10, 9,
     true, 0, 0, "CIR_", "circle", TCriterion::MINIMUM_CIRCUMSCRIBED, 0, 10},
    {TFeatureType::CIRCLE, "Minimax_Validation:Version=1:Type=Circle:Criterion=MaximumInscribed",
     "circle", 6, 10, 9, true, 0, 0, "CIR_", "circle", TCriterion::MAXIMUM_INSCRIBED, 0, 10},
    {TFeatureType::SPHERE, "Minimax_Validation:Version=1:Type=Sphere:Criterion=MinimumZone",
     "sphere", 6, 7, 6, false, 0, 0, "SPH_", "sphere", TCriterion::MINIMUM_ZONE, 0, 7},
    {TFeatureType::SPHERE,
     "Minimax_Validation:Version=1:Type=Sphere:Criterion=MinimumCircumscribed", "sphere", 6, 7, 6,
     false, 0, 0, "SPH_", "sphere", TCriterion::MINIMUM_CIRCUMSCRIBED, 0, 7},
    {TFeatureType::SPHERE, "Minimax_Validation:Version=1:Type=Sphere:Criterion=MaximumInscribed",
     "sphere", 6, 7, 6, false, 0, 0, "SPH_", "sphere", TCriterion::MAXIMUM_INSCRIBED, 0, 7},
    {TFeatureType::CYLINDER, "Minimax_Validation:Version=1:Type=Cylinder:Criterion=MinimumZone",
     "cylinder", 8, 10, 9, true, 0, 0, "CYL_", "cylinder", TCriterion::MINIMUM_ZONE, 0, 10},
    {TFeatureType::CYLINDER,
     "Minimax_Validation:Version=1:Type=Cylinder:Criterion=MinimumCircumscribed", "cylinder", 8, 10,
     9, true, 0, 0, "CYL_", "cylinder", TCriterion::MINIMUM_CIRCUMSCRIBED, 0, 10},
    {TFeatureType::CYLINDER,
     "Minimax_Validation:Version=1:Type=Cylinder:Criterion=MaximumInscribed", "cylinder", 8, 10, 9,
     true, 0, 0, "CYL_", "cylinder", TCriterion::MAXIMUM_INSCRIBED, 0, 10},
};

// The largest field count of a feature record plus one, so that a record
// with too many fields is still told apart.
constexpr int MAX_FIELDS = 13;

constexpr int QUOTED_FIELD_LENGTH = 40;

inline bool Starts_With(const char *data, int size, const char *prefix)
{
    const size_t length = std::strlen(prefix);
    return static_cast<size_t>(size) >= length && std::memcmp(data, prefix, length) == 0;
}

// The keyword test for a line of ASCII characters only; other lines go
// through Qt's case folding, which also matches characters such as U+017F.
bool Starts_With_Keyword(const TValidationLineReader &line, const TValidationType &type)
{
    if (line.Has_Wide_Characters()) {
        return line.Text(0, type.keyword_length)
            .startsWith(QLatin1String(type.keyword), Qt::CaseInsensitive);
    }
    if (line.Size() < type.keyword_length) {
        return false;
    }
    const char *data = line.Data();
    for (int i = 0; i < type.keyword_length; ++i) {
        char c = data[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != type.keyword[i]) {
            return false;
        }
    }
    return true;
}

// One pass over one file: the grouping state and the reports about it.
class TReading
{
public:
    TReading(const QByteArray &content, TValidationHandler &handler_)
        : handler(handler_), reporting(handler_.Wants_Diagnostics()), line(content)
    {
    }

    void Run();

private:
    void Report(TValidationDiagnostic::TKind kind, int line_number, const QString &message)
    {
        handler.Diagnostic(TValidationDiagnostic{kind, line_number, message});
    }
    QString Field_Text(const TField &field) const
    {
        // One character more than a quote holds tells Quoted_Field to cut.
        const int start = static_cast<int>(field.begin - line.Data());
        const int length = static_cast<int>(field.end - field.begin);
        return Quoted_Field(line.Text(start, std::min(length, QUOTED_FIELD_LENGTH + 1)));
    }
    double Real(const TField &field, int field_number);
    qint32 Integer(const TField &field, int field_number);
    void Report_Incomplete(TValidationDiagnostic::TKind kind, const QString &why);

    bool Read_Header();
    bool Has_Cone_Apex(int field_count);
    void Read_Feature_Record();
    void Read_Point_Line();

    TValidationHandler &handler;
    const bool reporting;
    TValidationLineReader line;

    const TValidationType *type = nullptr;
    qint32 feature_number = 0;
    qint32 points_remaining = 0;
    qint32 point_counter = 0;

    // Only for reports: where the open feature's record stands, and how
    // many points it asked for.
    int feature_line = 0;
    qint32 points_expected = 0;

    TField fields[MAX_FIELDS];
};

double TReading::Real(const TField &field, int field_number)
{
    double value;
    if (!Read_Real(field, value) && reporting) {
        Report(TValidationDiagnostic::NOT_A_NUMBER, line.Line_Number(),
               QStringLiteral("field %1 \"%2\" does not read as a number, read as 0")
                   .arg(field_number)
                   .arg(Field_Text(field)));
    }
    return value;
}

qint32 TReading::Integer(const TField &field, int field_number)
{
    qint32 value;
    if (!Read_Integer(field, value) && reporting) {
        Report(TValidationDiagnostic::NOT_A_NUMBER, line.Line_Number(),
               QStringLiteral("field %1 \"%2\" does not read as an integer, read as 0")
                   .arg(field_number)
                   .arg(Field_Text(field)));
    }
    return value;
}

void TReading::Report_Incomplete(TValidationDiagnostic::TKind kind, const QString &why)
{
    Report(kind, feature_line,
           QStringLiteral("%1 %2 is incomplete (%3 of %4 points) %5, it is not constructed")
               .arg(QLatin1String(type->name))
               .arg(feature_number)
               .arg(points_expected - points_remaining)
               .arg(points_expected)
               .arg(why));
}

void TReading::Run()
{
    while (line.Next()) {
        if (reporting && line.Line_Number() == 1 && !line.Ended_By_Line_Feed() &&
            line.Had_Carriage_Return()) {
            // Nothing else in the program would hint at why it is empty.
            Report(TValidationDiagnostic::CARRIAGE_RETURNS_ONLY, 1,
                   QStringLiteral("the file has carriage returns but no line feed, so it reads "
                                  "as one line"));
        }
        if (line.Size() > 0 && line.Data()[0] == '#') {
            continue;
        }
        if (!type) {
            if (!Read_Header()) {
                return;
            }
            continue;
        }
        if (Starts_With_Keyword(line, *type)) {
            Read_Feature_Record();
        } else if (points_remaining <= 0) {
            handler.Surplus_Line();
            if (reporting) {
                Report(TValidationDiagnostic::SURPLUS_LINE, line.Line_Number(),
                       QStringLiteral("surplus line: no feature is open, ERR comment written"));
            }
        } else {
            Read_Point_Line();
        }
    }

    if (!type) {
        if (reporting) {
            Report(TValidationDiagnostic::NOT_A_VALIDATION_FILE, 0,
                   QStringLiteral("not a validation file: no Best_Fit_Validation header"));
        }
        return;
    }
    if (reporting && points_remaining > 0) {
        Report_Incomplete(TValidationDiagnostic::FEATURE_UNFINISHED,
                          QStringLiteral("at the end of the file"));
    }
    handler.End(*type);
}

bool TReading::Read_Header()
{
    for (const TValidationType &candidate : VALIDATION_TYPES) {
        if (Starts_With(line.Data(), line.Size(), candidate.header)) {
            type = &candidate;
            break;
        }
    }
    for (const TValidationType &candidate : MINIMAX_VALIDATION_TYPES) {
        if (!type && Starts_With(line.Data(), line.Size(), candidate.header)) {
            type = &candidate;
        }
    }
    if (!type) {
        if (reporting) {
            Report(TValidationDiagnostic::NOT_A_VALIDATION_FILE, line.Line_Number(),
                   QStringLiteral("not a validation file: the first line that is not a "
                                  "comment is not a Best_Fit_Validation header"));
        }
        return false;
    }
    feature_number = 0;
    points_remaining = 0;
    handler.Header(*type);
    return true;
}

// A cone is written at its apex: a record that has none cannot be written
// and is ignored as a whole, as one with a wrong field count is, by the
// conversion and the grading alike.
bool TReading::Has_Cone_Apex(int field_count)
{
    double values[TFeatureRecord::MAX_VALUES];
    for (int i = 2; i < field_count; ++i) {
        // Quietly: the fields are reported once the record is taken.
        Read_Real(fields[i], values[i - 2]);
    }
    TVector3 apex;
    const TConeApexStatus status = Cone_Apex(
        TVector3(values[0], values[1], values[2]), TVector3(values[3], values[4], values[5]),
        values[type->angle_field - 3], values[type->diameter_field - 3], apex);
    if (status == TConeApexStatus::FOUND) {
        return true;
    }
    if (reporting) {
        QString why;
        switch (status) {
        case TConeApexStatus::ANGLE_OUT_OF_RANGE:
            why = QStringLiteral("its apex angle %1 is not strictly between 0 and 180 degrees")
                      .arg(Field_Text(fields[type->angle_field - 1]));
            break;
        case TConeApexStatus::ANGLE_WRITTEN_AS_LIMIT:
            why = QStringLiteral("its apex angle %1 would be written as %2 degrees in the program")
                      .arg(Field_Text(fields[type->angle_field - 1]),
                           values[type->angle_field - 3] < 90 ? QStringLiteral("0.000000")
                                                              : QStringLiteral("180.000000"));
            break;
        case TConeApexStatus::ZERO_DIRECTION:
            why = QStringLiteral("its direction is zero");
            break;
        default:
            why = QStringLiteral("its apex lies beyond the range of numbers");
            break;
        }
        Report(TValidationDiagnostic::CONE_WITHOUT_APEX, line.Line_Number(),
               QStringLiteral("cone record has no apex: %1, line ignored").arg(why));
    }
    return false;
}

void TReading::Read_Feature_Record()
{
    const char *data = line.Data();
    const int size = line.Size();
    // As many characters as the keyword has, and one for the blank,
    // whatever they are.
    const int skip = std::min(type->keyword_length + 1, size);
    const int count = Split_Fields(data + skip, data + size, fields, MAX_FIELDS);
    if (count != type->field_count) {
        if (reporting) {
            Report(TValidationDiagnostic::FEATURE_FIELD_COUNT, line.Line_Number(),
                   QStringLiteral("%1 record has %2 fields instead of %3, line ignored")
                       .arg(QLatin1String(type->name))
                       .arg(count)
                       .arg(type->field_count));
        }
        return;
    }
    if (type->type == TFeatureType::CONE && !Has_Cone_Apex(count)) {
        return;
    }
    if (reporting && points_remaining > 0) {
        Report_Incomplete(TValidationDiagnostic::FEATURE_ABANDONED,
                          QStringLiteral("when the next feature record on line %1 arrived")
                              .arg(line.Line_Number()));
    }

    TFeatureRecord record;
    record.line_number = line.Line_Number();
    record.number = Integer(fields[0], 1);
    record.point_count = Integer(fields[1], 2);
    record.value_count = count - 2;
    for (int i = 0; i < record.value_count; ++i) {
        record.value_fields[i] = fields[i + 2];
        record.values[i] = Real(fields[i + 2], i + 3);
    }
    feature_number = record.number;
    points_remaining = record.point_count;
    point_counter = 1;
    feature_line = record.line_number;
    points_expected = points_remaining;
    handler.Feature(record);

    if (reporting && points_remaining <= 0) {
        Report(TValidationDiagnostic::FEATURE_WITHOUT_POINTS, feature_line,
               QStringLiteral("%1 %2 has a point count of %3, it is not constructed")
                   .arg(QLatin1String(type->name))
                   .arg(feature_number)
                   .arg(points_remaining));
    }
}

void TReading::Read_Point_Line()
{
    const int count = Split_Fields(line.Data(), line.Data() + line.Size(), fields, 3);
    if (count != 3) {
        if (reporting) {
            Report(TValidationDiagnostic::POINT_FIELD_COUNT, line.Line_Number(),
                   line.Size() == 0
                       ? QStringLiteral("blank line inside an open feature, ignored")
                       : QStringLiteral("point line has %1 fields instead of 3, line ignored")
                             .arg(count));
        }
        return;
    }
    // One after the other, so that reports about the fields come in order.
    const double x = Real(fields[0], 1);
    const double y = Real(fields[1], 2);
    const double z = Real(fields[2], 3);
    handler.Point(feature_number, point_counter, TVector3(x, y, z));

    ++point_counter;
    --points_remaining;
    if (points_remaining == 0) {
        handler.Feature_Complete();
    }
}

} // namespace

const TValidationType &Validation_Type(TFeatureType type)
{
    return VALIDATION_TYPES[static_cast<int>(type)];
}

const TValidationType *Find_Validation_Type(TFeatureType type, TCriterion criterion)
{
    if (criterion == TCriterion::LEAST_SQUARES) {
        return &Validation_Type(type);
    }
    for (const TValidationType &candidate : MINIMAX_VALIDATION_TYPES) {
        if (candidate.type == type && candidate.criterion == criterion) {
            return &candidate;
        }
    }
    return nullptr;
}

QString Feature_Label(const TValidationType &type, qint32 feature_number)
{
    return QLatin1String(type.label) + QString::number(feature_number);
}

QString Quoted_Field(const QString &text)
{
    if (text.size() <= QUOTED_FIELD_LENGTH) {
        return text;
    }
    return text.left(QUOTED_FIELD_LENGTH) + QStringLiteral("...");
}

void Read_Validation_File(const QByteArray &content, TValidationHandler &handler)
{
    TReading(content, handler).Run();
}
