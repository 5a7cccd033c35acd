#include "results/feature_forms.h"

const char *Dmis_Form_Tolerance(TFeatureType type)
{
    switch (type) {
    case TFeatureType::LINE:
        return "STRGHT";
    case TFeatureType::PLANE:
        return "FLAT";
    case TFeatureType::CIRCLE:
        return "CIRLTY";
    case TFeatureType::CYLINDER:
        return "CYLCTY";
    case TFeatureType::SPHERE:
    case TFeatureType::CONE:
    case TFeatureType::TORUS:
        break;
    }
    return nullptr;
}

const char *Qif_Form_Word(TFeatureType type)
{
    switch (type) {
    case TFeatureType::LINE:
        return "Straightness";
    case TFeatureType::PLANE:
        return "Flatness";
    case TFeatureType::CIRCLE:
        return "Circularity";
    case TFeatureType::SPHERE:
        return "Sphericity";
    case TFeatureType::CYLINDER:
        return "Cylindricity";
    case TFeatureType::CONE:
    case TFeatureType::TORUS:
        break;
    }
    return nullptr;
}

const char *Qif_Algorithm(TCriterion criterion)
{
    switch (criterion) {
    case TCriterion::LEAST_SQUARES:
        return "LEASTSQUARES";
    case TCriterion::MINIMUM_ZONE:
        return "MINMAX";
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        return "MINCIRCUMSCRIBED";
    case TCriterion::MAXIMUM_INSCRIBED:
        return "MAXINSCRIBED";
    }
    return "";
}

QString Criterion_Words(TCriterion criterion)
{
    return QString::fromLatin1(Criterion_Name(criterion))
        .replace(QLatin1Char('-'), QLatin1Char(' '));
}
