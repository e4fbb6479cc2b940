#include "ModbusPoller.h"

#include "SamplerThread.h"
#include "kit/Log.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int kMaxRegistersPerRead = 125;
constexpr int kMaxBitsPerRead = 2000;

bool IsBitTable(EnumModbusTable table) {
    return table == MODBUS_COILS || table == MODBUS_DISCRETE_INPUTS;
}

// Overruns in the log at most once a second (every one at debug level): a night of a link that
// cannot keep up would otherwise fill a disk with them.
class COverrunLog {
public:
    void Add(uint64_t skipped) {
        ++m_overruns;
        m_skipped += skipped;
    }
    void Tell(const std::string& where) {
        const auto now = std::chrono::steady_clock::now();
        if (m_overruns == 0 || now - m_told < std::chrono::seconds(1)) {
            return;
        }
        g_Log().info("{}: {} polls overran their slot, {} ticks skipped", where, m_overruns, m_skipped);
        m_told = now;
        m_overruns = m_skipped = 0;
    }

private:
    uint64_t m_overruns = 0;
    uint64_t m_skipped = 0;
    std::chrono::steady_clock::time_point m_told{};
};

} // namespace

uint32_t g_RawWord(const CModbusMap& map, const tagModbusAddress& at, const uint16_t* words,
                   EnumGCMDataType type) {
    if (IsBitTable(at.table)) {
        return words[0] ? 1u : 0u;
    }
    if (at.bit >= 0) {
        return (words[0] >> at.bit) & 1u;
    }
    const uint32_t value = at.count == 2 ? map.Join(words[0], words[1]) : g_SignExtend16(words[0]);
    return g_NarrowToType(value, type);
}

bool CModbusPoller::Load(const std::vector<tagOscilloElem>& channels, std::string& error) {
    Stop();
    std::vector<tagChannelPlan> plan;
    for (const tagOscilloElem& channel : channels) {
        auto ref = g_ResolveElement(channel.name, channel.paramCode, true);
        auto at = ref ? m_map.Locate(*ref, channel.dataType) : std::nullopt;
        if (!at) {
            error = channel.name + " has no Modbus address in the map";
            return false;
        }
        plan.push_back({0, *at, channel.dataType, channel.name});
    }
    m_channels = plan.size();
    m_clocked = m_map.ClockElement().has_value();
    if (m_clocked) {
        const auto at = m_map.Locate(*m_map.ClockElement(), GCM_DINT);
        if (!at) {
            error = m_map.ClockName() + " (the clock) has no Modbus address in the map";
            return false;
        }
        plan.push_back({0, *at, GCM_DINT, m_map.ClockName()});
    }
    // One request per table while the span fits one; a device that refuses it is split later.
    std::vector<size_t> order(plan.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::pair(plan[a].at.table, plan[a].at.address) <
               std::pair(plan[b].at.table, plan[b].at.address);
    });
    std::vector<tagPollGroup> groups;
    for (size_t i : order) {
        const tagModbusAddress& at = plan[i].at;
        const int limit = IsBitTable(at.table) ? kMaxBitsPerRead : kMaxRegistersPerRead;
        if (!groups.empty()) {
            tagPollGroup& last = groups.back();
            const int end = std::max(last.start + last.count, at.address + at.count);
            if (last.table == at.table && end - last.start <= limit) {
                last.count = end - last.start;
                last.members.push_back(i);
                plan[i].group = groups.size() - 1;
                continue;
            }
        }
        groups.push_back({at.table, at.address, at.count, {i}});
        plan[i].group = groups.size() - 1;
    }
    m_plan = std::move(plan);
    m_groups = std::move(groups);
    m_buffers.assign(m_groups.size(), {});
    return true;
}

bool CModbusPoller::Start(tagPeriod& period, std::string& error) {
    Stop();
    // The quickest of three polls counts, so that one held up by a device just back does not
    // slow the whole recording.
    Clock::duration quickest = Clock::duration::max();
    for (int i = 0; i < 3; ++i) {
        tagOscilloVal sample;
        const Clock::time_point before = Clock::now();
        uint32_t clock = 0;
        const tagModbusOutcome polled = Poll(sample, clock);
        if (!polled.ok()) {
            error = m_bus.Where(polled.text);
            return false;
        }
        quickest = std::min(quickest, Clock::now() - before);
    }
    // What the link sustains, in whole ms.
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(quickest).count();
    const std::chrono::milliseconds needed(
        static_cast<int64_t>(std::ceil(static_cast<double>(micros) * 1.25 / 1000.0)));
    // A clock files each sample at the controller's millisecond, so the period stays: the polls
    // the link cannot make show as skipped ticks rather than as samples filed late.
    if (needed > period && !m_clocked) {
        period = std::min(std::chrono::duration_cast<tagPeriod>(needed), g_PeriodOfEighths(0xFFFF));
    }
    m_queue.Reset();
    m_queue.Count([&](tagLinkStatistics& s) {
        s.mode = m_clocked ? EnumSamplingMode::PolledWithClock : EnumSamplingMode::PolledByComputer;
    });
    m_period = period;
    m_firstClock.reset();
    m_lastTick.reset();
    m_stop = false;
    const auto slot = std::chrono::duration_cast<std::chrono::microseconds>(period);
    g_Log().info("{}: polled by this computer every {} us, {} requests a poll{}", m_bus.Where(), slot.count(),
                 m_groups.size(), m_clocked ? ", timed by the controller's clock " + m_map.ClockName() : "");
    m_thread = std::thread([this, slot] {
        g_PrepareSamplerThread();
        Loop(Clock::now(), slot);
    });
    return true;
}

void CModbusPoller::Stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

std::chrono::milliseconds CModbusPoller::Patience() const {
    return std::max(m_bus.ResponseTimeout(), kLeastPatience);
}

void CModbusPoller::SplitGroup(size_t g) {
    std::vector<size_t> members = m_groups[g].members;
    std::sort(members.begin(), members.end(),
              [&](size_t a, size_t b) { return m_plan[a].at.address < m_plan[b].at.address; });
    auto groupOf = [&](std::vector<size_t> part) {
        tagPollGroup group{m_groups[g].table, m_plan[part.front()].at.address, 0, std::move(part)};
        for (size_t k : group.members) {
            group.count = std::max(group.count, m_plan[k].at.address + m_plan[k].at.count - group.start);
        }
        return group;
    };
    g_Log().info(
        "{}: a read of {} elements refused for an address the device does not have: read in two parts "
        "from now on",
        m_bus.Where(), members.size());
    const auto middle = members.begin() + static_cast<std::ptrdiff_t>(members.size() / 2);
    tagPollGroup first = groupOf({members.begin(), middle});
    tagPollGroup second = groupOf({middle, members.end()});
    m_groups[g] = std::move(first);
    m_groups.insert(m_groups.begin() + static_cast<std::ptrdiff_t>(g) + 1, std::move(second));
    m_buffers.insert(m_buffers.begin() + static_cast<std::ptrdiff_t>(g) + 1,
                     std::vector<uint16_t>()); // the others stay read
    for (size_t i = 0; i < m_groups.size(); ++i) {
        for (size_t k : m_groups[i].members) {
            m_plan[k].group = i;
        }
    }
}

tagModbusOutcome CModbusPoller::Poll(tagOscilloVal& sample, uint32_t& clock) {
    for (size_t g = 0; g < m_groups.size();) {
        const tagPollGroup& group = m_groups[g];
        m_buffers[g].resize(static_cast<size_t>(group.count));
        tagModbusOutcome read = m_bus.Read(group.table, group.start, group.count, m_buffers[g].data());
        if (read.kind == tagModbusOutcome::Exception &&
            read.exception == CModbusTransport::kIllegalDataAddress) {
            if (group.members.size() > 1) {
                SplitGroup(g); // a hole in the device's map between the elements
                continue;
            }
            read.text = m_plan[group.members.front()].name + ": " + read.text;
        }
        if (!read.ok()) {
            return read;
        }
        ++g;
    }
    for (size_t k = 0; k < m_plan.size(); ++k) {
        const tagChannelPlan& plan = m_plan[k];
        const uint16_t* words = m_buffers[plan.group].data() + (plan.at.address - m_groups[plan.group].start);
        (k < m_channels ? sample.raw[k] : clock) = g_RawWord(m_map, plan.at, words, plan.type);
    }
    return tagModbusOutcome::Success();
}

std::optional<uint64_t> CModbusPoller::TickOf(uint64_t slot, uint32_t clock) {
    if (!m_clocked) {
        return slot;
    }
    // The controller's milliseconds since the first sample, in periods (a counter wraps in 32 bits).
    m_firstClock = m_firstClock.value_or(clock);
    const uint64_t eighths = uint64_t{static_cast<uint32_t>(clock - *m_firstClock)} * 8;
    const uint64_t tick = eighths / std::max<uint32_t>(m_period.count(), 1);
    if (m_lastTick && tick <= *m_lastTick) {
        return std::nullopt;
    }
    m_lastTick = tick;
    return tick;
}

tagModbusOutcome CModbusPoller::PollSlot(tagOscilloVal& sample, uint32_t& clock, Clock::time_point due,
                                         Clock::time_point next) {
    const Clock::time_point asked = Clock::now();
    tagModbusOutcome polled = Poll(sample, clock);
    m_queue.Count([&](tagLinkStatistics& s) {
        const double late = std::chrono::duration<double, std::micro>(asked - due).count();
        const double took = std::chrono::duration<double, std::micro>(Clock::now() - asked).count();
        ++s.polls;
        s.maxLateMicros = std::max(s.maxLateMicros, late);
        s.meanLateMicros += (late - s.meanLateMicros) / static_cast<double>(s.polls);
        s.maxPollMicros = std::max(s.maxPollMicros, took);
        s.meanPollMicros += (took - s.meanPollMicros) / static_cast<double>(s.polls);
    });
    // A lost or spoilt reply is tried again while the slot lasts.
    while (!polled.ok() && !m_stop && Clock::now() < next && polled.kind != tagModbusOutcome::Exception) {
        polled = Poll(sample, clock);
    }
    return polled;
}

void CModbusPoller::Loop(Clock::time_point start, std::chrono::microseconds period) {
    uint64_t tick = 0;
    COverrunLog overruns;
    std::optional<Clock::time_point> failingSince; // the first failure since the last valid reply
    const auto slotOf = [&](uint64_t t) { return start + period * static_cast<int64_t>(t); };
    while (!m_stop) {
        std::this_thread::sleep_until(slotOf(tick));
        if (m_stop) {
            break;
        }
        tagOscilloVal sample;
        uint32_t clock = 0;
        const tagModbusOutcome polled = PollSlot(sample, clock, slotOf(tick), slotOf(tick + 1));
        if (polled.ok()) {
            failingSince.reset();
            if (const std::optional<uint64_t> filed = TickOf(tick, clock)) {
                sample.tick = static_cast<uint32_t>(*filed);
                m_queue.Push(sample, *filed);
            } else {
                m_queue.Count([](tagLinkStatistics& s) { ++s.duplicates; });
            }
        } else {
            m_queue.Count([](tagLinkStatistics& s) { ++s.failedPolls; });
            const Clock::time_point now = Clock::now();
            failingSince = failingSince.value_or(now);
            // A refusal of the request itself will not change; otherwise the device is given its
            // response timeout again.
            const bool refused = polled.kind == tagModbusOutcome::Exception && polled.exception <= 3;
            if (refused || now - *failingSince >= Patience()) {
                g_Log().warn(
                    "{}: no valid reply for {} ms: the recording ends", m_bus.Where(),
                    std::chrono::duration_cast<std::chrono::milliseconds>(now - *failingSince).count());
                m_queue.Fail(m_bus.Where(polled.text));
                return;
            }
        }
        // An overrun skips the slots that have passed instead of bunching samples after it.
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        const uint64_t next = std::max<uint64_t>(tick + 1, static_cast<uint64_t>(elapsed / period) + 1);
        if (next > tick + 1) {
            g_Log().debug("{}: poll of tick {} overran its slot: {} ticks skipped", m_bus.Where(), tick,
                          next - tick - 1);
            overruns.Add(next - tick - 1);
        }
        overruns.Tell(m_bus.Where());
        tick = next;
    }
}
