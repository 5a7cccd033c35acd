// Writes a large, valid validation file for the benchmarks:
//   tessaline-bench-generate plane|line|circle|sphere|cylinder|cone|torus FEATURES
//                            POINTS_PER_FEATURE OUTPUT
// Points lie near their feature (a tilted plane, a line, a circle, a
// sphere) with a little noise, so the numbers look like measured ones.
// Cylinders, cones and tori, about a tilted axis, have their points on the
// surface (to the written decimals), so that their stated results are the
// least-squares fits a refit has to find. The same arguments always give the
// same bytes.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A small linear congruential generator: fast and reproducible.
class TRandom
{
public:
    double Next() // [0, 1)
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) * 0x1p-53;
    }
    double Noise() { return (Next() - 0.5) * 0.004; }

private:
    uint64_t state = 0x9E3779B97F4A7C15ULL;
};

int Usage()
{
    std::fprintf(stderr, "usage: tessaline-bench-generate "
                         "plane|line|circle|sphere|cylinder|cone|torus FEATURES "
                         "POINTS_PER_FEATURE OUTPUT\n");
    return 2;
}

struct TAxes
{
    double axis[3];
    // Two unit vectors across the axis and across each other.
    double u[3];
    double v[3];
};

// The tilted axis of the cylinders, cones and tori, and two directions
// across it.
TAxes Tilted_Axes()
{
    TAxes axes;
    const double length = std::sqrt(0.01 * 0.01 + 0.02 * 0.02 + 1.0);
    const double a[3] = {0.01 / length, 0.02 / length, 1.0 / length};
    // u = a x (1, 0, 0), normalised; v = a x u.
    const double u_length = std::sqrt(a[2] * a[2] + a[1] * a[1]);
    const double u[3] = {0, a[2] / u_length, -a[1] / u_length};
    const double v[3] = {a[1] * u[2] - a[2] * u[1], a[2] * u[0] - a[0] * u[2],
                         a[0] * u[1] - a[1] * u[0]};
    for (int i = 0; i < 3; ++i) {
        axes.axis[i] = a[i];
        axes.u[i] = u[i];
        axes.v[i] = v[i];
    }
    return axes;
}

constexpr double CONE_APEX_ANGLE = 30; // degrees

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        return Usage();
    }
    const std::string type = argv[1];
    const long features = std::strtol(argv[2], nullptr, 10);
    const long points = std::strtol(argv[3], nullptr, 10);
    const bool axial = type == "cylinder" || type == "cone" || type == "torus";
    if ((type != "plane" && type != "line" && type != "circle" && type != "sphere" && !axial) ||
        features < 1 || points < 1) {
        return Usage();
    }
    std::FILE *out = std::fopen(argv[4], "wb");
    if (!out) {
        std::perror(argv[4]);
        return 1;
    }
    static char buffer[1 << 20];
    std::setvbuf(out, buffer, _IOFBF, sizeof buffer);

    std::string keyword = type;
    keyword[0] = static_cast<char>(keyword[0] - 'a' + 'A');
    std::fprintf(out, "# Benchmark data: %ld %s features of %ld points each\n", features,
                 type.c_str(), points);
    std::fprintf(out, "Best_Fit_Validation:Version=1:Type=%s\n", keyword.c_str());

    TRandom random;
    const double pi = std::acos(-1.0);
    const TAxes axes = Tilted_Axes();
    const double *const a = axes.axis;
    const double tan_half_angle = std::tan(CONE_APEX_ANGLE / 2 * pi / 180);
    for (long f = 1; f <= features; ++f) {
        const double cx = 100.0 * static_cast<double>(f);
        const double cy = -50.0 + 10.0 * static_cast<double>(f);
        const double cz = 25.0;
        const double radius = 10.0 + static_cast<double>(f);
        if (type == "plane") {
            std::fprintf(
                out, "Plane %ld %ld %.6f %.6f %.6f 0.009999500 0.019999000 0.999750031 0.001873\n",
                f, points, cx, cy, cz);
        } else if (type == "line") {
            std::fprintf(
                out, "Line %ld %ld %.6f %.6f %.6f 0.707106781 0.707106781 0.000000000 0.000912\n",
                f, points, cx, cy, cz);
        } else if (type == "circle") {
            std::fprintf(
                out,
                "Circle %ld %ld %.6f %.6f %.6f 0.000000000 0.000000000 1.000000000 %.6f 0.002214\n",
                f, points, cx, cy, cz, 2 * radius);
        } else if (type == "sphere") {
            std::fprintf(out, "Sphere %ld %ld %.6f %.6f %.6f %.6f 0.003071\n", f, points, cx, cy,
                         cz, 2 * radius);
        } else if (type == "cylinder") {
            std::fprintf(out, "Cylinder %ld %ld %.6f %.6f %.6f %.9f %.9f %.9f %.6f 0.000000\n", f,
                         points, cx, cy, cz, a[0], a[1], a[2], 2 * radius);
        } else if (type == "cone") {
            std::fprintf(out, "Cone %ld %ld %.6f %.6f %.6f %.9f %.9f %.9f %.6f %.6f 0.000000\n", f,
                         points, cx, cy, cz, a[0], a[1], a[2], CONE_APEX_ANGLE, 2 * radius);
        } else {
            std::fprintf(out, "Torus %ld %ld %.6f %.6f %.6f %.9f %.9f %.9f %.6f %.6f 0.000000\n", f,
                         points, cx, cy, cz, a[0], a[1], a[2], 2 * radius, radius / 2);
        }
        for (long k = 0; k < points; ++k) {
            const double u = random.Next();
            const double v = random.Next();
            double x, y, z;
            if (type == "plane") {
                x = cx + (u - 0.5) * 80;
                y = cy + (v - 0.5) * 60;
                z = cz - 0.01 * (x - cx) - 0.02 * (y - cy) + random.Noise();
            } else if (type == "line") {
                const double t = (u - 0.5) * 200;
                x = cx + 0.707106781 * t + random.Noise();
                y = cy + 0.707106781 * t + random.Noise();
                z = cz + random.Noise();
            } else if (type == "circle") {
                const double a = 2 * pi * u;
                x = cx + (radius + random.Noise()) * std::cos(a);
                y = cy + (radius + random.Noise()) * std::sin(a);
                z = cz;
            } else if (type == "sphere") {
                const double a = 2 * pi * u;
                const double b = std::acos(1 - 2 * v);
                const double r = radius + random.Noise();
                x = cx + r * std::sin(b) * std::cos(a);
                y = cy + r * std::sin(b) * std::sin(a);
                z = cz + r * std::cos(b);
            } else {
                // Along the axis by t, and off it by r in the direction at
                // angle round it.
                const double angle = 2 * pi * u;
                double t, r;
                if (type == "cylinder") {
                    t = (v - 0.5) * 4 * radius;
                    r = radius;
                } else if (type == "cone") {
                    t = (v - 0.5) * radius;
                    r = radius + t * tan_half_angle;
                } else {
                    // Round the tube, of radius radius / 4, whose centres
                    // lie radius from the axis.
                    const double tube = 2 * pi * v;
                    t = radius / 4 * std::sin(tube);
                    r = radius + radius / 4 * std::cos(tube);
                }
                const double across_u = r * std::cos(angle);
                const double across_v = r * std::sin(angle);
                x = cx + t * a[0] + across_u * axes.u[0] + across_v * axes.v[0];
                y = cy + t * a[1] + across_u * axes.u[1] + across_v * axes.v[1];
                z = cz + t * a[2] + across_u * axes.u[2] + across_v * axes.v[2];
            }
            std::fprintf(out, "%.6f %.6f %.6f\n", x, y, z);
        }
    }
    if (std::fclose(out) != 0) {
        std::perror(argv[4]);
        return 1;
    }
    return 0;
}
