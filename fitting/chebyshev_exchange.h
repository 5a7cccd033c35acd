#pragma once

#include <Eigen/Core>

#include <vector>

// One step of a minimax fit, linearised: the points' distances d_i from the
// element and their gradients g_i by the step x (k parameters) bound an outer
// level u and an inner one v, d_i + g_i x <= u and d_i + g_i x >= v, within
// a box |x_j| <= box. The step minimises the zone u - v, the outer level u
// (circumscribed) or maximises the inner one v (inscribed).
enum class TZoneGoal
{
    ZONE,
    OUTER,
    INNER
};

struct TChebyshevRows
{
    Eigen::MatrixXd gradient; // one row a point, k columns
    Eigen::VectorXd distance;
};

struct TChebyshevStep
{
    bool solved = false;
    Eigen::VectorXd step;
    double outer = 0;
    double inner = 0;
    // The goal's value after the step: u - v, u or -v (always minimised).
    double value = 0;
    // Points whose bound holds with a positive multiplier, and those
    // multipliers (they sum to 1 on each side the goal uses).
    std::vector<int> outer_contacts;
    std::vector<int> inner_contacts;
    std::vector<double> outer_multipliers;
    std::vector<double> inner_multipliers;
    // Whether the box bounds the step (a multiplier of its own): the
    // linearised problem would go further.
    bool boxed = false;
    int exchanges = 0;
};

// The value of the goal for distances d with no step: max - min, max or
// -min.
double Zone_Value(const Eigen::VectorXd &distance, TZoneGoal goal);

// The linear program by an active-set (exchange) method from x = 0: each
// exchange moves along the goal's steepest descent within the bounds held,
// to the first bound met, or drops the bound of the most negative
// multiplier. Only bounds that could hold within the box take part.
TChebyshevStep Solve_Chebyshev_Step(const TChebyshevRows &rows, TZoneGoal goal, double box);
