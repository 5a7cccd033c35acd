#include "generating/foot_points.h"

#include <algorithm>
#include <cmath>

namespace {

double Fraction(double x)
{
    return x - std::floor(x);
}

TConditions Block(size_t first, size_t stride, size_t count, size_t columns)
{
    TConditions block;
    block.first = first;
    block.stride = stride;
    block.count = count;
    block.columns.assign(columns, std::vector<double>());
    for (std::vector<double> &column : block.columns)
        column.reserve(count);
    return block;
}

// Removes the mean, so that the values sum to zero.
void Centre(std::vector<double> &values)
{
    TSum sum;
    for (double v : values)
        sum.Add(v);
    const double mean = sum.Value() / static_cast<double>(values.size());
    for (double &v : values)
        v -= mean;
}

void Plane(const TDataSetOptions &options, const TDesign &design, TRandom &random,
           TFootPoints &feet)
{
    const size_t n = static_cast<size_t>(options.points);
    const double long_side = options.size;
    const double short_side = options.size / options.aspect;
    // Roberts' R2 sequence: steps of 1/g and 1/g^2, g the plastic number.
    const double step_1 = 0.75487766624669276005;
    const double step_2 = 0.56984029099805326591;
    const double start_1 = random.Uniform();
    const double start_2 = random.Uniform();
    const double jitter = 0.3 / std::sqrt(static_cast<double>(n));
    std::vector<double> u(n);
    std::vector<double> v(n);
    for (size_t k = 0; k < n; ++k) {
        const double index = static_cast<double>(k);
        u[k] =
            (Fraction(start_1 + index * step_1 + jitter * random.Uniform(-1, 1)) - 0.5) * long_side;
        v[k] = (Fraction(start_2 + index * step_2 + jitter * random.Uniform(-1, 1)) - 0.5) *
               short_side;
    }
    Centre(u);
    Centre(v);
    TConditions block = Block(0, 1, n, 3);
    for (size_t k = 0; k < n; ++k) {
        feet.position.push_back(design.across_1 * u[k] + design.across_2 * v[k]);
        feet.normal.push_back(design.direction);
        feet.cycle_1.push_back(u[k] / long_side);
        feet.cycle_2.push_back(v[k] / short_side);
        block.columns[0].push_back(1);
        block.columns[1].push_back(u[k] / long_side);
        block.columns[2].push_back(v[k] / short_side);
    }
    feet.conditions.push_back(std::move(block));
}

void Line(const TDataSetOptions &options, const TDesign &design, TRandom &random, TFootPoints &feet)
{
    const size_t n = static_cast<size_t>(options.points);
    const double length = options.size;
    std::vector<double> t(n);
    for (size_t k = 0; k < n; ++k) {
        const bool end = k == 0 || k + 1 == n;
        const double jitter = end ? 0 : random.Uniform(-0.3, 0.3);
        t[k] = length * ((static_cast<double>(k) + jitter) / static_cast<double>(n - 1) - 0.5);
    }
    Centre(t);
    // Both components of the deviation across the line, first all the
    // components along across_1, then all along across_2, each with sum e =
    // sum e t = 0.
    TConditions block = Block(0, 1, n, 2);
    for (size_t k = 0; k < n; ++k) {
        feet.position.push_back(design.direction * t[k]);
        feet.normal.push_back(design.across_1);
        feet.normal_2.push_back(design.across_2);
        feet.cycle_1.push_back(t[k] / length);
        feet.cycle_2.push_back(0);
        block.columns[0].push_back(1);
        block.columns[1].push_back(t[k] / length);
    }
    feet.conditions.push_back(block);
    block.first = n;
    feet.conditions.push_back(std::move(block));
}

void Circle(const TDataSetOptions &options, const TDesign &design, TRandom &random,
            TFootPoints &feet)
{
    const size_t n = static_cast<size_t>(options.points);
    const bool full = options.arc >= 360;
    const double span = options.arc * (PI / 180);
    const double first = random.Uniform(0, 2 * PI);
    const TSineCosine middle = Sine_Cosine(first + span / 2);
    const bool radial_only = Radial_Only(options);
    // Radial deviations at the even points, axial ones at the odd points.
    TConditions radial = radial_only ? Block(0, 1, n, 3) : Block(0, 2, (n + 1) / 2, 3);
    TConditions axial = Block(1, 2, n / 2, 3);
    for (size_t k = 0; k < n; ++k) {
        const double index = static_cast<double>(k);
        double angle;
        if (full) {
            angle = first + 2 * PI * (index + random.Uniform(-0.3, 0.3)) / static_cast<double>(n);
        } else {
            const bool end = k == 0 || k + 1 == n;
            const double jitter = end ? 0 : random.Uniform(-0.3, 0.3);
            angle = first + span * (index + jitter) / static_cast<double>(n - 1);
        }
        const TSineCosine at = Sine_Cosine(angle);
        const TVec out = design.across_1 * at.cosine + design.across_2 * at.sine;
        const bool radially = radial_only || k % 2 == 0;
        feet.position.push_back(out * design.radius);
        feet.normal.push_back(radially ? out : design.direction);
        feet.cycle_1.push_back((angle - first) / (full ? 2 * PI : span));
        feet.cycle_2.push_back(0);
        // Sum e = sum e cos(angle) = sum e sin(angle) = 0 for each kind, as
        // 1, 1 - cos and sin of the angle from the arc's middle, which stay
        // apart on a short arc where 1 and cos(angle) do not.
        const double dc = at.cosine - middle.cosine;
        const double ds = at.sine - middle.sine;
        TConditions &block = radially ? radial : axial;
        block.columns[0].push_back(1);
        block.columns[1].push_back((dc * dc + ds * ds) / 2);
        block.columns[2].push_back(at.sine * middle.cosine - at.cosine * middle.sine);
    }
    feet.conditions.push_back(std::move(radial));
    if (!radial_only)
        feet.conditions.push_back(std::move(axial));
}

void Sphere(const TDataSetOptions &options, const TDesign &design, TRandom &random,
            TFootPoints &feet)
{
    const size_t n = static_cast<size_t>(options.points);
    const double half_angle = options.arc * (PI / 180);
    const double half_sine = Sine_Cosine(half_angle / 2).sine;
    const double cap_depth = 2 * half_sine * half_sine; // 1 - cos(half angle), for a unit sphere
    // The golden angle, in turns.
    const double golden_turn = (3 - std::sqrt(5.0)) / 2;
    const double first = random.Uniform(0, 2 * PI);
    TConditions block = Block(0, 1, n, 4);
    for (size_t k = 0; k < n; ++k) {
        const bool rim = k + 1 == n;
        // Equal areas of the cap between the points' heights.
        const double share = (static_cast<double>(k + 1) - (rim ? 0 : random.Uniform(0, 0.5))) /
                             static_cast<double>(n);
        const double depth = cap_depth * share; // 1 - cos(polar angle)
        const double height = 1 - depth;
        const double out = std::sqrt(depth * (2 - depth));
        // In turns within [0, 1), so that angles stay small for any count.
        const double turn =
            Fraction(golden_turn * static_cast<double>(k) + random.Uniform(-0.015, 0.015));
        const TSineCosine around = Sine_Cosine(first + 2 * PI * turn);
        const TVec direction =
            design.direction * height +
            (design.across_1 * around.cosine + design.across_2 * around.sine) * out;
        feet.position.push_back(direction * design.radius);
        feet.normal.push_back(direction);
        feet.cycle_1.push_back(share);
        feet.cycle_2.push_back(turn);
        // Sum e = sum e m = 0, as 1, 1 - m.axis and m across the axis.
        block.columns[0].push_back(1);
        block.columns[1].push_back(depth);
        block.columns[2].push_back(out * around.cosine);
        block.columns[3].push_back(out * around.sine);
    }
    feet.conditions.push_back(std::move(block));
}

// Where the points of a cylinder, cone or torus lie, in [0, 1] on each of
// the surface's two coordinates: evenly round the axis, jittered, the ends
// of a partial arc included (as for a circle); across, the golden ratio's
// multiples (a Fibonacci lattice), jittered and, for a partial length or
// band, stretched so that they reach both of its ends.
void Surface_Spread(size_t n, bool full_1, bool full_2, TRandom &random, std::vector<double> &u,
                    std::vector<double> &v)
{
    const double golden = 0.61803398874989484820;
    const double start = random.Uniform();
    const double jitter = 0.3 / std::sqrt(static_cast<double>(n));
    u.resize(n);
    v.resize(n);
    double low = 1;
    double high = 0;
    for (size_t k = 0; k < n; ++k) {
        const double index = static_cast<double>(k);
        if (full_1) {
            u[k] = (index + random.Uniform(-0.3, 0.3)) / static_cast<double>(n);
        } else {
            const bool end = k == 0 || k + 1 == n;
            u[k] = (index + (end ? 0 : random.Uniform(-0.3, 0.3))) / static_cast<double>(n - 1);
        }
        v[k] = Fraction(start + index * golden + jitter * random.Uniform(-1, 1));
        low = std::min(low, v[k]);
        high = std::max(high, v[k]);
    }
    if (!full_2) {
        for (double &value : v)
            value = (value - low) / (high - low);
    }
}

// Heights that sum to zero and are uncorrelated with the cosine and sine of
// the angles round the axis, stretched back to their span: the points then
// lie as evenly round the axis at every height as a fair measurement's, and
// a long cylinder's principal direction is its axis. The three conditions
// are solved by Cramer's rule in plain arithmetic, the same on every
// machine.
void Balance_Heights(std::vector<double> &t, const std::vector<double> &cosine,
                     const std::vector<double> &sine)
{
    TSum cc, ss, cs, c1, s1, tc, ts, t1;
    for (size_t k = 0; k < t.size(); ++k) {
        cc.Add(cosine[k] * cosine[k]);
        ss.Add(sine[k] * sine[k]);
        cs.Add(cosine[k] * sine[k]);
        c1.Add(cosine[k]);
        s1.Add(sine[k]);
        t1.Add(t[k]);
        tc.Add(t[k] * cosine[k]);
        ts.Add(t[k] * sine[k]);
    }
    const double n = static_cast<double>(t.size());
    const double g[3][3] = {{n, c1.Value(), s1.Value()},
                            {c1.Value(), cc.Value(), cs.Value()},
                            {s1.Value(), cs.Value(), ss.Value()}};
    const double b[3] = {t1.Value(), tc.Value(), ts.Value()};
    const auto determinant = [](const double(&m)[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const double whole = determinant(g);
    if (!(std::abs(whole) > 0))
        return;
    double x[3];
    for (int column = 0; column < 3; ++column) {
        double m[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] = j == column ? b[i] : g[i][j];
        x[column] = determinant(m) / whole;
    }
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    const double span =
        *std::max_element(t.begin(), t.end()) - *std::min_element(t.begin(), t.end());
    for (size_t k = 0; k < t.size(); ++k) {
        t[k] -= x[0] + x[1] * cosine[k] + x[2] * sine[k];
        low = std::min(low, t[k]);
        high = std::max(high, t[k]);
    }
    if (high > low) {
        for (double &value : t)
            value *= span / (high - low);
    }
}

// An angle in radians from its share of the span, centred on zero.
double Centred_Angle(double share, double degrees)
{
    return (share - 0.5) * degrees * (PI / 180);
}

// Cylinder and cone: the angle round the axis from across_1, the arc's
// middle, and the height t along it, centred (sum t = 0) so that the design
// position is the axis point nearest the centroid. A cone's radius grows
// along the direction as t tan(half angle). The orthogonal distance changes
// with the two shifts across the axis as cos, sin of the angle; with the
// two turns as t cos, t sin (for a cone (t / cos + R sin) cos, ..., which
// span the same with the others); with the radius as 1; with a cone's half
// angle as t.
void Axial(const TDataSetOptions &options, const TDesign &design, TRandom &random,
           TFootPoints &feet)
{
    const size_t n = static_cast<size_t>(options.points);
    const bool cone = options.type == TFeatureType::CONE;
    const double length = options.length;
    std::vector<double> u;
    std::vector<double> v;
    Surface_Spread(n, options.arc >= 360, false, random, u, v);
    std::vector<double> t(n);
    for (size_t k = 0; k < n; ++k)
        t[k] = (v[k] - 0.5) * length;
    std::vector<double> cosine(n);
    std::vector<double> sine(n);
    for (size_t k = 0; k < n; ++k) {
        const TSineCosine at = Sine_Cosine(Centred_Angle(u[k], options.arc));
        cosine[k] = at.cosine;
        sine[k] = at.sine;
    }
    if (options.arc >= 360)
        Balance_Heights(t, cosine, sine);
    Centre(t);
    const TSineCosine half = Sine_Cosine(design.half_angle);
    const double tangent = half.sine / half.cosine;
    TConditions block = Block(0, 1, n, cone ? 6 : 5);
    for (size_t k = 0; k < n; ++k) {
        const TSineCosine at{sine[k], cosine[k]};
        const TVec out = design.across_1 * at.cosine + design.across_2 * at.sine;
        const double radius = design.radius + t[k] * tangent;
        feet.position.push_back(out * radius + design.direction * t[k]);
        feet.normal.push_back(out * half.cosine - design.direction * half.sine);
        feet.cycle_1.push_back(u[k]);
        feet.cycle_2.push_back(v[k]);
        // 1 - cos stays apart from 1 on a short arc, where cos does not.
        const double height = t[k] / length;
        block.columns[0].push_back(1);
        block.columns[1].push_back(1 - at.cosine);
        block.columns[2].push_back(at.sine);
        block.columns[3].push_back(height * at.cosine);
        block.columns[4].push_back(height * at.sine);
        if (cone)
            block.columns[5].push_back(height);
    }
    feet.conditions.push_back(std::move(block));
}

// Torus: the angle round the axis from across_1 and the tube's angle from
// its outer equator (towards the direction). The orthogonal distance changes
// with the centre as cos(tube) cos, cos(tube) sin, sin(tube); with the turns
// as sin(tube) cos, sin(tube) sin; with the major radius as cos(tube), with
// the minor as 1. Taken as combinations that stay apart on a short arc or
// band.
void Torus(const TDataSetOptions &options, const TDesign &design, TRandom &random,
           TFootPoints &feet)
{
    const size_t n = static_cast<size_t>(options.points);
    std::vector<double> u;
    std::vector<double> v;
    Surface_Spread(n, options.arc >= 360, options.band >= 360, random, u, v);
    TConditions block = Block(0, 1, n, 7);
    for (size_t k = 0; k < n; ++k) {
        const TSineCosine at = Sine_Cosine(Centred_Angle(u[k], options.arc));
        const TSineCosine tube = Sine_Cosine(Centred_Angle(v[k], options.band));
        const TVec out = design.across_1 * at.cosine + design.across_2 * at.sine;
        feet.position.push_back(out * (design.radius + design.minor_radius * tube.cosine) +
                                design.direction * (design.minor_radius * tube.sine));
        feet.normal.push_back(out * tube.cosine + design.direction * tube.sine);
        feet.cycle_1.push_back(u[k]);
        feet.cycle_2.push_back(v[k]);
        block.columns[0].push_back(1);
        block.columns[1].push_back(1 - tube.cosine);
        block.columns[2].push_back(tube.sine);
        block.columns[3].push_back(tube.cosine * (1 - at.cosine));
        block.columns[4].push_back(tube.cosine * at.sine);
        block.columns[5].push_back(tube.sine * (1 - at.cosine));
        block.columns[6].push_back(tube.sine * at.sine);
    }
    feet.conditions.push_back(std::move(block));
}

} // namespace

bool Radial_Only(const TDataSetOptions &options)
{
    return options.orientation == TOrientation::AXIS || options.points < 8;
}

TFootPoints Place_Foot_Points(const TDataSetOptions &options, const TDesign &design,
                              TRandom &random)
{
    TFootPoints feet;
    const size_t n = static_cast<size_t>(options.points);
    feet.position.reserve(n);
    feet.normal.reserve(n);
    feet.cycle_1.reserve(n);
    feet.cycle_2.reserve(n);
    switch (options.type) {
    case TFeatureType::PLANE:
        Plane(options, design, random, feet);
        break;
    case TFeatureType::LINE:
        Line(options, design, random, feet);
        break;
    case TFeatureType::CIRCLE:
        Circle(options, design, random, feet);
        break;
    case TFeatureType::SPHERE:
        Sphere(options, design, random, feet);
        break;
    case TFeatureType::CYLINDER:
    case TFeatureType::CONE:
        Axial(options, design, random, feet);
        break;
    case TFeatureType::TORUS:
        Torus(options, design, random, feet);
        break;
    }
    return feet;
}
