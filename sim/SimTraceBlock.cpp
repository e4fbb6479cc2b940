#include "SimTraceBlock.h"

#include "ModbusWords.h"

namespace {

tagModbusOutcome Refused() {
    return {tagModbusOutcome::Exception, CModbusTransport::kIllegalDataAddress, "Illegal data address"};
}

} // namespace

CSimTraceBlock::CSimTraceBlock(CElementMemory& memory, const CModbusMap& map, uint32_t ringWords,
                               uint16_t ringAddress, Machine machine)
    : m_memory(memory), m_map(map), m_machine(std::move(machine)), m_ring(ringWords) {
    // The simulated controller samples at periods of 1/8 ms and up.
    ct_init(&m_block, m_ring.data(), ringWords, CT_INPUT_REGISTERS, ringAddress, 1, &CSimTraceBlock::Read,
            this);
}

int CSimTraceBlock::Read(void* context, int table, uint16_t address, uint16_t count, uint16_t* words) {
    auto* self = static_cast<CSimTraceBlock*>(context);
    // Registers no element uses are no channel's.
    for (uint16_t i = 0; i < count; ++i) {
        if (!self->m_map.Reverse(g_TableOfTraceCode(static_cast<uint16_t>(table)), address + i)) {
            return 0;
        }
    }
    g_ReadModbusWords(self->m_memory, self->m_map, g_TableOfTraceCode(static_cast<uint16_t>(table)), address,
                      count, words);
    return 1;
}

void CSimTraceBlock::CatchUp(int64_t nowMicros) {
    const auto now = static_cast<uint64_t>(nowMicros);
    if (m_block.header[CT_H_COMMAND] != m_block.last_command) {
        m_machine(static_cast<double>(nowMicros) / 1000.0);
        ct_cycle(&m_block, now); // takes the command; a run samples its tick 0 at once
    }
    if (!Running()) {
        return;
    }
    uint64_t due = m_block.start_us + static_cast<uint64_t>(m_block.next_tick) * m_block.period_us;
    const uint64_t backlog = static_cast<uint64_t>(m_block.capacity) * m_block.period_us;
    if (now > due + backlog) {
        // The ticks before the last ring's worth would be lost unread: left without samples.
        due += (now - due - backlog) / m_block.period_us * m_block.period_us;
    }
    for (; due <= now;
         due = m_block.start_us + static_cast<uint64_t>(m_block.next_tick) * m_block.period_us) {
        m_machine(static_cast<double>(due) / 1000.0);
        ct_cycle(&m_block, due);
    }
}

tagModbusOutcome CSimTraceRegisters::ReadHeader(uint16_t offset, uint16_t count, uint16_t* words) {
    return ct_read_header(&m_block.Block(), offset, count, words) ? tagModbusOutcome::Success() : Refused();
}

tagModbusOutcome CSimTraceRegisters::WriteHeader(uint16_t offset, uint16_t count, const uint16_t* words) {
    return ct_write_header(&m_block.Block(), offset, count, words) ? tagModbusOutcome::Success() : Refused();
}

tagModbusOutcome CSimTraceRegisters::ReadRing(uint32_t offset, uint16_t count, uint16_t* words) {
    return ct_read_ring(&m_block.Block(), offset, count, words) ? tagModbusOutcome::Success() : Refused();
}

void CSimTraceRegisters::Wait(std::chrono::milliseconds) {
    m_block.CatchUp(m_now());
}
