#include "TraceBlockClient.h"

#include "ModbusPoller.h"
#include "plctrace/chronotrace.h"

#include <algorithm>

namespace {

uint32_t Get32(const uint16_t* words) {
    return static_cast<uint32_t>(words[0]) | (static_cast<uint32_t>(words[1]) << 16);
}

// How long the controller may take to act on a command: a few of its cycles.
constexpr std::chrono::milliseconds kCommandWait{2000};
constexpr std::chrono::milliseconds kCommandPoll{5};

} // namespace

uint16_t g_TraceTableCode(EnumModbusTable table) {
    switch (table) {
    case MODBUS_COILS:
        return CT_COILS;
    case MODBUS_DISCRETE_INPUTS:
        return CT_DISCRETE_INPUTS;
    case MODBUS_INPUT_REGISTERS:
        return CT_INPUT_REGISTERS;
    default:
        return CT_HOLDING_REGISTERS;
    }
}

EnumModbusTable g_TableOfTraceCode(uint16_t code) {
    switch (code) {
    case CT_COILS:
        return MODBUS_COILS;
    case CT_DISCRETE_INPUTS:
        return MODBUS_DISCRETE_INPUTS;
    case CT_INPUT_REGISTERS:
        return MODBUS_INPUT_REGISTERS;
    default:
        return MODBUS_HOLDING_REGISTERS;
    }
}

std::string g_TraceRefusalText(uint16_t refusal, const std::string& channel) {
    const std::string lead = channel.empty() ? std::string() : channel + ": ";
    switch (refusal) {
    case CT_REFUSED_CHANNEL_COUNT:
        return "the trace block takes 1 to " + std::to_string(CT_MAX_CHANNELS) + " channels";
    case CT_REFUSED_CHANNEL:
        return lead + "the trace block does not take the element's table or width";
    case CT_REFUSED_ELEMENT:
        return lead + "the trace block cannot reach the element";
    case CT_REFUSED_PERIOD:
        return "the trace block refused the period";
    case CT_REFUSED_RING:
        return "the channels' record does not fit the trace block's ring";
    default:
        return "the trace block refused the recording (" + std::to_string(refusal) + ")";
    }
}

CTraceBlockClient::EnumFound CTraceBlockClient::Find(std::string& why) {
    uint16_t words[CT_H_MAX_CHANNELS + 1] = {};
    if (const tagModbusOutcome read = m_registers.ReadHeader(0, CT_H_MAX_CHANNELS + 1, words); !read.ok()) {
        if (read.kind == tagModbusOutcome::Exception) {
            return EnumFound::Absent;
        }
        why = read.text;
        return EnumFound::Unreadable;
    }
    if (words[CT_H_SIGNATURE_0] != CT_SIGNATURE_0 || words[CT_H_SIGNATURE_1] != CT_SIGNATURE_1) {
        return EnumFound::Absent;
    }
    if (words[CT_H_VERSION] != CT_VERSION) {
        why = "the trace block speaks version " + std::to_string(words[CT_H_VERSION]) +
              ", this program version " + std::to_string(CT_VERSION);
        return EnumFound::Unsupported;
    }
    return EnumFound::Found;
}

bool CTraceBlockClient::Await(const std::function<bool(const uint16_t*)>& done, uint16_t* header,
                              std::string& error) {
    // The controller takes a command in one of its next cycles.
    for (auto waited = std::chrono::milliseconds(0); waited < kCommandWait; waited += kCommandPoll) {
        if (const tagModbusOutcome read = m_registers.ReadHeader(0, CT_HEADER_WORDS, header); !read.ok()) {
            error = read.text;
            return false;
        }
        if (done(header)) {
            return true;
        }
        m_registers.Wait(kCommandPoll);
    }
    return false;
}

bool CTraceBlockClient::Start(const CModbusMap& map, const std::vector<tagTraceChannel>& channels,
                              tagPeriod& period, std::string& error) {
    uint16_t header[CT_HEADER_WORDS] = {};
    if (const tagModbusOutcome read = m_registers.ReadHeader(0, CT_HEADER_WORDS, header); !read.ok()) {
        error = read.text;
        return false;
    }
    if (channels.empty() || channels.size() > header[CT_H_MAX_CHANNELS]) {
        error = "the trace block takes 1 to " + std::to_string(header[CT_H_MAX_CHANNELS]) + " channels";
        return false;
    }
    // Stopped first, so that the settings never change under a running sampler and the run
    // command is a change the controller sees.
    const uint16_t stop = 0;
    if (const tagModbusOutcome wrote = m_registers.WriteHeader(CT_H_COMMAND, 1, &stop); !wrote.ok()) {
        error = wrote.text;
        return false;
    }
    if (!Await([](const uint16_t* h) { return h[CT_H_STATE] == CT_STOPPED; }, header, error)) {
        error = error.empty() ? "the trace block did not stop" : error;
        return false;
    }
    uint16_t settings[CT_H_STATE - CT_H_PERIOD] = {};
    settings[0] = g_EighthsOfPeriod(period);
    settings[1] = static_cast<uint16_t>(channels.size());
    for (size_t k = 0; k < channels.size(); ++k) {
        const tagModbusAddress& at = channels[k].at;
        settings[2 + 3 * k] = g_TraceTableCode(at.table);
        settings[3 + 3 * k] = static_cast<uint16_t>(at.address);
        settings[4 + 3 * k] = static_cast<uint16_t>(at.count);
    }
    const uint16_t run = 1;
    const uint16_t lastRun = header[CT_H_RUN];
    tagModbusOutcome wrote = m_registers.WriteHeader(CT_H_PERIOD, CT_H_STATE - CT_H_PERIOD, settings);
    if (wrote.ok()) {
        wrote = m_registers.WriteHeader(CT_H_COMMAND, 1, &run);
    }
    if (!wrote.ok()) {
        error = wrote.text;
        return false;
    }
    const auto taken = [lastRun](const uint16_t* h) {
        return h[CT_H_STATE] == CT_REFUSED || (h[CT_H_STATE] == CT_RUNNING && h[CT_H_RUN] != lastRun);
    };
    if (!Await(taken, header, error)) {
        error = error.empty() ? "the trace block did not start its recording" : error;
        return false;
    }
    if (header[CT_H_STATE] == CT_REFUSED) {
        const size_t k = header[CT_H_REFUSED_CHANNEL];
        error =
            g_TraceRefusalText(header[CT_H_REFUSAL], k < channels.size() ? channels[k].name : std::string());
        return false;
    }
    return Begin(map, channels, header, period, error);
}

bool CTraceBlockClient::Begin(const CModbusMap& map, const std::vector<tagTraceChannel>& channels,
                              const uint16_t* header, tagPeriod& period, std::string& error) {
    // A record as the channels make it, and a ring that holds one at the least.
    uint32_t recordWords = 2;
    for (const tagTraceChannel& channel : channels) {
        recordWords += static_cast<uint32_t>(channel.at.count);
    }
    const uint32_t capacity = Get32(&header[CT_H_RECORD_CAPACITY]);
    if (header[CT_H_RECORD_WORDS] != recordWords || capacity == 0 ||
        uint64_t{capacity} * recordWords > Get32(&header[CT_H_RING_WORDS])) {
        error = "the trace block's records do not fit the channels or its ring";
        return false;
    }
    m_map = &map;
    m_channels = channels;
    m_run = header[CT_H_RUN];
    m_recordWords = static_cast<uint16_t>(recordWords);
    m_capacity = capacity;
    m_next = 0;
    m_pending.clear();
    m_seen.reset();
    m_anyTick = false;
    m_losing = false;
    period = g_PeriodOfEighths(header[CT_H_ACTUAL_PERIOD]);
    m_statistics = {0, 0, period};
    return true;
}

void CTraceBlockClient::Decode(const std::vector<uint16_t>& words, uint32_t first, uint32_t count) {
    for (uint32_t r = 0; r < count; ++r) {
        const uint16_t* record = words.data() + static_cast<size_t>(r) * m_recordWords;
        tagPending pending{first + r, {}};
        pending.traced.sample.tick = Get32(record);
        const uint16_t* at = record + 2;
        for (size_t k = 0; k < m_channels.size(); ++k) {
            pending.traced.sample.raw[k] = g_RawWord(*m_map, m_channels[k].at, at, m_channels[k].type);
            at += m_channels[k].at.count;
        }
        m_pending.push_back(pending);
    }
}

void CTraceBlockClient::Give(tagPending& pending, std::vector<tagTracedSample>& samples) {
    // The tick in 32 bits, extended: within a run ticks only grow, by less than 2^31 between
    // records read. A record no newer than the last is stale (a count that went back) and dropped.
    const uint32_t tick = pending.traced.sample.tick;
    if (m_anyTick) {
        const uint32_t delta = tick - static_cast<uint32_t>(m_lastTick);
        if (delta == 0 || delta >= 0x80000000u) {
            return;
        }
        m_lastTick += delta;
    } else {
        m_lastTick = tick;
        m_anyTick = true;
    }
    pending.traced.tick = m_lastTick;
    samples.push_back(pending.traced);
    ++m_statistics.records;
    m_losing = false;
}

void CTraceBlockClient::Lose() {
    // Records lost in a row are one overrun, however the reads fell.
    m_statistics.overruns += !m_losing;
    m_losing = true;
}

tagModbusOutcome CTraceBlockClient::Look(std::vector<tagTracedSample>& samples) {
    uint16_t status[CT_H_REFUSAL - CT_H_STATE] = {};
    const tagModbusOutcome read = m_registers.ReadHeader(CT_H_STATE, CT_H_REFUSAL - CT_H_STATE, status);
    if (!read.ok()) {
        return read;
    }
    if (status[0] != CT_RUNNING || status[CT_H_RUN - CT_H_STATE] != m_run) {
        return {tagModbusOutcome::Ended, 0, "the controller's trace block stopped recording"};
    }
    // Counts wrap at 32 bits: only differences count.
    const tagRing seen{Get32(&status[CT_H_RECORDS_WRITTEN - CT_H_STATE]),
                       Get32(&status[CT_H_NEXT_SLOT - CT_H_STATE])};
    if (seen.nextSlot >= m_capacity) {
        return {tagModbusOutcome::BadReply, 0, "the trace block's next slot lies outside its ring"};
    }
    // What was read before this look and is still in the ring was not overwritten meanwhile.
    for (tagPending& pending : m_pending) {
        if (seen.written - pending.index <= m_capacity) {
            Give(pending, samples);
        } else {
            Lose();
        }
    }
    m_pending.clear();
    m_seen = seen;
    return tagModbusOutcome::Success();
}

tagModbusOutcome CTraceBlockClient::ReadNew(std::vector<tagTracedSample>& samples) {
    // Reads the records the last look showed and looks again at once: a record is given when
    // that look shows it stayed while it was read. While the look shows a full read's worth
    // more (after a pause the reader was held up in), it reads on.
    if (!m_seen) {
        if (const tagModbusOutcome looked = Look(samples); !looked.ok()) {
            return looked;
        }
    }
    const uint32_t perRead = RecordsPerRead();
    std::vector<uint16_t> words;
    // A controller that writes faster than the line reads still gives the caller its turn.
    int rounds = 0;
    do {
        const tagRing seen = *m_seen;
        if (seen.written - m_next > m_capacity) {
            Lose(); // the ticks of the lost records show as a gap
            m_next = seen.written - m_capacity;
        }
        // However large a ring the header announces, a round holds a bounded number of records.
        for (uint32_t taken = 0; m_next != seen.written && taken < kMostRecordsPerRound; taken += perRead) {
            const uint32_t back = seen.written - m_next; // 1 .. capacity
            const auto slot =
                static_cast<uint32_t>((uint64_t{seen.nextSlot} + m_capacity - back) % m_capacity);
            const uint32_t count = std::min({back, perRead, m_capacity - slot});
            words.resize(static_cast<size_t>(count) * m_recordWords);
            const tagModbusOutcome read =
                m_registers.ReadRing(slot * m_recordWords, static_cast<uint16_t>(words.size()), words.data());
            if (!read.ok()) {
                return read;
            }
            Decode(words, m_next, count);
            m_next += count;
        }
        if (const tagModbusOutcome looked = Look(samples); !looked.ok()) {
            return looked;
        }
    } while (m_seen->written - m_next >= perRead && ++rounds < kMostRoundsPerCall);
    return tagModbusOutcome::Success();
}

void CTraceBlockClient::Stop() {
    const uint16_t stop = 0;
    m_registers.WriteHeader(CT_H_COMMAND, 1, &stop);
    m_pending.clear();
}
