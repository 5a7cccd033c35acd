#include "generating/minimax_options.h"

#include "core/message_number.h"

#include <algorithm>

bool Generates_Criterion(TFeatureType type, TCriterion criterion)
{
    switch (type) {
    case TFeatureType::LINE:
    case TFeatureType::PLANE:
        return criterion == TCriterion::LEAST_SQUARES || criterion == TCriterion::MINIMUM_ZONE;
    case TFeatureType::CIRCLE:
    case TFeatureType::SPHERE:
    case TFeatureType::CYLINDER:
        return true;
    default:
        return criterion == TCriterion::LEAST_SQUARES;
    }
}

QString Criterion_Element_Name(TFeatureType type, TCriterion criterion)
{
    const QString name = QLatin1String(Feature_Type_Name(type));
    if (criterion == TCriterion::LEAST_SQUARES)
        return name;
    return QLatin1String(Criterion_Name(criterion)) + QLatin1Char(' ') + name;
}

double Least_Minimax_Arc(TFeatureType type, TCriterion criterion)
{
    if (type == TFeatureType::SPHERE) {
        // A cap's half-angle: two opposite points on its rim; four whose
        // tetrahedron holds the centre, the three on the rim a third of
        // the radius below it.
        if (criterion == TCriterion::MINIMUM_CIRCUMSCRIBED)
            return 90;
        return criterion == TCriterion::MAXIMUM_INSCRIBED ? 110 : 0;
    }
    if (type != TFeatureType::CIRCLE && type != TFeatureType::CYLINDER)
        return 0;
    switch (criterion) {
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        // A cylinder's sections hold three contacts each, as an inscribed
        // one's do.
        return type == TFeatureType::CYLINDER ? 200 : 180;
    case TCriterion::MAXIMUM_INSCRIBED:
        // At 180 degrees the centre would lie on the triangle's edge; 200
        // keeps it a sixth of the radius inside.
        return 200;
    default:
        return 0;
    }
}

int Least_Generated_Points(const TDataSetOptions &options)
{
    const TCriterion criterion = options.criterion;
    if (criterion == TCriterion::LEAST_SQUARES)
        return Least_Points(options.type, criterion);
    const bool zone = criterion == TCriterion::MINIMUM_ZONE;
    int contacts = 0;
    switch (options.type) {
    case TFeatureType::SPHERE:
        contacts = zone ? 6 : criterion == TCriterion::MINIMUM_CIRCUMSCRIBED ? 2 : 4;
        break;
    case TFeatureType::CYLINDER:
        contacts = 6;
        break;
    default:
        break;
    }
    return std::max(contacts, Least_Points(options.type, criterion));
}

QString Minimax_Options_Problem(const TDataSetOptions &options)
{
    const TFeatureType type = options.type;
    const TCriterion criterion = options.criterion;
    if (criterion == TCriterion::LEAST_SQUARES)
        return {};
    const QString name = QLatin1String(Feature_Type_Name(type));
    if (!Generates_Criterion(type, criterion)) {
        if (type == TFeatureType::LINE || type == TFeatureType::PLANE)
            return QStringLiteral("--criterion: a %1 is fitted by the minimum zone only").arg(name);
        return QStringLiteral("--criterion: %1 data sets are generated for lines, planes, "
                              "circles, spheres and cylinders, not a %2")
            .arg(QLatin1String(Criterion_Name(criterion)), name);
    }
    // With no width the zone's boundaries coincide and no contact
    // configuration is told apart from the others.
    if (!(options.form > 0))
        return QStringLiteral("--form: more than 0 for a %1")
            .arg(Criterion_Element_Name(type, criterion));
    const double least_arc = Least_Minimax_Arc(type, criterion);
    if (options.arc < least_arc)
        return QStringLiteral("--arc: a %1 needs an arc of at least %2 degrees")
            .arg(Criterion_Element_Name(type, criterion), Message_Number(least_arc));
    return {};
}
