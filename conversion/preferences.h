#pragma once

#include <QtGlobal>

// The user's one preference: how the validation points are written.
struct TPreferences
{
    // Held as a 32-bit integer: a value from an edited settings file is kept
    // as it is, even when it names neither type.
    enum TDMISFeatureType : qint32
    {
        MEASURED_POINTS = 0,
        CONSTRUCTED_OFFSET_POINTS = 1
    };

    TDMISFeatureType dmis_feature_type = MEASURED_POINTS;
};
