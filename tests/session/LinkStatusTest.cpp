// What the window learns of the link beyond a failed command: the map file's errors, once, and the
// ticks the sampling skipped.
#include "TempFolder.h"
#include "acquisition/StringIds.h"
#include "acquisition/StringTexts.h"
#include "link/Communicater.h"
#include "link/ModbusLink.h"
#include "session/MonitorSession.h"
#include "support/RecordingSurface.h"
#include "support/TestSessionView.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

TEST(LinkStatus, TheMapFilesErrorsAreShownOnceWithFileAndLine) {
    CTempFolder documents;
    std::filesystem::create_directories(documents.File("LadderDesk"));
    std::ofstream(documents.File("LadderDesk/ModbusMap.cfg")) << "# ours\nD holdings 5\n";
    CCommunicater::Instance(std::make_unique<CModbusLink>());
    {
        CTestSessionView view;
        CMonitorSession session(view);
        view.session = &session;
        session.LoadWorkspaceAtStart(); // as at start
        session.ReportLinkProblems();
        ASSERT_EQ(view.messages, std::vector<int>{IDS_MAP_FILE_ERRORS});
        EXPECT_NE(view.details[0].find("LadderDesk/ModbusMap.cfg, line 2: unknown table 'holdings'"),
                  std::string::npos)
            << view.details[0];
    }
    CCommunicater::Destroy();
}

TEST(LinkStatus, TheModeAndTheSkippedTicksAgainstAllTheTicksDue) {
    const auto english = [](int id) { return std::string(EnglishStringById(id)); };
    tagLinkStatistics statistics;
    EXPECT_EQ(g_SkippedTicksText(statistics, english), "Skipped: 0 (0.0 %)");
    statistics.skippedTicks = 12;
    statistics.polls = 2990;
    statistics.failedPolls = 2; // their ticks are among the skipped
    EXPECT_EQ(g_SkippedTicksText(statistics, english), "Skipped: 12 (0.4 %)");
    EXPECT_EQ(g_LinkStatusText(statistics, english), "Skipped: 12 (0.4 %)"); // no mode told yet
    statistics.mode = EnumSamplingMode::PolledWithClock;
    statistics.duplicates = 3;
    EXPECT_EQ(g_LinkStatusText(statistics, english),
              "Polled by this computer, timed by the controller's clock    Skipped: 12 (0.4 %)");
    EXPECT_EQ(g_LinkStatisticsDetail(statistics, english),
              "Polls: 2990; failed: 2; the controller's time seen again: 3");
    // Sampled in the controller, the records read are what was sampled.
    statistics.mode = EnumSamplingMode::SampledInController;
    statistics.records = 988;
    statistics.ringOverruns = 1;
    statistics.controllerPeriodMs = 0.5;
    EXPECT_EQ(g_LinkStatusText(statistics, english), "Sampled in the controller    Skipped: 12 (1.2 %)");
    EXPECT_EQ(g_LinkStatisticsDetail(statistics, english),
              "Records read: 988; ring overruns: 1; the controller's period: 0.5 ms");
}

TEST(LinkStatus, TheSessionsPartOfTheStatusLine) {
    const auto english = [](int id) { return std::string(EnglishStringById(id)); };
    tagMonitorState state;
    state.interfaceType = INTERFACE_ETHERNET;
    state.link.ipAddress = 0x0A01A8C0; // 192.168.1.10
    state.link.tcpPort = 502;
    tagSessionStatus status{INTERFACE_ETHERNET,
                            g_LinkAddressText(state),
                            true,
                            std::chrono::seconds(3723),
                            std::nullopt,
                            true,
                            {}};
    EXPECT_EQ(g_SessionStatusText(status, english),
              "Link: tcp 192.168.1.10:502    Recording 01:02:03    Journal on");
    status.journalFailure = "/x.journal: database or disk is full";
    EXPECT_EQ(g_SessionStatusText(status, english),
              "Link: tcp 192.168.1.10:502    Recording 01:02:03    Journal off");
    EXPECT_EQ(g_SessionStatusDetail(status), status.journalFailure);
    status.recording = false;
    status.journal = false;
    status.interfaceType = INTERFACE_SERIAL;
    status.link = g_LinkAddressText(tagMonitorState{});
    EXPECT_EQ(g_LinkText(tagMonitorState{}), "serial COM1 19200 8N1"); // the journal's words
    EXPECT_EQ(g_SessionStatusText(status, english), "Link: serial COM1 19200 8N1    Stopped");
}
