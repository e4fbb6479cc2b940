// A Modbus TCP client of our own: every request carries a transaction id of its own, and a reply
// with another id (the late answer to a request that timed out) is read and dropped while the wait
// for the awaited one goes on. A broken connection is made again with the next request.
#pragma once

#include "ModbusTransport.h"

#include <cstddef>
#include <vector>

// One frame cut from the bytes a device sent: the MBAP header's transaction id and unit, and the
// PDU (function code and data) it announces.
struct tagTcpFrame {
    uint16_t transaction = 0;
    uint8_t unit = 0;
    const uint8_t* pdu = nullptr;
    size_t pduSize = 0;
    size_t frameSize = 0; // header and PDU: what to drop from the front
};
enum class EnumTcpFrame { NeedMore, Frame, Bad };
// Reads the frame at the front of the bytes; Bad when its header cannot be a Modbus TCP one (the
// stream cannot be followed any more). Never reads beyond size.
EnumTcpFrame g_CutTcpFrame(const uint8_t* data, size_t size, tagTcpFrame& frame);
// Checks a reply PDU against the request's function and count, and unpacks it into words (bits
// one per word); the outcome says what was wrong.
tagModbusOutcome g_ReadReplyPdu(const uint8_t* pdu, size_t size, int function, int count, uint16_t* words);

class CModbusTcpClient : public CModbusTransport {
public:
    CModbusTcpClient(std::string host, int port, int unit);
    ~CModbusTcpClient() override;

    bool Connect(std::string& error) override;
    void Close() override;
    void SetResponseTimeout(std::chrono::milliseconds timeout) override { m_timeout = timeout; }
    std::chrono::milliseconds ResponseTimeout() const override { return m_timeout; }
    void Flush() override;

    tagModbusOutcome Read(EnumModbusTable table, int start, int count, uint16_t* words) override;
    tagModbusOutcome WriteBit(int address, bool on) override;
    tagModbusOutcome WriteRegisters(int address, const uint16_t* words, int count) override;

private:
    // Sends the PDU and waits for the reply to it; its PDU goes to reply.
    tagModbusOutcome Transact(const std::vector<uint8_t>& pdu, std::vector<uint8_t>& reply);
    tagModbusOutcome Broken(const std::string& why);

    const std::string m_host;
    const int m_port;
    const uint8_t m_unit;
    std::chrono::milliseconds m_timeout{500};
    int m_fd = -1;
    uint16_t m_transaction = 0;
    std::vector<uint8_t> m_received; // bytes not yet cut into frames
};
