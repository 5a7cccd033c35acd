#include "fitting/round_start.h"

#include <Eigen/Eigenvalues>

#include <cmath>

// With the points centred (mean m) and scaled by their root mean square
// distance s, x = (p - m) / s and z = |x|^2 of mean Z, the constant is
// C = -A Z and the fit minimises a^T M a, a = (A, B), M the moment matrix of
// w = (z - Z, x), subject to Taubin's 4 A^2 Z + |B|^2 = 1 (the mean squared
// gradient). That is the smallest generalised eigenvalue of M a = eta N a,
// N = diag(4 Z, 1, ...), solved symmetrically through N^(-1/2).
template <int Dimension>
TRoundStart<Dimension> Round_Start(const std::vector<Eigen::Matrix<double, Dimension, 1>> &points)
{
    using TPoint = Eigen::Matrix<double, Dimension, 1>;
    using TMoments = Eigen::Matrix<double, Dimension + 1, Dimension + 1>;
    using TCoefficients = Eigen::Matrix<double, Dimension + 1, 1>;

    TRoundStart<Dimension> start;
    const double count = static_cast<double>(points.size());
    TPoint mean = TPoint::Zero();
    for (const TPoint &p : points) {
        mean += p;
    }
    mean /= count;
    double squares = 0;
    for (const TPoint &p : points) {
        squares += (p - mean).squaredNorm();
    }
    const double scale = std::sqrt(squares / count);
    if (!(scale > 0)) {
        return start;
    }

    double mean_z = 0;
    for (const TPoint &p : points) {
        mean_z += ((p - mean) / scale).squaredNorm();
    }
    mean_z /= count;
    TMoments moments = TMoments::Zero();
    for (const TPoint &p : points) {
        const TPoint x = (p - mean) / scale;
        TCoefficients w;
        w(0) = x.squaredNorm() - mean_z;
        w.template tail<Dimension>() = x;
        moments.template selfadjointView<Eigen::Lower>().rankUpdate(w);
    }
    moments = moments.template selfadjointView<Eigen::Lower>();
    moments /= count;

    TCoefficients root_inverse = TCoefficients::Ones();
    root_inverse(0) = 1 / (2 * std::sqrt(mean_z));
    const TMoments symmetric = root_inverse.asDiagonal() * moments * root_inverse.asDiagonal();
    const Eigen::SelfAdjointEigenSolver<TMoments> solver(symmetric);
    if (solver.info() != Eigen::Success) {
        return start;
    }
    // Eigenvalues come in increasing order.
    const TCoefficients a = root_inverse.asDiagonal() * solver.eigenvectors().col(0);
    const double A = a(0);
    const TPoint B = a.template tail<Dimension>();
    const TPoint centre = -B / (2 * A);
    const double radius_squared = B.squaredNorm() / (4 * A * A) + mean_z;
    if (!centre.allFinite() || !std::isfinite(radius_squared)) {
        return start;
    }
    start.found = true;
    start.centre = mean + scale * centre;
    start.radius = scale * std::sqrt(radius_squared);
    return start;
}

template TRoundStart<2> Round_Start<2>(const std::vector<Eigen::Vector2d> &);
template TRoundStart<3> Round_Start<3>(const std::vector<Eigen::Vector3d> &);
