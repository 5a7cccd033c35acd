#include "fitting/plane_frame.h"

#include <Eigen/Geometry>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {

Eigen::Vector3d Vector(const TVector3 &p)
{
    return Eigen::Vector3d(p.x, p.y, p.z);
}

} // namespace

double Rounding_Tolerance(const std::vector<TVector3> &points)
{
    double largest = 1;
    for (const TVector3 &p : points)
        largest = std::max({largest, std::abs(p.x), std::abs(p.y), std::abs(p.z)});
    return 64 * std::numeric_limits<double>::epsilon() * largest;
}

TPlaneFrame Plane_Frame(const std::vector<TVector3> &points, const TVector3 &plane_point,
                        const TVector3 &plane_normal)
{
    TPlaneFrame frame;
    const Eigen::Vector3d point = Vector(plane_point);
    Eigen::Vector3d normal = Vector(plane_normal);
    if (!point.allFinite() || !normal.allFinite()) {
        frame.failure = "non-finite plane";
        return frame;
    }
    if (!(normal.norm() > 0)) {
        frame.failure = "the plane's normal has no length";
        return frame;
    }
    normal.normalize();
    Eigen::Vector3d sum = Eigen::Vector3d::Zero();
    for (const TVector3 &p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            frame.failure = "non-finite coordinates";
            return frame;
        }
        sum += Vector(p);
    }
    const double count = static_cast<double>(points.size());
    Eigen::Vector3d centroid = sum / count;
    // A second pass corrects the rounding of the long sum far from the origin.
    Eigen::Vector3d remainder = Eigen::Vector3d::Zero();
    for (const TVector3 &p : points)
        remainder += Vector(p) - centroid;
    centroid += remainder / count;
    if (!centroid.allFinite()) {
        frame.failure = "coordinates too large";
        return frame;
    }
    frame.normal = normal;
    frame.origin = centroid - (centroid - point).dot(normal) * normal;
    // u along the world axis most nearly in the plane, v completing the frame.
    Eigen::Index least = 0;
    normal.cwiseAbs().minCoeff(&least);
    frame.u = Eigen::Vector3d::Unit(least).cross(normal).normalized();
    frame.v = normal.cross(frame.u);
    try {
        frame.local.reserve(points.size());
    } catch (const std::bad_alloc &) {
        frame.failure = "out of memory";
        return frame;
    }
    for (const TVector3 &p : points)
        frame.local.push_back(frame.Local(Vector(p)));
    frame.tolerance = Rounding_Tolerance(points);
    return frame;
}
