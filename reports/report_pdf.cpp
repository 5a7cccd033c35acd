#include "reports/report_pdf.h"

#include "files/save_whole_file.h"
#include "reports/deviation_chart.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <memory>

namespace {

// At the screen's 96 pixels to the inch, pixel sizes in the style sheet and
// the images' sizes mean on paper what they mean on screen.
constexpr int RESOLUTION = 96;
constexpr double MARGIN_MM = 15;
constexpr double FOOTER = 28;

QString Verdict_Styles()
{
    QString styles;
    for (const TVerdict verdict : {TVerdict::PASS, TVerdict::FAIL, TVerdict::INCONCLUSIVE,
                                   TVerdict::MISSING, TVerdict::AMBIGUOUS, TVerdict::UNFIT}) {
        styles += QStringLiteral(".%1 { background-color: %2; color: %3; }\n")
                      .arg(QLatin1String(Verdict_Name(verdict)), Verdict_Colour(verdict).name(),
                           Verdict_Text_Colour(verdict).name());
    }
    return styles;
}

// What QTextDocument's subset of CSS can show of the page's look.
const char *const DOCUMENT_STYLE = R"(
h1 { font-size: 17pt; margin-top: 0; margin-bottom: 6px; }
h2 { font-size: 12pt; margin-top: 14px; margin-bottom: 4px; }
p { margin-top: 3px; margin-bottom: 3px; }
table { border-collapse: collapse; }
table.facts { margin-bottom: 6px; }
table.facts th { font-weight: normal; color: #555555; text-align: left; padding: 1px 14px 1px 0; }
table.facts td { padding: 1px 0; }
.hash { font-family: "DejaVu Sans Mono"; font-size: 7.5pt; color: #444444; }
.id { font-family: "DejaVu Sans Mono"; font-weight: bold; }
.v { font-weight: bold; font-size: 7.5pt; }
table.summary th { font-weight: normal; text-align: left; padding: 1px 12px 1px 0; }
table.summary td { text-align: left; padding: 1px 12px 1px 0; }
p.overall { font-size: 11pt; font-weight: bold; margin-top: 6px; }
table.feature { margin-top: 2px; margin-bottom: 3px; font-size: 8pt; }
tr.head th { background-color: #eeeeee; font-weight: normal; color: #555555; text-align: right;
  padding: 2px 4px; font-size: 7.5pt; }
tr.head th.name { text-align: left; color: #1a1a1a; font-size: 8pt; }
.label { font-weight: bold; }
.type { color: #555555; }
table.feature td { padding: 0 4px; }
td.n { text-align: right; }
td.note { color: #555555; font-style: italic; }
.part { color: #555555; font-size: 7pt; }
p.legend { color: #444444; font-size: 8pt; }
)";

QPageLayout Page_Layout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(MARGIN_MM, MARGIN_MM, MARGIN_MM, MARGIN_MM),
                       QPageLayout::Millimeter);
}

QFont Body_Font()
{
    QFont font(QString::fromLatin1(CHART_FONT_FAMILY));
    font.setPointSizeF(9);
    return font;
}

// The layout with the text documents it measured, which draw the text.
struct TLaidOut
{
    TPdfLayout layout;
    std::vector<std::unique_ptr<QTextDocument>> documents; // by part; none for the chart's
};

template <typename TReport> TLaidOut Lay_Out(const TReport &report, QPdfWriter &writer)
{
    TLaidOut laid_out;
    TPdfLayout &layout = laid_out.layout;
    const QRectF page = writer.pageLayout().paintRectPixels(RESOLUTION);
    layout.width = page.width();
    layout.body_height = page.height() - FOOTER;
    TReportStyle style;
    style.padded_badges = true;
    layout.parts = Report_Parts(report, style);
    layout.rows = Chart_Rows(report);

    const QString style_sheet = QLatin1String(DOCUMENT_STYLE) + Verdict_Styles();
    for (std::size_t p = 0; p < layout.parts.size(); ++p) {
        const TReportPart &part = layout.parts[p];
        if (part.kind == TReportPart::CHART) {
            laid_out.documents.emplace_back();
            for (const TPdfBlock &block : Chart_Blocks(layout.rows))
                layout.blocks.push_back(block);
            continue;
        }
        auto document = std::make_unique<QTextDocument>();
        document->documentLayout()->setPaintDevice(&writer);
        document->setUseDesignMetrics(true);
        document->setDocumentMargin(0);
        document->setDefaultFont(Body_Font());
        document->setDefaultStyleSheet(style_sheet);
        document->setHtml(part.html);
        document->setTextWidth(layout.width);
        TPdfBlock block;
        block.kind = TPdfBlock::TEXT;
        block.part = static_cast<int>(p);
        block.heading = part.kind == TReportPart::HEADING;
        block.height = document->size().height();
        layout.blocks.push_back(block);
        laid_out.documents.push_back(std::move(document));
    }
    layout.pages = Paginate(layout.blocks, layout.rows, layout.body_height);
    Number_Pages(layout.pages, Report_Title(), report.report_id);
    return laid_out;
}

void Draw_Page(QPainter &painter, const TLaidOut &laid_out, const TPdfPage &page)
{
    const TPdfLayout &layout = laid_out.layout;
    for (const TPdfPlacement &placement : page.placements) {
        painter.save();
        if (placement.kind == TPdfBlock::TEXT) {
            const int part = layout.blocks[static_cast<std::size_t>(placement.blocks.front())].part;
            QTextDocument &document = *laid_out.documents[static_cast<std::size_t>(part)];
            painter.translate(0, placement.top - placement.offset);
            document.drawContents(&painter,
                                  QRectF(0, placement.offset, layout.width, placement.height));
        } else {
            painter.translate(0, placement.top);
            Chart_Paint(&painter,
                        Chart_Picture(placement.rows, 0, placement.rows.size(), layout.width));
        }
        painter.restore();
    }
}

template <typename TReport>
bool Write_Pdf(const QString &path, const TReport &report, QString *reason)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        *reason = QStringLiteral("writing a PDF report needs a QGuiApplication");
        return false;
    }

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(RESOLUTION);
        writer.setPageLayout(Page_Layout());
        writer.setTitle(Report_Title() + QStringLiteral(" ") + report.report_id);
        writer.setCreator(QStringLiteral("Tessaline ") + report.version);
        const TLaidOut laid_out = Lay_Out(report, writer);
        const TPdfLayout &layout = laid_out.layout;

        QPainter painter;
        if (!painter.begin(&writer)) {
            *reason = QStringLiteral("the PDF could not be drawn");
            return false;
        }
        QFont footer_font = Body_Font();
        footer_font.setPointSizeF(7.5);
        for (std::size_t i = 0; i < layout.pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            const TPdfPage &page = layout.pages[i];
            Draw_Page(painter, laid_out, page);
            const QRectF footer(0, layout.body_height + 10, layout.width, FOOTER - 10);
            painter.setFont(footer_font);
            painter.setPen(QColor(0x55, 0x55, 0x55));
            painter.drawText(footer, Qt::AlignLeft | Qt::AlignTop, page.footer_left);
            painter.drawText(footer, Qt::AlignRight | Qt::AlignTop, page.footer_right);
        }
        painter.end();
    }
    buffer.close();
    return Save_Whole_File(path, bytes, reason);
}

template <typename TReport> TPdfLayout Layout_Of(const TReport &report)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(RESOLUTION);
    writer.setPageLayout(Page_Layout());
    return Lay_Out(report, writer).layout;
}

} // namespace

bool Write_Pdf_Report(const QString &path, const TGradeReport &report, QString *reason)
{
    return Write_Pdf(path, report, reason);
}

bool Write_Pdf_Report(const QString &path, const TSuiteReport &suite, QString *reason)
{
    return Write_Pdf(path, suite, reason);
}

TPdfLayout Pdf_Layout(const TGradeReport &report)
{
    return Layout_Of(report);
}

TPdfLayout Pdf_Layout(const TSuiteReport &suite)
{
    return Layout_Of(suite);
}
