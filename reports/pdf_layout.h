#pragma once

#include "reports/deviation_chart.h"

#include <QString>

#include <cstddef>
#include <vector>

// How the PDF report's content goes onto its pages, worked out before
// anything is drawn so that it can be checked without looking at pixels:
// - a heading (and a chart's caption) is never the last block of a page: it
//   goes onto the next page with what follows it;
// - a feature's table, and a feature's rows of the chart, are never split;
// - a validation file's heading row in a suite's chart goes with the file's
//   first feature, and a page on which a file's rows go on begins with a row
//   that repeats the file's name.

// A block of the content: one part of the report's text, or one feature's
// rows of the chart (or a file's heading row there).
struct TPdfBlock
{
    enum TKind
    {
        TEXT,
        CHART
    };
    TKind kind = TEXT;
    int part = -1;        // TEXT: its place in Report_Parts
    bool heading = false; // kept with the block after it
    double height = 0;    // TEXT: as laid out at the page's width, in pixels
    // CHART: rows [first_row, first_row + row_count) of the chart's rows.
    std::size_t first_row = 0;
    std::size_t row_count = 0;
};

// Where a block, or a run of chart blocks, goes on a page.
struct TPdfPlacement
{
    TPdfBlock::TKind kind = TPdfBlock::TEXT;
    std::vector<int> blocks; // TEXT: one; CHART: the chart blocks drawn as one picture
    double top = 0;          // from the top of the page's body
    double height = 0;
    // TEXT: the part of a block taller than a page that this page shows,
    // from its top; 0 otherwise.
    double offset = 0;
    // CHART: the rows drawn, a repeated file heading first where the
    // file's rows go on from the page before.
    std::vector<TChartRow> rows;
};

struct TPdfPage
{
    std::vector<TPdfPlacement> placements;
    QString footer_left;  // the title and the report's identifier
    QString footer_right; // "page N of M"
};

// The gap above a chart picture that starts on a page.
constexpr double PDF_CHART_GAP = 6;

// Lays the blocks out on pages of page_height pixels, in their order, by the
// rules above; rows are the chart's rows the chart blocks index. A group of
// blocks kept together that is taller than a page starts a page of its own
// and is broken where it must be; a text block taller than a page goes on
// over as many pages as it needs.
std::vector<TPdfPage> Paginate(const std::vector<TPdfBlock> &blocks,
                               const std::vector<TChartRow> &rows, double page_height);

// The chart's rows cut into blocks: one per feature, one per file heading
// (kept with the feature after it).
std::vector<TPdfBlock> Chart_Blocks(const std::vector<TChartRow> &rows);

// Fills each page's footer: left the title and "Report ID", right
// "page N of M".
void Number_Pages(std::vector<TPdfPage> &pages, const QString &title, const QString &report_id);
