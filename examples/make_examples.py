#!/usr/bin/env python3
"""Writes the example validation files plane.dat, line.dat, circle.dat,
sphere.dat, cylinder.dat, cone.dat and torus.dat, and checks the
least-squares fits they carry.

Every example holds points scattered with small noise about a known plane,
line, circle, sphere, cylinder, cone or torus; the reference result of each
feature is the orthogonal-distance least-squares fit of its points exactly as
written to the file, and its trailing value is the RMS of the orthogonal
residuals.

    python3 make_examples.py                # rewrite the seven files here
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


def perpendiculars(axis):
    u = unit(cross(axis, [1.0, 0.0, 0.0] if abs(axis[0]) < 0.9 else [0.0, 1.0, 0.0]))
    return u, cross(axis, u)


def axial_gauss_newton(points, centre, axis, sizes, model, shifts, iterations=200):
    """Gauss-Newton about the current estimate: the axis is tilted by two
    angles and the centre moved by `shifts` (2: across the axis, 3: also
    along it), so no parameter is redundant. Ends on a negligible step."""
    axis = unit(axis)
    for _ in range(iterations):
        u, v = perpendiculars(axis)
        residuals, jacobian = model(points, centre, axis, u, v, sizes)
        n = len(jacobian[0])
        jtj = [[sum(row[i] * row[j] for row in jacobian) for j in range(n)] for i in range(n)]
        jtr = [-sum(row[i] * r for row, r in zip(jacobian, residuals)) for i in range(n)]
        step = solve(jtj, jtr)
        moved = add(scale(u, step[0]), scale(v, step[1]))
        if shifts == 3:
            moved = add(moved, scale(axis, step[2]))
        centre = add(centre, moved)
        axis = unit(add(axis, add(scale(u, step[shifts]), scale(v, step[shifts + 1]))))
        sizes = add(sizes, step[shifts + 2:])
        if norm(step) < 1e-14 * (1 + norm(centre) + norm(sizes)):
            break
    residuals, _ = model(points, centre, axis, *perpendiculars(axis), sizes)
    return centre, axis, sizes, residuals


def axial_frame(p, centre, axis):
    w = sub(p, centre)
    t = dot(w, axis)
    q = sub(w, scale(axis, t))
    rho = norm(q)
    return t, rho, scale(q, 1.0 / rho)


def cylinder_model(points, centre, axis, u, v, sizes):
    (r,) = sizes
    residuals, jacobian = [], []
    for p in points:
        t, rho, n = axial_frame(p, centre, axis)
        nu, nv = dot(n, u), dot(n, v)
        residuals.append(rho - r)
        jacobian.append([-nu, -nv, -t * nu, -t * nv, -1.0])
    return residuals, jacobian


def cone_model(points, centre, axis, u, v, sizes):
    """Radius r at the centre and half apex angle h; the distance of a point
    from the cone's surface in its meridian plane."""
    r, h = sizes
    c, s, tn = math.cos(h), math.sin(h), math.tan(h)
    residuals, jacobian = [], []
    for p in points:
        t, rho, n = axial_frame(p, centre, axis)
        nu, nv = dot(n, u), dot(n, v)
        e = rho - r - t * tn
        residuals.append(e * c)
        jacobian.append([-c * nu, -c * nv, -c * nu * (t + tn * rho), -c * nv * (t + tn * rho),
                         -c, -t / c - e * s])
    return residuals, jacobian


def torus_model(points, centre, axis, u, v, sizes):
    big, small = sizes
    residuals, jacobian = [], []
    for p in points:
        t, rho, n = axial_frame(p, centre, axis)
        nu, nv = dot(n, u), dot(n, v)
        s = math.hypot(rho - big, t)
        residuals.append(s - small)
        jacobian.append([-(rho - big) * nu / s, -(rho - big) * nv / s, -t / s,
                         t * big * nu / s, t * big * nv / s, -(rho - big) / s, -1.0])
    return residuals, jacobian


def nearest_axis_point(points, centre, axis):
    return add(centre, scale(axis, dot(sub(centroid(points), centre), axis)))


def fit_cylinder(points, centre, axis, diameter):
    """Geometric least-squares cylinder from a start: the axis point nearest
    the centroid, the unit axis, the diameter and the residuals."""
    c, a, (r,), residuals = axial_gauss_newton(points, centre, axis, [diameter / 2],
                                               cylinder_model, 2)
    return nearest_axis_point(points, c, a), a, 2 * r, residuals


def fit_cone(points, centre, axis, apex_angle, diameter):
    """Geometric least-squares cone from a start: the axis point nearest the
    centroid, the unit axis towards the wider end, the apex angle in degrees,
    the diameter at that point and the residuals."""
    c, a, (r, h), residuals = axial_gauss_newton(
        points, centre, axis, [diameter / 2, math.radians(apex_angle) / 2], cone_model, 2)
    if h < 0:
        a, h = scale(a, -1.0), -h
    p = nearest_axis_point(points, c, a)
    radius_at_p = abs(r) + dot(sub(p, c), a) * math.tan(h) * (1 if r >= 0 else -1)
    return p, a, math.degrees(2 * h), 2 * radius_at_p, residuals


def fit_torus(points, centre, axis, major, minor):
    """Geometric least-squares torus from a start: centre, unit axis, major
    and minor diameter and the residuals."""
    c, a, (big, small), residuals = axial_gauss_newton(points, centre, axis,
                                                       [major / 2, minor / 2], torus_model, 3)
    return c, a, 2 * big, 2 * small, residuals


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


def cylinder_points(rng, centre, axis, diameter, length, count, arc, noise):
    u, v = perpendiculars(axis)
    start = rng.uniform(0, 2 * math.pi)
    points = []
    for i in range(count):
        angle = start + math.radians(arc) * (i + rng.uniform(0.2, 0.8)) / count
        t = rng.uniform(-length / 2, length / 2)
        r = diameter / 2 + rng.gauss(0, noise)
        radial = add(scale(u, math.cos(angle)), scale(v, math.sin(angle)))
        points.append(rounded(add(centre, add(scale(axis, t), scale(radial, r)))))
    return points


def cone_points(rng, centre, axis, apex_angle, diameter, length, count, noise):
    """Points about the cone with the given diameter at centre, its axis
    pointing to the wider end, spread over length along the axis."""
    u, v = perpendiculars(axis)
    h = math.radians(apex_angle) / 2
    start = rng.uniform(0, 2 * math.pi)
    points = []
    for i in range(count):
        angle = start + 2 * math.pi * (i + rng.uniform(0.2, 0.8)) / count
        t = rng.uniform(-length / 2, length / 2)
        radial = add(scale(u, math.cos(angle)), scale(v, math.sin(angle)))
        normal = sub(scale(radial, math.cos(h)), scale(axis, math.sin(h)))
        on_surface = add(centre, add(scale(axis, t), scale(radial, diameter / 2 + t * math.tan(h))))
        points.append(rounded(add(on_surface, scale(normal, rng.gauss(0, noise)))))
    return points


def torus_points(rng, centre, axis, major, minor, count, band, noise):
    """Points about the torus, round the axis, within a band of tube angles
    centred on the outer equator."""
    u, v = perpendiculars(axis)
    start = rng.uniform(0, 2 * math.pi)
    points = []
    for i in range(count):
        angle = start + 2 * math.pi * (i + rng.uniform(0.2, 0.8)) / count
        tube = math.radians(band) * (rng.uniform(0, 1) - 0.5)
        radial = add(scale(u, math.cos(angle)), scale(v, math.sin(angle)))
        normal = add(scale(radial, math.cos(tube)), scale(axis, math.sin(tube)))
        r = minor / 2 + rng.gauss(0, noise)
        points.append(rounded(add(centre, add(scale(radial, major / 2), scale(normal, r)))))
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


def make_cylinder(rng):
    lines = header(
        "Cylinder",
        ["Example validation file: a bore probed all round and a shaft probed on a",
         "90 degree arc. Cylinder record: number, point count, X Y Z of the axis",
         "point nearest the centroid of the points, I J K of the unit axis,",
         "diameter, RMS residual."] + COMMON)
    for number, centre, axis, diameter, length, count, arc in (
            (1, [40.0, 30.0, -15.0], [0.0, 0.0, 1.0], 20.0, 25.0, 16, 360.0),
            (2, [120.0, 60.0, 40.0], unit([1.0, 0.0, 0.02]), 50.0, 60.0, 12, 90.0)):
        points = cylinder_points(rng, centre, axis, diameter, length, count, arc, 0.002)
        c, a, dia, residuals = fit_cylinder(points, centre, axis, diameter)
        a = oriented(a, axis)
        lines.append(f"Cylinder {number} {count} {c[0]:.6f} {c[1]:.6f} {c[2]:.6f} "
                     f"{a[0]:.9f} {a[1]:.9f} {a[2]:.9f} {dia:.6f} {rms(residuals):.6f}")
        lines += [text(p) for p in points]
    return lines


def make_cone(rng):
    lines = header(
        "Cone",
        ["Example validation file: a 90 degree countersink and a steep 7:24 taper.",
         "Cone record: number, point count, X Y Z of the axis point nearest the",
         "centroid of the points, I J K of the unit axis towards the wider end,",
         "apex angle (included, degrees), diameter at that point, RMS residual."] + COMMON)
    taper = math.degrees(2 * math.atan(7 / 48))
    for number, centre, axis, angle, diameter, length, count in (
            (1, [25.0, 25.0, -3.0], [0.0, 0.0, 1.0], 90.0, 12.0, 4.0, 12),
            (2, [0.0, 150.0, 80.0], unit([0.0, -0.01, -1.0]), taper, 44.45, 50.0, 20)):
        points = cone_points(rng, centre, axis, angle, diameter, length, count, 0.002)
        c, a, apex, dia, residuals = fit_cone(points, centre, axis, angle, diameter)
        lines.append(f"Cone {number} {count} {c[0]:.6f} {c[1]:.6f} {c[2]:.6f} "
                     f"{a[0]:.9f} {a[1]:.9f} {a[2]:.9f} {apex:.6f} {dia:.6f} "
                     f"{rms(residuals):.6f}")
        lines += [text(p) for p in points]
    return lines


def make_torus(rng):
    lines = header(
        "Torus",
        ["Example validation file: a toroidal fillet probed all round and a",
         "bearing race probed on a band of 60 degrees. Torus record: number,",
         "point count, X Y Z of the centre, I J K of the unit axis, major",
         "diameter (through the centres of the tube), minor diameter (of the",
         "tube), RMS residual."] + COMMON)
    for number, centre, axis, major, minor, count, band in (
            (1, [60.0, -20.0, 10.0], [0.0, 0.0, 1.0], 60.0, 16.0, 24, 300.0),
            (2, [-40.0, 0.0, 100.0], unit([0.01, 1.0, 0.0]), 52.0, 8.0, 18, 60.0)):
        points = torus_points(rng, centre, axis, major, minor, count, band, 0.002)
        c, a, big, small, residuals = fit_torus(points, centre, axis, major, minor)
        a = oriented(a, axis)
        lines.append(f"Torus {number} {count} {c[0]:.6f} {c[1]:.6f} {c[2]:.6f} "
                     f"{a[0]:.9f} {a[1]:.9f} {a[2]:.9f} {big:.6f} {small:.6f} "
                     f"{rms(residuals):.6f}")
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
    for kind in ("cylinder", "cone"):
        folder = os.path.join(directory, kind)
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".ds"):
                continue
            data = read_numbers(os.path.join(folder, name))
            count = int(data[0])
            points = [data[1 + 3 * i:4 + 3 * i] for i in range(count)]
            expected = read_numbers(os.path.join(folder, name[:-3] + ".fit"))
            # Started off the reference (the axis moved and tilted, the size
            # changed): the fit has to walk back to the minimum.
            u, v = perpendiculars(unit(expected[3:6]))
            start = add(expected[0:3], scale(u, 0.05))
            axis = unit(add(expected[3:6], scale(v, 0.01)))
            if kind == "cylinder":
                c, a, dia, _ = fit_cylinder(points, start, axis, expected[6] * 1.01)
                size_deviation = abs(dia - expected[6])
            else:
                h = math.radians(expected[7]) / 2
                c, a, apex, dia, _ = fit_cone(points, start, axis, expected[7],
                                              2 * expected[6] / math.cos(h) * 1.01)
                # The orthogonal distance from the reference point to the cone.
                along = dot(sub(expected[0:3], c), a)
                distance = (dia / 2 + along * math.tan(math.radians(apex) / 2)) * math.cos(
                    math.radians(apex) / 2)
                size_deviation = max(abs(apex - expected[7]), abs(distance - expected[6]))
            off_axis = norm(cross(sub(expected[0:3], c), a))
            tilt = norm(cross(a, unit(expected[3:6])))
            deviation = max(off_axis, tilt, size_deviation)
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
                       ("sphere", make_sphere), ("cylinder", make_cylinder), ("cone", make_cone),
                       ("torus", make_torus)):
        write(os.path.join(here, name + ".dat"), make(rng))


if __name__ == "__main__":
    main()
