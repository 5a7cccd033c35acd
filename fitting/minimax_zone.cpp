#include "fitting/minimax_zone.h"

#include <cmath>

bool Zone_Goal(TCriterion criterion, TZoneGoal &goal)
{
    switch (criterion) {
    case TCriterion::MINIMUM_ZONE:
        goal = TZoneGoal::ZONE;
        return true;
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        goal = TZoneGoal::OUTER;
        return true;
    case TCriterion::MAXIMUM_INSCRIBED:
        goal = TZoneGoal::INNER;
        return true;
    case TCriterion::LEAST_SQUARES:
        break;
    }
    return false;
}

namespace {

void Zone_Size(const Eigen::VectorXd &distance, TCriterion criterion, double &diameter,
               double &form)
{
    const double outer = distance.maxCoeff();
    const double inner = distance.minCoeff();
    form = outer - inner;
    switch (criterion) {
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        diameter = 2 * outer;
        break;
    case TCriterion::MAXIMUM_INSCRIBED:
        diameter = 2 * inner;
        break;
    default:
        diameter = outer + inner;
        break;
    }
}

} // namespace

void Fill_Zone(const Eigen::VectorXd &distance, TCriterion criterion, double tolerance,
               TMinimaxFit &fit)
{
    Zone_Size(distance, criterion, fit.diameter, fit.form);
    const double outer = distance.maxCoeff();
    const double inner = distance.minCoeff();
    fit.outer_contacts.clear();
    fit.inner_contacts.clear();
    for (Eigen::Index i = 0; i < distance.size(); ++i) {
        if (criterion != TCriterion::MAXIMUM_INSCRIBED && distance(i) >= outer - tolerance) {
            fit.outer_contacts.push_back(static_cast<int>(i));
        }
        if (criterion != TCriterion::MINIMUM_CIRCUMSCRIBED && distance(i) <= inner + tolerance) {
            fit.inner_contacts.push_back(static_cast<int>(i));
        }
    }
}

std::string Zone_Mismatch(const Eigen::VectorXd &distance, TCriterion criterion, double tolerance,
                          const TMinimaxFit &fit)
{
    double diameter = 0;
    double form = 0;
    Zone_Size(distance, criterion, diameter, form);
    if (!(std::abs(diameter - fit.diameter) <= 2 * tolerance)) {
        return "the diameter is not the points'";
    }
    if (!(std::abs(form - fit.form) <= 2 * tolerance)) {
        return "the form is not the points'";
    }
    const double outer = distance.maxCoeff();
    const double inner = distance.minCoeff();
    for (int i : fit.outer_contacts) {
        if (i < 0 || i >= distance.size() || distance(i) < outer - tolerance) {
            return "an outer contact off the outer boundary";
        }
    }
    for (int i : fit.inner_contacts) {
        if (i < 0 || i >= distance.size() || distance(i) > inner + tolerance) {
            return "an inner contact off the inner boundary";
        }
    }
    return {};
}
