// What the channel table shows and does, without the widget: statistics, cursor readouts,
// adaptive scales, the chart tooltip, the scale edit and channel deletion.
#pragma once

#include "MonitorState.h"
#include "traces/TraceSet.h"

#include <optional>
#include <string>
#include <vector>

struct tagStatistics {
    std::string latest, min, max;
    bool operator==(const tagStatistics&) const = default;
};

struct tagCursorReadout {
    std::string x1, x2, dx, dy;
    bool operator==(const tagCursorReadout&) const = default;
};

// Latest over every stored point (also of a hidden trace); min and max only for visible traces.
// liveLatest: the channels' latest samples where they are newer than the traces' last points (a
// repeating trigger waiting between events draws nothing).
std::vector<tagStatistics> ComputeStatistics(const std::vector<tagOscilloElem>& channels, CTraceSet& traces,
                                             const std::vector<double>* liveLatest = nullptr);

// Values at the left (a) and right (b) cursor times, whichever cursor is which; all empty when
// measurement is off.
std::vector<tagCursorReadout> ComputeCursorReadouts(bool measurement, double cursor1, double cursor2,
                                                    const std::vector<tagOscilloElem>& channels,
                                                    CTraceSet& traces);

// Fits each visible trace's largest magnitude to 90 % of the value axis' half height. Returns the
// channels whose scale changed (and redraws once if any did).
std::vector<size_t> ApplyAdaptiveScaling(bool adaptive, const std::vector<tagOscilloElem>& channels,
                                         CTraceSet& traces);

// "X=%.03f" and one line per channel with its value at time t ("--" where there is none); empty
// when no channel has a point there.
std::string ChartTooltipText(double t, const std::vector<std::string>& names,
                             const std::vector<tagOscilloElem>& channels, CTraceSet& traces);

// A scale typed into the table: a decimal number, at least 0.000001.
double ParseScale(const std::string& text);

// "%f" as the table shows scales.
std::string ScaleText(double scale);

// Removes channel k with its trace (the series moves to the end, cleared and hidden) and keeps
// the trigger on the channel it watched.
void DeleteChannel(tagMonitorState& state, CTraceSet& traces, size_t k);

// A picked colour; pure black is kept as (1, 1, 1).
uint32_t PickedColour(uint32_t colour);
