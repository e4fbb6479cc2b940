#include "ChannelTableModel.h"

#include "ChannelModel.h"
#include "kit/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Differences of a bit channel print as numbers.
EnumGCMDataType DifferenceType(EnumGCMDataType type) {
    return type == GCM_BOOL ? GCM_INT : type;
}

} // namespace

std::vector<tagStatistics> ComputeStatistics(const std::vector<tagOscilloElem>& channels, CTraceSet& traces,
                                             const std::vector<double>* liveLatest) {
    std::vector<tagStatistics> rows(channels.size());
    for (size_t k = 0; k < channels.size(); ++k) {
        const CTrace& serie = traces.Trace(k);
        const EnumGCMDataType type = channels[k].dataType;
        double min = 0, max = 0, last = 0;
        if (serie.GetYRange(min, max)) {
            rows[k].min = FormatValue(min, type);
            rows[k].max = FormatValue(max, type);
        }
        if (liveLatest && k < liveLatest->size()) {
            rows[k].latest = FormatValue((*liveLatest)[k], type);
        } else if (serie.GetLastPoint(nullptr, &last)) {
            rows[k].latest = FormatValue(last, type);
        }
    }
    return rows;
}

std::vector<tagCursorReadout> ComputeCursorReadouts(bool measurement, double cursor1, double cursor2,
                                                    const std::vector<tagOscilloElem>& channels,
                                                    CTraceSet& traces) {
    std::vector<tagCursorReadout> rows(channels.size());
    if (!measurement) {
        return rows;
    }
    const double a = std::min(cursor1, cursor2);
    const double b = std::max(cursor1, cursor2);
    for (size_t k = 0; k < channels.size(); ++k) {
        const CTrace& serie = traces.Trace(k);
        if (!serie.IsVisible()) {
            continue;
        }
        uint32_t ia = 0, ib = 0;
        const bool foundA = serie.FindPointIndex(a, ia);
        const bool foundB = serie.FindPointIndex(b, ib);
        if (foundA) {
            rows[k].x1 = FormatValue(serie.GetXValue(ia), GCM_INT);
        }
        if (foundB) {
            rows[k].x2 = FormatValue(serie.GetXValue(ib), GCM_INT);
        }
        if (foundA && foundB) {
            rows[k].dx = FormatValue(serie.GetXValue(ib) - serie.GetXValue(ia), GCM_INT);
            rows[k].dy =
                FormatValue(serie.GetYValue(ib) - serie.GetYValue(ia), DifferenceType(channels[k].dataType));
        }
    }
    return rows;
}

std::vector<size_t> ApplyAdaptiveScaling(bool adaptive, const std::vector<tagOscilloElem>& channels,
                                         CTraceSet& traces) {
    std::vector<size_t> changed;
    if (!adaptive || channels.empty()) {
        return changed;
    }
    // One redraw for all the scales that change.
    CTraceDisplay& display = traces.Display();
    display.BeginChanges();
    for (size_t k = 0; k < channels.size(); ++k) {
        CTrace& serie = traces.Trace(k);
        double min = 0, max = 0;
        if (serie.GetPointCount() == 0 || !serie.GetYRange(min, max)) {
            continue;
        }
        const double m = std::max(std::fabs(min), std::fabs(max));
        if (m > 0 && 9000.0 / m != serie.GetYScale()) {
            serie.SetYScale(9000.0 / m);
            changed.push_back(k);
        }
    }
    if (!changed.empty()) {
        display.Redraw();
    }
    display.EndChanges();
    return changed;
}

std::string ChartTooltipText(double t, const std::vector<std::string>& names,
                             const std::vector<tagOscilloElem>& channels, CTraceSet& traces) {
    std::string body;
    bool found = false;
    double x = 0;
    for (size_t k = 0; k < channels.size(); ++k) {
        const CTrace& serie = traces.Trace(k);
        const std::string& name = k < names.size() ? names[k] : channels[k].name;
        uint32_t index = 0;
        if (serie.IsVisible() && serie.FindPointIndex(t, index)) {
            x = serie.GetXValue(index);
            found = true;
            body += "\r\n" + name + "=" + FormatValue(serie.GetYValue(index), channels[k].dataType);
        } else {
            body += "\r\n" + name + "=--";
        }
    }
    if (!found) {
        return {};
    }
    return "X=" + g_FixedText(x, 3) + body;
}

double ParseScale(const std::string& text) {
    const double v = g_LeadingNumber(text);
    return v < 1e-6 || std::isnan(v) ? 1e-6 : v;
}

std::string ScaleText(double scale) {
    return g_FixedText(scale);
}

void DeleteChannel(tagMonitorState& state, CTraceSet& traces, size_t k) {
    state.channels.erase(state.channels.begin() + static_cast<std::ptrdiff_t>(k));
    traces.MoveTraceToEnd(k);
    tagTriggerSettings& trigger = state.trigger;
    if (trigger.enable) {
        if (trigger.channel == k) {
            trigger.Reset();
        } else if (trigger.channel > k) {
            --trigger.channel;
        }
    }
}

uint32_t PickedColour(uint32_t colour) {
    return colour == 0 ? 0x010101 : colour;
}
