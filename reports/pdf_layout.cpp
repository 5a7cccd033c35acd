#include "reports/pdf_layout.h"

#include <algorithm>

std::vector<TPdfBlock> Chart_Blocks(const std::vector<TChartRow> &rows)
{
    std::vector<TPdfBlock> blocks;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        // A file's heading is a block of its own row; a feature's rows start
        // with its first.
        if (blocks.empty() || rows[r].heading || rows[r].first) {
            TPdfBlock block;
            block.kind = TPdfBlock::CHART;
            block.heading = rows[r].heading;
            block.first_row = r;
            blocks.push_back(block);
        }
        ++blocks.back().row_count;
    }
    return blocks;
}

namespace {

class TPaginator
{
public:
    TPaginator(const std::vector<TPdfBlock> &blocks_, const std::vector<TChartRow> &rows_,
               double page_height_)
        : blocks(blocks_), rows(rows_), page_height(page_height_)
    {
        pages.emplace_back();
    }

    std::vector<TPdfPage> Run();

private:
    // The height block adds to the current page.
    double Added_Height(const TPdfBlock &block, bool chart_open, int last_file) const;
    // The height of blocks [first, last] placed one after the other now.
    double Group_Height(std::size_t first, std::size_t last) const;
    void Place(std::size_t index);
    void New_Page();
    bool Page_Empty() const { return pages.back().placements.empty(); }
    bool Chart_Open() const
    {
        return !Page_Empty() && pages.back().placements.back().kind == TPdfBlock::CHART;
    }

    const std::vector<TPdfBlock> &blocks;
    const std::vector<TChartRow> &rows;
    const double page_height;
    std::vector<TPdfPage> pages;
    double used = 0;
    int last_file = -1;               // the file of the last chart row placed
    std::size_t last_heading_row = 0; // that file's heading row
    bool have_heading = false;
};

double TPaginator::Added_Height(const TPdfBlock &block, bool chart_open, int file) const
{
    if (block.kind == TPdfBlock::TEXT)
        return block.height;
    const double rows_height = static_cast<double>(block.row_count) * Chart_Row_Height();
    if (chart_open)
        return rows_height;
    const bool continued =
        !block.heading && rows[block.first_row].file >= 0 && rows[block.first_row].file == file;
    return PDF_CHART_GAP + Chart_Height(block.row_count + (continued ? 1 : 0));
}

double TPaginator::Group_Height(std::size_t first, std::size_t last) const
{
    double height = 0;
    bool chart_open = Chart_Open();
    int file = last_file;
    for (std::size_t i = first; i <= last; ++i) {
        height += Added_Height(blocks[i], chart_open, file);
        chart_open = blocks[i].kind == TPdfBlock::CHART;
        if (chart_open)
            file = rows[blocks[i].first_row].file;
    }
    return height;
}

void TPaginator::New_Page()
{
    pages.emplace_back();
    used = 0;
}

void TPaginator::Place(std::size_t index)
{
    const TPdfBlock &block = blocks[index];
    TPdfPage *page = &pages.back();
    if (block.kind == TPdfBlock::TEXT) {
        // Taller than a page: on as many pages as it needs.
        double offset = 0;
        for (;;) {
            TPdfPlacement placement;
            placement.kind = TPdfBlock::TEXT;
            placement.blocks = {static_cast<int>(index)};
            placement.top = used;
            placement.offset = offset;
            placement.height = std::min(block.height - offset, page_height - used);
            page->placements.push_back(placement);
            used += placement.height;
            offset += placement.height;
            if (offset >= block.height)
                return;
            New_Page();
            page = &pages.back();
        }
    }
    const double height = Added_Height(block, Chart_Open(), last_file);
    if (!Chart_Open()) {
        TPdfPlacement placement;
        placement.kind = TPdfBlock::CHART;
        placement.top = used + PDF_CHART_GAP;
        placement.height = Chart_Height(0);
        const TChartRow &first = rows[block.first_row];
        if (!block.heading && first.file >= 0 && first.file == last_file && have_heading) {
            placement.rows.push_back(Continued_Heading(rows[last_heading_row]));
            placement.height += Chart_Row_Height();
        }
        page->placements.push_back(placement);
    }
    TPdfPlacement &chart = page->placements.back();
    chart.blocks.push_back(static_cast<int>(index));
    for (std::size_t r = block.first_row; r < block.first_row + block.row_count; ++r)
        chart.rows.push_back(rows[r]);
    chart.height += static_cast<double>(block.row_count) * Chart_Row_Height();
    used += height;
    last_file = rows[block.first_row].file;
    if (block.heading) {
        last_heading_row = block.first_row;
        have_heading = true;
    }
}

std::vector<TPdfPage> TPaginator::Run()
{
    std::size_t i = 0;
    while (i < blocks.size()) {
        // A heading goes with what follows it, and that with what follows
        // it when it is a heading too.
        std::size_t last = i;
        while (blocks[last].heading && last + 1 < blocks.size())
            ++last;
        if (!Page_Empty() && used + Group_Height(i, last) > page_height)
            New_Page();
        if (used + Group_Height(i, last) <= page_height) {
            for (std::size_t b = i; b <= last; ++b)
                Place(b);
        } else {
            // Taller than a page even on a page of its own: block by block,
            // each on a new page when it does not fit.
            for (std::size_t b = i; b <= last; ++b) {
                if (!Page_Empty() && used + Group_Height(b, b) > page_height)
                    New_Page();
                Place(b);
            }
        }
        i = last + 1;
    }
    return pages;
}

} // namespace

std::vector<TPdfPage> Paginate(const std::vector<TPdfBlock> &blocks,
                               const std::vector<TChartRow> &rows, double page_height)
{
    return TPaginator(blocks, rows, page_height).Run();
}

void Number_Pages(std::vector<TPdfPage> &pages, const QString &title, const QString &report_id)
{
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i].footer_left = title + QStringLiteral(" \u00b7 Report ") + report_id;
        pages[i].footer_right = QStringLiteral("page %1 of %2").arg(i + 1).arg(pages.size());
    }
}
