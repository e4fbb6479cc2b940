// Runs of pixels written straight into the memory of a 32-bit image (a back buffer or the window's
// backing store): the grid, the trace columns and filled runs all go through these.
#pragma once

#include <QImage>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>

// Columns left..right - 1 of rows top..bottom - 1 (none when empty).
inline void g_WriteRows(uchar* bits, qsizetype stride, int left, int top, int right, int bottom, QRgb pixel) {
    for (int row = top; row < bottom && left < right; ++row) {
        auto* line = reinterpret_cast<QRgb*>(bits + row * stride);
        std::fill(line + left, line + right, pixel);
    }
}

// The same with stores that bypass the cache (where the processor has them).
inline void g_StreamRows(uchar* bits, qsizetype stride, int left, int top, int right, int bottom,
                         QRgb pixel) {
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    for (int row = top; row < bottom && left < right; ++row) {
        auto* at = reinterpret_cast<QRgb*>(bits + row * stride) + left;
        QRgb* const end = at + (right - left);
        for (; at < end && reinterpret_cast<quintptr>(at) % 16 != 0; ++at) {
            *at = pixel;
        }
        for (; end - at >= 4; at += 4) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(at), four);
        }
        std::fill(at, end, pixel);
    }
    _mm_sfence(); // the streamed stores land before anything draws over them
#else
    g_WriteRows(bits, stride, left, top, right, bottom, pixel);
#endif
}

// Rows from..to of column x.
inline void g_WriteColumn(uchar* bits, qsizetype stride, int x, int from, int to, QRgb pixel) {
    uchar* at = bits + from * stride + x * static_cast<qsizetype>(sizeof(QRgb));
    for (int y = from; y <= to; ++y, at += stride) {
        *reinterpret_cast<QRgb*>(at) = pixel;
    }
}
