#pragma once

#include <QByteArray>

// Small validation files the window tests open.

inline QByteArray Plane_File()
{
    return "Best_Fit_Validation:Version=1:Type=Plane\n"
           "# one plane through three points\n"
           "Plane 1 3 10.0 20.0 5.0 0.0 0.0 1.0 0.0001\n"
           "0.0 0.0 5.0\n"
           "100.0 0.0 5.0\n"
           "0.0 100.0 5.0\n";
}

inline QByteArray Circle_File()
{
    return "Best_Fit_Validation:Version=1:Type=Circle\r\n"
           "Circle 4 3 0 0 0 0 0 1 50.0 0.002\r\n"
           "25 0 0\r\n"
           "0 25 0\r\n"
           "-25 0 0\r\n";
}

// Readable, but its first line is no validation header.
inline QByteArray Not_A_Validation_File()
{
    return "Plane 1 3 10.0 20.0 5.0 0.0 0.0 1.0 0.0001\n"
           "0.0 0.0 5.0\n";
}
