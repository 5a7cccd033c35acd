#pragma once

#include <Eigen/Householder>
#include <Eigen/QR>

// Triangular factor R of a tall matrix that is fed one row at a time, so that
// R^T R equals the matrix's A^T A without ever forming A^T A (which would
// square the condition number) and without holding the rows: each block of
// rows is reduced by Householder reflections together with the R so far.
template <int Columns> class TRowQR
{
public:
    using TRow = Eigen::Matrix<double, 1, Columns>;
    using TSquare = Eigen::Matrix<double, Columns, Columns>;

    TRowQR() : Stack(Columns + Block_Rows, Columns) { Stack.setZero(); }

    void Add(const TRow &row)
    {
        Stack.row(Columns + Filled) = row;
        if (++Filled == Block_Rows) {
            Reduce();
        }
    }

    // Upper triangular; the signs of its rows are those the reflections gave.
    TSquare R()
    {
        Reduce();
        return Stack.template topRows<Columns>();
    }

private:
    void Reduce()
    {
        if (Filled == 0) {
            return;
        }
        QR.compute(Stack.topRows(Columns + Filled));
        Stack.template topRows<Columns>() =
            QR.matrixQR().template topRows<Columns>().template triangularView<Eigen::Upper>();
        Filled = 0;
    }

    // Large enough that the reduction's overhead vanishes, small enough to stay in cache.
    static constexpr int Block_Rows = 256;

    Eigen::Matrix<double, Eigen::Dynamic, Columns> Stack;
    Eigen::HouseholderQR<Eigen::Matrix<double, Eigen::Dynamic, Columns>> QR;
    int Filled = 0;
};
