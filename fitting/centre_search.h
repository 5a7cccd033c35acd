#pragma once

#include "fitting/chebyshev_exchange.h"

#include <Eigen/Core>

#include <functional>
#include <string>
#include <vector>

// Branch and bound over a sphere's centre for the goals that are not convex:
// the zone (max - min of the distances, 2-Lipschitz in the centre) and the
// inscribed sphere (-min, 1-Lipschitz). Boxes of centres are bounded from
// below on a subset of the points (a subset's goal is never above the
// whole set's) and split until their bound shows they cannot improve on the
// best state by more than margin; a box too small to split is judged on all
// points, its extreme points join the subset, and where it still could be
// better, refine is asked for the local optimum from its centre. inside
// (for the inscribed sphere) rejects boxes wholly outside the points' hull.
struct TCentreSearch
{
    bool finished = false;
    Eigen::Vector3d centre = Eigen::Vector3d::Zero();
    double value = 0;
    int boxes = 0;
    int refined = 0;
    std::string failure;
};

// refine(from, centre, value): a local optimum from "from" and its goal on
// all points; false when there is none that counts (outside the hull).
using TCentreRefine = std::function<bool(const Eigen::Vector3d &, Eigen::Vector3d &, double &)>;

struct TCentreDomain
{
    Eigen::Vector3d middle = Eigen::Vector3d::Zero();
    double half_side = 0;
    // Half-spaces u.c <= support holding the points' hull (inscribed only).
    std::vector<Eigen::Vector3d> normals;
    std::vector<double> supports;
};

TCentreSearch Search_Centres(const std::vector<Eigen::Vector3d> &points,
                             const std::vector<Eigen::Vector3d> &subset, TZoneGoal goal,
                             const TCentreDomain &domain, const Eigen::Vector3d &best_centre,
                             double best_value, double margin, const TCentreRefine &refine);
