#include "ModbusSimServer.h"

#include "ModbusWords.h"
#include "SimulatedMachine.h"

#include <modbus/modbus.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kTableSize = 65536;
constexpr int kLargestRequest = 2000;

int Word(const uint8_t* p) {
    return (p[0] << 8) | p[1];
}

bool IsRead(int function) {
    return function >= 1 && function <= 4;
}

EnumModbusTable TableOfFunction(int function) {
    switch (function) {
    case MODBUS_FC_READ_COILS:
    case MODBUS_FC_WRITE_SINGLE_COIL:
    case MODBUS_FC_WRITE_MULTIPLE_COILS:
        return MODBUS_COILS;
    case MODBUS_FC_READ_DISCRETE_INPUTS:
        return MODBUS_DISCRETE_INPUTS;
    case MODBUS_FC_READ_INPUT_REGISTERS:
        return MODBUS_INPUT_REGISTERS;
    default:
        return MODBUS_HOLDING_REGISTERS;
    }
}

} // namespace

CModbusSimServer::CModbusSimServer(std::shared_ptr<CSimulatorPanel> panel)
    : m_start(std::chrono::steady_clock::now()),
      m_mapping(modbus_mapping_new(kTableSize, kTableSize, kTableSize, kTableSize)),
      m_panel(panel ? std::move(panel) : std::make_shared<CSimulatorPanel>()) {
    for (int axis = 2; axis < kAxisCount; ++axis) {
        m_memory.SetAxis(axis, 16, 0x0250);
    }
    if (m_panel->traceBlock && m_map.TraceBlock()) {
        m_trace =
            std::make_unique<CSimTraceBlock>(m_memory, m_map, kRingWords, kRingAddress,
                                             [this](double ms) { CSimulatedMachine::Apply(ms, m_memory); });
    }
}

CModbusSimServer::~CModbusSimServer() {
    Stop();
    if (m_ctx) {
        modbus_close(m_ctx);
        modbus_free(m_ctx);
    }
    if (m_listenSocket >= 0) {
        close(m_listenSocket);
    }
    modbus_mapping_free(m_mapping);
}

int64_t CModbusSimServer::AnswerTime() {
    using namespace std::chrono;
    steady_clock::time_point at = steady_clock::now();
    if (const milliseconds scan(m_panel->scanMs.load()); scan.count() > 0) {
        at = m_start + scan * ((m_receivedAt - m_start) / scan + 1);
        std::this_thread::sleep_until(at);
    }
    return duration_cast<microseconds>(at - m_start).count();
}

bool CModbusSimServer::ListenTcp(const std::string& address, int port, std::string& error) {
    m_tcp = true;
    m_ctx = modbus_new_tcp(address.c_str(), port);
    if (!m_ctx) {
        error = modbus_strerror(errno);
        return false;
    }
    m_listenSocket = modbus_tcp_listen(m_ctx, 4);
    if (m_listenSocket < 0) {
        error = modbus_strerror(errno);
        return false;
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    getsockname(m_listenSocket, reinterpret_cast<sockaddr*>(&bound), &length);
    m_port = ntohs(bound.sin_port);
    return true;
}

bool CModbusSimServer::OpenRtu(const std::string& device, int baud, char parity, int dataBits, int stopBits,
                               std::string& error) {
    m_tcp = false;
    m_ctx = modbus_new_rtu(device.c_str(), baud, parity, dataBits, stopBits);
    if (!m_ctx || modbus_set_slave(m_ctx, m_map.Unit()) != 0 || modbus_connect(m_ctx) != 0) {
        error = modbus_strerror(errno);
        return false;
    }
    return true;
}

void CModbusSimServer::Start() {
    m_stop = false;
    m_thread = std::thread([this] { Run(); });
}

void CModbusSimServer::Run() {
    if (m_tcp) {
        ServeTcp();
    } else {
        ServeRtu();
    }
}

void CModbusSimServer::Stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CModbusSimServer::ServeTcp() {
    // One poll loop serves every connection; each keeps the bytes of its unfinished frame, so a
    // client that sends a byte at a time holds up nobody.
    struct tagClient {
        int fd;
        std::vector<uint8_t> pending;
    };
    std::vector<tagClient> clients;
    std::vector<pollfd> watched;
    uint8_t chunk[4096];
    while (!m_stop) {
        watched.assign(1, {m_listenSocket, POLLIN, 0});
        for (const tagClient& client : clients) {
            watched.push_back({client.fd, POLLIN, 0});
        }
        if (poll(watched.data(), watched.size(), 50) <= 0) { // look at the stop flag now and then
            continue;
        }
        for (size_t i = clients.size(); i-- > 0;) {
            if (!(watched[i + 1].revents & (POLLIN | POLLHUP | POLLERR))) {
                continue;
            }
            tagClient& client = clients[i];
            const ssize_t got = recv(client.fd, chunk, sizeof chunk, MSG_DONTWAIT);
            bool keep = got > 0 || (got < 0 && (errno == EAGAIN || errno == EINTR));
            if (got > 0) {
                client.pending.insert(client.pending.end(), chunk, chunk + got);
                keep = AnswerFrames(client.fd, client.pending);
            }
            if (!keep) {
                close(client.fd);
                clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        if (watched[0].revents & POLLIN) {
            const int fd = accept(m_listenSocket, nullptr, nullptr);
            if (fd >= 0) {
                // Small replies go out at once; Nagle's wait for the client's delayed
                // acknowledgement would hold them for tens of milliseconds.
                const int on = 1;
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                clients.push_back({fd, {}});
            }
        }
    }
    for (const tagClient& client : clients) {
        close(client.fd);
    }
}

bool CModbusSimServer::AnswerFrames(int fd, std::vector<uint8_t>& pending) {
    constexpr size_t kHeader = 6; // transaction, protocol, length; the length counts from the unit id
    m_receivedAt = std::chrono::steady_clock::now();
    size_t used = 0;
    bool keep = true;
    while (keep && pending.size() - used >= kHeader) {
        const uint8_t* frame = pending.data() + used;
        const size_t length = static_cast<size_t>(Word(frame + 4));
        if (length < 2 || kHeader + length > MODBUS_TCP_MAX_ADU_LENGTH) {
            return false; // no way to find the next frame
        }
        if (pending.size() - used < kHeader + length) {
            break;
        }
        if (Word(frame + 2) == 0) { // other protocols are not Modbus: skipped
            std::vector<uint8_t> query(MODBUS_TCP_MAX_ADU_LENGTH, 0);
            std::copy(frame, frame + kHeader + length, query.begin());
            modbus_set_socket(m_ctx, fd);
            keep = AnswerTcpRequest(query.data(), static_cast<int>(kHeader + length));
        }
        used += kHeader + length;
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
    return keep;
}

bool CModbusSimServer::AnswerTcpRequest(uint8_t* query, int length) {
    // A TCP request as long as its function says: bytes beyond that are ignored, a request shorter
    // than that is refused.
    const int header = modbus_get_header_length(m_ctx);
    const uint8_t* pdu = query + header;
    const int have = length - header;
    int need = have;
    switch (pdu[0]) {
    case MODBUS_FC_READ_COILS:
    case MODBUS_FC_READ_DISCRETE_INPUTS:
    case MODBUS_FC_READ_HOLDING_REGISTERS:
    case MODBUS_FC_READ_INPUT_REGISTERS:
    case MODBUS_FC_WRITE_SINGLE_COIL:
    case MODBUS_FC_WRITE_SINGLE_REGISTER:
        need = 5;
        break;
    case MODBUS_FC_WRITE_MULTIPLE_COILS:
    case MODBUS_FC_WRITE_MULTIPLE_REGISTERS:
        need = have >= 6 ? 6 + pdu[5] : 6;
        break;
    case MODBUS_FC_WRITE_AND_READ_REGISTERS:
        need = have >= 10 ? 10 + pdu[9] : 10;
        break;
    default:
        return modbus_reply_exception(m_ctx, query, MODBUS_EXCEPTION_ILLEGAL_FUNCTION) >= 0;
    }
    if (have < need) {
        return modbus_reply_exception(m_ctx, query, MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE) >= 0;
    }
    // libmodbus answers a bad count or address itself, but first waits its response timeout and
    // empties the socket, which would hold up every client and swallow the next frames.
    if (const int fault = RequestFault(pdu)) {
        return modbus_reply_exception(m_ctx, query, static_cast<unsigned>(fault)) >= 0;
    }
    // libmodbus echoes some requests whole, header included: the header must say what is used.
    query[4] = static_cast<uint8_t>((need + 1) >> 8);
    query[5] = static_cast<uint8_t>((need + 1) & 0xFF);
    return Answer(query, header + need);
}

int CModbusSimServer::RequestFault(const uint8_t* pdu) {
    const int start = Word(pdu + 1);
    const int count = Word(pdu + 3);
    auto check = [](int first, int n, int most) {
        return n < 1 || n > most        ? MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE
               : first + n > kTableSize ? MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS
                                        : 0;
    };
    switch (pdu[0]) {
    case MODBUS_FC_READ_COILS:
    case MODBUS_FC_READ_DISCRETE_INPUTS:
        return check(start, count, MODBUS_MAX_READ_BITS);
    case MODBUS_FC_READ_HOLDING_REGISTERS:
    case MODBUS_FC_READ_INPUT_REGISTERS:
        return check(start, count, MODBUS_MAX_READ_REGISTERS);
    case MODBUS_FC_WRITE_SINGLE_COIL:
        return count == 0xFF00 || count == 0 ? 0 : MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE;
    case MODBUS_FC_WRITE_MULTIPLE_COILS:
        return pdu[5] != (count + 7) / 8 ? MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE
                                         : check(start, count, MODBUS_MAX_WRITE_BITS);
    case MODBUS_FC_WRITE_MULTIPLE_REGISTERS:
        return pdu[5] != count * 2 ? MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE
                                   : check(start, count, MODBUS_MAX_WRITE_REGISTERS);
    case MODBUS_FC_WRITE_AND_READ_REGISTERS: {
        const int writeCount = Word(pdu + 7);
        if (pdu[9] != writeCount * 2) {
            return MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE;
        }
        const int read = check(start, count, MODBUS_MAX_WR_READ_REGISTERS);
        return read ? read : check(Word(pdu + 5), writeCount, MODBUS_MAX_WR_WRITE_REGISTERS);
    }
    default:
        return 0;
    }
}

void CModbusSimServer::ServeRtu() {
    std::vector<uint8_t> query(MODBUS_RTU_MAX_ADU_LENGTH);
    modbus_set_indication_timeout(m_ctx, 0, 100'000);
    while (!m_stop) {
        const int length = modbus_receive(m_ctx, query.data());
        m_receivedAt = std::chrono::steady_clock::now();
        if (length > 0) {
            Answer(query.data(), length); // libmodbus frames RTU requests by their function
        }
    }
}

bool CModbusSimServer::Answer(const uint8_t* query, int length) {
    m_panel->bytesIn += static_cast<uint64_t>(length);
    const int header = modbus_get_header_length(m_ctx);
    const int function = query[header];
    const int start = Word(query + header + 1);
    int count = 1;
    if (IsRead(function) || function == MODBUS_FC_WRITE_AND_READ_REGISTERS ||
        function == MODBUS_FC_WRITE_MULTIPLE_COILS || function == MODBUS_FC_WRITE_MULTIPLE_REGISTERS) {
        // No request may ask for more than 2000 bits or 125 registers: libmodbus refuses larger
        // ones, so there is nothing to export for them either.
        count = std::min(Word(query + header + 3), kLargestRequest);
    }

    if (const int delay = m_panel->answerDelayMs; delay > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    if (const int pause = m_panel->pauseNextReplyMs.exchange(0); pause > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    }
    if (m_tcp && m_panel->dropConnection.exchange(false)) {
        return false; // the caller closes the connection
    }
    const int holeFirst = m_panel->holeFirst, holeLast = m_panel->holeLast;
    if (function == MODBUS_FC_READ_HOLDING_REGISTERS && holeFirst >= 0 && start <= holeLast &&
        start + count > holeFirst) {
        return Counted(modbus_reply_exception(m_ctx, query, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS));
    }
    const CSimulatorPanel::EnumReplyFault fault = m_panel->replyFault;
    if (fault != CSimulatorPanel::REPLY_OK && m_tcp) {
        // A reply that announces more than it brings, or whose byte count does not fit.
        const uint8_t truncated[] = {
            query[0], query[1], 0, 0, 0, 0xFF, query[6], static_cast<uint8_t>(function), 2};
        const uint8_t malformed[] = {query[0], query[1], 0, 0, 0, 5, query[6], static_cast<uint8_t>(function),
                                     0xFE,     0,        0};
        const int fd = modbus_get_socket(m_ctx);
        if (fault == CSimulatorPanel::REPLY_TRUNCATED) {
            return Counted(static_cast<int>(send(fd, truncated, sizeof truncated, MSG_NOSIGNAL)));
        }
        return Counted(static_cast<int>(send(fd, malformed, sizeof malformed, MSG_NOSIGNAL)));
    }

    const int writeStart = function == MODBUS_FC_WRITE_AND_READ_REGISTERS ? Word(query + header + 5) : start;
    const int writeCount = function == MODBUS_FC_WRITE_AND_READ_REGISTERS
                               ? std::min(Word(query + header + 7), kLargestRequest)
                               : count;
    if (const int refused = IsRead(function) ? 0 : TraceWriteFault(function, writeStart, writeCount)) {
        return Counted(modbus_reply_exception(m_ctx, query, static_cast<unsigned>(refused)));
    }

    const int64_t micros = AnswerTime();
    std::lock_guard lock(m_memoryMutex);
    if (m_trace) {
        m_trace->CatchUp(micros); // the sampling task ran on while the requests waited
    }
    CSimulatedMachine::Apply(static_cast<double>(micros) / 1000.0, m_memory);
    // What is written is exported too, with a neighbour each side: a 32-bit value of which only
    // one register is written keeps the other half the element holds now.
    auto exportAround = [&](int from, int n) {
        const int first = std::max(0, from - 1);
        ExportRange(function, first, std::min(from + n + 1, kTableSize) - first);
    };
    if (function == MODBUS_FC_WRITE_AND_READ_REGISTERS) {
        ExportRange(function, start, std::min(count, kTableSize - start));
    }
    if (IsRead(function)) {
        ExportRange(function, start, std::min(count, kTableSize - start));
        return Counted(modbus_reply(m_ctx, query, length, m_mapping));
    }
    exportAround(writeStart, writeCount);
    const int replied = modbus_reply(m_ctx, query, length, m_mapping);
    const int written = std::min(writeCount, kTableSize - writeStart);
    ImportRange(function, writeStart, written);
    ImportTraceRange(function, writeStart, written);
    if (m_trace) {
        m_trace->CatchUp(micros); // a command is taken at once
    }
    return Counted(replied);
}

bool CModbusSimServer::Counted(int sent) {
    ++m_panel->requestsAnswered;
    m_panel->bytesOut += static_cast<uint64_t>(std::max(sent, 0));
    return sent >= 0;
}

void CModbusSimServer::ExportRange(int function, int start, int count) {
    const EnumModbusTable table = TableOfFunction(function);
    std::vector<uint16_t> words(static_cast<size_t>(count));
    g_ReadModbusWords(m_memory, m_map, table, start, count, words.data());
    for (int i = 0; i < count; ++i) {
        if (table == MODBUS_COILS || table == MODBUS_DISCRETE_INPUTS) {
            (table == MODBUS_COILS ? m_mapping->tab_bits : m_mapping->tab_input_bits)[start + i] =
                static_cast<uint8_t>(words[static_cast<size_t>(i)]);
        } else {
            (table == MODBUS_HOLDING_REGISTERS ? m_mapping->tab_registers
                                               : m_mapping->tab_input_registers)[start + i] =
                words[static_cast<size_t>(i)];
        }
    }
    ExportTraceRange(table, start, count);
}

namespace {

// The overlap of [start, start + count) with [first, first + size), as first and count.
std::pair<int, int> Overlap(int start, int count, int first, int size) {
    const int from = std::max(start, first);
    return {from, std::max(0, std::min(start + count, first + size) - from)};
}

} // namespace

void CModbusSimServer::ExportTraceRange(EnumModbusTable table, int start, int count) {
    if (!m_trace) {
        return;
    }
    const ct_block& block = m_trace->Block();
    if (table == MODBUS_HOLDING_REGISTERS) {
        const int header = *m_map.TraceBlock();
        const auto [from, n] = Overlap(start, count, header, CT_HEADER_WORDS);
        if (n > 0) {
            ct_read_header(&block, static_cast<uint16_t>(from - header), static_cast<uint16_t>(n),
                           m_mapping->tab_registers + from);
        }
    } else if (table == MODBUS_INPUT_REGISTERS) {
        const auto [from, n] = Overlap(start, count, kRingAddress, static_cast<int>(kRingWords));
        if (n > 0) {
            ct_read_ring(&block, static_cast<uint32_t>(from - kRingAddress), static_cast<uint16_t>(n),
                         m_mapping->tab_input_registers + from);
        }
    }
}

int CModbusSimServer::TraceWriteFault(int function, int start, int count) const {
    if (!m_trace || TableOfFunction(function) != MODBUS_HOLDING_REGISTERS) {
        return 0;
    }
    const int header = *m_map.TraceBlock();
    if (Overlap(start, count, header, CT_HEADER_WORDS).second == 0) {
        return 0;
    }
    // Only the computer's words, and nothing beside the header in the same write.
    const bool computers = start >= header + CT_H_COMMAND && start + count <= header + CT_H_STATE;
    return computers ? 0 : MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS;
}

void CModbusSimServer::ImportTraceRange(int function, int start, int count) {
    if (!m_trace || TableOfFunction(function) != MODBUS_HOLDING_REGISTERS) {
        return;
    }
    const int header = *m_map.TraceBlock();
    const auto [from, n] = Overlap(start, count, header, CT_HEADER_WORDS);
    if (n > 0) {
        ct_write_header(&m_trace->Block(), static_cast<uint16_t>(from - header), static_cast<uint16_t>(n),
                        m_mapping->tab_registers + from);
    }
}

void CModbusSimServer::ImportRange(int function, int start, int count) {
    const EnumModbusTable table = TableOfFunction(function);
    for (int address = start; address < start + count; ++address) {
        const auto at = m_map.Reverse(table, address);
        if (!at || table == MODBUS_DISCRETE_INPUTS || table == MODBUS_INPUT_REGISTERS) {
            continue;
        }
        const tagElementRef& ref = at->ref;
        if (table == MODBUS_COILS) {
            m_memory.SetBit(ref.kind, ref.address, m_mapping->tab_bits[address] != 0);
            continue;
        }
        const uint16_t* registers = m_mapping->tab_registers;
        if (at->wide) {
            const int first = address - at->part;
            const uint32_t value = m_map.Join(registers[first], registers[first + 1]);
            if (ref.IsAxis()) {
                m_memory.SetAxis(ref.axis, ref.paramCode, value);
            } else {
                m_memory.SetCounter(ref.address, static_cast<int32_t>(value));
            }
        } else if (ref.kind == KIND_C) {
            m_memory.SetCounter(ref.address, static_cast<int16_t>(registers[address]));
        } else if (ref.kind == KIND_T) {
            m_memory.SetTimer(ref.address, registers[address]);
        } else {
            m_memory.SetWord(ref.kind, ref.address, registers[address]);
        }
    }
}
