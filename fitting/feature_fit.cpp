#include "fitting/feature_fit.h"

TFit Fit_Feature(TFeatureType type, const std::vector<TVector3> &points, const TFit *start)
{
    switch (type) {
    case TFeatureType::PLANE:
        return Fit_Plane(points);
    case TFeatureType::LINE:
        return Fit_Line(points);
    case TFeatureType::CIRCLE:
        return Fit_Circle(points);
    case TFeatureType::SPHERE:
        return Fit_Sphere(points);
    case TFeatureType::CYLINDER:
        return Fit_Cylinder(points, start);
    case TFeatureType::CONE:
        return Fit_Cone(points, start);
    case TFeatureType::TORUS:
        return Fit_Torus(points, start);
    }
    return {};
}
