#pragma once

#include "conversion/preferences.h"

#include <QByteArray>

// How large the program of a validation file is, in lines and characters.
struct TProgramSize
{
    qint64 lines = 0;
    qint64 characters = 0;

    bool Exceeds(const TProgramSize &limit) const
    {
        return lines > limit.lines || characters > limit.characters;
    }
};

// The size of the program that the Open command would show for content,
// found by running the very conversion into a counter, so that nothing of
// the text has to be held.
TProgramSize Measure_Program(const QByteArray &content, const TPreferences &preferences);
