#include "reports/deviation_chart.h"

#include "reports/html_escape.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

// Rows stay compact so that hundreds of features still make a chart one
// can scroll through.
constexpr double ROW_HEIGHT = 17;
constexpr double BAR_HEIGHT = 10;
constexpr double TOP = 28;
constexpr double BOTTOM = 24;
constexpr double LABEL_X = 6;
constexpr double QUANTITY_X = 150;
constexpr double PLOT_LEFT = 220;
constexpr double VERDICT_AREA = 170;

const QColor INK(0x22, 0x22, 0x22);
const QColor FAINT_INK(0x66, 0x66, 0x66);
const QColor GRID_COLOUR(0xd0, 0xd0, 0xd0);
const QColor STRIPE_COLOUR(0xf2, 0xf2, 0xf2);
const QColor HEADING_COLOUR(0xdd, 0xe4, 0xee);

// The label cut to fit its column. The SVG cannot measure its text, so the
// width is guessed on the safe side from DejaVu Sans Bold's advances.
QString Shortened(const QString &label)
{
    const auto advance = [](QChar c) {
        if (c.unicode() > 0x7f)
            return 1.0;
        if (c.isLower() || c.isDigit() || c == QLatin1Char('_') || c == QLatin1Char('.'))
            return 0.66;
        if (c.isSpace())
            return 0.4;
        return 0.86;
    };
    const double room = (QUANTITY_X - LABEL_X - 8) / CHART_FONT_PIXELS;
    double total = 0;
    for (const QChar c : label)
        total += advance(c);
    if (total <= room)
        return label;
    double width = 1; // the ellipsis
    int keep = 0;
    while (keep < label.size() && width + advance(label[keep]) <= room)
        width += advance(label[keep++]);
    if (keep > 0 && label[keep - 1].isHighSurrogate())
        --keep;
    return label.left(keep) + QChar(0x2026);
}

QString Upper(TVerdict verdict)
{
    return QString::fromLatin1(Verdict_Name(verdict)).toUpper();
}

TChartShape Rect(TChartShape::TRole role, const QRectF &rect, const QColor &colour)
{
    TChartShape shape{TChartShape::RECT, role, rect, {}, {}, Qt::AlignLeft, {}, colour};
    return shape;
}

TChartShape Line(TChartShape::TRole role, const QLineF &line, const QColor &colour, double width)
{
    TChartShape shape{TChartShape::LINE, role, {}, line, {}, Qt::AlignLeft, {}, colour};
    shape.stroke_width = width;
    return shape;
}

TChartShape Text(const QPointF &at, Qt::Alignment align, const QString &text, const QColor &colour,
                 bool bold = false)
{
    TChartShape shape{TChartShape::TEXT, TChartShape::LABEL, {}, {}, at, align, text, colour};
    shape.bold = bold;
    return shape;
}

QByteArray Number(double value)
{
    QByteArray text = QByteArray::number(value, 'f', 2);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text == "-0" ? QByteArray("0") : text;
}

QByteArray Colour(const QColor &colour)
{
    return colour.name().toLatin1();
}

const char *Role_Class(TChartShape::TRole role)
{
    switch (role) {
    case TChartShape::STRIPE:
        return "stripe";
    case TChartShape::HEADING:
        return "heading";
    case TChartShape::GRID:
        return "grid";
    case TChartShape::LIMIT:
        return "limit";
    case TChartShape::BAR:
        return "bar";
    case TChartShape::BAND:
        return "band";
    case TChartShape::CUT:
        return "cut";
    case TChartShape::LABEL:
        return "label";
    }
    return "";
}

} // namespace

QString Share_Text(double share)
{
    if (std::isnan(share))
        return QStringLiteral("n/a");
    if (std::isinf(share))
        return QStringLiteral("\u221e %");
    return QString::number(share * 100, 'f', 1) + QStringLiteral(" %");
}

QColor Verdict_Colour(TVerdict verdict)
{
    switch (verdict) {
    case TVerdict::PASS:
        return QColor(0x2e, 0x7d, 0x32);
    case TVerdict::FAIL:
        return QColor(0xc6, 0x28, 0x28);
    case TVerdict::INCONCLUSIVE:
        return QColor(0xf2, 0xa9, 0x00);
    case TVerdict::MISSING:
    case TVerdict::AMBIGUOUS:
    case TVerdict::UNFIT:
        break;
    }
    return QColor(0x75, 0x75, 0x75);
}

QColor Verdict_Text_Colour(TVerdict verdict)
{
    return verdict == TVerdict::INCONCLUSIVE ? QColor(Qt::black) : QColor(Qt::white);
}

namespace {

// Numbers the features on from first, for the stripes.
void Add_Rows(const TGradeReport &report, int first, std::vector<TChartRow> &rows)
{
    for (std::size_t f = 0; f < report.features.size(); ++f) {
        const TFeatureGrade &feature = report.features[f];
        const int index = first + static_cast<int>(f);
        if (feature.quantities.empty()) {
            rows.push_back(
                {feature.label, true, index, false, TQuantity::POSITION, feature.verdict, 0, 0});
            continue;
        }
        bool first = true;
        for (const TQuantityGrade &quantity : feature.quantities) {
            rows.push_back({feature.label, first, index, true, quantity.quantity, quantity.verdict,
                            Mpe_Share(quantity.deviation, quantity.mpe),
                            Mpe_Share(quantity.Uncertainty(), quantity.mpe)});
            first = false;
        }
    }
}

} // namespace

std::vector<TChartRow> Chart_Rows(const TGradeReport &report)
{
    std::vector<TChartRow> rows;
    Add_Rows(report, 0, rows);
    return rows;
}

std::vector<TChartRow> Chart_Rows(const TSuiteReport &suite)
{
    std::vector<TChartRow> rows;
    int features = 0;
    for (std::size_t f = 0; f < suite.files.size(); ++f) {
        const TGradeReport &file = suite.files[f];
        const TOverall overall = Overall_Result(file.summary);
        TChartRow heading{File_Name(file),
                          true,
                          -1,
                          false,
                          TQuantity::POSITION,
                          overall == TOverall::PASS   ? TVerdict::PASS
                          : overall == TOverall::FAIL ? TVerdict::FAIL
                                                      : TVerdict::INCONCLUSIVE,
                          0,
                          0};
        heading.heading = true;
        rows.push_back(heading);
        const std::size_t first = rows.size();
        Add_Rows(file, features, rows);
        for (std::size_t r = first - 1; r < rows.size(); ++r)
            rows[r].file = static_cast<int>(f);
        features += static_cast<int>(file.features.size());
    }
    return rows;
}

TChartRow Continued_Heading(const TChartRow &heading)
{
    TChartRow row = heading;
    row.label += QStringLiteral(" (continued)");
    row.continued = true;
    return row;
}

double Chart_Height(std::size_t rows)
{
    return TOP + static_cast<double>(rows) * ROW_HEIGHT + BOTTOM;
}

double Chart_Row_Height()
{
    return ROW_HEIGHT;
}

TChartPicture Chart_Picture(const std::vector<TChartRow> &rows, std::size_t first,
                            std::size_t count, double width)
{
    first = std::min(first, rows.size());
    count = std::min(count, rows.size() - first);

    TChartPicture picture;
    picture.width = width;
    picture.height = Chart_Height(count);
    const double plot_right = width - VERDICT_AREA;
    const double plot_bottom = picture.height - BOTTOM;
    const auto x = [&](double share) {
        return PLOT_LEFT +
               std::clamp(share, 0.0, CHART_LIMIT) / CHART_LIMIT * (plot_right - PLOT_LEFT);
    };
    std::vector<TChartShape> &shapes = picture.shapes;

    for (std::size_t i = 0; i < count; ++i) {
        if (rows[first + i].heading)
            shapes.push_back(
                Rect(TChartShape::HEADING,
                     QRectF(0, TOP + static_cast<double>(i) * ROW_HEIGHT, width, ROW_HEIGHT),
                     HEADING_COLOUR));
        else if (rows[first + i].feature % 2 == 1)
            shapes.push_back(
                Rect(TChartShape::STRIPE,
                     QRectF(0, TOP + static_cast<double>(i) * ROW_HEIGHT, width, ROW_HEIGHT),
                     STRIPE_COLOUR));
    }

    // The scale, labelled above and below so that a tall chart reads at
    // either end.
    for (int tick = 0; tick <= 4; ++tick) {
        const double share = CHART_LIMIT * tick / 4;
        const double at = x(share);
        const bool limit = tick == 2;
        if (tick == 0)
            shapes.push_back(
                Line(TChartShape::GRID, QLineF(at, TOP - 4, at, plot_bottom + 4), FAINT_INK, 1));
        else if (!limit)
            shapes.push_back(
                Line(TChartShape::GRID, QLineF(at, TOP - 4, at, plot_bottom + 4), GRID_COLOUR, 1));
        const QString text = QString::number(qRound(share * 100)) + QStringLiteral(" %") +
                             (limit ? QStringLiteral(" = MPE") : QString());
        shapes.push_back(Text(QPointF(at, TOP - 9), Qt::AlignHCenter, text, INK, limit));
        shapes.push_back(Text(QPointF(at, picture.height - 8), Qt::AlignHCenter, text, INK, limit));
    }

    for (std::size_t i = 0; i < count; ++i) {
        const TChartRow &row = rows[first + i];
        const double top = TOP + static_cast<double>(i) * ROW_HEIGHT;
        const double middle = top + ROW_HEIGHT / 2;
        const double baseline = middle + 4;
        if (row.heading) {
            shapes.push_back(Text(QPointF(LABEL_X, baseline), Qt::AlignLeft, row.label, INK, true));
            continue;
        }
        if (row.first || i == 0)
            shapes.push_back(
                Text(QPointF(LABEL_X, baseline), Qt::AlignLeft, Shortened(row.label), INK, true));
        shapes.push_back(
            Text(QPointF(plot_right + 66, baseline), Qt::AlignLeft, Upper(row.verdict), INK, true));
        if (!row.has_bar) {
            shapes.push_back(Text(QPointF(PLOT_LEFT + 6, baseline), Qt::AlignLeft,
                                  QStringLiteral("no values"), FAINT_INK));
            continue;
        }
        shapes.push_back(Text(QPointF(QUANTITY_X, baseline), Qt::AlignLeft,
                              QString::fromLatin1(Quantity_Name(row.quantity)), INK));
        shapes.push_back(
            Text(QPointF(plot_right + 58, baseline), Qt::AlignRight, Share_Text(row.share), INK));

        const bool cut = !(row.share <= CHART_LIMIT);
        const double end = cut ? x(CHART_LIMIT) : x(row.share);
        TChartShape bar =
            Rect(TChartShape::BAR,
                 QRectF(PLOT_LEFT, middle - BAR_HEIGHT / 2, end - PLOT_LEFT, BAR_HEIGHT),
                 Verdict_Colour(row.verdict));
        bar.text = row.label + QLatin1Char(' ') + QLatin1String(Quantity_Name(row.quantity)) +
                   QStringLiteral(": |d| / MPE ") + Share_Text(row.share) +
                   QStringLiteral(", e / MPE ") +
                   (std::isnan(row.band) ? QStringLiteral("unknown") : Share_Text(row.band)) +
                   QStringLiteral(", ") + QLatin1String(Verdict_Name(row.verdict));
        shapes.push_back(bar);

        if (cut) {
            // A break across the bar's end: it goes on beyond the chart.
            for (const double offset : {14.0, 9.0})
                shapes.push_back(Line(TChartShape::CUT,
                                      QLineF(end - offset, middle + BAR_HEIGHT / 2 + 1,
                                             end - offset + 4, middle - BAR_HEIGHT / 2 - 1),
                                      Qt::white, 2));
        }
        if (row.band > 0 && std::isfinite(row.band) && std::isfinite(row.share)) {
            const double low = row.share - row.band;
            const double high = row.share + row.band;
            if (low < CHART_LIMIT) {
                shapes.push_back(
                    Line(TChartShape::BAND, QLineF(x(low), middle, x(high), middle), INK, 1.5));
                if (low >= 0)
                    shapes.push_back(Line(TChartShape::BAND,
                                          QLineF(x(low), middle - 4, x(low), middle + 4), INK,
                                          1.5));
                if (high <= CHART_LIMIT)
                    shapes.push_back(Line(TChartShape::BAND,
                                          QLineF(x(high), middle - 4, x(high), middle + 4), INK,
                                          1.5));
            }
        }
    }

    // The MPE over the bars, so that none hides it.
    const double limit = x(1.0);
    shapes.push_back(
        Line(TChartShape::LIMIT, QLineF(limit, TOP - 4, limit, plot_bottom + 4), Qt::black, 2));
    return picture;
}

QByteArray Chart_Svg(const TChartPicture &picture)
{
    const QByteArray width = Number(picture.width);
    const QByteArray height = Number(picture.height);
    QByteArray svg;
    svg += "<svg class=\"chart\" width=\"" + width + "\" height=\"" + height + "\" viewBox=\"0 0 " +
           width + ' ' + height +
           "\" font-family=\"DejaVu Sans, Verdana, sans-serif\" font-size=\"" +
           QByteArray::number(CHART_FONT_PIXELS) + "\" role=\"img\">\n";
    svg += "<title>Deviations as a share of the MPE</title>\n";
    for (const TChartShape &shape : picture.shapes) {
        const QByteArray role = Role_Class(shape.role);
        switch (shape.kind) {
        case TChartShape::RECT:
            svg += "<rect class=\"" + role + "\" x=\"" + Number(shape.rect.x()) + "\" y=\"" +
                   Number(shape.rect.y()) + "\" width=\"" + Number(shape.rect.width()) +
                   "\" height=\"" + Number(shape.rect.height()) + "\" fill=\"" +
                   Colour(shape.colour) + '"';
            if (shape.text.isEmpty())
                svg += "/>\n";
            else
                svg += "><title>" + Html_Escaped(shape.text).toUtf8() + "</title></rect>\n";
            break;
        case TChartShape::LINE:
            svg += "<line class=\"" + role + "\" x1=\"" + Number(shape.line.x1()) + "\" y1=\"" +
                   Number(shape.line.y1()) + "\" x2=\"" + Number(shape.line.x2()) + "\" y2=\"" +
                   Number(shape.line.y2()) + "\" stroke=\"" + Colour(shape.colour) +
                   "\" stroke-width=\"" + Number(shape.stroke_width) + '"' + "/>\n";
            break;
        case TChartShape::TEXT: {
            const char *anchor = shape.align & Qt::AlignRight     ? " text-anchor=\"end\""
                                 : shape.align & Qt::AlignHCenter ? " text-anchor=\"middle\""
                                                                  : "";
            svg += "<text x=\"" + Number(shape.at.x()) + "\" y=\"" + Number(shape.at.y()) + '"' +
                   anchor + (shape.bold ? " font-weight=\"bold\"" : "") + " fill=\"" +
                   Colour(shape.colour) + "\">" + Html_Escaped(shape.text).toUtf8() + "</text>\n";
            break;
        }
        }
    }
    svg += "</svg>\n";
    return svg;
}

void Chart_Paint(QPainter *painter, const TChartPicture &picture)
{
    painter->save();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QFont font(QString::fromLatin1(CHART_FONT_FAMILY));
    font.setPixelSize(CHART_FONT_PIXELS);
    // Unhinted, the text keeps its proportions at any scale.
    font.setHintingPreference(QFont::PreferNoHinting);
    for (const TChartShape &shape : picture.shapes) {
        switch (shape.kind) {
        case TChartShape::RECT:
            painter->fillRect(shape.rect, shape.colour);
            break;
        case TChartShape::LINE:
            painter->setPen(QPen(shape.colour, shape.stroke_width, Qt::SolidLine, Qt::FlatCap));
            painter->drawLine(shape.line);
            break;
        case TChartShape::TEXT: {
            font.setBold(shape.bold);
            painter->setFont(font);
            painter->setPen(shape.colour);
            const double advance =
                QFontMetricsF(font, painter->device()).horizontalAdvance(shape.text);
            QPointF at = shape.at;
            if (shape.align & Qt::AlignRight)
                at.rx() -= advance;
            else if (shape.align & Qt::AlignHCenter)
                at.rx() -= advance / 2;
            painter->drawText(at, shape.text);
            break;
        }
        }
    }
    painter->restore();
}
