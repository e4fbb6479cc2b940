// The simulator's Modbus TCP server on arbitrary bytes from a client: frames are cut by their
// length field and each request by its function, and nothing reads beyond what arrived.
#include "sim/ModbusSimServer.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace {

struct tagServer {
    tagServer() {
        std::string error;
        server.ListenTcp("127.0.0.1", 0, error);
        socketpair(AF_UNIX, SOCK_STREAM, 0, ends);
        // A client that never reads its replies ends its connection instead of blocking us.
        fcntl(ends[0], F_SETFL, O_NONBLOCK);
        fcntl(ends[1], F_SETFL, O_NONBLOCK);
    }
    CModbusSimServer server;
    int ends[2] = {-1, -1};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tagServer s;
    // Bytes arrive in two pieces, as they may over TCP.
    const size_t half = size / 2;
    std::vector<uint8_t> pending(data, data + half);
    if (s.server.AnswerFrames(s.ends[0], pending)) {
        pending.insert(pending.end(), data + half, data + size);
        s.server.AnswerFrames(s.ends[0], pending);
    }
    uint8_t drain[4096];
    while (read(s.ends[1], drain, sizeof drain) > 0) {
    }
    return 0;
}
