// Plain geometry and colour records of the chart: integer pixels, x right, y down.
#pragma once

#include <cstdint>

// 0x00BBGGRR
using COLORREF = uint32_t;

constexpr COLORREF ChartRGB(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

// Rounded half away from zero, as std::lround, without the library call: device pixels of the
// thousands of runs in a redraw. Exact for any |v| below 2^31.
constexpr int ChartRound(double v) {
    const int whole = static_cast<int>(v);
    const double fraction = v - whole;
    return whole + (fraction >= 0.5 ? 1 : 0) - (fraction <= -0.5 ? 1 : 0);
}

struct tagChartPoint {
    int x = 0;
    int y = 0;
    bool operator==(const tagChartPoint&) const = default;
};

struct tagChartSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const tagChartSize&) const = default;
};

struct tagChartRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Right and bottom edges are outside, as for window rectangles.
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    tagChartRect Deflated(int n) const { return {left + n, top + n, right - n, bottom - n}; }
    bool operator==(const tagChartRect&) const = default;
};

// A pixel distance computed in floating point: NaN counts as 0 and far-off values are held where
// the drawing clips them anyway, so that no value (a damaged file, an infinite REAL) overflows.
inline int ChartPixelOffset(double exact) {
    constexpr double kFar = 1e8;
    if (!(exact == exact)) {
        return 0;
    }
    return static_cast<int>(exact < -kFar ? -kFar : exact > kFar ? kFar : exact);
}
