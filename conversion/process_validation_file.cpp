#include "conversion/number_format.h"
#include "conversion/validation_converter.h"
#include "validation/validation_fields.h"
#include "validation/validation_lines.h"

#include <cstring>
#include <string>

namespace {

// What sets the four file types apart while reading.
struct TFileType
{
    const char *header;
    const char *keyword;
    int keyword_length;
    int field_count;
    // Decimals of fields 3 and on, in the order of the feature comment.
    int precisions[8];
    // Field (1-based) holding the diameter, 0 when the type has none.
    int diameter_field;
    bool has_direction;
    const char *label;          // "PLN_"
    const char *comment;        // "$$ Plane"
    const char *name_in_report; // "plane"
    void (TValidationConverter::*construct)();
};

const TFileType FILE_TYPES[] = {
    {"Best_Fit_Validation:Version=1:Type=Plane",
     "plane",
     5,
     9,
     {6, 6, 6, 9, 9, 9, 6},
     0,
     true,
     "PLN_",
     "$$ Plane",
     "plane",
     &TValidationConverter::Create_Constructed_Planes},
    {"Best_Fit_Validation:Version=1:Type=Line",
     "line",
     4,
     9,
     {6, 6, 6, 9, 9, 9, 6},
     0,
     true,
     "LN_",
     "$$ Line",
     "line",
     &TValidationConverter::Create_Constructed_Lines},
    {"Best_Fit_Validation:Version=1:Type=Circle",
     "circle",
     6,
     10,
     {6, 6, 6, 9, 9, 9, 6, 6},
     9,
     true,
     "CIR_",
     "$$ Circle",
     "circle",
     &TValidationConverter::Create_Constructed_Circles},
    {"Best_Fit_Validation:Version=1:Type=Sphere",
     "sphere",
     6,
     7,
     {6, 6, 6, 6, 6},
     6,
     false,
     "SPH_",
     "$$ Sphere",
     "sphere",
     &TValidationConverter::Create_Constructed_Spheres},
};

const char POINT_DIRECTION[] = ",0.000000000,0.000000000,1.000000000";

const QLatin1String
    SURPLUS_COMMENT("$$  ERR:  Number of data points greater than defined in feature.");

inline bool Starts_With(const char *data, int size, const char *prefix, int prefix_length)
{
    return size >= prefix_length &&
           std::memcmp(data, prefix, static_cast<size_t>(prefix_length)) == 0;
}

// The keyword test for a line of ASCII characters only; other lines go
// through Qt's case folding, which also matches characters such as U+017F.
bool Starts_With_Keyword(const char *data, int size, const TFileType &type)
{
    if (size < type.keyword_length) {
        return false;
    }
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

// Builds one output line without QString's formatting machinery.
class TLine
{
public:
    TLine() { text.reserve(256); }
    TLine &Clear()
    {
        text.clear();
        return *this;
    }
    TLine &operator<<(const char *literal)
    {
        text.append(literal);
        return *this;
    }
    TLine &Append(const char *data, size_t size)
    {
        text.append(data, size);
        return *this;
    }
    TLine &operator<<(const std::string &piece)
    {
        text.append(piece);
        return *this;
    }
    TLine &Fixed(double value, int precision)
    {
        char buffer[MAX_FIXED_LENGTH];
        return Append(buffer, static_cast<size_t>(Write_Fixed(buffer, value, precision) - buffer));
    }
    TLine &Integer(qint32 value)
    {
        char buffer[12];
        return Append(buffer, static_cast<size_t>(Write_Integer(buffer, value) - buffer));
    }
    QLatin1String Latin1() const
    {
        return QLatin1String(text.data(), static_cast<int>(text.size()));
    }

private:
    std::string text;
};

QString Field_Text(const TValidationLineReader &reader, const TField &field)
{
    const int start = static_cast<int>(field.begin - reader.Data());
    const int length = static_cast<int>(field.end - field.begin);
    if (reader.Text()) {
        return reader.Text()->mid(start, length);
    }
    return QString::fromLatin1(field.begin, length);
}

} // namespace

void TValidationConverter::Process_Validation_File(const QByteArray &content)
{
    // The largest field count of a feature record plus one, so that a
    // record with too many fields is still told apart.
    constexpr int MAX_FIELDS = 11;

    const bool reporting = static_cast<bool>(diagnostic_handler);
    auto report = [this](TDiagnostic::TKind kind, int line_number, const QString &message) {
        diagnostic_handler(TDiagnostic{kind, line_number, message});
    };

    const TFileType *type = nullptr;
    qint32 feature_number = 0;
    qint32 points_remaining = 0;
    qint32 point_counter = 0;
    TVector3 current_position;
    TVector3 current_direction;
    TConstructionFeatures working_record;

    // Only for reports: where the open feature's record stands, and how
    // many points it asked for.
    int feature_line = 0;
    qint32 points_expected = 0;

    TLine line;
    std::string point_label; // "PT_7_1"
    std::string coordinates; // "35.400000,20.000000,0.000000"
    TField fields[MAX_FIELDS];

    auto read_real = [&](const TValidationLineReader &reader, const TField &field,
                         int field_number) {
        double value;
        if (!Read_Real(field, value) && reporting) {
            report(TDiagnostic::NOT_A_NUMBER, reader.Line_Number(),
                   QStringLiteral("field %1 \"%2\" does not read as a number, read as 0")
                       .arg(field_number)
                       .arg(Field_Text(reader, field)));
        }
        return value;
    };
    auto read_integer = [&](const TValidationLineReader &reader, const TField &field,
                            int field_number) {
        qint32 value;
        if (!Read_Integer(field, value) && reporting) {
            report(TDiagnostic::NOT_A_NUMBER, reader.Line_Number(),
                   QStringLiteral("field %1 \"%2\" does not read as an integer, read as 0")
                       .arg(field_number)
                       .arg(Field_Text(reader, field)));
        }
        return value;
    };
    auto report_incomplete = [&](TDiagnostic::TKind kind, const QString &why) {
        report(kind, feature_line,
               QStringLiteral("%1 %2 is incomplete (%3 of %4 points) %5, it is not constructed")
                   .arg(QLatin1String(type->name_in_report))
                   .arg(feature_number)
                   .arg(points_expected - points_remaining)
                   .arg(points_expected)
                   .arg(why));
    };

    TValidationLineReader reader(content);
    while (reader.Next()) {
        const char *data = reader.Data();
        const int size = reader.Size();

        if (size > 0 && data[0] == '#') {
            continue;
        }

        if (!type) {
            for (const TFileType &candidate : FILE_TYPES) {
                if (Starts_With(data, size, candidate.header,
                                static_cast<int>(std::strlen(candidate.header)))) {
                    type = &candidate;
                    break;
                }
            }
            if (!type) {
                if (reporting) {
                    report(TDiagnostic::NOT_A_VALIDATION_FILE, reader.Line_Number(),
                           QStringLiteral("not a validation file: the first line that is not a "
                                          "comment is not a Best_Fit_Validation header"));
                }
                return;
            }
            feature_number = 0;
            points_remaining = 0;
            continue;
        }

        const bool is_feature_record =
            reader.Text()
                ? reader.Text()->startsWith(QLatin1String(type->keyword), Qt::CaseInsensitive)
                : Starts_With_Keyword(data, size, *type);
        if (is_feature_record) {
            const int skip = std::min(type->keyword_length + 1, size);
            const int count = Split_Fields(data + skip, data + size, fields, MAX_FIELDS);
            if (count != type->field_count) {
                if (reporting) {
                    report(TDiagnostic::FEATURE_FIELD_COUNT, reader.Line_Number(),
                           QStringLiteral("%1 record has %2 fields instead of %3, line ignored")
                               .arg(QLatin1String(type->name_in_report))
                               .arg(count)
                               .arg(type->field_count));
                }
                continue;
            }
            if (reporting && points_remaining > 0) {
                report_incomplete(TDiagnostic::FEATURE_ABANDONED,
                                  QStringLiteral("when the next feature record on line %1 arrived")
                                      .arg(reader.Line_Number()));
            }

            feature_number = read_integer(reader, fields[0], 1);
            points_remaining = read_integer(reader, fields[1], 2);
            double values[8];
            for (int i = 2; i < count; ++i) {
                values[i - 2] = read_real(reader, fields[i], i + 1);
            }
            current_position = TVector3(values[0], values[1], values[2]);
            if (type->has_direction) {
                current_direction = TVector3(values[3], values[4], values[5]);
            }

            Add_Text(QLatin1String("$$"));
            line.Clear() << type->comment;
            for (int i = 0; i < count - 2; ++i) {
                line << " ";
                line.Fixed(values[i], type->precisions[i]);
            }
            Add_Text(line.Latin1());

            line.Clear() << type->label;
            line.Integer(feature_number);
            working_record.name = line.Latin1();
            working_record.xyz = current_position;
            working_record.ijk = current_direction;
            working_record.diameter = type->diameter_field ? values[type->diameter_field - 3] : 0;
            working_record.point_names.clear();
            point_counter = 1;

            feature_line = reader.Line_Number();
            points_expected = points_remaining;
            if (reporting && points_remaining <= 0) {
                report(TDiagnostic::FEATURE_WITHOUT_POINTS, feature_line,
                       QStringLiteral("%1 %2 has a point count of %3, it is not constructed")
                           .arg(QLatin1String(type->name_in_report))
                           .arg(feature_number)
                           .arg(points_remaining));
            }
            continue;
        }

        if (points_remaining <= 0) {
            Add_Text(SURPLUS_COMMENT);
            if (reporting) {
                report(TDiagnostic::SURPLUS_LINE, reader.Line_Number(),
                       QStringLiteral("surplus line: no feature is open, ERR comment written"));
            }
            continue;
        }

        const int count = Split_Fields(data, data + size, fields, 3);
        if (count != 3) {
            if (reporting) {
                report(TDiagnostic::POINT_FIELD_COUNT, reader.Line_Number(),
                       size == 0 ? QStringLiteral("blank line inside an open feature, ignored")
                                 : QStringLiteral("point line has %1 fields instead of 3, "
                                                  "line ignored")
                                       .arg(count));
            }
            continue;
        }
        current_position =
            TVector3(read_real(reader, fields[0], 1), read_real(reader, fields[1], 2),
                     read_real(reader, fields[2], 3));

        // Formatted once, used by the nominal and by the measurement.
        char number[MAX_FIXED_LENGTH];
        coordinates.assign(number, Write_Fixed(number, current_position.x, 6));
        coordinates += ',';
        coordinates.append(number, Write_Fixed(number, current_position.y, 6));
        coordinates += ',';
        coordinates.append(number, Write_Fixed(number, current_position.z, 6));

        point_label.assign("PT_");
        point_label.append(number, Write_Integer(number, feature_number));
        point_label += '_';
        point_label.append(number, Write_Integer(number, point_counter));

        Add_Text(QLatin1String("$$"));
        line.Clear() << "F(" << point_label << ")=FEAT/POINT,CART," << coordinates
                     << POINT_DIRECTION;
        Add_Text(line.Latin1());

        switch (preferences.dmis_feature_type) {
        case TPreferences::MEASURED_POINTS:
            line.Clear() << "MEAS/POINT,F(" << point_label << "),1";
            Add_Text(line.Latin1());
            line.Clear() << "    PTMEAS/CART," << coordinates << POINT_DIRECTION;
            Add_Text(line.Latin1());
            Add_Text(QLatin1String("ENDMES"));
            break;
        case TPreferences::CONSTRUCTED_OFFSET_POINTS:
            line.Clear() << "CONST/POINT,F(" << point_label << "),MOVEPT,F(PT_ZERO),"
                         << coordinates;
            Add_Text(line.Latin1());
            break;
        default:
            // An edited settings file may hold any value: only the nominal.
            break;
        }

        working_record.point_names.push_back(
            QString::fromLatin1(point_label.data(), static_cast<int>(point_label.size())));
        ++point_counter;
        --points_remaining;
        if (points_remaining == 0) {
            construction_features.push_back(working_record);
        }
    }

    if (!type) {
        if (reporting) {
            report(TDiagnostic::NOT_A_VALIDATION_FILE, 0,
                   QStringLiteral("not a validation file: no Best_Fit_Validation header"));
        }
        return;
    }
    if (reporting && points_remaining > 0) {
        report_incomplete(TDiagnostic::FEATURE_UNFINISHED,
                          QStringLiteral("at the end of the file"));
    }
    (this->*(type->construct))();
}
