#include "reports/report_pdf.h"

#include "files/save_whole_file.h"
#include "reports/deviation_chart.h"
#include "reports/report_body.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextObjectInterface>

namespace {

// At the screen's 96 pixels to the inch, pixel sizes in the style sheet and
// the images' sizes mean on paper what they mean on screen.
constexpr int RESOLUTION = 96;
constexpr double MARGIN_MM = 15;
constexpr double FOOTER = 28;
// The chart is cut into pieces that each fit on a page, since one object
// of the text cannot go on over a page break.
constexpr std::size_t CHART_ROWS_PER_PIECE = 50;

constexpr int CHART_OBJECT = QTextFormat::UserObject + 1;
constexpr int CHART_PIECE = QTextFormat::UserProperty + 1;

// Draws the pieces of the chart where the text has room for them, straight
// onto the page: vector graphics and text, sharp at any zoom.
class TChartObject : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit TChartObject(const std::vector<TChartPicture> &pieces) : pieces(pieces) {}

    QSizeF intrinsicSize(QTextDocument *, int, const QTextFormat &format) override
    {
        const TChartPicture *piece = Piece(format);
        return piece ? QSizeF(piece->width, piece->height) : QSizeF();
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                    const QTextFormat &format) override
    {
        // A piece's block can begin on the page before the piece: it is
        // drawn on its own page alone.
        if (painter->hasClipping() && !painter->clipBoundingRect().intersects(rect))
            return;
        if (const TChartPicture *piece = Piece(format)) {
            painter->save();
            painter->translate(rect.topLeft());
            Chart_Paint(painter, *piece);
            painter->restore();
        }
    }

private:
    const TChartPicture *Piece(const QTextFormat &format) const
    {
        const int index = format.intProperty(CHART_PIECE);
        return index >= 0 && static_cast<std::size_t>(index) < pieces.size() ? &pieces[index]
                                                                             : nullptr;
    }

    const std::vector<TChartPicture> &pieces;
};

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
h1 { font-size: 17pt; margin-top: 0; margin-bottom: 10px; }
h2 { font-size: 12pt; margin-top: 16px; margin-bottom: 5px; }
p { margin-top: 3px; margin-bottom: 3px; }
table { border-collapse: collapse; }
table.facts th { font-weight: normal; color: #555555; text-align: left; padding: 1px 14px 1px 0; }
table.facts td { padding: 1px 0; }
.hash { font-family: "DejaVu Sans Mono"; font-size: 7.5pt; color: #444444; }
.v { font-weight: bold; font-size: 7.5pt; }
table.summary th { font-weight: normal; text-align: left; padding: 1px 12px 1px 0; }
table.summary td { text-align: left; padding: 1px 12px 1px 0; }
p.overall { font-size: 11pt; font-weight: bold; margin-top: 6px; }
table.feature { margin-bottom: 5px; font-size: 8pt; }
tr.head th { background-color: #eeeeee; font-weight: normal; color: #555555; text-align: right;
  padding: 1px 4px; font-size: 7.5pt; }
tr.head th.name { text-align: left; color: #1a1a1a; font-size: 8pt; }
.label { font-weight: bold; }
.type { color: #555555; }
table.feature td { padding: 0 4px; }
td.n { text-align: right; }
td.note { color: #555555; font-style: italic; }
.part { color: #555555; font-size: 7pt; }
p.legend { color: #444444; font-size: 8pt; }
)";

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
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(MARGIN_MM, MARGIN_MM, MARGIN_MM, MARGIN_MM),
                                         QPageLayout::Millimeter));
        writer.setTitle(Report_Title());
        writer.setCreator(QStringLiteral("Tessaline ") + report.version);
        const QRectF page = writer.pageLayout().paintRectPixels(RESOLUTION);
        const QSizeF body(page.width(), page.height() - FOOTER);

        QTextDocument document;
        document.documentLayout()->setPaintDevice(&writer);
        document.setUseDesignMetrics(true);
        document.setDocumentMargin(0);
        QFont font(QString::fromLatin1(CHART_FONT_FAMILY));
        font.setPointSizeF(9);
        document.setDefaultFont(font);
        document.setDefaultStyleSheet(QLatin1String(DOCUMENT_STYLE) + Verdict_Styles());

        // The chart comes last, after everything that Report_Body holds.
        document.setHtml(Report_Body(report, QString()));
        const std::vector<TChartRow> rows = Chart_Rows(report);
        std::vector<TChartPicture> pieces;
        std::size_t first = 0;
        do {
            pieces.push_back(Chart_Picture(rows, first, CHART_ROWS_PER_PIECE, body.width()));
            first += CHART_ROWS_PER_PIECE;
        } while (first < rows.size());
        TChartObject chart(pieces);
        document.documentLayout()->registerHandler(CHART_OBJECT, &chart);
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        const QTextBlock legend = cursor.block();
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            QTextBlockFormat block;
            block.setTopMargin(6);
            cursor.insertBlock(block, QTextCharFormat());
            QTextCharFormat piece;
            piece.setObjectType(CHART_OBJECT);
            piece.setProperty(CHART_PIECE, static_cast<int>(i));
            cursor.insertText(QString(QChar::ObjectReplacementCharacter), piece);
        }
        document.setPageSize(body);
        // The chart's heading and legend go with it onto its first page.
        const QTextBlock heading = legend.previous();
        const auto page_of = [&](const QTextBlock &block) {
            // Where its first line is: a line that does not fit on a page
            // moves to the next one, its block stays where it began.
            double top = document.documentLayout()->blockBoundingRect(block).top();
            if (block.layout() && block.layout()->lineCount() > 0)
                top += block.layout()->lineAt(0).y();
            return static_cast<int>(top / body.height());
        };
        if (heading.isValid() && page_of(heading) != page_of(legend.next())) {
            QTextCursor at_heading(heading);
            QTextBlockFormat format = heading.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            at_heading.setBlockFormat(format);
            // The layout asked for above would otherwise stay where it
            // stopped, short of the pieces after the change.
            document.markContentsDirty(0, document.characterCount());
        }

        QPainter painter;
        if (!painter.begin(&writer)) {
            *reason = QStringLiteral("the PDF could not be drawn");
            return false;
        }
        QFont footer_font = font;
        footer_font.setPointSizeF(7.5);
        const int pages = document.pageCount();
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                writer.newPage();
            painter.save();
            painter.translate(0, -i * body.height());
            document.drawContents(&painter, QRectF(QPointF(0, i * body.height()), body));
            painter.restore();

            const QRectF footer(0, body.height() + 10, body.width(), FOOTER - 10);
            painter.setFont(footer_font);
            painter.setPen(QColor(0x55, 0x55, 0x55));
            painter.drawText(footer, Qt::AlignLeft | Qt::AlignTop, Report_Title());
            painter.drawText(footer, Qt::AlignRight | Qt::AlignTop,
                             QStringLiteral("page %1 of %2").arg(i + 1).arg(pages));
        }
        painter.end();
    }
    buffer.close();
    return Save_Whole_File(path, bytes, reason);
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

#include "report_pdf.moc"
