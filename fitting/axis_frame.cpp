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

std::vector<Eigen::Vector3d> Hemisphere_Directions(int count)
{
    // The golden angle, radians.
    const double golden = 2.39996322972865332;
    std::vector<Eigen::Vector3d> directions;
    directions.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double z = (i + 0.5) / count;
        const double across = std::sqrt((1 - z) * (1 + z));
        const double turn = golden * i;
        directions.emplace_back(across * std::cos(turn), across * std::sin(turn), z);
    }
    return directions;
}
