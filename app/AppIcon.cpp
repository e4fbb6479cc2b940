#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QImage>
#include <QPixmap>

#include <cmath>

QImage g_DrawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF screen(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    p.setPen(QPen(QColor(40, 40, 40), s / 32.0));
    p.setBrush(QColor(16, 40, 32));
    p.drawRoundedRect(screen, s * 0.12, s * 0.12);

    p.setPen(QPen(QColor(60, 110, 90), s / 64.0));
    for (int k = 1; k < 4; ++k) {
        const qreal x = screen.left() + screen.width() * k / 4.0;
        const qreal y = screen.top() + screen.height() * k / 4.0;
        p.drawLine(QPointF(x, screen.top()), QPointF(x, screen.bottom()));
        p.drawLine(QPointF(screen.left(), y), QPointF(screen.right(), y));
    }

    // A sine over a staircase: the two kinds of trace the program draws.
    QPainterPath wave;
    for (int i = 0; i <= 40; ++i) {
        const qreal x = screen.left() + screen.width() * i / 40.0;
        const qreal y = screen.center().y() - screen.height() * 0.3 * std::sin(i / 40.0 * 2 * 3.14159265);
        i == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
    }
    p.setPen(QPen(QColor(90, 255, 120), s / 14.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);

    QPainterPath steps;
    const qreal hi = screen.top() + screen.height() * 0.78;
    const qreal lo = screen.top() + screen.height() * 0.9;
    steps.moveTo(screen.left() + s * 0.04, lo);
    for (int k = 0; k < 4; ++k) {
        const qreal x = screen.left() + screen.width() * (k + 0.5) / 4.0;
        steps.lineTo(x, k % 2 ? hi : lo);
        steps.lineTo(x, k % 2 ? lo : hi);
    }
    steps.lineTo(screen.right() - s * 0.04, lo);
    p.setPen(QPen(QColor(255, 200, 60), s / 24.0));
    p.drawPath(steps);
    p.end();
    return image;
}

QIcon g_AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(g_DrawAppIcon(size)));
    }
    return icon;
}
