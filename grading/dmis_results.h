#pragma once

#include "grading/results_labels.h"

// The FA(label)=FEAT/... results of a DMIS output file, in the length unit
// of the UNITS statement before each.
void Read_Dmis_Results(const char *begin, const char *end, TResultsCollector &collector);
