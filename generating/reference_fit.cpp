#include "generating/reference_fit.h"

#include "generating/gauss_newton.h"
#include "generating/surface_reference_fit.h"

#include <algorithm>
#include <cmath>

TVec Centroid(const std::vector<TVec> &points)
{
    TSum x;
    TSum y;
    TSum z;
    for (const TVec &p : points) {
        x.Add(p.x);
        y.Add(p.y);
        z.Add(p.z);
    }
    const double count = static_cast<double>(points.size());
    return {x.Value() / count, y.Value() / count, z.Value() / count};
}

namespace {

// The least-squares plane's normal: residuals e = (p - c).n; turning n by a
// u + b v changes them by a (p - c).u + b (p - c).v.
bool Plane_Normal(const std::vector<TVec> &points, const TVec &centroid, TVec &normal,
                  int &iterations)
{
    TSettling settling(1);
    for (int iteration = 1; iteration <= MAX_ITERATIONS; ++iteration) {
        const TVec u = Across(normal);
        const TVec v = Cross(normal, u);
        double G[2][2] = {{0, 0}, {0, 0}};
        double b[2] = {0, 0};
        for (const TVec &p : points) {
            const TVec offset = p - centroid;
            const double row[2] = {Dot(offset, u), Dot(offset, v)};
            Accumulate(G, b, row, Dot(offset, normal));
        }
        double turn[2];
        if (!Solve(G, b, turn))
            return false;
        normal = Unit(normal + u * turn[0] + v * turn[1]);
        iterations = iteration;
        if (settling.Settled(std::sqrt(turn[0] * turn[0] + turn[1] * turn[1])))
            return true;
    }
    return false;
}

// The least-squares line's direction: the residuals across it, (p - c).u
// and (p - c).v, change by -a t and -b t when d turns by a u + b v, t = (p - c).d.
bool Line_Direction(const std::vector<TVec> &points, const TVec &centroid, TVec &direction,
                    int &iterations)
{
    TSettling settling(1);
    for (int iteration = 1; iteration <= MAX_ITERATIONS; ++iteration) {
        const TVec u = Across(direction);
        const TVec v = Cross(direction, u);
        double along = 0;
        double across_u = 0;
        double across_v = 0;
        for (const TVec &p : points) {
            const TVec offset = p - centroid;
            const double t = Dot(offset, direction);
            along += t * t;
            across_u += Dot(offset, u) * t;
            across_v += Dot(offset, v) * t;
        }
        if (!(along > 0))
            return false;
        const double a = across_u / along;
        const double b = across_v / along;
        direction = Unit(direction + u * a + v * b);
        iterations = iteration;
        if (settling.Settled(std::sqrt(a * a + b * b)))
            return true;
    }
    return false;
}

// The least-squares circle of points in a plane, from the design's centre
// and radius. Distances rho - r change by -rho^.dc - dr. With m the arc's
// middle direction, -(rho^.m) dc_m - dr = (1 - rho^.m) dc_m - (dr + dc_m),
// and 1 - rho^.m = |rho^ - m|^2 / 2 stays apart from 1 on a short arc,
// where rho^.m does not.
bool Circle_In_Plane(const std::vector<double> &x, const std::vector<double> &y, double &centre_x,
                     double &centre_y, double &radius, int &iterations)
{
    // The arc's middle direction, or any for a full circle.
    double sum_x = 0;
    double sum_y = 0;
    for (size_t k = 0; k < x.size(); ++k) {
        const double dx = x[k] - centre_x;
        const double dy = y[k] - centre_y;
        const double rho = std::sqrt(dx * dx + dy * dy);
        if (rho > 0) {
            sum_x += dx / rho;
            sum_y += dy / rho;
        }
    }
    const double sum_length = std::sqrt(sum_x * sum_x + sum_y * sum_y);
    double mx = 1;
    double my = 0;
    if (sum_length > 0.1 * static_cast<double>(x.size())) {
        mx = sum_x / sum_length;
        my = sum_y / sum_length;
    }
    TSettling settling(radius);
    for (int iteration = 1; iteration <= MAX_ITERATIONS; ++iteration) {
        double G[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
        double b[3] = {0, 0, 0};
        for (size_t k = 0; k < x.size(); ++k) {
            const double dx = x[k] - centre_x;
            const double dy = y[k] - centre_y;
            const double rho = std::sqrt(dx * dx + dy * dy);
            if (!(rho > 0))
                return false;
            const double ux = dx / rho;
            const double uy = dy / rho;
            const double ex = ux - mx;
            const double ey = uy - my;
            const double row[3] = {(ex * ex + ey * ey) / 2, -(uy * mx - ux * my), -1};
            Accumulate(G, b, row, rho - radius);
        }
        double step[3];
        if (!Solve(G, b, step))
            return false;
        // step: dc along m, dc across m, dr + dc along m.
        centre_x += step[0] * mx - step[1] * my;
        centre_y += step[0] * my + step[1] * mx;
        const double radius_step = step[2] - step[0];
        radius += radius_step;
        iterations = iteration;
        const double length =
            std::sqrt(step[0] * step[0] + step[1] * step[1] + radius_step * radius_step);
        if (settling.Settled(length))
            return true;
    }
    return false;
}

TReferenceFit Plane_Or_Line(TFeatureType type, const std::vector<TVec> &points,
                            const TDesign &design)
{
    TReferenceFit fit;
    fit.position = Centroid(points);
    TVec direction = design.direction;
    fit.converged = type == TFeatureType::PLANE
                        ? Plane_Normal(points, fit.position, direction, fit.iterations)
                        : Line_Direction(points, fit.position, direction, fit.iterations);
    fit.direction = Signed_Direction(direction);
    return fit;
}

TReferenceFit Circle(const std::vector<TVec> &points, const TDesign &design)
{
    TReferenceFit fit;
    const TVec centroid = Centroid(points);
    TVec normal = design.direction;
    int plane_iterations = 0;
    if (!Plane_Normal(points, centroid, normal, plane_iterations))
        return fit;
    const TVec u = Across(normal);
    const TVec v = Cross(normal, u);
    std::vector<double> x;
    std::vector<double> y;
    x.reserve(points.size());
    y.reserve(points.size());
    for (const TVec &p : points) {
        x.push_back(Dot(p - centroid, u));
        y.push_back(Dot(p - centroid, v));
    }
    // The design's centre, at the design position, projected into the plane.
    double centre_x = -Dot(centroid, u);
    double centre_y = -Dot(centroid, v);
    double radius = design.radius;
    int circle_iterations = 0;
    fit.converged = Circle_In_Plane(x, y, centre_x, centre_y, radius, circle_iterations);
    fit.iterations = plane_iterations + circle_iterations;
    fit.position = centroid + u * centre_x + v * centre_y;
    fit.direction = Signed_Direction(normal);
    fit.radius = radius;
    return fit;
}

// The least-squares sphere. Distances |p - c| - r change by -m.dc - dr; as
// for the circle, with a the cap's axis, -(m.a) dc_a - dr = (1 - m.a) dc_a -
// (dr + dc_a), which keeps the columns apart on a small cap.
TReferenceFit Sphere(const std::vector<TVec> &points, const TDesign &design)
{
    TReferenceFit fit;
    const TVec a = design.direction;
    const TVec e1 = design.across_1;
    const TVec e2 = design.across_2;
    TVec centre;
    double radius = design.radius;
    TSettling settling(radius);
    for (int iteration = 1; iteration <= MAX_ITERATIONS; ++iteration) {
        double G[4][4] = {};
        double b[4] = {};
        for (const TVec &p : points) {
            const TVec offset = p - centre;
            const double distance = Norm(offset);
            if (!(distance > 0))
                return fit;
            const TVec m = offset * (1 / distance);
            const TVec from_axis = m - a;
            const double row[4] = {Dot(from_axis, from_axis) / 2, -Dot(m, e1), -Dot(m, e2), -1};
            Accumulate(G, b, row, distance - radius);
        }
        double step[4];
        if (!Solve(G, b, step))
            return fit;
        centre = centre + a * step[0] + e1 * step[1] + e2 * step[2];
        const double radius_step = step[3] - step[0];
        radius += radius_step;
        fit.iterations = iteration;
        const double length = std::sqrt(step[0] * step[0] + step[1] * step[1] + step[2] * step[2] +
                                        radius_step * radius_step);
        if (settling.Settled(length)) {
            fit.converged = true;
            break;
        }
    }
    fit.position = centre;
    fit.radius = radius;
    return fit;
}

} // namespace

TReferenceFit Reference_Fit(TFeatureType type, const std::vector<TVec> &points,
                            const TDesign &design)
{
    switch (type) {
    case TFeatureType::PLANE:
    case TFeatureType::LINE:
        return Plane_Or_Line(type, points, design);
    case TFeatureType::CIRCLE:
        return Circle(points, design);
    case TFeatureType::SPHERE:
        return Sphere(points, design);
    case TFeatureType::CYLINDER:
    case TFeatureType::CONE:
        return Cylinder_Or_Cone(type, points, design);
    case TFeatureType::TORUS:
        return Torus(points, design);
    }
    return {};
}

double Residual(TFeatureType type, const TReferenceFit &fit, const TVec &point)
{
    const TVec offset = point - fit.position;
    switch (type) {
    case TFeatureType::PLANE:
        return std::abs(Dot(offset, fit.direction));
    case TFeatureType::LINE:
        return Norm(Cross(offset, fit.direction));
    case TFeatureType::CIRCLE: {
        const double height = Dot(offset, fit.direction);
        const double radial = Norm(offset - fit.direction * height) - fit.radius;
        return std::sqrt(radial * radial + height * height);
    }
    case TFeatureType::SPHERE:
        return std::abs(Norm(offset) - fit.radius);
    case TFeatureType::CYLINDER:
    case TFeatureType::CONE:
    case TFeatureType::TORUS:
        return std::abs(Surface_Distance(type, fit, point));
    }
    return 0;
}
