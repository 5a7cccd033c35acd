#pragma once

#include "generating/data_set.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

// Writes an integer count of 10^-decimals as a decimal with exactly that
// many decimals ("-12.30000"; no decimal point for 0 decimals), appended.
void Append_Fixed(QByteArray &text, qint64 units, int decimals);

// The parameters of a data set in words, as its comment in the file and the
// manual page give them: Describe's text and, for a circle, the kind of its
// deviations.
QString Parameters_Text(const TDataSetOptions &options);

// "PLN_3", as the converter labels the data set's feature.
QString Data_Set_Label(const TDataSet &data_set);

// The comment lines that start a file: the program and Tessaline's version,
// the seed, the options (as given in "options"), and what the records hold.
QStringList File_Comments(TFeatureType type, const QString &version, std::uint64_t seed,
                          const QString &options, TCriterion criterion = TCriterion::LEAST_SQUARES);

// A validation file of data sets of one type and criterion, in the format
// the converter reads: the comments (each line written after "# "), the
// header, then for each data set a comment with its label and parameters,
// its feature record (references with 15 decimals, then the RMS of the
// residuals with 9, or a minimax record's F with 15) and its points with the
// data set's decimals.
QByteArray Validation_File_Text(TFeatureType type, const QStringList &comments,
                                const std::vector<TDataSet> &data_sets,
                                TCriterion criterion = TCriterion::LEAST_SQUARES);
