#include "generating/data_set_options.h"

#include <QLocale>

#include <cmath>

namespace {

const char *const TYPE_NAMES[] = {"plane", "line", "circle", "sphere"};
const char *const ORIENTATION_NAMES[] = {"axis", "tilted", "random"};

} // namespace

TDataSetOptions Default_Options(TFeatureType type)
{
    TDataSetOptions options;
    options.type = type;
    options.arc = type == TFeatureType::SPHERE ? 180 : 360;
    return options;
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
    }
    return 4;
}

bool Has_Aspect(TFeatureType type)
{
    return type == TFeatureType::PLANE;
}

bool Has_Arc(TFeatureType type)
{
    return type == TFeatureType::CIRCLE || type == TFeatureType::SPHERE;
}

double Max_Arc(TFeatureType type)
{
    return type == TFeatureType::SPHERE ? 180 : 360;
}

const char *Orientation_Name(TOrientation orientation)
{
    return ORIENTATION_NAMES[static_cast<int>(orientation)];
}

bool Type_From_Name(const QString &name, TFeatureType &type)
{
    for (int i = 0; i < 4; ++i) {
        if (name == QLatin1String(TYPE_NAMES[i])) {
            type = static_cast<TFeatureType>(i);
            return true;
        }
    }
    return false;
}

bool Orientation_From_Name(const QString &name, TOrientation &orientation)
{
    for (int i = 0; i < 3; ++i) {
        if (name == QLatin1String(ORIENTATION_NAMES[i])) {
            orientation = static_cast<TOrientation>(i);
            return true;
        }
    }
    return false;
}

QString Number_Text(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString Options_Problem(const TDataSetOptions &options)
{
    const TFeatureType type = options.type;
    const QString name = QLatin1String(Feature_Type_Name(type));
    if (options.points < Least_Points(type))
        return QStringLiteral("--points: a %1 needs at least %2").arg(name).arg(Least_Points(type));
    if (options.points > MAX_POINTS)
        return QStringLiteral("--points: at most %1").arg(MAX_POINTS);
    if (!(options.size > 0 && options.size <= MAX_SIZE))
        return QStringLiteral("--size: more than 0 and at most %1 mm").arg(MAX_SIZE);
    if (!(options.aspect >= 1 && options.aspect <= MAX_ASPECT))
        return QStringLiteral("--aspect: from 1 to %1").arg(MAX_ASPECT);
    if (!(options.arc > 0 && options.arc <= Max_Arc(type)))
        return QStringLiteral("--arc: more than 0 and at most %1 degrees for a %2")
            .arg(Max_Arc(type))
            .arg(name);
    if (!(options.distance >= 0 && options.distance <= MAX_DISTANCE))
        return QStringLiteral("--distance: from 0 to %1 mm").arg(MAX_DISTANCE);
    // A quarter of the size leaves every foot point on its side of the
    // centre and of the plane patch's middle.
    if (!(options.form >= 0 && options.form <= options.size / 4))
        return QStringLiteral("--form: from 0 to a quarter of the size (%1 mm)")
            .arg(Number_Text(options.size / 4));
    if (options.decimals < 0 || options.decimals > MAX_DECIMALS)
        return QStringLiteral("--decimals: from 0 to %1").arg(MAX_DECIMALS);
    return {};
}

QString Describe(const TDataSetOptions &options)
{
    QString text = QStringLiteral("%1 points, ").arg(options.points);
    switch (options.type) {
    case TFeatureType::PLANE:
        text += QStringLiteral("patch %1 x %2 mm (aspect %3)")
                    .arg(Number_Text(options.size), Number_Text(options.size / options.aspect),
                         Number_Text(options.aspect));
        break;
    case TFeatureType::LINE:
        text += QStringLiteral("length %1 mm").arg(Number_Text(options.size));
        break;
    case TFeatureType::CIRCLE:
        text += QStringLiteral("diameter %1 mm, arc %2 degrees")
                    .arg(Number_Text(options.size), Number_Text(options.arc));
        break;
    case TFeatureType::SPHERE:
        text += QStringLiteral("diameter %1 mm, cap half-angle %2 degrees")
                    .arg(Number_Text(options.size), Number_Text(options.arc));
        break;
    }
    text +=
        QStringLiteral(", distance %1 mm, orientation %2, form %3 mm, %4 decimals")
            .arg(Number_Text(options.distance),
                 QLatin1String(Orientation_Name(options.orientation)), Number_Text(options.form))
            .arg(options.decimals);
    return text;
}
