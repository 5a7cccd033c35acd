#pragma once

// Reading generated validation files back as any reader does, and measuring
// what they hold, for the tests of the generator.

#include "core/vector3.h"
#include "core/vector_measures.h"
#include "fitting/feature_fit.h"
#include "fitting/least_squares_fit.h"
#include "generating/data_set.h"
#include "validation/validation_reader.h"

#include <QByteArray>

#include <Eigen/QR>

#include <algorithm>
#include <cmath>
#include <vector>

struct TReadFeature
{
    TFeatureType type = TFeatureType::PLANE;
    qint32 number = 0;
    std::vector<double> values; // of the record, after the point count
    std::vector<TVector3> points;

    // The reference the record states, a cone's apex angle in radians.
    TFit Stated() const
    {
        TFit fit;
        fit.fitted = true;
        fit.position = TVector3(values[0], values[1], values[2]);
        if (type != TFeatureType::SPHERE)
            fit.direction = TVector3(values[3], values[4], values[5]);
        switch (type) {
        case TFeatureType::PLANE:
        case TFeatureType::LINE:
            break;
        case TFeatureType::SPHERE:
            fit.diameter = values[3];
            break;
        case TFeatureType::CIRCLE:
        case TFeatureType::CYLINDER:
            fit.diameter = values[6];
            break;
        case TFeatureType::CONE:
            fit.apex_angle = values[6] * std::acos(-1.0) / 180;
            fit.diameter = values[7];
            break;
        case TFeatureType::TORUS:
            fit.diameter = values[6];
            fit.minor_diameter = values[7];
            break;
        }
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
    case TFeatureType::CYLINDER:
        return std::abs(Length(offset * n) - fit.diameter / 2);
    case TFeatureType::CONE: {
        // From the cone's surface, measured in the plane of the axis and the point.
        const double height = offset ^ n;
        const double out = Length(offset * n);
        const double half = fit.apex_angle / 2;
        return std::abs((out - fit.diameter / 2 - height * std::tan(half)) * std::cos(half));
    }
    case TFeatureType::TORUS: {
        const double height = offset ^ n;
        const double radial = Length(offset * n) - fit.diameter / 2;
        return std::abs(std::hypot(radial, height) - fit.minor_diameter / 2);
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
    double apex_angle;
    double minor_diameter;
};

inline TFitDifference Difference(TFeatureType type, const TFit &a, const TFit &b)
{
    return {Length(a.position - b.position),
            type == TFeatureType::SPHERE ? 0 : Angle_Up_To_Sign(a.direction, b.direction),
            std::abs(a.diameter - b.diameter), std::abs(a.apex_angle - b.apex_angle),
            std::abs(a.minor_diameter - b.minor_diameter)};
}

// How far a cylinder, cone or torus lies from the least-squares one of the
// points, measured independently of every fit: one Gauss-Newton step from
// it, with the Jacobian of the orthogonal distances taken by central
// differences in long double (so that its error, which multiplies the
// residuals, stays far below the step it measures), in its position across
// the axis (and along it, for a torus), its axis, its diameter, apex angle
// and minor diameter. At the least-squares element the step is nil.
struct TStep
{
    double position = 0; // mm
    double angle = 0;    // rad
    double diameter = 0; // mm
    double apex_angle = 0;
    double minor_diameter = 0;
};

struct TLongVector
{
    long double x, y, z;
};
inline TLongVector operator+(const TLongVector &a, const TLongVector &b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline TLongVector operator*(const TLongVector &a, long double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline long double Dot(const TLongVector &a, const TLongVector &b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The signed distance of p from the element moved by the parameters k: shifts
// along u, v, turns towards u, v, the diameter, the apex angle or minor
// diameter, the shift along n.
inline long double Moved_Distance(TFeatureType type, const TFit &fit, const TLongVector &u,
                                  const TLongVector &v, const long double (&k)[7],
                                  const TVector3 &p)
{
    const long double norm =
        std::sqrt(Dot(TLongVector{fit.direction.x, fit.direction.y, fit.direction.z},
                      TLongVector{fit.direction.x, fit.direction.y, fit.direction.z}));
    const TLongVector n0{fit.direction.x / norm, fit.direction.y / norm, fit.direction.z / norm};
    TLongVector n = n0 + u * k[2] + v * k[3];
    n = n * (1 / std::sqrt(Dot(n, n)));
    const TLongVector position = TLongVector{fit.position.x, fit.position.y, fit.position.z} +
                                 u * k[0] + v * k[1] + n0 * k[6];
    const TLongVector d = TLongVector{p.x, p.y, p.z} + position * -1;
    const long double height = Dot(d, n);
    const long double out = std::sqrt(std::max(0.0L, Dot(d, d) - height * height));
    const long double radius = fit.diameter / 2 + k[4] / 2;
    switch (type) {
    case TFeatureType::CONE: {
        const long double half = (fit.apex_angle + k[5]) / 2;
        return (out - radius - height * std::tan(half)) * std::cos(half);
    }
    case TFeatureType::TORUS:
        return std::hypot(out - radius, height) - (fit.minor_diameter + k[5]) / 2;
    default:
        return out - radius;
    }
}

inline TStep Least_Squares_Step(TFeatureType type, const TFit &fit,
                                const std::vector<TVector3> &points)
{
    const TVector3 n = fit.direction / Length(fit.direction);
    TVector3 u = std::abs(n.x) < 0.6 ? TVector3(1, 0, 0) : TVector3(0, 1, 0);
    u = (u - n * (u ^ n)).Normal();
    const TVector3 v = n * u;
    const TLongVector lu{u.x, u.y, u.z};
    const TLongVector lv{v.x, v.y, v.z};
    const int parameters = type == TFeatureType::CYLINDER ? 5 : type == TFeatureType::CONE ? 6 : 7;
    const Eigen::Index rows = static_cast<Eigen::Index>(points.size());
    Eigen::MatrixXd J(rows, parameters);
    Eigen::VectorXd residuals(rows);
    const long double h = 1e-6L;
    const long double zero[7] = {};
    for (Eigen::Index i = 0; i < rows; ++i) {
        const TVector3 &p = points[static_cast<size_t>(i)];
        residuals[i] = static_cast<double>(Moved_Distance(type, fit, lu, lv, zero, p));
        for (int k = 0; k < parameters; ++k) {
            long double plus[7] = {};
            long double minus[7] = {};
            plus[k] = h;
            minus[k] = -h;
            J(i, k) = static_cast<double>((Moved_Distance(type, fit, lu, lv, plus, p) -
                                           Moved_Distance(type, fit, lu, lv, minus, p)) /
                                          (2 * h));
        }
    }
    const Eigen::VectorXd step = J.colPivHouseholderQr().solve(-residuals);
    TStep result;
    result.position = std::hypot(step[0], step[1]);
    if (parameters == 7)
        result.position = std::hypot(result.position, step[6]);
    result.angle = std::hypot(step[2], step[3]);
    result.diameter = std::abs(step[4]);
    if (type == TFeatureType::CONE)
        result.apex_angle = std::abs(step[5]);
    if (type == TFeatureType::TORUS)
        result.minor_diameter = std::abs(step[5]);
    return result;
}

// Whether the fitting library fits the type at all: an exact element of 50
// points spread all round. Tests of what needs the library's fit skip a
// type it has no fit for, saying so.
inline bool Library_Fits(TFeatureType type)
{
    TDataSetOptions options = Default_Options(type);
    options.points = 50;
    options.form = 0;
    return Fit_Feature(type, Designed_Points(options, 1).points).fitted;
}
