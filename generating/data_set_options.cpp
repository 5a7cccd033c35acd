#include "generating/data_set_options.h"

#include "generating/minimax_options.h"

#include "core/message_number.h"
#include "generating/portable_math.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

const char *const ORIENTATION_NAMES[] = {"axis", "tilted", "random"};

} // namespace

TDataSetOptions Default_Options(TFeatureType type)
{
    TDataSetOptions options;
    options.type = type;
    options.arc = type == TFeatureType::SPHERE ? 180 : 360;
    options.length = options.size;
    options.minor = options.size / 4;
    return options;
}

bool Has_Aspect(TFeatureType type)
{
    return type == TFeatureType::PLANE;
}

bool Has_Arc(TFeatureType type)
{
    return type != TFeatureType::PLANE && type != TFeatureType::LINE;
}

bool Has_Length(TFeatureType type)
{
    return type == TFeatureType::CYLINDER || type == TFeatureType::CONE;
}

bool Has_Angle(TFeatureType type)
{
    return type == TFeatureType::CONE;
}

bool Has_Minor(TFeatureType type)
{
    return type == TFeatureType::TORUS;
}

bool Has_Band(TFeatureType type)
{
    return type == TFeatureType::TORUS;
}

namespace {

// The tangent of a cone's half apex angle, the same everywhere.
double Half_Angle_Tangent(const TDataSetOptions &options)
{
    const TSineCosine half = Sine_Cosine(options.angle * (PI / 360));
    return half.sine / half.cosine;
}

bool Narrow_End_Round(const TDataSetOptions &options)
{
    return Narrow_Diameter(options) >= options.size / 10;
}

} // namespace

double Narrow_Diameter(const TDataSetOptions &options)
{
    return options.size - options.length * Half_Angle_Tangent(options);
}

double Largest_Form(const TDataSetOptions &options)
{
    const TFeatureType type = options.type;
    return Has_Minor(type)   ? options.minor / 4
           : Has_Angle(type) ? Narrow_Diameter(options) / 4
                             : options.size / 4;
}

double Longest_Cone_Length(TDataSetOptions options)
{
    options.length = Rounded_Down(0.9 * options.size / Half_Angle_Tangent(options));
    // The rounding of the narrow end's diameter may take the last bit.
    while (!Narrow_End_Round(options) && options.length > 0)
        options.length = Rounded_Down(std::nextafter(options.length, 0.0));
    return options.length;
}

void Fit_Defaults(TDataSetOptions &options, bool length_default, bool form_default)
{
    const bool cone = Has_Angle(options.type) && options.angle > 0 && options.angle < 180 &&
                      options.size > 0 && options.size <= MAX_SIZE;
    if (cone && length_default && !Narrow_End_Round(options))
        options.length = Longest_Cone_Length(options);
    if (!form_default)
        return;
    // Only where no other option is wrong: its message comes first.
    TDataSetOptions without_form = options;
    without_form.form = 0;
    const double largest = Largest_Form(options);
    if (options.form > largest && Options_Problem(without_form).isEmpty())
        options.form = Rounded_Down(largest);
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
    for (const TFeatureType candidate : FEATURE_TYPES) {
        if (name == QLatin1String(Feature_Type_Name(candidate))) {
            type = candidate;
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
    const QString problem = Minimax_Options_Problem(options);
    if (!problem.isEmpty())
        return problem;
    if (options.points < Least_Generated_Points(options))
        return QStringLiteral("--points: a %1 needs at least %2")
            .arg(Criterion_Element_Name(type, options.criterion))
            .arg(Least_Generated_Points(options));
    if (options.points > MAX_POINTS)
        return QStringLiteral("--points: at most %1").arg(MAX_POINTS);
    if (!(options.size > 0 && options.size <= MAX_SIZE))
        return QStringLiteral("--size: more than 0 and at most %1 mm")
            .arg(Message_Number(MAX_SIZE));
    if (!(options.aspect >= 1 && options.aspect <= MAX_ASPECT))
        return QStringLiteral("--aspect: from 1 to %1").arg(Message_Number(MAX_ASPECT));
    if (!(options.arc > 0 && options.arc <= Max_Arc(type)))
        return QStringLiteral("--arc: more than 0 and at most %1 degrees for a %2")
            .arg(Message_Number(Max_Arc(type)), name);
    if (Has_Length(type) && !(options.length > 0 && options.length <= MAX_LENGTH))
        return QStringLiteral("--length: more than 0 and at most %1 mm")
            .arg(Message_Number(MAX_LENGTH));
    if (Has_Angle(type) && !(options.angle > 0 && options.angle < 180))
        return QStringLiteral("--angle: more than 0 and less than 180 degrees");
    // The points stay on one side of the apex, on a cone whose narrow end is
    // still round.
    if (Has_Angle(type) && !Narrow_End_Round(options))
        return QStringLiteral("--length: the cone's diameter at the narrow end of its points "
                              "must stay at least a tenth of the size; at most %1 mm")
            .arg(Message_Number(Longest_Cone_Length(options)));
    // A ring torus: the tube does not reach the axis.
    if (Has_Minor(type) && !(options.minor > 0 && options.minor < options.size))
        return QStringLiteral("--minor: more than 0 and less than the size (%1 mm)")
            .arg(Upper_Bound_Number(options.size));
    if (Has_Band(type) && !(options.band > 0 && options.band <= 360))
        return QStringLiteral("--band: more than 0 and at most 360 degrees");
    if (!(options.distance >= 0 && options.distance <= MAX_DISTANCE))
        return QStringLiteral("--distance: from 0 to %1 mm").arg(Message_Number(MAX_DISTANCE));
    // A quarter of the size (of a torus' minor diameter, of a cone's narrow
    // end) leaves every foot point on its side of the centre, the axis and
    // the plane patch's middle.
    const double form_limit = Largest_Form(options);
    const char *const form_of = Has_Minor(type)   ? "the minor diameter"
                                : Has_Angle(type) ? "the narrow end's diameter"
                                                  : "the size";
    if (!(options.form >= 0 && options.form <= form_limit))
        return QStringLiteral("--form: from 0 to a quarter of %1 (%2 mm)")
            .arg(QLatin1String(form_of), Upper_Bound_Number(form_limit));
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
                    .arg(Number_Text(options.size), Message_Number(options.size / options.aspect),
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
    case TFeatureType::CYLINDER:
        text += QStringLiteral("diameter %1 mm, length %2 mm, arc %3 degrees")
                    .arg(Number_Text(options.size), Number_Text(options.length),
                         Number_Text(options.arc));
        break;
    case TFeatureType::CONE:
        text += QStringLiteral("diameter %1 mm at the middle, apex angle %2 degrees, length %3 "
                               "mm, arc %4 degrees")
                    .arg(Number_Text(options.size), Number_Text(options.angle),
                         Number_Text(options.length), Number_Text(options.arc));
        break;
    case TFeatureType::TORUS:
        text += QStringLiteral("major diameter %1 mm, minor diameter %2 mm, arc %3 degrees, "
                               "band %4 degrees")
                    .arg(Number_Text(options.size), Number_Text(options.minor),
                         Number_Text(options.arc), Number_Text(options.band));
        break;
    }
    text +=
        QStringLiteral(", distance %1 mm, orientation %2, form %3 mm, %4 decimals")
            .arg(Number_Text(options.distance),
                 QLatin1String(Orientation_Name(options.orientation)), Number_Text(options.form))
            .arg(options.decimals);
    return text;
}
