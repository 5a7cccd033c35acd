#pragma once

#include "results/results_labels.h"

// Whether a line is the header of a CSV file of results: one of its fields
// is "label".
bool Is_Csv_Header(const TField &line);

// The rows of a CSV file of results, lengths converted to millimetres: each
// row's in the unit of its unit column (mm or inch) when there is one, else
// in unit. The header is its first non-blank line. Returns how many rows
// follow it.
int Read_Csv_Results(const char *begin, const char *end, TCsvUnit unit,
                     TResultsCollector &collector);
