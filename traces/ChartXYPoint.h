#pragma once

// One stored point: X is the sample time in ms, Y the raw channel value.
struct SChartXYPoint {
    double X = 0.0;
    double Y = 0.0;
    bool operator==(const SChartXYPoint&) const = default;
};
static_assert(sizeof(SChartXYPoint) == 16);
