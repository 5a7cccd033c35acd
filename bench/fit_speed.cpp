// Wall time of the least-squares fits on 1,000,000 generated points of each
// kind (the cone's design: 30 degrees included; the torus' tube: 30 mm), 1000 mm from the origin
// with 0.001 mm of noise; prints the best of a few runs and the fit beside the shape the points
// were generated from.
//   tessaline-bench-fit [POINTS] [RUNS]    (default 1000000 points, 5 runs)
#include "core/vector_measures.h"
#include "fitting/least_squares_fit.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

const double Pi = std::acos(-1.0);

struct TShape
{
    const char *name;
    TFit (*fit)(const std::vector<TVector3> &);
    std::vector<TVector3> points;
    TVector3 position;
    TVector3 direction;
    double diameter;
};

void Run(const TShape &shape, int runs)
{
    double best = 1e300;
    TFit fit;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        fit = shape.fit(shape.points);
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::printf("%-8s %8zu points  %8.1f ms  ", shape.name, shape.points.size(), best);
    if (!fit.fitted) {
        std::printf("not fitted: %s\n", fit.failure.c_str());
        return;
    }
    std::printf("position (%.6f, %.6f, %.6f)", fit.position.x, fit.position.y, fit.position.z);
    if (Length(shape.direction) > 0) {
        std::printf(" direction (%.9f, %.9f, %.9f)", fit.direction.x + 0.0, fit.direction.y + 0.0,
                    fit.direction.z + 0.0);
    }
    if (shape.diameter > 0) {
        std::printf(" diameter %.6f, %d iterations", fit.diameter, fit.iterations);
    }
    if (fit.apex_angle > 0) {
        std::printf(" apex angle %.9f", fit.apex_angle);
    }
    if (fit.minor_diameter > 0) {
        std::printf(" minor diameter %.6f", fit.minor_diameter);
    }
    std::printf("\n%-8s %8s %8s      generated from (%.6f, %.6f, %.6f)", "", "", "",
                shape.position.x, shape.position.y, shape.position.z);
    if (Length(shape.direction) > 0) {
        std::printf(" direction (%.9f, %.9f, %.9f)", shape.direction.x + 0.0,
                    shape.direction.y + 0.0, shape.direction.z + 0.0);
    }
    if (shape.diameter > 0) {
        std::printf(" diameter %.6f", shape.diameter);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (count < 4 || runs < 1) {
        std::fprintf(stderr, "usage: %s [POINTS >= 4] [RUNS >= 1]\n", argv[0]);
        return 2;
    }

    std::mt19937_64 random(20240601);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::normal_distribution<double> noise(0, 0.001);

    // A frame tilted from the axes, far from the origin.
    const TVector3 origin(812.34567, -934.56789, 701.23456);
    TVector3 n(0.3, -0.5, 0.8);
    n.Normal();
    TVector3 u = n * TVector3(1, 0, 0);
    u.Normal();
    const TVector3 v = n * u;

    std::vector<TShape> shapes;
    shapes.push_back({"plane", Fit_Plane, {}, origin, n, 0});
    shapes.push_back({"line", Fit_Line, {}, origin, u, 0});
    shapes.push_back({"circle", Fit_Circle, {}, origin, n, 100});
    shapes.push_back({"sphere", Fit_Sphere, {}, origin, TVector3(), 80});
    // The position of a cylinder and a cone is the axis point nearest the
    // centroid: the heights below are symmetric about origin.
    shapes.push_back({"cylinder",
                      [](const std::vector<TVector3> &p) { return Fit_Cylinder(p); },
                      {},
                      origin,
                      n,
                      60});
    shapes.push_back(
        {"cone", [](const std::vector<TVector3> &p) { return Fit_Cone(p); }, {}, origin, n, 60});
    shapes.push_back(
        {"torus", [](const std::vector<TVector3> &p) { return Fit_Torus(p); }, {}, origin, n, 120});
    for (TShape &shape : shapes) {
        shape.points.reserve(count);
    }
    for (long i = 0; i < count; ++i) {
        shapes[0].points.push_back(origin + u * (150 * unit(random)) + v * (100 * unit(random)) +
                                   n * noise(random));
        shapes[1].points.push_back(origin + u * (250 * unit(random)) + v * noise(random) +
                                   n * noise(random));
        const double angle = Pi * unit(random);
        const double r = 50 + noise(random);
        shapes[2].points.push_back(origin + u * (r * std::cos(angle)) + v * (r * std::sin(angle)) +
                                   n * noise(random));
        const double z = unit(random);
        const double azimuth = Pi * unit(random);
        const double s = std::sqrt(1 - z * z);
        const double R = 40 + noise(random);
        shapes[3].points.push_back(origin + u * (R * s * std::cos(azimuth)) +
                                   v * (R * s * std::sin(azimuth)) + n * (R * z));
        // Cylinder of 60 mm, 80 mm long; cone of 60 mm at origin, 30 degrees
        // included, 40 mm long; torus of 120 mm with a tube of 30 mm.
        const double around = Pi * unit(random);
        const double height = 40 * unit(random);
        const double c = 30 + noise(random);
        shapes[4].points.push_back(origin + u * (c * std::cos(around)) +
                                   v * (c * std::sin(around)) + n * height);
        const double k = 30 + height / 2 * std::tan(Pi / 12) + noise(random);
        shapes[5].points.push_back(origin + u * (k * std::cos(around)) +
                                   v * (k * std::sin(around)) + n * (height / 2));
        const double tube = Pi * unit(random);
        const double t = 60 + (15 + noise(random)) * std::cos(tube);
        shapes[6].points.push_back(origin + u * (t * std::cos(around)) +
                                   v * (t * std::sin(around)) + n * (15 * std::sin(tube)));
    }

    std::printf("best of %d runs\n", runs);
    for (const TShape &shape : shapes) {
        Run(shape, runs);
    }
    return 0;
}
