#pragma once

#include "fitting/axis_frame.h"
#include "fitting/chebyshev_exchange.h"

#include <Eigen/Core>

#include <vector>

// The distances the minimax fits bound, with their gradients by a step: a
// point's from a sphere's centre, and from a cylinder's axis. The radii are
// the levels of the linear programs, not parameters of these models.

struct TSphereCentreModel
{
    using TState = Eigen::Vector3d;

    void Rows(const TState &centre, const std::vector<Eigen::Vector3d> &points,
              TChebyshevRows &rows) const
    {
        const Eigen::Index n = static_cast<Eigen::Index>(points.size());
        rows.distance.resize(n);
        rows.gradient.resize(n, 3);
        for (Eigen::Index i = 0; i < n; ++i) {
            const Eigen::Vector3d out = points[static_cast<std::size_t>(i)] - centre;
            const double distance = out.norm();
            rows.distance(i) = distance;
            if (distance > 0) {
                rows.gradient.row(i) = -out.transpose() / distance;
            } else {
                rows.gradient.row(i).setZero();
            }
        }
    }

    TState Moved(const TState &centre, const Eigen::VectorXd &step) const
    {
        return centre + step.head<3>();
    }
};

// An axis through anchor, the axis point nearest the origin (the points'
// centroid). A step moves it across itself (2) and turns it about the two
// directions across it through the anchor (2, as the distance a point at
// turn_length moves).
struct TAxisModel
{
    struct TState
    {
        Eigen::Vector3d anchor = Eigen::Vector3d::Zero();
        TAxisFrame frame;
    };

    double turn_length = 1;

    static TState Make(const Eigen::Vector3d &point, const Eigen::Vector3d &axis)
    {
        TState state;
        state.frame = Axis_Frame(axis);
        state.anchor = point - point.dot(state.frame.axis) * state.frame.axis;
        return state;
    }

    static double Distance(const TState &s, const Eigen::Vector3d &p)
    {
        const Eigen::Vector3d v = p - s.anchor;
        return (v - v.dot(s.frame.axis) * s.frame.axis).norm();
    }

    // Moving the axis by t moves a distance as moving the point by -t;
    // turning it by w about the anchor, as moving the point by
    // -w x (p - anchor). The distance's gradient by the point is the unit
    // vector out from the axis.
    void Rows(const TState &s, const std::vector<Eigen::Vector3d> &points,
              TChebyshevRows &rows) const
    {
        const Eigen::Index n = static_cast<Eigen::Index>(points.size());
        rows.distance.resize(n);
        rows.gradient.resize(n, 4);
        for (Eigen::Index i = 0; i < n; ++i) {
            const Eigen::Vector3d v = points[static_cast<std::size_t>(i)] - s.anchor;
            const Eigen::Vector3d out = v - v.dot(s.frame.axis) * s.frame.axis;
            const double distance = out.norm();
            const Eigen::Vector3d unit =
                distance > 0 ? Eigen::Vector3d(out / distance) : Eigen::Vector3d::Zero();
            const Eigen::Vector3d moment = v.cross(unit);
            rows.distance(i) = distance;
            rows.gradient(i, 0) = -unit.dot(s.frame.across_1);
            rows.gradient(i, 1) = -unit.dot(s.frame.across_2);
            rows.gradient(i, 2) = -moment.dot(s.frame.across_1) / turn_length;
            rows.gradient(i, 3) = -moment.dot(s.frame.across_2) / turn_length;
        }
    }

    TState Moved(const TState &s, const Eigen::VectorXd &step) const
    {
        const Eigen::Matrix3d turn =
            Turn((s.frame.across_1 * step(2) + s.frame.across_2 * step(3)) / turn_length);
        return Make(s.anchor + s.frame.across_1 * step(0) + s.frame.across_2 * step(1),
                    turn * s.frame.axis);
    }
};
