#pragma once

#include "fitting/chebyshev_exchange.h"

#include <string>

// The optimality conditions of a minimax state, from its linearised
// distances: on the contacts (the points within tolerance of a boundary) no
// step within a small box lowers the goal by more than tolerance (first
// order), the multipliers of the contacts are positive, sum to 1 on each
// side the goal uses and balance the contacts' gradients, and each contact
// lies on its boundary within tolerance. strict asks besides for a strict
// (sharp) local minimum: the linearised problem's solution unique, judged on
// all contacts. Empty when all hold; otherwise what fails.
std::string Chebyshev_Certificate(const TChebyshevRows &rows, TZoneGoal goal, double scale,
                                  double tolerance, bool strict);
