#include "validation/feature_type.h"

const char *Feature_Type_Name(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
        return "plane";
    case TFeatureType::LINE:
        return "line";
    case TFeatureType::CIRCLE:
        return "circle";
    case TFeatureType::SPHERE:
        return "sphere";
    case TFeatureType::CYLINDER:
        return "cylinder";
    case TFeatureType::CONE:
        return "cone";
    case TFeatureType::TORUS:
        return "torus";
    }
    return "";
}

int Least_Points(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
        return 3;
    case TFeatureType::LINE:
        return 2;
    case TFeatureType::CIRCLE:
        return 3;
    case TFeatureType::SPHERE:
        return 4;
    case TFeatureType::CYLINDER:
        return 5;
    case TFeatureType::CONE:
        return 6;
    case TFeatureType::TORUS:
        return 7;
    }
    return 4;
}
