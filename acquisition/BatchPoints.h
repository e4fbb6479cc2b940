// A block of samples turned into one point per channel, as the trigger lets them through: what the
// recording does with each batch, and what the journal, the event files and the tests do again.
#pragma once

#include "TriggerCapture.h"
#include "kit/Period.h"
#include "link/OscilloTypes.h"
#include "traces/TraceSet.h"

#include <optional>
#include <span>

// Where a block's samples land on the time axis.
struct tagBatchContext {
    tagPeriod period{};
    double timeOffset = 0.0;
    int holdPointPending = 0;
};

// Told, in order, what a block's samples did.
class CBatchSink {
public:
    virtual ~CBatchSink() = default;
    // These samples became points.
    virtual void Plotted(std::span<const tagOscilloVal> samples) = 0;
    // The trigger fired at time t; with repeat the traces were emptied for the new event just now.
    virtual void Fired(double /*t*/) {}
    // With repeat: an event ended.
    virtual void EventClosed(tagCapturedEvent&& /*event*/) {}
};

// The time of the block's last sample (also when the trigger dropped every sample) and of its last
// sample that became points, if any did.
struct tagBatchResult {
    double lastTime = 0.0;
    std::optional<double> lastPlotted;
};

// Turns a block's samples into one point per channel, as the capture lets them through. With a
// limit, no more than that many samples become points and the capture sees none after them.
tagBatchResult AddSamplesToTraces(const tagOscilloData& block, CTriggerCapture& capture,
                                  tagBatchContext& context, CTraceSet& traces, CBatchSink* sink = nullptr,
                                  std::optional<uint64_t> limit = std::nullopt);
