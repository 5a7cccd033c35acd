#include "fitting/centre_search.h"

#include <cmath>
#include <queue>

namespace {

struct TBox
{
    Eigen::Vector3d middle;
    double half_side;
    double bound;
    bool operator<(const TBox &other) const { return bound > other.bound; }
};

struct TExtremes
{
    double value;
    std::size_t nearest;
    std::size_t farthest;
};

TExtremes Goal_At(const std::vector<Eigen::Vector3d> &points, const Eigen::Vector3d &centre,
                  TZoneGoal goal)
{
    double nearest = HUGE_VAL;
    double farthest = 0;
    TExtremes extremes{0, 0, 0};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double squared = (points[i] - centre).squaredNorm();
        if (squared < nearest) {
            nearest = squared;
            extremes.nearest = i;
        }
        if (squared > farthest) {
            farthest = squared;
            extremes.farthest = i;
        }
    }
    extremes.value =
        goal == TZoneGoal::ZONE ? std::sqrt(farthest) - std::sqrt(nearest) : -std::sqrt(nearest);
    return extremes;
}

bool Outside(const TCentreDomain &domain, const TBox &box)
{
    for (std::size_t j = 0; j < domain.normals.size(); ++j) {
        const Eigen::Vector3d &u = domain.normals[j];
        if (u.dot(box.middle) - box.half_side * u.lpNorm<1>() > domain.supports[j]) {
            return true;
        }
    }
    return false;
}

constexpr int Most_Boxes = 4000000;
constexpr int Most_Refined = 200;

} // namespace

TCentreSearch Search_Centres(const std::vector<Eigen::Vector3d> &points,
                             const std::vector<Eigen::Vector3d> &subset, TZoneGoal goal,
                             const TCentreDomain &domain, const Eigen::Vector3d &best_centre,
                             double best_value, double margin, const TCentreRefine &refine)
{
    TCentreSearch search;
    search.centre = best_centre;
    search.value = best_value;
    std::vector<Eigen::Vector3d> sample = subset;
    const double lipschitz = (goal == TZoneGoal::ZONE ? 2 : 1) * std::sqrt(3.0);
    std::priority_queue<TBox> boxes;
    const auto push = [&](const Eigen::Vector3d &middle, double half_side) {
        TBox box{middle, half_side, 0};
        if (Outside(domain, box)) {
            return;
        }
        box.bound = Goal_At(sample, middle, goal).value - lipschitz * half_side;
        ++search.boxes;
        if (box.bound < search.value - margin) {
            boxes.push(box);
        }
    };
    push(domain.middle, domain.half_side);
    while (!boxes.empty()) {
        if (search.boxes > Most_Boxes || search.refined > Most_Refined) {
            search.failure = "the search over the centre did not end";
            return search;
        }
        const TBox box = boxes.top();
        boxes.pop();
        if (box.bound >= search.value - margin) {
            continue; // a better state found since it was queued
        }
        if (lipschitz * box.half_side <= margin / 2) {
            const TExtremes all = Goal_At(points, box.middle, goal);
            sample.push_back(points[all.nearest]);
            sample.push_back(points[all.farthest]);
            if (all.value - lipschitz * box.half_side >= search.value - margin) {
                continue;
            }
            ++search.refined;
            Eigen::Vector3d centre;
            double value = 0;
            if (refine(box.middle, centre, value) && value < search.value) {
                search.centre = centre;
                search.value = value;
                continue;
            }
            if (all.value < search.value - margin / 2) {
                search.failure = "a centre better than the local optimum found from it";
                return search;
            }
            continue;
        }
        const double half = box.half_side / 2;
        for (int corner = 0; corner < 8; ++corner) {
            const Eigen::Vector3d offset((corner & 1) ? half : -half, (corner & 2) ? half : -half,
                                         (corner & 4) ? half : -half);
            push(box.middle + offset, half);
        }
    }
    search.finished = true;
    return search;
}
