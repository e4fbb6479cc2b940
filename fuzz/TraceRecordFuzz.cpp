// The trace block's reader on whatever a device puts in the block's header and ring: counts,
// slots, capacities and ticks that lie. Every read stays within what was asked for, and the
// ticks given only grow.
#include "link/TraceBlockClient.h"
#include "plctrace/chronotrace.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// A device whose every register the input decides: the header's first look comes whole from the
// input, every later read takes the next words of it.
class CFuzzedBlock : public CTraceRegisters {
public:
    CFuzzedBlock(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    tagModbusOutcome ReadHeader(uint16_t offset, uint16_t count, uint16_t* words) override {
        if (offset + count > CT_HEADER_WORDS) {
            std::abort(); // the reader asked beyond the header
        }
        return Fill(count, words);
    }
    tagModbusOutcome WriteHeader(uint16_t offset, uint16_t count, const uint16_t*) override {
        if (offset < CT_H_COMMAND || offset + count > CT_H_STATE) {
            std::abort(); // only the computer's words are written
        }
        return tagModbusOutcome::Success();
    }
    tagModbusOutcome ReadRing(uint32_t, uint16_t count, uint16_t* words) override {
        if (count == 0 || count > CTraceBlockClient::kMostRegistersPerRead) {
            std::abort();
        }
        return Fill(count, words);
    }
    void Wait(std::chrono::milliseconds) override {}
    bool Exhausted() const { return m_used >= m_size; }

private:
    tagModbusOutcome Fill(uint16_t count, uint16_t* words) {
        // A byte that says the read fails now and then, as a flaky line does; once the input is
        // used up the device answers no more.
        if (m_used >= m_size || m_data[m_used] == 0xEE) {
            ++m_used;
            return {tagModbusOutcome::TimedOut, 0, "no answer"};
        }
        for (uint16_t i = 0; i < count; ++i) {
            words[i] = 0;
            for (int b = 0; b < 2 && m_used < m_size; ++b) {
                words[i] = static_cast<uint16_t>(words[i] | m_data[m_used++] << (8 * b));
            }
        }
        return tagModbusOutcome::Success();
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_used = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzedBlock block(data, size);
    CTraceBlockClient client(block);
    std::string error;
    if (client.Find(error) != CTraceBlockClient::EnumFound::Found) {
        return 0;
    }
    const CModbusMap map;
    const std::vector<tagTraceChannel> channels{{{MODBUS_HOLDING_REGISTERS, 100, 1, -1}, GCM_INT, "D100"},
                                                {{MODBUS_HOLDING_REGISTERS, 200, 2, -1}, GCM_REAL, "D200"},
                                                {{MODBUS_COILS, 5, 1, -1}, GCM_BOOL, "Y5"}};
    tagPeriod period = std::chrono::milliseconds(1);
    if (!client.Start(map, channels, period, error)) {
        return 0;
    }
    bool any = false;
    uint64_t last = 0;
    for (int call = 0; call < 64 && !block.Exhausted(); ++call) {
        std::vector<tagTracedSample> samples;
        if (client.ReadNew(samples).kind == tagModbusOutcome::Ended) {
            break;
        }
        for (const tagTracedSample& sample : samples) {
            if (any && sample.tick <= last) {
                std::abort(); // time ran backwards
            }
            any = true;
            last = sample.tick;
        }
    }
    return 0;
}
