#include "ModbusLink.h"

#include "SerialDevices.h"
#include "kit/IntegerText.h"

#include <modbus/modbus.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxRegistersPerRead = 125;
constexpr int kMaxBitsPerRead = 2000;
constexpr int kMergeGap = 8; // neighbours this close are read in one request
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

} // namespace

CModbusLink::CModbusLink() {
    std::string error;
    if (!m_map.LoadFile(g_ModbusMapPath(), error)) {
        m_mapError = error;
        std::fprintf(stderr, "chronoscope: the Modbus map file is not used: %s\n", error.c_str());
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

bool CModbusLink::Open(EnumInterfaceType type, const tagSerialInfo& info) {
    Close();
    std::lock_guard lock(m_io);
    std::string where; // the device or address, for the messages
    if (type == INTERFACE_ETHERNET) {
        // A map file may name the port of devices that listen elsewhere than the dialog's ports.
        const uint32_t port = m_map.TcpPort() ? m_map.TcpPort() : info.tcpPort;
        where = g_IpAddressText(info.ipAddress) + ":" + std::to_string(port);
        m_ctx = modbus_new_tcp(g_IpAddressText(info.ipAddress).c_str(), static_cast<int>(port));
    } else {
        std::string device;
        if (type == INTERFACE_USB) {
            const std::vector<std::string> devices = g_UsbSerialDevices();
            if (info.usbPort < devices.size()) {
                device = devices[info.usbPort];
            }
        } else {
            device = g_SerialDeviceOfComPort(info.comPort);
        }
        if (device.empty()) {
            return Fail("no serial device for this port");
        }
        where = device;
        m_ctx = modbus_new_rtu(device.c_str(), static_cast<int>(info.baudRate), g_ParityLetter(info.parity),
                               static_cast<int>(info.dataBits), static_cast<int>(info.stopBits));
    }
    if (!m_ctx) {
        return Fail(where + ": " + modbus_strerror(errno));
    }
    modbus_set_slave(m_ctx, m_map.Unit());
    if (info.timeout > 0) {
        modbus_set_response_timeout(m_ctx, info.timeout, 0);
    }
    if (modbus_connect(m_ctx) != 0) {
        const std::string error = where + ": " + modbus_strerror(errno);
        modbus_free(m_ctx);
        m_ctx = nullptr;
        return Fail(error);
    }
    return true;
}

void CModbusLink::Close() {
    StopSampler();
    std::lock_guard lock(m_io);
    if (m_ctx) {
        modbus_close(m_ctx);
        modbus_free(m_ctx);
        m_ctx = nullptr;
    }
}

bool CModbusLink::IsOpen() const {
    std::lock_guard lock(m_io);
    return m_ctx != nullptr;
}

bool CModbusLink::QueryState(uint32_t& state) {
    const auto probe = m_map.Locate(kProbeElement, GCM_INT);
    if (!probe) {
        return Fail("the probe element has no address");
    }
    std::vector<uint16_t> words;
    if (!ReadGroup({probe->table, probe->address, 1}, words)) {
        return false;
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
    uint32_t seconds = 0, micros = 0;
    {
        std::lock_guard lock(m_io);
        if (!m_ctx) {
            return Fail("the link is not open");
        }
        modbus_get_response_timeout(m_ctx, &seconds, &micros);
        if (waitMs > 0) {
            modbus_set_response_timeout(m_ctx, static_cast<uint32_t>(waitMs / 1000),
                                        static_cast<uint32_t>(waitMs % 1000) * 1000);
        }
        modbus_flush(m_ctx); // what a probe at another format left on the line
    }
    uint32_t state = 0;
    const bool answered = QueryState(state);
    std::lock_guard lock(m_io);
    if (m_ctx) {
        modbus_set_response_timeout(m_ctx, seconds, micros);
    }
    return answered;
}

bool CModbusLink::ReadGroup(const tagPollGroup& group, std::vector<uint16_t>& words) {
    std::lock_guard lock(m_io);
    if (!m_ctx) {
        return Fail("the link is not open");
    }
    words.resize(static_cast<size_t>(group.count));
    int read = -1;
    if (IsBitTable(group.table)) {
        std::vector<uint8_t> bits(static_cast<size_t>(group.count));
        read = group.table == MODBUS_COILS
                   ? modbus_read_bits(m_ctx, group.start, group.count, bits.data())
                   : modbus_read_input_bits(m_ctx, group.start, group.count, bits.data());
        std::copy(bits.begin(), bits.end(), words.begin());
    } else if (group.table == MODBUS_HOLDING_REGISTERS) {
        read = modbus_read_registers(m_ctx, group.start, group.count, words.data());
    } else {
        read = modbus_read_input_registers(m_ctx, group.start, group.count, words.data());
    }
    if (read != group.count) {
        return Fail(read < 0 ? modbus_strerror(errno) : "short reply");
    }
    return true;
}

bool CModbusLink::Poll(tagOscilloVal& sample) {
    for (size_t g = 0; g < m_groups.size(); ++g) {
        if (!ReadGroup(m_groups[g], m_buffers[g])) {
            return false;
        }
    }
    for (size_t k = 0; k < m_plan.size(); ++k) {
        const tagChannelPlan& plan = m_plan[k];
        const uint16_t* words = m_buffers[plan.group].data() + (plan.at.address - m_groups[plan.group].start);
        sample.raw[k] = RawWord(m_map, plan.at, words, plan.type);
    }
    return true;
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
            plan.push_back({0, *at, channel.dataType});
        }
        // Neighbouring addresses of one table are read in one request.
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
                if (last.table == at.table && at.address <= last.start + last.count + kMergeGap &&
                    end - last.start <= limit) {
                    last.count = end - last.start;
                    plan[i].group = groups.size() - 1;
                    continue;
                }
            }
            groups.push_back({at.table, at.address, at.count});
            plan[i].group = groups.size() - 1;
        }
        m_plan = std::move(plan);
        m_groups = std::move(groups);
        m_buffers.assign(m_groups.size(), {});
        m_period = std::max<uint16_t>(setting.requestedPeriod, 1);
        setting.actualPeriod = m_period;
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
    // One poll tells what the link sustains; a longer period is reported back.
    tagOscilloVal first;
    const Clock::time_point before = Clock::now();
    if (!Poll(first)) {
        return false;
    }
    const auto pollMicros =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - before).count();
    const auto needed = static_cast<uint64_t>(std::ceil(pollMicros * 1.25 / 1000.0)) * 8; // whole ms
    if (needed > m_period) {
        m_period = static_cast<uint16_t>(std::min<uint64_t>(needed, 0xFFFF));
    }
    setting.actualPeriod = m_period;
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
    const uint64_t periodMicros = static_cast<uint64_t>(m_period) * 125;
    m_sampler = std::thread([this, periodMicros] { SamplerLoop(Clock::now(), periodMicros); });
    return true;
}

void CModbusLink::SamplerLoop(Clock::time_point start, uint64_t periodMicros) {
    uint64_t tick = 0;
    uint64_t sampledTick = 0; // the tick after the last one sampled
    while (!m_stop) {
        const Clock::time_point due = start + std::chrono::microseconds(tick * periodMicros);
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
        if (!Poll(sample)) {
            m_failed = true;
            return;
        }
        {
            std::lock_guard lock(m_queueMutex);
            if (m_queue.size() >= kQueueLimit) {
                m_queue.erase(m_queue.begin());
            }
            m_queue.push_back(sample);
            // Counted with the sample that follows them: every tick up to the last sample is
            // either a sample or skipped.
            m_missedTicks += tick - sampledTick;
            sampledTick = tick + 1;
        }
        // An overrun skips the slots that have passed instead of bunching samples after it.
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        tick = std::max<uint64_t>(tick + 1, static_cast<uint64_t>(elapsed) / periodMicros + 1);
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

bool CModbusLink::GetOscillo(tagOscilloData& data) {
    if (m_failed) {
        // Drop the broken connection; the next command opens a fresh one.
        Close();
        m_failed = false;
        return Fail("the controller stopped answering");
    }
    if (!IsOpen()) {
        return Fail("the link is not open");
    }
    std::lock_guard lock(m_queueMutex);
    data.samples.insert(data.samples.end(), m_queue.begin(), m_queue.end());
    m_queue.clear();
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
        const std::string& text = entry->valueText;
        std::lock_guard lock(m_io);
        if (!m_ctx) {
            return Fail("the link is not open");
        }
        int result = -1;
        if (IsBitTable(at->table) || at->bit >= 0) {
            const bool on = text == "ON" || g_LeadingInteger(text) >= 1;
            if (IsBitTable(at->table)) {
                result = modbus_write_bit(m_ctx, at->address, on ? 1 : 0);
            } else {
                // A bit of a register: read, change, write back.
                uint16_t word = 0;
                result = modbus_read_registers(m_ctx, at->address, 1, &word);
                if (result == 1) {
                    word = static_cast<uint16_t>(on ? word | (1u << at->bit) : word & ~(1u << at->bit));
                    result = modbus_write_register(m_ctx, at->address, word);
                }
            }
        } else {
            uint32_t value = 0;
            if (entry->dataType == GCM_REAL) {
                const float f = static_cast<float>(std::strtod(text.c_str(), nullptr));
                std::memcpy(&value, &f, sizeof value);
            } else {
                value = static_cast<uint32_t>(g_LeadingInteger(text));
            }
            if (at->count == 2) {
                uint16_t words[2];
                m_map.Split(value, words[0], words[1]);
                result = modbus_write_registers(m_ctx, at->address, 2, words);
            } else {
                result = modbus_write_register(m_ctx, at->address, static_cast<uint16_t>(value));
            }
        }
        if (result < 0) {
            return Fail(modbus_strerror(errno));
        }
    }
    return true;
}
