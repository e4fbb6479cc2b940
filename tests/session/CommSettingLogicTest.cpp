#include "session/CommSettingLogic.h"
#include "TestCommView.h"
#include "support/LinkTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class CommSettingLogicTest : public CCommSettingFixture {
protected:
    void SetUp() override { m_sim.probeWaits = false; }

    CSimulatedLink m_link;
    CSimulatorPanel& m_sim = m_link.Panel();
};

} // namespace

TEST(CommSettingTestList, FortyNineFormatsInTheirOrder) {
    tagSerialInfo settings;
    settings.baudRate = 4800;
    settings.dataBits = 7;
    settings.parity = 1;
    const auto list = CCommSettingLogic::TestList(settings);
    ASSERT_EQ(list.size(), 49u);
    EXPECT_EQ(list[0].baudRate, 4800u);
    EXPECT_EQ(list[0].dataBits, 7u);
    EXPECT_EQ(list[0].parity, 1u);
    EXPECT_EQ(list[0].wait, 150);
    int waits = 0;
    for (const auto& entry : list) {
        waits += entry.wait;
    }
    EXPECT_EQ(waits, 7650);
    // Entries 7..12 are 9600 with (1,N) (1,E) (1,O) (2,N) (2,E) (2,O); 1200 waits 400.
    EXPECT_EQ(list[8].baudRate, 9600u);
    EXPECT_EQ(list[8].parity, 2u);
    EXPECT_EQ(list[8].stopBits, 1u);
    EXPECT_EQ(list[10].stopBits, 2u);
    EXPECT_EQ(list[10].parity, 0u);
    EXPECT_EQ(list[31].baudRate, 1200u);
    EXPECT_EQ(list[31].wait, 400);
    EXPECT_EQ(list[48].baudRate, 4800u);
    EXPECT_EQ(list[48].parity, 1u);
    EXPECT_EQ(list[48].stopBits, 2u);
}

TEST_F(CommSettingLogicTest, TestFindsAControllerAt9600EvenAfterTheDefaultsAndThe115200Variants) {
    m_sim.SetSerialFormat(9600, 8, 1, 2);
    Open();
    EXPECT_EQ(m_view.shown.baudIndex, 4); // "19200": the link's rate, not the list's second entry
    m_view.SelectSerialPort("COM3");
    m_logic->OnTest();
    const std::vector<std::string> expected{
        "Progress:COM3:19200,N,8,1",  "Progress:COM3:115200,N,8,1", "Progress:COM3:115200,E,8,1",
        "Progress:COM3:115200,O,8,1", "Progress:COM3:115200,N,8,2", "Progress:COM3:115200,E,8,2",
        "Progress:COM3:115200,O,8,2", "Progress:COM3:9600,N,8,1",   "Progress:COM3:9600,E,8,1"};
    EXPECT_EQ(m_view.repainted, expected);
    EXPECT_EQ(m_view.shown.progress, "Test success with baud rate 9600\nE,8,1");
    EXPECT_EQ(m_view.shown.baudIndex, 3); // "9600"
    EXPECT_EQ(m_settings.comPort, 3u);
    EXPECT_EQ(m_settings.baudRate, 9600u);
    EXPECT_EQ(m_settings.parity, 2u);
    EXPECT_FALSE(m_logic->TestRunning());
    EXPECT_EQ(m_view.waitCursor, 0);
    EXPECT_TRUE(m_view.messages.empty());
    uint32_t state = 0;
    EXPECT_EQ(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1); // left open at the found format
}

TEST_F(CommSettingLogicTest, TheControllersFormatByteOverridesTheEntry) {
    m_sim.formatReport = 0x58; // valid, odd parity, two stop bits, seven data bits
    Open();
    m_logic->OnTest();
    EXPECT_EQ(m_view.repainted.size(), 1u);
    EXPECT_EQ(m_settings.parity, 1u);
    EXPECT_EQ(m_settings.stopBits, 2u);
    EXPECT_EQ(m_settings.dataBits, 7u);
    EXPECT_EQ(m_view.shown.progress, "Test success with baud rate 19200\nO,7,2");
}

TEST_F(CommSettingLogicTest, NoControllerRestoresTheSettingsButKeepsTheTestedPort) {
    m_sim.SetSerialFormat(300, 8, 1, 0); // a format the list never tries
    m_type = INTERFACE_SERIAL;
    Open();
    m_view.SelectSerialPort("COM5");
    m_view.shown.highDelay = true;
    m_view.shown.timeoutText = "3";
    m_logic->OnTest();
    ASSERT_EQ(m_view.repainted.size(), 49u);
    EXPECT_EQ(m_view.repainted.back(), "Progress:COM5:4800,O,8,2");
    EXPECT_EQ(m_view.shown.progress, "Progress:Test failed!");
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_TEST_FAILED});
    tagSerialInfo expected;
    expected.comPort = 5;
    EXPECT_EQ(m_settings, expected); // the timeout of the test is not kept either
    EXPECT_EQ(m_type, static_cast<uint32_t>(INTERFACE_SERIAL));
    EXPECT_FALSE(m_logic->TestRunning());
    EXPECT_EQ(m_view.waitCursor, 0);
}

TEST_F(CommSettingLogicTest, EverythingButRepaintingWaitsWhileATestRuns) {
    m_sim.SetSerialFormat(300, 8, 1, 0);
    Open();
    int clicks = 0;
    m_view.duringRepaint = [&] {
        if (clicks++ == 3) {
            EXPECT_FALSE(m_logic->CanCancel());
            m_view.shown.interfaceChoice = INTERFACE_ETHERNET;
            m_logic->OnInterfaceChanged();
            m_logic->OnOK();
            m_logic->OnTest();
            m_view.shown.interfaceChoice = INTERFACE_SERIAL;
        }
    };
    m_logic->OnTest();
    EXPECT_EQ(m_view.repainted.size(), 49u); // no second walk inside the first
    EXPECT_EQ(m_type, static_cast<uint32_t>(INTERFACE_SERIAL));
    EXPECT_FALSE(m_view.accepted);
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_TEST_FAILED});
    EXPECT_TRUE(m_logic->CanCancel());
}

TEST_F(CommSettingLogicTest, TheTimeoutIsClampedOnOK) {
    struct tagCase {
        bool check;
        const char* text;
        uint32_t stored;
    };
    for (const tagCase& c : {tagCase{true, "25", 10}, tagCase{true, "0", 0}, tagCase{true, "-4", 0},
                             tagCase{true, "7", 7}, tagCase{false, "5", 0}}) {
        m_view = CTestCommView();
        m_settings = tagSerialInfo();
        Open();
        m_view.shown.highDelay = c.check;
        m_view.shown.timeoutText = c.text;
        m_logic->OnOK();
        EXPECT_TRUE(m_view.accepted) << c.text;
        EXPECT_EQ(m_settings.timeout, c.stored) << c.text;
    }
}

TEST_F(CommSettingLogicTest, AFieldWithoutAnIntegerStopsOKBeforeAnythingIsTried) {
    Open();
    m_view.shown.timeoutText = "1.5";
    m_logic->OnOK();
    EXPECT_EQ(m_view.notAnInteger, 1);
    EXPECT_FALSE(m_view.accepted);
    EXPECT_TRUE(m_view.messages.empty());
}

TEST_F(CommSettingLogicTest, TheHighDelayCheckEnablesTheTimeoutField) {
    m_settings.timeout = 4;
    Open();
    EXPECT_TRUE(m_view.shown.highDelay);
    EXPECT_TRUE(m_view.shown.timeoutEnabled);
    EXPECT_EQ(m_view.shown.timeoutText, "4");
    m_view.shown.highDelay = false;
    m_logic->OnHighDelay();
    EXPECT_FALSE(m_view.shown.timeoutEnabled);
    EXPECT_EQ(m_view.shown.timeoutText, "4");
}

TEST_F(CommSettingLogicTest, AStoredPortOtherThan9016ShowsTheEthernetModuleAnd502) {
    m_settings.tcpPort = 1234;
    m_type = INTERFACE_ETHERNET;
    Open();
    EXPECT_EQ(m_view.shown.interfaceChoice, static_cast<uint32_t>(INTERFACE_ETHERNET));
    EXPECT_EQ(m_view.shown.peerIndex, 1);
    EXPECT_EQ(m_view.shown.tcpPortText, "502");
    EXPECT_FALSE(m_view.shown.peerEnabled);
    EXPECT_TRUE(m_view.shown.ipEnabled && m_view.shown.tcpPortEnabled);
    EXPECT_FALSE(m_view.shown.serialPortsEnabled || m_view.shown.testEnabled || m_view.shown.usbPortsEnabled);
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_ETHERNET_OK});
    EXPECT_TRUE(m_view.accepted);
    EXPECT_EQ(m_settings.tcpPort, 502u);
    EXPECT_EQ(m_type, static_cast<uint32_t>(INTERFACE_ETHERNET));

    for (uint32_t type : {INTERFACE_SERIAL, INTERFACE_USB}) {
        m_view = CTestCommView();
        m_type = type;
        Open();
        EXPECT_EQ(m_view.shown.tcpPortText, "9016") << type;
    }
}

TEST_F(CommSettingLogicTest, AFailedEthernetOKPutsBackAddressPortAndInterface) {
    Open();
    m_view.shown.interfaceChoice = INTERFACE_ETHERNET;
    m_logic->OnInterfaceChanged();
    EXPECT_EQ(m_type, static_cast<uint32_t>(INTERFACE_ETHERNET)); // switched at once
    m_view.shown.ipAddress = 0; // the simulated controller cannot be reached at 0.0.0.0
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_ETHERNET_FAILED});
    EXPECT_FALSE(m_view.accepted);
    EXPECT_EQ(m_settings, tagSerialInfo());
    EXPECT_EQ(m_type, static_cast<uint32_t>(INTERFACE_ETHERNET));
}

TEST_F(CommSettingLogicTest, COM5WithOKAndNoTestOpensCOM5AtTheCurrentFormat) {
    Open();
    EXPECT_EQ(m_view.shown.serialPorts.size(), 3u);
    EXPECT_EQ(m_view.shown.serialIndex, 0); // COM1 of the settings
    m_view.SelectSerialPort("COM5");
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_SERIAL_SETUP_OK});
    EXPECT_TRUE(m_view.accepted);
    EXPECT_EQ(m_settings.comPort, 5u);
    EXPECT_EQ(m_settings.baudRate, 19200u);

    // At a format the controller does not answer, the dialog stays open.
    m_view = CTestCommView();
    m_sim.SetSerialFormat(9600, 8, 1, 0);
    Open();
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_SERIAL_SETUP_FAILED});
    EXPECT_FALSE(m_view.accepted);

    // A port that is gone from the list cannot be chosen.
    m_view = CTestCommView();
    m_view.ports.clear();
    Open();
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_SELECT_SERIAL_PORT});
}

TEST_F(CommSettingLogicTest, UsbListFollowsTheDeviceCount) {
    m_sim.usbCount = 0;
    m_type = INTERFACE_USB;
    Open();
    EXPECT_TRUE(m_view.shown.usbPorts.empty());
    EXPECT_TRUE(m_view.shown.usbPortsEnabled);
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_SELECT_USB_PORT});
    EXPECT_FALSE(m_view.accepted);

    m_sim.usbCount = 3;
    m_settings.usbPort = 2;
    m_view = CTestCommView();
    Open();
    EXPECT_EQ(m_view.shown.usbPorts, (std::vector<std::string>{"USB0", "USB1", "USB2"}));
    EXPECT_EQ(m_view.shown.usbIndex, 2);
    m_view.shown.usbIndex = 1;
    m_logic->OnOK();
    EXPECT_EQ(m_view.messages, std::vector<int>{IDS_USB_OK});
    EXPECT_EQ(m_settings.usbPort, 1u);
    EXPECT_EQ(m_type, static_cast<uint32_t>(INTERFACE_USB));
}

TEST_F(CommSettingLogicTest, ThePortListIsReadAgainOnDropDown) {
    Open();
    m_view.SelectSerialPort("COM3");
    m_view.ports = {"COM3", "COM7"};
    m_logic->OnDropDownPorts();
    EXPECT_EQ(m_view.shown.serialPorts, m_view.ports);
    EXPECT_EQ(m_view.shown.SerialPortName(), "COM3");
    m_view.ports = {"COM7"};
    m_logic->OnDropDownPorts();
    EXPECT_EQ(m_view.shown.SerialPortName(), "");
}
