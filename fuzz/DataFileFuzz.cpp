// The data file reader on arbitrary bytes: it may call a file damaged, never crash, read out of
// bounds or allocate more than the input can fill; and the chart draws whatever it read.
#include "DiscardingChart.h"
#include "files/DataFile.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tagDiscardingChart c;
    CTraceSet& traces = *c.traces;
    std::vector<uint8_t> bytes(data, data + size);
    tagMonitorState state;
    CBinaryArchive archive(bytes, CBinaryArchive::Load);
    c.chart.SetRedrawEnabled(false); // as the program loads
    try {
        SerializeData(archive, state, traces, nullptr);
    } catch (const CArchiveException&) {
        // a damaged file: what was read stays, which the next input resets
    }
    // Whatever was read must draw: damaged numbers may not reach the pixel arithmetic.
    traces.TimeAxis().ResetZoom();
    traces.ValueAxis().ResetZoom();
    c.chart.SetRedrawEnabled(true);
    c.chart.RedrawChart();
    // What was read must be whole: every channel name and every point within the input.
    size_t points = 0;
    for (size_t k = 0; k < kMaxChannels; ++k) {
        points += traces.Serie(k).GetPointCount();
    }
    if (points * 16 > size || state.channels.size() > kMaxFileChannels) {
        __builtin_trap();
    }
    return 0;
}
