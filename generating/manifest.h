#pragma once

#include "generating/data_set.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <vector>

// The data sets of one written file, by the file's name.
struct TManifestFile
{
    QString file;
    const std::vector<TDataSet> *data_sets;
};

// One data set's entry: file, label, type, points, size, aspect (planes,
// else null), arc (circles, spheres, cylinders, cones, tori, else null);
// length (cylinders, cones), angle (cones), minor and band (tori), absent
// for the other types; distance, orientation,
// form, decimals, residual_rms, largest_residual; circles add
// definition_gap {position, angle, size} and deviations ("radial", or
// "radial and axial"), spheres cap_axis [x, y, z]; a note where there is one.
// A minimax data set's entry has criterion and skew instead of the
// residuals and the circle's definition gap and deviations.
// Residuals are rounded to 1e-9 mm as the file writes the RMS; the gap to
// 3 significant digits, 0 below 1e-10 (the fits' own rounding, which could
// differ between machines in the last digits).
QJsonObject Data_Set_Json(const QString &file, const TDataSet &data_set);

// The manifest: {"version", "seed", "options", "data_sets": [...]}, the
// data sets file by file, in order. Indented, ends with a line feed.
QByteArray Manifest_Json(const QString &version, std::uint64_t seed, const QJsonObject &options,
                         const std::vector<TManifestFile> &files);
