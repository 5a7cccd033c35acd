#pragma once

// The pieces the generator's Gauss-Newton iterations share, in the portable
// arithmetic (generating/portable_math.h).

#include "generating/portable_math.h"

#include <algorithm>
#include <cmath>
#include <vector>

constexpr int MAX_ITERATIONS = 50;

// Whether the iteration is done: a step below 1e-14 of the element's size
// changes nothing the 1e-9 the reference is held to could tell; and a step
// below 1e-11 of it that is no shorter than half the step before is the
// rounding of the sums, which few points on a short arc amplify, going back
// and forth.
class TSettling
{
public:
    explicit TSettling(double scale_) : scale(scale_) {}
    bool Settled(double step)
    {
        const bool settled =
            step <= 1e-14 * scale || (step <= 1e-11 * scale && step >= previous / 2);
        previous = step;
        return settled;
    }

private:
    const double scale;
    double previous = HUGE_VAL;
};

// Solves the small symmetric positive definite system G x = b, scaled to a
// unit diagonal first, by Gaussian elimination with partial pivoting.
// False when G is singular.
template <int N> inline bool Solve(double (&G)[N][N], double (&b)[N], double (&x)[N])
{
    double scale[N];
    for (int i = 0; i < N; ++i) {
        if (!(G[i][i] > 0))
            return false;
        scale[i] = 1 / std::sqrt(G[i][i]);
    }
    double A[N][N + 1];
    for (int i = 0; i < N; ++i) {
        for (int j = 0; j < N; ++j)
            A[i][j] = G[i][j] * scale[i] * scale[j];
        A[i][N] = b[i] * scale[i];
    }
    for (int column = 0; column < N; ++column) {
        int pivot = column;
        for (int row = column + 1; row < N; ++row) {
            if (std::abs(A[row][column]) > std::abs(A[pivot][column]))
                pivot = row;
        }
        if (!(std::abs(A[pivot][column]) > 1e-300))
            return false;
        for (int j = 0; j <= N; ++j)
            std::swap(A[column][j], A[pivot][j]);
        for (int row = column + 1; row < N; ++row) {
            const double factor = A[row][column] / A[column][column];
            for (int j = column; j <= N; ++j)
                A[row][j] -= factor * A[column][j];
        }
    }
    for (int row = N - 1; row >= 0; --row) {
        double value = A[row][N];
        for (int j = row + 1; j < N; ++j)
            value -= A[row][j] * x[j];
        x[row] = value / A[row][row];
    }
    for (int i = 0; i < N; ++i) {
        x[i] *= scale[i];
        if (!std::isfinite(x[i]))
            return false;
    }
    return true;
}

// Adds row^T row to G and row^T residual to b.
template <int N>
inline void Accumulate(double (&G)[N][N], double (&b)[N], const double (&row)[N], double residual)
{
    for (int i = 0; i < N; ++i) {
        for (int j = 0; j < N; ++j)
            G[i][j] += row[i] * row[j];
        b[i] -= row[i] * residual;
    }
}

// The mean of the points, by compensated sums.
TVec Centroid(const std::vector<TVec> &points);
