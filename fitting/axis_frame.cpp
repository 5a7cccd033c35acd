#include "fitting/axis_frame.h"

std::vector<Eigen::Vector3d> Evenly_Spaced(const std::vector<Eigen::Vector3d> &points,
                                           std::size_t count)
{
    if (points.size() <= count) {
        return points;
    }
    std::vector<Eigen::Vector3d> sample;
    sample.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        sample.push_back(points[i * points.size() / count]);
    }
    return sample;
}
