// The connection to one Modbus device, shared by everything that talks to it: one request at a
// time, a timeout in words, and every failure prefixed by the port or address and its settings.
#pragma once

#include "ModbusTransport.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

class CModbusBus {
public:
    // Makes the connection; false with the reason (which names the place).
    bool Open(std::unique_ptr<CModbusTransport> transport, const std::string& where, std::string& error);
    void Close();
    bool IsOpen() const;

    // "COM1 -> /dev/ttyS0, 19200 8N1" or "192.168.1.10:502"; empty before Open.
    const std::string& Where() const { return m_where; }
    // What went wrong, after the place.
    std::string Where(const std::string& what) const {
        return m_where.empty() ? what : m_where + ": " + what;
    }

    tagModbusOutcome Read(EnumModbusTable table, int start, int count, uint16_t* words);
    tagModbusOutcome WriteBit(int address, bool on);
    tagModbusOutcome WriteRegisters(int address, const uint16_t* words, int count);
    // A bit of a holding register: read, change, write back, in one hold of the line.
    tagModbusOutcome WriteRegisterBit(int address, int bit, bool on);

    std::chrono::milliseconds ResponseTimeout() const;
    void SetResponseTimeout(std::chrono::milliseconds timeout);
    // Drops what the device sent that nobody asked for any more.
    void Flush();

private:
    // A timeout in words ("no answer in 0.5 s"); the lock is held.
    tagModbusOutcome Worded(tagModbusOutcome outcome) const;

    mutable std::mutex m_io;
    std::unique_ptr<CModbusTransport> m_transport;
    std::string m_where;
};
