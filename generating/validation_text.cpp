#include "generating/validation_text.h"

#include "generating/foot_points.h"
#include "validation/validation_reader.h"

#include <algorithm>
#include <cmath>

namespace {

// What the record of each type holds, in the order of FEATURE_TYPES.
const char *const RECORD_LAYOUTS[] = {
    "Plane record: number, point count, X Y Z of the centroid, I J K of the unit normal, RMS.",
    "Line record: number, point count, X Y Z of the centroid, I J K of the unit direction, RMS.",
    "Circle record: number, point count, X Y Z of the centre, I J K of the unit axis, "
    "diameter, RMS.",
    "Sphere record: number, point count, X Y Z of the centre, diameter, RMS.",
    "Cylinder record: number, point count, X Y Z of the axis point nearest the centroid, I J K "
    "of the unit axis, diameter, RMS.",
    "Cone record: number, point count, X Y Z of the axis point nearest the centroid, I J K of "
    "the unit axis towards the wider end, apex angle (included, degrees), diameter at the "
    "point, RMS.",
    "Torus record: number, point count, X Y Z of the centre, I J K of the unit axis, major "
    "diameter, minor diameter, RMS.",
};
static_assert(sizeof RECORD_LAYOUTS / sizeof *RECORD_LAYOUTS ==
                  sizeof FEATURE_TYPES / sizeof *FEATURE_TYPES,
              "a record layout for every type");

// The record's keyword as the reader knows it, capitalised: "Plane".
QByteArray Keyword(TFeatureType type)
{
    QByteArray keyword(Validation_Type(type).keyword);
    if (!keyword.isEmpty())
        keyword[0] = static_cast<char>(keyword[0] - 'a' + 'A');
    return keyword;
}

void Append_Integer(QByteArray &text, qint64 value)
{
    text.append(QByteArray::number(value));
}

// Writes units as a decimal with that many decimals at out; returns the end.
char *Write_Fixed(char *out, qint64 units, int decimals)
{
    char digits[24];
    int count = 0;
    quint64 magnitude = units < 0 ? 0 - static_cast<quint64>(units) : static_cast<quint64>(units);
    // At least one digit before the point.
    while (magnitude != 0 || count <= decimals) {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (units < 0)
        *out++ = '-';
    while (count > 0) {
        if (count == decimals)
            *out++ = '.';
        *out++ = digits[--count];
    }
    return out;
}

// The most characters a coordinate of the points takes: sign, digits, point.
int Coordinate_Width(const std::vector<TGridPoint> &points, int decimals)
{
    quint64 largest = 0;
    for (const TGridPoint &p : points) {
        for (const qint64 c : {p.x, p.y, p.z}) {
            const quint64 magnitude = c < 0 ? 0 - static_cast<quint64>(c) : static_cast<quint64>(c);
            largest = std::max(largest, magnitude);
        }
    }
    int digits = 1;
    for (quint64 rest = largest / 10; rest != 0; rest /= 10)
        ++digits;
    return 2 + std::max(digits, decimals + 1);
}

// A position with 15 decimals: its whole millimetres, then its 1e-15 mm,
// as Write_Fixed writes their sum.
void Append_Position(QByteArray &text, const TFixedPosition &value)
{
    if (value.whole < 0 || value.femto < 0)
        text.append('-');
    const quint64 whole =
        value.whole < 0 ? 0 - static_cast<quint64>(value.whole) : static_cast<quint64>(value.whole);
    const qint64 femto = value.femto < 0 ? -value.femto : value.femto;
    text.append(QByteArray::number(whole)).append('.');
    char digits[32];
    const char *end = Write_Fixed(digits, femto, 15);
    // Write_Fixed gave "0.ddd...": the digits after the point.
    text.append(digits + 2, static_cast<int>(end - digits - 2));
}

// What a minimax file's comments say: how its points were built and what
// its records hold.
QStringList Minimax_File_Comments(TFeatureType type, const QString &version, std::uint64_t seed,
                                  const QString &options, TCriterion criterion)
{
    QStringList comments = {
        QStringLiteral("Written by tessaline-generate (Tessaline %1), seed %2: %3")
            .arg(version)
            .arg(seed)
            .arg(options),
        QStringLiteral("Test data whose %1 fits are known exactly: each feature's contact "
                       "points were")
            .arg(QLatin1String(Criterion_Name(criterion))),
        QStringLiteral("placed in a configuration that makes the designed element optimal, "
                       "the others strictly"),
        QStringLiteral("inside. The record before them states the certified fit of the points "
                       "exactly as written."),
    };
    switch (type) {
    case TFeatureType::LINE:
        comments << QStringLiteral("Line record: number, point count, X Y Z of a point of the "
                                   "middle line (nearest the centroid), I J K")
                 << QStringLiteral("of its unit direction, I J K of the normal of the plane it "
                                   "lies in, F (the straightness).")
                 << QStringLiteral("The line is fitted to the points projected onto that plane, "
                                   "through its point.");
        break;
    case TFeatureType::PLANE:
        comments << QStringLiteral("Plane record: number, point count, X Y Z of a point of the "
                                   "middle plane (nearest the centroid),")
                 << QStringLiteral("I J K of its unit normal, F (the flatness).");
        break;
    default:
        comments << QStringLiteral("Circle record: number, point count, X Y Z of the centre, I J "
                                   "K of the unit axis, D, F. The circle is fitted")
                 << QStringLiteral("to the points projected onto the plane through the centre "
                                   "normal to the axis.");
        comments << (criterion == TCriterion::MINIMUM_ZONE
                         ? QStringLiteral("D: the sum of the outer and inner radii; F: the zone's "
                                          "width (the roundness).")
                         : QStringLiteral("D: the %1 diameter; F: the range of the points' "
                                          "distances from the centre.")
                               .arg(criterion == TCriterion::MINIMUM_CIRCUMSCRIBED
                                        ? QStringLiteral("circumscribed")
                                        : QStringLiteral("inscribed")));
        break;
    }
    comments << QStringLiteral("Lengths in mm.");
    return comments;
}

} // namespace

void Append_Fixed(QByteArray &text, qint64 units, int decimals)
{
    char line[32];
    text.append(line, static_cast<int>(Write_Fixed(line, units, decimals) - line));
}

QString Parameters_Text(const TDataSetOptions &options)
{
    QString text = Describe(options);
    if (options.criterion != TCriterion::LEAST_SQUARES) {
        if (options.skew > 0)
            text +=
                QStringLiteral(", %1 of the deviations on a ramp").arg(Number_Text(options.skew));
        return text + QStringLiteral(", %1: the form is the width F")
                          .arg(QLatin1String(Criterion_Name(options.criterion)));
    }
    if (options.type == TFeatureType::CIRCLE)
        text += Radial_Only(options) ? QStringLiteral(", radial deviations")
                                     : QStringLiteral(", radial and axial deviations, never both "
                                                      "at one point");
    return text;
}

QString Data_Set_Label(const TDataSet &data_set)
{
    return Feature_Label(Validation_Type(data_set.options.type), data_set.number);
}

QStringList File_Comments(TFeatureType type, const QString &version, std::uint64_t seed,
                          const QString &options, TCriterion criterion)
{
    if (criterion != TCriterion::LEAST_SQUARES)
        return Minimax_File_Comments(type, version, seed, options, criterion);
    QStringList comments = {
        QStringLiteral("Written by tessaline-generate (Tessaline %1), seed %2: %3")
            .arg(version)
            .arg(seed)
            .arg(options),
        QStringLiteral("Test data whose least-squares fits are known exactly: each feature's "
                       "points were built"),
        QStringLiteral("about a designed element so that it is their least-squares fit. The "
                       "record before them"),
        QStringLiteral("states the least-squares fit of the points exactly as written, and last "
                       "the root mean"),
        QStringLiteral("square of the points' orthogonal distances from it. Lengths in mm."),
    };
    if (type == TFeatureType::CIRCLE) {
        comments << QStringLiteral("A circle in space is fitted as NIST defines it: the "
                                   "least-squares plane, then the")
                 << QStringLiteral("least-squares circle of the points projected onto it.");
    }
    comments << QLatin1String(RECORD_LAYOUTS[static_cast<int>(type)]);
    return comments;
}

QByteArray Validation_File_Text(TFeatureType type, const QStringList &comments,
                                const std::vector<TDataSet> &data_sets, TCriterion criterion)
{
    const bool minimax = criterion != TCriterion::LEAST_SQUARES;
    QByteArray text;
    for (const QString &comment : comments) {
        if (comment.isEmpty())
            continue;
        text.append("# ").append(comment.toUtf8()).append('\n');
    }
    text.append(Find_Validation_Type(type, criterion)->header).append('\n');
    const QByteArray keyword = Keyword(type);
    for (const TDataSet &data_set : data_sets) {
        text.append("# ").append(Data_Set_Label(data_set).toUtf8()).append(": ");
        text.append(Parameters_Text(data_set.options).toUtf8());
        if (!data_set.note.isEmpty())
            text.append("; ").append(data_set.note.toUtf8());
        text.append('\n');

        text.append(keyword).append(' ');
        Append_Integer(text, data_set.number);
        text.append(' ');
        Append_Integer(text, static_cast<qint64>(data_set.points.size()));
        for (const TFixedPosition &value : data_set.position) {
            text.append(' ');
            Append_Position(text, value);
        }
        if (type != TFeatureType::SPHERE) {
            for (qint64 value : data_set.direction) {
                text.append(' ');
                Append_Fixed(text, value, 15);
            }
        }
        if (minimax && type == TFeatureType::LINE) {
            for (qint64 value : data_set.plane_normal) {
                text.append(' ');
                Append_Fixed(text, value, 15);
            }
        }
        if (type == TFeatureType::CONE) {
            text.append(' ');
            Append_Fixed(text, data_set.apex_angle, 15);
        }
        if (type != TFeatureType::PLANE && type != TFeatureType::LINE) {
            text.append(' ');
            Append_Fixed(text, data_set.diameter, 15);
        }
        if (type == TFeatureType::TORUS) {
            text.append(' ');
            Append_Fixed(text, data_set.minor_diameter, 15);
        }
        text.append(' ');
        if (minimax)
            Append_Fixed(text, data_set.form, 15);
        else
            Append_Fixed(text, std::llround(data_set.residual_rms * 1e9), 9);
        text.append('\n');

        // Written straight into the text, which is then cut to what was written.
        const qint64 start = text.size();
        const qint64 room = static_cast<qint64>(data_set.points.size()) * 3 *
                            (Coordinate_Width(data_set.points, data_set.decimals) + 1);
        text.resize(static_cast<int>(start + room));
        char *out = text.data() + start;
        for (const TGridPoint &p : data_set.points) {
            out = Write_Fixed(out, p.x, data_set.decimals);
            *out++ = ' ';
            out = Write_Fixed(out, p.y, data_set.decimals);
            *out++ = ' ';
            out = Write_Fixed(out, p.z, data_set.decimals);
            *out++ = '\n';
        }
        text.resize(static_cast<int>(out - text.constData()));
    }
    return text;
}
