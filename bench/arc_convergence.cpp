// How often the full three-dimensional circle fit converges on short, noisy
// arcs, and in how many iterations: 12 points on arcs of 5, 10 and 20
// degrees of a circle of 25 mm, each point off the circle radially and
// axially by up to half the form either way, written to 5 decimals, in a
// random place up to 1000 mm from the origin and a random orientation.
//   tessaline-bench-arcs [SETS] [SEED]    (default 1000 sets per arc and form, seed 1)
#include "fitting/least_squares_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

const double Pi = std::acos(-1.0);

double Rounded(double value)
{
    return std::round(value * 1e5) / 1e5;
}

TVector3 Random_Direction(std::mt19937_64 &random)
{
    std::normal_distribution<double> normal;
    TVector3 d;
    do {
        d = TVector3(normal(random), normal(random), normal(random));
    } while ((d ^ d) < 1e-6);
    return d.Normal();
}

std::vector<TVector3> Arc(std::mt19937_64 &random, double arc, double form)
{
    std::uniform_real_distribution<double> unit(-1, 1);
    const TVector3 centre(1000 * unit(random), 1000 * unit(random), 1000 * unit(random));
    TVector3 n = Random_Direction(random);
    TVector3 u = n * Random_Direction(random);
    u.Normal();
    const TVector3 v = n * u;
    const double radius = 25;
    const double first = Pi * unit(random);
    std::vector<TVector3> points;
    for (int i = 0; i < 12; ++i) {
        const double angle = first + arc * i / 11;
        const double r = radius + form / 2 * unit(random);
        const TVector3 p = centre + u * (r * std::cos(angle)) + v * (r * std::sin(angle)) +
                           n * (form / 2 * unit(random));
        points.emplace_back(Rounded(p.x), Rounded(p.y), Rounded(p.z));
    }
    return points;
}

} // namespace

int main(int argc, char **argv)
{
    const long sets = argc > 1 ? std::atol(argv[1]) : 1000;
    const unsigned long seed = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1;
    if (sets < 1) {
        std::fprintf(stderr, "usage: %s [SETS >= 1] [SEED]\n", argv[0]);
        return 2;
    }
    std::mt19937_64 random(seed);
    std::printf("%5s %8s %6s %10s %16s\n", "arc", "form", "sets", "converged", "most iterations");
    long all = 0;
    long all_converged = 0;
    int all_most = 0;
    for (double arc : {5.0, 10.0, 20.0}) {
        for (double form : {0.010, 0.050, 0.200}) {
            long converged = 0;
            int most = 0;
            for (long set = 0; set < sets; ++set) {
                const std::vector<TVector3> points = Arc(random, arc * Pi / 180, form);
                const TFit fit = Fit_Circle_Orthogonal(points);
                converged += fit.fitted ? 1 : 0;
                if (!fit.fitted) {
                    // Each failed set in full, so that it can be studied alone.
                    std::fprintf(stderr, "failed: %g degrees, %g mm, set %ld, %d iterations: %s\n",
                                 arc, form, set, fit.iterations, fit.failure.c_str());
                    for (const TVector3 &p : points)
                        std::fprintf(stderr, "  %.5f %.5f %.5f\n", p.x, p.y, p.z);
                }
                most = std::max(most, fit.iterations);
            }
            std::printf("%5.0f %8.3f %6ld %10ld %16d\n", arc, form, sets, converged, most);
            all += sets;
            all_converged += converged;
            all_most = std::max(all_most, most);
        }
    }
    std::printf("all: %ld of %ld converged, at most %d iterations\n", all_converged, all, all_most);
    return all_converged == all ? 0 : 1;
}
