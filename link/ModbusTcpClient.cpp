#include "ModbusTcpClient.h"
#include "kit/Log.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kHeader = 7;       // transaction, protocol, length, unit
constexpr size_t kLargestPdu = 253; // the largest PDU Modbus allows

uint16_t Word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
void PutWord(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

int ReadFunction(EnumModbusTable table) {
    switch (table) {
    case MODBUS_COILS:
        return 1;
    case MODBUS_DISCRETE_INPUTS:
        return 2;
    case MODBUS_HOLDING_REGISTERS:
        return 3;
    default:
        return 4;
    }
}

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

std::string g_ModbusExceptionText(int code) {
    switch (code) {
    case 1:
        return "Illegal function";
    case 2:
        return "Illegal data address";
    case 3:
        return "Illegal data value";
    case 4:
        return "Slave device or server failure";
    case 6:
        return "Slave device or server is busy";
    default:
        return "Modbus exception " + std::to_string(code);
    }
}

EnumTcpFrame g_CutTcpFrame(const uint8_t* data, size_t size, tagTcpFrame& frame) {
    if (size < kHeader) {
        return EnumTcpFrame::NeedMore;
    }
    const size_t length = Word(data + 4); // counts the unit and the PDU
    if (Word(data + 2) != 0 || length < 2 || length - 1 > kLargestPdu) {
        return EnumTcpFrame::Bad;
    }
    if (size < 6 + length) {
        return EnumTcpFrame::NeedMore;
    }
    frame.transaction = Word(data);
    frame.unit = data[6];
    frame.pdu = data + kHeader;
    frame.pduSize = length - 1;
    frame.frameSize = 6 + length;
    return EnumTcpFrame::Frame;
}

tagModbusOutcome g_ReadReplyPdu(const uint8_t* pdu, size_t size, int function, int count, uint16_t* words) {
    if (size >= 2 && pdu[0] == (function | 0x80)) {
        return {tagModbusOutcome::Exception, pdu[1], g_ModbusExceptionText(pdu[1])};
    }
    const bool bits = function <= 2;
    const size_t bytes = bits ? static_cast<size_t>(count + 7) / 8 : static_cast<size_t>(count) * 2;
    if (size < 2 || pdu[0] != function || pdu[1] != bytes || size != 2 + bytes) {
        return {tagModbusOutcome::BadReply, 0, "Invalid data"};
    }
    for (int i = 0; i < count; ++i) {
        words[i] = bits ? static_cast<uint16_t>(pdu[2 + i / 8] >> (i % 8) & 1) : Word(pdu + 2 + 2 * i);
    }
    return tagModbusOutcome::Success();
}

CModbusTcpClient::CModbusTcpClient(std::string host, int port, int unit)
    : m_host(std::move(host)), m_port(port), m_unit(static_cast<uint8_t>(unit)) {}

CModbusTcpClient::~CModbusTcpClient() {
    Close();
}

void CModbusTcpClient::Close() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    m_received.clear();
}

bool CModbusTcpClient::Connect(std::string& error) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int code = getaddrinfo(m_host.c_str(), std::to_string(m_port).c_str(), &hints, &found)) {
        error = gai_strerror(code);
        return false;
    }
    const Clock::time_point deadline = Clock::now() + std::max(m_timeout, std::chrono::milliseconds(1000));
    error = "Connection timed out";
    for (addrinfo* a = found; a && m_fd < 0; a = a->ai_next) {
        const int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = std::strerror(errno);
            continue;
        }
        int result = connect(fd, a->ai_addr, a->ai_addrlen);
        if (result != 0 && errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, RemainingMs(deadline)) == 1) {
                int soError = 0;
                socklen_t size = sizeof soError;
                getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &size);
                result = soError == 0 ? 0 : -1;
                errno = soError;
            } else {
                errno = ETIMEDOUT;
            }
        }
        if (result != 0) {
            error = std::strerror(errno);
            close(fd);
            continue;
        }
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_fd = fd;
    }
    freeaddrinfo(found);
    return m_fd >= 0;
}

void CModbusTcpClient::Flush() {
    // Late replies are told apart by their transaction id; what already arrived can go now.
    if (m_fd < 0) {
        return;
    }
    uint8_t chunk[512];
    while (recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT) > 0) {
    }
    m_received.clear();
}

tagModbusOutcome CModbusTcpClient::Broken(const std::string& why) {
    g_Log().warn("{}:{}: connection lost: {}", m_host, m_port, why);
    Close();
    return {tagModbusOutcome::Broken, 0, why};
}

tagModbusOutcome CModbusTcpClient::Transact(const std::vector<uint8_t>& pdu, std::vector<uint8_t>& reply) {
    if (m_fd < 0) {
        std::string error;
        if (!Connect(error)) {
            return {tagModbusOutcome::Broken, 0, error};
        }
        g_Log().info("{}:{}: connected again", m_host, m_port);
    }
    const uint16_t id = ++m_transaction;
    std::vector<uint8_t> request;
    PutWord(request, id);
    PutWord(request, 0);
    PutWord(request, static_cast<int>(pdu.size() + 1));
    request.push_back(m_unit);
    request.insert(request.end(), pdu.begin(), pdu.end());
    for (size_t sent = 0; sent < request.size();) {
        const ssize_t n = send(m_fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EAGAIN) {
            pollfd p{m_fd, POLLOUT, 0};
            poll(&p, 1, static_cast<int>(m_timeout.count()));
            continue;
        }
        if (n <= 0) {
            return Broken(std::strerror(errno));
        }
        sent += static_cast<size_t>(n);
    }

    const Clock::time_point deadline = Clock::now() + m_timeout;
    while (true) {
        tagTcpFrame frame;
        const EnumTcpFrame cut = g_CutTcpFrame(m_received.data(), m_received.size(), frame);
        if (cut == EnumTcpFrame::Bad) {
            return Broken("Invalid data"); // no way to find the next frame
        }
        if (cut == EnumTcpFrame::Frame) {
            const bool mine = frame.transaction == id && frame.unit == m_unit;
            if (mine) {
                reply.assign(frame.pdu, frame.pdu + frame.pduSize);
            } else {
                // The answer to a request given up on.
                g_Log().info("{}:{}: late reply dropped (transaction {}, awaiting {})", m_host, m_port,
                             frame.transaction, id);
            }
            m_received.erase(m_received.begin(),
                             m_received.begin() + static_cast<std::ptrdiff_t>(frame.frameSize));
            if (mine) {
                return tagModbusOutcome::Success();
            }
            continue;
        }
        pollfd p{m_fd, POLLIN, 0};
        const int ready = poll(&p, 1, RemainingMs(deadline));
        if (ready == 0) {
            g_Log().warn("{}:{}: no answer in {} ms (transaction {})", m_host, m_port, m_timeout.count(), id);
            return {tagModbusOutcome::TimedOut, 0, "Connection timed out"};
        }
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        uint8_t chunk[512];
        const ssize_t got = recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (got == 0) {
            return Broken("Connection closed by the controller");
        }
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                continue;
            }
            return Broken(std::strerror(errno));
        }
        m_received.insert(m_received.end(), chunk, chunk + got);
    }
}

tagModbusOutcome CModbusTcpClient::Read(EnumModbusTable table, int start, int count, uint16_t* words) {
    const int function = ReadFunction(table);
    std::vector<uint8_t> pdu{static_cast<uint8_t>(function)};
    PutWord(pdu, start);
    PutWord(pdu, count);
    std::vector<uint8_t> reply;
    const tagModbusOutcome sent = Transact(pdu, reply);
    return sent.ok() ? g_ReadReplyPdu(reply.data(), reply.size(), function, count, words) : sent;
}

namespace {

// A write's reply echoes the function, the address and the value or count.
tagModbusOutcome WriteEcho(const std::vector<uint8_t>& pdu, const std::vector<uint8_t>& reply) {
    if (reply.size() >= 2 && reply[0] == (pdu[0] | 0x80)) {
        return {tagModbusOutcome::Exception, reply[1], g_ModbusExceptionText(reply[1])};
    }
    if (reply.size() != 5 || !std::equal(reply.begin(), reply.end(), pdu.begin())) {
        return {tagModbusOutcome::BadReply, 0, "Invalid data"};
    }
    return tagModbusOutcome::Success();
}

} // namespace

tagModbusOutcome CModbusTcpClient::WriteBit(int address, bool on) {
    std::vector<uint8_t> pdu{5};
    PutWord(pdu, address);
    PutWord(pdu, on ? 0xFF00 : 0);
    std::vector<uint8_t> reply;
    const tagModbusOutcome sent = Transact(pdu, reply);
    return sent.ok() ? WriteEcho(pdu, reply) : sent;
}

tagModbusOutcome CModbusTcpClient::WriteRegisters(int address, const uint16_t* words, int count) {
    std::vector<uint8_t> pdu{static_cast<uint8_t>(count == 1 ? 6 : 16)};
    PutWord(pdu, address);
    if (count == 1) {
        PutWord(pdu, words[0]);
    } else {
        PutWord(pdu, count);
        pdu.push_back(static_cast<uint8_t>(count * 2));
        for (int i = 0; i < count; ++i) {
            PutWord(pdu, words[i]);
        }
    }
    std::vector<uint8_t> reply;
    const tagModbusOutcome sent = Transact(pdu, reply);
    return sent.ok() ? WriteEcho(pdu, reply) : sent;
}
