#include "ModbusLink.h"

#include "ElementValue.h"
#include "ModbusRtuClient.h"
#include "ModbusTcpClient.h"
#include "SamplerThread.h"
#include "SerialDevices.h"
#include "kit/Log.h"
#include "kit/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxRegistersPerRead = 125;
constexpr int kMaxBitsPerRead = 2000;
constexpr size_t kQueueLimit = 1'000'000;
// Probe address for the state query: D0 in the default map.
const tagElementRef kProbeElement{KIND_D, 0, -1, -1, 0};

bool IsBitTable(EnumModbusTable table) {
    return table == MODBUS_COILS || table == MODBUS_DISCRETE_INPUTS;
}

// The sample word from the registers or bits read for one element, as the controller itself would
// deliver it for the type.
uint32_t RawWord(const CModbusMap& map, const tagModbusAddress& at, const uint16_t* words,
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

CModbusLink::CModbusLink() {
    std::string error;
    if (!m_map.LoadFile(g_ModbusMapPath(), error)) {
        m_mapError = error;
        g_Log().warn("the Modbus map file is not used: {}", error);
    }
}

CModbusLink::~CModbusLink() {
    Close();
}

bool CModbusLink::Fail(const std::string& what) {
    std::lock_guard lock(m_errorMutex);
    m_lastError = what;
    return false;
}

std::string CModbusLink::LastError() const {
    std::lock_guard lock(m_errorMutex);
    return m_lastError;
}

std::chrono::milliseconds CModbusLink::Patience() const {
    return std::max(m_transport ? m_transport->ResponseTimeout() : kLeastPatience, kLeastPatience);
}

bool CModbusLink::Open(EnumInterfaceType type, const tagSerialInfo& info) {
    Close();
    std::lock_guard lock(m_io);
    std::string& where = m_where; // the port or address and the settings, for every message
    if (type == INTERFACE_ETHERNET) {
        // A map file may name the port of devices that listen elsewhere than the dialog's ports.
        const uint32_t port = m_map.TcpPort() ? m_map.TcpPort() : info.tcpPort;
        where = g_IpAddressText(info.ipAddress) + ":" + std::to_string(port);
        m_transport = std::make_unique<CModbusTcpClient>(g_IpAddressText(info.ipAddress),
                                                         static_cast<int>(port), m_map.Unit());
    } else {
        std::string device;
        std::string port;
        if (type == INTERFACE_USB) {
            const std::vector<std::string> devices = g_UsbSerialDevices();
            if (info.usbPort < devices.size()) {
                device = devices[info.usbPort];
            }
            port = "USB" + std::to_string(info.usbPort);
        } else {
            device = g_SerialDeviceOfComPort(info.comPort);
            port = "COM" + std::to_string(info.comPort);
        }
        if (device.empty()) {
            where.clear();
            return Fail(port + ": no serial device for this port");
        }
        where = port + " \u2192 " + device + ", " + g_SerialFormatText(info);
        m_transport = std::make_unique<CModbusRtuClient>(
            device, static_cast<int>(info.baudRate), g_ParityLetter(info.parity),
            static_cast<int>(info.dataBits), static_cast<int>(info.stopBits), m_map.Unit());
    }
    if (info.timeout > 0) {
        m_transport->SetResponseTimeout(std::chrono::seconds(info.timeout));
    }
    std::string error;
    if (!m_transport->Connect(error)) {
        m_transport.reset();
        g_Log().warn("{}: cannot open: {}", where, error);
        return Fail(where + ": " + error);
    }
    g_Log().info("{}: open (unit {}, response timeout {} ms)", where, m_map.Unit(),
                 m_transport->ResponseTimeout().count());
    return true;
}

void CModbusLink::Close() {
    StopSampler();
    std::lock_guard lock(m_io);
    if (m_transport) {
        g_Log().info("{}: closed", m_where);
    }
    m_transport.reset();
}

bool CModbusLink::IsOpen() const {
    std::lock_guard lock(m_io);
    return m_transport != nullptr;
}

bool CModbusLink::QueryState(uint32_t& state) {
    const auto probe = m_map.Locate(kProbeElement, GCM_INT);
    if (!probe) {
        return Fail("the probe element has no address");
    }
    std::vector<uint16_t> words;
    const tagModbusOutcome read = ReadGroup({probe->table, probe->address, 1, {}}, words);
    if (!read.ok()) {
        return Fail(Where(read.text));
    }
    state = 1;
    return true;
}

int CModbusLink::UsbCount() {
    return static_cast<int>(g_UsbSerialDevices().size());
}

bool CModbusLink::ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) {
    // Modbus has no report of the slave's own serial format: an answer at all is the result. The
    // wait is the probe's own response timeout, so that a walk through many formats over a silent
    // line takes the sum of the waits and not the link's timeout each time.
    reply.clear();
    std::chrono::milliseconds timeout{};
    {
        std::lock_guard lock(m_io);
        if (!m_transport) {
            return Fail("the link is not open");
        }
        timeout = m_transport->ResponseTimeout();
        if (waitMs > 0) {
            m_transport->SetResponseTimeout(std::chrono::milliseconds(waitMs));
        }
        m_transport->Flush(); // what a probe at another format left on the line
    }
    uint32_t state = 0;
    const bool answered = QueryState(state);
    std::lock_guard lock(m_io);
    if (m_transport) {
        m_transport->SetResponseTimeout(timeout);
    }
    return answered;
}

tagModbusOutcome CModbusLink::ReadGroup(const tagPollGroup& group, std::vector<uint16_t>& words) {
    std::lock_guard lock(m_io);
    if (!m_transport) {
        return {tagModbusOutcome::Broken, 0, "the link is not open"};
    }
    words.resize(static_cast<size_t>(group.count));
    return Worded(m_transport->Read(group.table, group.start, group.count, words.data()));
}

tagModbusOutcome CModbusLink::Worded(tagModbusOutcome outcome) const {
    if (outcome.kind == tagModbusOutcome::TimedOut && m_transport) {
        const double seconds = std::chrono::duration<double>(m_transport->ResponseTimeout()).count();
        outcome.text = "no answer in " + g_ShortestText(seconds) + " s";
    }
    return outcome;
}

std::string CModbusLink::Where(const std::string& what) const {
    return m_where.empty() ? what : m_where + ": " + what;
}

void CModbusLink::SplitGroup(size_t g) {
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
        m_where, members.size());
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

tagModbusOutcome CModbusLink::Poll(tagOscilloVal& sample) {
    for (size_t g = 0; g < m_groups.size();) {
        tagModbusOutcome read = ReadGroup(m_groups[g], m_buffers[g]);
        if (read.kind == tagModbusOutcome::Exception &&
            read.exception == CModbusTransport::kIllegalDataAddress) {
            if (m_groups[g].members.size() > 1) {
                SplitGroup(g); // a hole in the device's map between the elements
                continue;
            }
            read.text = m_plan[m_groups[g].members.front()].name + ": " + read.text;
        }
        if (!read.ok()) {
            return read;
        }
        ++g;
    }
    for (size_t k = 0; k < m_plan.size(); ++k) {
        const tagChannelPlan& plan = m_plan[k];
        const uint16_t* words = m_buffers[plan.group].data() + (plan.at.address - m_groups[plan.group].start);
        sample.raw[k] = RawWord(m_map, plan.at, words, plan.type);
    }
    return tagModbusOutcome::Success();
}

bool CModbusLink::SetOscillo(int command, tagOscilloSetting& setting) {
    if (command == OSCILLO_CMD_LOAD) {
        StopSampler();
        if (setting.channels.size() > static_cast<size_t>(kMaxChannels)) {
            return Fail("too many channels");
        }
        std::vector<tagChannelPlan> plan;
        for (const tagOscilloElem& channel : setting.channels) {
            auto ref = g_ResolveElement(channel.name, channel.paramCode, true);
            auto at = ref ? m_map.Locate(*ref, channel.dataType) : std::nullopt;
            if (!at) {
                return Fail(channel.name + " has no Modbus address in the map");
            }
            plan.push_back({0, *at, channel.dataType, channel.name});
        }
        // One request per table while the span fits one; a device that refuses it is split later.
        std::vector<size_t> order(plan.size());
        for (size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
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
        m_period = std::max(g_PeriodOfEighths(setting.requestedPeriod), tagPeriod(1));
        setting.actualPeriod = g_EighthsOfPeriod(m_period);
        return true;
    }
    if (command != OSCILLO_CMD_RUN) {
        return Fail("unknown command");
    }
    StopSampler();
    if (setting.run == 0) {
        return true;
    }
    if (m_plan.empty()) {
        return Fail("no channels loaded");
    }
    // A few polls tell what the link sustains (the first also finds the split a device's map
    // needs); the quickest counts, so that one held up by a device just back does not slow the
    // whole recording. A longer period is reported back.
    int64_t pollMicros = INT64_MAX;
    for (int i = 0; i < 3; ++i) {
        tagOscilloVal sample;
        const Clock::time_point before = Clock::now();
        const tagModbusOutcome polled = Poll(sample);
        if (!polled.ok()) {
            return Fail(Where(polled.text));
        }
        pollMicros = std::min<int64_t>(
            pollMicros, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - before).count());
    }
    // What the link sustains, in whole ms.
    const std::chrono::milliseconds needed(
        static_cast<int64_t>(std::ceil(static_cast<double>(pollMicros) * 1.25 / 1000.0)));
    if (needed > m_period) {
        m_period = std::min(std::chrono::duration_cast<tagPeriod>(needed), g_PeriodOfEighths(0xFFFF));
    }
    setting.actualPeriod = g_EighthsOfPeriod(m_period);
    m_failed = false;
    m_missedTicks = 0;
    {
        std::lock_guard lock(m_statsMutex);
        m_statistics = {};
    }
    m_stop = false;
    {
        std::lock_guard lock(m_queueMutex);
        m_queue.clear();
    }
    const auto period = std::chrono::duration_cast<std::chrono::microseconds>(m_period);
    g_Log().info("{}: polled by this computer every {} us, {} requests a poll", m_where, period.count(),
                 m_groups.size());
    m_sampler = std::thread([this, period] {
        g_PrepareSamplerThread();
        SamplerLoop(Clock::now(), period);
    });
    return true;
}

void CModbusLink::SamplerLoop(Clock::time_point start, std::chrono::microseconds period) {
    uint64_t tick = 0;
    uint64_t sampledTick = 0; // the tick after the last one sampled
    COverrunLog overruns;
    bool failing = false;
    Clock::time_point failingSince; // the first failure since the last valid reply
    const auto slotOf = [&](uint64_t t) { return start + period * static_cast<int64_t>(t); };
    while (!m_stop) {
        const Clock::time_point due = slotOf(tick);
        std::this_thread::sleep_until(due);
        if (m_stop) {
            break;
        }
        {
            const double late = std::chrono::duration<double, std::micro>(Clock::now() - due).count();
            std::lock_guard lock(m_statsMutex);
            tagLinkStatistics& s = m_statistics;
            s.maxLateMicros = std::max(s.maxLateMicros, late);
            s.meanLateMicros += (late - s.meanLateMicros) / static_cast<double>(++s.polls);
        }
        tagOscilloVal sample;
        sample.tick = static_cast<uint32_t>(tick);
        // A lost or spoilt reply is tried again while the slot lasts.
        const Clock::time_point asked = Clock::now();
        tagModbusOutcome polled = Poll(sample);
        {
            const double took = std::chrono::duration<double, std::micro>(Clock::now() - asked).count();
            std::lock_guard lock(m_statsMutex);
            tagLinkStatistics& s = m_statistics;
            s.maxPollMicros = std::max(s.maxPollMicros, took);
            s.meanPollMicros += (took - s.meanPollMicros) / static_cast<double>(s.polls);
        }
        while (!polled.ok() && !m_stop && Clock::now() < slotOf(tick + 1) &&
               polled.kind != tagModbusOutcome::Exception) {
            polled = Poll(sample);
        }
        if (polled.ok()) {
            failing = false;
            std::lock_guard lock(m_queueMutex);
            if (m_queue.size() >= kQueueLimit) {
                m_queue.erase(m_queue.begin());
            }
            m_queue.push_back(sample);
            // Counted with the sample that follows them: every tick up to the last sample is
            // either a sample or skipped.
            m_missedTicks += tick - sampledTick;
            sampledTick = tick + 1;
            if (m_listener) {
                m_listener();
            }
        } else {
            {
                std::lock_guard lock(m_statsMutex);
                ++m_statistics.failedPolls;
            }
            Fail(Where(polled.text));
            const Clock::time_point now = Clock::now();
            if (!failing) {
                failing = true;
                failingSince = now;
            }
            // A refusal of the request itself will not change; otherwise the device is given its
            // response timeout again.
            const bool refused = polled.kind == tagModbusOutcome::Exception && polled.exception <= 3;
            if (refused || now - failingSince >= Patience()) {
                g_Log().warn(
                    "{}: no valid reply for {} ms: the recording ends", m_where,
                    std::chrono::duration_cast<std::chrono::milliseconds>(now - failingSince).count());
                m_failed = true;
                return;
            }
        }
        // An overrun skips the slots that have passed instead of bunching samples after it.
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        const uint64_t next =
            std::max<uint64_t>(tick + 1, static_cast<uint64_t>(elapsed / period.count()) + 1);
        if (next > tick + 1) {
            g_Log().debug("{}: poll of tick {} overran its slot: {} ticks skipped", m_where, tick,
                          next - tick - 1);
            overruns.Add(next - tick - 1);
        }
        overruns.Tell(m_where);
        tick = next;
    }
}

tagLinkStatistics CModbusLink::Statistics() const {
    std::lock_guard lock(m_statsMutex);
    tagLinkStatistics statistics = m_statistics;
    statistics.skippedTicks = m_missedTicks;
    return statistics;
}

void CModbusLink::StopSampler() {
    m_stop = true;
    if (m_sampler.joinable()) {
        m_sampler.join();
    }
}

void CModbusLink::SetSampleListener(std::function<void()> listener) {
    std::lock_guard lock(m_queueMutex);
    m_listener = std::move(listener);
}

bool CModbusLink::GetOscillo(tagOscilloData& data) {
    if (m_failed) {
        // Drop the broken connection; the next command opens a fresh one.
        const std::string why = LastError();
        Close();
        m_failed = false;
        return Fail("the controller stopped answering: " + why);
    }
    if (!IsOpen()) {
        return Fail("the link is not open");
    }
    std::lock_guard lock(m_queueMutex);
    data.samples.insert(data.samples.end(), m_queue.begin(), m_queue.end());
    m_queue.clear();
    return true;
}

bool CModbusLink::ReadElement(const std::string& name, EnumGCMDataType type, uint32_t& raw) {
    auto ref = g_ResolveElement(name, 0, false);
    auto at = ref ? m_map.Locate(*ref, type) : std::nullopt;
    if (!at) {
        return Fail(name + " has no Modbus address in the map");
    }
    std::vector<uint16_t> words;
    const tagModbusOutcome read = ReadGroup({at->table, at->address, at->count, {}}, words);
    if (!read.ok()) {
        return Fail(Where(name + ": " + read.text));
    }
    raw = RawWord(m_map, *at, words.data(), type);
    return true;
}

bool CModbusLink::WriteElements(const CSoftAddrMap& request) {
    if (request.GetCount() == 0) {
        return Fail("nothing to write");
    }
    for (const auto& [key, entry] : request.GetEntries()) {
        auto ref = g_ResolveElement(entry->name, 0, false);
        auto at = ref ? m_map.Locate(*ref, entry->dataType) : std::nullopt;
        if (!at || at->table == MODBUS_DISCRETE_INPUTS || at->table == MODBUS_INPUT_REGISTERS) {
            return Fail(entry->name + " cannot be written");
        }
        const bool bit = IsBitTable(at->table) || at->bit >= 0;
        const tagElementValue value = g_ElementValue(entry->dataType, bit, entry->valueText);
        if (!value.ok) {
            return Fail(entry->name + ": " + value.reason);
        }
        std::lock_guard lock(m_io);
        if (!m_transport) {
            return Fail("the link is not open");
        }
        tagModbusOutcome written;
        if (IsBitTable(at->table)) {
            written = m_transport->WriteBit(at->address, value.word != 0);
        } else if (at->bit >= 0) {
            // A bit of a register: read, change, write back.
            uint16_t word = 0;
            written = m_transport->Read(MODBUS_HOLDING_REGISTERS, at->address, 1, &word);
            if (written.ok()) {
                word = static_cast<uint16_t>(value.word ? word | (1u << at->bit) : word & ~(1u << at->bit));
                written = m_transport->WriteRegisters(at->address, &word, 1);
            }
        } else {
            uint16_t words[2] = {static_cast<uint16_t>(value.word), 0};
            if (at->count == 2) {
                m_map.Split(value.word, words[0], words[1]);
            }
            written = m_transport->WriteRegisters(at->address, words, at->count == 2 ? 2 : 1);
        }
        if (!written.ok()) {
            return Fail(Where(entry->name + ": " + Worded(written).text));
        }
    }
    return true;
}
