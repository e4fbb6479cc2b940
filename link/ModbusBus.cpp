#include "ModbusBus.h"

#include "kit/Log.h"
#include "kit/NumberText.h"

namespace {

tagModbusOutcome NotOpen() {
    return {tagModbusOutcome::Broken, 0, "the link is not open"};
}

} // namespace

bool CModbusBus::Open(std::unique_ptr<CModbusTransport> transport, const std::string& where,
                      std::string& error) {
    Close();
    std::lock_guard lock(m_io);
    m_where = where;
    if (!transport->Connect(error)) {
        g_Log().warn("{}: cannot open: {}", where, error);
        error = where + ": " + error;
        return false;
    }
    m_transport = std::move(transport);
    g_Log().info("{}: open (response timeout {} ms)", where, m_transport->ResponseTimeout().count());
    return true;
}

void CModbusBus::Close() {
    std::lock_guard lock(m_io);
    if (m_transport) {
        g_Log().info("{}: closed", m_where);
    }
    m_transport.reset();
}

bool CModbusBus::IsOpen() const {
    std::lock_guard lock(m_io);
    return m_transport != nullptr;
}

tagModbusOutcome CModbusBus::Worded(tagModbusOutcome outcome) const {
    if (outcome.kind == tagModbusOutcome::TimedOut && m_transport) {
        const double seconds = std::chrono::duration<double>(m_transport->ResponseTimeout()).count();
        outcome.text = "no answer in " + g_ShortestText(seconds) + " s";
    }
    return outcome;
}

tagModbusOutcome CModbusBus::Read(EnumModbusTable table, int start, int count, uint16_t* words) {
    std::lock_guard lock(m_io);
    return m_transport ? Worded(m_transport->Read(table, start, count, words)) : NotOpen();
}

tagModbusOutcome CModbusBus::WriteBit(int address, bool on) {
    std::lock_guard lock(m_io);
    return m_transport ? Worded(m_transport->WriteBit(address, on)) : NotOpen();
}

tagModbusOutcome CModbusBus::WriteRegisters(int address, const uint16_t* words, int count) {
    std::lock_guard lock(m_io);
    return m_transport ? Worded(m_transport->WriteRegisters(address, words, count)) : NotOpen();
}

tagModbusOutcome CModbusBus::WriteRegisterBit(int address, int bit, bool on) {
    std::lock_guard lock(m_io);
    if (!m_transport) {
        return NotOpen();
    }
    uint16_t word = 0;
    tagModbusOutcome done = m_transport->Read(MODBUS_HOLDING_REGISTERS, address, 1, &word);
    if (done.ok()) {
        word = static_cast<uint16_t>(on ? word | (1u << bit) : word & ~(1u << bit));
        done = m_transport->WriteRegisters(address, &word, 1);
    }
    return Worded(done);
}

std::chrono::milliseconds CModbusBus::ResponseTimeout() const {
    std::lock_guard lock(m_io);
    return m_transport ? m_transport->ResponseTimeout() : std::chrono::milliseconds(0);
}

void CModbusBus::SetResponseTimeout(std::chrono::milliseconds timeout) {
    std::lock_guard lock(m_io);
    if (m_transport) {
        m_transport->SetResponseTimeout(timeout);
    }
}

void CModbusBus::Flush() {
    std::lock_guard lock(m_io);
    if (m_transport) {
        m_transport->Flush();
    }
}
