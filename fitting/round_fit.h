#pragma once

#include <Eigen/Core>

#include <string>
#include <vector>

// Circle (two dimensions) or sphere (three) through points that are already
// centred at their centroid, which keeps the sums well conditioned.
template <int Dimension> struct TRoundFit
{
    using TPoint = Eigen::Matrix<double, Dimension, 1>;

    bool fitted = false;
    std::string failure;
    TPoint centre = TPoint::Zero();
    double radius = 0;
    int iterations = 0;
};

// Algebraic start (Taubin's fit), then Levenberg-Marquardt on the orthogonal
// distances |p - c| - r. The points are not degenerate: the caller checked
// them; "degenerate" is the failure reported if the start finds them so all
// the same.
template <int Dimension>
TRoundFit<Dimension> Fit_Round(const std::vector<Eigen::Matrix<double, Dimension, 1>> &points,
                               const std::string &degenerate);

extern template TRoundFit<2> Fit_Round<2>(const std::vector<Eigen::Vector2d> &,
                                          const std::string &);
extern template TRoundFit<3> Fit_Round<3>(const std::vector<Eigen::Vector3d> &,
                                          const std::string &);
