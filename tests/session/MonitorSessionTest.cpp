#include "session/MonitorSession.h"
#include "TempFolder.h"
#include "acquisition/ChannelModel.h"
#include "acquisition/StringIds.h"
#include "acquisition/StringTexts.h"
#include "files/DataFile.h"
#include "files/WorkspacePaths.h"
#include "link/Communicater.h"
#include "support/ChartOfTraces.h"
#include "support/HeadlessTraces.h"
#include "support/LinkTestHelpers.h"
#include "support/RecordingSurface.h"
#include "support/TestSessionView.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace std::chrono_literals;

class MonitorSessionTest : public ::testing::Test {
protected:
    // First, so that it goes last.
    CSimulatedLink m_link;

    void SetUp() override {
        m_session = std::make_unique<CMonitorSession>(m_view);
        m_chart = std::make_unique<tagChartOfTraces>(*m_session);
        m_view.session = m_session.get();
        m_session->Link().Apply();
    }
    void TearDown() override {
        m_session.reset();
        m_chart.reset();
    }
    const tagMonitorState& State() { return m_session->State(); }
    void Record(std::chrono::milliseconds duration) {
        m_session->OnRun();
        ASSERT_TRUE(m_session->IsRecording());
        m_view.Pump(duration);
        m_session->OnRun();
        m_view.PumpMessages();
    }

    CTestSessionView m_view;
    std::unique_ptr<CMonitorSession> m_session;
    std::unique_ptr<tagChartOfTraces> m_chart;
};

} // namespace

TEST_F(MonitorSessionTest, SixChannelsAtMostAndEachTakesItsSeries) {
    for (int k = 0; k < kMaxChannels; ++k) {
        ASSERT_TRUE(m_session->BeginAddChannel());
        tagOscilloElem channel = Channel("D" + std::to_string(k), k == 2 ? GCM_BOOL : GCM_INT);
        channel.colour = m_session->Channels().NextColour();
        m_session->Channels().Add(channel);
    }
    EXPECT_TRUE(m_view.messages.empty());
    EXPECT_EQ(m_view.tableRefreshes, kMaxChannels);
    EXPECT_EQ(State().channels[5].colour, DefaultChannelColours[5]);
    EXPECT_TRUE(m_session->Traces().Trace(5).IsVisible());
    EXPECT_EQ(m_session->Traces().Trace(2).GetStepMode(), 1); // bits draw as steps

    EXPECT_FALSE(m_session->BeginAddChannel());
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_TOO_MANY_CHANNELS});
    m_session->Channels().Add(Channel("D9", GCM_INT));
    EXPECT_EQ(State().channels.size(), 6u);
}

TEST_F(MonitorSessionTest, DeletingAsksAndKeepsTheTriggerOnItsChannel) {
    for (const char* name : {"D0", "D1", "D2"}) {
        m_session->Channels().Add(Channel(name, GCM_INT));
    }
    m_session->Fields().SetTrigger({1, 2, TRIGGER_GREATER_EQUAL, 500.0});
    m_view.answer = false;
    m_session->Channels().RequestDelete(0);
    EXPECT_EQ(m_view.questions, std::vector<int>{IDS_DELETE_CONFIRM});
    EXPECT_EQ(State().channels.size(), 3u);

    m_view.answer = true;
    m_session->Channels().RequestDelete(0);
    ASSERT_EQ(State().channels.size(), 2u);
    EXPECT_EQ(State().channels[0].name, "D1");
    EXPECT_EQ(State().trigger.channel, 1u); // still D2
    m_session->Channels().RequestDelete(1); // the trigger channel itself
    EXPECT_EQ(State().trigger, tagTriggerSettings{});
    m_session->Channels().RequestDelete(7); // no such row: nothing asked
    EXPECT_EQ(m_view.questions.size(), 3u);
}

TEST_F(MonitorSessionTest, FieldCorrections) {
    m_session->Fields().OnPeriodChanged("0");
    EXPECT_EQ(State().period, 1u);
    EXPECT_EQ(m_view.shownPeriod, 1);
    m_session->Fields().OnPeriodChanged("500");
    EXPECT_EQ(State().period, 200u);
    EXPECT_EQ(m_view.shownPeriod, 200);
    m_view.shownPeriod = -1;
    m_session->Fields().OnPeriodChanged("20");
    EXPECT_EQ(State().period, 20u);
    EXPECT_EQ(m_view.shownPeriod, -1); // nothing to correct
    m_session->Fields().OnPeriodChanged("");
    EXPECT_EQ(m_view.shownPeriod, 1);
    m_session->Fields().OnPeriodChanged("99999999999");
    EXPECT_EQ(State().period, 200u);

    m_session->Fields().OnTimeAxisChanged("0");
    EXPECT_EQ(State().timeAxisStep, 1000u);
    EXPECT_EQ(m_view.shownStep, 1000);
    EXPECT_EQ(m_chart->display.TimeAxis().GetMaximum(), 10000.0);
    m_session->Fields().OnTimeAxisChanged("250");
    EXPECT_EQ(m_chart->display.TimeAxis().GetMaximum(), 2500.0);
}

TEST_F(MonitorSessionTest, TableOperationsReportToTheView) {
    m_session->Channels().Add(Channel("D0", GCM_INT));
    m_session->Traces().Trace(0).AddPoint(0, 5);
    m_session->Traces().Trace(0).AddPoint(10, -7);

    m_session->Channels().ToggleVisibility(0);
    EXPECT_FALSE(m_view.visibility.at(0));
    EXPECT_EQ(m_view.statistics.at(0), (tagStatistics{"-7", "", ""})); // hidden: no min and max
    m_session->Channels().ToggleVisibility(0);
    EXPECT_EQ(m_view.statistics.at(0), (tagStatistics{"-7", "-7", "5"}));

    m_session->Channels().SetScaleText(0, "abc");
    EXPECT_EQ(m_view.scales.at(0), "0.000001");
    EXPECT_EQ(m_session->Traces().Trace(0).GetYScale(), 1e-6);
    m_session->Channels().SetColour(0, 0x123456);
    EXPECT_EQ(m_session->Traces().Trace(0).GetColor(), 0x123456u);
    EXPECT_EQ(m_view.colours.at(0), 0x123456u);

    m_session->Fields().OnMeasurement(false);
    EXPECT_FALSE(m_chart->display.CursorX1().IsVisible());
    EXPECT_EQ(m_view.readouts.at(0), tagCursorReadout{});
}

TEST_F(MonitorSessionTest, TooltipNamesComeFromTheChannels) {
    m_session->Channels().Add(Channel("AXIS3", GCM_DINT, 17));
    m_session->Channels().Add(Channel("D5", GCM_INT));
    m_session->Traces().Trace(0).AddPoint(0, 1234);
    m_session->Traces().Trace(0).AddPoint(2000, 1300);
    m_chart->chart.OnMouseMove(m_chart->display.TimeAxis().ValueToPixel(0.0), 100);
    EXPECT_EQ(m_session->Readouts().ChartTooltip(false),
              "X=0.000\r\nAxis3(Input1-ActPosition)=1234\r\nD5=--");
    EXPECT_EQ(m_view.tooltip, m_session->Readouts().ChartTooltip(false));
}

TEST_F(MonitorSessionTest, ClearAsksAndEditsWaitForTheRecordingToStop) {
    m_session->Channels().Add(Channel("D0", GCM_INT));
    m_session->Fields().OnPeriodChanged("10");
    m_session->OnRun();
    ASSERT_TRUE(m_session->IsRecording());
    EXPECT_TRUE(m_view.runControls);
    EXPECT_FALSE(m_session->Channels().CanEdit());
    m_session->Channels().Modify(0, Channel("D1", GCM_INT));
    m_session->Channels().RequestDelete(0);
    EXPECT_EQ(State().channels[0].name, "D0");
    m_session->OnExportData();
    m_session->OnImportData();
    EXPECT_TRUE(m_view.proposedNames.empty()); // no file dialog while recording
    EXPECT_TRUE(m_view.questions.empty());
    m_view.Pump(300ms);
    m_session->OnRun();
    m_view.PumpMessages();
    EXPECT_FALSE(m_view.runControls);
    EXPECT_GT(m_session->Traces().Trace(0).GetPointCount(), 10u);
    EXPECT_FALSE(m_view.statistics.at(0).latest.empty());

    m_view.answer = false;
    m_session->OnClearTracks();
    EXPECT_GT(m_session->Traces().Trace(0).GetPointCount(), 10u);
    m_view.answer = true;
    m_session->OnClearTracks();
    EXPECT_EQ(m_session->Traces().Trace(0).GetPointCount(), 0u);
    m_session->Channels().Modify(0, Channel("D1", GCM_INT));
    EXPECT_EQ(State().channels[0].name, "D1");
}

TEST_F(MonitorSessionTest, TheInterfaceReachesTheLink) {
    m_session->Channels().Add(Channel("D0", GCM_INT));
    tagLinkFields usb{State().link, INTERFACE_USB};
    usb.link.usbPort = 3; // the simulated controller sits on USB port 0 only
    m_session->Link().Set(usb);
    m_session->OnRun();
    EXPECT_FALSE(m_session->IsRecording());
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_SET_CHANNELS_FAILED});
    EXPECT_FALSE(m_view.details.back().empty()); // the link says why

    usb.link.usbPort = 0;
    m_session->Link().Set(usb);
    Record(200ms);
    EXPECT_GT(m_session->Traces().Trace(0).GetPointCount(), 0u);
}

// Data files through the session: the refresh after loading, the export and import buttons and
// the cache trim.
class SessionFilesTest : public MonitorSessionTest {
protected:
    void Fill() {
        m_session->Channels().Add(Channel("D0", GCM_INT));
        m_session->Channels().Add(Channel("D1", GCM_REAL));
        for (int i = 0; i < 100; ++i) {
            m_session->Traces().Trace(0).AddPoint(i * 10.0, i);
            m_session->Traces().Trace(1).AddPoint(i * 20.0, i * 0.5);
        }
    }
    CTempFolder m_documents;
};

TEST_F(SessionFilesTest, LoadingRefreshesTheWindowAlsoWhenTheFileIsDamaged) {
    Fill();
    tagLinkFields usb{State().link, INTERFACE_USB};
    usb.link.usbPort = 3;
    m_session->Link().Set(usb);
    m_session->Fields().OnTimeAxisChanged("100");
    const std::string path = m_documents.File("a.data");
    ASSERT_TRUE(m_session->Files().SaveDataFile(path, nullptr).ok);
    m_session->Traces().Trace(1).SetVisible(false); // stored visible: comes back
    m_session->Link().Set({});
    const int pushes = m_view.pushes;
    ASSERT_TRUE(m_session->Files().LoadDataFile(path).ok);
    EXPECT_EQ(m_view.pushes, pushes + 1);
    EXPECT_EQ(State().channels.size(), 2u);
    EXPECT_EQ(m_chart->display.TimeAxis().GetMaximum(), 1980.0); // follows the latest visible time
    EXPECT_EQ(m_view.statistics.at(1).latest, "49.500000");
    // The loaded link settings reached the link: USB port 3 has no controller.
    m_session->OnRun();
    EXPECT_EQ(m_view.messages.back(), IDS_SET_CHANNELS_FAILED);

    std::filesystem::resize_file(path, 200);
    const tagResult damaged = m_session->Files().LoadDataFile(path);
    EXPECT_FALSE(damaged.ok);
    EXPECT_EQ(damaged.stringId, IDS_IMPORT_FAILED);
    EXPECT_NE(damaged.detail.find("a.data"), std::string::npos) << damaged.detail;
    EXPECT_EQ(m_view.pushes, pushes + 2);
    EXPECT_EQ(State().channels.size(), 2u);
    EXPECT_EQ(m_session->Traces().Trace(0).GetPointCount(), 0u);
    EXPECT_FALSE(m_session->Files().LoadDataFile(m_documents.File("none.data")).ok);
    EXPECT_EQ(m_view.pushes, pushes + 2); // a missing file touches nothing
}

TEST_F(SessionFilesTest, ExportAsksForANameAndForOverwriting) {
    m_session->OnExportData();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_NO_CHANNEL});
    EXPECT_TRUE(m_view.proposedNames.empty());
    Fill();
    m_session->OnExportData(); // cancelled
    ASSERT_EQ(m_view.proposedNames.size(), 1u);
    EXPECT_EQ(m_view.proposedNames[0].size(), 14u);
    EXPECT_EQ(m_view.messages.size(), 1u);

    m_view.savePath = m_documents.File("run.data");
    m_session->OnExportData();
    EXPECT_EQ(m_view.messages.back(), IDS_EXPORT_OK);
    EXPECT_TRUE(m_view.questions.empty());
    const auto size = std::filesystem::file_size(m_view.savePath);
    m_view.answer = false;
    m_session->Traces().Trace(0).AddPoint(5000, 1);
    m_session->OnExportData();
    EXPECT_EQ(m_view.questions, std::vector<int>{IDS_FILE_EXISTS});
    EXPECT_EQ(std::filesystem::file_size(m_view.savePath), size);

    // Only a path ending in exactly "data" is a data file.
    EXPECT_TRUE(IsDataFilePath("x/tracedata"));
    EXPECT_FALSE(IsDataFilePath("trace.DATA"));
    EXPECT_FALSE(IsDataFilePath("ata"));

    m_view.openPath = m_view.savePath;
    m_session->Channels().Delete(1);
    m_session->OnImportData();
    EXPECT_EQ(m_view.messages.back(), IDS_IMPORT_OK);
    EXPECT_EQ(State().channels.size(), 2u);
    m_view.openPath = m_documents.File("gone.data");
    m_session->OnImportData();
    EXPECT_EQ(m_view.messages.back(), IDS_IMPORT_FAILED);

    // Any other name is CSV, both ways; the import shows what it read.
    m_view.savePath = m_documents.File("trace.DATA");
    m_session->OnExportData();
    EXPECT_EQ(m_view.messages.back(), IDS_EXPORT_OK);
    m_session->Channels().Delete(1);
    m_session->Channels().Delete(0);
    tagLinkFields slow = m_session->Link().BeginCommSettings();
    slow.link.baudRate = 4800;
    m_session->Link().Set(slow);
    m_view.openPath = m_view.savePath;
    m_session->OnImportData();
    EXPECT_EQ(m_view.messages.back(), IDS_IMPORT_OK);
    ASSERT_EQ(State().channels.size(), 2u);
    EXPECT_EQ(m_session->Traces().Trace(0).GetPointCount(), 100u);
    EXPECT_EQ(m_view.statistics.at(1).latest, "49.500000");
    EXPECT_EQ(State().link.baudRate, 4800u); // a table carries no link settings
    std::ofstream(m_view.openPath) << "Time(ms),D0:INT\n1,\"2\n";
    m_session->OnImportData();
    EXPECT_EQ(m_view.messages.back(), IDS_IMPORT_FAILED);
    EXPECT_NE(m_view.details.back().find("line 2"), std::string::npos) << m_view.details.back();
    EXPECT_EQ(m_session->Traces().Trace(0).GetPointCount(), 100u);
}

TEST_F(SessionFilesTest, TrimmingSavesTheOlderHalfOfEveryTrace) {
    m_session->Channels().Add(Channel("D0", GCM_INT));
    m_session->Channels().Add(Channel("D1", GCM_INT));
    m_session->Channels().Add(Channel("D2", GCM_INT));
    m_session->Channels().ToggleVisibility(2); // hidden traces are trimmed too
    // The cache of the window's smallest setting, filled one point short of it.
    constexpr uint32_t kCache = 1'200'000;
    m_session->Fields().SetCache(true, kCache);
    std::vector<SChartXYPoint> points(kCache);
    for (uint32_t i = 0; i < kCache; ++i) {
        points[i] = {static_cast<double>(i), static_cast<double>(i % 1000)};
    }
    for (size_t k = 0; k < 3; ++k) {
        m_session->Traces().Trace(k).AddPoints(points.data(), kCache - 1);
    }
    m_session->Trimmer().TrimCache();
    EXPECT_FALSE(std::filesystem::exists(AutoSaveFolder()));
    for (size_t k = 0; k < 3; ++k) {
        m_session->Traces().Trace(k).AddPoints(&points[kCache - 1], 1);
    }
    m_session->Trimmer().TrimCache();
    // Cut at the time of point 599 999: the file holds the points up to it, the chart the rest.
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(m_session->Traces().Trace(k).GetPointCount(), 600'000u);
        EXPECT_EQ(m_session->Traces().Trace(k).GetXValue(0), 600'000.0);
    }
    EXPECT_EQ(m_session->Trimmer().TrimmedPoints(), 600'000u);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(AutoSaveFolder())) {
        files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(m_session->Trimmer().AutoSavedFiles(), std::vector<std::string>{files[0].string()});
    EXPECT_EQ(files[0].extension(), ".data");
    EXPECT_EQ(files[0].stem().string().size(), 14u);

    tagMonitorState saved;
    tagHeadlessTraces traces;
    ASSERT_EQ(ReadDataFile(files[0].string(), saved, *traces), EnumDataFileRead::Read);
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(traces->Trace(k).GetPointCount(), 600'000u);
        EXPECT_EQ(traces->Trace(k).GetXValue(599'999), 599'999.0);
    }

    // Auto-save off: the cut of the first full trace goes without a file, on every trace.
    m_session->Fields().SetCache(false, kCache);
    std::vector<SChartXYPoint> more(kCache);
    for (uint32_t i = 0; i < kCache; ++i) {
        more[i] = {kCache + static_cast<double>(i), 0.0};
    }
    m_session->Traces().Trace(0).AddPoints(more.data(), kCache - 600'000);
    m_session->Trimmer().TrimCache();
    EXPECT_EQ(m_session->Traces().Trace(0).GetPointCount(), 600'000u);
    // The cut time is the other traces' last point; the search never lands on it, so it stays.
    EXPECT_EQ(m_session->Traces().Trace(1).GetPointCount(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(AutoSaveFolder()), {}), 1);
}

// A full disk: the older half that cannot be saved stays in the traces, told once.
TEST_F(SessionFilesTest, AnOlderHalfThatCannotBeSavedStaysInMemory) {
    std::string folder = AutoSaveFolder();
    folder.pop_back();
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path());
    std::ofstream(folder) << "a file where the folder should be";
    m_session->Channels().Add(Channel("D0", GCM_INT));
    m_session->Fields().SetCache(true, 10);
    for (int i = 0; i < 30; ++i) {
        m_session->Traces().Trace(0).AddPoint(i, i);
        m_session->Trimmer().TrimCache();
    }
    m_view.PumpMessages();
    EXPECT_EQ(m_session->Traces().Trace(0).GetPointCount(), 30u);
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_CACHE_KEPT});
    EXPECT_TRUE(m_session->Trimmer().AutoSavedFiles().empty()); // no file claimed that is not there
}

TEST_F(MonitorSessionTest, TheStatusShowsWhatTheControllerHoldsAfterAWriteAndNeverAStaleSuccess) {
    const auto english = [](int id) { return std::string(EnglishStringById(id)); };
    const auto statusLine = [&] { return g_SessionStatusText(m_view.sessionStatus.back(), english); };
    m_session->Fields().SetWriteFields("D100", "1234", 1);
    m_session->OnWrite();
    m_view.PumpMessages();
    ASSERT_FALSE(m_view.sessionStatus.empty());
    EXPECT_NE(statusLine().find("D100 \u2190 1234 written, reads 1234"), std::string::npos) << statusLine();

    // Refused before anything is sent: the message says why, the line no longer claims a success.
    m_session->Fields().SetWriteFields("D100", "abc", 1);
    m_session->OnWrite();
    m_view.PumpMessages();
    EXPECT_EQ(m_view.messages.back(), IDS_WRITE_REFUSED);
    EXPECT_NE(m_view.details.back().find("INT (-32768..32767)"), std::string::npos) << m_view.details.back();
    EXPECT_NE(statusLine().find("D100 \u2190 abc not written: "), std::string::npos) << statusLine();

    // Checking off: the link still refuses what the element cannot hold.
    m_session->Fields().SetCheckWrites(false);
    m_session->Fields().SetWriteFields("D100", "70000", 1);
    m_session->OnWrite();
    m_view.PumpMessages();
    EXPECT_EQ(m_view.messages.back(), IDS_WRITE_FAILED);
    EXPECT_NE(statusLine().find("D100 \u2190 70000 not written: \"70000\" does not fit INT"),
              std::string::npos)
        << statusLine();

    m_link.Panel().offline = true; // the cable pulled
    m_session->Fields().SetWriteFields("D100", "5", 1);
    m_session->OnWrite();
    m_view.PumpMessages();
    EXPECT_EQ(m_view.messages.back(), IDS_WRITE_FAILED);
    EXPECT_NE(m_view.details.back().find("COM1, 19200 8N1: the controller does not answer"),
              std::string::npos)
        << m_view.details.back();
    EXPECT_NE(statusLine().find("not written"), std::string::npos);
}
