#include "generating/orthogonal_circle_fit.h"

#include "generating/gauss_newton.h"

// A point's squared distance from the circle is (q - R)^2 + h^2, h its height
// along the axis from the centre, q its distance from the axis: two
// residuals, smooth where the distance itself is not. With e the unit
// vector from the axis to the point, q - R changes by -e.dc, by -h e.u for a
// turn of the axis towards u and by -dR; h by -a.dc and by q e.u. Along m,
// the arc's middle: -(e.m) dc_m - dR = (1 - e.m) dc_m - (dc_m + dR), which
// keeps the columns apart on a short arc.
TReferenceFit Orthogonal_Circle(const std::vector<TVec> &points, const TReferenceFit &start)
{
    TReferenceFit fit;
    TVec centre = start.position;
    TVec axis = start.direction;
    double radius = start.radius;
    // The arc's middle direction, or any across the axis for a full circle.
    TVec sum;
    for (const TVec &p : points) {
        const TVec offset = p - centre;
        const TVec out = offset - axis * Dot(offset, axis);
        const double q = Norm(out);
        if (q > 0)
            sum = sum + out * (1 / q);
    }
    const TVec middle =
        Norm(sum) > 0.1 * static_cast<double>(points.size()) ? Unit(sum) : Across(axis);
    TSettling settling(radius);
    for (int iteration = 1; iteration <= MAX_ITERATIONS; ++iteration) {
        const TVec m = Unit(middle - axis * Dot(middle, axis));
        const TVec w = Cross(axis, m);
        double G[6][6] = {};
        double b[6] = {};
        for (const TVec &p : points) {
            const TVec offset = p - centre;
            const double h = Dot(offset, axis);
            const TVec out = offset - axis * h;
            const double q = Norm(out);
            if (!(q > 0))
                return fit;
            const TVec e = out * (1 / q);
            const double em = Dot(e, m);
            const double ew = Dot(e, w);
            const double radial[6] = {1 - em, -ew, 0, -h * em, -h * ew, -1};
            const double axial[6] = {0, 0, -1, q * em, q * ew, 0};
            Accumulate(G, b, radial, q - radius);
            Accumulate(G, b, axial, h);
        }
        double step[6];
        if (!Solve(G, b, step))
            return fit;
        centre = centre + m * step[0] + w * step[1] + axis * step[2];
        axis = Unit(axis + m * step[3] + w * step[4]);
        const double radius_step = step[5] - step[0];
        radius += radius_step;
        fit.iterations = iteration;
        const double length = std::sqrt(step[0] * step[0] + step[1] * step[1] + step[2] * step[2] +
                                        (step[3] * step[3] + step[4] * step[4]) * radius * radius +
                                        radius_step * radius_step);
        if (settling.Settled(length)) {
            fit.converged = true;
            break;
        }
    }
    fit.position = centre;
    fit.direction = Signed_Direction(axis);
    fit.radius = radius;
    return fit;
}
