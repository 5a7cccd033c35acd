// Draws the application icon and the window logo. Run it from the build tree
// (target tessaline-draw-images) to redraw resources/icons and resources/images:
//   QT_QPA_PLATFORM=offscreen ./tessaline-draw-images <resources directory>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <cstdio>

namespace {

const QColor slate(0x4c, 0x63, 0x7d);
const QColor slate_light(0x6f, 0x87, 0xa2);

// A round seal with a serrated rim, centred at centre, outer radius r.
void Draw_Seal(QPainter &painter, QPointF centre, qreal r)
{
    const int teeth = 24;
    QPolygonF rim;
    for (int i = 0; i < 2 * teeth; ++i) {
        const qreal angle = M_PI * i / teeth;
        const qreal radius = (i % 2 == 0) ? r : r * 0.86;
        rim << centre + QPointF(radius * qCos(angle), radius * qSin(angle));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(slate);
    painter.drawPolygon(rim);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(slate_light, qMax<qreal>(1.0, r * 0.06)));
    painter.drawEllipse(centre, r * 0.72, r * 0.72);
}

QImage Draw_Icon()
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw_Seal(painter, QPointF(32, 32), 31);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 22, 64, 20), Qt::AlignCenter, QStringLiteral("DMIS"));
    return image;
}

QImage Draw_Logo()
{
    QImage image(100, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw_Seal(painter, QPointF(19, 20), 17);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(slate);
    painter.drawText(QRectF(38, 6, 62, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Tessaline"));
    font.setBold(false);
    font.setPixelSize(9);
    painter.setFont(font);
    painter.setPen(slate_light);
    painter.drawText(QRectF(38, 21, 62, 12), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("DMIS 04.0"));
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const QDir resources(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    resources.mkpath(QStringLiteral("icons"));
    resources.mkpath(QStringLiteral("images"));

    const QString icon = resources.filePath(QStringLiteral("icons/tessaline.png"));
    const QString logo = resources.filePath(QStringLiteral("images/logo.png"));
    if (!Draw_Icon().save(icon, "PNG") || !Draw_Logo().save(logo, "PNG")) {
        std::fprintf(stderr, "cannot write the images into %s\n", qPrintable(resources.path()));
        return 1;
    }
    return 0;
}
