#include "generating/surface_reference_fit.h"

#include "generating/gauss_newton.h"

namespace {

// The unit vector across the axis nearest the design's arc middle, and the
// one across both: a frame in which the arc's columns stay apart.
void Frame(const TVec &axis, const TVec &middle, TVec &across_1, TVec &across_2)
{
    across_1 = Unit(middle - axis * Dot(middle, axis));
    across_2 = Cross(axis, across_1);
}

// The largest distance of the points from the design position.
double Extent(const std::vector<TVec> &points)
{
    double extent = 0;
    for (const TVec &p : points)
        extent = std::max(extent, Norm(p));
    return extent;
}

} // namespace

// The distance (rho - R) cos(psi) - t sin(psi), t the height along the axis
// from c, rho the distance from it, psi the half angle (0 for a cylinder).
// With e the unit vector from the axis to the point and W = t cos + rho sin,
// it changes by -cos e.dc across the axis, by -e.u W for a turn of the axis
// towards u, by -cos dR and by -((rho - R) sin + t cos) dpsi. Along m, the
// frame's first vector: -cos (e.m) dc_m - cos dR = cos (1 - e.m) dc_m - cos
// (dR + dc_m), which keeps the columns apart on a short arc.
TReferenceFit Cylinder_Or_Cone(TFeatureType type, const std::vector<TVec> &points,
                               const TDesign &design)
{
    const bool cone = type == TFeatureType::CONE;
    TReferenceFit fit;
    TVec centre;
    TVec axis = design.direction;
    double radius = design.radius;
    double half_angle = design.half_angle;
    const double reach = std::max(Extent(points), design.radius);
    TSettling settling(design.radius);
    for (int iteration = 1; iteration <= MAX_ITERATIONS; ++iteration) {
        TVec m;
        TVec w;
        Frame(axis, design.across_1, m, w);
        const TSineCosine half = Sine_Cosine(half_angle);
        double G[6][6] = {};
        double b[6] = {};
        for (const TVec &p : points) {
            const TVec offset = p - centre;
            const double t = Dot(offset, axis);
            const TVec out = offset - axis * t;
            const double rho = Norm(out);
            if (!(rho > 0))
                return fit;
            const TVec e = out * (1 / rho);
            const double em = Dot(e, m);
            const double ew = Dot(e, w);
            const double turn = t * half.cosine + rho * half.sine;
            const double row[6] = {half.cosine * (1 - em),
                                   -half.cosine * ew,
                                   -em * turn,
                                   -ew * turn,
                                   -half.cosine,
                                   -(rho - radius) * half.sine - t * half.cosine};
            const double distance = (rho - radius) * half.cosine - t * half.sine;
            Accumulate(G, b, row, distance);
        }
        // A cylinder's half angle stays zero: its rows leave the last column out.
        double step[6] = {};
        bool solved;
        if (cone) {
            solved = Solve(G, b, step);
        } else {
            double G5[5][5];
            double b5[5];
            double x5[5];
            for (int i = 0; i < 5; ++i) {
                for (int j = 0; j < 5; ++j)
                    G5[i][j] = G[i][j];
                b5[i] = b[i];
            }
            solved = Solve(G5, b5, x5);
            for (int i = 0; i < 5; ++i)
                step[i] = x5[i];
        }
        if (!solved)
            return fit;
        centre = centre + m * step[0] + w * step[1];
        axis = Unit(axis + m * step[2] + w * step[3]);
        const double radius_step = step[4] - step[0];
        radius += radius_step;
        half_angle += step[5];
        fit.iterations = iteration;
        const double length =
            std::sqrt(step[0] * step[0] + step[1] * step[1] +
                      (step[2] * step[2] + step[3] * step[3] + step[5] * step[5]) * reach * reach +
                      radius_step * radius_step);
        if (settling.Settled(length)) {
            fit.converged = true;
            break;
        }
    }
    // The axis point nearest the centroid, and a cone's radius there.
    const double along = Dot(Centroid(points) - centre, axis);
    const TSineCosine half = Sine_Cosine(half_angle);
    fit.position = centre + axis * along;
    fit.radius = radius + along * (half.sine / half.cosine);
    fit.half_angle = half_angle;
    fit.direction = cone ? axis : Signed_Direction(axis);
    return fit;
}

// The distance sqrt((q - R)^2 + h^2) - r, h the height along the axis from
// the centre, q the distance from the axis; (q - R, h) / D = (cos, sin) of
// the tube angle. It changes by -(cos e + sin a).dc, by R sin e.u for a
// turn of the axis towards u, by -cos dR and by -dr, where -cos dR - dr =
// (1 - cos) dR - (dR + dr) keeps the columns apart on a short band.
TReferenceFit Torus(const std::vector<TVec> &points, const TDesign &design)
{
    TReferenceFit fit;
    TVec centre;
    TVec axis = design.direction;
    double radius = design.radius;
    double minor = design.minor_radius;
    TSettling settling(design.radius);
    for (int iteration = 1; iteration <= MAX_ITERATIONS; ++iteration) {
        TVec m;
        TVec w;
        Frame(axis, design.across_1, m, w);
        double G[7][7] = {};
        double b[7] = {};
        for (const TVec &p : points) {
            const TVec offset = p - centre;
            const double h = Dot(offset, axis);
            const TVec out = offset - axis * h;
            const double q = Norm(out);
            const double D = std::sqrt((q - radius) * (q - radius) + h * h);
            if (!(q > 0 && D > 0))
                return fit;
            const TVec e = out * (1 / q);
            const double cosine = (q - radius) / D;
            const double sine = h / D;
            const double em = Dot(e, m);
            const double ew = Dot(e, w);
            const double row[7] = {-cosine * em,       -cosine * ew, -sine, radius * sine * em,
                                   radius * sine * ew, 1 - cosine,   -1};
            Accumulate(G, b, row, D - minor);
        }
        double step[7];
        if (!Solve(G, b, step))
            return fit;
        centre = centre + m * step[0] + w * step[1] + axis * step[2];
        axis = Unit(axis + m * step[3] + w * step[4]);
        radius += step[5];
        const double minor_step = step[6] - step[5];
        minor += minor_step;
        fit.iterations = iteration;
        const double length = std::sqrt(step[0] * step[0] + step[1] * step[1] + step[2] * step[2] +
                                        (step[3] * step[3] + step[4] * step[4]) * radius * radius +
                                        step[5] * step[5] + minor_step * minor_step);
        if (settling.Settled(length)) {
            fit.converged = true;
            break;
        }
    }
    fit.position = centre;
    fit.direction = Signed_Direction(axis);
    fit.radius = radius;
    fit.minor_radius = minor;
    return fit;
}

double Surface_Distance(TFeatureType type, const TReferenceFit &fit, const TVec &point)
{
    const TVec offset = point - fit.position;
    const double height = Dot(offset, fit.direction);
    const double out = Norm(offset - fit.direction * height);
    if (type == TFeatureType::TORUS) {
        const double radial = out - fit.radius;
        return std::sqrt(radial * radial + height * height) - fit.minor_radius;
    }
    const TSineCosine half = Sine_Cosine(fit.half_angle);
    return (out - fit.radius) * half.cosine - height * half.sine;
}
