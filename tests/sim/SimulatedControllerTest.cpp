#include "sim/SimulatedController.h"
#include "kit/ElementKinds.h"
#include "kit/KitHelpers.h"
#include "link/Communicater.h"
#include "link/SerialDevices.h"
#include "sim/SimulatedMachine.h"
#include "support/LinkTestHelpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

namespace {

class SimulatedControllerTest : public ::testing::Test {
protected:
    // First, so that it goes last.
    CSimulatedLink m_link;

    void SetUp() override {
        m_sim.probeWaits = false;
        CCommunicater::SetInterface(INTERFACE_SERIAL);
        tagSerialInfo info;
        ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&info), 1);
    }

    // Loads the channels at the period (ms) and starts sampling.
    void Start(const std::vector<tagOscilloElem>& channels, int periodMs) {
        m_setting.channels = channels;
        m_setting.requestedPeriod = static_cast<uint16_t>(periodMs * 8);
        m_setting.actualPeriod = m_setting.requestedPeriod;
        ASSERT_EQ(CCommunicater::OscilloSetData(OSCILLO_CMD_LOAD, &m_setting, 1, 0), 1);
        m_setting.run = 1;
        ASSERT_EQ(CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &m_setting, 1, 0), 1);
    }

    // Reads like the recording worker does for the given time.
    std::vector<tagOscilloVal> Read(std::chrono::milliseconds duration) {
        tagOscilloData data;
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end) {
            EXPECT_EQ(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_EQ(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1);
        return data.samples;
    }

    CSimulatorPanel& m_sim = m_link.Panel();
    tagOscilloSetting m_setting;
};

} // namespace

TEST_F(SimulatedControllerTest, SamplesCarryConsecutiveTicksAndTheMachinesValues) {
    Start({Channel("D0", GCM_INT), Channel("M1", GCM_BOOL), Channel("AXIS0", GCM_DINT, 17)}, 10);
    EXPECT_EQ(m_setting.actualPeriod, 80);
    const std::vector<tagOscilloVal> samples = Read(std::chrono::milliseconds(1000));

    ASSERT_GE(samples.size(), 50u);
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(samples[i].tick, i);
        const double t = m_sim.MachineTimeOfTick(samples[i].tick);
        EXPECT_EQ(static_cast<int32_t>(samples[i].raw[0]), CSimulatedMachine::Sine(t));
        EXPECT_EQ(samples[i].raw[1], static_cast<uint32_t>(static_cast<int64_t>(std::floor(t / 100.0)) % 2));
        const double position = CSimulatedMachine::Motion(CSimulatedMachine::kAxis0, t).position;
        EXPECT_EQ(static_cast<int32_t>(samples[i].raw[2]), std::lround(position));
    }
    // Consecutive samples are one period apart on the controller's clock.
    EXPECT_DOUBLE_EQ(m_sim.MachineTimeOfTick(7) - m_sim.MachineTimeOfTick(6), 10.0);
}

TEST_F(SimulatedControllerTest, WrittenElementsShowUpInTheFollowingSamples) {
    Start({Channel("D100", GCM_INT), Channel("X17", GCM_BOOL), Channel("D300", GCM_REAL)}, 10);
    std::vector<tagOscilloVal> before = Read(std::chrono::milliseconds(100));
    ASSERT_EQ(WriteThroughLink("D100", GCM_INT, "1234"), 1);
    ASSERT_EQ(WriteThroughLink("X17", GCM_BOOL, "ON"), 1); // octal address 15 on the wire
    ASSERT_EQ(WriteThroughLink("D300", GCM_REAL, "2.5"), 1);
    std::vector<tagOscilloVal> after = Read(std::chrono::milliseconds(100));

    ASSERT_FALSE(before.empty());
    ASSERT_FALSE(after.empty());
    for (const tagOscilloVal& s : before) {
        EXPECT_EQ(s.raw[0], 0u);
        EXPECT_EQ(s.raw[1], 0u);
    }
    for (const tagOscilloVal& s : after) {
        EXPECT_EQ(s.raw[0], 1234u);
        EXPECT_EQ(s.raw[1], 1u);
        EXPECT_EQ(g_IntToFloat(s.raw[2]), 2.5f);
    }
    EXPECT_EQ(after.front().tick, before.back().tick + 1); // no sample lost around the writes
}

TEST_F(SimulatedControllerTest, InjectedReadFailureIsReportedOnceThenReadingGoesOn) {
    Start({Channel("D1", GCM_INT)}, 5);
    tagOscilloData data;
    m_sim.failReads = 1;
    EXPECT_NE(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1);
    EXPECT_FALSE(data.samples.empty());
    EXPECT_EQ(data.samples.front().tick, 0u);
}

TEST_F(SimulatedControllerTest, RefusedCommandsAndUnknownChannelsFail) {
    tagOscilloSetting setting;
    setting.channels = {Channel("D1", GCM_INT)};
    setting.requestedPeriod = 160;
    m_sim.refusedCommand = OSCILLO_CMD_LOAD;
    EXPECT_NE(CCommunicater::OscilloSetData(OSCILLO_CMD_LOAD, &setting, 1, 0), 1);
    m_sim.refusedCommand = 0;
    EXPECT_EQ(CCommunicater::OscilloSetData(OSCILLO_CMD_LOAD, &setting, 1, 0), 1);

    setting.channels = {Channel("D8000", GCM_INT)};
    EXPECT_NE(CCommunicater::OscilloSetData(OSCILLO_CMD_LOAD, &setting, 1, 0), 1);
    setting.channels = {Channel("T1", GCM_REAL)};
    EXPECT_NE(CCommunicater::OscilloSetData(OSCILLO_CMD_LOAD, &setting, 1, 0), 1);

    // Start without a channel list loaded.
    CCommunicater::Destroy();
    CCommunicater::Instance();
    tagSerialInfo info;
    CCommunicater::OpenCPPSerialPort(&info);
    setting.run = 1;
    EXPECT_NE(CCommunicater::OscilloSetData(OSCILLO_CMD_RUN, &setting, 1, 0), 1);
}

TEST_F(SimulatedControllerTest, AnswersOnlyAtItsOwnSerialFormat) {
    m_sim.SetSerialFormat(9600, 8, 1, 2);
    uint32_t state = 0;
    std::vector<uint8_t> reply;
    EXPECT_NE(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
    EXPECT_NE(CCommunicater::TestBauteRate(nullptr, 100, &reply, nullptr, 1, 0), 1);
    EXPECT_TRUE(reply.empty());

    tagSerialInfo info;
    info.baudRate = 9600;
    info.parity = 2;
    ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&info), 1);
    uint8_t first = 0;
    EXPECT_EQ(CCommunicater::TestBauteRate(&first, 100, &reply, nullptr, 1, 0), 1);
    ASSERT_FALSE(reply.empty());
    EXPECT_EQ(reply[0], 0x08 | (2 << 4) | 0x80); // valid, even parity, 1 stop bit, 8 data bits
    EXPECT_EQ(first, reply[0]);
    EXPECT_EQ(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
}

TEST_F(SimulatedControllerTest, UsbAndEthernetLinks) {
    m_sim.usbCount = 2;
    EXPECT_EQ(CCommunicater::GetUSBCount(), 2);
    tagSerialInfo info;
    CCommunicater::SetInterface(INTERFACE_USB);
    info.usbPort = 2;
    EXPECT_EQ(CCommunicater::OpenCPPSerialPort(&info), 0);
    info.usbPort = 1;
    EXPECT_EQ(CCommunicater::OpenCPPSerialPort(&info), 1);
    CCommunicater::SetInterface(INTERFACE_ETHERNET);
    uint32_t state = 0;
    // Switching the interface closed the link; the remembered settings reopen it on demand.
    EXPECT_EQ(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
    std::vector<uint8_t> reply;
    EXPECT_NE(CCommunicater::TestBauteRate(nullptr, 100, &reply, nullptr, 1, 0), 1); // serial only
}

TEST_F(SimulatedControllerTest, OfflineControllerFailsEveryCall) {
    Start({Channel("D1", GCM_INT)}, 10);
    m_sim.offline = true;
    tagOscilloData data;
    uint32_t state = 0;
    EXPECT_NE(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1);
    EXPECT_NE(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
    EXPECT_NE(WriteThroughLink("D1", GCM_INT, "1"), 1);
}

TEST_F(SimulatedControllerTest, SlowAnswersDelayButSucceed) {
    m_sim.answerDelayMs = 50;
    uint32_t state = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(CommunicaterWithoutSimulator, ASerialPortWithoutDeviceFailsCleanly) {
    const std::string empty = std::filesystem::temp_directory_path() / "chronoscope-no-devices";
    std::filesystem::create_directories(empty);
    g_SetSerialDirectory(empty);
    CCommunicater::Instance();
    tagSerialInfo info;
    EXPECT_EQ(CCommunicater::OpenCPPSerialPort(&info), 0);
    EXPECT_EQ(CCommunicater::LastError(),
              "COM1 \u2192 " + empty + "/ttyS0, 19200 8N1: No such file or directory");
    uint32_t state = 0;
    EXPECT_NE(CCommunicater::GetGCMState(&state, nullptr, 1, 0), 1);
    tagOscilloData data;
    EXPECT_NE(CCommunicater::OscilloGetData(&data, nullptr, 1, 0), 1);
    EXPECT_EQ(CCommunicater::GetUSBCount(), 0);
    CCommunicater::Destroy();
    g_SetSerialDirectory({});
}

TEST(SimulatedMachine, AxisMotionIsConsistent) {
    const auto& profile = CSimulatedMachine::kAxis0;
    double previous = CSimulatedMachine::Motion(profile, 0.0).position;
    for (double t = 1.0; t < 12000.0; t += 1.0) {
        const tagAxisMotion m = CSimulatedMachine::Motion(profile, t);
        ASSERT_GE(m.position, -1e-6);
        ASSERT_LE(m.position, profile.distance + 1e-6);
        ASSERT_LE(std::abs(m.velocity), profile.maxVelocity + 1e-6);
        // Position moves by the mean velocity over the millisecond.
        const double mean = (m.velocity + CSimulatedMachine::Motion(profile, t - 1.0).velocity) / 2.0;
        ASSERT_NEAR(m.position - previous, mean / 1000.0, 0.1) << t;
        ASSERT_EQ(m.moving, m.velocity != 0.0 || m.acceleration != 0.0) << t;
        previous = m.position;
    }
}
