// The trigger's history and repeated events, sample by sample, through the same path the recording
// takes from a block to the traces.
#include "acquisition/TriggerCapture.h"
#include "acquisition/Recorder.h"
#include "support/HeadlessTraces.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <vector>

namespace {

// Channel 0 is D1's ramp (0..999, one step per 10 ms), channel 1 counts the ticks.
constexpr uint16_t kOneMs = 8;
int32_t Ramp(uint32_t tick, uint16_t period = kOneMs) {
    return static_cast<int32_t>(tick * period / 8 / 10 % 1000);
}

tagOscilloData Block(uint32_t first, uint32_t count, uint16_t period = kOneMs) {
    tagOscilloData block;
    block.types = {GCM_INT, GCM_DINT};
    for (uint32_t tick = first; tick < first + count; ++tick) {
        tagOscilloVal sample;
        sample.tick = tick;
        sample.raw[0] = static_cast<uint32_t>(Ramp(tick, period));
        sample.raw[1] = tick;
        block.samples.push_back(sample);
    }
    return block;
}

// What the recording tells its journal and its event files, in order.
struct tagSinkLog : CBatchSink {
    void Plotted(std::span<const tagOscilloVal> samples) override {
        for (const tagOscilloVal& s : samples) {
            plotted.push_back(s.tick);
        }
    }
    void Fired(double t) override { fired.push_back(t); }
    void EventClosed(tagCapturedEvent&& event) override { events.push_back(std::move(event)); }
    std::vector<uint32_t> plotted;
    std::vector<double> fired;
    std::vector<tagCapturedEvent> events;
};

class TriggerCaptureTest : public ::testing::Test {
protected:
    // Starts a recording of the two channels and feeds ticks [0, ticks) in blocks of the given size.
    void Record(const tagTriggerSettings& trigger, const tagCaptureSettings& settings, uint32_t ticks,
                uint32_t blockSize = 37, uint16_t period = kOneMs) {
        for (size_t k = 0; k < 2; ++k) {
            m_traces->ApplyChannel(k, 0, false);
        }
        m_context = {g_PeriodOfEighths(period), 0.0, 0};
        m_capture.Start(trigger, settings, {GCM_INT, GCM_DINT}, g_PeriodOfEighths(period));
        for (uint32_t first = 0; first < ticks; first += blockSize) {
            AddSamplesToTraces(Block(first, std::min(blockSize, ticks - first), period), m_capture, m_context,
                               *m_traces, &m_log);
        }
    }
    // The ticks the traces hold, from the tick channel's points.
    std::vector<uint32_t> TicksInTraces() {
        std::vector<uint32_t> ticks;
        const CTrace& serie = m_traces->Trace(1);
        for (uint32_t i = 0; i < serie.GetPointCount(); ++i) {
            ticks.push_back(static_cast<uint32_t>(serie.GetYValue(i)));
        }
        return ticks;
    }
    static std::vector<uint32_t> Range(uint32_t first, uint32_t last) {
        std::vector<uint32_t> ticks;
        for (uint32_t t = first; t <= last; ++t) {
            ticks.push_back(t);
        }
        return ticks;
    }

    tagHeadlessTraces m_traces;
    tagBatchContext m_context;
    CTriggerCapture m_capture;
    tagSinkLog m_log;
};

const tagTriggerSettings kAt500{1, 0, TRIGGER_GREATER_EQUAL, 500.0};
const tagTriggerSettings kAt900{1, 0, TRIGGER_GREATER_EQUAL, 900.0};

} // namespace

TEST_F(TriggerCaptureTest, WithoutHistoryTheTraceStartsAtTheTriggerSample) {
    Record(kAt500, {}, 6000);
    // D1 reaches 500 at 5 000 ms; from there every sample, none before.
    EXPECT_EQ(TicksInTraces(), Range(5000, 5999));
    EXPECT_EQ(m_traces->Trace(0).GetXValue(0), 5000.0);
    EXPECT_EQ(m_log.plotted, Range(5000, 5999));
    EXPECT_EQ(m_log.fired, std::vector<double>{5000.0});
    EXPECT_EQ(m_capture.Phase(), EnumTriggerPhase::Triggered);
    EXPECT_EQ(m_capture.HistorySize(), 0u); // nothing kept while waiting
}

TEST_F(TriggerCaptureTest, HistoryStartsThePreTriggerTimeBeforeWithTheSamePoints) {
    for (uint32_t blockSize : {1u, 37u, 250u, 6000u}) { // history within one block and across many
        SCOPED_TRACE(blockSize);
        tagHeadlessTraces untriggered;
        m_traces->ResetAll();
        m_log = {};
        Record(kAt500, {200, false, 1000}, 6000, blockSize);
        EXPECT_EQ(TicksInTraces(), Range(4800, 5999)); // every tick once, 200 ms before the trigger
        EXPECT_EQ(m_log.plotted, TicksInTraces());
        // The points are those a recording without a trigger has from there on.
        CTriggerCapture everything;
        tagBatchContext context{g_PeriodOfEighths(kOneMs), 0.0, 0};
        untriggered->ApplyChannel(0, 0, false);
        AddSamplesToTraces(Block(0, 6000), everything, context, *untriggered);
        const CTrace& mine = m_traces->Trace(0);
        const CTrace& full = untriggered->Trace(0);
        ASSERT_EQ(mine.GetPointCount(), 1200u);
        for (uint32_t i = 0; i < mine.GetPointCount(); ++i) {
            ASSERT_EQ(mine.GetXValue(i), full.GetXValue(4800 + i));
            ASSERT_EQ(mine.GetYValue(i), full.GetYValue(4800 + i));
        }
    }
}

TEST_F(TriggerCaptureTest, HistoryIsBoundedByThePreTriggerTime) {
    // A minute of history at 1 ms while the condition never holds: one minute of samples, no more.
    Record({1, 0, TRIGGER_GREATER, 5000.0}, {kMaxPreTriggerMs, false, 1000}, 200000, 1000);
    EXPECT_EQ(m_capture.HistoryLimit(), 60001u);
    EXPECT_EQ(m_capture.HistorySize(), 60001u);
    EXPECT_TRUE(TicksInTraces().empty());
    // At 10 ms a second of history is 101 samples.
    m_capture.Start(kAt500, {1000, false, 1000}, {GCM_INT}, g_PeriodOfEighths(80));
    EXPECT_EQ(m_capture.HistoryLimit(), 101u);
    // Ticks that wrap make times go back; the count still bounds the history.
    m_capture.Start({1, 0, TRIGGER_GREATER, 5000.0}, {100, false, 1000}, {GCM_INT},
                    g_PeriodOfEighths(kOneMs));
    for (uint32_t i = 0; i < 1000; ++i) {
        tagOscilloVal sample;
        sample.tick = 0xFFFFFF00u + i;
        m_capture.Offer(sample, static_cast<uint32_t>(kOneMs * sample.tick) * 0.125);
        ASSERT_LE(m_capture.HistorySize(), 101u);
    }
}

TEST_F(TriggerCaptureTest, RepeatSavesEachRampCycleOnceWithItsHistoryAndPostTriggerTime) {
    // 30 s of D1 ≥ 900 with 100 ms before and 300 ms after: the condition stays true 700 ms
    // beyond each event and does not fire again until the ramp falls back.
    Record(kAt900, {100, true, 300}, 30000, 113);
    ASSERT_EQ(m_log.events.size(), 3u);
    for (size_t e = 0; e < 3; ++e) {
        const uint32_t trigger = 9000 + 10000 * static_cast<uint32_t>(e);
        EXPECT_EQ(m_log.events[e].triggerTime, trigger);
        std::vector<uint32_t> ticks;
        for (const tagOscilloVal& s : m_log.events[e].samples) {
            ticks.push_back(s.tick);
        }
        EXPECT_EQ(ticks, Range(trigger - 100, trigger + 300)) << e;
    }
    EXPECT_EQ(m_log.fired, (std::vector<double>{9000, 19000, 29000}));
    // The traces show the latest event alone.
    EXPECT_EQ(TicksInTraces(), Range(28900, 29300));
    EXPECT_EQ(m_capture.Phase(), EnumTriggerPhase::Rearming);
}

TEST_F(TriggerCaptureTest, ATriggerWithinThePostTriggerTimeIsPartOfThatEvent) {
    // D1 ≥ 900 fires at 9 000 ms; the ramp falls back and rises beyond 900 again at 19 000 ms,
    // inside the first event's 12 s.
    Record(kAt900, {0, true, 12000}, 42000, 500);
    ASSERT_EQ(m_log.events.size(), 2u);
    EXPECT_EQ(m_log.events[0].triggerTime, 9000.0);
    EXPECT_EQ(m_log.events[0].samples.size(), 12001u);
    // The first sample after it (21 001 ms, D1 = 100) re-arms; 29 000 ms fires.
    EXPECT_EQ(m_log.events[1].triggerTime, 29000.0);
}

TEST_F(TriggerCaptureTest, AnEventClosedWhileTheConditionHoldsWaitsForItToFail) {
    // A threshold always met: one event, then re-arming forever.
    Record({1, 0, TRIGGER_GREATER_EQUAL, 0.0}, {0, true, 50}, 1000);
    EXPECT_EQ(m_log.events.size(), 1u);
    EXPECT_EQ(m_capture.Phase(), EnumTriggerPhase::Rearming);
    // A closing sample that fails the condition re-arms at once.
    m_capture.Start({1, 1, TRIGGER_LESS, 100.0}, {0, true, 50}, {GCM_INT, GCM_DINT},
                    g_PeriodOfEighths(kOneMs));
    std::vector<EnumSampleFate> fates;
    for (const auto& [tick, value] : {std::pair{0u, 0u}, {50u, 0u}, {51u, 200u}, {52u, 0u}}) {
        tagOscilloVal sample;
        sample.tick = tick;
        sample.raw[1] = value;
        fates.push_back(m_capture.Offer(sample, tick));
    }
    EXPECT_EQ(fates, (std::vector<EnumSampleFate>{EnumSampleFate::Fire, EnumSampleFate::Plot,
                                                  EnumSampleFate::Close, EnumSampleFate::Fire}));
}

TEST_F(TriggerCaptureTest, SettingsOutOfRangeAreBroughtIntoIt) {
    EXPECT_EQ((tagCaptureSettings{70000, true, 0}.Clamped()), (tagCaptureSettings{60000, true, 1}));
    EXPECT_EQ((tagCaptureSettings{5, false, 700000}.Clamped()), (tagCaptureSettings{5, false, 600000}));
    // A trigger on a channel the block does not have never fires.
    Record({1, 5, TRIGGER_GREATER_EQUAL, 0.0}, {100, true, 10}, 500);
    EXPECT_TRUE(TicksInTraces().empty());
    EXPECT_TRUE(m_log.fired.empty());
}

TEST_F(TriggerCaptureTest, AStopHandsOverTheEventItCutShort) {
    Record(kAt900, {100, true, 5000}, 10000, 250);
    ASSERT_TRUE(m_log.events.empty()); // the event of 9 000 ms runs until 14 000 ms
    const std::optional<tagCapturedEvent> open = m_capture.TakeOpenEvent();
    ASSERT_TRUE(open);
    EXPECT_EQ(open->triggerTime, 9000.0);
    EXPECT_EQ(open->samples.size(), 1100u);  // 8 900 to 9 999 ms: 100 ms before, the trigger, 999 after
    EXPECT_FALSE(m_capture.TakeOpenEvent()); // once
    // Without repeat there is nothing to hand over.
    m_capture.Start(kAt900, {100, false, 5000}, {GCM_INT, GCM_DINT}, g_PeriodOfEighths(kOneMs));
    EXPECT_FALSE(m_capture.TakeOpenEvent());
}
