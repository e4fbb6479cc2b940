// Sampling in the controller over the wire: the Modbus link against the simulator's server with
// its trace block, at 1 ms over TCP and over a pseudo-terminal cable, against a scan-bound device
// where polling cannot be exact, through late replies, and with the map moving or turning the
// block off.
#include "TempFolder.h"
#include "kit/DocPath.h"
#include "kit/KitHelpers.h"
#include "link/Communicater.h"
#include "link/ModbusLink.h"
#include "link/SerialDevices.h"
#include "sim/ModbusSimServer.h"
#include "sim/SimulatedMachine.h"
#include "support/LinkTestHelpers.h"
#include "support/PseudoTerminalPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class TraceBlockLinkTest : public ::testing::Test {
protected:
    void TearDown() override {
        CCommunicater::Destroy();
        g_SetSerialDirectory({});
        g_SetDocPath({});
    }
    // The server on TCP with the panel as it is now, and the link to it with the map lines given.
    void Connect(const std::string& mapLines = {}) {
        g_SetDocPath(m_documents.Path());
        std::filesystem::create_directories(m_documents.File("LadderDesk"));
        std::ofstream(m_documents.File("LadderDesk/ModbusMap.cfg")) << mapLines;
        m_server = std::make_unique<CModbusSimServer>(m_panel);
        std::string error;
        ASSERT_TRUE(m_server->ListenTcp("127.0.0.1", 0, error)) << error;
        m_server->Start();
        CCommunicater::Instance(std::make_unique<CModbusLink>());
        CCommunicater::SetInterface(INTERFACE_ETHERNET);
        m_info.ipAddress = 0x0100007F; // 127.0.0.1
        m_info.tcpPort = static_cast<uint32_t>(m_server->Port());
        m_info.timeout = 1;
        ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&m_info), 1) << CCommunicater::LastError();
    }
    bool Start(const std::vector<tagOscilloElem>& channels, int periodMs) {
        return StartThroughLink(m_setting, channels, periodMs);
    }
    // Reads as the recorder does for a while, then stops; every read must succeed.
    std::vector<tagOscilloVal> Record(std::chrono::milliseconds duration) {
        tagOscilloData data;
        for (const auto end = Clock::now() + duration; Clock::now() < end;) {
            std::this_thread::sleep_for(30ms);
            EXPECT_EQ(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1) << CCommunicater::LastError();
        }
        m_setting.run = 0;
        CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &m_setting, 1, 0);
        return data.samples;
    }
    // Each sample filed under its tick holds the controller's millisecond (channel 0, D10) of
    // that tick: the first one's plus the tick in periods.
    static size_t Misfiled(const std::vector<tagOscilloVal>& samples, int periodMs) {
        size_t misfiled = 0;
        for (const tagOscilloVal& sample : samples) {
            const int64_t expected = static_cast<int64_t>(samples.front().raw[0]) +
                                     (static_cast<int64_t>(sample.tick) - samples.front().tick) * periodMs;
            misfiled += static_cast<int64_t>(sample.raw[0]) != expected;
        }
        return misfiled;
    }

    CTempFolder m_documents;
    std::shared_ptr<CSimulatorPanel> m_panel = std::make_shared<CSimulatorPanel>();
    std::unique_ptr<CModbusSimServer> m_server;
    tagSerialInfo m_info;
    tagOscilloSetting m_setting;
};

} // namespace

TEST_F(TraceBlockLinkTest, SixChannelsAtOneMillisecondOverTcpEveryTickOnceForAMinute) {
    Connect();
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT), Channel("D1", GCM_INT), Channel("D20", GCM_REAL),
                       Channel("M3", GCM_BOOL), Channel("C200", GCM_DINT), Channel("X5", GCM_BOOL)},
                      1))
        << CCommunicater::LastError();
    EXPECT_EQ(m_setting.actualPeriod, 8);
    const std::vector<tagOscilloVal> samples = Record(60s);
    ASSERT_GT(samples.size(), 55'000u);
    for (size_t i = 0; i < samples.size(); ++i) {
        const tagOscilloVal& s = samples[i];
        ASSERT_EQ(s.tick, i);
        const auto ms = static_cast<int64_t>(s.raw[0]);
        ASSERT_EQ(ms, static_cast<int64_t>(samples[0].raw[0]) + static_cast<int64_t>(i)) << i;
        ASSERT_EQ(static_cast<int16_t>(s.raw[1]), CSimulatedMachine::Ramp(static_cast<double>(ms))) << i;
        // Taken within the millisecond D10 gives: the wave moves less than 0.005 in one.
        ASSERT_NEAR(g_IntToFloat(s.raw[2]), CSimulatedMachine::RealWave(static_cast<double>(ms)), 0.005) << i;
        ASSERT_EQ(s.raw[3], static_cast<uint32_t>(ms / 400 % 2)) << i;
        ASSERT_EQ(s.raw[4], static_cast<uint32_t>(ms / 10)) << i;
        ASSERT_EQ(s.raw[5], static_cast<uint32_t>(ms / 1800 % 2)) << i;
    }
    const tagLinkStatistics statistics = CCommunicater::Statistics();
    EXPECT_EQ(statistics.mode, EnumSamplingMode::SampledInController);
    EXPECT_EQ(statistics.skippedTicks, 0u);
    EXPECT_EQ(statistics.ringOverruns, 0u);
    EXPECT_GE(statistics.records, samples.size());
    EXPECT_EQ(statistics.controllerPeriodMs, 1.0);
}

TEST_F(TraceBlockLinkTest, OverASerialCableEveryTickOnce) {
    CPseudoTerminalPair cable(m_documents.Path(), "ttyS0", "plc");
    ASSERT_TRUE(cable.Ready()) << "socat did not make the pseudo-terminal pair";
    CModbusSimServer server(m_panel);
    std::string error;
    ASSERT_TRUE(server.OpenRtu(m_documents.File("plc"), 115200, 'N', 8, 1, error)) << error;
    server.Start();
    g_SetSerialDirectory(m_documents.Path());
    CCommunicater::Instance(std::make_unique<CModbusLink>());
    CCommunicater::SetInterface(INTERFACE_SERIAL);
    m_info.comPort = 1;
    m_info.baudRate = 115200;
    m_info.timeout = 1;
    ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&m_info), 1) << CCommunicater::LastError();
    std::vector<tagOscilloElem> channels{Channel("D10", GCM_DINT)};
    for (const char* name : {"D0", "D1", "D2", "D100", "T1"}) {
        channels.push_back(Channel(name, GCM_INT));
    }
    ASSERT_TRUE(Start(channels, 2)) << CCommunicater::LastError();
    const std::vector<tagOscilloVal> samples = Record(5s);
    ASSERT_GT(samples.size(), 2000u);
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(samples[i].tick, i);
        ASSERT_EQ(static_cast<int16_t>(samples[i].raw[2]), CSimulatedMachine::Ramp(samples[i].raw[0])) << i;
    }
    EXPECT_EQ(Misfiled(samples, 2), 0u);
    CCommunicater::Destroy(); // before the server goes
}

TEST_F(TraceBlockLinkTest, AScanBoundDeviceMisfilesPolledTimesUnlessAClockOrTheBlockTimesThem) {
    // The device answers at the end of each 5 ms scan.
    m_panel->scanMs = 5;
    m_panel->traceBlock = false;
    Connect();
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT), Channel("D1", GCM_INT)}, 1)) << CCommunicater::LastError();
    const std::vector<tagOscilloVal> blind = Record(2s);
    ASSERT_GT(blind.size(), 20u);
    EXPECT_EQ(CCommunicater::Statistics().mode, EnumSamplingMode::PolledByComputer);
    // Polled blind, the link cannot keep 1 ms against a 5 ms scan: it stretches its period to
    // what the first polls took, or files samples at times the controller did not take them
    // (which of the two depends on how the first polls met the scans).
    EXPECT_TRUE(m_setting.actualPeriod > 8 || Misfiled(blind, 1) > 0)
        << m_setting.actualPeriod << " " << Misfiled(blind, m_setting.actualPeriod / 8);
    CCommunicater::Destroy();

    // With D10 as the clock every sample is filed at the millisecond it was taken, none twice.
    Connect("clock D10\n");
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT), Channel("D1", GCM_INT)}, 1)) << CCommunicater::LastError();
    EXPECT_EQ(m_setting.actualPeriod, 8); // the clock keeps the period
    const std::vector<tagOscilloVal> clocked = Record(2s);
    ASSERT_GT(clocked.size(), 100u);
    EXPECT_EQ(Misfiled(clocked, 1), 0u);
    for (size_t i = 1; i < clocked.size(); ++i) {
        ASSERT_GT(clocked[i].tick, clocked[i - 1].tick);
    }
    const tagLinkStatistics statistics = CCommunicater::Statistics();
    EXPECT_EQ(statistics.mode, EnumSamplingMode::PolledWithClock);
    EXPECT_GT(statistics.skippedTicks, clocked.size()); // four ticks of five have no sample
    CCommunicater::Destroy();

    // Sampled in the controller, every tick is there and exact.
    m_panel->traceBlock = true;
    Connect();
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT), Channel("D1", GCM_INT)}, 1)) << CCommunicater::LastError();
    const std::vector<tagOscilloVal> traced = Record(2s);
    ASSERT_GT(traced.size(), 1500u);
    EXPECT_EQ(Misfiled(traced, 1), 0u);
    EXPECT_EQ(traced.back().tick + 1, traced.size());
}

TEST_F(TraceBlockLinkTest, ALateReplyCostsNoTickWhileTheRingHoldsTheRecords) {
    Connect();
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT), Channel("D1", GCM_INT)}, 1)) << CCommunicater::LastError();
    std::this_thread::sleep_for(300ms);
    m_panel->pauseNextReplyMs = 1500; // past the response timeout of 1 s; the ring holds 3.2 s
    const std::vector<tagOscilloVal> samples = Record(3s);
    const tagLinkStatistics statistics = CCommunicater::Statistics();
    EXPECT_GE(statistics.failedPolls, 1u);
    EXPECT_EQ(statistics.skippedTicks, 0u);
    ASSERT_GT(samples.size(), 3000u);
    EXPECT_EQ(samples.back().tick + 1, samples.size());
    EXPECT_EQ(Misfiled(samples, 1), 0u);
}

TEST_F(TraceBlockLinkTest, TheMapMovesOrTurnsOffTheBlockAndABlockThatCannotServeFailsTheStart) {
    // Nothing at the place the map names: the link polls.
    Connect("trace_block 30000\n");
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT)}, 10)) << CCommunicater::LastError();
    Record(100ms);
    EXPECT_EQ(CCommunicater::Statistics().mode, EnumSamplingMode::PolledByComputer);
    CCommunicater::Destroy();
    Connect("trace_block none\n");
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT)}, 10)) << CCommunicater::LastError();
    Record(100ms);
    EXPECT_EQ(CCommunicater::Statistics().mode, EnumSamplingMode::PolledByComputer);
    CCommunicater::Destroy();
    // T values moved where the controller has no element: its block cannot sample T5. The start
    // fails with the reason, and does not fall back to polling.
    Connect("T holding 42900\n");
    EXPECT_FALSE(Start({Channel("D10", GCM_DINT), Channel("T5", GCM_INT)}, 10));
    EXPECT_NE(CCommunicater::LastError().find("T5: the trace block cannot reach the element"),
              std::string::npos)
        << CCommunicater::LastError();
}
