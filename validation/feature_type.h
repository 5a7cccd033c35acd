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
constexpr TFeatureType FEATURE_TYPES[] = {
    TFeatureType::PLANE,    TFeatureType::LINE, TFeatureType::CIRCLE, TFeatureType::SPHERE,
    TFeatureType::CYLINDER, TFeatureType::CONE, TFeatureType::TORUS};

// "plane", "line", "circle", "sphere", "cylinder", "cone", "torus": the type
// as files and reports name it.
const char *Feature_Type_Name(TFeatureType type);

// The least number of points the type's least-squares fit needs: a line 2,
// a plane or a circle 3, a sphere 4, a cylinder 5, a cone 6, a torus 7.
int Least_Points(TFeatureType type);
