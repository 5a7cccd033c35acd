#include "fitting/minimax_fit.h"

#include "fitting/minimax_conventions.h"
#include "fitting/plane_contacts.h"
#include "fitting/plane_frame.h"
#include "fitting/point_spread.h"

#include <Eigen/Geometry>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

// The narrowest pair of parallel planes holding the points. Every direction,
// up to sign, is e_k + a e_i + b e_j with |a|, |b| <= 1 on one of the three
// faces of the cube about the principal axes. On a face the zone's width
// times sqrt(1 + a^2 + b^2) is max - min of linear functions of (a, b), so
// over a square cell the pair that is extreme at the cell's centre bounds it
// from below exactly as a linear function; a branch and bound over the faces
// closes on the global optimum, and the points that cannot be extreme
// anywhere in a cell leave its candidates. The contacts found there fix the
// zone exactly.

namespace {

constexpr long Plane_Cell_Limit = 4000000;

struct TPlaneCell
{
    int face;
    double a;
    double b;
    double half;
    std::shared_ptr<const std::vector<int>> top;
    std::shared_ptr<const std::vector<int>> bottom;
};

// The points in the principal frame, one array per axis.
struct TPrincipalPoints
{
    Eigen::Vector3d origin;
    Eigen::Matrix3d axes;
    std::array<std::vector<double>, 3> coordinate;

    Eigen::Vector3d operator[](size_t i) const
    {
        return Eigen::Vector3d(coordinate[0][i], coordinate[1][i], coordinate[2][i]);
    }
};

Eigen::Vector3d Face_Direction(int face, double a, double b)
{
    Eigen::Vector3d d;
    d(face) = 1;
    d((face + 1) % 3) = a;
    d((face + 2) % 3) = b;
    return d;
}

struct TPlaneSearch
{
    std::string failure;
    Eigen::Vector3d normal; // principal frame, unit
    double width = std::numeric_limits<double>::infinity();
    long cells = 0;
};

TPlaneSearch Search(const TPrincipalPoints &local, size_t count, double tolerance)
{
    TPlaneSearch search;
    auto all = std::make_shared<std::vector<int>>(count);
    for (size_t i = 0; i < count; ++i)
        (*all)[i] = static_cast<int>(i);
    std::vector<TPlaneCell> level;
    // The face of the least principal axis first: its centre is the start.
    for (int face : {2, 0, 1})
        level.push_back({face, 0, 0, 1, all, all});
    std::vector<TPlaneCell> next;
    std::vector<double> value;
    double best = std::numeric_limits<double>::infinity();
    while (!level.empty()) {
        next.clear();
        for (const TPlaneCell &cell : level) {
            if (++search.cells > Plane_Cell_Limit) {
                search.failure = "not certified: the search over the normal did not close";
                return search;
            }
            const std::vector<double> &z = local.coordinate[cell.face];
            const std::vector<double> &x = local.coordinate[(cell.face + 1) % 3];
            const std::vector<double> &y = local.coordinate[(cell.face + 2) % 3];
            const std::vector<int> &top = *cell.top;
            const std::vector<int> &bottom = *cell.bottom;
            value.resize(top.size() + bottom.size());
            size_t high = 0;
            size_t low = top.size();
            for (size_t k = 0; k < value.size(); ++k) {
                const int i = k < top.size() ? top[k] : bottom[k - top.size()];
                value[k] = z[i] + cell.a * x[i] + cell.b * y[i];
                if (k < top.size() && value[k] > value[high])
                    high = k;
                if (k >= top.size() && value[k] < value[low])
                    low = k;
            }
            const int h = top[high];
            const int l = bottom[low - top.size()];
            const double scale = std::sqrt(1 + cell.a * cell.a + cell.b * cell.b);
            const double width = (value[high] - value[low]) / scale;
            if (width < best) {
                best = width;
                search.width = width;
                search.normal = Face_Direction(cell.face, cell.a, cell.b) / scale;
            }
            const double reach_a = std::abs(cell.a) + cell.half;
            const double reach_b = std::abs(cell.b) + cell.half;
            const double lower = (value[high] - value[low] -
                                  (std::abs(x[h] - x[l]) + std::abs(y[h] - y[l])) * cell.half) /
                                 std::sqrt(1 + reach_a * reach_a + reach_b * reach_b);
            if (lower >= best - tolerance)
                continue;
            auto kept_top = std::make_shared<std::vector<int>>();
            auto kept_bottom = std::make_shared<std::vector<int>>();
            for (size_t k = 0; k < value.size(); ++k) {
                const bool is_top = k < top.size();
                const int i = is_top ? top[k] : bottom[k - top.size()];
                const int e = is_top ? h : l;
                const double gain = (std::abs(x[i] - x[e]) + std::abs(y[i] - y[e])) * cell.half;
                if (is_top && value[k] - value[high] + gain >= -tolerance)
                    kept_top->push_back(i);
                if (!is_top && value[k] - value[low] - gain <= tolerance)
                    kept_bottom->push_back(i);
            }
            const double quarter = cell.half / 2;
            for (int k = 0; k < 4; ++k) {
                const double a = cell.a + ((k & 1) ? quarter : -quarter);
                const double b = cell.b + ((k & 2) ? quarter : -quarter);
                next.push_back({cell.face, a, b, quarter, kept_top, kept_bottom});
            }
        }
        std::swap(level, next);
    }
    return search;
}

struct TZone
{
    Eigen::Vector3d normal;
    double width = std::numeric_limits<double>::infinity();
    std::vector<int> top;
    std::vector<int> bottom;
};

// The narrowest zone that three and one or two and two of the candidates
// fix in their configuration, holding all the candidates.
TZone Configured_Zone(const TPrincipalPoints &local, const std::vector<int> &top,
                      const std::vector<int> &bottom, double tolerance)
{
    TZone zone;
    std::vector<int> all = top;
    all.insert(all.end(), bottom.begin(), bottom.end());
    const auto consider = [&](Eigen::Vector3d n, const std::vector<int> &up,
                              const std::vector<int> &down) {
        if (!(n.norm() > 0))
            return;
        n.normalize();
        if (n.dot(local[up[0]] - local[down[0]]) < 0)
            n = -n;
        const double high = n.dot(local[up[0]]);
        const double low = n.dot(local[down[0]]);
        for (int i : all) {
            const double v = n.dot(local[i]);
            if (v > high + tolerance || v < low - tolerance)
                return;
        }
        if (high - low < zone.width) {
            zone.width = high - low;
            zone.normal = n;
            zone.top = up;
            zone.bottom = down;
        }
    };
    const auto triangles = [&](const std::vector<int> &three, const std::vector<int> &one,
                               bool three_up) {
        for (size_t a = 0; a < three.size(); ++a)
            for (size_t b = a + 1; b < three.size(); ++b)
                for (size_t c = b + 1; c < three.size(); ++c)
                    for (int p : one) {
                        const Eigen::Vector3d A = local[three[a]], B = local[three[b]],
                                              C = local[three[c]];
                        const Eigen::Vector3d n = (B - A).cross(C - A);
                        if (!(n.norm() > 0) || !Foot_In_Triangle(A, B, C, local[p], n, tolerance))
                            continue;
                        const std::vector<int> side{three[a], three[b], three[c]};
                        if (three_up)
                            consider(n, side, {p});
                        else
                            consider(n, {p}, side);
                    }
    };
    triangles(top, bottom, true);
    triangles(bottom, top, false);
    for (size_t a = 0; a < top.size(); ++a)
        for (size_t b = a + 1; b < top.size(); ++b)
            for (size_t c = 0; c < bottom.size(); ++c)
                for (size_t d = c + 1; d < bottom.size(); ++d) {
                    const Eigen::Vector3d A = local[top[a]], B = local[top[b]],
                                          C = local[bottom[c]], D = local[bottom[d]];
                    const Eigen::Vector3d n = (B - A).cross(D - C);
                    if (n.norm() > 0 && Segments_Cross(A, B, C, D, n, tolerance))
                        consider(n, {top[a], top[b]}, {bottom[c], bottom[d]});
                }
    return zone;
}

// Points within margin of the zone's sides along n, the nearest ten of each.
void Near_Sides(const TPrincipalPoints &local, size_t count, const Eigen::Vector3d &n,
                double margin, std::vector<int> *top, std::vector<int> *bottom)
{
    double high = -std::numeric_limits<double>::infinity();
    double low = -high;
    for (size_t i = 0; i < count; ++i) {
        const double v = n.dot(local[i]);
        high = std::max(high, v);
        low = std::min(low, v);
    }
    std::vector<std::pair<double, int>> up;
    std::vector<std::pair<double, int>> down;
    for (size_t i = 0; i < count; ++i) {
        const double v = n.dot(local[i]);
        if (v >= high - margin)
            up.push_back({high - v, static_cast<int>(i)});
        if (v <= low + margin)
            down.push_back({v - low, static_cast<int>(i)});
    }
    std::sort(up.begin(), up.end());
    std::sort(down.begin(), down.end());
    top->clear();
    bottom->clear();
    for (size_t k = 0; k < up.size() && k < 10; ++k)
        top->push_back(up[k].second);
    for (size_t k = 0; k < down.size() && k < 10; ++k)
        bottom->push_back(down[k].second);
}

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
    if (points.size() < 4)
        return Too_Few("a plane's zone", 4);
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
        search = Search(local, points.size(), tolerance);
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
