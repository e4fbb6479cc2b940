// The computer's side of the trace block (plctrace/chronotrace.h): finds the block by its
// signature, writes the channel list, the period and the run command, and reads the records the
// controller sampled in its own cycle, each filed under the controller's tick. A lapped ring (the
// controller overwrote records not read yet) loses exactly the ticks of those records.
#pragma once

#include "ModbusMap.h"
#include "ModbusTransport.h"
#include "OscilloTypes.h"
#include "kit/Period.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// How the client reaches a block: its header's holding registers and its ring.
class CTraceRegisters {
public:
    virtual ~CTraceRegisters() = default;
    virtual tagModbusOutcome ReadHeader(uint16_t offset, uint16_t count, uint16_t* words) = 0;
    virtual tagModbusOutcome WriteHeader(uint16_t offset, uint16_t count, const uint16_t* words) = 0;
    virtual tagModbusOutcome ReadRing(uint32_t offset, uint16_t count, uint16_t* words) = 0;
    // Lets the controller run a cycle while the client waits for it to take a command.
    virtual void Wait(std::chrono::milliseconds time) = 0;
};

// A channel as the block takes it: where its element lives, its type, and its name for messages.
struct tagTraceChannel {
    tagModbusAddress at;
    EnumGCMDataType type;
    std::string name;
};

// A sample with the controller's tick, extended beyond 32 bits.
struct tagTracedSample {
    uint64_t tick = 0;
    tagOscilloVal sample;
};

// What the block did during a run.
struct tagTraceStatistics {
    uint64_t records = 0;  // records read
    uint64_t overruns = 0; // times records were lost to a lapped ring (each a gap of ticks)
    tagPeriod period{};    // the controller's
};

class CTraceBlockClient {
public:
    // Absent: the device refused the read or showed no signature, so it has no block. Unreadable:
    // the read failed otherwise (no answer), so whether it has one is not known.
    enum class EnumFound { Absent, Found, Unsupported, Unreadable };

    explicit CTraceBlockClient(CTraceRegisters& registers) : m_registers(registers) {}

    // Whether a block of a version this client speaks is there; why not, when one of another is
    // or the header could not be read.
    EnumFound Find(std::string& why);
    // Writes the channels (where each lives and its type) and the period, then the run command;
    // false with the reason when the block refuses them or does not start. The period becomes the
    // controller's.
    bool Start(const CModbusMap& map, const std::vector<tagTraceChannel>& channels, tagPeriod& period,
               std::string& error);
    // The records the last look at the header showed, oldest first, and a new look: a record is
    // given once the look after its read shows it was not overwritten meanwhile. What the new look
    // shows is read by the next call (or by this one while a full read's worth waits). A lapped
    // ring or records overwritten while they were read count as an overrun, their ticks as a gap.
    tagModbusOutcome ReadNew(std::vector<tagTracedSample>& samples);
    void Stop();
    const tagTraceStatistics& Statistics() const { return m_statistics; }
    // The running block's records per read of the ring, and records in the ring.
    uint32_t RecordsPerRead() const {
        return std::max<uint32_t>(1, kMostRegistersPerRead / std::max<uint16_t>(m_recordWords, 1));
    }
    uint32_t Capacity() const { return m_capacity; }
    // Registers a read of the ring may take at most.
    static constexpr uint16_t kMostRegistersPerRead = 125;
    // Reads and looks one call makes at most while a backlog remains.
    static constexpr int kMostRoundsPerCall = 16;
    // Records one round reads at most before it looks at the header.
    static constexpr uint32_t kMostRecordsPerRound = 1u << 16;

private:
    struct tagPending {
        uint32_t index;
        tagTracedSample traced;
    };
    // Where the controller's writing stood at a look at the header.
    struct tagRing {
        uint32_t written;
        uint32_t nextSlot;
    };

    // Reads the header until done says so (true) or the controller took too long (false; the
    // error says why when a read failed).
    bool Await(const std::function<bool(const uint16_t*)>& done, uint16_t* header, std::string& error);
    // The run the header shows started: what the client keeps of it.
    bool Begin(const CModbusMap& map, const std::vector<tagTraceChannel>& channels, const uint16_t* header,
               tagPeriod& period, std::string& error);
    // Decodes the records from index first on, read into words.
    void Decode(const std::vector<uint16_t>& words, uint32_t first, uint32_t count);
    // Reads the header: the run still going, how far the controller wrote, and the records read
    // since the last look given where they stayed.
    tagModbusOutcome Look(std::vector<tagTracedSample>& samples);
    // A confirmed record to the samples, its tick extended past 32 bits.
    void Give(tagPending& pending, std::vector<tagTracedSample>& samples);
    void Lose();

    CTraceRegisters& m_registers;
    const CModbusMap* m_map = nullptr;
    std::vector<tagTraceChannel> m_channels;
    uint16_t m_run = 0;
    uint16_t m_recordWords = 0;
    uint32_t m_capacity = 0;
    uint32_t m_next = 0; // the next record to read
    std::optional<tagRing> m_seen;
    std::vector<tagPending> m_pending; // read, not yet known not to be overwritten meanwhile
    uint64_t m_lastTick = 0;
    bool m_anyTick = false;
    bool m_losing = false; // records were lost since the last one given
    tagTraceStatistics m_statistics;
};

// A Modbus table as the block's header names it (ct_table), and back.
uint16_t g_TraceTableCode(EnumModbusTable table);
EnumModbusTable g_TableOfTraceCode(uint16_t code);

// The refusal a block gives, in words; the channel's name leads where it is about one.
std::string g_TraceRefusalText(uint16_t refusal, const std::string& channel = {});
