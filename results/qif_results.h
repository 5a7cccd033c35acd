#pragma once

#include "results/results_labels.h"

// Whether the text is markup: its first character other than XML white
// space is "<". Such a results file is read as QIF.
bool Starts_With_Markup(const char *begin, const char *end);

// The measured features of each type of the QIF document's
// MeasurementResults number wanted (from 1; 0 for the first, with a warning
// when there are several), lengths converted to millimetres, with the form
// its form characteristics state for each. A feature whose
// SubstituteFeatureAlgorithm is another than the criterion's is warned
// about and read all the same. Sets reading.failure when the document
// cannot be used at all. Returns how many such measurements it holds.
int Read_Qif_Results(const char *begin, const char *end, int wanted, TCriterion criterion,
                     TResultsCollector &collector, TResultsReading &reading);
