#pragma once

#include "results/results_labels.h"

// The FA(label)=FEAT/... results of a DMIS output file, in the length unit
// of the UNITS statement before each. Returns how many FA(label)= statements
// it holds.
int Read_Dmis_Results(const char *begin, const char *end, TResultsCollector &collector);
