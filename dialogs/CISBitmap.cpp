#include "CISBitmap.h"

#include <QBitmap>
#include <QPainter>

bool CCISBitmap::LoadBitmap(const QString& path) {
    m_masked = QPixmap();
    return m_image.load(path) && !m_image.isNull();
}

void CCISBitmap::DrawTransparent(QPainter& painter, int x, int y, QRgb transparent) const {
    if (m_image.isNull()) {
        return;
    }
    if (m_masked.isNull() || m_maskedColour != transparent) {
        QImage opaque = m_image.convertToFormat(QImage::Format_RGB32);
        m_masked = QPixmap::fromImage(opaque);
        m_masked.setMask(
            QBitmap::fromImage(opaque.createMaskFromColor(transparent | 0xFF000000u, Qt::MaskInColor)));
        m_maskedColour = transparent;
    }
    painter.drawPixmap(x, y, m_masked);
}
