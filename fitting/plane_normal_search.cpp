#include "fitting/plane_normal_search.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

// Most cells and most candidate values the search may take before it gives
// up as not closing: far more than the data sets of a measured plane need
// (a million points take some 2e8 values), and a bound on the time of a
// search on points that hold no plane, such as a sphere's.
constexpr long Plane_Cell_Limit = 4000000;

double Plane_Work_Limit(size_t count)
{
    return 1e9 + 100.0 * static_cast<double>(count);
}

struct TPlaneCell
{
    int face;
    double a;
    double b;
    double half;
    std::shared_ptr<const std::vector<int>> top;
    std::shared_ptr<const std::vector<int>> bottom;
};

Eigen::Vector3d Face_Direction(int face, double a, double b)
{
    Eigen::Vector3d d;
    d(face) = 1;
    d((face + 1) % 3) = a;
    d((face + 2) % 3) = b;
    return d;
}

} // namespace

TPlaneSearch Plane_Normal_Search(const TPrincipalPoints &local, size_t count, double tolerance)
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
    double work = 0;
    while (!level.empty()) {
        next.clear();
        for (const TPlaneCell &cell : level) {
            work += static_cast<double>(cell.top->size() + cell.bottom->size());
            if (++search.cells > Plane_Cell_Limit || work > Plane_Work_Limit(count)) {
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
