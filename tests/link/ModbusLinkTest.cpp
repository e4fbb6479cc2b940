#include "link/ModbusLink.h"
#include "TempFolder.h"
#include "link/Communicater.h"
#include "link/SerialDevices.h"
#include "sim/ModbusSimServer.h"
#include "sim/SimulatedMachine.h"
#include "support/LinkTestHelpers.h"
#include "support/PseudoTerminalPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The link without the in-process simulator, so the facade takes the Modbus transports.
class ModbusFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto link = std::make_unique<CModbusLink>();
        m_link = link.get();
        CCommunicater::Instance(std::move(link));
    }
    void TearDown() override { CCommunicater::Destroy(); }

    bool Start(const std::vector<tagOscilloElem>& channels, int periodMs) {
        return StartThroughLink(m_setting, channels, periodMs);
    }
    std::vector<tagOscilloVal> Read(std::chrono::milliseconds duration) {
        tagOscilloData data;
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end) {
            EXPECT_EQ(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1) << m_link->LastError();
            std::this_thread::sleep_for(30ms);
        }
        return data.samples;
    }
    // Stops the sampling and takes what it still queued.
    std::vector<tagOscilloVal> Stop() {
        m_setting.run = 0;
        EXPECT_EQ(CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &m_setting, 1, 0), 1);
        tagOscilloData data;
        EXPECT_EQ(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1) << m_link->LastError();
        return data.samples;
    }

    CTempFolder m_documents;
    CModbusLink* m_link = nullptr;
    tagOscilloSetting m_setting;
};

class ModbusTcpTest : public ModbusFixture {
protected:
    void SetUp() override {
        ModbusFixture::SetUp();
        std::string error;
        ASSERT_TRUE(m_server.ListenTcp("127.0.0.1", 0, error)) << error;
        m_server.Start();
        CCommunicater::SetInterface(INTERFACE_ETHERNET);
        m_info.ipAddress = 0x0100007F; // 127.0.0.1
        m_info.tcpPort = static_cast<uint32_t>(m_server.Port());
        m_info.timeout = 1;
        ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&m_info), 1) << m_link->LastError();
    }
    std::shared_ptr<CSimulatorPanel> m_panel = PollingPanel();
    CModbusSimServer m_server{m_panel};
    tagSerialInfo m_info;
};

} // namespace

TEST_F(ModbusTcpTest, RecordsTicksWithTheServersValuesAndCountsWhatItSkips) {
    uint32_t state = 0;
    EXPECT_EQ(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT), Channel("D1", GCM_INT), Channel("M1", GCM_BOOL),
                       Channel("AXIS0", GCM_DINT, 17)},
                      10))
        << m_link->LastError();
    // 10 ms, or longer when the first poll found the machine too busy for it.
    EXPECT_GE(m_setting.actualPeriod, 80);
    EXPECT_EQ(m_setting.actualPeriod % 8, 0);
    std::vector<tagOscilloVal> samples = Read(1000ms);
    const std::vector<tagOscilloVal> rest = Stop();
    samples.insert(samples.end(), rest.begin(), rest.end());
    ASSERT_GE(samples.size(), 20u);
    // However busy the machine, every tick is a sample or counted as skipped.
    EXPECT_EQ(samples.size() + CCommunicater::Statistics().skippedTicks, samples.back().tick + 1u);
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_TRUE(i == 0 || samples[i].tick > samples[i - 1].tick) << i;
        // D10 and D1 come in one request: D1 is the ramp at D10's millisecond.
        const auto ms = static_cast<int64_t>(samples[i].raw[0]);
        EXPECT_EQ(static_cast<int32_t>(samples[i].raw[1]), (ms / 10) % 1000);
        // M1 toggles every 100 ms of the controller's time. It is a coil, and coils come first: a
        // request of its own after the previous sample's D10 and before this one's, so its state
        // at some moment between.
        const auto toggleAt = [](int64_t t) { return static_cast<uint32_t>((t / 100) % 2); };
        const int64_t previous = i > 0 ? static_cast<int64_t>(samples[i - 1].raw[0]) : ms - 1000;
        EXPECT_TRUE(ms - previous >= 100 || samples[i].raw[2] == toggleAt(previous) ||
                    samples[i].raw[2] == toggleAt(ms))
            << i;
        ASSERT_TRUE(i == 0 || ms >= static_cast<int64_t>(samples[i - 1].raw[0])) << i;
        // The axis comes in a request of its own, a little later: its position at some moment of
        // the next second.
        const auto position = [](int64_t t) {
            return CSimulatedMachine::Motion(CSimulatedMachine::kAxis0, static_cast<double>(t)).position;
        };
        const double read = static_cast<int32_t>(samples[i].raw[3]);
        bool seen = false;
        for (int64_t t = ms; t < ms + 1000 && !seen; ++t) {
            seen = read >= std::min(position(t), position(t + 1)) - 1 &&
                   read <= std::max(position(t), position(t + 1)) + 1;
        }
        EXPECT_TRUE(seen) << "sample " << i;
    }
}

TEST_F(ModbusTcpTest, AServerThatGoesAwayFailsTheNextRead) {
    ASSERT_TRUE(Start({Channel("D0", GCM_INT)}, 10));
    Read(200ms);
    m_server.~CModbusSimServer();
    new (&m_server) CModbusSimServer(m_panel); // a fresh, silent one for the fixture to destroy
    tagOscilloData data;
    long result = 1;
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (result == 1 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(50ms);
        result = CCommunicater::OscilloGetData(&data, nullptr, 1, 0);
    }
    EXPECT_NE(result, 1);
    EXPECT_FALSE(m_link->IsOpen());
}

TEST_F(ModbusTcpTest, MalformedAndTruncatedRepliesAreErrors) {
    uint32_t state = 0;
    for (auto fault : {CSimulatorPanel::REPLY_MALFORMED, CSimulatorPanel::REPLY_TRUNCATED}) {
        m_panel->replyFault = fault;
        EXPECT_NE(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
        EXPECT_FALSE(CCommunicater::LastError().empty());
        // The link recovers once the controller behaves.
        m_panel->replyFault = CSimulatorPanel::REPLY_OK;
        CCommunicater::CloseCPPSerialPort();
        ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&m_info), 1);
        EXPECT_EQ(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
    }
}

TEST_F(ModbusTcpTest, OverrunningPollsSkipTicksInsteadOfBunching) {
    ASSERT_TRUE(Start({Channel("D1", GCM_INT)}, 5));
    m_panel->answerDelayMs = 12;
    // However busy the machine, until ten samples are in (or five seconds are up).
    std::vector<tagOscilloVal> samples;
    for (auto end = std::chrono::steady_clock::now() + 5s;
         samples.size() < 10 && std::chrono::steady_clock::now() < end;) {
        const std::vector<tagOscilloVal> more = Read(200ms);
        samples.insert(samples.end(), more.begin(), more.end());
    }
    const std::vector<tagOscilloVal> rest = Stop();
    samples.insert(samples.end(), rest.begin(), rest.end());
    ASSERT_GE(samples.size(), 10u);
    for (size_t i = 1; i < samples.size(); ++i) {
        ASSERT_GT(samples[i].tick, samples[i - 1].tick);
    }
    EXPECT_GT(samples.back().tick, samples.size()); // gaps in the numbering
    EXPECT_EQ(samples.size() + CCommunicater::Statistics().skippedTicks, samples.back().tick + 1u);
}

TEST_F(ModbusTcpTest, UnmappedElementsAreRefused) {
    EXPECT_FALSE(Start({Channel("W30000", GCM_INT)}, 10));
    EXPECT_EQ(CCommunicater::LastError(), "W30000 has no Modbus address in the map");
}

TEST(ModbusMap, DefaultAddressesAndWordOrder) {
    CModbusMap map;
    auto at = [&](const std::string& name, EnumGCMDataType type, uint16_t code = 0) {
        return map.Locate(*g_ResolveElement(name, code, true), type);
    };
    EXPECT_EQ(at("X17", GCM_BOOL)->table, MODBUS_DISCRETE_INPUTS);
    EXPECT_EQ(at("X17", GCM_BOOL)->address, 15);
    EXPECT_EQ(at("M100", GCM_BOOL)->address, 1100);
    EXPECT_EQ(at("D200", GCM_DINT)->count, 2);
    EXPECT_EQ(at("T5", GCM_BOOL)->address, 19005);
    EXPECT_EQ(at("T5", GCM_INT)->address, 9029);
    EXPECT_EQ(at("C201", GCM_DINT)->address, 9738);
    EXPECT_EQ(at("AXIS3", GCM_DINT, 17)->address, 1000 + 3 * 64 + 34);
    EXPECT_EQ(at("AXIS3", GCM_DINT, 17)->table, MODBUS_INPUT_REGISTERS);
    EXPECT_EQ(at("D5.3", GCM_BOOL)->bit, 3);
    EXPECT_TRUE(at("W22535", GCM_INT).has_value());
    EXPECT_FALSE(at("W22535", GCM_DINT).has_value()); // the second register would pass 65535
    EXPECT_EQ(map.Join(0x5678, 0x1234), 0x12345678u);

    std::string error;
    ASSERT_TRUE(map.Parse(
        "# comment\nword_order high_first\nW holding 50000  # moved\nunit 3\nSM none\ntcp_port 502\n",
        error));
    EXPECT_EQ(map.TcpPort(), 502u);
    EXPECT_EQ(map.Join(0x1234, 0x5678), 0x12345678u);
    EXPECT_EQ(at("W0", GCM_INT)->address, 50000);
    EXPECT_EQ(map.Unit(), 3);
    EXPECT_FALSE(at("SM1", GCM_BOOL).has_value());
}

TEST(ModbusMap, ABadFileIsReportedAndTheDefaultStays) {
    CModbusMap map;
    std::string error;
    EXPECT_FALSE(map.Parse("D holding 100\nQ coils 5\n", error));
    EXPECT_EQ(error, "line 2: unknown element 'Q'");
    EXPECT_FALSE(map.Parse("D holding 70000\n", error));
    EXPECT_EQ(error, "line 1: the base address is a number from 0 to 65535");
    EXPECT_FALSE(map.Parse("word_order sideways\n", error));
    EXPECT_FALSE(map.Parse("tcp_port 70000\n", error));
    EXPECT_EQ(error, "line 1: tcp_port is a number from 1 to 65535");
    EXPECT_EQ(map.TcpPort(), 0u);
    EXPECT_EQ(map.Locate(*g_ResolveElement("D1", 0, true), GCM_INT)->address, 1); // unchanged

    CTempFolder folder;
    std::filesystem::create_directories(folder.File("LadderDesk"));
    std::ofstream(folder.File("LadderDesk/ModbusMap.cfg")) << "D holdings 5\n";
    CModbusLink link;
    EXPECT_NE(link.MapError().find("line 1: unknown table 'holdings'"), std::string::npos);
}

// RTU through a pseudo-terminal pair made by socat: the link on one end, the server on the other.
TEST_F(ModbusFixture, RtuAt115200EvenParityOverAPseudoTerminalPair) {
    const std::string dir = m_documents.Path();
    CPseudoTerminalPair cable(dir, "ttyS0", "plc");
    ASSERT_TRUE(cable.Ready()) << "socat did not make the pseudo-terminal pair";

    CModbusSimServer server;
    std::string error;
    ASSERT_TRUE(server.OpenRtu(dir + "/plc", 115200, 'E', 8, 1, error)) << error;
    server.Start();
    g_SetSerialDirectory(dir);
    tagSerialInfo info;
    info.comPort = 1;
    info.baudRate = 115200;
    info.parity = 2;
    CCommunicater::SetInterface(INTERFACE_SERIAL);
    ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&info), 1) << m_link->LastError();
    std::vector<uint8_t> reply;
    EXPECT_EQ(CCommunicater::TestBauteRate(nullptr, 100, &reply, nullptr, 1, 0), 1) << m_link->LastError();
    EXPECT_TRUE(reply.empty()); // Modbus reports no serial format
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT), Channel("D1", GCM_INT), Channel("D100", GCM_INT)}, 20))
        << m_link->LastError();
    EXPECT_EQ(WriteThroughLink("D100", GCM_INT, "7"), 1) << m_link->LastError();
    std::vector<tagOscilloVal> samples = Read(500ms);
    const std::vector<tagOscilloVal> rest = Stop();
    samples.insert(samples.end(), rest.begin(), rest.end());
    CCommunicater::CloseCPPSerialPort();
    g_SetSerialDirectory({});
    ASSERT_GE(samples.size(), 5u);
    // A serial line shared with a write may overrun a slot now and then: the tick numbers then
    // show the gap, the link counts it, and every sample still holds one consistent reading.
    EXPECT_EQ(samples.size() + CCommunicater::Statistics().skippedTicks, samples.back().tick + 1u);
    for (size_t i = 0; i < samples.size(); ++i) {
        EXPECT_TRUE(i == 0 ? samples[i].tick == 0 : samples[i].tick > samples[i - 1].tick) << i;
        EXPECT_EQ(static_cast<int32_t>(samples[i].raw[1]),
                  (static_cast<int64_t>(samples[i].raw[0]) / 10) % 1000);
    }
    EXPECT_EQ(samples.back().raw[2], 7u);
}
