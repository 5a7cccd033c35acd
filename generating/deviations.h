#pragma once

#include "generating/foot_points.h"

#include <vector>

// Raw deviations (step 3): for each component (a line has two per point),
// three harmonic lobes of random order, amplitude and phase over the foot
// points' cycles, plus uniform random values. One value per point and
// component, the components one after the other.
std::vector<double> Raw_Deviations(const TFootPoints &feet, TRandom &random);

// Takes out of the values their part in the span of each block's columns
// (step 4), e = f - Q Q^T f with Q an orthonormal basis of the columns
// (modified Gram-Schmidt), the projection done twice, which leaves sum e c
// at rounding level. Columns that depend on the others are dropped.
void Project_Out(std::vector<double> &values, std::vector<TConditions> conditions);

// Scales the deviations so that the largest |e_k| (for a line the length of
// its two components) is form (step 5). Deviations that vanished in the
// projection (no more points than conditions) are made exactly zero.
// Returns the largest |e_k| after scaling.
double Scale_To_Form(std::vector<double> &values, size_t points, double form, double largest_raw);
