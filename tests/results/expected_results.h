#pragma once

// What a reading of results is expected to give, and its comparison with
// what Read_Results gave, for the tests of the readers.

#include "results/results_reading.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

struct TExpected
{
    QString label;
    int line = 0;
    bool usable = false;
    TVector3 position;
    TVector3 direction;
    double diameter = 0;
    double position_resolution = 0;
    double direction_resolution = 0;
    double diameter_resolution = 0;
    double apex_angle = 0; // radians
    double minor_diameter = 0;
    double apex_angle_resolution = 0;
    double minor_diameter_resolution = 0;
    bool has_form = false;
    double form = 0;
    double form_resolution = 0;
};

using TExpectedFeatures = QVector<TExpected>;
Q_DECLARE_METATYPE(TExpected)
Q_DECLARE_METATYPE(TExpectedFeatures)

// Planes and lines.
inline TExpected Flat(const char *label, int line, TVector3 position, TVector3 direction,
                      double position_resolution, double direction_resolution)
{
    TExpected e;
    e.label = QString::fromUtf8(label);
    e.line = line;
    e.usable = true;
    e.position = position;
    e.direction = direction;
    e.position_resolution = position_resolution;
    e.direction_resolution = direction_resolution;
    return e;
}

inline TExpected Circle(const char *label, int line, TVector3 centre, TVector3 direction,
                        double diameter, double position_resolution, double direction_resolution,
                        double diameter_resolution)
{
    TExpected e = Flat(label, line, centre, direction, position_resolution, direction_resolution);
    e.diameter = diameter;
    e.diameter_resolution = diameter_resolution;
    return e;
}

inline TExpected Sphere(const char *label, int line, TVector3 centre, double diameter,
                        double position_resolution, double diameter_resolution)
{
    return Circle(label, line, centre, TVector3(), diameter, position_resolution, 0,
                  diameter_resolution);
}

// A cylinder: a point on its axis.
inline TExpected Cylinder(const char *label, int line, TVector3 point, TVector3 axis,
                          double diameter, double position_resolution, double direction_resolution,
                          double diameter_resolution)
{
    return Circle(label, line, point, axis, diameter, position_resolution, direction_resolution,
                  diameter_resolution);
}

// A cone: a point on its axis, the diameter there, the included angle in
// degrees (compared in radians) and its resolution in degrees.
inline TExpected Cone(const char *label, int line, TVector3 point, TVector3 axis, double diameter,
                      double degrees, double position_resolution, double direction_resolution,
                      double diameter_resolution, double angle_resolution_degrees)
{
    TExpected e = Circle(label, line, point, axis, diameter, position_resolution,
                         direction_resolution, diameter_resolution);
    e.apex_angle = degrees * (3.14159265358979323846 / 180);
    e.apex_angle_resolution = angle_resolution_degrees * (3.14159265358979323846 / 180);
    return e;
}

inline TExpected Torus(const char *label, int line, TVector3 centre, TVector3 axis, double major,
                       double minor, double position_resolution, double direction_resolution,
                       double major_resolution, double minor_resolution)
{
    TExpected e = Circle(label, line, centre, axis, major, position_resolution,
                         direction_resolution, major_resolution);
    e.minor_diameter = minor;
    e.minor_diameter_resolution = minor_resolution;
    return e;
}

// The feature with the form the software states for it.
inline TExpected With_Form(TExpected e, double form, double form_resolution)
{
    e.has_form = true;
    e.form = form;
    e.form_resolution = form_resolution;
    return e;
}

// A result given for the label that cannot be used.
inline TExpected Missing(const char *label, int line)
{
    TExpected e;
    e.label = QString::fromUtf8(label);
    e.line = line;
    return e;
}

// "LINE: MESSAGE", as Warnings() lists them.
inline QString W(int line, const QString &message)
{
    return QString::number(line) + QLatin1String(": ") + message;
}

inline QStringList Warnings(const TResultsReading &reading)
{
    QStringList warnings;
    for (const TResultsWarning &warning : reading.warnings) {
        warnings << W(warning.line_number, warning.message);
    }
    return warnings;
}

// Equal, or within 1e-12 relative: values read through a unit factor.
inline bool Same_Number(double actual, double expected)
{
    return actual == expected ||
           std::fabs(actual - expected) <= 1e-12 * std::max(std::fabs(actual), std::fabs(expected));
}

// Compares every feature with its expectation, values only when usable.
inline void Compare_Features(const TResultsReading &reading, const TExpectedFeatures &features)
{
    QCOMPARE(static_cast<int>(reading.features.size()), features.size());
    for (int n = 0; n < features.size(); ++n) {
        const TTestedFeature &actual = reading.features[static_cast<size_t>(n)];
        const TExpected &expected = features[n];
        QCOMPARE(actual.label, expected.label);
        QCOMPARE(actual.line_number, expected.line);
        QCOMPARE(actual.usable, expected.usable);
        if (!expected.usable) {
            continue;
        }
        QCOMPARE(actual.has_form, expected.has_form);
        const struct
        {
            const char *name;
            double actual;
            double expected;
        } values[] = {
            {"x", actual.position.x, expected.position.x},
            {"y", actual.position.y, expected.position.y},
            {"z", actual.position.z, expected.position.z},
            {"i", actual.direction.x, expected.direction.x},
            {"j", actual.direction.y, expected.direction.y},
            {"k", actual.direction.z, expected.direction.z},
            {"diameter", actual.diameter, expected.diameter},
            {"position resolution", actual.position_resolution, expected.position_resolution},
            {"direction resolution", actual.direction_resolution, expected.direction_resolution},
            {"diameter resolution", actual.diameter_resolution, expected.diameter_resolution},
            {"apex angle", actual.apex_angle, expected.apex_angle},
            {"minor diameter", actual.minor_diameter, expected.minor_diameter},
            {"apex angle resolution", actual.apex_angle_resolution, expected.apex_angle_resolution},
            {"minor diameter resolution", actual.minor_diameter_resolution,
             expected.minor_diameter_resolution},
            {"form", actual.form, expected.form},
            {"form resolution", actual.form_resolution, expected.form_resolution},
        };
        for (const auto &value : values) {
            QVERIFY2(Same_Number(value.actual, value.expected),
                     qPrintable(QStringLiteral("%1 %2: %3, expected %4")
                                    .arg(expected.label, QLatin1String(value.name))
                                    .arg(value.actual, 0, 'g', 17)
                                    .arg(value.expected, 0, 'g', 17)));
        }
    }
}
