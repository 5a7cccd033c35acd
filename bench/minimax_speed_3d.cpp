// Seconds and peak memory of the minimax sphere and cylinder fits on
// generated points (default 100,000): a sphere of 50 mm radius and a
// cylinder of 25 mm radius and 100 mm length, 1000 mm from the origin, the
// points within a zone of 0.01 mm (a fixed sequence, not random). Each fit
// runs in a process of its own, so that its peak resident memory
// (getrusage's maxrss) is its own.
//   tessaline-bench-minimax-3d [POINTS]
#include "fitting/minimax_fit.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const double Pi = std::acos(-1.0);
const double Width = 0.01;

double Fraction(std::uint64_t &state)
{
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
}

std::vector<TVector3> Sphere_Points(int count)
{
    std::vector<TVector3> points;
    points.reserve(static_cast<std::size_t>(count));
    std::uint64_t state = 3;
    for (int i = 0; i < count; ++i) {
        const double z = 1 - 2 * (i + 0.5) / count;
        const double across = std::sqrt(1 - z * z);
        const double turn = 2.39996322972865332 * i;
        const double r = 50 + Width * (Fraction(state) - 0.5);
        points.emplace_back(600 + r * across * std::cos(turn), -800 + r * across * std::sin(turn),
                            r * z);
    }
    return points;
}

std::vector<TVector3> Cylinder_Points(int count)
{
    std::vector<TVector3> points;
    points.reserve(static_cast<std::size_t>(count));
    std::uint64_t state = 7;
    // The axis tilted: (0.6, 0, 0.8).
    const TVector3 w(0.6, 0, 0.8);
    const TVector3 u(0.8, 0, -0.6);
    const TVector3 v(0, 1, 0);
    for (int i = 0; i < count; ++i) {
        const double turn = 2 * Pi * Fraction(state);
        const double height = 100 * (Fraction(state) - 0.5);
        const double r = 25 + Width * (Fraction(state) - 0.5);
        points.push_back(TVector3(600, -800, 0) + u * (r * std::cos(turn)) +
                         v * (r * std::sin(turn)) + w * height);
    }
    return points;
}

const char *Name_Of(TCriterion criterion);

void Run(const char *type, TCriterion criterion, int count)
{
    const bool sphere = type[0] == 's';
    const std::vector<TVector3> points = sphere ? Sphere_Points(count) : Cylinder_Points(count);
    const auto start = std::chrono::steady_clock::now();
    const TMinimaxFit fit =
        sphere ? Fit_Minimax_Sphere(points, criterion) : Fit_Minimax_Cylinder(points, criterion);
    const auto end = std::chrono::steady_clock::now();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%-8s %-22s %7d %9.3f %9.1f  ", type, Name_Of(criterion), count,
                std::chrono::duration<double>(end - start).count(),
                static_cast<double>(usage.ru_maxrss) / 1024);
    if (fit.fitted) {
        std::printf("D %.9f F %.9f, %zu + %zu contacts\n", fit.diameter, fit.form,
                    fit.outer_contacts.size(), fit.inner_contacts.size());
    } else {
        std::printf("not fitted: %s\n", fit.failure.c_str());
    }
}

// The criterion's name without linking the validation library.
const char *Name_Of(TCriterion criterion)
{
    switch (criterion) {
    case TCriterion::MINIMUM_ZONE:
        return "minimum-zone";
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        return "minimum-circumscribed";
    case TCriterion::MAXIMUM_INSCRIBED:
        return "maximum-inscribed";
    default:
        return "least-squares";
    }
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (count < 10) {
        std::fprintf(stderr, "usage: tessaline-bench-minimax-3d [POINTS >= 10]\n");
        return 2;
    }
    std::printf("%-8s %-22s %7s %9s %9s\n", "type", "criterion", "points", "s", "peak MB");
    for (const char *type : {"sphere", "cylinder"}) {
        for (TCriterion criterion : {TCriterion::MINIMUM_ZONE, TCriterion::MINIMUM_CIRCUMSCRIBED,
                                     TCriterion::MAXIMUM_INSCRIBED}) {
            std::fflush(stdout);
            const pid_t child = fork();
            if (child == 0) {
                Run(type, criterion, count);
                std::fflush(stdout);
                _exit(0);
            }
            int status = 0;
            if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
                WEXITSTATUS(status) != 0) {
                std::fprintf(stderr, "the %s fit did not run to its end\n", type);
                return 1;
            }
        }
    }
    return 0;
}
