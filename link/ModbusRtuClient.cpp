#include "ModbusRtuClient.h"
#include "kit/Log.h"

#include <modbus/modbus.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The pause after which a reply that started coming is over: many character times at any rate.
constexpr std::chrono::milliseconds kQuietAfterReply{20};

} // namespace

CModbusRtuClient::CModbusRtuClient(std::string device, int baud, char parity, int dataBits, int stopBits,
                                   int unit)
    : m_device(std::move(device)), m_baud(baud), m_parity(parity), m_dataBits(dataBits), m_stopBits(stopBits),
      m_unit(unit) {}

CModbusRtuClient::~CModbusRtuClient() {
    Close();
}

bool CModbusRtuClient::Connect(std::string& error) {
    Close();
    m_ctx = modbus_new_rtu(m_device.c_str(), m_baud, m_parity, m_dataBits, m_stopBits);
    if (!m_ctx) {
        error = modbus_strerror(errno);
        return false;
    }
    modbus_set_slave(m_ctx, m_unit);
    SetResponseTimeout(m_timeout);
    if (modbus_connect(m_ctx) != 0) {
        error = modbus_strerror(errno);
        modbus_free(m_ctx);
        m_ctx = nullptr;
        return false;
    }
    modbus_flush(m_ctx); // what a device sent to the connection before
    m_lateReplyDue = false;
    return true;
}

void CModbusRtuClient::Close() {
    if (m_ctx) {
        modbus_close(m_ctx);
        modbus_free(m_ctx);
        m_ctx = nullptr;
    }
}

void CModbusRtuClient::SetResponseTimeout(std::chrono::milliseconds timeout) {
    m_timeout = timeout;
    if (m_ctx) {
        const auto ms = static_cast<uint32_t>(timeout.count());
        modbus_set_response_timeout(m_ctx, ms / 1000, ms % 1000 * 1000);
    }
}

void CModbusRtuClient::Flush() {
    if (m_ctx) {
        modbus_flush(m_ctx);
    }
}

tagModbusOutcome CModbusRtuClient::Resynchronize() {
    if (!m_lateReplyDue) {
        return tagModbusOutcome::Success();
    }
    m_lateReplyDue = false;
    const int fd = modbus_get_socket(m_ctx);
    const Clock::time_point deadline = Clock::now() + m_timeout;
    bool heard = false;
    while (Clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const auto wait = heard ? std::min(left, kQuietAfterReply) : left;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(wait.count()) + 1) <= 0) {
            if (heard) {
                break; // the late reply is over
            }
            continue;
        }
        uint8_t chunk[256];
        heard = read(fd, chunk, sizeof chunk) > 0 || heard;
    }
    modbus_flush(m_ctx);
    if (heard) {
        g_Log().info("{}: late reply dropped", m_device);
        return tagModbusOutcome::Success();
    }
    // Nothing came: one discrete input, which no read of the recording asks for in this form. Its
    // answer, or a refusal of it, shows the device in step; another reply is a late one.
    uint8_t bit = 0;
    const tagModbusOutcome probe = Outcome(modbus_read_input_bits(m_ctx, 0, 1, &bit));
    const bool inStep = probe.ok() || probe.kind == tagModbusOutcome::Exception;
    g_Log().info("{}: resynchronising after a timeout: the device is {}", m_device,
                 inStep ? "in step" : "not in step yet");
    return inStep ? tagModbusOutcome::Success() : probe;
}

tagModbusOutcome CModbusRtuClient::Outcome(int result) {
    if (result >= 0) {
        return tagModbusOutcome::Success();
    }
    const int error = errno;
    if (error > MODBUS_ENOBASE && error < MODBUS_ENOBASE + 0x20) {
        const int code = error - MODBUS_ENOBASE;
        return {tagModbusOutcome::Exception, code, g_ModbusExceptionText(code)};
    }
    if (error == ETIMEDOUT) {
        g_Log().warn("{}: no answer in {} ms", m_device, m_timeout.count());
        m_lateReplyDue = true;
        return {tagModbusOutcome::TimedOut, 0, modbus_strerror(error)};
    }
    if (error == EMBBADCRC || error == EMBBADDATA || error == EMBBADSLAVE || error == EMBBADEXC ||
        error == EMBMDATA) {
        m_lateReplyDue = true; // the rest of a spoilt frame may still come
        return {tagModbusOutcome::BadReply, 0, modbus_strerror(error)};
    }
    return {tagModbusOutcome::Broken, 0, modbus_strerror(error)};
}

tagModbusOutcome CModbusRtuClient::Read(EnumModbusTable table, int start, int count, uint16_t* words) {
    if (!m_ctx) {
        return {tagModbusOutcome::Broken, 0, "the link is not open"};
    }
    if (const tagModbusOutcome step = Resynchronize(); !step.ok()) {
        return step;
    }
    int read = -1;
    if (table == MODBUS_COILS || table == MODBUS_DISCRETE_INPUTS) {
        std::vector<uint8_t> bits(static_cast<size_t>(std::max(count, 0)));
        read = table == MODBUS_COILS ? modbus_read_bits(m_ctx, start, count, bits.data())
                                     : modbus_read_input_bits(m_ctx, start, count, bits.data());
        for (int i = 0; i < read; ++i) {
            words[i] = bits[i];
        }
    } else {
        read = table == MODBUS_HOLDING_REGISTERS ? modbus_read_registers(m_ctx, start, count, words)
                                                 : modbus_read_input_registers(m_ctx, start, count, words);
    }
    if (read >= 0 && read != count) {
        return {tagModbusOutcome::BadReply, 0, "short reply"};
    }
    return Outcome(read);
}

tagModbusOutcome CModbusRtuClient::WriteBit(int address, bool on) {
    if (!m_ctx) {
        return {tagModbusOutcome::Broken, 0, "the link is not open"};
    }
    if (const tagModbusOutcome step = Resynchronize(); !step.ok()) {
        return step;
    }
    return Outcome(modbus_write_bit(m_ctx, address, on ? 1 : 0));
}

tagModbusOutcome CModbusRtuClient::WriteRegisters(int address, const uint16_t* words, int count) {
    if (!m_ctx) {
        return {tagModbusOutcome::Broken, 0, "the link is not open"};
    }
    if (const tagModbusOutcome step = Resynchronize(); !step.ok()) {
        return step;
    }
    return Outcome(count == 1 ? modbus_write_register(m_ctx, address, words[0])
                              : modbus_write_registers(m_ctx, address, count, words));
}
