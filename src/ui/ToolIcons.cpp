#include "ui/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace {

QPainterPath Star(qreal size) {
    QPainterPath star;
    const QPointF centre(size / 2, size / 2 + size * 0.04);
    const qreal outer = size * 0.47;
    const qreal inner = outer * 0.42;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal radius = i % 2 == 0 ? outer : inner;
        const QPointF point = centre + QPointF(std::cos(angle) * radius, std::sin(angle) * radius);
        if (i == 0) star.moveTo(point);
        else star.lineTo(point);
    }
    star.closeSubpath();
    return star;
}

QPixmap StarPixmap(int size, bool filled) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(filled ? QColor(0xb0, 0x7a, 0x00) : QColor(0x60, 0x60, 0x60), size / 16.0));
    painter.setBrush(filled ? QColor(0xff, 0xc8, 0x20) : QColor(Qt::transparent));
    painter.drawPath(Star(size));
    return pixmap;
}

// A curve over the top, from right to left, ending in a head pointing down; forward is
// its mirror image.
QPixmap HistoryArrowPixmap(int size, bool forward) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (forward) painter.setTransform(QTransform(-1, 0, 0, 1, size, 0));
    const qreal unit = size / 16.0;
    const QColor blue(0x1f, 0x5f, 0xbf);
    painter.setPen(QPen(blue, 2 * unit, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const QRectF circle(4 * unit, 3 * unit, 9 * unit, 9 * unit);
    painter.drawArc(circle, -60 * 16, 240 * 16);  // from lower right, over the top, to the left
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    const qreal x = 4 * unit;
    const qreal y = 7.5 * unit;
    painter.drawPolygon(QPolygonF{QPointF(x - 3 * unit, y - 0.5 * unit), QPointF(x + 3 * unit, y - 0.5 * unit),
                                  QPointF(x, y + 4 * unit)});
    return pixmap;
}

}  // namespace

QIcon HistoryArrowIcon(bool forward) {
    QIcon icon;
    for (const int size : {16, 24, 32}) icon.addPixmap(HistoryArrowPixmap(size, forward));
    return icon;
}

QIcon StarIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        icon.addPixmap(StarPixmap(size, false), QIcon::Normal, QIcon::Off);
        icon.addPixmap(StarPixmap(size, true), QIcon::Normal, QIcon::On);
    }
    return icon;
}
