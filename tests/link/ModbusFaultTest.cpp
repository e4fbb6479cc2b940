// A plant network's faults against the Modbus link: a reply that comes too late, a device that
// freezes, a device map with holes, over TCP and over RTU on a pseudo-terminal cable.
#include "TempFolder.h"
#include "kit/Log.h"
#include "link/Communicater.h"
#include "link/ModbusLink.h"
#include "link/ModbusTcpClient.h"
#include "link/SerialDevices.h"
#include "sim/ModbusSimServer.h"
#include "support/LinkTestHelpers.h"
#include "support/PseudoTerminalPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The link to the simulator's Modbus server, over TCP or over a pseudo-terminal cable, with a
// response timeout of one second.
class ModbusFaultTest : public ::testing::TestWithParam<bool> {
protected:
    bool Rtu() const { return GetParam(); }

    void SetUp() override {
        auto link = std::make_unique<CModbusLink>();
        m_link = link.get();
        CCommunicater::Instance(std::move(link));
        std::string error;
        m_info.timeout = 1;
        if (Rtu()) {
            m_cable = std::make_unique<CPseudoTerminalPair>(m_documents.Path(), "ttyS0", "plc");
            ASSERT_TRUE(m_cable->Ready()) << "socat did not make the pseudo-terminal pair";
            ASSERT_TRUE(m_server.OpenRtu(m_documents.File("plc"), 115200, 'N', 8, 1, error)) << error;
            g_SetSerialDirectory(m_documents.Path());
            m_info.comPort = 1;
            m_info.baudRate = 115200;
            CCommunicater::SetInterface(INTERFACE_SERIAL);
        } else {
            ASSERT_TRUE(m_server.ListenTcp("127.0.0.1", 0, error)) << error;
            m_info.ipAddress = 0x0100007F; // 127.0.0.1
            m_info.tcpPort = static_cast<uint32_t>(m_server.Port());
            CCommunicater::SetInterface(INTERFACE_ETHERNET);
        }
        m_server.Start();
        ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&m_info), 1) << m_link->LastError();
    }
    void TearDown() override {
        CCommunicater::Destroy();
        g_SetSerialDirectory({});
    }

    bool Start(const std::vector<tagOscilloElem>& channels, int periodMs) {
        return StartThroughLink(m_setting, channels, periodMs);
    }
    // Reads for a while, or until a read fails; false then.
    bool Read(std::chrono::milliseconds duration, std::vector<tagOscilloVal>& samples) {
        tagOscilloData data;
        bool ok = true;
        for (const auto end = Clock::now() + duration; ok && Clock::now() < end;) {
            std::this_thread::sleep_for(30ms);
            ok = CCommunicater::OscilloGetData(&data, nullptr, 1, 0) == 1;
        }
        samples.insert(samples.end(), data.samples.begin(), data.samples.end());
        return ok;
    }
    void Stop() {
        m_setting.run = 0;
        CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &m_setting, 1, 0);
    }

    CTempFolder m_documents;
    std::unique_ptr<CPseudoTerminalPair> m_cable;
    std::shared_ptr<CSimulatorPanel> m_panel = PollingPanel();
    CModbusSimServer m_server{m_panel};
    CModbusLink* m_link = nullptr;
    tagSerialInfo m_info;
    tagOscilloSetting m_setting;
};

} // namespace

TEST_P(ModbusFaultTest, AReplyPastTheTimeoutCostsTicksNotTheRecording) {
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT), Channel("D1", GCM_INT)}, 10)) << m_link->LastError();
    std::vector<tagOscilloVal> samples;
    ASSERT_TRUE(Read(300ms, samples));
    const size_t before = samples.size();
    m_panel->pauseNextReplyMs = 1500; // the next reply comes half a second after the timeout
    ASSERT_TRUE(Read(2500ms, samples)) << CCommunicater::LastError();
    Stop();
    const tagLinkStatistics statistics = CCommunicater::Statistics();
    EXPECT_GE(statistics.failedPolls, 1u);
    EXPECT_GE(statistics.skippedTicks, 100u); // the second and more that passed
    EXPECT_EQ(samples.size() + statistics.skippedTicks, samples.back().tick + 1u);
    // Samples again after the late reply, each one reading of the machine.
    ASSERT_GT(samples.size(), before + 20);
    for (const tagOscilloVal& sample : samples) {
        ASSERT_EQ(static_cast<int32_t>(sample.raw[1]), (static_cast<int64_t>(sample.raw[0]) / 10) % 1000);
    }
}

TEST_P(ModbusFaultTest, AFreezeLongerThanTheTimeoutEndsTheRecordingAndANewRunWorksAtOnce) {
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT)}, 10)) << m_link->LastError();
    std::vector<tagOscilloVal> samples;
    ASSERT_TRUE(Read(200ms, samples));
    const Clock::time_point frozen = Clock::now();
    m_panel->pauseNextReplyMs = 3000;
    EXPECT_FALSE(Read(10s, samples)); // the recording ends
    const auto took = Clock::now() - frozen;
    // A timeout, and the timeout again without a valid reply; over RTU the late reply that ends
    // the freeze shows the device out of step.
    EXPECT_GE(took, 1900ms);
    EXPECT_LT(took, Rtu() ? 3500ms : 3000ms);
    EXPECT_NE(CCommunicater::LastError().find("stopped answering"), std::string::npos);
    std::this_thread::sleep_until(frozen + 4000ms); // thawed; the late replies are out
    samples.clear();
    ASSERT_TRUE(Start({Channel("D10", GCM_DINT)}, 10)) << m_link->LastError(); // the first try
    ASSERT_TRUE(Read(300ms, samples)) << CCommunicater::LastError();
    Stop();
    EXPECT_GE(samples.size(), 10u);
}

TEST_P(ModbusFaultTest, ElementsAroundAHoleInTheDevicesMapAreReadApart) {
    m_panel->holeFirst = 60;
    m_panel->holeLast = 67;
    ASSERT_EQ(WriteThroughLink("D59", GCM_INT, "5"), 1) << m_link->LastError();
    ASSERT_EQ(WriteThroughLink("D68", GCM_INT, "9"), 1) << m_link->LastError();
    ASSERT_TRUE(Start({Channel("D59", GCM_INT), Channel("D68", GCM_INT), Channel("D10", GCM_DINT)}, 20))
        << m_link->LastError();
    std::vector<tagOscilloVal> samples;
    ASSERT_TRUE(Read(300ms, samples)) << CCommunicater::LastError();
    Stop();
    ASSERT_GE(samples.size(), 5u);
    EXPECT_EQ(samples.back().raw[0], 5u);
    EXPECT_EQ(samples.back().raw[1], 9u);
    // An element inside it fails the start, named.
    EXPECT_FALSE(Start({Channel("D59", GCM_INT), Channel("D62", GCM_INT)}, 20));
    // Named, after the port or address it was read from.
    const std::string error = CCommunicater::LastError();
    EXPECT_TRUE(error.ends_with(": D62: Illegal data address")) << error;
    EXPECT_TRUE(error.starts_with(GetParam() ? "COM1 \u2192 " : "127.0.0.1:")) << error;
}

// The log holds a line for each thing that went wrong on the link, and no more.
TEST_P(ModbusFaultTest, TheLogHasALineForEachLateReplySplitReadAndReconnect) {
    const std::string logFile = m_documents.File("link.log");
    ASSERT_TRUE(g_LogToFile(logFile, false));
    m_panel->holeFirst = 60;
    m_panel->holeLast = 67;
    ASSERT_TRUE(Start({Channel("D59", GCM_INT), Channel("D68", GCM_INT)}, 20)) << m_link->LastError();
    std::vector<tagOscilloVal> samples;
    ASSERT_TRUE(Read(200ms, samples));
    m_panel->pauseNextReplyMs = 1500; // half a second after the timeout
    ASSERT_TRUE(Read(2500ms, samples)) << CCommunicater::LastError();
    if (!Rtu()) {
        // The device drops the connection; the next request makes it again.
        m_panel->dropConnection = true;
        ASSERT_TRUE(Read(300ms, samples)) << CCommunicater::LastError();
    }
    Stop();
    g_LogToFile("/dev/null", false);
    std::ifstream in(logFile);
    std::string line;
    std::string all;
    std::map<std::string, int> seen;
    std::vector<std::string> events{"late reply dropped", "read in two parts"};
    if (!Rtu()) {
        events.push_back("connected again");
    }
    while (std::getline(in, line)) {
        all += line + "\n";
        for (const std::string& event : events) {
            seen[event] += line.find(event) != std::string::npos;
        }
    }
    for (const std::string& event : events) {
        EXPECT_EQ(seen[event], 1) << event << " in\n" << all;
    }
}

INSTANTIATE_TEST_SUITE_P(Transports, ModbusFaultTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Rtu" : "Tcp"; });

// The client's own frame reading, on replies a device might send.
TEST(ModbusTcpFrames, RepliesAreCutByTheirHeaderAndCheckedAgainstTheRequest) {
    const uint8_t reply[] = {0, 7, 0, 0, 0, 7, 1, 3, 4, 0x12, 0x34, 0xAB, 0xCD, 0xEE};
    tagTcpFrame frame;
    EXPECT_EQ(g_CutTcpFrame(reply, 6, frame), EnumTcpFrame::NeedMore);
    EXPECT_EQ(g_CutTcpFrame(reply, 12, frame), EnumTcpFrame::NeedMore);
    ASSERT_EQ(g_CutTcpFrame(reply, sizeof reply, frame), EnumTcpFrame::Frame);
    EXPECT_EQ(frame.transaction, 7);
    EXPECT_EQ(frame.frameSize, 13u); // the byte after it is the next frame's
    uint16_t words[2] = {};
    EXPECT_TRUE(g_ReadReplyPdu(frame.pdu, frame.pduSize, 3, 2, words).ok());
    EXPECT_EQ(words[1], 0xABCD);
    EXPECT_EQ(g_ReadReplyPdu(frame.pdu, frame.pduSize, 3, 3, words).kind, tagModbusOutcome::BadReply);
    EXPECT_EQ(g_ReadReplyPdu(frame.pdu, frame.pduSize, 4, 2, words).kind, tagModbusOutcome::BadReply);
    const uint8_t refused[] = {0x83, 2};
    const tagModbusOutcome exception = g_ReadReplyPdu(refused, 2, 3, 2, words);
    EXPECT_EQ(exception.exception, 2);
    EXPECT_EQ(exception.text, "Illegal data address");
    const uint8_t bits[] = {2, 1, 0b101};
    EXPECT_TRUE(g_ReadReplyPdu(bits, 3, 2, 3, words).ok());
    const uint8_t notModbus[] = {0, 1, 0, 9, 0, 3, 1, 3, 0};
    EXPECT_EQ(g_CutTcpFrame(notModbus, sizeof notModbus, frame), EnumTcpFrame::Bad);
    const uint8_t tooLong[] = {0, 1, 0, 0, 1, 0, 1};
    EXPECT_EQ(g_CutTcpFrame(tooLong, sizeof tooLong, frame), EnumTcpFrame::Bad);
}
