#pragma once

// The four kinds of feature a validation file can hold, one kind per file.
enum class TFeatureType
{
    PLANE,
    LINE,
    CIRCLE,
    SPHERE
};
