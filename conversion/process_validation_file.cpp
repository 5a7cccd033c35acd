#include "conversion/number_format.h"
#include "conversion/validation_converter.h"
#include "validation/cone_apex.h"
#include "validation/validation_reader.h"

#include <cassert>

#include <string>

namespace {

// What the program text of each file type looks like.
struct TProgramType
{
    const char *comment; // "$$ Plane"
    // Decimals of fields 3 and on, in the order of the feature comment.
    int precisions[TFeatureRecord::MAX_VALUES];
    void (TValidationConverter::*construct)();
};

const TProgramType &Program_Type(const TValidationType &validation_type)
{
    // A minimax line also states the plane it lies in.
    static const TProgramType minimax_line = {
        "$$ Line", {6, 6, 6, 9, 9, 9, 9, 9, 9, 6}, &TValidationConverter::Create_Constructed_Lines};
    if (validation_type.plane_normal_field) {
        return minimax_line;
    }
    const TFeatureType type = validation_type.type;
    static const TProgramType types[] = {
        {"$$ Plane", {6, 6, 6, 9, 9, 9, 6}, &TValidationConverter::Create_Constructed_Planes},
        {"$$ Line", {6, 6, 6, 9, 9, 9, 6}, &TValidationConverter::Create_Constructed_Lines},
        {"$$ Circle", {6, 6, 6, 9, 9, 9, 6, 6}, &TValidationConverter::Create_Constructed_Circles},
        {"$$ Sphere", {6, 6, 6, 6, 6}, &TValidationConverter::Create_Constructed_Spheres},
        {"$$ Cylinder",
         {6, 6, 6, 9, 9, 9, 6, 6},
         &TValidationConverter::Create_Constructed_Cylinders},
        {"$$ Cone", {6, 6, 6, 9, 9, 9, 6, 6, 6}, &TValidationConverter::Create_Constructed_Cones},
        {"$$ Torus", {6, 6, 6, 9, 9, 9, 6, 6, 6}, &TValidationConverter::Create_Constructed_Tori},
    };
    static_assert(sizeof types / sizeof types[0] == sizeof FEATURE_TYPES / sizeof FEATURE_TYPES[0],
                  "one program type per feature type");
    return types[static_cast<int>(type)];
}

const char POINT_DIRECTION[] = ",0.000000000,0.000000000,1.000000000";

const QLatin1String
    SURPLUS_COMMENT("$$  ERR:  Number of data points greater than defined in feature.");

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
    QLatin1String Latin1() const
    {
        return QLatin1String(text.data(), static_cast<int>(text.size()));
    }

private:
    std::string text;
};

// Writes the program text of what the reader finds, and collects the
// features to construct.
class TProgramWriter : public TValidationHandler
{
public:
    explicit TProgramWriter(TValidationConverter &converter_) : converter(converter_) {}

    void Header(const TValidationType &type_) override
    {
        type = &type_;
        program_type = &Program_Type(type_);
        converter.file_type = &type_;
    }
    void Feature(const TFeatureRecord &record) override;
    void Point(qint32 feature_number, qint32 point_number, const TVector3 &point) override;
    void Feature_Complete() override { converter.construction_features.push_back(working_record); }
    void Surplus_Line() override { converter.Add_Text(SURPLUS_COMMENT); }
    void End(const TValidationType &) override { (converter.*(program_type->construct))(); }

    bool Wants_Diagnostics() const override
    {
        return static_cast<bool>(converter.diagnostic_handler);
    }
    void Diagnostic(const TValidationDiagnostic &diagnostic) override
    {
        converter.diagnostic_handler(diagnostic);
    }

private:
    TValidationConverter &converter;
    const TValidationType *type = nullptr;
    const TProgramType *program_type = nullptr;
    TValidationConverter::TConstructionFeatures working_record;

    TLine line;
    std::string point_label; // "PT_7_1"
    std::string coordinates; // "35.400000,20.000000,0.000000"
};

void TProgramWriter::Feature(const TFeatureRecord &record)
{
    // A record of no points is reported by the reader.
    const int least_points = Least_Points(type->type, type->criterion);
    if (record.point_count > 0 && record.point_count < least_points && Wants_Diagnostics()) {
        // Written all the same, as the window writes it: the software is to
        // be told, not the file changed.
        Diagnostic(
            {TValidationDiagnostic::FEATURE_TOO_FEW_POINTS, record.line_number,
             QStringLiteral("%1 %2 has %3 %4, fewer than the %5 a %1's %6 "
                            "fit needs: the software cannot fit it")
                 .arg(QLatin1String(type->name))
                 .arg(record.number)
                 .arg(record.point_count)
                 .arg(record.point_count == 1 ? QStringLiteral("point") : QStringLiteral("points"))
                 .arg(least_points)
                 .arg(QLatin1String(Criterion_Name(type->criterion)))});
    }
    converter.Add_Text(QLatin1String("$$"));
    line.Clear() << program_type->comment;
    for (int i = 0; i < record.value_count; ++i) {
        line << " ";
        line.Fixed(record.values[i], program_type->precisions[i]);
    }
    converter.Add_Text(line.Latin1());

    working_record.name = Feature_Label(*type, record.number);
    working_record.xyz = TVector3(record.values[0], record.values[1], record.values[2]);
    // A sphere has no direction: its record keeps the last one read.
    if (type->has_direction) {
        working_record.ijk = TVector3(record.values[3], record.values[4], record.values[5]);
    }
    working_record.diameter = type->diameter_field ? record.values[type->diameter_field - 3] : 0;
    working_record.apex_angle = type->angle_field ? record.values[type->angle_field - 3] : 0;
    working_record.minor_diameter =
        type->minor_diameter_field ? record.values[type->minor_diameter_field - 3] : 0;
    if (type->plane_normal_field) {
        const double *normal = record.values + type->plane_normal_field - 3;
        working_record.plane_normal = TVector3(normal[0], normal[1], normal[2]);
    }
    working_record.form = type->form_field ? record.values[type->form_field - 3] : 0;
    if (type->type == TFeatureType::CONE) {
        // The reader passes only cones that have an apex.
        TVector3 apex;
        const TConeApexStatus status =
            Cone_Apex(working_record.xyz, working_record.ijk, working_record.apex_angle,
                      working_record.diameter, apex);
        assert(status == TConeApexStatus::FOUND);
        (void)status;
        working_record.xyz = apex;
    }
    working_record.point_names.clear();
}

void TProgramWriter::Point(qint32 feature_number, qint32 point_number, const TVector3 &point)
{
    // Formatted once, used by the nominal and by the measurement.
    char number[MAX_FIXED_LENGTH];
    coordinates.assign(number, Write_Fixed(number, point.x, POINT_DECIMALS));
    coordinates += ',';
    coordinates.append(number, Write_Fixed(number, point.y, POINT_DECIMALS));
    coordinates += ',';
    coordinates.append(number, Write_Fixed(number, point.z, POINT_DECIMALS));

    point_label.assign("PT_");
    point_label.append(number, Write_Integer(number, feature_number));
    point_label += '_';
    point_label.append(number, Write_Integer(number, point_number));

    converter.Add_Text(QLatin1String("$$"));
    line.Clear() << "F(" << point_label << ")=FEAT/POINT,CART," << coordinates << POINT_DIRECTION;
    converter.Add_Text(line.Latin1());

    switch (converter.preferences.dmis_feature_type) {
    case TPreferences::MEASURED_POINTS:
        line.Clear() << "MEAS/POINT,F(" << point_label << "),1";
        converter.Add_Text(line.Latin1());
        line.Clear() << "    PTMEAS/CART," << coordinates << POINT_DIRECTION;
        converter.Add_Text(line.Latin1());
        converter.Add_Text(QLatin1String("ENDMES"));
        break;
    case TPreferences::CONSTRUCTED_OFFSET_POINTS:
        line.Clear() << "CONST/POINT,F(" << point_label << "),MOVEPT,F(PT_ZERO)," << coordinates;
        converter.Add_Text(line.Latin1());
        break;
    default:
        // An edited settings file may hold any value: only the nominal.
        break;
    }

    working_record.point_names.push_back(
        QString::fromLatin1(point_label.data(), static_cast<int>(point_label.size())));
}

} // namespace

void TValidationConverter::Process_Validation_File(const QByteArray &content)
{
    TProgramWriter writer(*this);
    Read_Validation_File(content, writer);
}
