// The trace block of a simulated controller: chronotrace's own code over the element memory, its
// sampling task run once for every period of the controller's clock, with the machine as it is at
// that tick. The Modbus server reaches it by its registers, the in-process controller directly.
#pragma once

#include "ElementMemory.h"
#include "link/ModbusMap.h"
#include "link/TraceBlockClient.h"
#include "plctrace/chronotrace.h"

#include <cstdint>
#include <functional>
#include <vector>

class CSimTraceBlock {
public:
    // The machine at a controller time (ms since power-on), before a tick is sampled.
    using Machine = std::function<void(double ms)>;

    CSimTraceBlock(CElementMemory& memory, const CModbusMap& map, uint32_t ringWords, uint16_t ringAddress,
                   Machine machine);
    CSimTraceBlock(const CSimTraceBlock&) = delete;
    CSimTraceBlock& operator=(const CSimTraceBlock&) = delete;

    // Runs the sampling task up to the controller's time now (µs since power-on): a command the
    // computer wrote takes effect, and each tick whose time has come is sampled. A backlog longer
    // than the ring is not worked through: its older ticks would be overwritten unread anyway.
    void CatchUp(int64_t nowMicros);
    ct_block& Block() { return m_block; }
    // The controller time of the running sample task's tick 0 (µs), and its period.
    int64_t StartMicros() const { return static_cast<int64_t>(m_block.start_us); }
    bool Running() const { return m_block.header[CT_H_STATE] == CT_RUNNING; }

private:
    static int Read(void* context, int table, uint16_t address, uint16_t count, uint16_t* words);

    CElementMemory& m_memory;
    const CModbusMap& m_map;
    Machine m_machine;
    std::vector<uint16_t> m_ring;
    ct_block m_block{};
};

// The block's registers for a client in the same process. The controller's clock runs on only in
// a wait (and where its owner catches up), so that what a read finds is the controller as it was
// when the owner last caught up.
class CSimTraceRegisters : public CTraceRegisters {
public:
    using Now = std::function<int64_t()>;
    CSimTraceRegisters(CSimTraceBlock& block, Now now) : m_block(block), m_now(std::move(now)) {}
    tagModbusOutcome ReadHeader(uint16_t offset, uint16_t count, uint16_t* words) override;
    tagModbusOutcome WriteHeader(uint16_t offset, uint16_t count, const uint16_t* words) override;
    tagModbusOutcome ReadRing(uint32_t offset, uint16_t count, uint16_t* words) override;
    void Wait(std::chrono::milliseconds time) override;

private:
    CSimTraceBlock& m_block;
    Now m_now;
};
