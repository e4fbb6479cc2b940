// Sampling by this computer: a thread polls the channels' elements at the period against absolute
// deadlines and files each sample under its tick; a poll that overruns its slot skips the missed
// ticks. With a clock element in the map, it is read in the same request and each sample is filed
// at the controller's millisecond instead: a poll that sees the same one again is dropped, a jump
// counts the ticks between as skipped. A lost or spoilt reply costs its ticks, not the recording: that ends
// only when no valid reply came for the response timeout (at least a second) after a failure. A read the
// device refuses for an address missing from its map is split, down to single elements, and the working split
// kept.
#pragma once

#include "ModbusBus.h"
#include "ModbusMap.h"
#include "SampleQueue.h"
#include "kit/Period.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class CModbusPoller {
public:
    using Clock = std::chrono::steady_clock;
    // Slack the recording is given before a failure ends it.
    static constexpr std::chrono::milliseconds kLeastPatience{1000};

    CModbusPoller(CModbusBus& bus, const CModbusMap& map, CSampleQueue& queue)
        : m_bus(bus), m_map(map), m_queue(queue) {}
    ~CModbusPoller() { Stop(); }
    CModbusPoller(const CModbusPoller&) = delete;
    CModbusPoller& operator=(const CModbusPoller&) = delete;

    // Plans the reads of the channels: one request per table while the span fits one. False with
    // the reason for an element the map has no address for.
    bool Load(const std::vector<tagOscilloElem>& channels, std::string& error);
    // A few polls tell what the link sustains (the first also finds the split a device's map
    // needs); the period grows to that when it is shorter. Then the thread starts.
    bool Start(tagPeriod& period, std::string& error);
    void Stop();
    bool Loaded() const { return !m_plan.empty(); }

private:
    struct tagPollGroup {
        EnumModbusTable table;
        int start;
        int count;
        std::vector<size_t> members; // channels read by it
    };
    struct tagChannelPlan {
        size_t group;
        tagModbusAddress at;
        EnumGCMDataType type;
        std::string name;
    };

    // One sample of every channel (and the clock's word); a refused read of many elements is
    // split first.
    tagModbusOutcome Poll(tagOscilloVal& sample, uint32_t& clock);
    // The tick a poll is filed under, or nothing for one that saw the controller's tick again.
    std::optional<uint64_t> TickOf(uint64_t slot, uint32_t clock);
    // Group g in two halves by its members, each read on its own from now on.
    void SplitGroup(size_t g);
    void Loop(Clock::time_point start, std::chrono::microseconds period);
    // The poll of one slot, tried again while the slot lasts; how long it took is counted.
    tagModbusOutcome PollSlot(tagOscilloVal& sample, uint32_t& clock, Clock::time_point due,
                              Clock::time_point next);
    std::chrono::milliseconds Patience() const;

    CModbusBus& m_bus;
    const CModbusMap& m_map;
    CSampleQueue& m_queue;
    std::vector<tagPollGroup> m_groups;
    std::vector<tagChannelPlan> m_plan;
    std::vector<std::vector<uint16_t>> m_buffers;
    size_t m_channels = 0; // the plan's first ones; a clock element comes after them
    bool m_clocked = false;
    tagPeriod m_period{};
    std::optional<uint32_t> m_firstClock; // the controller's millisecond at the first sample
    std::optional<uint64_t> m_lastTick;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

// The sample word from the registers or bits read for one element, as the controller itself would
// deliver it for the type.
uint32_t g_RawWord(const CModbusMap& map, const tagModbusAddress& at, const uint16_t* words,
                   EnumGCMDataType type);
