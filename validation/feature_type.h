#pragma once

// The four kinds of feature a validation file can hold, one kind per file.
enum class TFeatureType
{
    PLANE,
    LINE,
    CIRCLE,
    SPHERE
};

// "plane", "line", "circle", "sphere": the type as files and reports name it.
const char *Feature_Type_Name(TFeatureType type);
