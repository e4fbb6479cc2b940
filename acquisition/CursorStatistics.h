// Statistics of each channel between the two cursors, beyond the table's own columns: the values
// at X1 and X2, the extremes and peak-to-peak, the mean and RMS, each set switchable.
#pragma once

#include "MonitorState.h"
#include "traces/TraceSet.h"

#include <cstdint>
#include <string>
#include <vector>

// Which sets the table shows (cursor_statistics in Chronoscope.cfg); none: the table as it was.
struct tagCursorStatisticsSets {
    bool values = false;   // at X1, at X2
    bool extremes = false; // minimum, maximum, peak-to-peak
    bool averages = false; // mean, RMS
    bool Any() const { return values || extremes || averages; }
    bool operator==(const tagCursorStatisticsSets&) const = default;
};

// One channel's texts in the channel's own format; a bit's mean is its share of ON samples.
struct tagCursorStatistics {
    std::string atX1, atX2, min, max, peakToPeak, mean, rms;
    uint64_t count = 0; // values between the cursors
    bool operator==(const tagCursorStatistics&) const = default;
};

// Over the points from the left cursor's time to the right one's; empty rows when measurement is
// off or a trace is hidden.
std::vector<tagCursorStatistics> ComputeCursorStatistics(bool measurement, double cursor1, double cursor2,
                                                         const std::vector<tagOscilloElem>& channels,
                                                         CTraceSet& traces);
