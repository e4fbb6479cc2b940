#include "TableIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>
#include <numbers>

namespace {

QIcon Draw(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return QIcon(pixmap);
}

void Box(QPainter& p) {
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
}

} // namespace

QIcon g_EmptyBoxIcon() {
    return Draw(Box);
}

QIcon g_TickedBoxIcon() {
    return Draw([](QPainter& p) {
        Box(p);
        p.setPen(QPen(QColor(0, 120, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4.5, 8), QPointF(7, 10.5), QPointF(11.5, 5)}));
    });
}

QIcon g_GearIcon() {
    return Draw([](QPainter& p) {
        QPainterPath gear;
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const double a = i * std::numbers::pi / teeth;
            const double r = i % 2 ? 5.0 : 7.2;
            const QPointF point(8 + r * std::cos(a), 8 + r * std::sin(a));
            i == 0 ? gear.moveTo(point) : gear.lineTo(point);
        }
        gear.closeSubpath();
        gear.addEllipse(QPointF(8, 8), 2.2, 2.2);
        gear.setFillRule(Qt::OddEvenFill);
        p.setPen(QPen(QColor(60, 60, 70), 0.8));
        p.setBrush(QColor(130, 135, 150));
        p.drawPath(gear);
    });
}

QIcon g_CrossIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(210, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
}
