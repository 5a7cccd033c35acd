#include "validation/criterion.h"

#include <cstring>

const char *Criterion_Name(TCriterion criterion)
{
    switch (criterion) {
    case TCriterion::LEAST_SQUARES:
        return "least-squares";
    case TCriterion::MINIMUM_ZONE:
        return "minimum-zone";
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        return "minimum-circumscribed";
    case TCriterion::MAXIMUM_INSCRIBED:
        return "maximum-inscribed";
    }
    return "";
}

bool Criterion_Of_Name(const char *name, TCriterion *criterion)
{
    for (TCriterion each : CRITERIA) {
        if (std::strcmp(name, Criterion_Name(each)) == 0) {
            *criterion = each;
            return true;
        }
    }
    return false;
}

int Least_Points(TFeatureType type, TCriterion criterion)
{
    switch (criterion) {
    case TCriterion::LEAST_SQUARES:
        break;
    case TCriterion::MINIMUM_ZONE:
        switch (type) {
        case TFeatureType::LINE:
            return 3;
        case TFeatureType::PLANE:
        case TFeatureType::CIRCLE:
            return 4;
        case TFeatureType::SPHERE:
            return 5;
        case TFeatureType::CYLINDER:
            return 6;
        default:
            break;
        }
        break;
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        switch (type) {
        case TFeatureType::CIRCLE:
        case TFeatureType::SPHERE:
            return 2;
        case TFeatureType::CYLINDER:
            return 5;
        default:
            break;
        }
        break;
    case TCriterion::MAXIMUM_INSCRIBED:
        switch (type) {
        case TFeatureType::CIRCLE:
            return 3;
        case TFeatureType::SPHERE:
            return 4;
        case TFeatureType::CYLINDER:
            return 5;
        default:
            break;
        }
        break;
    }
    return Least_Points(type);
}
