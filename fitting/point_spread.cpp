#include "fitting/point_spread.h"

#include "fitting/row_qr.h"

#include <Eigen/SVD>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

Eigen::Vector3d Vector(const TVector3 &p)
{
    return Eigen::Vector3d(p.x, p.y, p.z);
}

} // namespace

TPointSpread Point_Spread(const std::vector<TVector3> &points)
{
    TPointSpread result;
    const double count = static_cast<double>(points.size());
    Eigen::Vector3d sum = Eigen::Vector3d::Zero();
    double largest = 0;
    for (const TVector3 &p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            result.failure = "non-finite coordinates";
            return result;
        }
        const Eigen::Vector3d v = Vector(p);
        sum += v;
        largest = std::max(largest, v.cwiseAbs().maxCoeff());
    }
    // Far from the origin the first mean is off by the rounding of a long sum;
    // the mean of what remains corrects it.
    Eigen::Vector3d centroid = sum / count;
    Eigen::Vector3d remainder = Eigen::Vector3d::Zero();
    for (const TVector3 &p : points) {
        remainder += Vector(p) - centroid;
    }
    centroid += remainder / count;
    if (!centroid.allFinite()) {
        result.failure = "coordinates too large";
        return result;
    }

    TRowQR<3> qr;
    for (const TVector3 &p : points) {
        qr.Add((Vector(p) - centroid).transpose());
    }
    const Eigen::Matrix3d R = qr.R();
    if (!R.allFinite()) {
        result.failure = "coordinates too large";
        return result;
    }
    const Eigen::JacobiSVD<Eigen::Matrix3d> svd(R, Eigen::ComputeFullV);
    result.centroid = centroid;
    result.axes = svd.matrixV();
    result.spread = svd.singularValues();
    // Each centred coordinate carries a rounding of about eps times the
    // largest coordinate; together they spread that much in every direction.
    result.noise = 16 * std::numeric_limits<double>::epsilon() * std::sqrt(count) * largest;
    return result;
}

Eigen::Vector3d Signed_Direction(const Eigen::Vector3d &direction)
{
    Eigen::Index largest = 0;
    direction.cwiseAbs().maxCoeff(&largest);
    return direction(largest) < 0 ? Eigen::Vector3d(-direction) : direction;
}

TVector3 To_Vector3(const Eigen::Vector3d &v)
{
    return TVector3(v.x(), v.y(), v.z());
}

std::string Unfit_Reason(const std::vector<TVector3> &points, size_t minimum, const char *shape,
                         int dimensions, TPointSpread &spread)
{
    if (points.size() < minimum)
        return std::string("too few points: ") + shape + " needs at least " +
               std::to_string(minimum);
    spread = Point_Spread(points);
    if (!spread.failure.empty())
        return spread.failure;
    if (spread.Coincident())
        return "coincident points";
    if (dimensions >= 2 && spread.Collinear())
        return "collinear points";
    if (dimensions >= 3 && spread.Coplanar())
        return "coplanar points";
    return {};
}

Eigen::Vector3d Exact_Origin(const Eigen::Vector3d &centroid)
{
    Eigen::Vector3d origin;
    for (int i = 0; i < 3; ++i)
        origin(i) = std::ldexp(std::round(std::ldexp(centroid(i), 10)), -10);
    return origin;
}

TCentredPoints Centred_Points(const std::vector<TVector3> &points, const Eigen::Vector3d &centroid)
{
    TCentredPoints centred;
    centred.origin = Exact_Origin(centroid);
    centred.local.reserve(points.size());
    double squares = 0;
    for (const TVector3 &p : points) {
        centred.local.push_back(Eigen::Vector3d(p.x, p.y, p.z) - centred.origin);
        squares += centred.local.back().squaredNorm();
    }
    centred.spread = std::sqrt(squares / static_cast<double>(points.size()));
    return centred;
}
