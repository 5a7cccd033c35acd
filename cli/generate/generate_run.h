#pragma once

#include "cli/generate/generate_options.h"

#include <cstdio>

// One tessaline-generate run: builds the data sets, writes the validation
// file or the suite's files and the manifest. Returns the exit status: 0
// when everything was written, 1 when a data set was rejected (then nothing
// is written) or a file could not be written.
int Run_Generation(const TGenerateOptions &options, FILE *standard_error = stderr);
