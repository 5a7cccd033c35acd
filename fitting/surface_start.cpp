#include "fitting/surface_start.h"

#include <Eigen/QR>

#include <cmath>

namespace {

// Kasa's circle through points (x, y): |p|^2 = 2 p.c + A, r^2 = A + |c|^2.
bool Plane_Circle(const std::vector<Eigen::Vector2d> &points, Eigen::Vector2d &centre,
                  double &radius)
{
    Eigen::Vector2d mean = Eigen::Vector2d::Zero();
    for (const Eigen::Vector2d &p : points) {
        mean += p;
    }
    mean /= static_cast<double>(points.size());
    double scale = 0;
    for (const Eigen::Vector2d &p : points) {
        scale += (p - mean).squaredNorm();
    }
    scale = std::sqrt(scale / static_cast<double>(points.size()));
    if (!(scale > 0)) {
        return false;
    }
    Eigen::MatrixXd a(points.size(), 3);
    Eigen::VectorXd b(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Eigen::Vector2d x = (points[i] - mean) / scale;
        a.row(i) << 2 * x.x(), 2 * x.y(), 1;
        b(i) = x.squaredNorm();
    }
    const Eigen::Vector3d solution = a.colPivHouseholderQr().solve(b);
    const double squared = solution(2) + solution.head<2>().squaredNorm();
    if (!solution.allFinite() || !(squared > 0)) {
        return false;
    }
    centre = mean + scale * solution.head<2>();
    radius = scale * std::sqrt(squared);
    return true;
}

} // namespace

TAxialStart Axial_Start(const std::vector<Eigen::Vector3d> &points, const TAxisFrame &frame,
                        bool cone)
{
    TAxialStart start;
    double scale = 0;
    for (const Eigen::Vector3d &p : points) {
        scale += p.squaredNorm();
    }
    scale = std::sqrt(scale / static_cast<double>(points.size()));
    if (!(scale > 0)) {
        return start;
    }
    const int columns = cone ? 5 : 3;
    Eigen::MatrixXd a(points.size(), columns);
    Eigen::VectorXd b(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Eigen::Vector3d p = points[i] / scale;
        const double x = p.dot(frame.across_1);
        const double y = p.dot(frame.across_2);
        const double h = p.dot(frame.axis);
        a(i, 0) = 2 * x;
        a(i, 1) = 2 * y;
        a(i, 2) = 1;
        if (cone) {
            a(i, 3) = h;
            a(i, 4) = h * h;
        }
        b(i) = x * x + y * y;
    }
    const Eigen::VectorXd solution = a.colPivHouseholderQr().solve(b);
    if (!solution.allFinite()) {
        return start;
    }
    const Eigen::Vector2d centre = solution.head<2>();
    const double squared = solution(2) + centre.squaredNorm();
    if (!(squared > 0)) {
        return start;
    }
    start.found = true;
    start.anchor = scale * (centre.x() * frame.across_1 + centre.y() * frame.across_2);
    start.radius = scale * std::sqrt(squared);
    start.slope = cone ? solution(3) / (2 * std::sqrt(squared)) : 0;
    return start;
}

TTorusStart Torus_Start(const std::vector<Eigen::Vector3d> &points, const TAxisFrame &frame)
{
    TTorusStart start;
    std::vector<Eigen::Vector2d> across;
    across.reserve(points.size());
    for (const Eigen::Vector3d &p : points) {
        across.emplace_back(p.dot(frame.across_1), p.dot(frame.across_2));
    }
    Eigen::Vector2d centre;
    double radius = 0;
    if (!Plane_Circle(across, centre, radius)) {
        return start;
    }
    std::vector<Eigen::Vector2d> section;
    section.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        section.emplace_back((across[i] - centre).norm(), points[i].dot(frame.axis));
    }
    Eigen::Vector2d tube;
    double minor = 0;
    if (!Plane_Circle(section, tube, minor)) {
        return start;
    }
    start.found = true;
    start.centre =
        centre.x() * frame.across_1 + centre.y() * frame.across_2 + tube.y() * frame.axis;
    start.major = tube.x();
    start.minor = minor;
    return start;
}

bool Usable_Start(const TFit &start)
{
    const TVector3 &p = start.position;
    const TVector3 &d = start.direction;
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(d.x) &&
           std::isfinite(d.y) && std::isfinite(d.z) && (d ^ d) > 0 &&
           std::isfinite(start.diameter) && start.diameter > 0 && std::isfinite(start.apex_angle) &&
           std::isfinite(start.minor_diameter);
}
