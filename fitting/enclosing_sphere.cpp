#include "fitting/enclosing_sphere.h"

#include <Eigen/QR>

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

// The smallest sphere with every boundary point on it: its centre in their
// affine hull, c = q0 + sum a_j (q_j - q0) with 2 (q_j - q0).(c - q0) =
// |q_j - q0|^2.
TEnclosingSphere Boundary_Sphere(const Eigen::Vector3d *boundary, int count)
{
    TEnclosingSphere sphere;
    if (count == 0) {
        sphere.radius = -1;
        return sphere;
    }
    const Eigen::Vector3d &q0 = boundary[0];
    if (count == 1) {
        sphere.centre = q0;
        return sphere;
    }
    Eigen::MatrixXd E(3, count - 1);
    for (int j = 1; j < count; ++j) {
        E.col(j - 1) = boundary[j] - q0;
    }
    const Eigen::MatrixXd gram = E.transpose() * E;
    const Eigen::VectorXd half = gram.diagonal() / 2;
    const Eigen::VectorXd a = gram.completeOrthogonalDecomposition().solve(half);
    sphere.centre = q0 + E * a;
    for (int j = 0; j < count; ++j) {
        sphere.radius = std::max(sphere.radius, (boundary[j] - sphere.centre).norm());
    }
    return sphere;
}

struct TWelzl
{
    const std::vector<Eigen::Vector3d> &points;
    double tolerance;
    Eigen::Vector3d boundary[4];

    bool Outside(const TEnclosingSphere &sphere, const Eigen::Vector3d &p) const
    {
        return sphere.radius < 0 || (p - sphere.centre).norm() > sphere.radius + tolerance;
    }

    // The smallest sphere of points[0, end) with the count boundary points on it.
    TEnclosingSphere Smallest(std::size_t end, int count)
    {
        TEnclosingSphere sphere = Boundary_Sphere(boundary, count);
        if (count == 4) {
            return sphere;
        }
        for (std::size_t i = 0; i < end; ++i) {
            if (Outside(sphere, points[i])) {
                boundary[count] = points[i];
                sphere = Smallest(i, count + 1);
            }
        }
        return sphere;
    }
};

} // namespace

TEnclosingSphere Enclosing_Sphere(const std::vector<Eigen::Vector3d> &points, double tolerance)
{
    // A fixed linear congruential shuffle: the expected linear time of
    // Welzl's algorithm without depending on chance.
    std::vector<Eigen::Vector3d> shuffled = points;
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (std::size_t i = shuffled.size(); i > 1; --i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        std::swap(shuffled[i - 1], shuffled[(state >> 33) % i]);
    }
    TWelzl welzl{shuffled, tolerance, {}};
    return welzl.Smallest(shuffled.size(), 0);
}
