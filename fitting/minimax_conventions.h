#pragma once

#include "core/vector3.h"
#include "fitting/minimax_fit.h"

#include <Eigen/Core>

#include <string>
#include <vector>

// What the minimax fits and their certificates share.

inline Eigen::Vector3d Eigen_Vector(const TVector3 &p)
{
    return Eigen::Vector3d(p.x, p.y, p.z);
}

// Why direction is not a unit vector whose component of largest magnitude is
// positive; empty when it is.
std::string Direction_Refusal(const TVector3 &direction);

// Why contacts are not distinct indices of count points; empty when they are.
std::string Contacts_Refusal(const std::vector<int> &contacts, size_t count);

// The fit refused, with the reason; contacts and element cleared.
TMinimaxFit Refused(const std::string &failure);

// "too few points: <shape> needs at least <least>"
std::string Too_Few(const char *shape, size_t least);

// A length for a message, to the tenth of a nanometre.
std::string Millimetres(double length);
