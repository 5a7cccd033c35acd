#pragma once

#include "cli/grade/grade_options.h"

#include <cstdio>

// One tessaline-grade run: reads the reference and the results, grades,
// writes the table, the JSON and the report. Returns the exit status: 0
// when every feature passes, 1 otherwise, 2 when an input cannot be used
// or an output cannot be written.
int Run_Grading(const TGradeOptions &options, FILE *standard_error = stderr);
