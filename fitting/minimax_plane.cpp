#include "fitting/minimax_fit.h"

#include "fitting/minimax_conventions.h"
#include "fitting/plane_contacts.h"
#include "fitting/plane_frame.h"
#include "fitting/plane_normal_search.h"
#include "fitting/point_spread.h"

#include <Eigen/Geometry>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

namespace {

// The points about an exact origin by their centroid, with that centroid.
struct TAboutCentroid
{
    Eigen::Vector3d origin;
    Eigen::Vector3d centroid; // about the origin
};

TAboutCentroid About_Centroid(const std::vector<TVector3> &points)
{
    Eigen::Vector3d sum = Eigen::Vector3d::Zero();
    for (const TVector3 &p : points)
        sum += Eigen_Vector(p);
    const Eigen::Vector3d mean = sum / static_cast<double>(points.size());
    TAboutCentroid about;
    about.origin = Exact_Origin(mean);
    Eigen::Vector3d offsets = Eigen::Vector3d::Zero();
    for (const TVector3 &p : points)
        offsets += Eigen_Vector(p) - about.origin;
    about.centroid = offsets / static_cast<double>(points.size());
    return about;
}

} // namespace

std::string Minimax_Plane_Refusal(const std::vector<TVector3> &points, const TMinimaxFit &fit)
{
    constexpr size_t least = Least_Minimax_Points(TFeatureType::PLANE, TCriterion::MINIMUM_ZONE);
    if (points.size() < least)
        return Too_Few("a plane's zone", least);
    for (const TVector3 &p : points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return "non-finite coordinates";
    std::string refusal = Direction_Refusal(fit.direction);
    if (!refusal.empty())
        return refusal;
    if (!std::isfinite(fit.form) || !(fit.form >= 0))
        return "the form is not a length";
    const double tolerance = Rounding_Tolerance(points);
    const TAboutCentroid about = About_Centroid(points);
    const Eigen::Vector3d n = Eigen_Vector(fit.direction);
    const Eigen::Vector3d middle = Eigen_Vector(fit.position) - about.origin;
    if (!middle.allFinite())
        return "the position is not a point";
    const Eigen::Vector3d off = middle - about.centroid;
    if ((off - n * off.dot(n)).norm() > tolerance)
        return "the position is not the plane's point nearest the centroid";
    const double half = fit.form / 2;
    for (size_t i = 0; i < points.size(); ++i) {
        const double offset = n.dot(Eigen_Vector(points[i]) - about.origin - middle);
        if (std::abs(offset) > half + tolerance)
            return "point " + std::to_string(i + 1) + " lies outside the zone by " +
                   Millimetres(std::abs(offset) - half);
    }
    std::vector<Eigen::Vector3d> up;
    std::vector<Eigen::Vector3d> down;
    for (const auto *side : {&fit.outer_contacts, &fit.inner_contacts}) {
        refusal = Contacts_Refusal(*side, points.size());
        if (!refusal.empty())
            return refusal;
        const bool outer = side == &fit.outer_contacts;
        for (int c : *side) {
            const Eigen::Vector3d p = Eigen_Vector(points[c]) - about.origin;
            if ((outer ? 1 : -1) * n.dot(p - middle) < half - tolerance)
                return "contact " + std::to_string(c + 1) + " is not on its side of the zone";
            (outer ? up : down).push_back(p);
        }
    }
    const bool held = (up.size() == 3 && down.size() == 1 &&
                       Foot_In_Triangle(up[0], up[1], up[2], down[0], n, tolerance)) ||
                      (up.size() == 1 && down.size() == 3 &&
                       Foot_In_Triangle(down[0], down[1], down[2], up[0], n, tolerance)) ||
                      (up.size() == 2 && down.size() == 2 &&
                       Segments_Cross(up[0], up[1], down[0], down[1], n, tolerance));
    if (!held)
        return "the contacts are not three round the foot of one, nor two and two that cross";
    return {};
}

TMinimaxFit Fit_Minimax_Plane(const std::vector<TVector3> &points)
{
    TPointSpread spread;
    const std::string reason = Unfit_Reason(points, 4, "a plane's zone", 2, spread);
    if (!reason.empty())
        return Refused(reason);
    const double tolerance = Rounding_Tolerance(points);
    TPrincipalPoints local;
    local.origin = Exact_Origin(spread.centroid);
    local.axes = spread.axes;
    TPlaneSearch search;
    TZone zone;
    try {
        for (auto &axis : local.coordinate)
            axis.resize(points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            const Eigen::Vector3d q =
                local.axes.transpose() * (Eigen_Vector(points[i]) - local.origin);
            for (int k = 0; k < 3; ++k)
                local.coordinate[k][i] = q(k);
        }
        search = Plane_Normal_Search(local, points.size(), tolerance);
        if (!search.failure.empty())
            return Refused(search.failure);
        // The contacts near the sides at the best normal found, the margin
        // widening until a configuration of them fixes a zone no wider.
        std::vector<int> top;
        std::vector<int> bottom;
        for (double margin = 16 * tolerance; margin <= 1e7 * tolerance; margin *= 8) {
            Near_Sides(local, points.size(), search.normal, margin, &top, &bottom);
            zone = Configured_Zone(local, top, bottom, tolerance);
            if (zone.width < std::numeric_limits<double>::infinity()) {
                double high = -std::numeric_limits<double>::infinity();
                double low = -high;
                for (size_t i = 0; i < points.size(); ++i) {
                    const double v = zone.normal.dot(local[i]);
                    high = std::max(high, v);
                    low = std::min(low, v);
                }
                zone.width = high - low;
                if (zone.width <= search.width + 4 * tolerance)
                    break;
            }
            zone.width = std::numeric_limits<double>::infinity();
        }
    } catch (const std::bad_alloc &) {
        return Refused("out of memory");
    }
    if (!(zone.width < std::numeric_limits<double>::infinity()))
        return Refused("not certified: no three and one or two and two contacts fix the zone");
    double high = -std::numeric_limits<double>::infinity();
    double low = -high;
    for (size_t i = 0; i < points.size(); ++i) {
        const double v = zone.normal.dot(local[i]);
        high = std::max(high, v);
        low = std::min(low, v);
    }
    const Eigen::Vector3d centroid = local.axes.transpose() * (spread.centroid - local.origin);
    const Eigen::Vector3d middle =
        centroid + zone.normal * ((high + low) / 2 - zone.normal.dot(centroid));
    const Eigen::Vector3d normal = local.axes * zone.normal;
    const Eigen::Vector3d signed_normal = Signed_Direction(normal);
    const bool flipped = signed_normal.dot(normal) < 0;
    TMinimaxFit fit;
    fit.direction = To_Vector3(signed_normal);
    fit.position = To_Vector3(local.origin + local.axes * middle);
    fit.form = high - low;
    fit.outer_contacts = flipped ? zone.bottom : zone.top;
    fit.inner_contacts = flipped ? zone.top : zone.bottom;
    fit.iterations = static_cast<int>(search.cells);
    const std::string refusal = Minimax_Plane_Refusal(points, fit);
    if (!refusal.empty())
        return Refused("not certified: " + refusal);
    fit.fitted = true;
    return fit;
}
