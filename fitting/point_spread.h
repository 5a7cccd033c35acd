#pragma once

#include "core/vector3.h"

#include <Eigen/Core>

#include <string>
#include <vector>

// Centroid of points and their principal directions, from the singular value
// decomposition of the centred N x 3 point matrix.
struct TPointSpread
{
    std::string failure; // non-finite or overflowing coordinates
    Eigen::Vector3d centroid = Eigen::Vector3d::Zero();
    Eigen::Matrix3d axes = Eigen::Matrix3d::Identity(); // columns, by decreasing spread
    Eigen::Vector3d spread = Eigen::Vector3d::Zero();   // singular values, decreasing
    // Spread that rounding of the coordinates alone can produce.
    double noise = 0;

    bool Coincident() const { return spread(0) <= noise; }
    bool Collinear() const { return Negligible(1); }
    bool Coplanar() const { return Negligible(2); }

private:
    bool Negligible(int index) const { return spread(index) <= 1e-12 * spread(0) + noise; }
};

TPointSpread Point_Spread(const std::vector<TVector3> &points);

// An origin by the centroid from which the offsets of points far from the
// coordinate origin come out exact: the centroid rounded to a multiple of
// 2^-10, which is a multiple of the last place of every coordinate of 1 mm
// or more. Fits of badly conditioned shapes would otherwise amplify the
// rounding of the offsets into their result.
Eigen::Vector3d Exact_Origin(const Eigen::Vector3d &centroid);

// The points about the exact origin near their centroid, and their root
// mean square distance from it: the length a surface fit measures its
// turns by.
struct TCentredPoints
{
    Eigen::Vector3d origin;
    std::vector<Eigen::Vector3d> local;
    double spread = 0;
};

TCentredPoints Centred_Points(const std::vector<TVector3> &points, const Eigen::Vector3d &centroid);

// Why points cannot carry the fit of a shape that needs at least minimum of
// them, spread in at least dimensions dimensions (a line 1, a plane or a
// circle 2, a sphere 3); empty when they can. Fills spread when there are
// enough points.
std::string Unfit_Reason(const std::vector<TVector3> &points, size_t minimum, const char *shape,
                         int dimensions, TPointSpread &spread);

// The sign every fit gives its direction: the component of largest magnitude
// is positive (the first of equal ones).
Eigen::Vector3d Signed_Direction(const Eigen::Vector3d &direction);

TVector3 To_Vector3(const Eigen::Vector3d &v);
