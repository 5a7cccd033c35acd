#pragma once

#include "grading/grade_report.h"
#include "grading/suite_report.h"

#include <QByteArray>
#include <QColor>
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <vector>

class QPainter;

// The chart of the grading report: each quantity's |d| / MPE as a bar, its
// e / MPE as a whisker around the bar's end, a line at the MPE. The page
// draws it as SVG, the PDF with QPainter, both from the one picture below,
// so that they show the same bars, scale and colours.

// Bars longer than twice the MPE are cut there, and marked.
constexpr double CHART_LIMIT = 2.0;

// "45.3 %", the way the tables and the chart write a share.
QString Share_Text(double share);

// The colour of each verdict, and a text colour that reads on it.
QColor Verdict_Colour(TVerdict verdict);
QColor Verdict_Text_Colour(TVerdict verdict);

// One row of the chart: a quantity, a feature without values, or the
// heading of a validation file's rows in a suite.
struct TChartRow
{
    QString label; // the feature's; a heading's, the file's name
    bool first;    // the first row of its feature
    int feature;   // the feature's place in the report, from 0
    bool has_bar;  // false for a missing, ambiguous or unfit feature
    TQuantity quantity;
    TVerdict verdict; // the quantity's, or the feature's without values
    double share;     // |d| / m
    double band;      // e / m
    bool heading = false;
    int file = -1; // in a suite, the file's place in it, from 0
    // A heading that repeats its file's name where the file's rows go on
    // over a page break.
    bool continued = false;
};

// A heading row that says file's rows go on: "plane.dat (continued)".
TChartRow Continued_Heading(const TChartRow &heading);

// The rows of all features, in the report's order.
std::vector<TChartRow> Chart_Rows(const TGradeReport &report);
// The rows of a suite: each file's under a heading with its name, so that a
// chart of a hundred features still tells where each comes from.
std::vector<TChartRow> Chart_Rows(const TSuiteReport &suite);

// What the chart is drawn of, in pixels from its top left corner.
struct TChartShape
{
    enum TKind
    {
        RECT,
        LINE,
        TEXT
    };
    enum TRole
    {
        STRIPE,  // background of every other feature
        HEADING, // background of a file's heading
        GRID,
        LIMIT, // the line at 100 %
        BAR,
        BAND, // the whisker of e / m
        CUT,  // the mark on a bar cut at CHART_LIMIT
        LABEL
    };
    TKind kind;
    TRole role;
    QRectF rect;             // RECT
    QLineF line;             // LINE
    QPointF at;              // TEXT: on its baseline, where align says
    Qt::Alignment align;     // TEXT: Qt::AlignLeft, AlignRight or AlignHCenter
    QString text;            // TEXT; for a BAR, what it stands for
    QColor colour;           // fill of RECT and TEXT, stroke of LINE
    double stroke_width = 1; // LINE
    bool bold = false;       // TEXT
};

struct TChartPicture
{
    double width = 0;
    double height = 0;
    std::vector<TChartShape> shapes;
};

// The font the picture is measured for; sizes in pixels.
constexpr const char *CHART_FONT_FAMILY = "DejaVu Sans";
constexpr int CHART_FONT_PIXELS = 12;

// The height of the picture of rows rows: the scale above and below and a
// fixed height per row.
double Chart_Height(std::size_t rows);
// The height of one row.
double Chart_Row_Height();

// The picture of rows [first, first + count), width pixels wide; its height
// grows with the rows.
TChartPicture Chart_Picture(const std::vector<TChartRow> &rows, std::size_t first,
                            std::size_t count, double width);

// An <svg> element to put inside an HTML page (so without a namespace
// declaration), UTF-8, every text escaped.
QByteArray Chart_Svg(const TChartPicture &picture);

// Paints the picture with its top left corner at the painter's origin, a
// pixel of it one unit of the painter: on an image or straight onto a PDF
// page, where it stays vector graphics and text. Needs a QGuiApplication,
// for the font.
void Chart_Paint(QPainter *painter, const TChartPicture &picture);
