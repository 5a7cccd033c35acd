#include "grading/reference_reading.h"

#include "results/number_resolution.h"

#include <algorithm>
#include <cmath>

namespace {

double Resolution_Of(const TField &field)
{
    return Number_Resolution(field.begin, field.end);
}

// Collects the complete features, as the conversion collects the ones it
// constructs.
class TReferenceCollector : public TValidationHandler
{
public:
    explicit TReferenceCollector(TReference &reference_) : reference(reference_) {}

    void Header(const TValidationType &type_) override
    {
        type = &type_;
        reference.is_validation_file = true;
        reference.type = type_.type;
        reference.criterion = type_.criterion;
    }
    void Feature(const TFeatureRecord &record) override
    {
        working = TReferenceFeature();
        working.label = Feature_Label(*type, record.number);
        working.line_number = record.line_number;
        working.position = TVector3(record.values[0], record.values[1], record.values[2]);
        working.position_resolution =
            std::max({Resolution_Of(record.value_fields[0]), Resolution_Of(record.value_fields[1]),
                      Resolution_Of(record.value_fields[2])});
        if (type->has_direction) {
            working.direction = TVector3(record.values[3], record.values[4], record.values[5]);
            working.direction_resolution = std::max({Resolution_Of(record.value_fields[3]),
                                                     Resolution_Of(record.value_fields[4]),
                                                     Resolution_Of(record.value_fields[5])});
        }
        if (type->diameter_field) {
            const int index = type->diameter_field - 3;
            working.diameter = record.values[index];
            working.diameter_resolution = Resolution_Of(record.value_fields[index]);
        }
        if (type->angle_field) {
            // Degrees in the file, radians inside.
            const int index = type->angle_field - 3;
            const double radians_per_degree = M_PI / 180;
            working.apex_angle = record.values[index] * radians_per_degree;
            working.apex_angle_resolution =
                Resolution_Of(record.value_fields[index]) * radians_per_degree;
        }
        if (type->minor_diameter_field) {
            const int index = type->minor_diameter_field - 3;
            working.minor_diameter = record.values[index];
            working.minor_diameter_resolution = Resolution_Of(record.value_fields[index]);
        }
        if (type->plane_normal_field) {
            const int index = type->plane_normal_field - 3;
            working.plane_normal =
                TVector3(record.values[index], record.values[index + 1], record.values[index + 2]);
        }
        if (type->form_field) {
            const int index = type->form_field - 3;
            working.form = record.values[index];
            working.form_resolution = Resolution_Of(record.value_fields[index]);
        }
        if (record.point_count > 0)
            working.points.reserve(static_cast<size_t>(std::min(record.point_count, 1 << 20)));
    }
    void Point(qint32, qint32, const TVector3 &point) override { working.points.push_back(point); }
    void Feature_Complete() override
    {
        reference.features.push_back(std::move(working));
        working = TReferenceFeature();
    }
    void Surplus_Line() override {}
    bool Wants_Diagnostics() const override { return true; }
    void Diagnostic(const TValidationDiagnostic &diagnostic) override
    {
        reference.diagnostics.push_back(diagnostic);
    }

private:
    TReference &reference;
    const TValidationType *type = nullptr;
    TReferenceFeature working;
};

} // namespace

TReference Read_Reference(const QByteArray &content)
{
    TReference reference;
    TReferenceCollector collector(reference);
    Read_Validation_File(content, collector);
    return reference;
}
