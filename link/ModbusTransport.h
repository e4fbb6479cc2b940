// One Modbus request at a time to one device, over TCP or RTU: the reads and writes the link makes,
// each with what became of it. The link decides what a failure means for the recording.
#pragma once

#include "ModbusMap.h"

#include <chrono>
#include <cstdint>
#include <string>

struct tagModbusOutcome {
    enum EnumKind {
        Done,
        Exception, // the device refused (code in exception)
        TimedOut,  // no reply within the response timeout
        BadReply,  // a reply that does not fit the request
        Broken,    // the connection is gone (it is made again with the next request)
        Ended,     // the device ended what it was asked to do (a trace block that stopped)
    };
    EnumKind kind = Done;
    int exception = 0;
    std::string text; // why, for messages

    bool ok() const { return kind == Done; }
    static tagModbusOutcome Success() { return {}; }
};

// The device's exception in words, as Modbus names it.
std::string g_ModbusExceptionText(int code);

class CModbusTransport {
public:
    static constexpr int kIllegalFunction = 1;
    static constexpr int kIllegalDataAddress = 2;

    virtual ~CModbusTransport() = default;

    // Makes the connection; false with the reason.
    virtual bool Connect(std::string& error) = 0;
    virtual void Close() = 0;

    virtual void SetResponseTimeout(std::chrono::milliseconds timeout) = 0;
    virtual std::chrono::milliseconds ResponseTimeout() const = 0;
    // Drops whatever the device sent that nobody asked for any more.
    virtual void Flush() = 0;

    // count bits (one per word) or registers from the table.
    virtual tagModbusOutcome Read(EnumModbusTable table, int start, int count, uint16_t* words) = 0;
    virtual tagModbusOutcome WriteBit(int address, bool on) = 0;
    // One register with function 6, more with function 16.
    virtual tagModbusOutcome WriteRegisters(int address, const uint16_t* words, int count) = 0;
};
