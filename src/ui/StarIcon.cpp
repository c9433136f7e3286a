#include "ui/StarIcon.h"

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

}  // namespace

QIcon StarIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        icon.addPixmap(StarPixmap(size, false), QIcon::Normal, QIcon::Off);
        icon.addPixmap(StarPixmap(size, true), QIcon::Normal, QIcon::On);
    }
    return icon;
}
