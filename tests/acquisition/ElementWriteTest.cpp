#include "acquisition/ElementWrite.h"
#include "TempFolder.h"
#include "acquisition/Trigger.h"
#include "link/Communicater.h"
#include "link/ModbusLink.h"
#include "link/SerialDevices.h"
#include "sim/ModbusSimServer.h"
#include "support/LinkTestHelpers.h"
#include "support/PseudoTerminalPair.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

tagWriteRequest Prepared(const std::string& address, const std::string& value, int typeIndex,
                         bool check = false) {
    const tagWritePlan plan = PrepareWrite(address, value, typeIndex, check);
    EXPECT_TRUE(plan.request.has_value()) << address << " " << value << ": " << plan.refusal;
    return plan.request.value_or(tagWriteRequest{});
}

// The reason checking gives, empty when the value went through.
std::string Refusal(const std::string& address, const std::string& value, int typeIndex) {
    const tagWritePlan plan = PrepareWrite(address, value, typeIndex, true);
    EXPECT_EQ(plan.request.has_value(), plan.refusal.empty());
    return plan.refusal;
}

} // namespace

TEST(ElementWrite, TypeFollowsTheElementFamily) {
    EXPECT_EQ(Prepared("m100", "5", 1), (tagWriteRequest{"M100", "ON", GCM_BOOL}));
    EXPECT_EQ(Prepared("D100", "0", 0), (tagWriteRequest{"D100", "0", GCM_INT}));
    EXPECT_EQ(Prepared("C5", "1", 0), (tagWriteRequest{"C5", "ON", GCM_BOOL}));
    EXPECT_EQ(Prepared("T5", "12", 1), (tagWriteRequest{"T5", "12", GCM_INT}));
    EXPECT_EQ(Prepared("D100.3", "1", 0), (tagWriteRequest{"D100.3", "1", GCM_INT}));
}

TEST(ElementWrite, UncheckedValuesAreReadAsTheOriginalProgramReadThem) {
    EXPECT_EQ(Prepared("D1", "1.5", 3).value, "1.500000");
    EXPECT_EQ(Prepared("D1", "abc", 3).value, "0.000000");
    EXPECT_EQ(Prepared("D1", "1e-7", 3).value, "0.000000");
    EXPECT_EQ(Prepared("Y0", "-1", 0).value, "OFF");
    EXPECT_EQ(Prepared("Y0", "2", 0).value, "ON");
    EXPECT_EQ(Prepared("D1", " 12abc ", 2).value, "12");
    EXPECT_EQ(Prepared("D1", "0x10", 1).value, "0");
    EXPECT_EQ(Prepared("D1", "1.5", 1).value, "1");
    // Not cut to 16 or 32 bits here: the link refuses what the element cannot hold.
    EXPECT_EQ(Prepared("D1", "70000", 1).value, "70000");
    EXPECT_EQ(Prepared("D1", "2147483648", 2).value, "2147483648");
    for (const char* address : {"X18", "LM10", "V3", "R5.3", "D5.16", "K5", "Q1", "D100Z1", ""}) {
        const tagWritePlan plan = PrepareWrite(address, "1", 1, false);
        EXPECT_FALSE(plan.request.has_value()) << address;
        EXPECT_TRUE(plan.refusal.empty()) << address; // silently
    }
    EXPECT_FALSE(PrepareWrite("D1", "   ", 1, false).request.has_value());
    EXPECT_TRUE(PrepareWrite("D1", "   ", 1, false).refusal.empty());
}

TEST(ElementWrite, CheckedValuesMustBeCompleteValuesOfTheElementsType) {
    struct tagCase {
        const char* address;
        const char* value;
        int typeIndex;
        const char* sent;    // what goes to the controller, or null when refused
        const char* because; // a part of the refusal
    };
    const tagCase cases[] = {
        {"D100", "32767", 1, "32767", nullptr},
        {"D100", " -5 ", 1, "-5", nullptr},
        {"D100", "abc", 1, nullptr, "INT (-32768..32767)"},
        {"D100", "1.5", 1, nullptr, "INT (-32768..32767)"},
        {"D100", "0x10", 1, nullptr, "INT (-32768..32767)"},
        {"D100", "70000", 1, nullptr, "INT (-32768..32767)"},
        {"D100", "-40000", 1, nullptr, "INT (-32768..32767)"},
        {"D100", "", 1, nullptr, "no value"},
        {"D100", "ON", 0, nullptr, "INT"}, // BOOL turns into INT on a word
        {"D200", "-2147483648", 2, "-2147483648", nullptr},
        {"D200", "2147483648", 2, nullptr, "DINT (-2147483648..2147483647)"},
        {"D30", "1.5", 3, "1.5", nullptr},
        {"D30", "0.1234567", 3, "0.1234567", nullptr}, // "%f" would send 0.123457
        {"D30", "1e-7", 3, "1e-07", nullptr},          // "%f" would send 0
        {"D30", "1e39", 3, nullptr, "REAL"},
        {"D30", "nan", 3, nullptr, "REAL"},
        {"D30", "1,5", 3, nullptr, "REAL"},
        {"M100", "on", 1, "ON", nullptr},
        {"M100", "5", 1, nullptr, "a bit (0, 1, ON or OFF)"},
        {"D100.3", "ON", 1, "1", nullptr}, // unchecked, ON would read as the number 0
        {"D100.3", "2", 1, nullptr, "a bit"},
        {"X18", "1", 0, nullptr, "not an element that can be written"},
        {"LM10", "1", 0, nullptr, "not an element that can be written"},
        {"", "1", 1, nullptr, "no element"},
    };
    for (const tagCase& c : cases) {
        const std::string refusal = Refusal(c.address, c.value, c.typeIndex);
        if (c.sent) {
            EXPECT_EQ(refusal, "") << c.address << " " << c.value;
            EXPECT_EQ(Prepared(c.address, c.value, c.typeIndex, true).value, c.sent);
        } else {
            EXPECT_NE(refusal.find(c.because), std::string::npos)
                << c.address << " " << c.value << ": " << refusal;
        }
    }
}

// The same writes through each kind of link: the in-process simulated controller, Modbus TCP to
// the simulator's server, and Modbus RTU to it over a pseudo-terminal cable. Also run under German
// and French locales.
class WriteOverEveryLink : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const std::string kind = GetParam();
        if (kind == "sim") {
            m_sim = std::make_unique<CSimulatedLink>();
            CCommunicater::SetInterface(INTERFACE_SERIAL);
            ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&m_info), 1);
            return;
        }
        auto link = std::make_unique<CModbusLink>();
        CCommunicater::Instance(std::move(link));
        std::string error;
        if (kind == "tcp") {
            ASSERT_TRUE(m_server.ListenTcp("127.0.0.1", 0, error)) << error;
            CCommunicater::SetInterface(INTERFACE_ETHERNET);
            m_info.ipAddress = 0x0100007F;
            m_info.tcpPort = static_cast<uint32_t>(m_server.Port());
        } else {
            m_cable = std::make_unique<CPseudoTerminalPair>(m_folder.Path(), "ttyS0", "plc");
            ASSERT_TRUE(m_cable->Ready()) << "socat did not make the pseudo-terminal pair";
            ASSERT_TRUE(m_server.OpenRtu(m_cable->Second(), 19200, 'N', 8, 1, error)) << error;
            g_SetSerialDirectory(m_folder.Path());
            CCommunicater::SetInterface(INTERFACE_SERIAL);
        }
        m_server.Start();
        m_info.timeout = 1;
        ASSERT_EQ(CCommunicater::OpenCPPSerialPort(&m_info), 1) << CCommunicater::LastError();
    }
    void TearDown() override {
        CCommunicater::Destroy();
        m_server.Stop();
        g_SetSerialDirectory({});
    }
    static tagWriteOutcome Write(const std::string& address, const std::string& value, int typeIndex,
                                 bool check) {
        const tagWritePlan plan = PrepareWrite(address, value, typeIndex, check);
        if (!plan.request) {
            return {{address, value, GCM_INT}, false, {}, plan.refusal};
        }
        return WriteElement(*plan.request);
    }
    static std::string Holds(const std::string& address, EnumGCMDataType type) {
        uint32_t raw = 0;
        EXPECT_EQ(CCommunicater::OscilloReadElem(address, type, &raw), 1) << CCommunicater::LastError();
        return std::to_string(static_cast<int32_t>(raw));
    }

    CTempFolder m_folder;
    std::unique_ptr<CSimulatedLink> m_sim;
    CModbusSimServer m_server;
    std::unique_ptr<CPseudoTerminalPair> m_cable;
    tagSerialInfo m_info;
};

TEST_P(WriteOverEveryLink, NothingWrapsAndEveryWriteIsReadBack) {
    const tagWriteOutcome first = Write("D100", "1234", 1, true);
    ASSERT_TRUE(first.written) << first.reason;
    EXPECT_EQ(first.readBack, "1234");
    // Beyond the element: refused by the link in either mode, naming the range; nothing changes.
    for (const bool check : {false, true}) {
        for (const char* value : {"70000", "-40000"}) {
            const tagWriteOutcome wide = Write("D100", value, 1, check);
            EXPECT_FALSE(wide.written) << value;
            EXPECT_NE(wide.reason.find("-32768..32767"), std::string::npos) << wide.reason;
            EXPECT_EQ(Holds("D100", GCM_INT), "1234");
        }
    }
    ASSERT_TRUE(Write("D200", "-7", 2, true).written);
    const tagWriteOutcome dint = Write("D200", "2147483648", 2, false);
    EXPECT_FALSE(dint.written);
    EXPECT_NE(dint.reason.find("DINT"), std::string::npos) << dint.reason;
    EXPECT_EQ(Holds("D200", GCM_DINT), "-7");
    // A REAL as typed, whatever the locale.
    for (const bool check : {false, true}) {
        const tagWriteOutcome real = Write("D30", "1.5", 3, check);
        ASSERT_TRUE(real.written) << real.reason;
        EXPECT_EQ(real.readBack, "1.5");
    }
    // A typo: refused with checking, sent as the original program sent it without.
    const tagWriteOutcome typo = Write("D100", "abc", 1, true);
    EXPECT_FALSE(typo.written);
    EXPECT_EQ(Holds("D100", GCM_INT), "1234");
    const tagWriteOutcome lenient = Write("D100", "abc", 1, false);
    EXPECT_TRUE(lenient.written);
    EXPECT_EQ(lenient.readBack, "0");
    const tagWriteOutcome bit = Write("M8", "5", 1, false);
    EXPECT_TRUE(bit.written);
    EXPECT_EQ(bit.readBack, "ON");
    // A 32-bit counter, and one bit of a word that leaves the others as they are.
    EXPECT_EQ(Write("C210", "100000", 2, true).readBack, "100000");
    ASSERT_TRUE(Write("D300", "1", 1, true).written);
    const tagWriteOutcome wordBit = Write("D300.4", "1", 0, true);
    ASSERT_TRUE(wordBit.written) << wordBit.reason;
    EXPECT_EQ(Holds("D300", GCM_INT), "17");
    if (std::string(GetParam()) != "sim") {
        EXPECT_FALSE(Write("X3", "1", 0, true).written); // Modbus inputs are read-only
    }
}

INSTANTIATE_TEST_SUITE_P(Links, WriteOverEveryLink, ::testing::Values("sim", "tcp", "rtu"),
                         [](const auto& info) { return std::string(info.param); });

TEST(TriggerCondition, ComparesAsConfigured) {
    EXPECT_TRUE(EvaluateTriggerCondition(5.0, 5.0, TRIGGER_EQUAL));
    EXPECT_TRUE(EvaluateTriggerCondition(5.0, 5.0000000005, TRIGGER_EQUAL));
    EXPECT_FALSE(EvaluateTriggerCondition(5.0, 5.000000002, TRIGGER_EQUAL));
    EXPECT_FALSE(EvaluateTriggerCondition(3, 3, TRIGGER_GREATER));
    EXPECT_TRUE(EvaluateTriggerCondition(3, 3, TRIGGER_GREATER_EQUAL));
    EXPECT_TRUE(EvaluateTriggerCondition(2, 3, TRIGGER_LESS));
    EXPECT_TRUE(EvaluateTriggerCondition(2, 3, TRIGGER_LESS_EQUAL));
    for (uint32_t code = 0; code <= 6; ++code) {
        EXPECT_FALSE(EvaluateTriggerCondition(std::nan(""), 1.0, code)) << code;
        EXPECT_FALSE(EvaluateTriggerCondition(1.0, std::nan(""), code)) << code;
    }
    EXPECT_FALSE(EvaluateTriggerCondition(9, 1, 5));
}
