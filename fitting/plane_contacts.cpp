#include "fitting/plane_contacts.h"

#include "fitting/convex_hull_2d.h"

#include <Eigen/Geometry>

#include <cmath>

namespace {

// Coordinates in the plane normal to n.
struct TView
{
    Eigen::Vector3d e1;
    Eigen::Vector3d e2;

    explicit TView(const Eigen::Vector3d &n)
    {
        Eigen::Index least = 0;
        n.cwiseAbs().minCoeff(&least);
        e1 = Eigen::Vector3d::Unit(least).cross(n).normalized();
        e2 = n.normalized().cross(e1);
    }
    Eigen::Vector2d operator()(const Eigen::Vector3d &p) const
    {
        return Eigen::Vector2d(p.dot(e1), p.dot(e2));
    }
};

// The signed distance of p from the line through a and b, positive to the left.
double Side(const Eigen::Vector2d &a, const Eigen::Vector2d &b, const Eigen::Vector2d &p)
{
    const double length = (b - a).norm();
    return length > 0 ? Turn(a, b, p) / length : 0;
}

} // namespace

bool Foot_In_Triangle(const Eigen::Vector3d &a, const Eigen::Vector3d &b, const Eigen::Vector3d &c,
                      const Eigen::Vector3d &p, const Eigen::Vector3d &n, double tolerance)
{
    const TView view(n);
    const Eigen::Vector2d A = view(a), B = view(b), C = view(c), P = view(p);
    const double orientation = Turn(A, B, C) >= 0 ? 1 : -1;
    return orientation * Side(A, B, P) >= -tolerance && orientation * Side(B, C, P) >= -tolerance &&
           orientation * Side(C, A, P) >= -tolerance && Turn(A, B, C) != 0;
}

bool Segments_Cross(const Eigen::Vector3d &a, const Eigen::Vector3d &b, const Eigen::Vector3d &c,
                    const Eigen::Vector3d &d, const Eigen::Vector3d &n, double tolerance)
{
    const TView view(n);
    const Eigen::Vector2d A = view(a), B = view(b), C = view(c), D = view(d);
    if ((B - A).norm() <= tolerance || (D - C).norm() <= tolerance)
        return false;
    const auto straddles = [tolerance](double s, double t) {
        return (s <= tolerance && t >= -tolerance) || (s >= -tolerance && t <= tolerance);
    };
    return straddles(Side(A, B, C), Side(A, B, D)) && straddles(Side(C, D, A), Side(C, D, B));
}
