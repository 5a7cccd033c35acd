#pragma once

#include "core/vector3.h"
#include "validation/criterion.h"

#include <QtTest>

Q_DECLARE_METATYPE(TCriterion)

#include <cmath>
#include <cstdint>
#include <vector>

// Point sets whose minimax fits are known by construction, for the tests of
// the sphere and cylinder fits.

using TPoints = std::vector<TVector3>;

const double Pi = std::acos(-1.0);

// A right-handed orthonormal frame tilted from z by 35 degrees, its origin
// at a distance along a fixed oblique direction.
struct TFrame
{
    TVector3 origin;
    TVector3 u;
    TVector3 v;
    TVector3 n;

    TVector3 At(double a, double b, double c) const { return origin + u * a + v * b + n * c; }
    TVector3 Along(double a, double b, double c) const { return u * a + v * b + n * c; }
};

inline TFrame Tilted_Frame(double distance)
{
    const double tilt = 35 * Pi / 180;
    const double azimuth = 0.7;
    const TVector3 n(std::sin(tilt) * std::cos(azimuth), std::sin(tilt) * std::sin(azimuth),
                     std::cos(tilt));
    const TVector3 u(std::cos(tilt) * std::cos(azimuth), std::cos(tilt) * std::sin(azimuth),
                     -std::sin(tilt));
    return TFrame{TVector3(0.6, -0.8, 0.3) * distance, u, n * u, n};
}

// count unit directions spread evenly over the sphere (a golden spiral), in
// the frame's axes.
inline std::vector<TVector3> Sphere_Directions(const TFrame &frame, int count)
{
    std::vector<TVector3> directions;
    for (int i = 0; i < count; ++i) {
        const double z = 1 - 2 * (i + 0.5) / count;
        const double across = std::sqrt(1 - z * z);
        const double turn = 2.39996322972865332 * i;
        directions.push_back(frame.Along(across * std::cos(turn), across * std::sin(turn), z));
    }
    return directions;
}

// A fraction in [0, 1) from a fixed sequence: points strictly inside a zone
// at repeatable depths.
inline double Fraction(std::uint64_t &state)
{
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
}

inline TVector3 Unit_Along(const TVector3 &a)
{
    return a / std::sqrt(a ^ a);
}

inline double Distance(const TVector3 &a, const TVector3 &b)
{
    const TVector3 d = a - b;
    return std::sqrt(d ^ d);
}

// The distance of p from the axis through a along the unit direction w.
inline double Axis_Distance(const TVector3 &p, const TVector3 &a, const TVector3 &w)
{
    const TVector3 v = p - a;
    const TVector3 across = v - w * (v ^ w);
    return std::sqrt(across ^ across);
}

// The rows of a designed-optimum table: each criterion, at the origin and
// 10,000 mm from it, for each zone width F.
inline void Add_Designed_Rows(std::initializer_list<double> widths)
{
    QTest::addColumn<TCriterion>("criterion");
    QTest::addColumn<double>("distance");
    QTest::addColumn<double>("width");
    for (double distance : {0.0, 10000.0}) {
        for (double width : widths) {
            const QByteArray at =
                QByteArray::number(distance) + " mm, F " + QByteArray::number(width);
            QTest::newRow("zone " + at) << TCriterion::MINIMUM_ZONE << distance << width;
            QTest::newRow("circumscribed " + at)
                << TCriterion::MINIMUM_CIRCUMSCRIBED << distance << width;
            QTest::newRow("inscribed " + at) << TCriterion::MAXIMUM_INSCRIBED << distance << width;
        }
    }
}
