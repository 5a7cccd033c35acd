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
    const int minimax = Least_Minimax_Points(type, criterion);
    return minimax > 0 ? minimax : Least_Points(type);
}
