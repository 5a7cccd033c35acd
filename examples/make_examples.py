#!/usr/bin/env python3
"""Writes the example validation files plane.dat, line.dat, circle.dat and
sphere.dat, and checks the least-squares fits they carry.

Every example holds points scattered with small noise about a known plane,
line, circle or sphere; the reference result of each feature is the
orthogonal-distance least-squares fit of its points exactly as written to the
file, and its trailing value is the RMS of the orthogonal residuals.

    python3 make_examples.py                # rewrite the four files here
    python3 make_examples.py --check DIR    # compare the fits with reference
                                            # pairs DIR/*/NAME.ds + NAME.fit

Pure Python 3, no third-party modules.
"""

import math
import os
import random
import sys

# ---------------------------------------------------------------- linear algebra


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def sub(a, b):
    return [x - y for x, y in zip(a, b)]


def add(a, b):
    return [x + y for x, y in zip(a, b)]


def scale(a, s):
    return [x * s for x in a]


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def norm(a):
    return math.sqrt(dot(a, a))


def unit(a):
    return scale(a, 1.0 / norm(a))


def centroid(points):
    n = len(points)
    return [sum(p[i] for p in points) / n for i in range(3)]


def jacobi_eigen(m):
    """Eigenvalues and eigenvectors (columns) of a symmetric 3x3 matrix."""
    a = [row[:] for row in m]
    v = [[1.0 if i == j else 0.0 for j in range(3)] for i in range(3)]
    for _ in range(100):
        off = sum(a[i][j] ** 2 for i in range(3) for j in range(3) if i != j)
        if off < 1e-30 * (sum(a[i][i] ** 2 for i in range(3)) + 1e-300):
            break
        for p in range(3):
            for q in range(p + 1, 3):
                if abs(a[p][q]) < 1e-300:
                    continue
                theta = (a[q][q] - a[p][p]) / (2 * a[p][q])
                t = math.copysign(1.0, theta) / (abs(theta) + math.sqrt(theta * theta + 1))
                c = 1 / math.sqrt(t * t + 1)
                s = t * c
                for k in range(3):
                    akp, akq = a[k][p], a[k][q]
                    a[k][p] = c * akp - s * akq
                    a[k][q] = s * akp + c * akq
                for k in range(3):
                    apk, aqk = a[p][k], a[q][k]
                    a[p][k] = c * apk - s * aqk
                    a[q][k] = s * apk + c * aqk
                for k in range(3):
                    vkp, vkq = v[k][p], v[k][q]
                    v[k][p] = c * vkp - s * vkq
                    v[k][q] = s * vkp + c * vkq
    values = [a[i][i] for i in range(3)]
    vectors = [[v[k][i] for k in range(3)] for i in range(3)]
    return values, vectors


def solve(matrix, rhs):
    """Gaussian elimination with partial pivoting."""
    n = len(rhs)
    m = [row[:] + [r] for row, r in zip(matrix, rhs)]
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(m[r][col]))
        m[col], m[pivot] = m[pivot], m[col]
        for r in range(col + 1, n):
            f = m[r][col] / m[col][col]
            for c in range(col, n + 1):
                m[r][c] -= f * m[col][c]
    x = [0.0] * n
    for r in reversed(range(n)):
        x[r] = (m[r][n] - sum(m[r][c] * x[c] for c in range(r + 1, n))) / m[r][r]
    return x


def gauss_newton(params, residuals_and_jacobian, iterations=100):
    for _ in range(iterations):
        residuals, jacobian = residuals_and_jacobian(params)
        n = len(params)
        jtj = [[sum(row[i] * row[j] for row in jacobian) for j in range(n)] for i in range(n)]
        jtr = [-sum(row[i] * r for row, r in zip(jacobian, residuals)) for i in range(n)]
        step = solve(jtj, jtr)
        params = add(params, step)
        if norm(step) < 1e-15 * (1 + norm(params)):
            break
    return params


def covariance(points, centre):
    m = [[0.0] * 3 for _ in range(3)]
    for p in points:
        d = sub(p, centre)
        for i in range(3):
            for j in range(3):
                m[i][j] += d[i] * d[j]
    return m


def rms(values):
    return math.sqrt(sum(v * v for v in values) / len(values))


# ---------------------------------------------------------------- fits


def fit_plane(points):
    """Point on the plane (the centroid) and unit normal."""
    c = centroid(points)
    values, vectors = jacobi_eigen(covariance(points, c))
    normal = unit(vectors[min(range(3), key=lambda i: values[i])])
    residuals = [dot(sub(p, c), normal) for p in points]
    return c, normal, residuals


def fit_line(points):
    """Point on the line (the centroid) and unit direction."""
    c = centroid(points)
    values, vectors = jacobi_eigen(covariance(points, c))
    direction = unit(vectors[max(range(3), key=lambda i: values[i])])
    residuals = [norm(cross(sub(p, c), direction)) for p in points]
    return c, direction, residuals


def fit_circle_2d(xy):
    # Algebraic fit x^2 + y^2 + D x + E y + F = 0 as the start.
    rows = [[x, y, 1.0] for x, y in xy]
    rhs = [-(x * x + y * y) for x, y in xy]
    ata = [[sum(r[i] * r[j] for r in rows) for j in range(3)] for i in range(3)]
    atb = [sum(r[i] * b for r, b in zip(rows, rhs)) for i in range(3)]
    d, e, f = solve(ata, atb)
    a, b = -d / 2, -e / 2
    start = [a, b, math.sqrt(max(a * a + b * b - f, 0.0))]

    def model(params):
        a, b, r = params
        residuals, jacobian = [], []
        for x, y in xy:
            rho = math.hypot(x - a, y - b)
            residuals.append(rho - r)
            jacobian.append([-(x - a) / rho, -(y - b) / rho, -1.0])
        return residuals, jacobian

    return gauss_newton(start, model)


def fit_circle(points):
    """Least-squares plane, points projected into it, 2-D geometric circle
    fit: centre, unit axis, diameter and the 3-D orthogonal residuals."""
    c, normal, _ = fit_plane(points)
    u = unit(cross(normal, [1.0, 0.0, 0.0] if abs(normal[0]) < 0.9 else [0.0, 1.0, 0.0]))
    v = cross(normal, u)
    xy = [(dot(sub(p, c), u), dot(sub(p, c), v)) for p in points]
    a, b, r = fit_circle_2d(xy)
    centre = add(c, add(scale(u, a), scale(v, b)))
    residuals = []
    for p in points:
        d = sub(p, centre)
        h = dot(d, normal)
        radial = math.sqrt(max(dot(d, d) - h * h, 0.0))
        residuals.append(math.hypot(radial - r, h))
    return centre, normal, 2 * r, residuals


def fit_sphere(points):
    """Geometric least-squares sphere: centre, diameter, residuals."""
    rows = [[2 * p[0], 2 * p[1], 2 * p[2], 1.0] for p in points]
    rhs = [dot(p, p) for p in points]
    ata = [[sum(r[i] * r[j] for r in rows) for j in range(4)] for i in range(4)]
    atb = [sum(r[i] * b for r, b in zip(rows, rhs)) for i in range(4)]
    a, b, c, k = solve(ata, atb)
    start = [a, b, c, math.sqrt(max(k + a * a + b * b + c * c, 0.0))]

    def model(params):
        centre, r = params[:3], params[3]
        residuals, jacobian = [], []
        for p in points:
            d = sub(p, centre)
            rho = norm(d)
            residuals.append(rho - r)
            jacobian.append([-d[0] / rho, -d[1] / rho, -d[2] / rho, -1.0])
        return residuals, jacobian

    params = gauss_newton(start, model)
    centre, r = params[:3], params[3]
    return centre, 2 * r, [norm(sub(p, centre)) - r for p in points]


def oriented(direction, towards):
    return direction if dot(direction, towards) >= 0 else scale(direction, -1.0)


# ---------------------------------------------------------------- examples


def rounded(point, decimals=4):
    return [round(x, decimals) for x in point]


def text(point, decimals=4):
    return " ".join(f"{x:.{decimals}f}" for x in point)


def plane_points(rng, origin, normal, count, size, noise):
    u = unit(cross(normal, [0.0, 0.0, 1.0] if abs(normal[2]) < 0.9 else [1.0, 0.0, 0.0]))
    v = cross(normal, u)
    points = []
    for _ in range(count):
        s, t = rng.uniform(-size, size), rng.uniform(-size, size)
        p = add(origin, add(scale(u, s), scale(v, t)))
        points.append(rounded(add(p, scale(normal, rng.gauss(0, noise)))))
    return points


def line_points(rng, origin, direction, count, length, noise):
    u = unit(cross(direction, [0.0, 0.0, 1.0] if abs(direction[2]) < 0.9 else [1.0, 0.0, 0.0]))
    v = cross(direction, u)
    points = []
    for i in range(count):
        s = -length / 2 + length * i / (count - 1) + rng.uniform(-0.5, 0.5)
        p = add(origin, scale(direction, s))
        p = add(p, add(scale(u, rng.gauss(0, noise)), scale(v, rng.gauss(0, noise))))
        points.append(rounded(p))
    return points


def circle_points(rng, centre, axis, diameter, count, arc, noise):
    u = unit(cross(axis, [1.0, 0.0, 0.0] if abs(axis[0]) < 0.9 else [0.0, 1.0, 0.0]))
    v = cross(axis, u)
    start = rng.uniform(0, 2 * math.pi)
    points = []
    for i in range(count):
        angle = start + math.radians(arc) * i / count + rng.uniform(-0.05, 0.05)
        r = diameter / 2 + rng.gauss(0, noise)
        p = add(centre, add(scale(u, r * math.cos(angle)), scale(v, r * math.sin(angle))))
        points.append(rounded(add(p, scale(axis, rng.gauss(0, noise)))))
    return points


def sphere_points(rng, centre, diameter, count, noise, cap=False):
    points = []
    for _ in range(count):
        while True:
            d = [rng.gauss(0, 1) for _ in range(3)]
            if not cap or d[2] > 0.2 * norm(d):
                break
        r = diameter / 2 + rng.gauss(0, noise)
        points.append(rounded(add(centre, scale(unit(d), r))))
    return points


def header(kind, lines):
    return [f"# {line}" if line else "#" for line in lines] + [
        f"Best_Fit_Validation:Version=1:Type={kind}"
    ]


def write(path, lines):
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


COMMON = [
    "All lengths in millimetres. Each feature record is followed by its points.",
    "The reference result of each feature is the orthogonal-distance least-squares",
    "fit of exactly the points listed below it; the last value of each feature",
    "record is the RMS of the orthogonal residuals of that fit.",
    "Written by examples/make_examples.py.",
]


def make_plane(rng):
    lines = header(
        "Plane",
        ["Example validation file: two planes measured on a machined block.",
         "Plane record: number, point count, X Y Z of the centroid, I J K of the",
         "unit normal, RMS residual."] + COMMON)
    for number, origin, normal, count in (
            (1, [50.0, 25.0, 30.0], [0.0, 0.0, 1.0], 12),
            (2, [100.0, 25.0, 15.0], unit([1.0, 0.02, -0.01]), 9)):
        points = plane_points(rng, origin, normal, count, 20.0, 0.002)
        c, n, residuals = fit_plane(points)
        n = oriented(n, normal)
        lines.append(f"Plane {number} {count} {c[0]:.6f} {c[1]:.6f} {c[2]:.6f} "
                     f"{n[0]:.9f} {n[1]:.9f} {n[2]:.9f} {rms(residuals):.6f}")
        lines += [text(p) for p in points]
    return lines


def make_line(rng):
    lines = header(
        "Line",
        ["Example validation file: two straight edges probed along their length.",
         "Line record: number, point count, X Y Z of the centroid, I J K of the",
         "unit direction, RMS residual."] + COMMON)
    for number, origin, direction, count in (
            (1, [10.0, 5.0, 20.0], [1.0, 0.0, 0.0], 8),
            (2, [60.0, 40.0, 20.0], unit([0.6, 0.8, 0.0]), 10)):
        points = line_points(rng, origin, direction, count, 40.0, 0.002)
        c, d, residuals = fit_line(points)
        d = oriented(d, direction)
        lines.append(f"Line {number} {count} {c[0]:.6f} {c[1]:.6f} {c[2]:.6f} "
                     f"{d[0]:.9f} {d[1]:.9f} {d[2]:.9f} {rms(residuals):.6f}")
        lines += [text(p) for p in points]
    return lines


def make_circle(rng):
    lines = header(
        "Circle",
        ["Example validation file: two bores, one probed all round, one on a",
         "120 degree arc. Circle record: number, point count, X Y Z of the centre,",
         "I J K of the unit axis, diameter, RMS residual. The circle is fitted in",
         "the least-squares plane of its points."] + COMMON)
    for number, centre, axis, diameter, count, arc in (
            (1, [40.0, 30.0, -5.0], [0.0, 0.0, 1.0], 25.4, 8, 360.0),
            (2, [90.0, 30.0, -12.0], unit([0.0, 0.01, 1.0]), 12.0, 7, 120.0)):
        points = circle_points(rng, centre, axis, diameter, count, arc, 0.002)
        c, n, dia, residuals = fit_circle(points)
        n = oriented(n, axis)
        lines.append(f"Circle {number} {count} {c[0]:.6f} {c[1]:.6f} {c[2]:.6f} "
                     f"{n[0]:.9f} {n[1]:.9f} {n[2]:.9f} {dia:.6f} {rms(residuals):.6f}")
        lines += [text(p) for p in points]
    return lines


def make_sphere(rng):
    lines = header(
        "Sphere",
        ["Example validation file: a reference ball probed all over and a ball",
         "probed on its upper half only. Sphere record: number, point count,",
         "X Y Z of the centre, diameter, RMS residual."] + COMMON)
    for number, centre, diameter, count, cap in (
            (1, [150.0, 150.0, 50.0], 25.0, 14, False),
            (2, [-20.0, 80.0, 35.0], 19.05, 9, True)):
        points = sphere_points(rng, centre, diameter, count, 0.002, cap)
        c, dia, residuals = fit_sphere(points)
        lines.append(f"Sphere {number} {count} {c[0]:.6f} {c[1]:.6f} {c[2]:.6f} "
                     f"{dia:.6f} {rms(residuals):.6f}")
        lines += [text(p) for p in points]
    return lines


# ---------------------------------------------------------------- check


def read_numbers(path):
    with open(path) as f:
        return [float(x) for x in f.read().split()]


def check(directory):
    """Fits every reference data set and prints the largest deviation."""
    worst = 0.0
    for kind in ("plane", "line", "circle3d", "sphere"):
        folder = os.path.join(directory, kind)
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".ds"):
                continue
            data = read_numbers(os.path.join(folder, name))
            count = int(data[0])
            points = [data[1 + 3 * i:4 + 3 * i] for i in range(count)]
            expected = read_numbers(os.path.join(folder, name[:-3] + ".fit"))
            if kind == "plane":
                c, n, _ = fit_plane(points)
                got = c + oriented(n, expected[3:6])
            elif kind == "line":
                c, d, _ = fit_line(points)
                got = c + oriented(d, expected[3:6])
            elif kind == "circle3d":
                c, n, dia, _ = fit_circle(points)
                got = c + oriented(n, expected[3:6]) + [dia]
            else:
                c, dia, _ = fit_sphere(points)
                got = c + [dia]
            deviation = max(abs(a - b) for a, b in zip(got, expected))
            worst = max(worst, deviation)
            print(f"{kind}/{name[:-3]}: {count} points, largest deviation {deviation:.3g}")
    print(f"largest deviation of all: {worst:.3g}")
    return worst < 1e-6


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--check":
        sys.exit(0 if check(sys.argv[2]) else 1)
    here = os.path.dirname(os.path.abspath(__file__))
    rng = random.Random(20240517)
    for name, make in (("plane", make_plane), ("line", make_line), ("circle", make_circle),
                       ("sphere", make_sphere)):
        write(os.path.join(here, name + ".dat"), make(rng))


if __name__ == "__main__":
    main()
