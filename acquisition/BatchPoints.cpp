#include "BatchPoints.h"

#include "ChannelModel.h"

namespace {

double SampleTime(const tagBatchContext& context, const tagOscilloVal& sample) {
    return g_SampleTimeMs(context.period, sample.tick, context.timeOffset);
}

void PlotSample(const tagOscilloVal& sample, double t, const std::vector<EnumGCMDataType>& types,
                tagBatchContext& context, CTraceSet& traces) {
    for (size_t k = 0; k < types.size(); ++k) {
        const double v = ConvertRawValue(sample.raw[k], types[k]);
        CTrace& serie = traces.Trace(k);
        double lastY = 0.0;
        // The trace holds its old value up to the new recording's first sample.
        if (context.holdPointPending && serie.GetLastPoint(nullptr, &lastY) && lastY != v) {
            serie.AddPoint(t, lastY);
        }
        serie.AddPoint(t, v);
    }
    context.holdPointPending = 0;
}

} // namespace

tagBatchResult AddSamplesToTraces(const tagOscilloData& block, CTriggerCapture& capture,
                                  tagBatchContext& context, CTraceSet& traces, CBatchSink* sink,
                                  std::optional<uint64_t> limit) {
    const std::span<const tagOscilloVal> samples(block.samples);
    tagBatchResult result;
    size_t run = 0; // the first sample of the run of plotted ones not told yet
    auto tell = [&](size_t end) {
        if (sink && end > run) {
            sink->Plotted(samples.subspan(run, end - run));
        }
    };
    uint64_t left = limit.value_or(UINT64_MAX);
    size_t end = samples.size();
    for (size_t s = 0; s < samples.size(); ++s) {
        if (left == 0) {
            end = s; // the rest is past the limit: the trigger does not see it either
            break;
        }
        const tagOscilloVal& sample = samples[s];
        const double t = SampleTime(context, sample);
        result.lastTime = t; // for every sample, plotted or not
        switch (capture.Offer(sample, t)) {
        case EnumSampleFate::Skip:
            tell(s);
            run = s + 1;
            continue;
        case EnumSampleFate::Close:
            tell(s);
            run = s + 1;
            if (sink) {
                sink->EventClosed(capture.TakeEvent());
            }
            continue;
        case EnumSampleFate::Fire: {
            tell(s);
            run = s;
            if (capture.Repeat()) {
                // The window shows the latest event alone.
                for (size_t k = 0; k < block.types.size(); ++k) {
                    traces.Trace(k).Clear();
                }
                context.holdPointPending = 0;
            }
            if (sink) {
                sink->Fired(t);
            }
            std::vector<tagOscilloVal> history = capture.TakeHistory();
            if (history.size() > left) {
                history.resize(left);
            }
            for (const tagOscilloVal& h : history) {
                PlotSample(h, SampleTime(context, h), block.types, context, traces);
            }
            left -= history.size();
            if (sink && !history.empty()) {
                sink->Plotted(history);
            }
            break;
        }
        case EnumSampleFate::Plot:
            break;
        }
        if (left == 0) { // the history took what was left
            end = s;
            break;
        }
        PlotSample(sample, t, block.types, context, traces);
        --left;
        result.lastPlotted = t;
    }
    tell(end);
    return result;
}
