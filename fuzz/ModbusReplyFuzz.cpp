// The Modbus TCP client on arbitrary bytes from a device: frames are cut by their header and each
// reply checked against the read it answers, and nothing reads beyond what arrived.
#include "link/ModbusTcpClient.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // The read the replies answer: its function (1 to 4) and count (1 to 256).
    const int function = 1 + data[0] % 4;
    const int count = 1 + data[1];
    // A copy of exactly the bytes that arrived, so that the sanitizer sees any read beyond them.
    std::vector<uint8_t> received(data + 2, data + size);
    std::vector<uint16_t> words(static_cast<size_t>(count));
    size_t used = 0;
    tagTcpFrame frame;
    while (g_CutTcpFrame(received.data() + used, received.size() - used, frame) == EnumTcpFrame::Frame) {
        const std::vector<uint8_t> pdu(frame.pdu, frame.pdu + frame.pduSize);
        g_ReadReplyPdu(pdu.data(), pdu.size(), function, count, words.data());
        used += frame.frameSize;
    }
    return 0;
}
