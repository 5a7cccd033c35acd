#pragma once

// The kinds of feature a validation file can hold, one kind per file.
enum class TFeatureType
{
    PLANE,
    LINE,
    CIRCLE,
    SPHERE,
    CYLINDER,
    CONE,
    TORUS
};

// Every type, in the order above.
constexpr TFeatureType FEATURE_TYPES[] = {TFeatureType::PLANE,    TFeatureType::LINE,
                                          TFeatureType::CIRCLE,   TFeatureType::SPHERE,
                                          TFeatureType::CYLINDER, TFeatureType::CONE,
                                          TFeatureType::TORUS};

// "plane", "line", "circle", "sphere", "cylinder", "cone", "torus": the type
// as files and reports name it.
const char *Feature_Type_Name(TFeatureType type);
