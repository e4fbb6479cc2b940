// The communication dialog's logic over the real transports: a pseudo-terminal cable to
// chronoscope-plcsim for serial, the same program on a TCP port for Ethernet, and a cable with
// nobody at the other end.
#include "TestCommView.h"
#include "link/SerialDevices.h"
#include "sim/SimulatedMachine.h"
#include "support/LinkTestHelpers.h"
#include "support/PlcsimProcess.h"
#include "support/PseudoTerminalPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

// chronoscope-plcsim as its own process.
class CPlcsim : public CPlcsimProcess {
public:
    explicit CPlcsim(const std::vector<std::string>& arguments)
        : CPlcsimProcess(CHRONOSCOPE_PLCSIM, arguments) {}
};

class CommSettingWireTest : public CCommSettingFixture {
protected:
    void TearDown() override {
        CCommunicater::Destroy();
        g_SetSerialDirectory({});
    }
    // The Modbus link starts here, once a test has written the map file it reads.
    void Open() {
        CCommunicater::Instance();
        CCommSettingFixture::Open();
    }
    // Records D10 (milliseconds) and D1 (the ramp at that millisecond, read in the same request).
    void ExpectARecordingOfTheMachine() {
        tagOscilloSetting setting;
        setting.channels = {Channel("D10", GCM_DINT), Channel("D1", GCM_INT)};
        setting.requestedPeriod = 20 * 8;
        setting.run = 1;
        ASSERT_EQ(CCommunicater::OscilloSetData(OSCILLO_CMD_LOAD, &setting, 1, 0), 1);
        ASSERT_EQ(CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &setting, 1, 0), 1);
        tagOscilloData data;
        for (int i = 0; i < 10; ++i) {
            std::this_thread::sleep_for(40ms);
            ASSERT_EQ(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1);
        }
        setting.run = 0;
        CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &setting, 1, 0);
        ASSERT_GE(data.samples.size(), 5u);
        for (const tagOscilloVal& sample : data.samples) {
            const double ms = static_cast<double>(static_cast<int32_t>(sample.raw[0]));
            EXPECT_EQ(static_cast<int16_t>(sample.raw[1]), CSimulatedMachine::Ramp(ms));
        }
    }
};

} // namespace

TEST_F(CommSettingWireTest, OverAPseudoTerminalTheFirstEntryAnswersAndOKRecords) {
    CPseudoTerminalPair cable(m_documents.Path(), "ttyS1", "plc");
    ASSERT_TRUE(cable.Ready()) << "socat did not make the pseudo-terminal pair";
    CPlcsim plc({"--rtu", cable.Second(), "--baud", "115200", "--format", "8E1"});
    ASSERT_NE(plc.Banner().find("Modbus RTU"), std::string::npos) << plc.Banner();
    g_SetSerialDirectory(m_documents.Path());
    m_view.ports = {"COM2"}; // ttyS1
    Open();
    EXPECT_EQ(m_view.shown.SerialPortName(), ""); // the settings name COM1
    m_view.SelectSerialPort("COM2");
    m_logic->OnTest();
    EXPECT_EQ(m_view.repainted, std::vector<std::string>{"Progress:COM2:19200,N,8,1"});
    EXPECT_EQ(m_view.shown.progress, "Test success with baud rate 19200\nN,8,1");
    EXPECT_EQ(m_settings.comPort, 2u);
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_SERIAL_SETUP_OK});
    ASSERT_TRUE(m_view.accepted);
    ExpectARecordingOfTheMachine();
}

TEST_F(CommSettingWireTest, ASilentLineFailsAfterTheSumOfTheWaits) {
    CPseudoTerminalPair cable(m_documents.Path(), "ttyS0", "nobody");
    ASSERT_TRUE(cable.Ready()) << "socat did not make the pseudo-terminal pair";
    g_SetSerialDirectory(m_documents.Path());
    m_view.ports = {"COM1"};
    m_settings.timeout = 3; // the link's own timeout must not stretch the probes
    Open();
    const auto start = std::chrono::steady_clock::now();
    m_logic->OnTest();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(m_view.repainted.size(), 49u);
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_TEST_FAILED});
    EXPECT_GE(took, 7650ms);
    EXPECT_LT(took, 30s); // the link's timeout each time would be 147 s
}

TEST_F(CommSettingWireTest, EthernetReachesADeviceOnTheMapFilesPort) {
    CPlcsim plc({"--tcp", "127.0.0.1:0"});
    ASSERT_GT(plc.Port(), 0) << plc.Banner();
    std::filesystem::create_directories(m_documents.File("LadderDesk"));
    std::ofstream(m_documents.File("LadderDesk/ModbusMap.cfg")) << "tcp_port " << plc.Port() << "\n";
    m_type = INTERFACE_ETHERNET;
    m_settings.ipAddress = 0x0100007F; // 127.0.0.1
    Open();
    EXPECT_EQ(m_view.shown.tcpPortText, std::to_string(plc.Port())); // the port the link will use
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_ETHERNET_OK});
    ASSERT_TRUE(m_view.accepted);
    EXPECT_EQ(m_settings.tcpPort, 9016u); // the dialog's port stays; the map file redirects it
    ExpectARecordingOfTheMachine();
}
