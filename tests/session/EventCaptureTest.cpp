// The trigger's history and repeated events in a session recording the simulated controller: the
// traces, the event files, the marker, the status and the journal.
#include "TempFolder.h"
#include "acquisition/StringIds.h"
#include "acquisition/StringTexts.h"
#include "files/DataFile.h"
#include "files/RecordingJournal.h"
#include "files/WorkspacePaths.h"
#include "session/MonitorSession.h"
#include "sim/SimulatedMachine.h"
#include "support/HeadlessTraces.h"
#include "support/LinkTestHelpers.h"
#include "support/TestSessionView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

// D1 ramps 0..999 one step per 10 ms; D10 counts the controller's milliseconds.
class EventCaptureTest : public ::testing::Test {
protected:
    explicit EventCaptureTest(double speed = 20.0) : m_link(speed) {}

    void SetUp() override {
        m_session = std::make_unique<CMonitorSession>(m_view);
        m_view.session = m_session.get();
        m_session->Link().Apply();
        m_session->Channels().Add(Channel("D1", GCM_INT));
        m_session->Channels().Add(Channel("D10", GCM_DINT));
        m_session->Fields().OnPeriodChanged("1");
    }
    void TearDown() override { m_session.reset(); }

    // Records until done() holds or the time is up.
    void RecordUntil(const std::function<bool()>& done, std::chrono::seconds longest = 30s) {
        ASSERT_TRUE(m_session->StartRecording().ok);
        const auto end = std::chrono::steady_clock::now() + longest;
        while (!done() && std::chrono::steady_clock::now() < end) {
            m_view.Pump(20ms);
        }
        m_session->StopRecording();
        m_view.PumpMessages();
    }
    const CTrace& Serie(size_t k) { return m_session->Traces().Trace(k); }
    // Index of the first point of D1 at or above the threshold.
    std::optional<uint32_t> FirstAtOrAbove(const CTrace& serie, double threshold) {
        for (uint32_t i = 0; i < serie.GetPointCount(); ++i) {
            if (serie.GetYValue(i) >= threshold) {
                return i;
            }
        }
        return std::nullopt;
    }
    // The controller's milliseconds of a trace pair run on one by one.
    static void ExpectEveryTickOnce(const CTrace& ms) {
        for (uint32_t i = 1; i < ms.GetPointCount(); ++i) {
            ASSERT_EQ(ms.GetYValue(i), ms.GetYValue(i - 1) + 1.0) << i;
        }
    }

    CTempFolder m_documents; // before the link and the session
    CSimulatedLink m_link;
    CTestSessionView m_view;
    std::unique_ptr<CMonitorSession> m_session;
};

const tagTriggerSettings kD1AtLeast500{1, 0, TRIGGER_GREATER_EQUAL, 500.0};
const tagTriggerSettings kD1AtLeast900{1, 0, TRIGGER_GREATER_EQUAL, 900.0};

std::vector<std::string> EventFiles(const std::string& folder) {
    std::vector<std::string> files;
    if (fs::is_directory(folder)) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The controller reaches D1 = 500 five simulated seconds after power-on, a second of real time.
class PreTriggerTest : public EventCaptureTest {
protected:
    PreTriggerTest() : EventCaptureTest(5.0) {}

    // Records with the pre-trigger time until a second after the trigger; the index of the
    // trigger sample in the traces.
    uint32_t RecordWithHistory(uint32_t preTriggerMs) {
        m_session->Fields().SetTrigger(kD1AtLeast500);
        m_session->Fields().SetCapture({preTriggerMs, false, 1000});
        RecordUntil([&] { return Serie(1).GetPointCount() > preTriggerMs + 1000; });
        const std::optional<uint32_t> trigger = FirstAtOrAbove(Serie(0), 500.0);
        EXPECT_TRUE(trigger);
        return trigger.value_or(0);
    }
};

} // namespace

TEST_F(PreTriggerTest, HistoryStartsTheTracesThePreTriggerTimeBeforeTheTrigger) {
    const uint32_t trigger = RecordWithHistory(200);
    ASSERT_EQ(trigger, 200u) << "the recording began after D1 reached 500";
    EXPECT_EQ(Serie(0).GetXValue(0), Serie(0).GetXValue(trigger) - 200.0);
    EXPECT_LT(Serie(0).GetYValue(trigger - 1), 500.0);
    ExpectEveryTickOnce(Serie(1));
    // The marker at the trigger instant in D1's colour; the status says when.
    const std::optional<tagTriggerMark> marker = m_session->Traces().TriggerMark();
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->time, Serie(0).GetXValue(trigger));
    EXPECT_EQ(marker->colour, Serie(0).GetColor());
    ASSERT_GE(m_view.triggerStatus.size(), 3u); // started, fired, stopped
    EXPECT_EQ(m_view.triggerStatus.front().phase, EnumTriggerPhase::Waiting);
    EXPECT_EQ(m_view.triggerStatus.back().phase, EnumTriggerPhase::Triggered);
    EXPECT_FALSE(m_view.triggerStatus.back().recording);
    EXPECT_TRUE(m_view.triggerStatus.back().triggeredAt);
}

TEST_F(PreTriggerTest, WithoutHistoryTheTriggerSampleComesFirst) {
    EXPECT_EQ(RecordWithHistory(0), 0u);
    EXPECT_LT(Serie(1).GetYValue(0), 5010.0); // D1 reaches 500 at 5 000 ms
    ExpectEveryTickOnce(Serie(1));
}

TEST_F(EventCaptureTest, RepeatSavesEachRampCycleAsAFileWithItsHistoryAndPostTriggerTime) {
    m_session->Journal().Use(m_documents.File("events.journal"));
    m_session->Fields().SetTrigger(kD1AtLeast900);
    m_session->Fields().SetCapture({100, true, 300});
    // 30 s of the controller's time: the ramp reaches 900 at 9, 19 and 29 s.
    RecordUntil([&] { return m_session->Events().Saved() >= 3; });
    const std::vector<std::string> files = EventFiles(EventsFolder());
    ASSERT_GE(files.size(), 3u);
    EXPECT_EQ(files, m_session->Events().Written());
    double previousTrigger = 0;
    for (size_t e = 0; e < files.size(); ++e) {
        SCOPED_TRACE(files[e]);
        EXPECT_TRUE(std::regex_match(fs::path(files[e]).filename().string(),
                                     std::regex(R"(\d{8}-\d{6}-\d{3}\.data)")));
        tagHeadlessTraces traces;
        tagMonitorState state;
        ASSERT_EQ(ReadDataFile(files[e], state, *traces), EnumDataFileRead::Read);
        const CTrace& d1 = traces->Trace(0);
        const CTrace& ms = traces->Trace(1);
        // 100 ms before, the trigger sample, 300 ms after: every tick once (a fourth event the stop
        // cut short has fewer).
        ASSERT_TRUE(e < 3 ? ms.GetPointCount() == 401u
                          : ms.GetPointCount() > 100u && ms.GetPointCount() <= 401u);
        ExpectEveryTickOnce(ms);
        EXPECT_LT(d1.GetYValue(99), 900.0);
        EXPECT_GE(d1.GetYValue(100), 900.0);
        const double trigger = ms.GetYValue(100);
        EXPECT_EQ(std::fmod(trigger, 10000.0), 9000.0);
        if (e > 0) {
            EXPECT_EQ(trigger, previousTrigger + 10000.0); // one per cycle: none missed, none twice
        }
        previousTrigger = trigger;
    }
    // The window shows the latest event; the journal holds it alone.
    tagHeadlessTraces recovered;
    tagMonitorState state;
    std::string error;
    ASSERT_TRUE(CRecordingJournal::Replay(m_documents.File("events.journal"), state, *recovered, &error))
        << error;
    for (size_t k = 0; k < 2; ++k) {
        ASSERT_EQ(recovered->Trace(k).GetPointCount(), Serie(k).GetPointCount());
        for (uint32_t i = 0; i < Serie(k).GetPointCount(); ++i) {
            ASSERT_EQ(recovered->Trace(k).GetXValue(i), Serie(k).GetXValue(i));
            ASSERT_EQ(recovered->Trace(k).GetYValue(i), Serie(k).GetYValue(i));
        }
    }
    EXPECT_EQ(m_view.triggerStatus.back().eventsSaved, files.size());
    EXPECT_TRUE(m_view.messages.empty());
}

TEST_F(EventCaptureTest, AStopSavesTheEventItCutShort) {
    m_session->Fields().SetTrigger({1, 0, TRIGGER_GREATER_EQUAL, 0.0});
    m_session->Fields().SetCapture({0, true, kMaxPostTriggerMs}); // runs on for ten minutes
    RecordUntil([&] { return Serie(1).GetPointCount() > 200; });
    ASSERT_EQ(m_session->Events().Saved(), 1u);
    tagHeadlessTraces traces;
    tagMonitorState state;
    ASSERT_EQ(ReadDataFile(m_session->Events().Written()[0], state, *traces), EnumDataFileRead::Read);
    // Every sample the window drew of it.
    EXPECT_EQ(traces->Trace(1).GetPointCount(), Serie(1).GetPointCount());
}

TEST_F(EventCaptureTest, AnEventThatCannotBeWrittenIsToldOnceAndTheRecordingGoesOn) {
    // D2's square wave is +500 for half of each second: an event a second of 10 ms each.
    m_session->Channels().Add(Channel("D2", GCM_INT));
    m_session->Fields().SetTrigger({1, 2, TRIGGER_GREATER_EQUAL, 0.0});
    m_session->Fields().SetCapture({0, true, 10});
    std::ofstream(m_documents.File("not-a-folder")) << "x";
    m_session->Events().SetFolder(m_documents.File("not-a-folder"));
    RecordUntil([&] { return m_session->Recorder().TriggerStatus().eventsClosed >= 4; });
    EXPECT_GE(m_session->Recorder().TriggerStatus().eventsClosed, 4u);
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_EVENT_SAVE_FAILED});
    EXPECT_FALSE(m_view.details.front().empty());
    EXPECT_EQ(m_session->Events().Saved(), 0u);
}

TEST(TriggerStatusText, WordsTheStateTheWayTheWindowShowsIt) {
    const auto english = [](int id) { return std::string(EnglishStringById(id)); };
    tagTriggerStatus status;
    EXPECT_EQ(g_TriggerStatusText(status, english), "");
    status = {EnumTriggerPhase::Waiting, false, true, std::nullopt, 0, 0};
    EXPECT_EQ(g_TriggerStatusText(status, english), "Waiting for trigger");
    std::tm local{};
    local.tm_year = 126, local.tm_mon = 11, local.tm_mday = 7, local.tm_hour = 13, local.tm_min = 4;
    local.tm_sec = 5, local.tm_isdst = -1;
    const auto at = std::chrono::system_clock::from_time_t(std::mktime(&local)) + 42ms;
    status = {EnumTriggerPhase::Triggered, false, true, at, 0, 0};
    EXPECT_EQ(g_TriggerStatusText(status, english), "Triggered at 13:04:05.042");
    EXPECT_EQ(g_EventName(at), "20261207-130405-042");
    status = {EnumTriggerPhase::Rearming, true, true, at, 3, 3};
    EXPECT_EQ(g_TriggerStatusText(status, english), "Waiting for trigger; 3 events saved");
    status.eventsSaved = 1;
    EXPECT_EQ(g_TriggerStatusText(status, english), "Waiting for trigger; 1 event saved");
    status.eventsSaved = 3;
    status.recording = false;
    EXPECT_EQ(g_TriggerStatusText(status, english), "Triggered at 13:04:05.042; 3 events saved");
}
