#include "generating/minimax_data_set.h"

#include "core/message_number.h"
#include "fitting/minimax_fit.h"
#include "generating/minimax_options.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Other points keep this share of F from the zone's boundaries.
constexpr double MARGIN = 0.05;

TVec On_Circle(const TDesign &design, double radius, double degrees)
{
    const TSineCosine turn = Sine_Cosine(degrees * (PI / 180));
    return design.across_1 * (radius * turn.cosine) + design.across_2 * (radius * turn.sine);
}

// A deviation within +-half: the share skew of it follows the ramp (-1 to
// 1), the rest is uniform.
double Deviation(double skew, double ramp, double half, TRandom &random)
{
    return half * (skew * ramp + (1 - skew) * random.Uniform(-1, 1));
}

// The contact points first, then the others, then all shuffled.
void Shuffle(std::vector<TVec> &points, TRandom &random)
{
    for (int i = static_cast<int>(points.size()) - 1; i > 0; --i)
        std::swap(points[static_cast<size_t>(i)], points[static_cast<size_t>(random.Index(i + 1))]);
}

TMinimaxDesign Line_Points(const TDataSetOptions &options, const TDesign &design, TRandom &random)
{
    // The line runs along the direction, in the plane normal to across_2;
    // its zone is across_1 wide.
    const double half_length = options.size / 2;
    const double half_form = options.form / 2;
    const double side = random.Index(2) == 0 ? 1 : -1;
    const auto at = [&](double along, double off) {
        return design.direction * along + design.across_1 * (side * off);
    };
    TMinimaxDesign designed;
    designed.form = options.form;
    designed.points = {at(-half_length, half_form), at(half_length, half_form),
                       at(random.Uniform(-half_length / 3, half_length / 3), -half_form)};
    const double inside = half_form * (1 - 2 * MARGIN);
    while (designed.points.size() < static_cast<size_t>(options.points)) {
        const double along = random.Uniform(-half_length, half_length);
        designed.points.push_back(
            at(along, Deviation(options.skew, along / half_length, inside, random)));
    }
    return designed;
}

TMinimaxDesign Plane_Points(const TDataSetOptions &options, const TDesign &design, TRandom &random)
{
    // The patch spans across_1 (its long side) and across_2.
    const double a = options.size / 2;
    const double b = options.size / options.aspect / 2;
    const double half_form = options.form / 2;
    const double side = random.Index(2) == 0 ? 1 : -1;
    const auto at = [&](double u, double v, double off) {
        return design.across_1 * u + design.across_2 * v + design.direction * (side * off);
    };
    TMinimaxDesign designed;
    designed.form = options.form;
    // Three on one side whose triangle holds the one on the other well
    // inside: at its heights the triangle is at least 0.2 a wide.
    designed.points = {
        at(-0.9 * a, -0.9 * b, half_form), at(0.9 * a, -0.9 * b, half_form),
        at(random.Uniform(-0.2 * a, 0.2 * a), 0.9 * b, half_form),
        at(random.Uniform(-0.2 * a, 0.2 * a), random.Uniform(-0.3 * b, 0.1 * b), -half_form)};
    const double inside = half_form * (1 - 2 * MARGIN);
    while (designed.points.size() < static_cast<size_t>(options.points)) {
        const double u = random.Uniform(-a, a);
        const double v = random.Uniform(-b, b);
        designed.points.push_back(at(u, v, Deviation(options.skew, u / a, inside, random)));
    }
    return designed;
}

// The radii the other points of a round element take, and for a
// circumscribed or inscribed one the radius that gives the range F.
struct TRadii
{
    double low = 0;
    double high = 0;
    double extreme = 0;
};

TRadii Radii_Of(TCriterion criterion, double radius, double form)
{
    switch (criterion) {
    case TCriterion::MINIMUM_ZONE:
        return {radius - form / 2 * (1 - 2 * MARGIN), radius + form / 2 * (1 - 2 * MARGIN), 0};
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        return {radius - form * (1 - MARGIN), radius - form * MARGIN, radius - form};
    default:
        return {radius + form * MARGIN, radius + form * (1 - MARGIN), radius + form};
    }
}

// A contact of a ring: its radius and its angle round the axis, in degrees.
struct TRingContact
{
    double radius;
    double degrees;
};

// The contacts of one ring (a circle, a cylinder's section) on the arc,
// centred on across_1, from the start on a full circle. A cylinder's second
// section (second) has its zone's outer contacts inner and back, and on a
// part of the circle other angles than the first's: the same angles at
// both ends would leave the axis free to turn at first order.
std::vector<TRingContact> Ring_Contacts(TFeatureType type, TCriterion criterion, double arc,
                                        double radius, double form, double start, bool second)
{
    const bool full = arc >= 360;
    const double half_arc = arc / 2;
    // A cylinder circumscribed by two points a section only curvature
    // holds: it takes three round the axis, as an inscribed one does.
    if (type == TFeatureType::CYLINDER && criterion == TCriterion::MINIMUM_CIRCUMSCRIBED)
        criterion = TCriterion::MAXIMUM_INSCRIBED;
    switch (criterion) {
    case TCriterion::MINIMUM_ZONE: {
        if (type == TFeatureType::CYLINDER) {
            // Two outer contacts either side of an inner one, and in the
            // other section two inner either side of an outer: each
            // section's pull on its centre balances, and both boundaries
            // carry the same weight, with the six contacts a zone of a
            // cylinder touches.
            const double a = full ? 60 : std::min(half_arc, 75.0);
            const double middle = full ? start + (second ? 90 : 0) : 0;
            const double side = second ? -1 : 1;
            return {{radius + side * form / 2, middle - a},
                    {radius + side * form / 2, middle + a},
                    {radius - side * form / 2, middle}};
        }
        // Alternating round the centre: 90 degrees apart on a full circle,
        // spread over the arc otherwise.
        const double step = full ? 90 : arc / 3;
        const double first = full ? start : -half_arc;
        std::vector<TRingContact> contacts;
        for (int k = 0; k < 4; ++k) {
            const double sign = k % 2 == 0 ? 1 : -1;
            contacts.push_back({radius + sign * form / 2, first + k * step});
        }
        return contacts;
    }
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        // Two opposite points, each 90 degrees from the arc's middle.
        return {{radius, full ? start : -90}, {radius, full ? start + 180 : 90}};
    default:
        // Three whose gaps are all under 180 degrees.
        if (full)
            return {{radius, start}, {radius, start + 120}, {radius, start + 240}};
        // Every gap under 180 degrees on an arc of more than 180; a
        // cylinder's second section mirrors the first.
        if (type == TFeatureType::CYLINDER) {
            const double side = second ? -1 : 1;
            return {
                {radius, -side * half_arc}, {radius, -side * arc / 6}, {radius, side * 0.45 * arc}};
        }
        return {{radius, -half_arc}, {radius, 0}, {radius, half_arc}};
    }
}

// A point of a sphere about the design position: polar angle from the cap
// axis and azimuth round it, in degrees.
TVec On_Sphere(const TDesign &design, double radius, double polar, double azimuth)
{
    const TSineCosine p = Sine_Cosine(polar * (PI / 180));
    return design.direction * (radius * p.cosine) + On_Circle(design, radius * p.sine, azimuth);
}

TMinimaxDesign Round_Points(const TDataSetOptions &options, const TDesign &design, TRandom &random)
{
    const TFeatureType type = options.type;
    const TCriterion criterion = options.criterion;
    const double radius = design.radius;
    const double form = options.form;
    const double arc = options.arc;
    const double half_length = options.length / 2;
    const TRadii radii = Radii_Of(criterion, radius, form);
    TMinimaxDesign designed;
    designed.form = criterion == TCriterion::MINIMUM_ZONE ? form : 0;

    if (type == TFeatureType::SPHERE) {
        // The cap: every direction within its half-angle of the cap axis.
        switch (criterion) {
        case TCriterion::MINIMUM_ZONE:
            if (arc >= 180) {
                // Outer on two axes, inner on the third, each both ways.
                const double r = radius + form / 2, q = radius - form / 2;
                designed.points = {On_Sphere(design, r, 90, 0),  On_Sphere(design, r, 90, 180),
                                   On_Sphere(design, r, 0, 0),   On_Sphere(design, r, 180, 0),
                                   On_Sphere(design, q, 90, 90), On_Sphere(design, q, 90, 270)};
            } else {
                // Three outer contacts round the cap's middle, inner ones at
                // its pole and at two opposite points of its rim: the
                // directions of both boundaries balance, weighted.
                const double r = radius + form / 2, q = radius - form / 2;
                designed.points = {
                    On_Sphere(design, r, arc / 2, 0),   On_Sphere(design, r, arc / 2, 120),
                    On_Sphere(design, r, arc / 2, 240), On_Sphere(design, q, 0, 0),
                    On_Sphere(design, q, arc, 60),      On_Sphere(design, q, arc, 240)};
            }
            break;
        case TCriterion::MINIMUM_CIRCUMSCRIBED:
            designed.points = {On_Sphere(design, radius, 90, 0),
                               On_Sphere(design, radius, 90, 180)};
            break;
        default: {
            // A regular tetrahedron's vertices, one at the pole.
            const double polar = 109.47122063449069;
            designed.points = {On_Sphere(design, radius, 0, 0), On_Sphere(design, radius, polar, 0),
                               On_Sphere(design, radius, polar, 120),
                               On_Sphere(design, radius, polar, 240)};
            break;
        }
        }
    } else {
        const double start = random.Uniform(0, 360);
        // A cylinder's two end sections, the second turned on a full
        // circle; a circle's one section.
        const bool full = arc >= 360;
        const double turn = criterion == TCriterion::MINIMUM_ZONE ? 45 : 60;
        const bool cylinder = type == TFeatureType::CYLINDER;
        for (int end = 0; end < (cylinder ? 2 : 1); ++end) {
            const double height = cylinder ? (end == 0 ? -half_length : half_length) : 0;
            for (const TRingContact &c : Ring_Contacts(type, criterion, arc, radius, form,
                                                       start + (full ? end * turn : 0), end == 1))
                designed.points.push_back(On_Circle(design, c.radius, c.degrees) +
                                          design.direction * height);
        }
    }

    // A random place on the element, and the ramp the skewed deviations
    // follow there.
    const auto place = [&](double r, double &ramp) {
        if (type == TFeatureType::SPHERE) {
            const double lowest = Sine_Cosine(arc * (PI / 180)).cosine;
            const double z = random.Uniform(lowest, 1);
            const double azimuth = random.Uniform(0, 360);
            const double polar = std::acos(std::clamp(z, -1.0, 1.0)) * (180 / PI);
            ramp = Sine_Cosine(azimuth * (PI / 180)).cosine;
            return On_Sphere(design, r, polar, azimuth);
        }
        const double degrees = random.Uniform(-arc / 2, arc / 2);
        ramp = Sine_Cosine(degrees * (PI / 180)).cosine;
        const double height =
            type == TFeatureType::CYLINDER ? random.Uniform(-half_length, half_length) : 0;
        // Along a cylinder the ramp turns over, tilting its least-squares
        // axis off the minimax one.
        if (type == TFeatureType::CYLINDER)
            ramp *= height / half_length;
        return On_Circle(design, r, degrees) + design.direction * height;
    };
    const auto scaled = [&](const TVec &p, double r) {
        if (type == TFeatureType::SPHERE)
            return p * r;
        const double height = Dot(p, design.direction);
        return (p - design.direction * height) * r + design.direction * height;
    };
    double ramp = 0;
    if (criterion != TCriterion::MINIMUM_ZONE &&
        designed.points.size() < static_cast<size_t>(options.points)) {
        designed.form = form;
        designed.points.push_back(place(radii.extreme, ramp));
    }
    while (designed.points.size() < static_cast<size_t>(options.points)) {
        // The place first: the radius follows its ramp.
        const TVec unit_place = place(1, ramp);
        const double r = (radii.low + radii.high) / 2 +
                         Deviation(options.skew, ramp, (radii.high - radii.low) / 2, random);
        designed.points.push_back(scaled(unit_place, r));
    }
    return designed;
}

// The fit a data set states, of the points about the design position.
TMinimaxFit Reference_Of(const TDataSetOptions &options, const std::vector<TVector3> &points,
                         const TVector3 &plane_point, const TVector3 &plane_normal)
{
    switch (options.type) {
    case TFeatureType::LINE:
        return Fit_Minimax_Line(points, plane_point, plane_normal);
    case TFeatureType::PLANE:
        return Fit_Minimax_Plane(points);
    case TFeatureType::SPHERE:
        return Fit_Minimax_Sphere(points, options.criterion);
    case TFeatureType::CYLINDER:
        return Fit_Minimax_Cylinder(points, options.criterion);
    default:
        return Fit_Minimax_Circle(points, plane_point, plane_normal, options.criterion);
    }
}

} // namespace

TMinimaxDesign Minimax_Design_Points(const TDataSetOptions &options, const TDesign &design,
                                     TRandom &random)
{
    TMinimaxDesign designed;
    switch (options.type) {
    case TFeatureType::LINE:
        designed = Line_Points(options, design, random);
        break;
    case TFeatureType::PLANE:
        designed = Plane_Points(options, design, random);
        break;
    default:
        designed = Round_Points(options, design, random);
        break;
    }
    Shuffle(designed.points, random);
    return designed;
}

TDataSet Generate_Minimax_Data_Set(const TDataSetOptions &options, qint32 number,
                                   std::uint64_t seed)
{
    TDataSet data_set;
    data_set.options = options;
    data_set.number = number;
    data_set.decimals = options.decimals;
    data_set.failure = Options_Problem(options);
    if (!data_set.failure.isEmpty())
        return data_set;
    const QString element = Criterion_Element_Name(options.type, options.criterion);
    try {
        TRandom random(seed);
        const TDesign design = Make_Design(options, random);
        const TMinimaxDesign designed = Minimax_Design_Points(options, design, random);
        const double scale = Grid_Scale(options.decimals);
        data_set.points.reserve(designed.points.size());
        for (const TVec &p : designed.points)
            data_set.points.push_back({design.position[0] + std::llround(p.x * scale),
                                       design.position[1] + std::llround(p.y * scale),
                                       design.position[2] + std::llround(p.z * scale)});
        // The reference is the fit of the points exactly as a reader of the
        // file gets them, as tessaline-grade --refit fits them.
        const std::vector<TVector3> points = Written_Points(data_set);
        const TVector3 origin(static_cast<double>(design.position[0]) / scale,
                              static_cast<double>(design.position[1]) / scale,
                              static_cast<double>(design.position[2]) / scale);
        if (options.points == Least_Points(options.type, options.criterion))
            data_set.note =
                QStringLiteral("%1 points, the least a %2 needs").arg(options.points).arg(element);

        // A line's plane and a circle's axis as written: the fit takes the
        // plane a reader of the file takes.
        const TVec normal = options.type == TFeatureType::LINE ? design.across_2 : design.direction;
        const qint64 written_normal[3] = {std::llround(normal.x * 1e15),
                                          std::llround(normal.y * 1e15),
                                          std::llround(normal.z * 1e15)};
        const TVector3 plane_normal(static_cast<double>(written_normal[0]) / 1e15,
                                    static_cast<double>(written_normal[1]) / 1e15,
                                    static_cast<double>(written_normal[2]) / 1e15);
        const TMinimaxFit fit = Reference_Of(options, points, origin, plane_normal);
        if (!fit.fitted) {
            data_set.failure =
                QStringLiteral("the %1 of the written points cannot be certified: %2")
                    .arg(element, QString::fromStdString(fit.failure));
            return data_set;
        }
        // Rounding moves each point by at most half a grid step in each
        // coordinate, and F by at most twice that.
        const double moved = 2 * std::sqrt(3.0) / 2 / scale + 1e-9;
        if (!(std::abs(fit.form - designed.form) <= moved)) {
            data_set.failure =
                QStringLiteral("the %1 of the written points has F %2 mm where the design "
                               "has %3 mm: the rounding to %4 decimals upsets the "
                               "configuration (a larger form, or more decimals?)")
                    .arg(element, Message_Number(fit.form, 6), Message_Number(designed.form, 6))
                    .arg(options.decimals);
            return data_set;
        }
        const TVector3 offset = fit.position - origin;
        const double position[3] = {offset.x, offset.y, offset.z};
        const double direction[3] = {fit.direction.x, fit.direction.y, fit.direction.z};
        for (int i = 0; i < 3; ++i) {
            data_set.position[i] =
                Fixed_Position(design.position[i], options.decimals, position[i]);
            // A circle's axis is the plane its points are projected onto,
            // as the fit took it.
            data_set.direction[i] =
                options.type == TFeatureType::SPHERE ? 0
                : options.type == TFeatureType::CIRCLE
                    ? (Dot(normal, Signed_Direction(normal)) > 0 ? 1 : -1) * written_normal[i]
                    : std::llround(direction[i] * 1e15);
            if (options.type == TFeatureType::LINE)
                data_set.plane_normal[i] = written_normal[i];
        }
        if (options.type != TFeatureType::LINE && options.type != TFeatureType::PLANE)
            data_set.diameter = std::llround(fit.diameter * 1e15);
        data_set.form = std::llround(fit.form * 1e15);
    } catch (const std::bad_alloc &) {
        data_set.points.clear();
        data_set.failure = QStringLiteral("out of memory for %1 points").arg(options.points);
    }
    return data_set;
}
