// Wall time and peak memory of the minimax fits on generated points, 1000 mm
// from the origin on tilted elements, with a uniform form deviation of
// 0.01 mm. Each fit runs in a process of its own, so that the peak memory
// (getrusage's maximum resident set) is that fit's, with its points.
//   tessaline-bench-minimax [POINTS] [FIT...]   (default 1000000 points, every fit)
// A fit is named as in the table below (line, plane, circle-zone, ...).
#include "core/vector_measures.h"
#include "fitting/minimax_fit.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

const double Pi = std::acos(-1.0);
const double Form = 0.01;

// A tilted frame 1000 mm from the origin: the element's plane is (u, v).
struct TFrame
{
    TVector3 origin{987.654, -612.345, 456.789};
    TVector3 u{0.8, 0.36, -0.48};
    TVector3 v{-0.6, 0.48, -0.64};
    TVector3 n = u * v;

    TVector3 At(double a, double b, double c) const { return origin + u * a + v * b + n * c; }
};

const TFrame Frame;

double Uniform(std::mt19937_64 &random, double low, double high)
{
    return low + (high - low) * (random() >> 11) * 0x1.0p-53;
}

// Points on a 200 mm line in the frame's plane, off the plane by up to 1 mm.
std::vector<TVector3> Line_Points(long count)
{
    std::mt19937_64 random(1);
    std::vector<TVector3> points;
    points.reserve(count);
    for (long i = 0; i < count; ++i)
        points.push_back(Frame.At(Uniform(random, -100, 100), Uniform(random, -Form, Form) / 2,
                                  Uniform(random, -1, 1)));
    return points;
}

std::vector<TVector3> Plane_Points(long count)
{
    std::mt19937_64 random(2);
    std::vector<TVector3> points;
    points.reserve(count);
    for (long i = 0; i < count; ++i)
        points.push_back(Frame.At(Uniform(random, -100, 100), Uniform(random, -100, 100),
                                  Uniform(random, -Form, Form) / 2));
    return points;
}

// A circle of 50 mm radius all round, off its plane by up to 1 mm.
std::vector<TVector3> Circle_Points(long count)
{
    std::mt19937_64 random(3);
    std::vector<TVector3> points;
    points.reserve(count);
    for (long i = 0; i < count; ++i) {
        const double angle = Uniform(random, 0, 2 * Pi);
        const double radius = 50 + Uniform(random, -Form, Form) / 2;
        points.push_back(
            Frame.At(radius * std::cos(angle), radius * std::sin(angle), Uniform(random, -1, 1)));
    }
    return points;
}

TMinimaxFit Line(const std::vector<TVector3> &points)
{
    return Fit_Minimax_Line(points, Frame.origin, Frame.n);
}

TMinimaxFit Plane(const std::vector<TVector3> &points)
{
    return Fit_Minimax_Plane(points);
}

TMinimaxFit Circle_Zone(const std::vector<TVector3> &points)
{
    return Fit_Minimax_Circle(points, Frame.origin, Frame.n, TCriterion::MINIMUM_ZONE);
}

TMinimaxFit Circle_Circumscribed(const std::vector<TVector3> &points)
{
    return Fit_Minimax_Circle(points, Frame.origin, Frame.n, TCriterion::MINIMUM_CIRCUMSCRIBED);
}

TMinimaxFit Circle_Inscribed(const std::vector<TVector3> &points)
{
    return Fit_Minimax_Circle(points, Frame.origin, Frame.n, TCriterion::MAXIMUM_INSCRIBED);
}

// One row per fit; the three-dimensional fits join the table the same way.
struct TBenchFit
{
    const char *name;
    std::vector<TVector3> (*points)(long);
    TMinimaxFit (*fit)(const std::vector<TVector3> &);
};

const TBenchFit Fits[] = {
    {"line", Line_Points, Line},
    {"plane", Plane_Points, Plane},
    {"circle-zone", Circle_Points, Circle_Zone},
    {"circle-circumscribed", Circle_Points, Circle_Circumscribed},
    {"circle-inscribed", Circle_Points, Circle_Inscribed},
};

double Seconds(const timeval &time)
{
    return static_cast<double>(time.tv_sec) + 1e-6 * static_cast<double>(time.tv_usec);
}

// In a child process: the points, the fit, its figures: wall and processor
// seconds of the fit (on a loaded machine the second is the steadier), and
// the process' peak memory.
int Run(const TBenchFit &bench, long count)
{
    const std::vector<TVector3> points = bench.points(count);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    const TMinimaxFit fit = bench.fit(points);
    const auto end = std::chrono::steady_clock::now();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%-21s %8ld %9.3f %9.3f %9.1f  ", bench.name, count,
                std::chrono::duration<double>(end - start).count(),
                Seconds(usage.ru_utime) - Seconds(before.ru_utime), usage.ru_maxrss / 1024.0);
    if (!fit.fitted) {
        std::printf("not fitted: %s\n", fit.failure.c_str());
        return 1;
    }
    std::printf("form %.9f", fit.form);
    if (fit.diameter > 0)
        std::printf(" diameter %.9f", fit.diameter);
    std::printf(", %d cells, contacts %zu + %zu\n", fit.iterations, fit.outer_contacts.size(),
                fit.inner_contacts.size());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    if (count < 4) {
        std::fprintf(stderr, "usage: %s [POINTS >= 4] [FIT...]\n", argv[0]);
        return 2;
    }
    std::printf("%-21s %8s %9s %9s %9s\n", "fit", "points", "wall s", "cpu s", "peak MB");
    int status = 0;
    for (const TBenchFit &bench : Fits) {
        bool chosen = argc <= 2;
        for (int a = 2; a < argc; ++a)
            chosen = chosen || std::strcmp(argv[a], bench.name) == 0;
        if (!chosen)
            continue;
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            const int result = Run(bench, count);
            std::fflush(stdout);
            std::_Exit(result);
        }
        int child_status = 0;
        if (child < 0 || waitpid(child, &child_status, 0) != child || !WIFEXITED(child_status) ||
            WEXITSTATUS(child_status) != 0)
            status = 1;
    }
    return status;
}
