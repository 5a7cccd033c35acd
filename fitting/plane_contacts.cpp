#include "fitting/plane_contacts.h"

#include "fitting/convex_hull_2d.h"

#include <Eigen/Geometry>

#include <algorithm>
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
