// A bitmap of the program's resources that draws itself leaving out one colour, as the port
// icons of the serial list do with their magenta background.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRgb>
#include <QString>

class QPainter;

class CCISBitmap {
public:
    CCISBitmap() = default;
    explicit CCISBitmap(const QImage& image) : m_image(image) {}

    // From a resource path such as ":/bitmaps/port.xpm"; false when there is no such image.
    bool LoadBitmap(const QString& path);
    bool IsNull() const { return m_image.isNull(); }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }

    // Draws the bitmap with its top left corner at x, y; pixels of the transparent colour are not
    // drawn.
    void DrawTransparent(QPainter& painter, int x, int y, QRgb transparent) const;

private:
    QImage m_image;
    mutable QPixmap m_masked; // made on first use for the colour below
    mutable QRgb m_maskedColour = 0;
};
