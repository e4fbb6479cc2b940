// Modbus RTU through libmodbus on a serial or USB serial device. RTU frames carry no transaction
// id: after a request timed out, what the device still sends is waited for and dropped (up to one
// response timeout) before the next request, so that a late reply is never taken for the next.
// When nothing came, a request of another function that only a device in step can answer comes
// first: a device that froze and answers what queued up meanwhile is caught by it.
#pragma once

#include "ModbusTransport.h"

struct _modbus;

class CModbusRtuClient : public CModbusTransport {
public:
    CModbusRtuClient(std::string device, int baud, char parity, int dataBits, int stopBits, int unit);
    ~CModbusRtuClient() override;

    bool Connect(std::string& error) override;
    void Close() override;
    void SetResponseTimeout(std::chrono::milliseconds timeout) override;
    std::chrono::milliseconds ResponseTimeout() const override { return m_timeout; }
    void Flush() override;

    tagModbusOutcome Read(EnumModbusTable table, int start, int count, uint16_t* words) override;
    tagModbusOutcome WriteBit(int address, bool on) override;
    tagModbusOutcome WriteRegisters(int address, const uint16_t* words, int count) override;

private:
    // What errno says of the last libmodbus call; a timeout leaves a late reply to drop.
    tagModbusOutcome Outcome(int result);
    // Before a request: drops the late reply of one that timed out, or makes sure the device is in
    // step again; the failure when it is not.
    tagModbusOutcome Resynchronize();

    const std::string m_device;
    const int m_baud;
    const char m_parity;
    const int m_dataBits;
    const int m_stopBits;
    const int m_unit;
    std::chrono::milliseconds m_timeout{500};
    _modbus* m_ctx = nullptr;
    bool m_lateReplyDue = false;
};
