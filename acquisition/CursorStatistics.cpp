#include "CursorStatistics.h"

#include "ChannelModel.h"
#include "kit/NumberText.h"

#include <algorithm>

std::vector<tagCursorStatistics> ComputeCursorStatistics(bool measurement, double cursor1, double cursor2,
                                                         const std::vector<tagOscilloElem>& channels,
                                                         CTraceSet& traces) {
    std::vector<tagCursorStatistics> rows(channels.size());
    if (!measurement) {
        return rows;
    }
    const double a = std::min(cursor1, cursor2);
    const double b = std::max(cursor1, cursor2);
    for (size_t k = 0; k < channels.size(); ++k) {
        const CTrace& trace = traces.Trace(k);
        if (!trace.IsVisible()) {
            continue;
        }
        const EnumGCMDataType type = channels[k].dataType;
        const bool bit = type == GCM_BOOL;
        tagCursorStatistics& row = rows[k];
        // The points the table's X1 and X2 columns show.
        uint32_t at = 0;
        if (trace.FindPointIndex(a, at)) {
            row.atX1 = FormatValue(trace.GetYValue(at), type);
        }
        if (trace.FindPointIndex(b, at)) {
            row.atX2 = FormatValue(trace.GetYValue(at), type);
        }
        const std::optional<tagRangeStatistics> s = trace.StatisticsBetween(a, b);
        if (!s) {
            continue;
        }
        row.count = s->count;
        row.min = FormatValue(s->min, type);
        row.max = FormatValue(s->max, type);
        row.peakToPeak = FormatValue(s->max - s->min, bit ? GCM_INT : type);
        if (bit) {
            row.mean = g_FixedText(s->mean * 100.0, 1) + "%"; // the share of ON samples
        } else {
            row.mean = FormatValue(s->mean, GCM_REAL);
            row.rms = FormatValue(s->rms, GCM_REAL);
        }
    }
    return rows;
}
