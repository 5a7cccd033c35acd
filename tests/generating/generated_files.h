#pragma once

// Reading generated validation files back as any reader does, and measuring
// what they hold, for the tests of the generator.

#include "core/vector3.h"
#include "core/vector_measures.h"
#include "fitting/feature_fit.h"
#include "fitting/least_squares_fit.h"
#include "validation/validation_reader.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <vector>

struct TReadFeature
{
    TFeatureType type = TFeatureType::PLANE;
    qint32 number = 0;
    std::vector<double> values; // of the record, after the point count
    std::vector<TVector3> points;

    // The reference the record states.
    TFit Stated() const
    {
        TFit fit;
        fit.fitted = true;
        fit.position = TVector3(values[0], values[1], values[2]);
        if (type != TFeatureType::SPHERE)
            fit.direction = TVector3(values[3], values[4], values[5]);
        fit.diameter = type == TFeatureType::CIRCLE   ? values[6]
                       : type == TFeatureType::SPHERE ? values[3]
                                                      : 0;
        return fit;
    }
    double Stated_Rms() const { return values.back(); }
};

class TFeatureCollector : public TValidationHandler
{
public:
    void Header(const TValidationType &type) override { file_type = type.type; }
    void Feature(const TFeatureRecord &record) override
    {
        features.push_back({file_type,
                            record.number,
                            std::vector<double>(record.values, record.values + record.value_count),
                            {}});
    }
    void Point(qint32, qint32, const TVector3 &point) override
    {
        features.back().points.push_back(point);
    }
    void Feature_Complete() override {}
    void Surplus_Line() override {}

    TFeatureType file_type = TFeatureType::PLANE;
    std::vector<TReadFeature> features;
};

inline std::vector<TReadFeature> Read_Features(const QByteArray &text)
{
    TFeatureCollector collector;
    Read_Validation_File(text, collector);
    return collector.features;
}

// The angle between a unit direction and the coordinate axis nearest it.
inline double Angle_From_Nearest_Axis(const TVector3 &direction)
{
    const double m =
        std::max({std::abs(direction.x), std::abs(direction.y), std::abs(direction.z)});
    return std::atan2(std::sqrt((1 - m) * (1 + m)), m);
}

// Orthogonal distance of a point from a fitted element.
inline double Distance_From(TFeatureType type, const TFit &fit, const TVector3 &p)
{
    const TVector3 offset = p - fit.position;
    if (type == TFeatureType::SPHERE)
        return std::abs(Length(offset) - fit.diameter / 2);
    const TVector3 n = fit.direction / Length(fit.direction);
    switch (type) {
    case TFeatureType::PLANE:
        return std::abs(offset ^ n);
    case TFeatureType::LINE:
        return Length(offset * n);
    case TFeatureType::CIRCLE: {
        const double height = offset ^ n;
        const double radial = Length(offset - n * height) - fit.diameter / 2;
        return std::sqrt(radial * radial + height * height);
    }
    case TFeatureType::SPHERE:
        break;
    }
    return 0;
}

// How far two fits of the same element are apart: position, angle, diameter.
struct TFitDifference
{
    double position;
    double angle;
    double diameter;
};

inline TFitDifference Difference(TFeatureType type, const TFit &a, const TFit &b)
{
    return {Length(a.position - b.position),
            type == TFeatureType::SPHERE ? 0 : Angle_Up_To_Sign(a.direction, b.direction),
            std::abs(a.diameter - b.diameter)};
}
