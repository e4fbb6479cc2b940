#include "acquisition/Recorder.h"
#include "acquisition/ChannelModel.h"
#include "acquisition/StringIds.h"
#include "kit/PostQueue.h"
#include "link/Communicater.h"
#include "sim/SimulatedMachine.h"
#include "support/ChartOfTraces.h"
#include "support/LinkTestHelpers.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <utility>

namespace {

using namespace std::chrono_literals;

// The window's side: work the worker posts runs on the test thread when it pumps.
class CTestView : public CRecorderView {
public:
    void Post(std::function<void()> work) override { m_queue.Post(std::move(work)); }
    void PumpMessages() { m_queue.RunPosted(); }
    void ShowResult(const tagResult& result) override { messages.push_back(result.stringId); }
    void UpdateRunControls(bool on) override { runControls = on; }
    void ShowPeriod(uint32_t period) override { shownPeriod = period; }
    void AfterBatch() override {
        ++afterBatches;
        std::this_thread::sleep_for(batchDelay);
    }

    std::chrono::milliseconds batchDelay{0};
    std::vector<int> messages;
    bool runControls = false;
    uint32_t shownPeriod = 0;
    int afterBatches = 0;

private:
    CPostQueue m_queue;
};

class RecorderTest : public ::testing::Test {
protected:
    // First, so that it goes last.
    CSimulatedLink m_link;

    void SetUp() override {
        CCommunicater::SetCommunicatCPPCfg(&m_state.link, nullptr);
        m_traces = std::make_unique<CTraceSet>(DefaultChannelColours);
        m_chart = std::make_unique<tagChartOfTraces>(*m_traces);
        m_recorder = std::make_unique<CRecorder>(m_state, *m_traces, m_view);

        m_state.period = 10;
    }
    void TearDown() override { m_recorder.reset(); }

    void AddChannels(const std::vector<tagOscilloElem>& channels) {
        for (const tagOscilloElem& c : channels) {
            m_traces->ApplyChannel(m_state.channels.size(), c.colour, c.dataType == GCM_BOOL);
            m_state.channels.push_back(c);
        }
    }

    // Lets the window's thread run its message loop for a while.
    void Pump(std::chrono::milliseconds duration) {
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end) {
            m_view.PumpMessages();
            std::this_thread::sleep_for(10ms);
        }
    }

    void Record(std::chrono::milliseconds duration) {
        m_recorder->OnRun();
        ASSERT_TRUE(m_recorder->IsRecording());
        Pump(duration);
        m_recorder->OnRun();
        m_view.PumpMessages();
        ASSERT_FALSE(m_recorder->IsRecording());
    }

    CTrace& Serie(size_t k) { return m_traces->Trace(k); }

    tagMonitorState m_state;
    std::unique_ptr<tagChartOfTraces> m_chart;
    std::unique_ptr<CTraceSet> m_traces;
    CTestView m_view;
    std::unique_ptr<CRecorder> m_recorder;
    CSimulatorPanel& m_sim = m_link.Panel();
};

} // namespace

TEST_F(RecorderTest, EverySampleBecomesOnePointPerChannelAtTickTimesPeriod) {
    AddChannels({Channel("D0", GCM_INT), Channel("M1", GCM_BOOL), Channel("AXIS0", GCM_DINT, 18)});
    Record(1000ms);

    const uint32_t n = Serie(0).GetPointCount();
    ASSERT_GE(n, 50u);
    EXPECT_FALSE(m_view.runControls);
    EXPECT_TRUE(m_view.messages.empty());
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(Serie(k).GetPointCount(), n);
    }
    for (uint32_t i = 0; i < n; ++i) {
        ASSERT_EQ(Serie(0).GetXValue(i), i * 10.0) << "sample " << i << " missing or out of order";
        const double t = m_sim.MachineTimeOfTick(i);
        EXPECT_EQ(Serie(0).GetYValue(i), CSimulatedMachine::Sine(t));
        EXPECT_EQ(Serie(1).GetYValue(i), std::floor(t / 100.0) - 2 * std::floor(t / 200.0));
        EXPECT_EQ(Serie(2).GetYValue(i),
                  std::lround(CSimulatedMachine::Motion(CSimulatedMachine::kAxis0, t).velocity));
    }
    // The time axis follows the newest sample.
    EXPECT_EQ(m_chart->display.TimeAxis().GetMaximum(), std::max(10000.0, (n - 1) * 10.0));
}

TEST_F(RecorderTest, ASlowWindowGetsBiggerBatchesButLosesNothing) {
    AddChannels({Channel("D1", GCM_INT)});
    m_view.batchDelay = 150ms;
    Record(1000ms);
    const uint32_t n = Serie(0).GetPointCount();
    ASSERT_GE(n, 50u);
    for (uint32_t i = 0; i < n; ++i) {
        ASSERT_EQ(Serie(0).GetXValue(i), i * 10.0);
    }
    EXPECT_LT(m_view.afterBatches, static_cast<int>(n) / 5); // several samples per batch
}

TEST_F(RecorderTest, ASecondRunContinuesOneSecondLaterWithHoldPoints) {
    AddChannels({Channel("D100", GCM_INT), Channel("D101", GCM_INT)});
    Record(300ms);
    double lastX = 0;
    ASSERT_TRUE(Serie(0).GetLastPoint(&lastX, nullptr));
    const uint32_t before = Serie(0).GetPointCount();

    // D100 changes between the recordings, D101 does not.
    m_state.writeAddress = "D100";
    m_state.writeValue = "77";
    m_state.writeTypeIndex = 1;
    m_recorder->OnWrite();
    Record(300ms);

    EXPECT_EQ(m_recorder->TimeOffset(), lastX + 1000.0);
    // D100: the old value held at the new start, then the new value at the same time.
    EXPECT_EQ(Serie(0).GetXValue(before), lastX + 1000.0);
    EXPECT_EQ(Serie(0).GetYValue(before), 0.0);
    EXPECT_EQ(Serie(0).GetXValue(before + 1), lastX + 1000.0);
    EXPECT_EQ(Serie(0).GetYValue(before + 1), 77.0);
    EXPECT_EQ(Serie(0).GetXValue(before + 2), lastX + 1010.0);
    // D101 kept its value: no hold point.
    EXPECT_EQ(Serie(1).GetXValue(before), lastX + 1000.0);
    EXPECT_EQ(Serie(1).GetXValue(before + 1), lastX + 1010.0);
}

TEST_F(RecorderTest, AReadFailureStopsWithTheMessageAndKeepsTheTraces) {
    AddChannels({Channel("D0", GCM_INT)});
    m_recorder->OnRun();
    Pump(300ms);
    const uint32_t drawn = Serie(0).GetPointCount();
    ASSERT_GT(drawn, 0u);
    m_sim.failReads = 1;
    Pump(300ms);
    EXPECT_FALSE(m_recorder->IsRecording());
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_READ_FAILED});
    EXPECT_GE(Serie(0).GetPointCount(), drawn);
    EXPECT_FALSE(m_view.runControls);
}

TEST_F(RecorderTest, AReadFailureOfAnEndedRecordingNeverStopsOrStartsOne) {
    AddChannels({Channel("D0", GCM_INT)});
    // The worker's failure is posted, then the user stops before it is handled.
    m_recorder->OnRun();
    Pump(100ms);
    m_sim.failReads = 1000;
    std::this_thread::sleep_for(100ms);
    m_recorder->OnRun();
    m_sim.failReads = 0;
    m_view.PumpMessages();
    EXPECT_FALSE(m_recorder->IsRecording());
    EXPECT_FALSE(m_view.runControls);
    EXPECT_TRUE(m_view.messages.empty()) << "the recording it came from ended by itself";

    // Posted by one recording, handled while the next runs: that one goes on.
    m_recorder->OnRun();
    Pump(100ms);
    m_sim.failReads = 1000;
    std::this_thread::sleep_for(100ms);
    m_recorder->StopRecording();
    m_sim.failReads = 0;
    m_recorder->OnRun();
    m_view.PumpMessages();
    EXPECT_TRUE(m_recorder->IsRecording());
    EXPECT_TRUE(m_view.messages.empty());
    m_recorder->OnRun();
}

TEST_F(RecorderTest, StopDrawsTheBatchStillQueued) {
    AddChannels({Channel("D0", GCM_INT)});
    m_recorder->OnRun();
    std::this_thread::sleep_for(300ms); // the window is busy: one batch waits in the queue
    EXPECT_EQ(Serie(0).GetPointCount(), 0u);
    m_recorder->OnRun(); // stop pumps the queue while waiting for the worker
    EXPECT_GT(Serie(0).GetPointCount(), 0u);
    EXPECT_EQ(Serie(0).GetXValue(0), 0.0);
}

TEST_F(RecorderTest, StartRefusalsAreReported) {
    m_recorder->OnRun();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_NO_CHANNEL});
    AddChannels({Channel("D0", GCM_INT)});
    m_sim.refusedCommand = OSCILLO_CMD_LOAD;
    m_recorder->OnRun();
    m_sim.refusedCommand = OSCILLO_CMD_RUN;
    m_recorder->OnRun();
    EXPECT_EQ(m_view.messages,
              (std::vector<int>{IDS_NO_CHANNEL, IDS_SET_CHANNELS_FAILED, IDS_RUN_COMMAND_FAILED}));
    EXPECT_FALSE(m_recorder->IsRecording());
}

TEST_F(RecorderTest, PeriodIsSentInEighthsAndTheAcceptedOneIsShown) {
    AddChannels({Channel("D0", GCM_INT)});
    m_state.period = 20;
    m_recorder->OnRun();
    EXPECT_EQ(m_recorder->Setting().requestedPeriod, 160);
    EXPECT_EQ(m_recorder->Setting().actualPeriod, 160);
    m_recorder->OnRun();
    m_sim.minimumPeriod = g_PeriodOfEighths(100);
    m_state.period = 1;
    m_recorder->OnRun();
    EXPECT_EQ(m_view.shownPeriod, 12u);
    EXPECT_EQ(m_state.period, 12u);
    m_recorder->OnRun();
}

TEST_F(RecorderTest, TriggerDropsSamplesUntilTheConditionHolds) {
    AddChannels({Channel("D100", GCM_INT), Channel("D0", GCM_INT)});
    m_state.trigger = {1, 0, TRIGGER_GREATER, 50.0};
    m_recorder->OnRun();
    Pump(300ms);
    EXPECT_EQ(Serie(0).GetPointCount(), 0u); // waiting: D100 is 0
    m_state.writeAddress = "D100";
    m_state.writeValue = "100";
    m_recorder->OnWrite();
    Pump(300ms);
    m_recorder->OnRun();
    m_view.PumpMessages();
    ASSERT_GT(Serie(0).GetPointCount(), 0u);
    EXPECT_TRUE(m_recorder->IsTriggered());
    EXPECT_EQ(Serie(0).GetYValue(0), 100.0);
    EXPECT_GE(Serie(0).GetXValue(0), 250.0); // the samples before the write were dropped
    EXPECT_EQ(Serie(1).GetXValue(0), Serie(0).GetXValue(0));
}

TEST_F(RecorderTest, ANewRunWaitsForTheTriggerAgain) {
    AddChannels({Channel("D0", GCM_INT)}); // the sine of amplitude 1000, two seconds a period
    m_state.trigger = {1, 0, TRIGGER_GREATER_EQUAL, 500.0};
    Record(2200ms);
    ASSERT_GT(Serie(0).GetPointCount(), 0u);
    EXPECT_GE(Serie(0).GetYValue(0), 500.0);
    const uint32_t before = Serie(0).GetPointCount();
    m_recorder->OnRun();
    EXPECT_FALSE(m_recorder->IsTriggered()); // re-armed
    Pump(2200ms);
    m_recorder->OnRun();
    m_view.PumpMessages();
    EXPECT_TRUE(m_recorder->IsTriggered());
    ASSERT_GT(Serie(0).GetPointCount(), before + 1);
    EXPECT_GE(Serie(0).GetYValue(before + 1), 500.0); // after the hold point, the first kept sample
}

TEST_F(RecorderTest, TriggerOnAChannelThatIsGoneIsSwitchedOff) {
    AddChannels({Channel("D0", GCM_INT)});
    m_state.trigger = {1, 3, TRIGGER_LESS, 5.0};
    m_recorder->OnRun();
    EXPECT_EQ(m_state.trigger, tagTriggerSettings{});
    m_recorder->OnRun();
}

TEST_F(RecorderTest, AWriteDuringRecordingGoesThroughTheWorkerOnce) {
    AddChannels({Channel("D100", GCM_INT)});
    m_recorder->OnRun();
    Pump(100ms);
    m_state.writeAddress = " d100 ";
    m_state.writeValue = "42";
    m_state.writeTypeIndex = 0; // BOOL on a word becomes INT
    // The controller takes its time, so that the write is still pending at the second one.
    m_link.Panel().answerDelayMs = 100;
    m_recorder->OnWrite();
    EXPECT_TRUE(m_recorder->IsWritePending());
    m_state.writeValue = "43";
    m_recorder->OnWrite(); // ignored while the first is pending
    Pump(1000ms);
    m_link.Panel().answerDelayMs = 0;
    Pump(100ms);
    m_recorder->OnRun();
    m_view.PumpMessages();
    double y = 0;
    ASSERT_TRUE(Serie(0).GetLastPoint(nullptr, &y));
    EXPECT_EQ(y, 42.0);
    EXPECT_FALSE(m_recorder->IsWritePending());
}

TEST_F(RecorderTest, ClearTracksEmptiesTracesAndResetsTheAxes) {
    AddChannels({Channel("D0", GCM_INT)});
    Record(200ms);
    m_chart->display.TimeAxis().ZoomToRange(100, 200);
    m_recorder->ClearTracks();
    EXPECT_EQ(Serie(0).GetPointCount(), 0u);
    EXPECT_EQ(m_chart->display.TimeAxis().GetMinimum(), 0.0);
    EXPECT_EQ(m_chart->display.TimeAxis().GetMaximum(), 10000.0);
    Record(100ms);
    EXPECT_EQ(Serie(0).GetXValue(0), 0.0); // the next recording starts at 0 again
}

// A repeating trigger between its events: with the event view the latest event fills the time
// axis under the armed notice while the latest values go on; without it the axis scrolls on.
TEST_F(RecorderTest, BetweenEventsTheEventViewShowsTheLatestEventWholeAndTheLiveValues) {
    AddChannels({Channel("D2", GCM_INT)}); // a square wave: +500 for half of each second
    m_state.period = 5;
    m_state.trigger = {1, 0, TRIGGER_GREATER_EQUAL, 0.0};
    m_recorder->SetCaptureSettings({100, true, 200});
    m_chart->display.SetArmedNoticeText("armed");
    for (const bool eventView : {true, false}) {
        SCOPED_TRACE(eventView ? "event view" : "scrolling");
        m_recorder->SetEventView(eventView);
        m_recorder->OnRun();
        // Until an event has closed and the trigger waits for the next, and a little longer.
        int looks = 0;
        for (auto end = std::chrono::steady_clock::now() + 10s;
             looks < 20 && std::chrono::steady_clock::now() < end;) {
            m_view.PumpMessages();
            std::this_thread::sleep_for(5ms);
            const tagTriggerStatus status = m_recorder->TriggerStatus();
            looks += status.eventsClosed > 0 && status.phase != EnumTriggerPhase::Triggered ? 1 : -looks;
        }
        ASSERT_EQ(looks, 20);
        const CChartCustomAxisX& time = m_chart->display.TimeAxis();
        double last = 0;
        ASSERT_TRUE(Serie(0).GetLastPoint(&last, nullptr));
        if (eventView) {
            EXPECT_EQ(time.GetMinimum(), Serie(0).GetXValue(0));
            EXPECT_EQ(time.GetMaximum(), last);
            EXPECT_EQ(m_chart->chart.GetPlotNotice(), "armed");
            ASSERT_TRUE(m_recorder->LiveLatest().has_value());
            EXPECT_EQ(m_recorder->LiveLatest()->size(), 1u);
        } else {
            EXPECT_GT(time.GetMaximum(), last + 20.0); // on with the samples nobody keeps
            EXPECT_TRUE(m_chart->chart.GetPlotNotice().empty());
            EXPECT_FALSE(m_recorder->LiveLatest().has_value());
        }
        m_recorder->OnRun();
        m_view.PumpMessages();
        EXPECT_TRUE(m_chart->chart.GetPlotNotice().empty()); // a stopped recording waits for nothing
    }
}
