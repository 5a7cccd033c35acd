#!/usr/bin/env python3
"""Writes the minimax example files plane-minimum-zone.dat and
circle-maximum-inscribed.dat, and proves their references by brute force.

Both are built so that the answer is known exactly: the contact points lie
on the zone's boundaries (or on the inscribed circle) in an optimal
configuration, every other point strictly inside the zone (outside the
circle). The check enumerates every candidate the criterion allows on the
written points (every plane pair through 3+1 and 2+2 points; every circle
through 3 points whose centre lies inside the hull and that holds no point)
and confirms the stated reference is the best of them, exactly in rational
arithmetic.

    python3 make_minimax_examples.py           # write both files here
    python3 make_minimax_examples.py --check   # only check the files here

Pure Python 3, no third-party modules.
"""

import itertools
import os
import sys
from fractions import Fraction as Q

HERE = os.path.dirname(os.path.abspath(__file__))

# A plate 120 mm by 80 mm at z = 15, flat to 3 um: three points high around
# one low one, the rest of a 5 x 4 grid strictly between.
PLANE_Z = Q(15)
PLANE_F = Q(3, 1000)


def plane_points():
    points = []
    heights = [0.3, -0.2, 0.25, -0.35, 0.1, 0.4, -0.1, 0.05, -0.3, 0.2, 0.35, -0.25, 0.15, -0.4,
               0.0, 0.3, -0.15, 0.2, -0.05]
    grid = [(x, y) for y in (10, 30, 50, 70) for x in (10, 35, 60, 85, 110)]
    high = {(10, 10), (110, 10), (60, 70)}
    low = (60, 30)
    k = 0
    for x, y in grid:
        if (x, y) in high:
            z = PLANE_Z + PLANE_F / 2
        elif (x, y) == low:
            z = PLANE_Z - PLANE_F / 2
        else:
            z = PLANE_Z + PLANE_F * Q(heights[k]).limit_denominator(100)
            k += 1
        points.append((Q(x), Q(y), z))
    return points


# A bore of 50 mm about (200, 120, -30) in the plane z = -30: three points
# on the inscribed circle (their triangle holds the centre), the others
# farther out, the farthest 20 um.
CIRCLE_CENTRE = (Q(200), Q(120), Q(-30))
CIRCLE_POINTS_2D = [(25, 0), (-15, 20), (-15, -20), (0, Q("25.012")), (Q("-25.02"), 0),
                    (Q("17.68"), Q("17.69")), (Q("17.68"), Q("-17.69")), (Q("-7"), Q("-24.01")),
                    (Q("7"), Q("24.004"))]


def circle_points():
    cx, cy, cz = CIRCLE_CENTRE
    return [(cx + Q(x), cy + Q(y), cz) for x, y in CIRCLE_POINTS_2D]


def text(value):
    return "%.6f" % float(value)


def write(path, lines):
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def plane_file(points):
    n = len(points)
    cx = sum(p[0] for p in points) / n
    cy = sum(p[1] for p in points) / n
    lines = [
        "# Example minimax validation file: a plate's flatness by the minimum zone.",
        "# Plane record: number, point count, X Y Z of a point of the middle plane of",
        "# the narrowest zone holding every point (nearest the points' centroid),",
        "# I J K of its unit normal, F: the zone's width (the flatness).",
        "# Three points touch the upper boundary around one on the lower; the others",
        "# lie strictly inside. Written by make_minimax_examples.py.",
        "Minimax_Validation:Version=1:Type=Plane:Criterion=MinimumZone",
        "Plane 1 %d %s %s %s 0.000000000 0.000000000 1.000000000 %s"
        % (n, text(cx), text(cy), text(PLANE_Z), text(PLANE_F)),
    ]
    lines += ["%s %s %s" % tuple(text(c) for c in p) for p in points]
    return lines


def circle_file(points):
    cx, cy, cz = CIRCLE_CENTRE
    distances_squared = [(p[0] - cx) ** 2 + (p[1] - cy) ** 2 for p in points]
    inner = Q(25)
    outer = max(distances_squared)
    # The range of the distances: the farthest point lies on an exact
    # decimal radius, checked below.
    outer_radius = Q("25.02")
    assert outer_radius**2 == outer
    lines = [
        "# Example minimax validation file: a bore's largest inscribed circle.",
        "# Circle record: number, point count, X Y Z of the centre, I J K of the",
        "# axis (the normal of the circle's plane), D: the inscribed diameter,",
        "# F: the range of the points' distances from the centre.",
        "# Three points touch the circle round its centre; the others lie outside.",
        "# Written by make_minimax_examples.py.",
        "Minimax_Validation:Version=1:Type=Circle:Criterion=MaximumInscribed",
        "Circle 1 %d %s %s %s 0.000000000 0.000000000 1.000000000 %s %s"
        % (len(points), text(cx), text(cy), text(cz), text(2 * inner),
           text(outer_radius - inner)),
    ]
    lines += ["%s %s %s" % tuple(text(c) for c in p) for p in points]
    return lines


def check_plane(points):
    """Every zone whose boundaries pass through 3+1 or 2+2 of the points, and
    that holds them all: the narrowest has the stated width and normal."""
    best = None
    for a, b, c in itertools.combinations(points, 3):
        u = [b[i] - a[i] for i in range(3)]
        v = [c[i] - a[i] for i in range(3)]
        n = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
        if n == (0, 0, 0):
            continue
        heights = [sum(n[i] * p[i] for i in range(3)) for p in points]
        width_squared = (max(heights) - min(heights)) ** 2 / sum(x * x for x in n)
        if best is None or width_squared < best[0]:
            best = (width_squared, n)
    for (a, b), (c, d) in itertools.combinations(itertools.combinations(points, 2), 2):
        u = [b[i] - a[i] for i in range(3)]
        v = [d[i] - c[i] for i in range(3)]
        n = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
        if n == (0, 0, 0):
            continue
        heights = [sum(n[i] * p[i] for i in range(3)) for p in points]
        width_squared = (max(heights) - min(heights)) ** 2 / sum(x * x for x in n)
        if width_squared < best[0]:
            best = (width_squared, n)
    assert best[0] == PLANE_F**2, "the stated zone is not the narrowest"
    assert best[1][0] == 0 and best[1][1] == 0, "the narrowest zone is tilted"
    heights = sorted(p[2] for p in points)
    assert heights[0] == PLANE_Z - PLANE_F / 2 and heights[-1] == PLANE_Z + PLANE_F / 2


def inside_hull(point, hull_points):
    """Whether a point lies inside the convex hull of points in the plane:
    inside some triangle of them."""
    for a, b, c in itertools.combinations(hull_points, 3):
        def side(p, q, r):
            return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])
        s = [side(a, b, point), side(b, c, point), side(c, a, point)]
        if all(x >= 0 for x in s) or all(x <= 0 for x in s):
            return True
    return False


def check_circle(points):
    """Every circle through 3 of the points, its centre inside their hull and
    none of them inside it: the largest is the stated one."""
    flat = [(p[0], p[1]) for p in points]
    best = None
    for a, b, c in itertools.combinations(flat, 3):
        d = 2 * (a[0] * (b[1] - c[1]) + b[0] * (c[1] - a[1]) + c[0] * (a[1] - b[1]))
        if d == 0:
            continue
        ux = ((a[0] ** 2 + a[1] ** 2) * (b[1] - c[1]) + (b[0] ** 2 + b[1] ** 2) * (c[1] - a[1]) +
              (c[0] ** 2 + c[1] ** 2) * (a[1] - b[1])) / d
        uy = ((a[0] ** 2 + a[1] ** 2) * (c[0] - b[0]) + (b[0] ** 2 + b[1] ** 2) * (a[0] - c[0]) +
              (c[0] ** 2 + c[1] ** 2) * (b[0] - a[0])) / d
        r2 = (a[0] - ux) ** 2 + (a[1] - uy) ** 2
        if any((p[0] - ux) ** 2 + (p[1] - uy) ** 2 < r2 for p in flat):
            continue
        if not inside_hull((ux, uy), flat):
            continue
        if best is None or r2 > best[0]:
            best = (r2, ux, uy)
    cx, cy, _ = CIRCLE_CENTRE
    assert best == (Q(625), cx, cy), "the stated circle is not the largest inscribed"
    near = sorted((p[0] - cx) ** 2 + (p[1] - cy) ** 2 for p in flat)
    # Apart from the three contacts, every point 5 % of F beyond the circle.
    assert near[2] == 625 and near[3] >= (25 + Q("0.02") * Q("0.05")) ** 2


def main():
    plane = plane_points()
    circle = circle_points()
    check_plane(plane)
    check_circle(circle)
    files = {"plane-minimum-zone.dat": plane_file(plane),
             "circle-maximum-inscribed.dat": circle_file(circle)}
    for name, lines in files.items():
        path = os.path.join(HERE, name)
        if "--check" in sys.argv:
            with open(path, encoding="ascii") as f:
                assert f.read() == "\n".join(lines) + "\n", name + " differs"
        else:
            write(path, lines)
    print("checked: both references are the optimum of their points")


if __name__ == "__main__":
    main()
