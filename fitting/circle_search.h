#pragma once

#include <Eigen/Core>

#include <string>
#include <vector>

// The searches for a circle's centre in the frame of its plane. Each returns
// the centre its contacts fix exactly, after a search of every centre that
// could do better has closed; failure says why not.
struct TCircleSolution
{
    std::string failure;
    Eigen::Vector2d centre = Eigen::Vector2d::Zero();
    std::vector<int> outer;
    std::vector<int> inner;
    int cells = 0; // of the search
};

// The centre's nearest and farthest points and their distances.
struct TCircleSpan
{
    double nearest = 0;
    double farthest = 0;
    int near_point = -1;
    int far_point = -1;
};

// Over all points, or over the listed ones for the farthest.
TCircleSpan Circle_Span(const std::vector<Eigen::Vector2d> &points, const Eigen::Vector2d &centre,
                        const std::vector<int> *far_candidates = nullptr);

// The centre of the algebraic least-squares circle, a start for the
// searches; the points must lie about their centroid, to keep it well
// scaled. Zero when the points give none.
Eigen::Vector2d Algebraic_Centre(const std::vector<Eigen::Vector2d> &points);

// The circle through three points; false when they are collinear.
bool Circumcentre(const Eigen::Vector2d &a, const Eigen::Vector2d &b, const Eigen::Vector2d &c,
                  Eigen::Vector2d *centre);

// Whether the triangle a, b, c holds p, up to tolerance.
bool Triangle_Holds(const Eigen::Vector2d &a, const Eigen::Vector2d &b, const Eigen::Vector2d &c,
                    const Eigen::Vector2d &p, double tolerance);

// The smallest circle holding every point (Welzl's incremental algorithm,
// with a fixed shuffle of the hull's vertices): outer contacts only.
TCircleSolution Enclosing_Circle(const std::vector<Eigen::Vector2d> &points,
                                 const std::vector<int> &hull, double tolerance);

// The narrowest annulus holding every point: a branch and bound over the
// centre, then the four alternating contacts that fix it.
TCircleSolution Narrowest_Annulus(const std::vector<Eigen::Vector2d> &points,
                                  const std::vector<int> &hull, double tolerance);

// The largest circle holding no point with its centre inside the hull: a
// branch and bound over the centre, then the three contacts round it.
TCircleSolution Largest_Empty_Circle(const std::vector<Eigen::Vector2d> &points,
                                     const std::vector<int> &hull, double tolerance);
