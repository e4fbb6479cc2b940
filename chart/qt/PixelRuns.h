// Runs of pixels written straight into the memory of a 32-bit image (a back buffer or the window's
// backing store): the grid, the trace columns and filled runs all go through these.
#pragma once

#include <QImage>

#include <algorithm>

// Columns left..right - 1 of rows top..bottom - 1 (none when empty).
inline void g_WriteRows(uchar* bits, qsizetype stride, int left, int top, int right, int bottom, QRgb pixel) {
    for (int row = top; row < bottom && left < right; ++row) {
        auto* line = reinterpret_cast<QRgb*>(bits + row * stride);
        std::fill(line + left, line + right, pixel);
    }
}

// Rows from..to of column x.
inline void g_WriteColumn(uchar* bits, qsizetype stride, int x, int from, int to, QRgb pixel) {
    uchar* at = bits + from * stride + x * static_cast<qsizetype>(sizeof(QRgb));
    for (int y = from; y <= to; ++y, at += stride) {
        *reinterpret_cast<QRgb*>(at) = pixel;
    }
}
