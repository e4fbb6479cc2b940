// The simulator's Modbus TCP server against a client written from the frame layout alone, byte by
// byte, so that it checks the server and not the library both sides share.
#include "sim/ModbusSimServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// One Modbus TCP frame: transaction id, protocol 0, length, unit 1, then the PDU.
Bytes Frame(uint16_t transaction, const Bytes& pdu) {
    const auto length = static_cast<uint16_t>(pdu.size() + 1);
    Bytes frame(7 + pdu.size());
    frame[0] = static_cast<uint8_t>(transaction >> 8);
    frame[1] = static_cast<uint8_t>(transaction);
    frame[4] = static_cast<uint8_t>(length >> 8);
    frame[5] = static_cast<uint8_t>(length);
    frame[6] = 1;
    std::copy(pdu.begin(), pdu.end(), frame.begin() + 7);
    return frame;
}

Bytes ReadHolding(uint16_t address, uint16_t count) {
    return {3, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address),
            static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)};
}

uint16_t Word(const Bytes& b, size_t at) {
    return static_cast<uint16_t>((b[at] << 8) | b[at + 1]);
}

class CRawClient {
public:
    explicit CRawClient(int port) : m_fd(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
        const int on = 1;
        setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        timeval wait{2, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    }
    ~CRawClient() { close(m_fd); }
    bool Connected() const { return m_connected; }

    void Send(const Bytes& bytes) {
        ASSERT_EQ(send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
    }
    // One reply frame, by its length field; empty on timeout or a closed connection.
    Bytes Receive() {
        Bytes frame(6);
        if (!ReceiveExactly(frame.data(), 6)) {
            return {};
        }
        frame.resize(6 + Word(frame, 4));
        return ReceiveExactly(frame.data() + 6, frame.size() - 6) ? frame : Bytes{};
    }
    Bytes Ask(uint16_t transaction, const Bytes& pdu) {
        Send(Frame(transaction, pdu));
        return Receive();
    }

private:
    bool ReceiveExactly(uint8_t* to, size_t n) {
        while (n > 0) {
            const ssize_t got = recv(m_fd, to, n, 0);
            if (got <= 0) {
                return false;
            }
            to += got;
            n -= static_cast<size_t>(got);
        }
        return true;
    }
    int m_fd;
    bool m_connected = false;
};

class PlcsimTcpTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(m_server.ListenTcp("127.0.0.1", 0, error)) << error;
        m_server.Start();
    }
    CModbusSimServer m_server;
};

} // namespace

TEST_F(PlcsimTcpTest, TrailingBytesOfARequestDoNotShiftLaterReplies) {
    CRawClient client(m_server.Port());
    ASSERT_TRUE(client.Connected());
    // D100 := 4321 through a single register write, so that the reads below have a known value.
    ASSERT_EQ(client.Ask(7, {6, 0, 100, 0x10, 0xE1}).size(), 12u);
    Bytes padded = ReadHolding(100, 1);
    padded.insert(padded.end(), {0xAA, 0xBB, 0xCC});
    client.Send(Frame(1, padded));
    client.Send(Frame(2, ReadHolding(100, 2)));
    const Bytes first = client.Receive();
    const Bytes second = client.Receive();
    ASSERT_EQ(first.size(), 11u);
    EXPECT_EQ(Word(first, 0), 1);
    EXPECT_EQ(Word(first, 4), 5); // unit, function, byte count, one register
    EXPECT_EQ(Word(first, 9), 4321);
    ASSERT_EQ(second.size(), 13u);
    EXPECT_EQ(Word(second, 0), 2);
    EXPECT_EQ(Word(second, 9), 4321);

    // A request shorter than its function needs is refused with an exception, and the connection
    // goes on.
    const Bytes refused = client.Ask(3, {3, 0, 100});
    ASSERT_EQ(refused.size(), 9u);
    EXPECT_EQ(refused[7], 0x83);
    EXPECT_EQ(refused[8], 3);
    EXPECT_EQ(Word(client.Ask(4, ReadHolding(100, 1)), 0), 4);
}

TEST_F(PlcsimTcpTest, ATricklingClientDoesNotStallTheOthers) {
    CRawClient slow(m_server.Port());
    CRawClient fast(m_server.Port());
    ASSERT_TRUE(slow.Connected() && fast.Connected());
    const Bytes request = Frame(9, ReadHolding(1, 1));
    std::atomic<size_t> sent{0};
    std::thread trickle([&] {
        for (uint8_t byte : request) {
            slow.Send({byte});
            ++sent;
            std::this_thread::sleep_for(80ms);
        }
    });
    // Which bytes of the slow frame were out when each fast answer came: a server that waited for
    // the whole frame would answer only once it is complete.
    std::vector<bool> answeredAt(request.size() + 1, false);
    for (uint16_t t = 0; sent < request.size(); ++t) {
        const Bytes reply = fast.Ask(t, ReadHolding(1, 1));
        ASSERT_EQ(reply.size(), 11u);
        ASSERT_EQ(Word(reply, 0), t);
        answeredAt[sent] = true;
        std::this_thread::sleep_for(5ms);
    }
    trickle.join();
    EXPECT_GE(std::count(answeredAt.begin(), answeredAt.end() - 1, true), 6);
    const Bytes late = slow.Receive();
    ASSERT_EQ(late.size(), 11u);
    EXPECT_EQ(Word(late, 0), 9);
}

TEST_F(PlcsimTcpTest, ReadWriteMultipleRegistersAppliesTheWrite) {
    CRawClient client(m_server.Port());
    ASSERT_TRUE(client.Connected());
    // Write D400..D401 := 1234, -2 and read D399..D401 back in the same request.
    const Bytes reply = client.Ask(5, {23, 0x01, 0x8F, 0, 3, 0x01, 0x90, 0, 2, 4, 0x04, 0xD2, 0xFF, 0xFE});
    ASSERT_EQ(reply.size(), 9u + 6u);
    EXPECT_EQ(reply[7], 23);
    EXPECT_EQ(reply[8], 6);
    EXPECT_EQ(Word(reply, 11), 1234);
    EXPECT_EQ(Word(reply, 13), 0xFFFE);
    // The registers keep what was written.
    const Bytes kept = client.Ask(6, ReadHolding(400, 2));
    ASSERT_EQ(kept.size(), 13u);
    EXPECT_EQ(Word(kept, 9), 1234);
    EXPECT_EQ(Word(kept, 11), 0xFFFE);
}

TEST_F(PlcsimTcpTest, ABadCountIsRefusedAtOnceAndTheFramesAfterItAreAnswered) {
    CRawClient client(m_server.Port());
    ASSERT_TRUE(client.Connected());
    Bytes both = Frame(20, ReadHolding(0, 200)); // more registers than one request may ask for
    const Bytes next = Frame(21, ReadHolding(1, 1));
    both.insert(both.end(), next.begin(), next.end());
    client.Send(both);
    // Refused at once: waiting for the rest of a request the server thinks is coming would
    // swallow the next frame.
    const Bytes refused = client.Receive();
    const Bytes answered = client.Receive();
    ASSERT_EQ(refused.size(), 9u);
    EXPECT_EQ(Word(refused, 0), 20);
    EXPECT_EQ(refused[7], 0x83);
    EXPECT_EQ(refused[8], 3);
    ASSERT_EQ(answered.size(), 11u);
    EXPECT_EQ(Word(answered, 0), 21);

    const Bytes beyond = client.Ask(22, ReadHolding(65530, 10)); // past the last address
    ASSERT_EQ(beyond.size(), 9u);
    EXPECT_EQ(beyond[8], 2);
    const Bytes unknown = client.Ask(23, {0x2B, 0x0E, 0x01, 0x00});
    ASSERT_EQ(unknown.size(), 9u);
    EXPECT_EQ(unknown[7], 0xAB);
    EXPECT_EQ(unknown[8], 1);
}
