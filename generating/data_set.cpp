#include "generating/data_set.h"

#include "core/message_number.h"
#include "core/vector_measures.h"
#include "fitting/feature_fit.h"
#include "generating/deviations.h"
#include "generating/foot_points.h"
#include "generating/minimax_data_set.h"
#include "generating/orthogonal_circle_fit.h"
#include "generating/random_numbers.h"
#include "generating/reference_fit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>

namespace {

constexpr qint64 FIXED_UNITS = 1000000000000000; // 1e15, the written references' unit

qint64 Power_Of_Ten(int exponent)
{
    qint64 power = 1;
    for (int i = 0; i < exponent; ++i)
        power *= 10;
    return power;
}

// A value in units of 1e-15 as a double, to within its last bit.
double From_Fixed(qint64 units)
{
    return static_cast<double>(units / FIXED_UNITS) +
           static_cast<double>(units % FIXED_UNITS) / static_cast<double>(FIXED_UNITS);
}

// The same for a position; the same bits as From_Fixed where that holds it.
double From_Fixed(const TFixedPosition &value)
{
    return static_cast<double>(value.whole) +
           static_cast<double>(value.femto) / static_cast<double>(FIXED_UNITS);
}

// Steps 2 to 5: the points about the design position, before rounding.
std::vector<TVec> Deviated_Points(const TDataSetOptions &options, const TDesign &design,
                                  TRandom &random)
{
    const size_t n = static_cast<size_t>(options.points);
    TFootPoints feet = Place_Foot_Points(options, design, random);
    std::vector<double> deviations = Raw_Deviations(feet, random);
    double largest_raw = 0;
    for (double f : deviations)
        largest_raw = std::max(largest_raw, std::abs(f));
    Project_Out(deviations, std::move(feet.conditions));
    Scale_To_Form(deviations, n, options.form, largest_raw);

    std::vector<TVec> points;
    points.reserve(n);
    for (size_t k = 0; k < n; ++k) {
        TVec local = feet.position[k] + feet.normal[k] * deviations[k];
        if (!feet.normal_2.empty())
            local = local + feet.normal_2[k] * deviations[n + k];
        points.push_back(local);
    }
    return points;
}

// Step 6: the points rounded to the grid of the written decimals.
std::vector<TGridPoint> Written_Grid(const TDataSetOptions &options, const TDesign &design,
                                     TRandom &random)
{
    const std::vector<TVec> local = Deviated_Points(options, design, random);
    const double scale = Grid_Scale(options.decimals);
    std::vector<TGridPoint> points;
    points.reserve(local.size());
    for (const TVec &p : local) {
        points.push_back({design.position[0] + std::llround(p.x * scale),
                          design.position[1] + std::llround(p.y * scale),
                          design.position[2] + std::llround(p.z * scale)});
    }
    return points;
}

// The written points about the design position, exactly as far as the
// difference of grid counts goes.
std::vector<TVec> Local_Points(const TDataSet &data_set, const TDesign &design)
{
    const double scale = Grid_Scale(data_set.decimals);
    std::vector<TVec> local;
    local.reserve(data_set.points.size());
    for (const TGridPoint &p : data_set.points) {
        local.push_back({static_cast<double>(p.x - design.position[0]) / scale,
                         static_cast<double>(p.y - design.position[1]) / scale,
                         static_cast<double>(p.z - design.position[2]) / scale});
    }
    return local;
}

// The reference in the file's fixed-point units, the residuals of the points.
bool Write_Reference(TDataSet &data_set, const TDesign &design, const std::vector<TVec> &local,
                     TReferenceFit &fit)
{
    const TFeatureType type = data_set.options.type;
    fit = Reference_Fit(type, local, design);
    if (!fit.converged)
        return false;

    const double position[3] = {fit.position.x, fit.position.y, fit.position.z};
    const double direction[3] = {fit.direction.x, fit.direction.y, fit.direction.z};
    for (int i = 0; i < 3; ++i) {
        data_set.position[i] = Fixed_Position(design.position[i], data_set.decimals, position[i]);
        data_set.direction[i] = std::llround(direction[i] * 1e15);
    }
    if (type != TFeatureType::PLANE && type != TFeatureType::LINE) {
        const double design_diameter = static_cast<double>(design.diameter) / 1e6;
        data_set.diameter = design.diameter * Power_Of_Ten(9) +
                            std::llround((2 * fit.radius - design_diameter) * 1e15);
    }
    if (type == TFeatureType::CONE)
        data_set.apex_angle = std::llround(2 * fit.half_angle * (180 / PI) * 1e15);
    if (type == TFeatureType::TORUS) {
        const double design_minor = static_cast<double>(design.minor_diameter) / 1e6;
        data_set.minor_diameter = design.minor_diameter * Power_Of_Ten(9) +
                                  std::llround((2 * fit.minor_radius - design_minor) * 1e15);
    }

    TSum squares;
    double largest = 0;
    for (const TVec &p : local) {
        const double residual = Residual(type, fit, p);
        squares.Add(residual * residual);
        largest = std::max(largest, residual);
    }
    data_set.residual_rms = std::sqrt(squares.Value() / static_cast<double>(local.size()));
    data_set.largest_residual = largest;
    return true;
}

// What most likely keeps the design from being the least-squares minimum.
QString Likely_Cause(const TDataSetOptions &options)
{
    switch (options.type) {
    case TFeatureType::CIRCLE:
        return QStringLiteral("a form deviation too large for a %1 degree arc?")
            .arg(Number_Text(options.arc));
    case TFeatureType::SPHERE:
        return QStringLiteral("a form deviation too large for a cap of %1 degrees?")
            .arg(Number_Text(options.arc));
    case TFeatureType::CYLINDER:
    case TFeatureType::CONE:
        return QStringLiteral("a form deviation too large for a %1 degree arc of length %2 mm?")
            .arg(Number_Text(options.arc), Number_Text(options.length));
    case TFeatureType::TORUS:
        return QStringLiteral("a form deviation too large for a %1 degree arc and a %2 degree "
                              "band?")
            .arg(Number_Text(options.arc), Number_Text(options.band));
    default:
        return QStringLiteral("a form deviation too large for the size, or too few decimals?");
    }
}

// How far two fits of the same points lie apart, in the portable arithmetic.
struct TApart
{
    double position = 0;
    double angle = 0; // the sine of the angle between the axes
    double size = 0;  // of the diameters
    double apex_angle = 0;
    double minor = 0;
};

TApart Apart(TFeatureType type, const TReferenceFit &a, const TReferenceFit &b)
{
    TApart apart;
    apart.position = Norm(a.position - b.position);
    if (type != TFeatureType::SPHERE)
        apart.angle = Norm(Cross(a.direction, b.direction));
    apart.size = 2 * (a.radius - b.radius);
    apart.apex_angle = 2 * (a.half_angle - b.half_angle);
    apart.minor = 2 * (a.minor_radius - b.minor_radius);
    return apart;
}

double Sum_Of_Squares(TFeatureType type, const TReferenceFit &fit, const std::vector<TVec> &points)
{
    TSum squares;
    for (const TVec &p : points) {
        const double residual = Residual(type, fit, p);
        squares.Add(residual * residual);
    }
    return squares.Value();
}

// Where two stationary points count as one: a thousand times the tolerance
// of the reference, a million times the rounding (some 1e-12) at which
// Gauss-Newton steps from two starts in one basin settle; two stationary
// points of one set of points lie far further apart.
constexpr double SAME_MINIMUM = 1e-6;

// Step 7: whether the design is the least-squares minimum, decided in the
// portable arithmetic so that it is the same on every machine. The fitting
// library, which knows nothing of the design, fits the written points from
// its own starts; Gauss-Newton steps as the reference's, from that fit,
// settle on the stationary point of its basin. That is either the
// reference, to the rounding of the sums, or another stationary point far
// from it, never near SAME_MINIMUM: the design was a stationary point but
// not the minimum, or the library settles elsewhere.
QString Check_Minimum(const TDataSet &data_set, const TDesign &design,
                      const std::vector<TVec> &local, const TReferenceFit &reference,
                      const TFit &library)
{
    const TFeatureType type = data_set.options.type;
    const double scale = Grid_Scale(data_set.decimals);
    const TVec origin{static_cast<double>(design.position[0]) / scale,
                      static_cast<double>(design.position[1]) / scale,
                      static_cast<double>(design.position[2]) / scale};
    const TVec offset = TVec{library.position.x, library.position.y, library.position.z} - origin;
    std::vector<TVec> shifted;
    shifted.reserve(local.size());
    for (const TVec &p : local)
        shifted.push_back(p - offset);
    TDesign start = design;
    if (type != TFeatureType::SPHERE)
        start.direction = Unit(TVec{library.direction.x, library.direction.y, library.direction.z});
    if (library.diameter > 0)
        start.radius = library.diameter / 2;
    if (type == TFeatureType::CONE)
        start.half_angle = library.apex_angle / 2;
    if (type == TFeatureType::TORUS)
        start.minor_radius = library.minor_diameter / 2;
    TReferenceFit refined = Reference_Fit(type, shifted, start);
    const QString name = QLatin1String(Feature_Type_Name(type));
    if (!refined.converged)
        return QStringLiteral("Gauss-Newton steps from the fitting library's fit of the written "
                              "points do not settle: the design is not clearly their "
                              "least-squares %1 (%2)")
            .arg(name, Likely_Cause(data_set.options));
    const double lower = Sum_Of_Squares(type, refined, shifted);
    refined.position = refined.position + offset;
    const TApart apart = Apart(type, refined, reference);
    if (apart.position <= SAME_MINIMUM && apart.angle <= SAME_MINIMUM &&
        std::abs(apart.size) <= SAME_MINIMUM && std::abs(apart.apex_angle) <= SAME_MINIMUM &&
        std::abs(apart.minor) <= SAME_MINIMUM)
        return {};
    QString more;
    if (type == TFeatureType::CONE)
        more = QStringLiteral(", %1 rad in apex angle")
                   .arg(Message_Number(std::abs(apart.apex_angle), 3));
    if (type == TFeatureType::TORUS)
        more = QStringLiteral(", %1 mm in minor diameter")
                   .arg(Message_Number(std::abs(apart.minor), 3));
    const bool better = lower < Sum_Of_Squares(type, reference, local);
    return QStringLiteral("from the fitting library's own fit of the written points, "
                          "Gauss-Newton steps settle on a %1 with a %2 sum of squares than the "
                          "least-squares %1 found from the design, %3 mm away in position, "
                          "%4 rad in direction and %5 mm in diameter%6: %7 (%8)")
        .arg(name, better ? QStringLiteral("smaller") : QStringLiteral("larger"))
        .arg(Message_Number(apart.position, 3))
        .arg(Message_Number(apart.angle, 3))
        .arg(Message_Number(std::abs(apart.size), 3))
        .arg(more,
             better ? QStringLiteral("the design is a stationary point but not the "
                                     "least-squares minimum")
                    : QStringLiteral("the library settles on another stationary point"),
             Likely_Cause(data_set.options));
}

// Whether the data set has the least number of points of a cylinder, cone or
// torus: unlike a plane, line, circle or sphere, such an element through
// them is in general one of several.
bool Several_Through_Least_Points(const TDataSet &data_set)
{
    const TFeatureType type = data_set.options.type;
    return data_set.options.points == Least_Points(type) &&
           (type == TFeatureType::CYLINDER || type == TFeatureType::CONE ||
            type == TFeatureType::TORUS);
}

// How far the rounding of coordinates to the decimals moves a point, at most.
double Rounding_Of(int decimals)
{
    return std::sqrt(3.0) / 2 / Grid_Scale(decimals);
}

} // namespace

TFixedPosition Fixed_Position(qint64 grid, int decimals, double offset)
{
    const qint64 grid_scale = Power_Of_Ten(decimals);
    TFixedPosition value;
    value.whole = grid / grid_scale;
    value.femto = grid % grid_scale * Power_Of_Ten(15 - decimals) + std::llround(offset * 1e15);
    value.whole += value.femto / FIXED_UNITS;
    value.femto %= FIXED_UNITS;
    // Both parts of one sign.
    if (value.whole > 0 && value.femto < 0) {
        value.whole -= 1;
        value.femto += FIXED_UNITS;
    } else if (value.whole < 0 && value.femto > 0) {
        value.whole += 1;
        value.femto -= FIXED_UNITS;
    }
    return value;
}

TDataSet Generate_Data_Set(const TDataSetOptions &options, qint32 number, std::uint64_t seed)
{
    if (options.criterion != TCriterion::LEAST_SQUARES)
        return Generate_Minimax_Data_Set(options, number, seed);
    TDataSet data_set;
    data_set.options = options;
    data_set.number = number;
    data_set.decimals = options.decimals;
    data_set.failure = Options_Problem(options);
    if (!data_set.failure.isEmpty())
        return data_set;

    TRandom random(seed);
    const TDesign design = Make_Design(options, random);
    data_set.points = Written_Grid(options, design, random);
    if (Several_Through_Least_Points(data_set))
        data_set.note = QStringLiteral("%1 points determine a %2 up to the others that pass "
                                       "through them as well: none can deviate from it, and "
                                       "software may find another")
                            .arg(options.points)
                            .arg(QLatin1String(Feature_Type_Name(options.type)));
    else if (options.points == Least_Points(options.type))
        data_set.note = QStringLiteral("%1 points determine a %2: none can deviate from it")
                            .arg(options.points)
                            .arg(QLatin1String(Feature_Type_Name(options.type)));
    if (options.type == TFeatureType::SPHERE)
        data_set.cap_axis = TVector3(design.direction.x, design.direction.y, design.direction.z);

    // The fitting library's fit of the written points does not depend on
    // the reference, so it runs beside its computation, on the other core;
    // where no thread can be had it runs when asked for.
    const std::vector<TVector3> points = Written_Points(data_set);
    const auto policy = std::launch::async | std::launch::deferred;
    std::future<TFit> library =
        std::async(policy, [&points, type = options.type] { return Fit_Feature(type, points); });
    const std::vector<TVec> local = Local_Points(data_set, design);
    TReferenceFit reference;
    const bool written = Write_Reference(data_set, design, local, reference);
    const TFit library_fit = library.get();
    if (!library_fit.fitted && !Several_Through_Least_Points(data_set)) {
        data_set.failure =
            QStringLiteral("the fitting library cannot fit a %1 to the written "
                           "points (%2): %3")
                .arg(QLatin1String(Feature_Type_Name(options.type)),
                     library_fit.failure.empty() ? QStringLiteral("no reason given")
                                                 : QString::fromStdString(library_fit.failure),
                     Likely_Cause(options));
        return data_set;
    }
    if (!written) {
        data_set.failure =
            QStringLiteral("Gauss-Newton steps from the design do not converge "
                           "on the points as written: the design is not their "
                           "least-squares %1 (%2)")
                .arg(QLatin1String(Feature_Type_Name(options.type)), Likely_Cause(options));
        return data_set;
    }
    if (Several_Through_Least_Points(data_set)) {
        // Other elements of the type pass through these points as well, so
        // which one the library finds decides nothing: each is a
        // least-squares element. The reference passes through the points.
        if (!(data_set.residual_rms <= Rounding_Of(data_set.decimals))) {
            data_set.failure =
                QStringLiteral("the least-squares %1 found from the design does not pass "
                               "through its %2 points as written (%3)")
                    .arg(QLatin1String(Feature_Type_Name(options.type)))
                    .arg(options.points)
                    .arg(Likely_Cause(options));
            return data_set;
        }
    } else {
        data_set.failure = Check_Minimum(data_set, design, local, reference, library_fit);
        if (!data_set.failure.isEmpty())
            return data_set;
    }

    if (options.type == TFeatureType::CIRCLE) {
        const TReferenceFit orthogonal = Orthogonal_Circle(local, reference);
        if (!orthogonal.converged) {
            data_set.failure =
                QStringLiteral("the full three-dimensional circle fit of the written points "
                               "does not converge from the reference: %1")
                    .arg(Likely_Cause(options));
            return data_set;
        }
        const TApart gap = Apart(options.type, orthogonal, reference);
        data_set.has_definition_gap = true;
        data_set.definition_gap.position = gap.position;
        data_set.definition_gap.angle = gap.angle;
        data_set.definition_gap.size = gap.size;
    }
    return data_set;
}

std::vector<TVector3> Written_Points(const TDataSet &data_set)
{
    // The correctly rounded quotient is the double nearest the written
    // decimal, which is what a reader's conversion gives.
    const double scale = Grid_Scale(data_set.decimals);
    std::vector<TVector3> points;
    points.reserve(data_set.points.size());
    for (const TGridPoint &p : data_set.points) {
        points.emplace_back(static_cast<double>(p.x) / scale, static_cast<double>(p.y) / scale,
                            static_cast<double>(p.z) / scale);
    }
    return points;
}

TFit Written_Reference(const TDataSet &data_set)
{
    TFit fit;
    fit.fitted = true;
    fit.position = TVector3(From_Fixed(data_set.position[0]), From_Fixed(data_set.position[1]),
                            From_Fixed(data_set.position[2]));
    fit.direction = TVector3(From_Fixed(data_set.direction[0]), From_Fixed(data_set.direction[1]),
                             From_Fixed(data_set.direction[2]));
    fit.diameter = From_Fixed(data_set.diameter);
    fit.apex_angle = From_Fixed(data_set.apex_angle) * (PI / 180);
    fit.minor_diameter = From_Fixed(data_set.minor_diameter);
    return fit;
}

std::vector<TDataSet> Generate_Data_Sets(const TDataSetOptions &options, int count,
                                         std::uint64_t seed)
{
    std::vector<TDataSet> data_sets;
    for (int i = 1; i <= count; ++i)
        data_sets.push_back(Generate_Data_Set(options, i, Data_Set_Seed(seed, 0, i)));
    return data_sets;
}

TDesignedPoints Designed_Points(const TDataSetOptions &options, std::uint64_t seed)
{
    TDesignedPoints designed;
    if (!Options_Problem(options).isEmpty())
        return designed;
    TRandom random(seed);
    const TDesign design = Make_Design(options, random);
    const double scale = Grid_Scale(options.decimals);
    const TVector3 origin(static_cast<double>(design.position[0]) / scale,
                          static_cast<double>(design.position[1]) / scale,
                          static_cast<double>(design.position[2]) / scale);
    designed.position = origin;
    designed.direction = TVector3(design.direction.x, design.direction.y, design.direction.z);
    if (options.type != TFeatureType::PLANE && options.type != TFeatureType::LINE)
        designed.diameter = 2 * design.radius;
    designed.apex_angle = 2 * design.half_angle;
    designed.minor_diameter = 2 * design.minor_radius;
    for (const TVec &p : Deviated_Points(options, design, random))
        designed.points.push_back(origin + TVector3(p.x, p.y, p.z));
    return designed;
}
