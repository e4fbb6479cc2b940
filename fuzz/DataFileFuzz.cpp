// The data file reader on arbitrary bytes: it may call a file damaged, never crash, read out of
// bounds or allocate more than the input can fill; and what it read is fit to draw.
#include "acquisition/ChannelModel.h"
#include "files/DataFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTraceSet traces(DefaultChannelColours);
    std::vector<uint8_t> bytes(data, data + size);
    tagMonitorState state;
    CBinaryArchive archive(bytes, CBinaryArchive::Load);
    try {
        SerializeData(archive, state, traces, nullptr);
    } catch (const CArchiveException&) {
        // a damaged file: what was read stays, which the next input resets
    }
    // What was read must be whole (every channel name and every point within the input), and no
    // damaged number may reach the drawing's pixel arithmetic.
    size_t points = 0;
    for (size_t k = 0; k < kMaxChannels; ++k) {
        const CTrace& trace = traces.Trace(k);
        points += trace.GetPointCount();
        if (!std::isfinite(trace.GetYScale()) || trace.GetYScale() <= 0 ||
            !std::isfinite(trace.GetYOffset())) {
            __builtin_trap();
        }
    }
    if (points * 16 > size || state.channels.size() > kMaxFileChannels) {
        __builtin_trap();
    }
    return 0;
}
