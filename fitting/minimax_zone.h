#pragma once

#include "fitting/chebyshev_exchange.h"
#include "fitting/minimax_fit.h"

#include <Eigen/Core>

#include <string>

// What the round minimax fits share: the linear programs' goal of a
// criterion, the tolerance of a contact, and the diameter, form and
// contacts of a fit from its points' distances.

// False for least squares, which is no minimax criterion.
bool Zone_Goal(TCriterion criterion, TZoneGoal &goal);

// A point within this of a boundary is on it: the rounding of distances of
// lengths of size scale, with a margin.
inline double Contact_Tolerance(double scale)
{
    return 1e-12 * scale;
}

// Diameter, form and contacts from the distances of the points from the
// centre or axis.
void Fill_Zone(const Eigen::VectorXd &distance, TCriterion criterion, double tolerance,
               TMinimaxFit &fit);

// Whether the fit's diameter and form are those of the distances.
std::string Zone_Mismatch(const Eigen::VectorXd &distance, TCriterion criterion, double tolerance,
                          const TMinimaxFit &fit);
