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
