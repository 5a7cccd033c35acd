#include "fitting/surface_start.h"

#include <Eigen/Eigenvalues>
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

// The points' root mean square distance from the origin: the scale their
// linear systems are solved in.
double Root_Mean_Square(const std::vector<Eigen::Vector3d> &points)
{
    double squares = 0;
    for (const Eigen::Vector3d &p : points) {
        squares += p.squaredNorm();
    }
    return std::sqrt(squares / static_cast<double>(points.size()));
}

} // namespace

TAxialStart Axial_Start(const std::vector<Eigen::Vector3d> &points, const TAxisFrame &frame,
                        bool cone)
{
    TAxialStart start;
    const double scale = Root_Mean_Square(points);
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

TTorusStart Section_Start(const std::vector<Eigen::Vector3d> &points, const TAxisFrame &frame,
                          const Eigen::Vector3d &centre)
{
    TTorusStart start;
    std::vector<Eigen::Vector2d> section;
    section.reserve(points.size());
    for (const Eigen::Vector3d &p : points) {
        const Eigen::Vector3d v = p - centre;
        const double height = v.dot(frame.axis);
        section.emplace_back((v - height * frame.axis).norm(), height);
    }
    Eigen::Vector2d tube;
    double minor = 0;
    if (!Plane_Circle(section, tube, minor)) {
        return start;
    }
    start.found = true;
    start.centre = centre + tube.y() * frame.axis;
    start.major = tube.x();
    start.minor = minor;
    return start;
}

TTorusStart Torus_Algebraic_Start(const std::vector<Eigen::Vector3d> &points, Eigen::Vector3d &axis)
{
    TTorusStart start;
    if (points.size() < 13) {
        return start;
    }
    const double scale = Root_Mean_Square(points);
    if (!(scale > 0)) {
        return start;
    }
    // Columns: c (3), Q's xx yy zz xy xz yz, L (3), k.
    Eigen::MatrixXd a(points.size(), 13);
    Eigen::VectorXd b(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Eigen::Vector3d p = points[i] / scale;
        const double s = p.squaredNorm();
        a.row(static_cast<Eigen::Index>(i)) << 4 * s * p.x(), 4 * s * p.y(), 4 * s * p.z(),
            p.x() * p.x(), p.y() * p.y(), p.z() * p.z(), 2 * p.x() * p.y(), 2 * p.x() * p.z(),
            2 * p.y() * p.z(), p.x(), p.y(), p.z(), 1;
        b(static_cast<Eigen::Index>(i)) = s * s;
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    if (qr.rank() < 13) {
        return start;
    }
    const Eigen::VectorXd solution = qr.solve(b);
    if (!solution.allFinite()) {
        return start;
    }
    const Eigen::Vector3d centre = solution.head<3>();
    Eigen::Matrix3d q;
    q << solution(3), solution(6), solution(7), solution(6), solution(4), solution(8), solution(7),
        solution(8), solution(5);
    const Eigen::Matrix3d m = q + 4 * centre * centre.transpose();
    const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> eigen(m);
    // Eigenvalues ascending: the single one is the least (4 R^2 below the
    // pair); with noise, the one farther from the middle.
    const Eigen::Vector3d values = eigen.eigenvalues();
    const int single = values(1) - values(0) >= values(2) - values(1) ? 0 : 2;
    axis = eigen.eigenvectors().col(single);
    if (!axis.allFinite()) {
        return start;
    }
    return Section_Start(points, Axis_Frame(axis), scale * centre);
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
