#pragma once

#include <Eigen/Core>
#include <Eigen/Geometry>

#include <cmath>
#include <vector>

// Two unit directions across an axis, a right-handed frame with it: the
// directions a step turns an axis towards and moves it along.
struct TAxisFrame
{
    Eigen::Vector3d axis;
    Eigen::Vector3d across_1;
    Eigen::Vector3d across_2;
};

inline TAxisFrame Axis_Frame(const Eigen::Vector3d &direction)
{
    TAxisFrame frame;
    frame.axis = direction.normalized();
    Eigen::Index smallest = 0;
    frame.axis.cwiseAbs().minCoeff(&smallest);
    frame.across_1 = frame.axis.cross(Eigen::Vector3d::Unit(smallest)).normalized();
    frame.across_2 = frame.axis.cross(frame.across_1);
    return frame;
}

// The turn by the vector turn (its length the angle, radians).
inline Eigen::Matrix3d Turn(const Eigen::Vector3d &turn)
{
    const double angle = turn.norm();
    return angle > 0 ? Eigen::AngleAxisd(angle, turn / angle).toRotationMatrix()
                     : Eigen::Matrix3d::Identity();
}

// Every stride-th point, so that starts and most iterations cost little on
// large sets; all points when there are no more than count.
std::vector<Eigen::Vector3d> Evenly_Spaced(const std::vector<Eigen::Vector3d> &points,
                                           std::size_t count);

// count directions spread evenly over a half sphere (a spiral of equal
// areas), each axis direction within about 2 / sqrt(count) radians of one
// of them up to sign: candidate axes where the points' own directions are
// none of the surface's.
std::vector<Eigen::Vector3d> Hemisphere_Directions(int count);
