#include "fitting/minimax_conventions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

std::string Direction_Refusal(const TVector3 &direction)
{
    const Eigen::Vector3d d = Eigen_Vector(direction);
    if (!d.allFinite() || std::abs(d.norm() - 1) > 8 * std::numeric_limits<double>::epsilon())
        return "the direction is not a unit vector";
    Eigen::Index largest = 0;
    d.cwiseAbs().maxCoeff(&largest);
    if (d(largest) < 0)
        return "the direction's component of largest magnitude is negative";
    return {};
}

std::string Contacts_Refusal(const std::vector<int> &contacts, size_t count)
{
    for (size_t i = 0; i < contacts.size(); ++i) {
        if (contacts[i] < 0 || static_cast<size_t>(contacts[i]) >= count)
            return "a contact is not a point of the data";
        if (std::count(contacts.begin(), contacts.end(), contacts[i]) > 1)
            return "a contact is named twice";
    }
    return {};
}

TMinimaxFit Refused(const std::string &failure)
{
    TMinimaxFit fit;
    fit.failure = failure;
    return fit;
}

std::string Too_Few(const char *shape, size_t least)
{
    return std::string("too few points: ") + shape + " needs at least " + std::to_string(least);
}

std::string Millimetres(double length)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.10f mm", length);
    return text;
}
